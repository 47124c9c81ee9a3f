#pragma once
// The views and the state text of the quantity check window: a product is
// running out when 0 < QUANTITA <= QTAALERT.

#include <QString>

// The list's condition (a WHERE expression, empty for every product) for
// the views "Fine scorta", "Esauriti", "Giacenti",
// "Anomali", "Tutti" (0 to 4). SQL comparisons with an empty QTAALERT never
// hold, so such a product is listed under "Tutti" and by its balance only.
QString CondizioneVisioneQuantita(int voce);

// The state of a row: in excess (on bright green) when the balance is above
// the alert quantity, otherwise the pieces to order (on yellow). An empty
// alert quantity counts as 0.
bool QuantitaInEsubero(int quantita, int qtaAlert);
QString TestoStatoQuantita(int quantita, int qtaAlert);
