#pragma once
// The copy of one file, all or nothing.

#include <QString>

// Copies a file, keeping its modification time and permission bits. False
// when the paths name the same file, when either file cannot be opened, or
// when a read or write fails; the destination is then left as it was (a
// partial copy never replaces it).
bool CopiaFile(const QString& sorgente, const QString& destinazione);
