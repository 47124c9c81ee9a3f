#pragma once
// What the program does to its folder before any table is touched: it checks
// that the folder can be written, takes the folder's lock so that it is the
// only program writing these tables, and clears what a killed run left behind.

#include <QString>

class QLabel;

// The exclusive lock of a program folder, held as long as the object lives.
// It is an flock on an open file: the system releases it when the process
// ends, killed or not, so a lock is never left stale.
class TBloccoCartella {
public:
    enum TEsito { Preso, InUso, NonScrivibile };
    explicit TBloccoCartella(const QString& cartella);
    ~TBloccoCartella();
    TBloccoCartella(const TBloccoCartella&) = delete;
    TBloccoCartella& operator=(const TBloccoCartella&) = delete;
    TEsito esito() const { return m_esito; }

private:
    int m_fd = -1;
    TEsito m_esito = NonScrivibile;
};

// The lock file of the program folder. Its name does not end in ".db", so
// backups and exports never take it for a table.
inline const QString NomeFileBlocco = QStringLiteral("zerired.lock");

// Checks the folder, takes its lock and clears leftovers of a killed run.
// On failure it shows the reason and touches no file; the caller ends.
class TAvvioCartella {
public:
    explicit TAvvioCartella(const QString& cartella);
    bool pronta() const { return m_blocco.esito() == TBloccoCartella::Preso; }

private:
    TBloccoCartella m_blocco;
};

// The messages of a folder that cannot be used.
QString MessaggioCartellaInUso(const QString& cartella);
QString MessaggioCartellaNonScrivibile(const QString& cartella);

// Creates or upgrades every table as the main window does at start-up, under
// the busy cursor, then shows what the table routines noted, in order; when a
// routine fails, its notes are shown before the failure goes on. The work
// runs beside the event loop on a connection of its own; a rebuild that
// lasts shows the table and the records copied on the given label (the
// splash's), or in the progress box when none is given. It cannot be stopped.
void CreaTabelleAllAvvio(QLabel* avanzamento = nullptr);
