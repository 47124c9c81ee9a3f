#pragma once
// The store's error for a statement the engine refused, for code that runs
// statements through the engine's C interface on the store's connection:
// the same text and help context as for a statement run through Qt.

#include "data/engine/Archivio.h"

struct sqlite3;

// From the result code the engine returned (kept as the error's engine code)
// and the engine's own words.
ErroreArchivio ErroreDelMotore(int codiceMotore, const QString& testo);
// The same with the connection's words for its last failure.
ErroreArchivio ErroreDelMotore(sqlite3* h, int codiceMotore);
