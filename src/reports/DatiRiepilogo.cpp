#include "reports/DatiRiepilogo.h"

#include "data/engine/Definizioni.h"

#include <QSqlQuery>

namespace {

QString Iso(const QDate& d) { return d.toString(Qt::ISODate); }

}  // namespace

TMovimentiPeriodo MovimentiPeriodo(TArchivio& a, const QDate& da, const QDate& al) {
    // One pass over the history; the period compared as the reports do, on
    // the stored ISO text.
    QSqlQuery q = a.esegui(
        QStringLiteral("select sum(case when %1 = ? then %2 end), sum(case when %1 = ? then %2 end), sum(%3), sum(%4) "
                       "from %5 where %6 >= ? and %6 <= ?")
            .arg(Storico::Azione, Storico::Quantita, Storico::PrezzoAcq, Storico::Prezzo,
                 a.nomeQualificato(Definizioni::Storico), Storico::DataOggi),
        {Azioni::Carico, Azioni::Scarico, Iso(da), Iso(al)});
    TMovimentiPeriodo m;
    if (q.next()) {
        m.carichi = q.value(0).toLongLong();
        m.scarichi = q.value(1).toLongLong();
        m.acquisti = q.value(2).toDouble();
        m.vendite = q.value(3).toDouble();
    }
    return m;
}

QVector<TProdottoVenduto> ProdottiPiuVenduti(TArchivio& a, const QDate& da, const QDate& al, int quanti) {
    const QString S = a.nomeQualificato(Definizioni::Storico);
    const QString P = a.nomeQualificato(Definizioni::Prodotti);
    // The ten are chosen first; only a product no longer in the registry
    // looks for its latest history row.
    auto ultimo = [&](const QString& campo) {
        return QStringLiteral("(select s2.%1 from %2 s2 where s2.%3 = v.id order by s2.rowid desc limit 1)")
            .arg(campo, S, Storico::IdProd);
    };
    QSqlQuery q = a.esegui(
        QStringLiteral("select v.id, coalesce(p.%1, %2), coalesce(p.%3, %4), v.quantita, v.vendite from "
                       "(select %5 as id, sum(%6) as quantita, sum(%7) as vendite from %8 "
                       "where %9 = ? and %10 >= ? and %10 <= ? group by %5 "
                       "order by quantita desc, vendite desc, id limit ?) v ")
                .arg(Prodotti::Nome, ultimo(Storico::Nome), Prodotti::Descrizione, ultimo(Storico::Descrizione),
                     Storico::IdProd, Storico::Quantita, Storico::Prezzo, S, Storico::Azione)
                .arg(Storico::DataOggi) +
            QStringLiteral("left join %1 p on p.%2 = v.id order by v.quantita desc, v.vendite desc, v.id")
                .arg(P, Prodotti::Id),
        {Azioni::Scarico, Iso(da), Iso(al), quanti});
    QVector<TProdottoVenduto> elenco;
    while (q.next()) {
        TProdottoVenduto p;
        p.id = q.value(0).toLongLong();
        p.nome = q.value(1).toString();
        p.descrizione = q.value(2).toString();
        p.quantita = q.value(3).toLongLong();
        p.vendite = q.value(4).toDouble();
        elenco << p;
    }
    return elenco;
}

TValoreMagazzino ValoreMagazzino(TArchivio& a) {
    QSqlQuery q = a.esegui(QStringLiteral("select sum(%1 * %2), sum(%1 * %3) from %4 where %5 <> ?")
                               .arg(Prodotti::Quantita, Prodotti::Prezzo, Prodotti::Prezzo2,
                                    a.nomeQualificato(Definizioni::Prodotti), Prodotti::Nome),
                           {QString(QLatin1String(""))});
    TValoreMagazzino v;
    if (q.next()) {
        v.acquisto = q.value(0).toDouble();
        v.vendita = q.value(1).toDouble();
    }
    return v;
}
