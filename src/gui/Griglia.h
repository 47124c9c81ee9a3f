#pragma once
// Small helpers the registry and list windows share: read-only grids on a
// list model, search boxes that turn what is typed into lower case.

#include <QString>

class QLineEdit;
class QTableView;
class TModelloElenco;

// A read-only grid of whole rows, one selected at a time, on the model.
void PreparaGriglia(QTableView* griglia, TModelloElenco* modello);
// The grid's current row, -1 when none.
int RigaCorrente(const QTableView* griglia);
// Makes the row current (and visible); nothing on an empty grid.
void SelezionaRiga(QTableView* griglia, int riga);
// What is typed into the box is turned into lower case; at most the given length.
void MinuscoloDuranteDigitazione(QLineEdit* box, int lunghezzaMassima = 100);
