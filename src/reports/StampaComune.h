#pragma once
// Pieces the report windows share: the money text and the font size of the
// detail controls taken from a CAR_STAMPA_* setting.

#include "reports/engine/Report.h"

#include <QStringList>

// Two decimals with thousands grouping, then " €": 1.234,50 €.
QString TestoMoneta(double valore);

// The report hook's font-size step: a size of 0 or less shows the warning
// "Parametro di carattere di stampa inferiore a 0" and keeps the layout's
// sizes; otherwise the named controls take the size, and the band their
// lines sit on grows when the text needs more height than it has.
void ApplicaCarattereStampa(TReport& report, int carattere, const QStringList& controlli, double dimensioneLayout,
                            TBanda* banda, double altezzaLayout);

// The closing lines of the history and cash-flow reports, controls named in
// this order: purchase total, sale total (side by side), difference, revenue
// (one under the other). DisponiRiepilogo gives them the print size (the
// layout's when the setting is 0 or less) and the summary band the height
// they need; ScriviRiepilogo sets their texts, all blank and the separator
// line hidden when no prices are printed.
void DisponiRiepilogo(TReport& report, int carattere, double dimensioneLayout, const QStringList& controlli);
void ScriviRiepilogo(TReport& report, const QStringList& controlli, const QString& linea, double larghezzaLinea,
                     bool nonStampaPrezzi, double totaleAcquisti, double totaleVendite);
