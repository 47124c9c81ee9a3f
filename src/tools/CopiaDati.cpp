#include "tools/CopiaDati.h"

#include "data/Costanti.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/FileTabelle.h"
#include "data/engine/Istruzione.h"
#include "gui/LavoroLungo.h"
#include "gui/ServiziDesktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QThread>
#include <QUrl>
#include <sqlite3.h>
#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CopiaDati {

namespace {

TOsservatoreRecupero g_osservatore = nullptr;

// The bytes a run over several files has done, reported to its runner; a
// run without a runner (a test, a benchmark) counts for nobody.
struct TByteFatti {
    TContestoLavoro* contesto = nullptr;
    qint64 fatti = 0;
    qint64 totale = -1;
    void aggiungi(qint64 n) {
        fatti += n;
        if (contesto) contesto->avanzamento(fatti, totale);
    }
    bool fermato() const { return contesto && contesto->fermato(); }
};

// The cause a copy gives when the user stopped it.
const QString CausaFermata = QStringLiteral("copia interrotta");

void Punto(int punto) {
    if (g_osservatore) g_osservatore(punto);
}

// The store's main file, its journals and the copy of a damaged one all start so.
const QString PrefissoMain = QStringLiteral("zerired.main");

void RimuoviConGiornali(const QString& percorso) {
    for (const char* suffisso : {"", "-journal", "-wal", "-shm"})
        QFile::remove(percorso + QLatin1String(suffisso));
}

// How long a copy waits for a table that another program holds locked.
const int AttesaBloccoMs = 3000;

// The record of a restore's last phase, in the program folder. Its name does
// not end in ".db", so no backup or export takes it.
const QString NomeRegistro = QStringLiteral("zerired.recupero");
const QString IntestazioneRegistro = QStringLiteral("ZERIRED RECUPERO 1");
const QString FineRegistro = QStringLiteral("FINE");

// The cause of a failed write, in Italian.
QString CausaScrittura(int e) {
    switch (e) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("Disco pieno");
    case EFBIG: return QStringLiteral("Disco pieno o file troppo grande per il disco");
    case EROFS: return QStringLiteral("Disco in sola lettura");
    case EACCES:
    case EPERM: return QStringLiteral("Permessi insufficienti per scrivere il file");
    default: return QStringLiteral("Errore di scrittura sul disco");
    }
}

// The cause of a failed read, in Italian.
QString CausaLettura(int e) {
    switch (e) {
    case ENOENT: return QStringLiteral("File non trovato");
    case EACCES:
    case EPERM: return QStringLiteral("Permessi insufficienti per leggere il file");
    default: return QStringLiteral("Errore di lettura dal disco");
    }
}

// Empty when files can be created in the folder; otherwise why not.
QString CartellaNonScrivibile(const QString& cartella) {
    if (::access(QFile::encodeName(cartella).constData(), W_OK | X_OK) == 0) return {};
    const int e = errno;
    QString causa;
    switch (e) {
    case EROFS: causa = QStringLiteral("disco in sola lettura"); break;
    case ENOENT:
    case ENOTDIR: causa = QStringLiteral("la cartella non esiste"); break;
    default: causa = QStringLiteral("permessi insufficienti"); break;
    }
    return QStringLiteral("Non è possibile scrivere nella cartella di destinazione \"%1\" (%2)")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(cartella)), causa);
}

// Copies a file byte for byte into a new file, synced to the disk. Empty on
// success; otherwise the cause, and no destination file is left.
QString CopiaSemplice(const QString& sorgente, const QString& destinazione, TByteFatti* byte = nullptr) {
    const QByteArray nomeDa = QFile::encodeName(sorgente), nomeA = QFile::encodeName(destinazione);
    const int da = ::open(nomeDa.constData(), O_RDONLY | O_CLOEXEC);
    if (da < 0) return CausaLettura(errno);
    const int a = ::open(nomeA.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (a < 0) {
        const int e = errno;
        ::close(da);
        return CausaScrittura(e);
    }
    QString errore;
    char blocco[1 << 16];
    while (errore.isEmpty()) {
        const ssize_t letti = ::read(da, blocco, sizeof blocco);
        if (letti < 0) {
            if (errno != EINTR) errore = CausaLettura(errno);
            continue;
        }
        if (letti == 0) break;
        for (ssize_t fatti = 0; fatti < letti && errore.isEmpty();) {
            const ssize_t scritti = ::write(a, blocco + fatti, static_cast<size_t>(letti - fatti));
            if (scritti >= 0) fatti += scritti;
            else if (errno != EINTR) errore = CausaScrittura(errno);
        }
        if (byte && errore.isEmpty()) {
            byte->aggiungi(letti);
            if (byte->fermato()) errore = CausaFermata;
        }
    }
    if (errore.isEmpty() && ::fsync(a) != 0) errore = CausaScrittura(errno);
    if (::close(a) != 0 && errore.isEmpty()) errore = CausaScrittura(errno);
    ::close(da);
    if (!errore.isEmpty()) ::unlink(nomeA.constData());
    return errore;
}

// The schema under which the store's connection has the file attached; empty
// when it is not attached.
QString SchemaCollegato(sqlite3* h, const QString& file) {
    if (!h) return {};
    const QString cercato = QFileInfo(file).canonicalFilePath();
    TIstruzione istruzione;
    if (istruzione.prepara(h, "PRAGMA database_list") != SQLITE_OK) return {};
    sqlite3_stmt* st = istruzione.handle();
    QString schema;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QString nome = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        const QString percorso = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)));
        if (nome == QLatin1String("main") || nome == QLatin1String("temp") || percorso.isEmpty()) continue;
        if (QFileInfo(percorso).canonicalFilePath() == cercato) {
            schema = nome;
            break;
        }
    }
    return schema;
}

