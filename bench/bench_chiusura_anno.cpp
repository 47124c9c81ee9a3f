// The year end's archive and reset on a book of 100,000 products and
// 1,000,000 history rows (all of 2004): the copy of the books into
// anni/2004/, the reset of the unloads and the deletion of the history up to
// the year's last day, as the year end runs them; against a plain copy of the
// same files in this process plus the engine's own reset and delete through
// the C interface in one transaction. Then the same three steps pressed in
// the real window, their questions answered yes: the longest the event loop
// stood still.

#include "Intervalli.h"
#include "LibroGrande.h"
#include "Misura.h"
#include "app/Applicazione.h"
#include "app/ChiusuraAnno.h"
#include "app/PassiChiusuraAnno.h"
#include "data/CartellaProgramma.h"
#include "data/Orologio.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <filesystem>

#include "ui_ChiusuraAnno.h"

namespace {

const char* const Tabelle[] = {"produttori", "prodotti", "storico", "impostazioni", "cat", "tabexport"};

void Copia(const QString& da, const QString& a) {
    QDir(a).removeRecursively();
    QDir().mkpath(a);
    for (const char* t : Tabelle) {
        const QString f = QStringLiteral("/%1.db").arg(QLatin1String(t));
        QFile::copy(da + f, a + f);
    }
}

// The working copy of the book opened as the program's, with the steps
// before the archive done (untimed): the year end then stands at the archive.
void FinoAllArchivio(const QString& libro, const QString& lavoro) {
    Copia(libro, lavoro);
    ImpostaCartellaProgramma(lavoro);
    TArchivio::apriCorrente(lavoro);
    ChiusuraAnno::TChiusura c(TArchivio::corrente(), lavoro, 2004);
    c.eseguiSalvataggio();
    c.segnaInventario(false);
    c.segnaStampaInventario();
}

}  // namespace

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    QTemporaryDir dir;
    const QString libro = dir.filePath(QStringLiteral("libro"));
    const QString lavoro = dir.filePath(QStringLiteral("lavoro"));
    QDir().mkpath(libro);
    LibroGrande::Riempi(libro);
    ImpostaOrologio(QDateTime(QDate(2005, 1, 10), QTime(9, 0)));

    std::vector<double> nostri, ancore;
    for (int giro = 0; giro < 5; ++giro) {
        // Ours: the steps before the archive are done, untimed.
        FinoAllArchivio(libro, lavoro);
        {
            ChiusuraAnno::TChiusura c(TArchivio::corrente(), lavoro, 2004);
            nostri.push_back(Misura::Tempo([&] {
                c.eseguiArchivio();
                c.eseguiAzzeramento();
                c.eseguiCancellazione();
            }));
            if (!c.conclusa()) std::fprintf(stderr, "year end not complete\n");
        }
        TArchivio::chiudiCorrente();

        // The anchor: the files copied as they are, then the engine's reset
        // and delete on the live files in one transaction.
        Copia(libro, lavoro);
        ancore.push_back(Misura::Tempo([&] {
            const std::filesystem::path anno = QFile::encodeName(lavoro + QStringLiteral("/anni/2004")).toStdString();
            std::filesystem::create_directories(anno);
            for (const char* t : Tabelle) {
                const std::string f = std::string(t) + ".db";
                std::filesystem::copy_file(QFile::encodeName(lavoro).toStdString() + "/" + f, anno / f);
            }
            Misura::Motore(lavoro + QStringLiteral("/prodotti.db"),
                           QStringLiteral("attach '%1/storico.db' as storico; begin immediate; "
                                          "update prodotti set SCARICHI = 0, TOTALEVENDITE = 0, CARICHI = coalesce(QUANTITA, 0), "
                                          "TOTALEACQUISTI = coalesce(QUANTITA, 0) * coalesce(PREZZO, 0.0); "
                                          "delete from storico.storico where DATAOGGI >= '0001-01-01' and DATAOGGI <= '2004-12-31'; "
                                          "commit;")
                               .arg(lavoro));
        }));
    }
    Misura::Riga("chiusura_anno_1m", Misura::MedianaDi(nostri), Misura::MedianaDi(ancore));

    {
        Intervalli::TRisposteSi risposte;
        ImpostaInterazione(&risposte);
        FinoAllArchivio(libro, lavoro);
        {
            TfrmChiusuraAnno f(nullptr, {}, {});
            f.show();
            Intervalli::Attendi(100);
            const Intervalli::TEsito esito = Intervalli::Misura([&] {
                for (int passo = 0; passo < 3; ++passo) f.ui()->BTEsegui->click();
            });
            Intervalli::Riga("chiusura_anno_1m", esito);
            if (!f.chiusura().conclusa()) std::fprintf(stderr, "year end not complete in the window\n");
        }
        TArchivio::chiudiCorrente();
        ImpostaInterazione(nullptr);
    }
    return 0;
}
