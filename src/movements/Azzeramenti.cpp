#include "movements/Azzeramenti.h"

#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"

#include <QSqlQuery>

void AzzeraScarichiProdotti(const std::function<void(int, int)>& avanzamento) {
    TArchivio& a = TArchivio::corrente();
    const QString prodotti = a.nomeQualificato(Definizioni::Prodotti);
    TTransazione t(a);
    QVector<qint64> chiavi;
    {
        QSqlQuery q = a.esegui(QStringLiteral("SELECT rowid FROM %1 ORDER BY ID").arg(prodotti));
        while (q.next()) chiavi << q.value(0).toLongLong();
    }
    QSqlQuery aggiorna(a.db());
    if (!aggiorna.prepare(QStringLiteral("UPDATE %1 SET SCARICHI = 0, TOTALEVENDITE = 0, CARICHI = coalesce(QUANTITA, 0), "
                                         "TOTALEACQUISTI = coalesce(QUANTITA, 0) * coalesce(PREZZO, 0.0) WHERE rowid = ?")
                              .arg(prodotti)))
        TArchivio::sollevaErrore(aggiorna);
    const int totale = static_cast<int>(chiavi.size());
    for (int i = 0; i < totale; ++i) {
        aggiorna.bindValue(0, chiavi[i]);
        if (!aggiorna.exec()) TArchivio::sollevaErrore(aggiorna);
        if (avanzamento) avanzamento(i + 1, totale);
    }
    aggiorna.finish();
    t.conferma();
}

TIntervalloStorico IntervalloStorico() {
    TArchivio& a = TArchivio::corrente();
    QSqlQuery q = a.esegui(QStringLiteral("SELECT min(DATAOGGI), max(DATAOGGI) FROM %1").arg(a.nomeQualificato(Definizioni::Storico)));
    TIntervalloStorico r;
    if (q.next()) {
        r.primo = QDate::fromString(q.value(0).toString(), Qt::ISODate);
        r.ultimo = QDate::fromString(q.value(1).toString(), Qt::ISODate);
    }
    return r;
}

void CancellaStoricoPeriodo(const QDate& primo, const QDate& ultimo) {
    TArchivio& a = TArchivio::corrente();
    // Dates are stored as ISO text, so text order is date order.
    a.esegui(QStringLiteral("DELETE FROM %1 WHERE DATAOGGI >= ? AND DATAOGGI <= ?").arg(a.nomeQualificato(Definizioni::Storico)),
             {primo.toString(Qt::ISODate), ultimo.toString(Qt::ISODate)});
}
