#pragma once
// The figures the charts draw, without any window. The engine groups the
// history by day (one GROUP BY over the period or the product's rows, as the
// cash-flow report does); the days are then gathered into weeks or months
// here, so a chart gets one point per day, week or month, never one per row.

#include "data/engine/Archivio.h"

#include <QDate>
#include <QString>
#include <QVector>

enum class TRaggruppamento { Giorno, Settimana, Mese };

// The first day of the group a day falls in: the day itself, the Monday of
// its week (a week across the new year stays one week), the 1st of its month.
QDate InizioGruppo(const QDate& giorno, TRaggruppamento r);
// "Giorno", "Settimana", "Mese".
QString NomeRaggruppamento(TRaggruppamento r);

// ---------------------------------------------------------------------------
// Cash flow: the sums of the cash-flow report, per day of the period.

struct TFlussiGiorno {
    QDate giorno;          // the first day of the group once gathered
    double acquisti = 0;   // sum of PREZZOACQ
    double vendite = 0;    // sum of PREZZO
    double differenza() const { return vendite - acquisti; }
};

// The history rows dated from da to a (both included), of one action unless
// azione is empty, summed per day exactly as the cash-flow report sums them:
// every row counts with its stored amounts, so a reversal (negative amounts)
// takes its movement back, an adjustment counts with its negative amounts and
// a stocktake row, which has none, adds nothing. Days in date order.
QVector<TFlussiGiorno> FlussiPerGiorno(TArchivio& archivio, const QDate& da, const QDate& a, const QString& azione);
// The days gathered into groups, in date order.
QVector<TFlussiGiorno> RaggruppaFlussi(const QVector<TFlussiGiorno>& giorni, TRaggruppamento r);

struct TTotaliFlussi {
    double acquisti = 0;
    double vendite = 0;
    double differenza() const { return vendite - acquisti; }
};
// The period's totals, added day by day in date order as the report adds them.
TTotaliFlussi TotaliFlussi(const QVector<TFlussiGiorno>& giorni);

// ---------------------------------------------------------------------------
// One product: its loads, unloads, other changes and stock balance.

struct TMovimentiGiorno {
    QDate giorno;         // the first day of the group once gathered
    qint64 carichi = 0;   // QUANTITA of the CARICO rows (a reversal counts negative)
    qint64 scarichi = 0;  // QUANTITA of the SCARICO rows (a reversal counts negative)
    // The balance change of every other row: a stocktake difference with its
    // sign, a stock adjustment (no sale price) taken off, an adjustment of
    // sales nothing (its loads and unloads both went down).
    qint64 rettifiche = 0;
    qint64 saldo = 0;     // the product's balance at the end of the day or group
    qint64 variazione() const { return carichi - scarichi + rettifiche; }
};

struct TAndamentoProdotto {
    bool trovato = false;  // the product is in the registry
    QString nome;          // its code, or that of its latest history row
    QString descrizione;
    qint64 saldoAttuale = 0;
    QVector<TMovimentiGiorno> giorni;  // days with rows, in date order
};

// Every history row of the product grouped by day. The balance runs back from
// the product's balance as it stands (rows deleted from the history cannot
// move it); a product no longer in the registry runs forward from 0.
TAndamentoProdotto AndamentoProdotto(TArchivio& archivio, qint64 idProdotto);
// The days gathered into groups: the movements added, the balance the last one's.
QVector<TMovimentiGiorno> RaggruppaMovimenti(const QVector<TMovimentiGiorno>& giorni, TRaggruppamento r);
