#include "movements/StoricoMovimenti.h"

#include "data/Convenzioni.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Istruzione.h"
#include "data/engine/Record.h"
#include "data/engine/Tabella.h"
#include "movements/Movimenti.h"

#include <QSqlQuery>
#include <cmath>
#include <sqlite3.h>

namespace {

// The columns a screen row needs, in the order RigaDa reads them.
QString ColonneRiga() {
    using namespace Storico;
    return QStringList{Id, Azione, DataOggi, IdProd, Nome, Descrizione, Quantita, PrezzoAcq, Prezzo, PrezzoCar, Storna,
                       StornatoDa}
        .join(QStringLiteral(", "));
}

// The row's values straight from the engine: a screen of rows costs about
// what the query costs, without the Qt layer's values in between.
bool Nullo(sqlite3_stmt* s, int c) { return sqlite3_column_type(s, c) == SQLITE_NULL; }
QVariant Numero(sqlite3_stmt* s, int c) { return Nullo(s, c) ? QVariant() : QVariant(sqlite3_column_double(s, c)); }
QVariant Chiave(sqlite3_stmt* s, int c) { return Nullo(s, c) ? QVariant() : QVariant(sqlite3_column_int(s, c)); }

TRigaMovimento RigaDa(const TIstruzione& q) {
    sqlite3_stmt* s = q.handle();
    TRigaMovimento r;
    r.id = sqlite3_column_int(s, 0);
    r.azione = q.testo(1);
    r.data = QDate::fromString(q.testo(2).left(10), Qt::ISODate);
    r.idProdotto = sqlite3_column_int(s, 3);
    r.nome = q.testo(4);
    r.descrizione = q.testo(5);
    r.quantita = sqlite3_column_int(s, 6);
    r.prezzoAcq = Numero(s, 7);
    r.prezzoVen = Numero(s, 8);
    r.prezzoCar = Numero(s, 9);
    r.storna = Chiave(s, 10);
    r.stornatoDa = Chiave(s, 11);
    return r;
}

QVariant Opposto(const QVariant& v) { return v.isNull() ? QVariant() : QVariant(-v.toDouble()); }

// The resets of the unloads, one row each (day, largest history ID then),
// kept in the history's own file beside its table: written in the reset's
// transaction, and copied with the history wherever it goes.
const QString TabellaAzzeramenti = QStringLiteral("azzeramenti");
const QString CampoGiorno = QStringLiteral("GIORNO"), CampoUltimoId = QStringLiteral("ULTIMOID");
QString NomeAzzeramenti(TArchivio& a) {
    a.nomeQualificato(Definizioni::Storico);
    return QLatin1Char('"') + TArchivio::schemaDi(Definizioni::Storico) + QStringLiteral("\".\"") + TabellaAzzeramenti +
           QLatin1Char('"');
}

QString NomeAzione(const QString& azione) {
    if (azione == Azioni::Carico) return QStringLiteral("il carico");
    if (azione == Azioni::Scarico) return QStringLiteral("lo scarico");
    if (azione == Azioni::Aggiustamento) return QStringLiteral("l'aggiustamento");
    return QStringLiteral("il movimento");
}

}  // namespace

int EffettoSulSaldo(const QString& azione, int quantita, bool prezzoVenVuoto) {
    if (azione == Azioni::Carico || azione == Azioni::Inventario) return quantita;
    if (azione == Azioni::Scarico) return -quantita;
    if (azione == Azioni::Aggiustamento) return prezzoVenVuoto ? -quantita : 0;
    return 0;
}

// ---------------------------------------------------------------------------
// Reading a screen at a time

TLettoreStorico::TLettoreStorico(TArchivio& a, const TFiltroStorico& filtro) : m_a(a), m_filtro(filtro) {
    m_filtro.prodotto = m_filtro.prodotto.trimmed();
    if (!m_filtro.prodotto.isEmpty()) {
        QSqlQuery q = m_a.esegui(QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE lower(%2) = lower(?) ORDER BY %1 LIMIT 1")
                                     .arg(Prodotti::Id, Prodotti::Nome, Prodotti::Quantita,
                                          m_a.nomeQualificato(Definizioni::Prodotti)),
                                 {m_filtro.prodotto});
        if (q.next()) {
            m_idProdotto = q.value(0).toInt();
            m_nomeProdotto = q.value(1).toString();
            m_saldo = q.value(2).toLongLong();
        }
    }
}

