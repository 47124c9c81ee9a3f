#pragma once
// The program folder: every file the program names by itself lies there.

#include <QString>

// The folder of the program's executable, ending with "/".
QString CartellaProgramma();
// Points the program folder elsewhere (tests, the benchmark programs).
void ImpostaCartellaProgramma(const QString& cartella);
