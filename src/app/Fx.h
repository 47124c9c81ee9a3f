#pragma once
// Shared routines of every window: the message boxes, the program folder,
// today's date and the clock, the fixed Italian number and date conventions.

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

// Message boxes, all through the desktop seam (app/Interazione.h).
void MostraMessaggio(const QString& testo);   // "Messaggio.", information
void MostraAttenzione(const QString& testo);  // "Attenzione.", warning
void MostraErrore(const QString& testo);      // "Errore", error
bool ChiediConferma(const QString& testo);    // "Richiesta.", Yes / No; true for Yes
// The plain notice: no icon, the application title as caption.
void MostraAvviso(const QString& testo);
// The general error display: application title, stop icon, the error's text.
void MostraErroreGenerale(const QString& testo);

// The folder of the program's executable, ending with "/". Every file the
// program names by itself lies there.
QString CartellaProgramma();
// Points the program folder elsewhere (tests, the benchmark programs).
void ImpostaCartellaProgramma(const QString& cartella);

// Today and now, from the local clock unless a test set them.
QDate Oggi();
QDateTime Adesso();
// Fixes the clock at the given moment (an invalid one gives the real clock back).
void ImpostaOrologio(const QDateTime& momento);

// The program's regional conventions, whatever the machine's locale: dates
// dd/MM/yyyy, "," for decimals, "." for thousands.
const QLocale& LocaleItaliano();
inline const QString FormatoData = QStringLiteral("dd/MM/yyyy");
// A number with the given decimals and thousands grouping: 1.234,50.
QString FormattaNumero(double valore, int decimali);

// The hourglass cursor for as long as the object lives.
class TCursoreOccupato {
public:
    TCursoreOccupato();
    ~TCursoreOccupato();
    TCursoreOccupato(const TCursoreOccupato&) = delete;
    TCursoreOccupato& operator=(const TCursoreOccupato&) = delete;
};
