// The data package of a large book's day folder (100,000 products, 1,000,000
// history rows) written with libzip at deflate level 6, against `zip -6` of
// the same files; the sizes of both archives on a second line.

#include "LibroGrande.h"
#include "Misura.h"
#include "app/Applicazione.h"
#include "data/engine/Archivio.h"
#include "tools/CopiaDati.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    QTemporaryDir dir;
    const QString libro = dir.filePath(QStringLiteral("libro")) + QLatin1Char('/');
    QDir().mkpath(libro);
    LibroGrande::Riempi(libro);
    const QString giorno = CopiaDati::CartellaBackup(libro) + QStringLiteral("20040315/");
    QDir().mkpath(giorno);
    for (const QString& f : CopiaDati::FileDaSalvare(libro))
        if (!CopiaDati::SalvaFile(nullptr, libro + f, giorno + f).isEmpty()) std::abort();

    const QString pacchetto = CopiaDati::PercorsoPacchetto(libro);
    const double nostro = Misura::Mediana(3, [&] {
        if (!CopiaDati::CreaPacchetto(giorno, pacchetto).isEmpty()) std::abort();
    });
    const QString zip = dir.filePath(QStringLiteral("zip.zip"));
    QStringList sorgenti;
    for (const QString& f : CopiaDati::FileCartellaGiorno(giorno)) sorgenti << giorno + f;
    const double ancora = Misura::Mediana(3, [&] {
        QProcess p;
        p.start(QStringLiteral("zip"), QStringList{QStringLiteral("-6"), QStringLiteral("-j"), QStringLiteral("-q"), zip} + sorgenti);
        p.waitForFinished(-1);
    }, [&] { QFile::remove(zip); });
    Misura::Riga("pacchetto_dati", nostro, ancora);
    const double nostri = QFileInfo(pacchetto).size(), loro = QFileInfo(zip).size();
    std::printf("SIZE pacchetto_dati ours_bytes=%.0f anchor_bytes=%.0f ratio=%.4f\n", nostri, loro, nostri / loro);
    return 0;
}