bool TLettoreStorico::passa(const TRigaMovimento& r) const {
    if (m_filtro.da.isValid() && r.data < m_filtro.da) return false;
    if (m_filtro.a.isValid() && r.data > m_filtro.a) return false;
    if (!m_filtro.azione.isEmpty() && r.azione != m_filtro.azione) return false;
    return true;
}

QVector<TRigaMovimento> TLettoreStorico::leggi(int quanti, bool tuttiDelProdotto) {
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE 1 = 1").arg(ColonneRiga(), m_a.nomeQualificato(Definizioni::Storico));
    QVariantList par;
    if (m_ultimoId >= 0) {
        sql += QStringLiteral(" AND %1 < ?").arg(Storico::Id);
        par << m_ultimoId;
    }
    if (tuttiDelProdotto) {
        // Every row of the product, whatever the period and kind: the balance
        // runs through the rows that are not shown as well.
        sql += QStringLiteral(" AND %1 = ?").arg(Storico::IdProd);
        par << m_idProdotto;
    } else {
        if (m_filtro.da.isValid()) {
            sql += QStringLiteral(" AND %1 >= ?").arg(Storico::DataOggi);
            par << m_filtro.da.toString(Qt::ISODate);
        }
        if (m_filtro.a.isValid()) {
            sql += QStringLiteral(" AND %1 <= ?").arg(Storico::DataOggi);
            par << m_filtro.a.toString(Qt::ISODate);
        }
        if (!m_filtro.azione.isEmpty()) {
            sql += QStringLiteral(" AND %1 = ?").arg(Storico::Azione);
            par << m_filtro.azione;
        }
        if (!m_filtro.prodotto.isEmpty()) {
            sql += QStringLiteral(" AND (lower(%1) LIKE ? ESCAPE '\\' OR lower(%2) LIKE ? ESCAPE '\\')")
                       .arg(Storico::Nome, Storico::Descrizione);
            const QString t = EscapeLike(m_filtro.prodotto.toLower());
            par << t + QLatin1Char('%') << QLatin1Char('%') + t + QLatin1Char('%');
        }
    }
    sql += QStringLiteral(" ORDER BY %1 DESC LIMIT %2").arg(Storico::Id).arg(quanti);
    TIstruzione q(m_a.handle(), sql);
    q.lega(par);
    QVector<TRigaMovimento> righe;
    righe.reserve(quanti);
    while (q.riga()) righe << RigaDa(q);
    if (righe.size() < quanti) m_finito = true;
    if (!righe.isEmpty()) m_ultimoId = righe.last().id;
    return righe;
}

QVector<TRigaMovimento> TLettoreStorico::prossime(int quanti) {
    if (m_finito || quanti <= 0) return {};
    if (m_idProdotto == 0) return leggi(quanti, false);
    QVector<TRigaMovimento> mostrate;
    while (!m_finito && mostrate.size() < quanti) {
        for (TRigaMovimento r : leggi(quanti, true)) {
            r.saldo = m_saldo;
            m_saldo -= EffettoSulSaldo(r.azione, r.quantita, r.prezzoVen.isNull());
            if (passa(r)) mostrate << r;
        }
    }
    return mostrate;
}

// ---------------------------------------------------------------------------
// Reversal

QString DomandaStorno(const TRigaMovimento& r) {
    QString testo = QStringLiteral("Stornare ") + NomeAzione(r.azione) + QStringLiteral(" n. ") + QString::number(r.id) +
                    QStringLiteral(" del ") + r.data.toString(FormatoData) + QStringLiteral(": ") +
                    FormattaNumero(r.quantita, 0) + QStringLiteral(" x '") + r.nome + QLatin1Char('\'');
    if (!r.descrizione.isEmpty()) testo += QStringLiteral(" (") + r.descrizione + QLatin1Char(')');
    return testo + QStringLiteral("?\nVerrà registrato nello storico il movimento opposto e il prodotto tornerà ai "
                                  "valori che avrebbe senza questo movimento.");
}

