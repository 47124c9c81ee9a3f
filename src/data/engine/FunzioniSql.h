#pragma once
// SQL functions the store adds to SQLite: a Unicode-aware lower() for every
// connection that searches Italian text, and the store's value conversion for
// the store's own connection.

struct sqlite3;

// Registers the Unicode-aware lower() on a connection (also the read-only one
// that runs the user's export query).
void RegistraLowerUnicode(sqlite3* h);
// Registers lower() and zr_conv(value, type, size), the conversion of a value
// to a field's type that fails the statement on a value that does not
// convert (used by the bulk copy of a rebuild).
void RegistraFunzioniArchivio(sqlite3* h);
