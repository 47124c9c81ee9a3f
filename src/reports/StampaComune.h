#pragma once
// Pieces the report windows share: the layout's opening, the money text and
// the font size of the detail controls taken from a CAR_STAMPA_* setting.

#include "reports/DatiStampe.h"
#include "reports/engine/Report.h"

#include <QStringList>
#include <functional>
#include <initializer_list>

// How every report window opens its layout: the data source, the layout's
// font size and the hook run before each generation.
void PreparaReport(TReport& report, TDatiReport* dati, double dimensioneLayout, std::function<void()> primaDiGenerare);
// The column-header band of the given height, the page number at its top
// right (the prefix, e.g. "Pag.", immediately followed by the number).
TBanda& BandaIntestazione(TReport& report, double altezza, const QString& prefissoPagina);

// The date line of the history and cash-flow reports: "Intervallo periodo dal
// dd/mm/yyyy al dd/mm/yyyy" from the period's two MM/DD/YYYY bounds.
QString TestoIntervalloPeriodo(const QString& dataDa, const QString& dataA);

// Two decimals with thousands grouping, then " €": 1.234,50 €.
QString TestoMoneta(double valore);

// The sizes a CAR_STAMPA_* setting may give; a setting outside them prints
// at the nearest one.
inline constexpr int CarattereMinimo = 6;
inline constexpr int CarattereMassimo = 72;
// The size a setting gives: 0 for a setting of 0 or less (the layout keeps
// its sizes), otherwise the setting within 6-72. With avvisa a setting
// outside shows its warning.
int CarattereEffettivo(int carattere, bool avvisa);

// The report hook's font-size step: a size of 0 or less shows the warning
// "Parametro di carattere di stampa inferiore a 0" and keeps the layout's
// sizes; a size outside 6-72 warns and takes the nearest bound; the named
// controls take the size, and the band their lines sit on grows when the
// text needs more height than it has.
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

class TNomiAnagrafiche;
class QVariant;

// The lines of a report that take the CAR_STAMPA_* size: each band with its
// layout height and the controls on it.
struct TRigaCarattere {
    TTipoBanda banda;
    double altezzaLayout;
    QStringList controlli;
};
// ApplicaCarattereStampa over several lines: one warning for a size of 0 or
// less, and then every line keeps the layout's size.
void ApplicaCarattereStampaRighe(TReport& report, int carattere, double dimensioneLayout,
                                 std::initializer_list<TRigaCarattere> righe);

// The producer column of a product line: blank for an empty ID, otherwise
// NOME + " " + COGNOME (a single space when no producer has that ID).
QString ProduttoreDellaRiga(TNomiAnagrafiche& nomi, const QVariant& idProduttore);

// The report hook's query step: runs the query, leaves the dataset on its
// first row and shows the warning when it has none; true when it has rows.
bool ApriDatiStampa(QSqlQuery& query, TDatiQueryAvanti& dati, const TQueryStampa& testo, const QString& avvisoVuoto);
