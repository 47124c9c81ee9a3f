#include "data/CopiaFile.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>

namespace {

// True when both paths name one existing file (same text, a link, "a/../b").
bool StessoFile(const QString& a, const QString& b) {
    if (a == b) return true;
    struct stat sa {}, sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0) return false;
    if (::stat(QFile::encodeName(b).constData(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

bool CopiaFile(const QString& sorgente, const QString& destinazione) {
    if (sorgente.isEmpty() || destinazione.isEmpty() || StessoFile(sorgente, destinazione)) return false;
    QFile da(sorgente);
    if (!da.open(QIODevice::ReadOnly)) return false;
    const QDateTime modificato = da.fileTime(QFileDevice::FileModificationTime);
    // The permission bits as stored (QFile's "User" flags report what the
    // running user may do, which for root is everything).
    struct stat st {};
    if (::fstat(da.handle(), &st) != 0) return false;
    const mode_t permessi = st.st_mode & 07777;
    // The copy is written beside the destination and takes its name only
    // when complete, so a failed copy leaves no partial file behind.
    QSaveFile a(destinazione);
    a.setDirectWriteFallback(false);
    if (!a.open(QIODevice::WriteOnly)) return false;
    // Reads until the end of the file, not up to the size taken at the
    // start: a read that fails or a write that falls short stops the copy,
    // and the unfinished copy is discarded when `a` goes out of scope.
    char blocco[2048];
    for (;;) {
        const qint64 letti = da.read(blocco, sizeof blocco);
        if (letti < 0) return false;
        if (letti == 0) break;
        if (a.write(blocco, letti) != letti) return false;
    }
    if (!a.flush()) return false;
    a.setFileTime(modificato, QFileDevice::FileModificationTime);
    if (!a.commit()) return false;
    // The committed file keeps the permissions of the file it replaced: give
    // it the source's, and its time once more (a rename may touch it).
    const QByteArray nome = QFile::encodeName(destinazione);
    ::chmod(nome.constData(), permessi | S_IWUSR);
    QFile fatto(destinazione);
    if (fatto.open(QIODevice::ReadOnly) && fatto.fileTime(QFileDevice::FileModificationTime) != modificato)
        fatto.setFileTime(modificato, QFileDevice::FileModificationTime);
    fatto.close();
    ::chmod(nome.constData(), permessi);
    return true;
}
