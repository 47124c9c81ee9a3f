#pragma once
// The figures of the summary window, without any window: the movements of a
// period, the products sold most and the value of the stock. They are the
// sums the reports print over the same rows: the period's purchases, sales
// and margin are the cash-flow report's totals (every action), its loads and
// unloads the quantities of that report restricted to loads or unloads.

#include "data/engine/Archivio.h"

#include <QDate>
#include <QString>
#include <QVector>

struct TMovimentiPeriodo {
    qint64 carichi = 0;    // quantity loaded (CARICO rows)
    qint64 scarichi = 0;   // quantity unloaded (SCARICO rows)
    double acquisti = 0;   // PREZZOACQ of every row
    double vendite = 0;    // PREZZO of every row
    double margine() const { return vendite - acquisti; }
};
// The history rows dated from da to a, both included.
TMovimentiPeriodo MovimentiPeriodo(TArchivio& archivio, const QDate& da, const QDate& a);

struct TProdottoVenduto {
    qint64 id = 0;
    QString nome;
    QString descrizione;
    qint64 quantita = 0;   // unloaded in the period
    double vendite = 0;    // PREZZO of those unloads
};
// The products unloaded most in the period (by quantity, then sales, then
// code), at most quanti of them. Name and description are the product's
// current ones, or those of its latest history row once it is deleted.
QVector<TProdottoVenduto> ProdottiPiuVenduti(TArchivio& archivio, const QDate& da, const QDate& a, int quanti = 10);

struct TValoreMagazzino {
    double acquisto = 0;   // sum of QUANTITA x PREZZO (purchase price)
    double vendita = 0;    // sum of QUANTITA x PREZZO2 (sale price)
};
// Every product with a code, as the inventory lists them; a negative balance
// counts with its sign, as in the inventory's totals.
TValoreMagazzino ValoreMagazzino(TArchivio& archivio);
