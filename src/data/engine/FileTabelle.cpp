#include "data/engine/FileTabelle.h"

#include "data/engine/Errore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

int CodiceDaErrno(int e) {
    switch (e) {
    case ENOSPC:
    case EDQUOT: return SQLITE_FULL;
    case EROFS:
    case EACCES:
    case EPERM: return SQLITE_READONLY;
    case EBUSY:
    case ETXTBSY: return SQLITE_BUSY;
    default: return SQLITE_IOERR;
    }
}

void SincronizzaFile(const QString& percorso) {
    const int fd = ::open(QFile::encodeName(percorso).constData(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void RecuperaGiornale(const QString& percorso) {
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(percorso).constData(), &h, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
        sqlite3_exec(h, "PRAGMA schema_version", nullptr, nullptr, nullptr);
    sqlite3_close(h);
}

void RecuperaAvanzi(const QString& cartella) {
    QDir dir(cartella);
    // Every journal left by a killed write is rolled back first: a journal
    // that names a super-journal needs it to roll back.
    for (const QString& g : dir.entryList({QStringLiteral("*-journal")}, QDir::Files | QDir::Hidden)) {
        const QString base = dir.filePath(g.left(g.size() - 8));
        if (QFileInfo::exists(base)) RecuperaGiornale(base);
    }
    // What is left of the super-journals of the main file is referred to by
    // no journal any more.
    for (const QString& mj : dir.entryList({QStringLiteral("zerired.main-mj*")}, QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(mj));
}

void EliminaFileTabella(const QString& file) {
    if (QFileInfo::exists(file) && std::remove(QFile::encodeName(file).constData()) != 0)
        throw ErroreArchivio(QStringLiteral("Impossibile eliminare la tabella %1").arg(QFileInfo(file).fileName()),
                             ErroreArchivio::CtxFile, CodiceDaErrno(errno));
    QFile::remove(file + QStringLiteral("-journal"));
}

void SostituisciFileTabella(const QString& nuovo, const QString& destinazione, const QString& nomeDa,
                            const QString& nomeA) {
    const QString giornale = destinazione + QStringLiteral("-journal");
    if (QFileInfo::exists(giornale)) {
        RecuperaGiornale(destinazione);
        if (QFileInfo::exists(giornale) && !QFile::remove(giornale))
            throw ErroreArchivio(QStringLiteral("Impossibile recuperare il giornale di %1").arg(nomeA),
                                 ErroreArchivio::CtxFile, CodiceDaErrno(errno));
    }
    SincronizzaFile(nuovo);
    if (std::rename(QFile::encodeName(nuovo).constData(), QFile::encodeName(destinazione).constData()) != 0)
        throw ErroreArchivio(QStringLiteral("Impossibile rinominare la tabella %1 in %2").arg(nomeDa, nomeA),
                             ErroreArchivio::CtxFile, CodiceDaErrno(errno));
    SincronizzaFile(QFileInfo(destinazione).absolutePath());
}
