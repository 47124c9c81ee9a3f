// How long the export window stands still while it exports 1,000,000
// history rows by a model of all fields, to a text file and to a workbook:
// the window driven as the user drives it, its boxes answered through the
// message seam.

#include "Intervalli.h"
#include "LibroGrande.h"
#include "app/Applicazione.h"
#include "data/engine/Archivio.h"
#include "tools/EsportazioneTabelle.h"
#include "ui_EsportazioneTabelle.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    Intervalli::TRisposteSi risposte;
    ImpostaInterazione(&risposte);
    QTemporaryDir dir;
    const QString libro = dir.filePath(QStringLiteral("libro")) + QLatin1Char('/');
    const QString uscita = dir.filePath(QStringLiteral("uscita")) + QLatin1Char('/');
    QDir().mkpath(libro);
    QDir().mkpath(uscita);
    LibroGrande::Riempi(libro);
    TArchivio::apriCorrente(libro);

    int esito = 0;
    {
        TfrmEsportazioneTabelle f;
        f.impostaCartellaFogli(uscita);
        Ui::TfrmEsportazioneTabelle* ui = f.ui();
        f.show();
        Intervalli::Attendi(300);
        const auto esegui = [&] {
            ui->MemoCampi->setPlainText(QStringLiteral("*"));
            ui->MemoDBSelected->setPlainText(QStringLiteral("storico.db"));
            ui->MemoCondizione->clear();
            ui->EditData->clear();
            ui->EditOrdinamento->clear();
            ui->buttEsegui->click();
        };

        esegui();
        ui->rbTesto->click();
        ui->EditEsportaPath->setText(uscita);
        ui->EditNomeFEsportaz->setText(QStringLiteral("storico.txt"));
        Intervalli::Riga("esportazione_testo_1m", Intervalli::Misura([&] { ui->bbExport->click(); }));
        const qint64 byte = QFileInfo(uscita + QStringLiteral("storico.txt")).size();
        std::fprintf(stderr, "file di testo: %lld byte\n", static_cast<long long>(byte));
        if (byte <= 0) esito = 1;

        esegui();
        ui->rbExcel->click();
        ui->EdtNomeFoglioLavoro->setText(QStringLiteral("Storico"));
        Intervalli::Riga("esportazione_xlsx_1m", Intervalli::Misura([&] { ui->bbExport->click(); }));
        const QStringList fogli = QDir(uscita).entryList({QStringLiteral("*.xlsx")}, QDir::Files);
        std::fprintf(stderr, "fogli di lavoro: %s\n", qPrintable(fogli.join(QLatin1Char(' '))));
        if (fogli.size() != 1) esito = 1;
        f.hide();
    }
    TArchivio::chiudiCorrente();
    ImpostaInterazione(nullptr);
    return esito;
}
