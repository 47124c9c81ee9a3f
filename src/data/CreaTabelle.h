#pragma once
// Creation and structure upgrade of the program's tables at start-up.

#include "data/engine/Definizioni.h"
#include "data/engine/Tabella.h"

// Creates or upgrades produttori.db, prodotti.db, storico.db, impostazioni.db
// and cat.db, in this order, and inserts the default settings record when the
// settings table is empty.
void CreaTabelle();

// Creates or upgrades the table the definition names. A table whose fields or
// indexes differ from the definition is rebuilt under a temporary name, filled
// with the old records and swapped in complete. Afterwards the definition's
// field and index lists are empty and its name is the table's file name.
void AggiornaStrutturaTabella(TDefinizioneTabella& definizione);

// Appends to T a record with the values of the current record of S, field by
// field by name; false when the record is refused (logged to dberrori.log and
// announced).
bool CopiaRecord(TTabella& sorgente, TTabella& destinazione);

// The name a table is rebuilt under: prodotti.db -> prodotti.dbAPPOGGIO.db.
QString NomeTemporaneo(const QString& nomeFile);
