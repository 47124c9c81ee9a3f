#pragma once
// Shared routines of every window: the message boxes, the program folder,
// today's date and the clock, the fixed Italian number and date conventions.

#include "data/engine/Tabella.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QLocale>
#include <QString>

class QColor;
class QWidget;
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <stdexcept>

class QLineEdit;
class QObject;

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

// Places a window in the middle of the desktop it is on, shrunk to fit it;
// a window not yet shown is placed again when it is shown, after its layout
// has given it its size.
void CentraSulloSchermo(QWidget* finestra);
// The text colour of a label or button, in the active and inactive states
// only: a disabled control keeps the disabled look.
void ColoraTesto(QWidget* w, const QColor& colore);

// The hourglass cursor for as long as the object lives.
class TCursoreOccupato {
public:
    TCursoreOccupato();
    ~TCursoreOccupato();
    TCursoreOccupato(const TCursoreOccupato&) = delete;
    TCursoreOccupato& operator=(const TCursoreOccupato&) = delete;
};

// A long operation of a window, from its start to its end however it ends
// (a return, a failure): the window's flag is set and the controls that
// could start a second run or close the window are disabled, so that a
// second run does not start inside the first nor the window close under it;
// at the end the flag is cleared, those controls are enabled again and the
// window's own clean-up runs (a label hidden, a list shown again).
class TOperazioneInCorso {
public:
    TOperazioneInCorso(bool& inCorso, QList<QWidget*> bloccati, std::function<void()> allaFine = {});
    ~TOperazioneInCorso();
    TOperazioneInCorso(const TOperazioneInCorso&) = delete;
    TOperazioneInCorso& operator=(const TOperazioneInCorso&) = delete;

private:
    bool& m_inCorso;
    QList<QPointer<QWidget>> m_bloccati;
    std::function<void()> m_allaFine;
};

// ---------------------------------------------------------------------------
// Shared routines of the windows.

// An error raised by the shared routines; its text reaches the general error
// display when the caller does not handle it.
class ErroreProgramma : public std::runtime_error {
public:
    explicit ErroreProgramma(const QString& testo) : std::runtime_error(testo.toStdString()), m_testo(testo) {}
    QString testo() const { return m_testo; }

private:
    QString m_testo;
};

// Shell and processes.
// Opens a file path or a web address with its default application; the
// outcome is ignored.
void ApriDocumento(const QString& testo);
// The mailto link for an address, a subject and a body: every value
// percent-encoded (a blank as %20), so that decoding gives them back exactly.
QUrl LinkMail(const QString& indirizzo, const QString& oggetto, const QString& corpo);
// Opens a new mail in the user's mail program.
void InviaMail(const QString& indirizzo, const QString& oggetto, const QString& corpo);
// Runs a program with its arguments (no shell), waits for it without
// processing events, and gives its exit code as a signed number: an exit
// status of 254 reads as -2. "Error during CreateProcess" when it cannot start.
int EseguiEAttendi(const QString& programma, const QStringList& argomenti);
// Raises ErroreProgramma with the text when the condition is false.
void Verifica(bool condizione, const QString& testo);

// Texts and input.
// The character a numeric box accepts: digits, backspace (8), enter (13) and
// the comma pass, everything else becomes code 0 (the key is ignored).
QChar FiltraTastoNumerico(QChar carattere);
// True when every character of the text is one a numeric box accepts as
// typed text (digits and commas): for pasted or dropped text.
bool TestoNumericoAmmesso(const QString& testo);
// Makes a line edit numeric: typed characters pass FiltraTastoNumerico and
// pasted text that is not made of digits and commas is refused.
void ImpostaFiltroNumerico(QLineEdit* edit);
// Limits a line edit to n characters as a field's size counts them (code
// points): what goes beyond is cut at a whole character, as the store cuts it.
void LimitaCaratteri(QLineEdit* edit, int n);
// The last (first) n characters; the whole text when it is shorter. A
// character is a whole code point, as in a field's size: an emoji is never split.
QString TestoDestro(const QString& testo, int n);
QString TestoSinistro(const QString& testo, int n);
// The last character; code 0 for the empty text.
QChar UltimoCarattere(const QString& testo);
// Completes a typed date with today's month and year where parts are missing
// and checks it: on success the text becomes dd/MM/yyyy and the result is
// true; otherwise "Data non corretta!" is shown, the text stays as typed and
// the result is false. Never raises.
bool CompletaData(QString& testo);

// Two dates as the texts SQL conditions compare with (mm/dd/yyyy), and the
// dates themselves for queries that bind them.
struct TPeriodoSQL {
    QString primo;
    QString secondo;
    QDate dataPrimo;
    QDate dataSecondo;
};
// Raises ErroreProgramma when a text is not a date (d/M/yyyy).
TPeriodoSQL PeriodoSQL(const QString& primo, const QString& secondo);
// The last period computed by PeriodoSQL.
const TPeriodoSQL& UltimoPeriodoSQL();
// Today's day and month with a leading 0 ("07", "03"), and year ("2004").
QString GiornoOggi();
QString MeseOggi();
QString AnnoOggi();

// Files and settings.
// Copies a file, keeping its modification time and permission bits. False
// when the paths name the same file, when either file cannot be opened, or
// when a read or write fails; the destination is then left as it was (a
// partial copy never replaces it).
bool CopiaFile(const QString& sorgente, const QString& destinazione);
// The settings table's row, its values typed by the table's fields (read them
// with the Impostazioni:: names); a record without fields when the table holds
// no row. Store errors propagate.
TRecord LeggiImpostazioni();
// One field of the settings record as text ("10", "True", "" for an empty
// field); on failure the error box names the field and the text is empty.
QString LeggiImpostazione(const QString& nome);
// A setting read as the whole number it must be; anything else raises the
// conversion error.
int ImpostazioneIntera(const QString& testo);
// A report's font size from its CAR_STAMPA_* setting: read with
// LeggiImpostazione, then as a whole number (a failed read shows its box and
// then raises the conversion error, as an empty or non-numeric field does).
int LeggiCarattereStampa(const QString& campo);

// NOME + " " + COGNOME of the producer with the given ID (a single space when
// there is none); one statement per call.
QString NomeCognomeProduttore(const QVariant& idProduttore);
// The producer line of the product windows: "Dettagli: " + NomeCognomeProduttore;
// "Dettagli:" for an empty ID.
QString TestoDettagliProduttore(const QVariant& idProduttore);
// The name of the category with the given ID; empty when there is none.
QString NomeCategoria(const QVariant& idCategoria);

// Interface translation through the optional lingua.db of the program folder.
// The caption in the given language: the text without its leading "&" and
// without apostrophes, replaced by the language's column of the first row
// whose ITALIANO equals it. Raises when the language is no column of lingua.
QString Traduci(const QString& testo, const QString& lingua);
// The translation step of a window: the captions of the controls, in order
// (a window's title, labels, buttons, group boxes, actions). Nothing happens
// without lingua.db or with the language "Italiano" or empty; an error ends
// the step, is shown by the general error display, and the captions
// translated so far stay.
void TraduciControlli(const QList<QObject*>& controlli);
