#include "data/IntervalloStorico.h"

#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"

#include <QSqlQuery>

TIntervalloStorico IntervalloStorico() {
    TArchivio& a = TArchivio::corrente();
    QSqlQuery q = a.esegui(QStringLiteral("SELECT min(%1), max(%1) FROM %2").arg(Storico::DataOggi, a.nomeQualificato(Definizioni::Storico)));
    TIntervalloStorico r;
    if (q.next()) {
        r.primo = QDate::fromString(q.value(0).toString(), Qt::ISODate);
        r.ultimo = QDate::fromString(q.value(1).toString(), Qt::ISODate);
    }
    return r;
}
