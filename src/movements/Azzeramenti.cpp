#include "movements/Azzeramenti.h"

#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Istruzione.h"
#include "data/Orologio.h"
#include "movements/Movimenti.h"
#include "movements/StoricoMovimenti.h"

#include <QScopeGuard>
#include <QSqlQuery>
#include <sqlite3.h>
#include <algorithm>

void AzzeraScarichiProdotti(const std::function<void(int, int)>& avanzamento) {
    TArchivio& a = TArchivio::corrente();
    const QString prodotti = a.nomeQualificato(Definizioni::Prodotti);
    // Attached before the transaction: the reset is noted in the history's
    // file inside it.
    a.assicuraCollegata(Definizioni::Storico);
    TTransazione t(a);
    {
        // A balance that another program stored beyond the loads' field, or a
        // stock value beyond any number, refuses the whole reset before any
        // product changes.
        QSqlQuery q(a.db());
        q.setForwardOnly(true);
        const QString valore = QStringLiteral("coalesce(%1, 0) * coalesce(%2, 0.0)").arg(Prodotti::Quantita, Prodotti::Prezzo);
        if (!q.exec(QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE (typeof(%2) = 'integer' AND %2 NOT BETWEEN %5 AND %6) "
                                   "OR abs(%3) >= 9e999 ORDER BY %7 LIMIT 1")
                        .arg(Prodotti::Nome, Prodotti::Quantita, valore, prodotti)
                        .arg(MinimoContatore)
                        .arg(MassimoContatore)
                        .arg(Prodotti::Id)))
            TArchivio::sollevaErrore(q);
        if (q.next()) {
            const QString op = QStringLiteral("Azzeramento");
            QString rifiuto = ControllaContatore(op, q.value(0).toString(), Prodotti::Carichi, q.value(1).toLongLong());
            if (rifiuto.isEmpty()) rifiuto = ControllaImporto(op, q.value(0).toString(), Prodotti::TotaleAcquisti, q.value(2).toDouble());
            q.finish();
            throw ErroreLimiteContatori(rifiuto + QStringLiteral(" Nessun prodotto è stato modificato."));
        }
    }
    QVector<qint64> chiavi;
    {
        QSqlQuery q(a.db());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT rowid FROM %1 ORDER BY %2").arg(prodotti, Prodotti::Id))) TArchivio::sollevaErrore(q);
        while (q.next()) chiavi << q.value(0).toLongLong();
    }
    const QString assegna = QStringLiteral("SET %1 = 0, %2 = 0, %3 = coalesce(%4, 0), %5 = coalesce(%4, 0) * coalesce(%6, 0.0)")
                                .arg(Prodotti::Scarichi, Prodotti::TotaleVendite, Prodotti::Carichi, Prodotti::Quantita,
                                     Prodotti::TotaleAcquisti, Prodotti::Prezzo);
    // The products go in groups of keys, one statement each (the keys handed
    // over as a JSON array); a group that fails is done again one product at
    // a time, so that the failure stops at the product that caused it.
    QSqlQuery gruppo(a.db()), uno(a.db());
    if (!gruppo.prepare(QStringLiteral("UPDATE %1 %2 WHERE rowid IN (SELECT value FROM json_each(?))").arg(prodotti, assegna)))
        TArchivio::sollevaErrore(gruppo);
    if (!uno.prepare(QStringLiteral("UPDATE %1 %2 WHERE rowid = ?").arg(prodotti, assegna))) TArchivio::sollevaErrore(uno);
    const int totale = static_cast<int>(chiavi.size());
    const int dimensione = 4000;
    for (int inizio = 0; inizio < totale; inizio += dimensione) {
        const int fine = std::min(totale, inizio + dimensione);
        QByteArray elenco = "[";
        for (int i = inizio; i < fine; ++i) {
            if (i > inizio) elenco += ',';
            elenco += QByteArray::number(chiavi[i]);
        }
        elenco += ']';
        bool riuscito = false;
        {
            TTransazione parte(a);
            gruppo.bindValue(0, QString::fromLatin1(elenco));
            if (gruppo.exec()) {
                parte.conferma();
                riuscito = true;
            } else {
                // A failing disk or engine is not retried: it ends the reset.
                try {
                    TArchivio::sollevaErrore(gruppo);
                } catch (const ErroreArchivio& e) {
                    if (e.guasto()) throw;
                }
            }
        }
        if (!riuscito) {
            for (int i = inizio; i < fine; ++i) {
                uno.bindValue(0, chiavi[i]);
                if (!uno.exec()) TArchivio::sollevaErrore(uno);
                if (avanzamento) avanzamento(i + 1, totale);
            }
        } else if (avanzamento) {
            for (int i = inizio; i < fine; ++i) avanzamento(i + 1, totale);
        }
    }
    gruppo.finish();
    uno.finish();
    RegistraAzzeramento(a, Oggi());
    t.conferma();
}

