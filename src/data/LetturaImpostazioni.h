#pragma once
// Reading the settings table, without any box: failures go to the caller.

#include "data/engine/Tabella.h"

#include <QString>

// The settings table's row, its values typed by the table's fields (read them
// with the Impostazioni:: names); a record without fields when the table holds
// no row. Store errors propagate.
TRecord LeggiImpostazioni();
// One field of the settings record as text ("10", "True", "" for an empty
// field); raises ErroreArchivio when the table holds no row or the field or
// the table cannot be read.
QString TestoImpostazione(const QString& nome);
// A setting read as the whole number it must be; anything else raises the
// conversion error.
int ImpostazioneIntera(const QString& testo);
// A report's font size from its CAR_STAMPA_* field, given the text already
// read through the record: the text stored in the table wins when it can be
// read (a text the whole-number field cannot hold reads back blank through the
// record), then it is read as a whole number, anything else raising the
// conversion error. A size beyond any int is the largest.
int DimensioneCarattereStampa(const QString& campo, const QString& letto);
// The days of warning before a product expires, from GIORNI_PREAVVISO_SCADENZA:
// 0 (no warning) for an empty field, a negative one, a table without the
// field or without a row. Store errors propagate.
int GiorniPreavvisoScadenza();
