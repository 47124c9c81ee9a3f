#pragma once
// The file work under the tables: syncing a file to disk, rolling back a
// journal that a killed write left beside a table file, and the swap that puts
// a complete table file in place of the old one.

#include <QString>

// The engine's result code of the same kind as a failed file operation's
// errno (disk full, read-only, busy; an I/O error otherwise).
int CodiceDaErrno(int e);

// Writes a file's (or a folder's) data to disk; a path that cannot be opened
// is passed over.
void SincronizzaFile(const QString& percorso);

// Opens a database file and reads it, so that SQLite rolls back a journal
// that a killed write left beside it.
void RecuperaGiornale(const QString& percorso);

// Rolls back the journals a killed run left in the folder, then removes the
// store's main file's super-journals that no journal needs any more.
void RecuperaAvanzi(const QString& cartella);

// Removes a table file and its journal; an ErroreArchivio when the file stays.
void EliminaFileTabella(const QString& file);

// Puts the complete file nuovo in place of destinazione in one step: a
// leftover journal of destinazione is rolled back first, so that it can never
// be applied to the new file, and the new file is on disk before its name
// changes. nomeDa and nomeA name the two tables in the error's text.
void SostituisciFileTabella(const QString& nuovo, const QString& destinazione, const QString& nomeDa,
                            const QString& nomeA);
