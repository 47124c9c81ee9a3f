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

// Writes every remaining row of the prepared query into a new workbook in the
// folder and returns its path. A refused sheet name, too many rows or a failed
// write raise ErroreEsportazione naming the cause, and leave no file behind.
QString EsportaFoglio(TConnessioneLettura& c, const QString& nomeFoglio, const QString& cartella,
                      const std::function<void(qint64)>& avanzamento = {});
