#include "data/Traduzione.h"

#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"

#include <QSqlQuery>

QString Traduci(const QString& testo, const QString& lingua) {
    QString pulito = testo;
    if (pulito.startsWith(QLatin1Char('&'))) pulito.remove(0, 1);
    pulito.remove(QLatin1Char('\''));
    TArchivio& archivio = TArchivio::corrente();
    const QString tabella = archivio.nomeQualificato(Definizioni::Lingua);
    // The language names a column: it is looked up among the table's columns,
    // never put into the SQL as typed.
    QString colonna;
    QSqlQuery info = archivio.esegui(QStringLiteral("PRAGMA \"%1\".table_info(\"%1\")").arg(TArchivio::schemaDi(Definizioni::Lingua)));
    while (info.next()) {
        const QString c = info.value(1).toString();
        if (c.compare(lingua, Qt::CaseInsensitive) == 0) {
            colonna = c;
            break;
        }
    }
    info.finish();
    if (colonna.isEmpty())
        throw ErroreArchivio(QStringLiteral("Campo sconosciuto: %1 nella tabella lingua").arg(lingua),
                             ErroreArchivio::CtxStruttura);
    colonna.replace(QLatin1Char('"'), QLatin1String("\"\""));
    QSqlQuery q = archivio.esegui(
        QStringLiteral("select \"%1\" from %2 where %3 = ? limit 1").arg(colonna, tabella, Lingua::Italiano), {pulito});
    QString risultato = pulito;
    if (q.next()) risultato = q.value(0).isNull() ? QString() : q.value(0).toString();
    q.finish();
    return risultato;
}
