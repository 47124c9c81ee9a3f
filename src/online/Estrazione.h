#pragma once
// The data work of the update check, without a window: the criteria-driven
// extraction of a value from page texts, the criteria of the maker's
// programs, the body of a fetched page, and the version numbers read from
// texts.

#include <QByteArray>
#include <QString>
#include <QStringList>

// How a value is cut out of page texts.
struct TCriterioEstrazione {
    QString primaChiave;
    QString secondaChiave;
    QString marcatoreInizio;
    QString marcatoreFine;
    QString caratteriFinali;  // a set of characters stripped from the end
    qint16 occorrenza = 0;    // how many texts holding the second key are passed over
    bool mantieniInizio = false;
    bool mantieniFine = false;
    bool ricercaInversa = false;
};

// The text with its characters in reverse order.
QString invertiTesto(const QString& testo);

// Appends to the output the values the criteria cut out of the page texts.
// All searches regard case; an empty key or marker is never found.
void EstraiURLConCriterio(const QStringList& pagine, QStringList& uscita, const TCriterioEstrazione& criterio);

// The criteria of the maker's program with the given title (looked up in
// lower case); empty criteria for a title of no program.
TCriterioEstrazione CriterioPerProgramma(const QString& titolo);

// The text of a fetched page that the extraction searches: its body element
// from "<body" to "</body>" included (to the end when the closing tag is
// missing; the whole page when there is no body), decoded by the charset the
// reply declares (the Content-Type header, else a meta tag), else as UTF-8.
QString CorpoPagina(const QByteArray& pagina, const QByteArray& tipoContenuto);

// The running version number: the version text without its first eight
// characters, as an integer ("07.2003-40" gives 40; 0 when not a number).
int NumeroVersione(const QString& versione);

// The number a value extracted from a page gives: an integer with leading
// blanks allowed; -1 when there is no value or it is not an integer.
int NumeroDisponibile(const QStringList& valori);
