#pragma once
// The export window lets the user write SQL in the old dialect of the table
// engine: table files named with ".db" in any letter case, fields qualified by
// them (prodotti.db."NOME"), strings in double quotes, dates as "mm/dd/yyyy"
// in double or single quotes, true / false, unnamed aggregates named
// "SUM OF PREZZO". TraduciSql turns such a text into SQLite SQL for the store,
// working on tokens so that nothing inside a literal is ever rewritten.

#include "data/engine/Archivio.h"

#include <QHash>
#include <QString>
#include <QVector>

// The fields of each table the text may name, by table name in lower case
// ("prodotti"); used to know which literals meet a date or boolean field.
using TCatalogoCampi = QHash<QString, QVector<TDefCampo>>;

// Where a column of the result comes from: a field (table and field name),
// an aggregate over one, or nothing known (an expression: its type comes from
// the engine).
struct TOrigineColonna {
    QString nome;       // the name given with AS
    QString tabella;    // lower case, empty when unknown
    QString campo;      // empty when unknown or "*"
    QString aggregato;  // SUM, MAX, MIN, AVG, COUNT or empty
};

struct TSqlTradotto {
    QString sql;
    QVector<TOrigineColonna> colonne;  // one per select item that is not "*"
};

// A text that cannot be translated (an unterminated literal, a date that does
// not exist); testo() is an Italian message.
class ErroreTraduzione : public ErroreArchivio {
public:
    using ErroreArchivio::ErroreArchivio;
};

TSqlTradotto TraduciSql(const QString& testo, const TCatalogoCampi& catalogo);