TRigaMovimento LeggiMovimento(TArchivio& a, int id) {
    TIstruzione q(a.handle(), QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? LIMIT 1")
                                   .arg(ColonneRiga(), a.nomeQualificato(Definizioni::Storico), Storico::Id));
    q.lega({id});
    TRigaMovimento r;
    if (q.riga()) r = RigaDa(q);
    return r;
}

QString ControllaStorno(TArchivio& a, int idRiga) {
    const TRecord riga = LeggiRecord(a, Definizioni::Storico, Definizioni::CampiStorico(), Storico::Id, idRiga);
    const QString n = QString::number(idRiga);
    if (riga.campi().isEmpty()) return QStringLiteral("Il movimento n. %1 non è più presente nello storico.").arg(n);
    const QString azione = riga.testo(Storico::Azione);
    if (azione != Azioni::Carico && azione != Azioni::Scarico && azione != Azioni::Aggiustamento)
        return QStringLiteral("Il movimento n. %1 non è un carico, uno scarico o un aggiustamento: non può essere stornato.")
            .arg(n);
    if (!riga.nullo(Storico::Storna))
        return QStringLiteral("Il movimento n. %1 è lo storno del movimento n. %2 e non può essere stornato a sua volta.")
            .arg(n)
            .arg(riga.intero(Storico::Storna));
    if (!riga.nullo(Storico::StornatoDa))
        return QStringLiteral("Il movimento n. %1 è già stato stornato dal movimento n. %2.")
            .arg(n)
            .arg(riga.intero(Storico::StornatoDa));
    const TRecord p = LeggiRecord(a, Definizioni::Prodotti, Definizioni::CampiProdotti(), Prodotti::Id,
                                  riga.intero(Storico::IdProd));
    if (p.campi().isEmpty())
        return QStringLiteral("Il prodotto '%1' del movimento n. %2 è stato eliminato: il movimento non può essere "
                              "stornato.")
            .arg(riga.testo(Storico::Nome), n);
    {
        QSqlQuery q = a.esegui(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table' AND name = ?")
                                   .arg(TArchivio::schemaDi(Definizioni::Storico)),
                               {TabellaAzzeramenti});
        const bool registrati = q.next();
        q.finish();
        if (registrati) {
            q = a.esegui(QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1 DESC, %2 DESC LIMIT 1")
                             .arg(CampoGiorno, CampoUltimoId, NomeAzzeramenti(a)));
            if (q.next()) {
                const QDate giorno = QDate::fromString(q.value(0).toString().left(10), Qt::ISODate);
                const qint64 ultimo = q.value(1).toLongLong();
                const QDate data = riga.data(Storico::DataOggi);
                q.finish();
                // Rows of the reset's own day are told apart by ID; a row
                // without a date is taken as older.
                if (!data.isValid() || data < giorno || (data == giorno && idRiga <= ultimo))
                    return QStringLiteral("Dopo il movimento n. %1 gli scarichi sono stati azzerati (%2): i contatori del "
                                          "prodotto non lo comprendono più e il movimento non può essere stornato.")
                        .arg(n, giorno.toString(FormatoData));
            }
        }
    }
    return QString();
}

