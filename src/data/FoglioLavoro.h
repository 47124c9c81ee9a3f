#pragma once
// The workbook writer: a real .xlsx file written with libxlsxwriter in
// constant-memory mode, one sheet, the column names in bold on the first row,
// the second row empty, the rows from the third. Cells are typed (numbers,
// dates, booleans, texts): a text is never read as a formula. Each call writes
// a new file, so a workbook still open in the spreadsheet program is never
// overwritten. The rows come from whoever calls it: the export's query or a
// list built in memory.

#include "data/engine/Errore.h"

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>

// An export that cannot be done; testo() is the Italian message.
class ErroreEsportazione : public ErroreArchivio {
public:
    using ErroreArchivio::ErroreArchivio;
};

// The most records a sheet holds below its header and empty row.
inline constexpr qint64 RigheMassimeFoglio = 1048576 - 2;

// The folder where the workbooks are written: it outlives the program's run,
// so that the spreadsheet program can still read a workbook it has open.
QString CartellaFogli();

// A cell the workbook refused (a text longer than a cell holds): the rows
// before it are kept in a workbook closed under a name that says it is
// incomplete, so that the user sees what was written and never takes it for
// the whole result.
class ErroreCellaFoglio : public ErroreEsportazione {
public:
    ErroreCellaFoglio(const QString& causa, qint64 riga, int colonna, const QString& campo, const QString& percorso)
        : ErroreEsportazione(causa), causa(causa), campo(campo), percorso(percorso), riga(riga), colonna(colonna) {}
    QString causa;     // why the cell was refused, in Italian
    QString campo;     // the column being written
    QString percorso;  // the incomplete workbook
    qint64 riga;       // the sheet's row, from 1
    int colonna;       // the sheet's column, from 1
};

// The message for a refused cell: where the export stopped, in the model
// named, why, and that the workbook shown holds only what came before.
QString MessaggioCellaRifiutata(const ErroreCellaFoglio& e, const QString& modello);

// A column of the sheet: its title and its width in characters (1 to 50).
struct TColonnaFoglio {
    QString nome;
    int larghezza = 15;
};

// Writes the rows into a new workbook in the folder and returns its path.
// prossima() steps to the next row (false at the end) and valore(i) gives
// the row's value in column i: null (an empty cell), qlonglong or int,
// double, bool, QDate, or anything else written as text. A refused sheet
// name, too many rows or a failed write raise ErroreEsportazione naming the
// cause, and leave no file behind; a refused cell raises ErroreCellaFoglio
// with the incomplete workbook; whatever prossima() raises passes through
// with no file left.
QString ScriviFoglio(const QVector<TColonnaFoglio>& colonne, const std::function<bool()>& prossima,
                     const std::function<QVariant(int)>& valore, const QString& nomeFoglio, const QString& cartella,
                     const std::function<void(qint64)>& avanzamento = {});
