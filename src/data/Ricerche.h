#pragma once
// The searches the lists run as keys are typed: which field, which text, and
// whether the text may sit anywhere in the field or only at its start.

#include <QString>
#include <QVector>

// A searched field: the rows whose field, letter case and accents folded
// as the store's lower() folds them, begins with (or contains) the text
// folded the same way; an empty text keeps every row whose field is not
// null. The same rows as lower(field) LIKE 'text%' (or '%text%') with
// % and _ taken literally.
struct TRicerca {
    QString campo;
    QString testo;
    bool contiene = false;
};

// The field, lower-cased, begins with the (lower-cased) text; records where
// the field is empty (null) are never listed.
QVector<TRicerca> RicercaInizia(const QString& campo, const QString& testo);
// The product searches: the code begins with the first text and the
// description contains the second, regardless of case. Records without a code
// or a description are never listed.
QVector<TRicerca> RicercaProdotti(const QString& codice, const QString& descrizione);
