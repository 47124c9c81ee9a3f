#include "tools/CopiaDati.h"

#include "app/Costanti.h"
#include "app/Fx.h"
#include "data/engine/Archivio.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <sqlite3.h>
#include <zip.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CopiaDati {

namespace {

// The store's main file, its journals and the copy of a damaged one all start so.
const QString PrefissoMain = QStringLiteral("zerired.main");

void Sincronizza(const QString& percorso) {
    const int fd = ::open(QFile::encodeName(percorso).constData(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void RimuoviConGiornali(const QString& percorso) {
    for (const char* suffisso : {"", "-journal", "-wal", "-shm"})
        QFile::remove(percorso + QLatin1String(suffisso));
}

bool EUnaTabella(const QString& nomeFile) { return nomeFile.endsWith(QLatin1String(".db"), Qt::CaseInsensitive); }

// The schema under which the store's connection has the file attached; empty
// when it is not attached.
QString SchemaCollegato(sqlite3* h, const QString& file) {
    if (!h) return {};
    const QString cercato = QFileInfo(file).canonicalFilePath();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, "PRAGMA database_list", -1, &st, nullptr) != SQLITE_OK) return {};
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
    sqlite3_finalize(st);
    return schema;
}

// What went wrong on a connection, in Italian with the engine's own words in brackets.
QString TestoMotore(sqlite3* h) {
    if (!h) return TestoErroreMotore(SQLITE_NOMEM, {});
    return TestoErroreMotore(sqlite3_extended_errcode(h), QString::fromUtf8(sqlite3_errmsg(h)));
}

// A consistent copy of an SQLite file through the engine's online backup.
QString CopiaTabella(TArchivio* archivio, const QString& sorgente, const QString& destinazione) {
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
            int rc;
            do {
                rc = sqlite3_backup_step(b, -1);
                if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(50);
            } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
            sqlite3_backup_finish(b);
            if (rc != SQLITE_DONE) errore = TestoErroreMotore(rc, QString::fromUtf8(sqlite3_errstr(rc)));
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

QString ControllaIntegrita(const QString& file) {
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString e = TestoMotore(h);
        sqlite3_close(h);
        return e;
    }
    sqlite3_stmt* st = nullptr;
    QStringList righe;
    if (sqlite3_prepare_v2(h, "PRAGMA integrity_check", -1, &st, nullptr) != SQLITE_OK) {
        righe << QString::fromUtf8(sqlite3_errmsg(h));
    } else {
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            righe << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        if (rc != SQLITE_DONE) righe << QString::fromUtf8(sqlite3_errmsg(h));
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    if (righe == QStringList{QStringLiteral("ok")}) return {};
    return righe.isEmpty() ? QStringLiteral("controllo non eseguito") : righe.join(QStringLiteral("; "));
}

QString SalvaFile(TArchivio* archivio, const QString& sorgente, const QString& destinazione) {
    const QString rifiuto = MotivoRifiuto(archivio);
    if (!rifiuto.isEmpty()) return rifiuto;
    struct stat st {};
    if (::stat(QFile::encodeName(sorgente).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return QStringLiteral("file non leggibile");
    const QFileInfo meta(destinazione);
    // The copy is made under a hidden name beside its destination, so that no
    // listing shows it and an earlier copy keeps its name until this one is good.
    const QString appoggio = meta.absolutePath() + QStringLiteral("/.") + meta.fileName() + QStringLiteral(".parziale");
    RimuoviConGiornali(appoggio);
    QString errore;
    if (EUnaTabella(sorgente)) {
        errore = CopiaTabella(archivio, sorgente, appoggio);
        if (errore.isEmpty()) {
            const QString esito = ControllaIntegrita(appoggio);
            if (!esito.isEmpty()) errore = QStringLiteral("copia danneggiata (%1)").arg(esito);
        }
    } else if (!CopiaFile(sorgente, appoggio)) {
        errore = QStringLiteral("copia non riuscita");
    }
    if (errore.isEmpty() && !CopiaAttributi(appoggio, st)) errore = QStringLiteral("attributi non impostati");
    if (errore.isEmpty()) {
        Sincronizza(appoggio);
        if (::rename(QFile::encodeName(appoggio).constData(), QFile::encodeName(destinazione).constData()) != 0)
            errore = QStringLiteral("impossibile dare il nome alla copia");
        else
            Sincronizza(meta.absolutePath());
    }
    if (!errore.isEmpty()) RimuoviConGiornali(appoggio);
    return errore;
}

TEsitoRecupero RecuperaFile(TArchivio* archivio, const QString& cartellaGiorno, const QStringList& file,
                            const QString& cartellaProgramma) {
    TEsitoRecupero esito;
    const QString rifiuto = MotivoRifiuto(archivio);
    if (!rifiuto.isEmpty()) {
        esito.errori << rifiuto;
        return esito;
    }
    const QDir giorno(cartellaGiorno);
    const QDir programma(cartellaProgramma);
    struct TPasso {
        QString preparato;
        QString destinazione;
    };
    QVector<TPasso> passi;
    QSet<QString> visti;
    for (const QString& nome : file) {
        if (visti.contains(nome)) continue;
        visti.insert(nome);
        const QString sorgente = giorno.absoluteFilePath(nome);
        const QString destinazione = programma.absoluteFilePath(nome);
        const QString preparato = programma.absoluteFilePath(QLatin1Char('.') + nome + QStringLiteral(".ripristino"));
        RimuoviConGiornali(preparato);
        passi << TPasso{preparato, destinazione};
        if (!FileDiDati(QFileInfo(sorgente)) || nome.contains(QLatin1Char('/'))) {
            esito.errori << QStringLiteral("\"%1\": non è un file di dati").arg(sorgente);
        } else if (!CopiaFile(sorgente, preparato)) {
            esito.errori << QStringLiteral("Errore durante la copia del file \"%1\"").arg(destinazione);
        } else if (EUnaTabella(nome)) {
            const QString controllo = ControllaIntegrita(preparato);
            if (!controllo.isEmpty())
                esito.errori << QStringLiteral("Il file \"%1\" della copia è danneggiato (%2)").arg(sorgente, controllo);
        }
        if (QFileInfo::exists(preparato)) Sincronizza(preparato);
    }
    if (!esito.errori.isEmpty()) {
        for (const TPasso& p : passi) RimuoviConGiornali(p.preparato);
        return esito;
    }
    // Every file is good: the tables leave the connection, the journals of
    // the files being replaced go (a journal beside a restored file would be
    // played back into it), and each staged file takes its name.
    if (archivio) archivio->scollegaTutte();
    for (const TPasso& p : passi) {
        for (const char* suffisso : {"-journal", "-wal", "-shm"}) QFile::remove(p.destinazione + QLatin1String(suffisso));
        if (::rename(QFile::encodeName(p.preparato).constData(), QFile::encodeName(p.destinazione).constData()) == 0)
            ++esito.copiati;
        else
            esito.errori << QStringLiteral("Errore durante la copia del file \"%1\"").arg(p.destinazione);
    }
    Sincronizza(programma.absolutePath());
    return esito;
}

QString PercorsoPacchetto(const QString& cartellaProgramma) {
    return CartellaBackup(cartellaProgramma) + QStringLiteral("dati_") + Costanti::TitoloApplicazione + QStringLiteral(".zip");
}

QString CreaPacchetto(const QString& cartellaGiorno, const QString& archivio) {
    const QStringList file = FileCartellaGiorno(cartellaGiorno);
    if (file.isEmpty()) return QStringLiteral("La cartella di backup selezionata non contiene file.");
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
        return testo;
    }
    return {};
}

void InviaMailPacchetto(const QString& archivio) {
    InviaMail(Costanti::MailProduttore, QStringLiteral("Dati: ") + Costanti::TitoloApplicazione + QStringLiteral(", ") + Costanti::Versione,
              QStringLiteral("Allegare il file: ") + archivio);
}

}  // namespace CopiaDati
