#pragma once
// The file work of the backup, restore and sending windows: which files make
// up the user's data, the day folders of `backup` and their descriptions,
// checked copies of the live tables, the all-or-nothing restore and the
// deletion of a day folder. No widget and no message box here: every routine
// reports its failures through its result, in Italian, for the window to show.

#include <QDate>
#include <QFileInfo>
#include <QString>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QVector>

class TArchivio;
class TContestoLavoro;

namespace CopiaDati {

// The `backup` folder of a program folder, ending with "/".
QString CartellaBackup(const QString& cartellaProgramma);
// Creates the `backup` folder with its missing parents; false on failure.
bool CreaCartellaBackup(const QString& cartellaProgramma);
// The day folder's name of a date: yyyymmdd.
QString NomeCartellaGiorno(const QDate& giorno);
// "Backup del dd/mm/yyyy - File presenti: N", the day, month and year taken
// from characters 7-8, 5-6 and 1-4 of the name, whatever its form.
QString DescrizioneBackup(const QString& nomeCartella, int fileContati);

// The extension of a file name (from its first full stop, cut to four
// characters) is one of the program's own source or executable kinds.
bool EstensioneEsclusa(const QString& nomeFile);
// A file that may be copied as user data: an ordinary file (not a folder, a
// link or hidden), not a journal (-journal, -wal, -shm, -mj...), not the
// store's main file, not the leftover of a rebuild (…APPOGGIO.db), not the
// program's executable, and without an excluded extension.
bool FileDiDati(const QFileInfo& file);
// The tables of a folder ("*.db" data files), sorted by name.
QStringList TabelleCartella(const QString& cartella);
// A table's family in its folder: the data files named as the table's base
// name (up to its first full stop) followed by a full stop and anything.
QStringList FamigliaTabella(const QString& cartella, const QString& tabella);
// Every file a backup takes from the folder, each once, table by table.
QStringList FileDaSalvare(const QString& cartella);
// The data files of a day folder, sorted by name.
QStringList FileCartellaGiorno(const QString& cartellaGiorno);

// The entries of the backup list: "[.]", "[..]", then each real folder of
// `backup` (links are not listed) between brackets, in ascending name order.
QStringList VociCartelle(const QString& cartellaBackup);
// The name an entry stands for: the entry without its first and last character.
QString NomeDaVoce(const QString& voce);
// A name that is a day folder: neither "." nor "..", no path separator, and a
// real folder (not a link) inside `backup`.
bool CartellaValida(const QString& cartellaBackup, const QString& nome);
// Deletes a day folder with its content; a link is never followed. False when
// the name is not a valid day folder or the deletion failed.
bool EliminaCartellaGiorno(const QString& cartellaBackup, const QString& nome);

// Refusal text when the store is in the middle of a write; empty otherwise.
QString MotivoRifiuto(const TArchivio* archivio);

// Copies one data file into a day folder under the same name. A table of
// the program is copied with the engine's online backup (through the store's own
// connection when the table is attached to it, so that the copy is a
// consistent moment and a hot journal is rolled back, not copied), other
// files byte for byte (a table held by another program is waited for a few
// seconds, then given up); the copy is written under a hidden name, checked with
// integrity_check when it is a table, given the source's modification time
// and permissions, and only then renamed to its name. Empty on success,
// otherwise what failed; an earlier copy of that name is then left as it was.
QString SalvaFile(TArchivio* archivio, const QString& sorgente, const QString& destinazione);

// The outcome of a backup of several files.
struct TEsitoSalvataggio {
    QStringList copiati;                     // the files that have their copy
    QList<QPair<QString, QString>> errori;   // a file that failed and what failed
};
// The backup of the given files of the program folder into a day folder
// (which exists), as SalvaFile copies each, but through connections of its
// own (it may run in a worker thread: the store's connection is not used),
// and in two steps: every copy is written and checked under its hidden name
// first, and only then do the good ones take their names. The runner's
// context, when given, receives the bytes done out of the total; a stop
// raises ErroreLavoroFermato before any copy has taken its name, so the day
// folder keeps its earlier copies as they were.
TEsitoSalvataggio SalvaCartella(const QString& cartella, const QString& cartellaGiorno, const QStringList& file,
                                TContestoLavoro* contesto = nullptr);

// The outcome of a restore.
struct TEsitoRecupero {
    int copiati = 0;        // files put in place
    QStringList errori;     // one text per file that failed (nothing replaced then)
    bool riuscito() const { return errori.isEmpty(); }
};
// Restores the given files of a day folder over the program folder, all or
// nothing: each file is copied beside the tables under a hidden staging name
// and checked; only when every one is good are the tables detached from the
// store, the renames recorded in the program folder, and the staged files
// renamed into place, each file's journals removed first. A run stopped after
// the record is finished by the next start (ConcludiOperazioniInterrotte).
// When any file fails, the staged copies are removed and nothing is replaced.
TEsitoRecupero RecuperaFile(TArchivio* archivio, const QString& cartellaGiorno, const QStringList& file,
                            const QString& cartellaProgramma);

// The same restore in its two phases, for a run whose copying goes on in a
// worker thread. The staged copy of one file and what its file keeps once renamed.
struct TPassoRecupero {
    QString preparato;
    QString destinazione;
    qint64 dimensione = 0;
    qint64 modificato = 0;  // nanoseconds
};
struct TRecuperoPreparato {
    TEsitoRecupero esito;  // the files that could not be staged
    QString cartellaGiorno, cartellaProgramma;
    QVector<TPassoRecupero> passi;
};
// First phase, without the store's connection: each file is copied beside the
// tables under its staging name and checked; the runner's context, when
// given, receives the bytes done out of the total, and a stop removes the
// staged copies and raises ErroreLavoroFermato (nothing was replaced).
TRecuperoPreparato PreparaRecupero(const QString& cartellaGiorno, const QStringList& file,
                                   const QString& cartellaProgramma, TContestoLavoro* contesto = nullptr);
// Second phase, in the thread of the store's connection, after MotivoRifiuto:
// when every file was staged, the tables are detached and the staged copies
// put in place as RecuperaFile does; otherwise they are removed and nothing
// is replaced.
TEsitoRecupero CompletaRecupero(TArchivio* archivio, const TRecuperoPreparato& preparato);
// Removes the staged copies of a first phase that goes no further.
void AnnullaRecupero(const TRecuperoPreparato& preparato);

// Called by a restore at the points of its last phase: 0 before it records
// what it is about to do, 1 once recorded, 1 + n after its n-th rename.
// Nothing is called unless a test sets it.
using TOsservatoreRecupero = void (*)(int punto);
void ImpostaOsservatoreRecupero(TOsservatoreRecupero osservatore);

// At start, under the folder's lock and before any table is opened: finishes
// the renames of a restore that was stopped after it had recorded them, or
// removes the staged copies of one stopped before; removes the partial copies
// of a stopped backup from the day folders. What was done, in Italian (one
// line each); empty when nothing was left.
QString ConcludiOperazioniInterrotte(const QString& cartellaProgramma);

// One of the program's own tables (the six files of the store), by name,
// regardless of case. Only these are copied through the engine and checked.
bool TabellaDelProgramma(const QString& nomeFile);

// The first fault found by integrity_check in an SQLite file, short; empty
// when the file is sound.
QString ControllaIntegrita(const QString& file);

// The data package: `backup`/dati_ + the program title + .zip.
QString PercorsoPacchetto(const QString& cartellaProgramma);
// Writes the data files of a day folder into the package, flat names,
// deflate level 6. libzip writes it aside and renames it on completion, so a
// previous package is replaced only by a whole new one. Empty on success,
// otherwise what failed (an empty folder gives no package).
// With the runner's context, the bytes packed out of the total are reported,
// and a stop raises ErroreLavoroFermato with the previous package left as it was.
QString CreaPacchetto(const QString& cartellaGiorno, const QString& archivio, TContestoLavoro* contesto = nullptr);
// Opens the mail to the maker that asks to attach the package.
void InviaMailPacchetto(const QString& archivio);

}  // namespace CopiaDati
