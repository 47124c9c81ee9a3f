#pragma once
// SQL functions the store adds to SQLite, for connections other than the
// store's own (the read-only one that runs the user's export query).

struct sqlite3;

// Registers the Unicode-aware lower() on a connection.
void RegistraLowerUnicode(sqlite3* h);
