#pragma once
// The history's first and last day, which the period windows offer.

#include <QDate>

// Invalid dates when the history is empty.
struct TIntervalloStorico {
    QDate primo;
    QDate ultimo;
};
TIntervalloStorico IntervalloStorico();