int StornaMovimento(TArchivio& a, int idRiga) {
    a.assicuraCollegata(Definizioni::Prodotti);
    a.assicuraCollegata(Definizioni::Storico);
    TTransazione t(a);
    const QString storico = a.nomeQualificato(Definizioni::Storico);
    const QString rifiuto = ControllaStorno(a, idRiga);
    if (!rifiuto.isEmpty()) throw ErroreStorno(rifiuto);
    const TRecord riga = LeggiRecord(a, Definizioni::Storico, Definizioni::CampiStorico(), Storico::Id, idRiga);
    const QString azione = riga.testo(Storico::Azione);
    TRecord p = LeggiRecord(a, Definizioni::Prodotti, Definizioni::CampiProdotti(), Prodotti::Id,
                            riga.intero(Storico::IdProd));

    // The counters back: the opposite of what the movement did.
    const qint64 q = riga.intero(Storico::Quantita);
    qint64 carichi = p.intero(Prodotti::Carichi), scarichi = p.intero(Prodotti::Scarichi),
           quantita = p.intero(Prodotti::Quantita);
    double acquisti = p.reale(Prodotti::TotaleAcquisti), vendite = p.reale(Prodotti::TotaleVendite);
    const double acq = riga.reale(Storico::PrezzoAcq), ven = riga.reale(Storico::Prezzo);
    if (azione == Azioni::Carico) {
        carichi -= q;
        quantita -= q;
        acquisti -= acq;
    } else if (azione == Azioni::Scarico) {
        scarichi -= q;
        quantita += q;
        vendite -= ven;
    } else {
        // The adjustment's amounts are stored negative.
        carichi += q;
        acquisti -= acq;
        if (riga.nullo(Storico::Prezzo)) {
            quantita += q;
        } else {
            scarichi += q;
            vendite -= ven;
        }
    }
    const QString op = QStringLiteral("Storno"), nome = p.testo(Prodotti::Nome);
    for (const QString& rifiuto : {ControllaContatore(op, nome, Prodotti::Carichi, carichi),
                                   ControllaContatore(op, nome, Prodotti::Scarichi, scarichi),
                                   ControllaContatore(op, nome, Prodotti::Quantita, quantita),
                                   ControllaImporto(op, nome, Prodotti::TotaleAcquisti, acquisti),
                                   ControllaImporto(op, nome, Prodotti::TotaleVendite, vendite)})
        if (!rifiuto.isEmpty()) throw ErroreLimiteContatori(rifiuto);
    // Only the fields the movement changed are written back: a field it left
    // alone (the sales total of a product only ever loaded, still empty)
    // stays as it is.
    QStringList campi;
    const auto cambia = [&](const QString& campo, auto prima, auto dopo) {
        if (prima == dopo) return;
        p.imposta(campo, dopo);
        campi << campo;
    };
    cambia(Prodotti::Carichi, p.intero(Prodotti::Carichi), carichi);
    cambia(Prodotti::Scarichi, p.intero(Prodotti::Scarichi), scarichi);
    cambia(Prodotti::Quantita, p.intero(Prodotti::Quantita), quantita);
    cambia(Prodotti::TotaleAcquisti, p.reale(Prodotti::TotaleAcquisti), acquisti);
    cambia(Prodotti::TotaleVendite, p.reale(Prodotti::TotaleVendite), vendite);
    if (!campi.isEmpty()) AggiornaRecord(a, Definizioni::Prodotti, p, campi, Prodotti::Id);

    // The reversal row: the same movement with every quantity and amount
    // turned round, on the same day, so that any period's sums lose it.
    TRecord storno = riga;
    const int nuovo = ProssimaChiave(a, Definizioni::Storico, Storico::Id);
    storno.imposta(Storico::Id, nuovo);
    storno.imposta(Storico::Quantita, -q);
    storno.imposta(Storico::PrezzoAcq, Opposto(riga.valore(Storico::PrezzoAcq)));
    storno.imposta(Storico::Prezzo, Opposto(riga.valore(Storico::Prezzo)));
    storno.imposta(Storico::PrezzoCar, Opposto(riga.valore(Storico::PrezzoCar)));
    storno.imposta(Storico::Storna, idRiga);
    storno.imposta(Storico::StornatoDa, QVariant());
    InserisciRecord(a, Definizioni::Storico, storno);
    a.esegui(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?").arg(storico, Storico::StornatoDa, Storico::Id),
             {nuovo, idRiga});
    t.conferma();
    return nuovo;
}

void RegistraAzzeramento(TArchivio& a, const QDate& oggi) {
    if (!a.esisteTabella(Definizioni::Storico)) return;
    a.esegui(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2 TEXT, %3 INTEGER)").arg(NomeAzzeramenti(a), CampoGiorno, CampoUltimoId));
    a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3) SELECT ?, coalesce(max(%4), 0) FROM %5")
                 .arg(NomeAzzeramenti(a), CampoGiorno, CampoUltimoId, Storico::Id, a.nomeQualificato(Definizioni::Storico)),
             {oggi.toString(Qt::ISODate)});
}
