#include "data/DatiGrafici.h"

#include "data/engine/Definizioni.h"

#include <QSqlQuery>

QDate InizioGruppo(const QDate& giorno, TRaggruppamento r) {
    switch (r) {
    case TRaggruppamento::Giorno: return giorno;
    case TRaggruppamento::Settimana: return giorno.addDays(1 - giorno.dayOfWeek());
    case TRaggruppamento::Mese: return QDate(giorno.year(), giorno.month(), 1);
    }
    return giorno;
}

QString NomeRaggruppamento(TRaggruppamento r) {
    switch (r) {
    case TRaggruppamento::Giorno: return QStringLiteral("Giorno");
    case TRaggruppamento::Settimana: return QStringLiteral("Settimana");
    case TRaggruppamento::Mese: return QStringLiteral("Mese");
    }
    return {};
}

namespace {

// A stored date; a text with a time after the day reads as its day.
QDate GiornoDi(const QVariant& v) { return QDate::fromString(v.toString().left(10), Qt::ISODate); }

}  // namespace

QVector<TFlussiGiorno> FlussiPerGiorno(TArchivio& a, const QDate& da, const QDate& al, const QString& azione) {
    // The report's own group-by: the period compared on the stored ISO text.
    QString sql = QStringLiteral("select %1, sum(%2), sum(%3) from %4 where %1 >= ? and %1 <= ?")
                      .arg(Storico::DataOggi, Storico::PrezzoAcq, Storico::Prezzo,
                           a.nomeQualificato(Definizioni::Storico));
    QVariantList parametri{da.toString(Qt::ISODate), al.toString(Qt::ISODate)};
    if (!azione.isEmpty()) {
        sql += QStringLiteral(" and %1 = ?").arg(Storico::Azione);
        parametri << azione;
    }
    sql += QStringLiteral(" group by %1 order by %1").arg(Storico::DataOggi);
    QSqlQuery q = a.esegui(sql, parametri);
    QVector<TFlussiGiorno> giorni;
    while (q.next()) {
        const QDate g = GiornoDi(q.value(0));
        if (!g.isValid()) continue;
        if (giorni.isEmpty() || giorni.last().giorno != g) giorni.append(TFlussiGiorno{g});
        giorni.last().acquisti += q.value(1).toDouble();
        giorni.last().vendite += q.value(2).toDouble();
    }
    return giorni;
}

QVector<TFlussiGiorno> RaggruppaFlussi(const QVector<TFlussiGiorno>& giorni, TRaggruppamento r) {
    QVector<TFlussiGiorno> gruppi;
    for (const TFlussiGiorno& g : giorni) {
        const QDate inizio = InizioGruppo(g.giorno, r);
        if (gruppi.isEmpty() || gruppi.last().giorno != inizio) gruppi.append(TFlussiGiorno{inizio});
        gruppi.last().acquisti += g.acquisti;
        gruppi.last().vendite += g.vendite;
    }
    return gruppi;
}

TTotaliFlussi TotaliFlussi(const QVector<TFlussiGiorno>& giorni) {
    TTotaliFlussi t;
    for (const TFlussiGiorno& g : giorni) {
        t.acquisti += g.acquisti;
        t.vendite += g.vendite;
    }
    return t;
}

TAndamentoProdotto AndamentoProdotto(TArchivio& a, qint64 idProdotto) {
    TAndamentoProdotto andamento;
    {
        QSqlQuery p = a.esegui(QStringLiteral("select %1, %2, %3 from %4 where %5 = ?")
                                   .arg(Prodotti::Nome, Prodotti::Descrizione, Prodotti::Quantita,
                                        a.nomeQualificato(Definizioni::Prodotti), Prodotti::Id),
                               {idProdotto});
        if (p.next()) {
            andamento.trovato = true;
            andamento.nome = p.value(0).toString();
            andamento.descrizione = p.value(1).toString();
            andamento.saldoAttuale = p.value(2).toLongLong();
        }
    }
    const QString S = a.nomeQualificato(Definizioni::Storico);
    if (!andamento.trovato) {
        QSqlQuery u = a.esegui(QStringLiteral("select %1, %2 from %3 where %4 = ? order by %5 desc limit 1")
                                   .arg(Storico::Nome, Storico::Descrizione, S, Storico::IdProd, Storico::Id),
                               {idProdotto});
        if (u.next()) {
            andamento.nome = u.value(0).toString();
            andamento.descrizione = u.value(1).toString();
        }
    }
    // One scan of the history, grouped by day; the change of every row as
    // the history window's running balance counts it.
    QSqlQuery q = a.esegui(
        QStringLiteral("select %1, "
                       "sum(case when %2 = ? then %3 else 0 end), "
                       "sum(case when %2 = ? then %3 else 0 end), "
                       "sum(case when %2 = ? then %3 when %2 = ? and %4 is null then -%3 else 0 end) "
                       "from %5 where %6 = ? group by %1 order by %1")
            .arg(Storico::DataOggi, Storico::Azione, Storico::Quantita, Storico::Prezzo, S, Storico::IdProd),
        {Azioni::Carico, Azioni::Scarico, Azioni::Inventario, Azioni::Aggiustamento, idProdotto});
    qint64 saldo = 0;
    while (q.next()) {
        const QDate g = GiornoDi(q.value(0));
        if (!g.isValid()) continue;
        if (andamento.giorni.isEmpty() || andamento.giorni.last().giorno != g)
            andamento.giorni.append(TMovimentiGiorno{g});
        TMovimentiGiorno& m = andamento.giorni.last();
        m.carichi += q.value(1).toLongLong();
        m.scarichi += q.value(2).toLongLong();
        m.rettifiche += q.value(3).toLongLong();
    }
    if (andamento.trovato) {
        saldo = andamento.saldoAttuale;
        for (auto it = andamento.giorni.rbegin(); it != andamento.giorni.rend(); ++it) {
            it->saldo = saldo;
            saldo -= it->variazione();
        }
    } else {
        for (TMovimentiGiorno& m : andamento.giorni) {
            saldo += m.variazione();
            m.saldo = saldo;
        }
        andamento.saldoAttuale = saldo;
    }
    return andamento;
}

QVector<TMovimentiGiorno> RaggruppaMovimenti(const QVector<TMovimentiGiorno>& giorni, TRaggruppamento r) {
    QVector<TMovimentiGiorno> gruppi;
    for (const TMovimentiGiorno& g : giorni) {
        const QDate inizio = InizioGruppo(g.giorno, r);
        if (gruppi.isEmpty() || gruppi.last().giorno != inizio) gruppi.append(TMovimentiGiorno{inizio});
        TMovimentiGiorno& m = gruppi.last();
        m.carichi += g.carichi;
        m.scarichi += g.scarichi;
        m.rettifiche += g.rettifiche;
        m.saldo = g.saldo;
    }
    return gruppi;
}
