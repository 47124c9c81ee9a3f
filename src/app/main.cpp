// Program entry: the application, the table store on the program folder (the
// executable's, or the one given as the only argument), the about box and
// the splash, the main window (which creates and upgrades the tables, its
// progress on the splash); then the event loop until "Esci".

#include "app/About.h"
#include "app/Applicazione.h"
#include "gui/Gestori.h"
#include "app/Avvio.h"
#include "app/Main.h"
#include "app/Start.h"
#include "data/CartellaProgramma.h"
#include "data/engine/Archivio.h"
#include "gui/Interazione.h"

#include <QFileInfo>

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    UsaInterazioneSenzaSchermo();
    // The program folder is the executable's own, or the folder given as the
    // only argument (an archived year, opened by "Apri anno archiviato").
    const QStringList argomenti = QCoreApplication::arguments();
    const bool cartellaIndicata = argomenti.size() > 1;
    ImpostaCartellaProgramma(cartellaIndicata ? QFileInfo(argomenti.at(1)).absoluteFilePath()
                                              : QCoreApplication::applicationDirPath());
    // The only writer of its folder from here to the end, or it ends at once.
    const TAvvioCartella cartella(CartellaProgramma());
    if (!cartella.pronta()) return 1;
    if (!EseguiMostrandoErrori([] { TArchivio::apriCorrente(CartellaProgramma()); })) return 1;
    int esito = 0;
    {
        TFrmAbout about;
        TfrmStart start(&about, nullptr);
        start.mostraCaricamento();
        TfrmMain principale(nullptr, &start);
        start.fineCaricamento(&principale);
        principale.impostaFinestre(&about, &start);
        if (cartellaIndicata) principale.MostraAnnoDiLavoro(CartellaProgramma());
        principale.show();
        esito = app.exec();
    }
    TArchivio::chiudiCorrente();
    return esito;
}