// What went wrong on a connection, in Italian with the engine's own words in brackets.
QString TestoMotore(sqlite3* h) {
    if (!h) return TestoErroreMotore(SQLITE_NOMEM, {});
    return TestoErroreMotore(sqlite3_extended_errcode(h), QString::fromUtf8(sqlite3_errmsg(h)));
}

// A consistent copy of an SQLite file through the engine's online backup.
QString CopiaTabella(TArchivio* archivio, const QString& sorgente, const QString& destinazione, TByteFatti* byte = nullptr) {
    sqlite3* origine = archivio ? archivio->handle() : nullptr;
    QString schema = SchemaCollegato(origine, sorgente);
    sqlite3* propria = nullptr;
    if (schema.isEmpty()) {
        // A table the store has not attached: a connection of its own, with
        // write access so that a hot journal is rolled back before the read.
        if (sqlite3_open_v2(QFile::encodeName(sorgente).constData(), &propria, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK) {
            const QString e = TestoMotore(propria);
            sqlite3_close(propria);
            return e;
        }
        sqlite3_busy_timeout(propria, 300);
        origine = propria;
        schema = QStringLiteral("main");
    }
    sqlite3* copia = nullptr;
    QString errore;
    if (sqlite3_open_v2(QFile::encodeName(destinazione).constData(), &copia,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        errore = TestoMotore(copia);
    } else {
        // The copy is synced as a whole once it is complete.
        sqlite3_exec(copia, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        const QByteArray nomeSchema = schema.toUtf8();
        sqlite3_backup* b = sqlite3_backup_init(copia, "main", origine, nomeSchema.constData());
        if (!b) {
            errore = TestoMotore(copia);
        } else {
            // A table held by another program is waited for a few seconds,
            // the window repainting meanwhile; then the copy gives up.
            // A run with a runner copies a few megabytes at a time, so that
            // its progress moves and a stop is heard between two steps.
            QElapsedTimer attesa;
            attesa.start();
            const qint64 dimensione = QFileInfo(sorgente).size();
            qint64 contati = 0;
            bool fermata = false;
            int rc;
            for (;;) {
                rc = sqlite3_backup_step(b, byte ? 1024 : -1);
                if (byte && (rc == SQLITE_OK || rc == SQLITE_DONE)) {
                    const int pagine = sqlite3_backup_pagecount(b);
                    const qint64 fatti =
                        pagine > 0 ? dimensione * (pagine - sqlite3_backup_remaining(b)) / pagine : dimensione;
                    byte->aggiungi(fatti - contati);
                    contati = fatti;
                    if (rc == SQLITE_OK && byte->fermato()) {
                        fermata = true;
                        break;
                    }
                }
                if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED && rc != SQLITE_OK) break;
                if (rc != SQLITE_OK && attesa.elapsed() >= AttesaBloccoMs) break;
                if (rc != SQLITE_OK) {
                    QCoreApplication::processEvents();
                    QThread::msleep(50);
                }
            }
            sqlite3_backup_finish(b);
            if (fermata)
                errore = CausaFermata;
            else if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                errore = TestoErroreMotore(
                    rc, QStringLiteral("ancora in uso dopo %1 secondi di attesa").arg(AttesaBloccoMs / 1000));
            else if (rc != SQLITE_DONE)
                errore = TestoErroreMotore(rc, QString::fromUtf8(sqlite3_errstr(rc)));
        }
    }
    sqlite3_close(copia);
    if (propria) sqlite3_close(propria);
    return errore;
}

// Gives a file the modification time and permission bits of a stat result.
bool CopiaAttributi(const QString& percorso, const struct stat& st) {
    const QByteArray nome = QFile::encodeName(percorso);
    const struct timespec tempi[2] = {st.st_atim, st.st_mtim};
    return ::utimensat(AT_FDCWD, nome.constData(), tempi, 0) == 0 && ::chmod(nome.constData(), st.st_mode & 07777) == 0;
}

}  // namespace

QString CartellaBackup(const QString& cartellaProgramma) {
    return QDir(cartellaProgramma).absoluteFilePath(QStringLiteral("backup")) + QLatin1Char('/');
}

bool CreaCartellaBackup(const QString& cartellaProgramma) {
    return QDir().mkpath(CartellaBackup(cartellaProgramma));
}

QString NomeCartellaGiorno(const QDate& giorno) { return giorno.toString(QStringLiteral("yyyyMMdd")); }

QString DescrizioneBackup(const QString& nomeCartella, int fileContati) {
    return QStringLiteral("Backup del ") + nomeCartella.mid(6, 2) + QLatin1Char('/') + nomeCartella.mid(4, 2) +
           QLatin1Char('/') + nomeCartella.left(4) + QStringLiteral(" - File presenti: ") +
           QString::number(fileContati);
}

bool EstensioneEsclusa(const QString& nomeFile) {
    const int punto = nomeFile.indexOf(QLatin1Char('.'));
    if (punto < 0) return false;
    static const QStringList escluse = {QStringLiteral(".pas"), QStringLiteral(".exe"), QStringLiteral(".dfm"),
                                        QStringLiteral(".dcu"), QStringLiteral(".~df"), QStringLiteral(".~pa")};
    return escluse.contains(nomeFile.mid(punto, 4));
}

bool FileDiDati(const QFileInfo& file) {
    if (file.isSymLink() || !file.isFile()) return false;
    const QString nome = file.fileName();
    if (nome.startsWith(QLatin1Char('.')) || file.isHidden()) return false;
    for (const char* giornale : {"-journal", "-wal", "-shm"})
        if (nome.endsWith(QLatin1String(giornale), Qt::CaseInsensitive)) return false;
    if (nome.contains(QLatin1String("-mj"), Qt::CaseInsensitive)) return false;
    if (nome.startsWith(PrefissoMain, Qt::CaseInsensitive)) return false;
    if (nome.contains(QLatin1String("APPOGGIO"), Qt::CaseInsensitive)) return false;
    if (QCoreApplication::instance() &&
        nome == QFileInfo(QCoreApplication::applicationFilePath()).fileName())
        return false;
    return !EstensioneEsclusa(nome);
}

QStringList TabelleCartella(const QString& cartella) {
    QStringList tabelle;
    const QFileInfoList voci =
        QDir(cartella).entryInfoList({QStringLiteral("*.db")}, QDir::Files | QDir::System, QDir::Name);
    for (const QFileInfo& f : voci)
        if (FileDiDati(f)) tabelle << f.fileName();
    return tabelle;
}

QStringList FamigliaTabella(const QString& cartella, const QString& tabella) {
    const QString base = tabella.left(tabella.indexOf(QLatin1Char('.'))) + QLatin1Char('.');
    QStringList famiglia;
    const QFileInfoList voci = QDir(cartella).entryInfoList(QDir::Files | QDir::System, QDir::Name);
    for (const QFileInfo& f : voci)
        if (f.fileName().startsWith(base, Qt::CaseInsensitive) && FileDiDati(f)) famiglia << f.fileName();
    return famiglia;
}

QStringList FileDaSalvare(const QString& cartella) {
    QStringList tutti;
    QSet<QString> visti;
    for (const QString& t : TabelleCartella(cartella))
        for (const QString& f : FamigliaTabella(cartella, t))
            if (!visti.contains(f)) {
                visti.insert(f);
                tutti << f;
            }
    return tutti;
}

QStringList FileCartellaGiorno(const QString& cartellaGiorno) {
    QStringList file;
    const QFileInfoList voci = QDir(cartellaGiorno).entryInfoList(QDir::Files | QDir::System, QDir::Name);
    for (const QFileInfo& f : voci)
        if (FileDiDati(f)) file << f.fileName();
    return file;
}

QStringList VociCartelle(const QString& cartellaBackup) {
    QStringList voci = {QStringLiteral("[.]"), QStringLiteral("[..]")};
    const QStringList cartelle =
        QDir(cartellaBackup).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QString& c : cartelle) voci << QLatin1Char('[') + c + QLatin1Char(']');
    return voci;
}

