// Program entry: the application, the table store on the program folder, the
// main window (which creates and upgrades the tables), the about box, the
// splash; then the event loop until "Esci".

#include "app/About.h"
#include "app/Applicazione.h"
#include "gui/Gestori.h"
#include "app/Avvio.h"
#include "app/Main.h"
#include "app/Start.h"
#include "data/CartellaProgramma.h"
#include "data/engine/Archivio.h"
#include "gui/Interazione.h"

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    UsaInterazioneSenzaSchermo();
    ImpostaCartellaProgramma(QCoreApplication::applicationDirPath());
    // The only writer of its folder from here to the end, or it ends at once.
    const TAvvioCartella cartella(CartellaProgramma());
    if (!cartella.pronta()) return 1;
    if (!EseguiMostrandoErrori([] { TArchivio::apriCorrente(CartellaProgramma()); })) return 1;
    int esito = 0;
    {
        TfrmMain principale;
        TFrmAbout about;
        TfrmStart start(&about, &principale);
        principale.impostaFinestre(&about, &start);
        principale.show();
        esito = app.exec();
    }
    TArchivio::chiudiCorrente();
    return esito;
}
