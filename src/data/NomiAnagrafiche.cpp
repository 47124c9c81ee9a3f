#include "data/NomiAnagrafiche.h"

#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"

#include <QSqlQuery>

QString TestoDettagliProduttore(const QVariant& idProduttore) {
    if (idProduttore.isNull() || idProduttore.toString().isEmpty()) return QStringLiteral("Dettagli:");
    return QStringLiteral("Dettagli: ") + NomeCognomeProduttore(idProduttore);
}

QString NomeCognomeProduttore(const QVariant& idProduttore) {
    TArchivio& a = TArchivio::corrente();
    QSqlQuery q = a.esegui(QStringLiteral("select ") + Produttori::Nome + QStringLiteral(", ") + Produttori::Cognome +
                               QStringLiteral(" from ") + a.nomeQualificato(Definizioni::Produttori) +
                               QStringLiteral(" where ") + Produttori::Id + QStringLiteral(" = ?"),
                           {idProduttore});
    QString nome, cognome;
    if (q.next()) {
        nome = q.value(0).toString();
        cognome = q.value(1).toString();
    }
    return nome + QLatin1Char(' ') + cognome;
}

QString NomeCategoria(const QVariant& idCategoria) {
    TArchivio& a = TArchivio::corrente();
    return a
        .valoreSingolo(QStringLiteral("select ") + Cat::Categoria + QStringLiteral(" from ") +
                           a.nomeQualificato(Definizioni::Categorie) + QStringLiteral(" where ") + Cat::Id +
                           QStringLiteral(" = ?"),
                       {idCategoria})
        .toString();
}
