#include "data/engine/Record.h"

#include <QSqlRecord>

namespace {
QString Virgolette(const QString& campo) { return QLatin1Char('"') + campo + QLatin1Char('"'); }
}  // namespace

int ProssimaChiave(TArchivio& a, const QString& tabella, const QString& campo) {
    // Served by the table's index on its key: one step, whatever its size.
    return a.valoreSingolo(QStringLiteral("SELECT max(%1) FROM %2").arg(Virgolette(campo), a.nomeQualificato(tabella)))
               .toInt() +
           1;
}

TRecord LeggiRecord(TArchivio& a, const QString& tabella, const QVector<TDefCampo>& campi,
                    const QString& campoChiave, const QVariant& chiave) {
    QSqlQuery q = a.esegui(
        QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(a.nomeQualificato(tabella), Virgolette(campoChiave)), {chiave});
    if (!q.next()) return TRecord();
    TRecord r(campi);
    const QSqlRecord colonne = q.record();
    for (int i = 0; i < campi.size(); ++i) {
        const int c = colonne.indexOf(campi[i].nome);
        if (c >= 0) r.impostaGrezzo(i, LeggiDaCampo(campi[i], q.value(c)));
    }
    return r;
}

QVariantList ValoriDaScrivere(const TRecord& r) {
    QVariantList valori;
    valori.reserve(r.campi().size());
    for (int i = 0; i < r.campi().size(); ++i) {
        const TDefCampo& c = r.campi()[i];
        valori << ConvertiPerCampo(c, r.valoreA(i));
        if (c.richiesto && valori.last().isNull())
            throw ErroreArchivio(QStringLiteral("Campo obbligatorio non valorizzato: %1").arg(c.nome),
                                 ErroreArchivio::CtxVincolo);
    }
    return valori;
}

QString SqlInserimento(const QString& qualificato, const QVector<TDefCampo>& campi) {
    QStringList nomi, segnaposto;
    for (const TDefCampo& c : campi) {
        nomi << Virgolette(c.nome);
        segnaposto << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(qualificato, nomi.join(QLatin1Char(',')), segnaposto.join(QLatin1Char(',')));
}

void InserisciRecord(TArchivio& a, const QString& tabella, const TRecord& r) {
    const QVariantList valori = ValoriDaScrivere(r);
    a.esegui(SqlInserimento(a.nomeQualificato(tabella), r.campi()), valori);
}

void AggiornaRecord(TArchivio& a, const QString& tabella, const TRecord& r, const QStringList& campi,
                    const QString& campoChiave) {
    QStringList assegna;
    QVariantList valori;
    for (const QString& n : campi) {
        const int i = r.indice(n);
        if (i < 0) throw ErroreArchivio(QStringLiteral("Campo inesistente: %1").arg(n), ErroreArchivio::CtxStruttura);
        assegna << Virgolette(r.campi()[i].nome) + QStringLiteral(" = ?");
        valori << ConvertiPerCampo(r.campi()[i], r.valoreA(i));
    }
    valori << r.valore(campoChiave);
    a.esegui(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                 .arg(a.nomeQualificato(tabella), assegna.join(QStringLiteral(", ")), Virgolette(campoChiave)),
             valori);
}
