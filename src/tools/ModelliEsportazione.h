#pragma once
// The export models of tabexport.db: what a model holds, read from and
// stored into the record the window's table stands on. The window keeps the
// flow (questions, messages); these routines do the record work.

#include <QString>

class TTabella;

struct TModelloEsportazione {
    QString descr;
    QString campi, tabelle, condizione, ordinamento;
    QString nomeFile, nomeFoglio, formattazione, campoData;
    int txtOxls = -1;  // 0 text file, 1 spreadsheet, -1 none chosen
};

// The model of the current record.
TModelloEsportazione LeggiModello(const TTabella& t);
// Stores the model into the record being inserted or edited (DESCR only when
// inserting); a record without a number gets the highest stored one plus 1.
void ScriviModello(TTabella& t, const TModelloEsportazione& m);
// The next model number: the highest stored one plus 1 (1 on an empty table).
int ProssimoProgressivo();
