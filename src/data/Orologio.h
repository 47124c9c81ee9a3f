#pragma once
// Today and the clock: one routine that tests and benchmarks can set.

#include <QDate>
#include <QDateTime>

// Today and now, from the local clock unless a test set them.
QDate Oggi();
QDateTime Adesso();
// Fixes the clock at the given moment (an invalid one gives the real clock back).
void ImpostaOrologio(const QDateTime& momento);
