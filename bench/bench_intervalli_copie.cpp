// How long the backup, restore and data package windows stand still while
// they copy a large book (100,000 products, 1,000,000 history rows): each
// window driven as the user drives it, on the store open with every table
// attached as the running program has it, its boxes answered through the
// message seam.

#include "Intervalli.h"
#include "LibroGrande.h"
#include "app/Applicazione.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "tools/CopiaDati.h"
#include "tools/InvioDatiCasaMadre.h"
#include "tools/RecuperoDati.h"
#include "tools/SalvataggioDati.h"
#include "ui_InvioDatiCasaMadre.h"
#include "ui_RecuperoDati.h"
#include "ui_SalvataggioDati.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void Scegli(QListWidget* lista, const QString& voce) {
    const auto trovate = lista->findItems(voce, Qt::MatchExactly);
    if (!trovate.isEmpty()) lista->setCurrentItem(trovate.first());
}

}  // namespace

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    Intervalli::TRisposteSi risposte;
    ImpostaInterazione(&risposte);
    QTemporaryDir dir;
    const QString libro = dir.filePath(QStringLiteral("libro")) + QLatin1Char('/');
    QDir().mkpath(libro);
    LibroGrande::Riempi(libro);
    TArchivio::apriCorrente(libro);
    for (const QString& t : CopiaDati::TabelleCartella(libro)) TArchivio::corrente().assicuraCollegata(t);
    const QString voce = QLatin1Char('[') + CopiaDati::NomeCartellaGiorno(Oggi()) + QLatin1Char(']');
    int esito = 0;

    {
        TFrmSalvataggioDati f;
        f.show();
        Intervalli::Attendi(200);
        Intervalli::Riga("salvataggio_dati", Intervalli::Misura([&] { f.ui()->BitBtn2->click(); }));
        if (f.ui()->LabelConErrore->text() != QLatin1String("0")) esito = 1;
        f.hide();
    }
    {
        TFrmInvioDatiCasaMadre f;
        f.show();
        Intervalli::Attendi(200);
        Scegli(f.ui()->ListBoxCartelle, voce);
        f.ui()->cbNonInviare->setChecked(true);
        Intervalli::Riga("pacchetto_dati", Intervalli::Misura([&] { f.ui()->ButtonOk->click(); }));
        if (!QFileInfo::exists(CopiaDati::PercorsoPacchetto(libro))) esito = 1;
        f.hide();
    }
    {
        TFrmRecuperoDati f;
        f.show();
        Intervalli::Attendi(200);
        Scegli(f.ui()->ListBoxCartelle, voce);
        Intervalli::Riga("recupero_dati", Intervalli::Misura([&] { f.ui()->ButtonOk->click(); }));
        if (!f.recuperoEseguito()) esito = 1;
        f.hide();
    }
    TArchivio::chiudiCorrente();
    ImpostaInterazione(nullptr);
    return esito;
}
