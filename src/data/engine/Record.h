#pragma once
// The record gateway: insert, update and read one record of a table by its
// key, and the next free key, for the routines that write records without a
// cursor (a movement, a registry's new key). Field names come from the
// tables' declarations; every value is bound, converted to its field's type.

#include "data/engine/Tabella.h"

// max(campo) + 1 over the table: 1 on an empty table.
int ProssimaChiave(TArchivio& a, const QString& tabella, const QString& campo);

// The record whose campoChiave holds chiave, its fields read by name as
// declared in campi; a record without fields when there is none.
TRecord LeggiRecord(TArchivio& a, const QString& tabella, const QVector<TDefCampo>& campi,
                    const QString& campoChiave, const QVariant& chiave);

// The values a record writes, in its fields' order, each converted to its
// field's type; an ErroreArchivio for a required field left empty (SQLite
// would give an empty integer key a number of its own instead of refusing it).
QVariantList ValoriDaScrivere(const TRecord& r);
// "INSERT INTO <qualificato> (<fields>) VALUES (?, ...)" for the record's
// fields, for a caller that keeps the statement prepared across rows.
QString SqlInserimento(const QString& qualificato, const QVector<TDefCampo>& campi);

// Inserts the record, every field of it.
void InserisciRecord(TArchivio& a, const QString& tabella, const TRecord& r);
// Writes the record's fields named in campi to the record whose campoChiave
// holds the record's own value of that field.
void AggiornaRecord(TArchivio& a, const QString& tabella, const TRecord& r, const QStringList& campi,
                    const QString& campoChiave);