QString NomeDaVoce(const QString& voce) { return voce.size() < 2 ? QString() : voce.mid(1, voce.size() - 2); }

bool CartellaValida(const QString& cartellaBackup, const QString& nome) {
    if (nome.isEmpty() || nome == QLatin1String(".") || nome == QLatin1String("..") ||
        nome.contains(QLatin1Char('/')) || nome.contains(QLatin1Char('\\')))
        return false;
    const QFileInfo info(QDir(cartellaBackup).filePath(nome));
    return info.isDir() && !info.isSymLink();
}

bool EliminaCartellaGiorno(const QString& cartellaBackup, const QString& nome) {
    if (!CartellaValida(cartellaBackup, nome)) return false;
    // Links inside the folder are removed as links; their targets stay.
    return QDir(QDir(cartellaBackup).filePath(nome)).removeRecursively();
}

QString MotivoRifiuto(const TArchivio* archivio) {
    if (archivio && archivio->inTransazione())
        return QStringLiteral("Un'operazione sui dati è in corso: copia non eseguita.");
    return {};
}

namespace {

int ControlloFermata(void* dati) { return static_cast<TByteFatti*>(dati)->fermato() ? 1 : 0; }

// The integrity check; a stop asked meanwhile ends it with CausaFermata.
QString ControllaIntegritaFermabile(const QString& file, TByteFatti* byte) {
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString e = TestoMotore(h);
        sqlite3_close(h);
        return e;
    }
    if (byte && byte->contesto) sqlite3_progress_handler(h, 4096, ControlloFermata, byte);
    // The check may list a hundred faults; the first one tells enough.
    TIstruzione istruzione;
    QString prima;
    bool sano = false;
    if (istruzione.prepara(h, "PRAGMA integrity_check") != SQLITE_OK) {
        prima = QString::fromUtf8(sqlite3_errmsg(h));
    } else {
        sqlite3_stmt* st = istruzione.handle();
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const QString riga = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            if (riga == QLatin1String("ok")) {
                sano = true;
                break;
            }
            if (riga.startsWith(QLatin1String("*** in database"))) continue;
            prima = riga;
            break;
        }
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) prima = QString::fromUtf8(sqlite3_errmsg(h));
    }
    istruzione.chiudi();  // before the connection it belongs to
    sqlite3_close(h);
    if (sano) return {};
    if (byte && byte->fermato()) return CausaFermata;
    prima = prima.simplified();
    if (prima.isEmpty()) return QStringLiteral("controllo non eseguito");
    return prima.size() > 80 ? prima.left(79) + QChar(0x2026) : prima;
}

}  // namespace

