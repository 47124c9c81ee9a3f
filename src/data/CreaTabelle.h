#pragma once
// Creation and structure upgrade of the program's tables at start-up.

#include "data/engine/Definizioni.h"
#include "data/engine/Tabella.h"

#include <QString>
#include <QVector>
#include <functional>

// What the table routines have to tell the user, in the order it happened: a
// warning for each record a rebuild refused, a note for each table that came
// out short of records. The routines never show anything themselves (they
// run inside transactions); the caller shows the notes, and shows them also
// when a routine fails after writing some.
struct TAvvisoTabelle {
    bool attenzione = false;  // a warning; otherwise a plain message
    QString testo;
};
using TResocontoTabelle = QVector<TAvvisoTabelle>;

// How far a rebuild has come: the table being rebuilt, the records copied so
// far and how many there are. Heard now and then, not at every record.
using TAvanzamentoTabelle = std::function<void(const QString& tabella, qint64 fatti, qint64 totale)>;

// Creates or upgrades produttori.db, prodotti.db, storico.db, impostazioni.db
// and cat.db, in this order, and inserts the default settings record when the
// settings table is empty. The notes go to the report when one is given.
void CreaTabelle(TResocontoTabelle* resoconto = nullptr, const TAvanzamentoTabelle& avanzamento = {});

// Creates or upgrades the table the definition names. A table whose fields or
// indexes differ from the definition is rebuilt under a temporary name, filled
// with the old records and swapped in complete. Afterwards the definition's
// field and index lists are empty and its name is the table's file name.
void AggiornaStrutturaTabella(TDefinizioneTabella& definizione, TResocontoTabelle* resoconto = nullptr,
                              const TAvanzamentoTabelle& avanzamento = {});

// Appends to T a record with the values of the current record of S, field by
// field by name; false when the record is refused (logged to dberrori.log and
// noted in the report).
bool CopiaRecord(TTabella& sorgente, TTabella& destinazione, TResocontoTabelle* resoconto = nullptr);

// The name a table is rebuilt under: prodotti.db -> prodotti.dbAPPOGGIO.db.
QString NomeTemporaneo(const QString& nomeFile);
