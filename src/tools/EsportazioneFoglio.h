#pragma once
// The spreadsheet export: the rows of the user's query written through the
// workbook writer (data/FoglioLavoro.h), one sheet named from the model,
// each column as wide as its field.

#include "data/FoglioLavoro.h"
#include "tools/EsportazioneTesto.h"

#include <QString>
#include <functional>

class TConnessioneLettura;

// Column width of a result column in characters, at most 50.
int LarghezzaColonnaFoglio(const TColonnaRisultato& c);

// Writes every remaining row of the prepared query into a new workbook in the
// folder and returns its path. A refused sheet name, too many rows or a failed
// write raise ErroreEsportazione naming the cause, and leave no file behind; a
// refused cell raises ErroreCellaFoglio with the incomplete workbook.
// allaFineDelleRighe is called once every row is read, before the workbook
// is packed (the longest step of a large export).
QString EsportaFoglio(TConnessioneLettura& c, const QString& nomeFoglio, const QString& cartella,
                      const std::function<void(qint64)>& avanzamento = {},
                      const std::function<void()>& allaFineDelleRighe = {});
