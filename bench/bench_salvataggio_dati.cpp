// The backup of a large book (100,000 products, 1,000,000 history rows): every
// table copied through the engine's online backup on the open store and each
// copy checked, against `cp -p` of the same files followed by the sqlite3
// tool's integrity_check on each copy.

#include "LibroGrande.h"
#include "Misura.h"
#include "app/Applicazione.h"
#include "data/engine/Archivio.h"
#include "tools/CopiaDati.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    QTemporaryDir dir;
    const QString libro = dir.filePath(QStringLiteral("libro")) + QLatin1Char('/');
    QDir().mkpath(libro);
    LibroGrande::Riempi(libro);
    // The store open on the book with every table attached, as the running program has it.
    TArchivio::apriCorrente(libro);
    const QStringList file = CopiaDati::FileDaSalvare(libro);
    for (const QString& t : CopiaDati::TabelleCartella(libro)) TArchivio::corrente().assicuraCollegata(t);
    const QString giorno = dir.filePath(QStringLiteral("giorno")) + QLatin1Char('/');
    const QString copia = dir.filePath(QStringLiteral("cp")) + QLatin1Char('/');
    const auto svuota = [](const QString& c) {
        QDir(c).removeRecursively();
        QDir().mkpath(c);
    };

    const double nostro = Misura::Mediana(5, [&] {
        for (const QString& f : file)
            if (!CopiaDati::SalvaFile(&TArchivio::corrente(), libro + f, giorno + f).isEmpty()) std::abort();
    }, [&] { svuota(giorno); });

    QStringList sorgenti;
    for (const QString& f : file) sorgenti << libro + f;
    const double ancora = Misura::Mediana(5, [&] {
        QProcess cp;
        cp.start(QStringLiteral("cp"), QStringList{QStringLiteral("-p")} + sorgenti + QStringList{copia});
        cp.waitForFinished(-1);
        for (const QString& f : file)
            if (f.endsWith(QLatin1String(".db"))) Misura::Sqlite3(copia + f, QStringLiteral("pragma integrity_check;"));
    }, [&] { svuota(copia); });
    Misura::Riga("salvataggio_dati", nostro, ancora);
    TArchivio::chiudiCorrente();
    return 0;
}