QString ControllaIntegrita(const QString& file) { return ControllaIntegritaFermabile(file, nullptr); }

bool TabellaDelProgramma(const QString& nomeFile) {
    const QString nome = QFileInfo(nomeFile).fileName();
    for (const QString& t : {Definizioni::Produttori, Definizioni::Prodotti, Definizioni::Storico,
                             Definizioni::Impostazioni, Definizioni::Categorie, Definizioni::TabExport})
        if (nome.compare(t, Qt::CaseInsensitive) == 0) return true;
    return false;
}

namespace {

// The hidden name a copy is written under, beside its destination, so that no
// listing shows it and an earlier copy keeps its name until this one is good.
QString AppoggioDi(const QString& destinazione) {
    const QFileInfo meta(destinazione);
    return meta.absolutePath() + QStringLiteral("/.") + meta.fileName() + QStringLiteral(".parziale");
}

// Writes the copy under its hidden name, checked and synced; empty on
// success, otherwise what failed, and no hidden copy is left.
QString PreparaCopia(TArchivio* archivio, const QString& sorgente, const QString& destinazione, TByteFatti* byte) {
    struct stat st {};
    if (::stat(QFile::encodeName(sorgente).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return QStringLiteral("file non leggibile");
    const QFileInfo meta(destinazione);
    const QString nonScrivibile = CartellaNonScrivibile(meta.absolutePath());
    if (!nonScrivibile.isEmpty()) return nonScrivibile;
    const QString appoggio = AppoggioDi(destinazione);
    RimuoviConGiornali(appoggio);
    QString errore;
    // The program's own tables go through the engine and are checked; any
    // other file (a companion, a "*.db" that is no table of the program) is
    // copied as it is.
    if (TabellaDelProgramma(sorgente)) {
        errore = CopiaTabella(archivio, sorgente, appoggio, byte);
        if (errore.isEmpty()) {
            const QString esito = ControllaIntegritaFermabile(appoggio, byte);
            if (esito == CausaFermata) errore = esito;
            else if (!esito.isEmpty()) errore = QStringLiteral("copia danneggiata (%1)").arg(esito);
        }
    } else {
        errore = CopiaSemplice(sorgente, appoggio, byte);
    }
    if (errore.isEmpty() && !CopiaAttributi(appoggio, st)) errore = QStringLiteral("attributi non impostati");
    if (errore.isEmpty()) SincronizzaFile(appoggio);
    else RimuoviConGiornali(appoggio);
    return errore;
}

// Gives a prepared copy its name.
QString DaiNomeCopia(const QString& destinazione) {
    const QString appoggio = AppoggioDi(destinazione);
    if (::rename(QFile::encodeName(appoggio).constData(), QFile::encodeName(destinazione).constData()) != 0) {
        RimuoviConGiornali(appoggio);
        return QStringLiteral("impossibile dare il nome alla copia");
    }
    SincronizzaFile(QFileInfo(destinazione).absolutePath());
    return {};
}

}  // namespace

QString SalvaFile(TArchivio* archivio, const QString& sorgente, const QString& destinazione) {
    const QString rifiuto = MotivoRifiuto(archivio);
    if (!rifiuto.isEmpty()) return rifiuto;
    const QString errore = PreparaCopia(archivio, sorgente, destinazione, nullptr);
    return errore.isEmpty() ? DaiNomeCopia(destinazione) : errore;
}

TEsitoSalvataggio SalvaCartella(const QString& cartella, const QString& cartellaGiorno, const QStringList& file,
                                TContestoLavoro* contesto) {
    const QDir programma(cartella), giorno(cartellaGiorno);
    TByteFatti byte{contesto};
    byte.totale = 0;
    for (const QString& f : file) byte.totale += QFileInfo(programma.absoluteFilePath(f)).size();
    if (contesto) contesto->avanzamento(0, byte.totale);
    TEsitoSalvataggio esito;
    QStringList pronti;
    for (const QString& f : file) {
        if (contesto) contesto->fase(f);
        const QString errore = PreparaCopia(nullptr, programma.absoluteFilePath(f), giorno.absoluteFilePath(f), &byte);
        if (byte.fermato()) {
            // Stopped: no copy of this run takes a name, the day folder stays as it was.
            for (const QString& p : pronti) RimuoviConGiornali(AppoggioDi(giorno.absoluteFilePath(p)));
            RimuoviConGiornali(AppoggioDi(giorno.absoluteFilePath(f)));
            throw ErroreLavoroFermato();
        }
        if (errore.isEmpty()) pronti << f;
        else esito.errori.append({f, errore});
    }
    for (const QString& f : pronti) {
        const QString errore = DaiNomeCopia(giorno.absoluteFilePath(f));
        if (errore.isEmpty()) esito.copiati << f;
        else esito.errori.append({f, errore});
    }
    return esito;
}

namespace {

using TPasso = TPassoRecupero;

bool LeggiStato(const QString& percorso, qint64* dimensione, qint64* modificato) {
    struct stat st {};
    if (::stat(QFile::encodeName(percorso).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    *dimensione = st.st_size;
    *modificato = static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

// Writes the record of a restore's renames under a temporary name, syncs it,
// renames it into place and syncs the folder: after this, the next start
// finds a whole record or none.
bool ScriviRegistro(const QDir& programma, const QString& cartellaGiorno, const QVector<TPasso>& passi) {
    const QString registro = programma.absoluteFilePath(NomeRegistro);
    const QString nuovo = registro + QStringLiteral(".nuovo");
    {
        QFile f(nuovo);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
        QByteArray testo = IntestazioneRegistro.toUtf8() + '\n' + QUrl::toPercentEncoding(cartellaGiorno) + '\n';
        for (const TPasso& p : passi)
            testo += QUrl::toPercentEncoding(QFileInfo(p.preparato).fileName()) + '\t' +
                     QUrl::toPercentEncoding(QFileInfo(p.destinazione).fileName()) + '\t' +
                     QByteArray::number(p.dimensione) + '\t' + QByteArray::number(p.modificato) + '\n';
        testo += FineRegistro.toUtf8() + '\n';
        if (f.write(testo) != testo.size() || !f.flush() || ::fsync(f.handle()) != 0) {
            f.close();
            QFile::remove(nuovo);
            return false;
        }
    }
    if (::rename(QFile::encodeName(nuovo).constData(), QFile::encodeName(registro).constData()) != 0) {
        QFile::remove(nuovo);
        return false;
    }
    SincronizzaFile(programma.absolutePath());
    return true;
}

// Reads the record; false when it is not whole.
bool LeggiRegistro(const QDir& programma, QString* cartellaGiorno, QVector<TPasso>* passi) {
    QFile f(programma.absoluteFilePath(NomeRegistro));
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QList<QByteArray> righe = f.readAll().split('\n');
    if (righe.size() < 4 || righe.value(0) != IntestazioneRegistro.toUtf8() ||
        righe.value(righe.size() - 2) != FineRegistro.toUtf8() || !righe.last().isEmpty())
        return false;
    *cartellaGiorno = QUrl::fromPercentEncoding(righe.value(1));
    for (int i = 2; i < righe.size() - 2; ++i) {
        const QList<QByteArray> campi = righe[i].split('\t');
        if (campi.size() != 4) return false;
        const QString preparato = QUrl::fromPercentEncoding(campi[0]);
        const QString destinazione = QUrl::fromPercentEncoding(campi[1]);
        // Only names of files of the program folder itself.
        if (preparato.contains(QLatin1Char('/')) || destinazione.contains(QLatin1Char('/')) || preparato.isEmpty() ||
            destinazione.isEmpty())
            return false;
        *passi << TPasso{programma.absoluteFilePath(preparato), programma.absoluteFilePath(destinazione),
                         campi[2].toLongLong(), campi[3].toLongLong()};
    }
    return true;
}

// Puts a staged copy in place of its file: the journals of the file being
// replaced go first, since played back into the restored file they would tear it.
bool Rinomina(const TPasso& p) {
    for (const char* suffisso : {"-journal", "-wal", "-shm"}) QFile::remove(p.destinazione + QLatin1String(suffisso));
    return ::rename(QFile::encodeName(p.preparato).constData(), QFile::encodeName(p.destinazione).constData()) == 0;
}

// Removes the hidden files of a folder whose names match the pattern; how many.
int RimuoviNascosti(const QString& cartella, const QString& modello) {
    int rimossi = 0;
    const QDir dir(cartella);
    for (const QString& f : dir.entryList({modello}, QDir::Files | QDir::Hidden | QDir::System))
        if (QFile::remove(dir.absoluteFilePath(f))) ++rimossi;
    return rimossi;
}

}  // namespace

TRecuperoPreparato PreparaRecupero(const QString& cartellaGiorno, const QStringList& file,
                                   const QString& cartellaProgramma, TContestoLavoro* contesto) {
    TRecuperoPreparato preparato;
    preparato.cartellaGiorno = cartellaGiorno;
    preparato.cartellaProgramma = cartellaProgramma;
    TEsitoRecupero& esito = preparato.esito;
    QVector<TPasso>& passi = preparato.passi;
    const QDir giorno(cartellaGiorno);
    const QDir programma(cartellaProgramma);
    TByteFatti byte{contesto};
    byte.totale = 0;
    for (const QString& nome : file) byte.totale += QFileInfo(giorno.absoluteFilePath(nome)).size();
    if (contesto) contesto->avanzamento(0, byte.totale);
    QSet<QString> visti;
    for (const QString& nome : file) {
        if (visti.contains(nome)) continue;
        visti.insert(nome);
        if (contesto) contesto->fase(nome);
        const QString sorgente = giorno.absoluteFilePath(nome);
        const QString destinazione = programma.absoluteFilePath(nome);
        const QString preparatoFile = programma.absoluteFilePath(QLatin1Char('.') + nome + QStringLiteral(".ripristino"));
        RimuoviConGiornali(preparatoFile);
        TPasso passo{preparatoFile, destinazione};
        if (!FileDiDati(QFileInfo(sorgente)) || nome.contains(QLatin1Char('/'))) {
            esito.errori << QStringLiteral("\"%1\": non è un file di dati").arg(sorgente);
            passi << passo;
            continue;
        }
        struct stat st {};
        QString errore = ::stat(QFile::encodeName(sorgente).constData(), &st) == 0
                             ? CopiaSemplice(sorgente, preparatoFile, &byte)
                             : CausaLettura(errno);
        QString controllo;
        if (errore.isEmpty() && !CopiaAttributi(preparatoFile, st)) errore = QStringLiteral("Attributi del file non impostati");
        if (errore.isEmpty() && TabellaDelProgramma(nome)) controllo = ControllaIntegritaFermabile(preparatoFile, &byte);
        passi << passo;
        if (byte.fermato()) {
            // Stopped: the staged copies go, nothing was replaced.
            AnnullaRecupero(preparato);
            throw ErroreLavoroFermato();
        }
        if (!errore.isEmpty())
            esito.errori << QStringLiteral("Errore durante la copia del file \"%1\"\n%2")
                                .arg(QDir::toNativeSeparators(destinazione), errore);
        else if (!controllo.isEmpty())
            esito.errori << QStringLiteral("Il file \"%1\" della copia di backup è danneggiato (%2)")
                                .arg(QDir::toNativeSeparators(sorgente), controllo);
        LeggiStato(preparatoFile, &passi.last().dimensione, &passi.last().modificato);
    }
    return preparato;
}

void AnnullaRecupero(const TRecuperoPreparato& preparato) {
    for (const TPasso& p : preparato.passi) RimuoviConGiornali(p.preparato);
}

TEsitoRecupero CompletaRecupero(TArchivio* archivio, const TRecuperoPreparato& preparato) {
    TEsitoRecupero esito = preparato.esito;
    const QVector<TPasso>& passi = preparato.passi;
    const QDir programma(preparato.cartellaProgramma);
    if (!esito.errori.isEmpty()) {
        AnnullaRecupero(preparato);
        return esito;
    }
    // Every file is good: the tables leave the connection, the renames are
    // recorded (the next start finishes them should this run be stopped),
    // and each staged file takes its name.
    if (archivio) archivio->scollegaTutte();
    Punto(0);
    if (!ScriviRegistro(programma, preparato.cartellaGiorno, passi)) {
        AnnullaRecupero(preparato);
        esito.errori << QStringLiteral("Recupero dati non eseguito: impossibile scrivere nella cartella del programma \"%1\".")
                            .arg(QDir::toNativeSeparators(programma.absolutePath()));
        return esito;
    }
    Punto(1);
    for (const TPasso& p : passi) {
        if (Rinomina(p))
            Punto(1 + ++esito.copiati);
        else
            esito.errori << QStringLiteral("Errore durante la copia del file \"%1\"").arg(QDir::toNativeSeparators(p.destinazione));
    }
    SincronizzaFile(programma.absolutePath());
    // A rename that failed leaves the record, so that the next start tries it again.
    if (esito.errori.isEmpty()) {
        QFile::remove(programma.absoluteFilePath(NomeRegistro));
        SincronizzaFile(programma.absolutePath());
    }
    return esito;
}

TEsitoRecupero RecuperaFile(TArchivio* archivio, const QString& cartellaGiorno, const QStringList& file,
                            const QString& cartellaProgramma) {
    const QString rifiuto = MotivoRifiuto(archivio);
    if (!rifiuto.isEmpty()) {
        TEsitoRecupero esito;
        esito.errori << rifiuto;
        return esito;
    }
    return CompletaRecupero(archivio, PreparaRecupero(cartellaGiorno, file, cartellaProgramma));
}

QString ConcludiOperazioniInterrotte(const QString& cartellaProgramma) {
    const QDir programma(cartellaProgramma);
    QStringList detto;
    const QString registro = programma.absoluteFilePath(NomeRegistro);
    // A record still being written: the restore had renamed nothing yet.
    QFile::remove(registro + QStringLiteral(".nuovo"));
    bool ripreso = false;
    if (QFileInfo::exists(registro)) {
        QString cartellaGiorno;
        QVector<TPasso> passi;
        if (LeggiRegistro(programma, &cartellaGiorno, &passi)) {
            ripreso = true;
            // A staged copy still there is renamed; one that is gone must
            // have been renamed already, and its file has its size and time.
            QStringList mancanti;
            for (const TPasso& p : passi) {
                if (QFileInfo::exists(p.preparato)) {
                    if (!Rinomina(p)) mancanti << QFileInfo(p.destinazione).fileName();
                } else {
                    qint64 dimensione = -1, modificato = -1;
                    if (!LeggiStato(p.destinazione, &dimensione, &modificato) || dimensione != p.dimensione ||
                        modificato != p.modificato)
                        mancanti << QFileInfo(p.destinazione).fileName();
                }
            }
            SincronizzaFile(programma.absolutePath());
            const QString giorno = QDir::toNativeSeparators(QDir::cleanPath(cartellaGiorno));
            if (mancanti.isEmpty())
                detto << QStringLiteral("Il recupero dati dalla copia \"%1\" si era interrotto: è stato completato ora "
                                        "e tutti gli archivi sono quelli della copia.")
                             .arg(giorno);
            else
                detto << QStringLiteral("Il recupero dati dalla copia \"%1\" si era interrotto e non è stato possibile "
                                        "completarlo per: %2. Ripetere il recupero dati.")
                             .arg(giorno, mancanti.join(QStringLiteral(", ")));
        }
        QFile::remove(registro);
        SincronizzaFile(programma.absolutePath());
    }
    // Staged copies with no record: the restore had not begun its renames.
    if (RimuoviNascosti(programma.absolutePath(), QStringLiteral(".*.ripristino*")) > 0 && !ripreso)
        detto << QStringLiteral("Un recupero dati si era interrotto prima di sostituire gli archivi: è stato annullato "
                                "e gli archivi sono quelli di prima.");
    // Partial copies of a stopped backup, in the day folders.
    int parziali = 0;
    const QString backup = CartellaBackup(cartellaProgramma);
    for (const QString& g : QDir(backup).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks))
        parziali += RimuoviNascosti(backup + g, QStringLiteral(".*.parziale*"));
    if (parziali > 0)
        detto << QStringLiteral("Un salvataggio dati si era interrotto: le copie incomplete sono state eliminate, "
                                "ripetere il salvataggio.");
    return detto.join(QLatin1Char('\n'));
}

void ImpostaOsservatoreRecupero(TOsservatoreRecupero osservatore) { g_osservatore = osservatore; }

QString PercorsoPacchetto(const QString& cartellaProgramma) {
    return CartellaBackup(cartellaProgramma) + QStringLiteral("dati_") + Costanti::TitoloApplicazione + QStringLiteral(".zip");
}

QString CreaPacchetto(const QString& cartellaGiorno, const QString& archivio, TContestoLavoro* contesto) {
    const QStringList file = FileCartellaGiorno(cartellaGiorno);
    if (file.isEmpty()) return QStringLiteral("La cartella di backup selezionata non contiene file.");
    TByteFatti byte{contesto};
    byte.totale = 0;
    for (const QString& f : file) byte.totale += QFileInfo(QDir(cartellaGiorno).absoluteFilePath(f)).size();
    int codice = 0;
    // libzip writes the archive under a temporary name beside it and renames
    // it on zip_close: the previous package stays until the new one is whole.
    zip_t* z = zip_open(QFile::encodeName(archivio).constData(), ZIP_CREATE | ZIP_TRUNCATE, &codice);
    if (!z) {
        zip_error_t e;
        zip_error_init_with_code(&e, codice);
        const QString testo = QString::fromUtf8(zip_error_strerror(&e));
        zip_error_fini(&e);
        return testo;
    }
    if (contesto) {
        // libzip compresses everything in zip_close: its progress is the
        // runner's, and a stop cancels the writing (the temporary archive is
        // removed, a previous package stays).
        contesto->avanzamento(0, byte.totale);
        zip_register_progress_callback_with_state(
            z, 0.002,
            [](zip_t*, double parte, void* dati) {
                auto* b = static_cast<TByteFatti*>(dati);
                b->aggiungi(static_cast<qint64>(parte * static_cast<double>(b->totale)) - b->fatti);
            },
            nullptr, &byte);
        zip_register_cancel_callback_with_state(
            z, [](zip_t*, void* dati) { return static_cast<TByteFatti*>(dati)->fermato() ? 1 : 0; }, nullptr, &byte);
    }
    const QDir giorno(cartellaGiorno);
    for (const QString& nome : file) {
        const QString percorso = giorno.absoluteFilePath(nome);
        zip_error_t e;
        zip_error_init(&e);
        zip_source_t* s = zip_source_file_create(QFile::encodeName(percorso).constData(), 0, -1, &e);
        if (!s) {
            const QString testo = QStringLiteral("\"%1\": %2").arg(percorso, QString::fromUtf8(zip_error_strerror(&e)));
            zip_error_fini(&e);
            zip_discard(z);
            return testo;
        }
        zip_error_fini(&e);
        const zip_int64_t indice = zip_file_add(z, nome.toUtf8().constData(), s, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (indice < 0 || zip_set_file_compression(z, indice, ZIP_CM_DEFLATE, 6) != 0 ||
            zip_file_set_mtime(z, indice, QFileInfo(percorso).lastModified().toSecsSinceEpoch(), 0) != 0) {
            if (indice < 0) zip_source_free(s);
            const QString testo = QStringLiteral("\"%1\": %2").arg(percorso, QString::fromUtf8(zip_strerror(z)));
            zip_discard(z);
            return testo;
        }
    }
    if (zip_close(z) != 0) {
        const QString testo = QString::fromUtf8(zip_strerror(z));
        zip_discard(z);
        if (byte.fermato()) throw ErroreLavoroFermato();
        return testo;
    }
    return {};
}

void InviaMailPacchetto(const QString& archivio) {
    InviaMail(Costanti::MailProduttore, QStringLiteral("Dati: ") + Costanti::TitoloApplicazione + QStringLiteral(", ") + Costanti::Versione,
              QStringLiteral("Allegare il file: ") + archivio);
}

}  // namespace CopiaDati