namespace {

// Counts the rows a statement reads, for its progress: a function of no
// arguments in the statement's WHERE, always true while the caller goes on.
struct TContaRighe {
    const std::function<bool(qint64, qint64)>* avanzamento;
    qint64 totale = 0;
    qint64 righe = 0;
};

void FunzioneContaRighe(sqlite3_context* contesto, int, sqlite3_value**) {
    auto* c = static_cast<TContaRighe*>(sqlite3_user_data(contesto));
    if (++c->righe % 4096 == 0 && !(*c->avanzamento)(c->righe, c->totale)) {
        sqlite3_result_error(contesto, "operazione interrotta", -1);
        return;
    }
    sqlite3_result_int(contesto, 1);
}

}  // namespace

int CancellaStoricoPeriodo(const QDate& primo, const QDate& ultimo,
                           const std::function<bool(qint64, qint64)>& avanzamento) {
    TArchivio& a = TArchivio::corrente();
    const QString storico = a.nomeQualificato(Definizioni::Storico);
    // Dates are stored as ISO text, so text order is date order.
    const QString periodo = QStringLiteral("%1 >= ? AND %1 <= ?").arg(Storico::DataOggi);
    const QVariantList date{primo.toString(Qt::ISODate), ultimo.toString(Qt::ISODate)};
    if (!avanzamento) {
        return a.esegui(QStringLiteral("DELETE FROM %1 WHERE %2").arg(storico, periodo), date).numRowsAffected();
    }
    TContaRighe conta{&avanzamento};
    conta.totale = a.valoreSingolo(QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(storico, periodo), date).toLongLong();
    if (!avanzamento(0, conta.totale)) throw ErroreArchivio(QStringLiteral("Operazione interrotta."));
    sqlite3* h = a.handle();
    sqlite3_create_function_v2(h, "zr_conta_righe", 0, SQLITE_UTF8, &conta, FunzioneContaRighe, nullptr, nullptr, nullptr);
    const auto togli = qScopeGuard(
        [h] { sqlite3_create_function_v2(h, "zr_conta_righe", 0, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr); });
    const int cancellate =
        a.esegui(QStringLiteral("DELETE FROM %1 WHERE %2 AND zr_conta_righe()").arg(storico, periodo), date).numRowsAffected();
    avanzamento(conta.totale, conta.totale);
    return cancellate;
}

namespace {

// The rows a full scan has read, asked of the statement now and then by the
// engine's progress handler.
struct TScorrimento {
    sqlite3_stmt* istruzione = nullptr;
    const std::function<bool(qint64, qint64)>* avanzamento = nullptr;
    qint64 totale = 0;
};

int AvanzamentoScorrimento(void* dati) {
    auto* s = static_cast<TScorrimento*>(dati);
    const qint64 lette = sqlite3_stmt_status(s->istruzione, SQLITE_STMTSTATUS_FULLSCAN_STEP, 0);
    return (*s->avanzamento)(std::min(lette, s->totale), s->totale) ? 0 : 1;
}

}  // namespace

int CancellaStoricoPeriodoScorrendo(const QDate& primo, const QDate& ultimo,
                                   const std::function<bool(qint64, qint64)>& avanzamento) {
    TArchivio& a = TArchivio::corrente();
    const QString storico = a.nomeQualificato(Definizioni::Storico);
    // Every row is read by the deletion; their number comes from the
    // smallest b-tree of the table, without reading the rows.
    TScorrimento s{nullptr, &avanzamento, a.valoreSingolo(QStringLiteral("SELECT count(*) FROM ") + storico).toLongLong()};
    if (!avanzamento(0, s.totale)) throw ErroreArchivio(QStringLiteral("Operazione interrotta."));
    sqlite3* h = a.handle();
    TIstruzione cancella(h, QStringLiteral("DELETE FROM %1 WHERE %2 >= ? AND %2 <= ?").arg(storico, Storico::DataOggi));
    // Dates are stored as ISO text, so text order is date order.
    cancella.lega({primo.toString(Qt::ISODate), ultimo.toString(Qt::ISODate)});
    s.istruzione = cancella.handle();
    sqlite3_progress_handler(h, 20000, AvanzamentoScorrimento, &s);
    const auto togli = qScopeGuard([h] { sqlite3_progress_handler(h, 0, nullptr, nullptr); });
    cancella.esegui();
    const int cancellate = sqlite3_changes(h);
    avanzamento(s.totale, s.totale);
    return cancellate;
}
