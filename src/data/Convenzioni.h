#pragma once
// The program's regional conventions, whatever the machine's locale: dates
// dd/MM/yyyy, "," for decimals, "." for thousands; and the date and number
// texts built on them.

#include <QChar>
#include <QDate>
#include <QLocale>
#include <QString>

const QLocale& LocaleItaliano();
inline const QString FormatoData = QStringLiteral("dd/MM/yyyy");
// A number with the given decimals and thousands grouping: 1.234,50.
QString FormattaNumero(double valore, int decimali);

// The character a numeric box accepts: digits, backspace (8), enter (13) and
// the comma pass, everything else becomes code 0 (the key is ignored).
QChar FiltraTastoNumerico(QChar carattere);
// True when every character of the text is one a numeric box accepts as
// typed text (digits and commas): for pasted or dropped text.
bool TestoNumericoAmmesso(const QString& testo);

// The first n characters; the whole text when it is shorter. A character is
// a whole code point, as in a field's size: an emoji is never split.
QString TestoSinistro(const QString& testo, int n);

// A typed date completed with today's month and year where parts are missing,
// as dd/MM/yyyy; the empty text when the result is no date (a day or month out
// of range is refused, never carried over). Shows nothing.
QString DataCompletata(const QString& testo);

// Two dates as the texts SQL conditions compare with (mm/dd/yyyy), and the
// dates themselves for queries that bind them.
struct TPeriodoSQL {
    QString primo;
    QString secondo;
    QDate dataPrimo;
    QDate dataSecondo;
};
// Raises ErroreArchivio when a text is not a date (d/M/yyyy).
TPeriodoSQL PeriodoSQL(const QString& primo, const QString& secondo);
