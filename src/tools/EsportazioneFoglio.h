#pragma once
// The spreadsheet export: a real .xlsx workbook written with libxlsxwriter in
// constant-memory mode, one sheet named from the model, the column names in
// bold on the first row, the second row empty, the records from the third.
// Cells are typed (numbers, dates, booleans, texts): a text is never read as a
// formula. Each export writes a new file, so a workbook still open in the
// spreadsheet program is never overwritten.

#include "tools/EsportazioneTesto.h"

#include <QString>
#include <functional>

class TConnessioneLettura;

// The most records a sheet holds below its header and empty row.
inline constexpr qint64 RigheMassimeFoglio = 1048576 - 2;
// Column width of a result column in characters, at most 50.
int LarghezzaColonnaFoglio(const TColonnaRisultato& c);

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
    QString campo;     // the result column being written
    QString percorso;  // the incomplete workbook
    qint64 riga;       // the sheet's row, from 1
    int colonna;       // the sheet's column, from 1
};

// The message for a refused cell: where the export stopped, in the model
// named, why, and that the workbook shown holds only what came before.
QString MessaggioCellaRifiutata(const ErroreCellaFoglio& e, const QString& modello);

// Writes every remaining row of the prepared query into a new workbook in the
// folder and returns its path. A refused sheet name, too many rows or a failed
// write raise ErroreEsportazione naming the cause, and leave no file behind; a
// refused cell raises ErroreCellaFoglio with the incomplete workbook.
QString EsportaFoglio(TConnessioneLettura& c, const QString& nomeFoglio, const QString& cartella,
                      const std::function<void(qint64)>& avanzamento = {});
