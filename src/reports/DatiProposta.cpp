#include "reports/DatiProposta.h"

#include "data/Convenzioni.h"
#include "data/FoglioLavoro.h"
#include "data/engine/Definizioni.h"

#include <QSqlQuery>
#include <algorithm>
#include <cmath>

qint64 ObiettivoDaMultiplo(qint64 qtaAlert, double multiplo) {
    if (qtaAlert <= 0) return 0;
    // A small tolerance keeps 1,5 x 10 at 15 whatever the binary value of 1,5.
    const auto t = static_cast<qint64>(std::ceil(static_cast<double>(qtaAlert) * multiplo - 1e-9));
    return std::max(t, qtaAlert);
}

qint64 QuantitaProposta(qint64 saldo, qint64 obiettivo) { return obiettivo > saldo ? obiettivo - saldo : 0; }

QVector<TGruppoProduttore> PropostaOrdine(TArchivio& a, double multiplo) {
    // One statement: the products under alert with their producer's details,
    // producers that exist first by name, then the products without one.
    QSqlQuery q = a.esegui(
        QStringLiteral("select p.%1, p.%2, p.%3, ifnull(f.%10, 0), ifnull(p.%4, 0), p.%5, ifnull(p.%6, 0), "
                       "f.%11, f.%12, f.%13, f.%14, f.%15, f.%16, f.%17, f.%18, f.%19 "
                       "from %7 p left join %8 f on f.%10 = p.%9 "
                       "where p.%5 > 0 and ifnull(p.%4, 0) <= p.%5 "
                       "order by f.%10 is null, f.%11, f.%12, f.%10, p.%2, p.%1")
            .arg(Prodotti::Id, Prodotti::Nome, Prodotti::Descrizione, Prodotti::Quantita, Prodotti::QtaAlert,
                 Prodotti::Prezzo, a.nomeQualificato(Definizioni::Prodotti), a.nomeQualificato(Definizioni::Produttori),
                 Prodotti::IdProduttore)
            .arg(Produttori::Id, Produttori::Nome, Produttori::Cognome, Produttori::Via, Produttori::Cap,
                 Produttori::Citta, Produttori::Provincia, Produttori::Telefono, Produttori::Piva)
            .arg(Produttori::Email));
    QVector<TGruppoProduttore> gruppi;
    while (q.next()) {
        TRigaProposta r;
        r.id = q.value(0).toLongLong();
        r.nome = q.value(1).toString();
        r.descrizione = q.value(2).toString();
        r.idProduttore = q.value(3).toLongLong();
        r.saldo = q.value(4).toLongLong();
        r.qtaAlert = q.value(5).toLongLong();
        r.prezzo = q.value(6).toDouble();
        r.obiettivo = ObiettivoDaMultiplo(r.qtaAlert, multiplo);
        r.proposta = QuantitaProposta(r.saldo, r.obiettivo);
        if (gruppi.isEmpty() || gruppi.last().idProduttore != r.idProduttore) {
            TGruppoProduttore g;
            g.idProduttore = r.idProduttore;
            if (r.idProduttore == 0) {
                g.nome = QStringLiteral("Senza produttore");
            } else {
                g.nome = (q.value(7).toString() + QLatin1Char(' ') + q.value(8).toString()).trimmed();
                QString luogo = (q.value(10).toString() + QLatin1Char(' ') + q.value(11).toString()).trimmed();
                if (!q.value(12).toString().trimmed().isEmpty())
                    luogo += QStringLiteral(" (") + q.value(12).toString().trimmed() + QLatin1Char(')');
                QStringList parti;
                for (const QString& p : {q.value(9).toString().trimmed(), luogo.trimmed()})
                    if (!p.isEmpty()) parti << p;
                g.indirizzo = parti.join(QStringLiteral(", "));
                g.telefono = q.value(13).toString().trimmed();
                g.piva = q.value(14).toString().trimmed();
                g.email = q.value(15).toString().trimmed();
            }
            gruppi << g;
        }
        gruppi.last().righe << r;
    }
    return gruppi;
}

QString OggettoMailOrdine(const QDate& data) { return QStringLiteral("Ordine del ") + data.toString(FormatoData); }

QString CorpoMailOrdine(const TGruppoProduttore& gruppo, const QDate& data) {
    QStringList righe{QStringLiteral("Spett.le %1,").arg(gruppo.nome), QString(),
                      QStringLiteral("con la presente ordiniamo in data %1:").arg(data.toString(FormatoData)), QString()};
    for (const TRigaProposta& r : gruppo.righe) {
        if (r.proposta <= 0) continue;
        QString riga = QStringLiteral("%1 x %2").arg(r.proposta).arg(r.nome);
        if (!r.descrizione.trimmed().isEmpty()) riga += QStringLiteral(" - ") + r.descrizione.trimmed();
        righe << riga;
    }
    righe << QString() << QStringLiteral("Cordiali saluti");
    return righe.join(QLatin1Char('\n'));
}

QString EsportaPropostaFoglio(const QVector<TGruppoProduttore>& gruppi, const QString& cartella) {
    const QVector<TColonnaFoglio> colonne = {{QStringLiteral("Produttore"), 30},  {QStringLiteral("Codice"), 20},
                                             {QStringLiteral("Descrizione"), 40}, {QStringLiteral("Saldo"), 11},
                                             {QStringLiteral("Q.tà alert"), 11},  {QStringLiteral("Scorta obiettivo"), 11},
                                             {QStringLiteral("Da ordinare"), 11}, {QStringLiteral("Prezzo acq."), 14},
                                             {QStringLiteral("Importo"), 14}};
    int g = 0, r = -1;
    // Steps through the lines of every group in turn.
    auto prossima = [&]() {
        ++r;
        while (g < gruppi.size() && r >= gruppi[g].righe.size()) {
            ++g;
            r = 0;
        }
        return g < gruppi.size();
    };
    auto valore = [&](int colonna) -> QVariant {
        const TRigaProposta& p = gruppi[g].righe[r];
        switch (colonna) {
        case 0: return gruppi[g].nome;
        case 1: return p.nome;
        case 2: return p.descrizione;
        case 3: return p.saldo;
        case 4: return p.qtaAlert;
        case 5: return p.obiettivo;
        case 6: return p.proposta;
        case 7: return p.prezzo;
        default: return p.prezzo * static_cast<double>(p.proposta);
        }
    };
    return ScriviFoglio(colonne, prossima, valore, QStringLiteral("Proposta d'ordine"), cartella);
}
