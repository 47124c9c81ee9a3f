#pragma once
// The two bulk resets: folding every product's unloads into its loads, and
// deleting the history rows of a period. No window here.

#include "data/IntervalloStorico.h"

#include <QDate>
#include <QString>
#include <functional>

// Sets, for every product in key order, SCARICHI := 0, TOTALEVENDITE := 0,
// CARICHI := QUANTITA, TOTALEACQUISTI := QUANTITA × PREZZO, all in one
// transaction: a failure leaves every product as it was. A balance that
// cannot become the loads (out of the field's range) or a stock value beyond
// any number refuses the reset with ErroreLimiteContatori before any product
// changes. The callback hears
// of each product as it is done (its number from 1, and the count). The
// reset is noted beside the history (RegistraAzzeramento), so that no
// movement recorded before it is reversed afterwards.
void AzzeraScarichiProdotti(const std::function<void(int fatti, int totale)>& avanzamento = {});

// Deletes the history rows dated from the first to the last day, both
// included, in one statement: all of them or, on a failure, none; how many
// were deleted. The callback hears now and then of the rows deleted so far
// and how many there are; when it answers false the deletion stops and none
// is deleted (the store's error is raised).
int CancellaStoricoPeriodo(const QDate& primo, const QDate& ultimo,
                           const std::function<bool(qint64 fatti, qint64 totale)>& avanzamento = {});

// The same deletion for a run that shows its progress without slowing it
// down: no count of the period first. The deletion reads every row of the
// history; the callback hears now and then of the rows read so far out of
// all of them, and when it answers false the deletion stops and none is
// deleted (the store's error is raised).
int CancellaStoricoPeriodoScorrendo(const QDate& primo, const QDate& ultimo,
                                   const std::function<bool(qint64 lette, qint64 totale)>& avanzamento);
