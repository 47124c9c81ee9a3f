#pragma once
// The main window: the menu, the quick links, the working-year warning and
// the low-stock link. Every task window is created here, owned by this
// window, shown modally and destroyed when it closes.

#include "gui/EtichettaLink.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/Selezione.h"

#include <QAction>
#include <QMainWindow>
#include <memory>

namespace Ui {
class TfrmMain;
}
class TFrmAbout;
class TfrmStart;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // avvio: the splash already shown, where the table creation shows its
    // progress (none: the progress box of a long run).
    explicit TfrmMain(QWidget* genitore = nullptr, TfrmStart* avvio = nullptr);
    ~TfrmMain() override;

    // The about box and the splash, created after this window; the splash is
    // shown modally when this window is first shown.
    void impostaFinestre(TFrmAbout* about, TfrmStart* start);

    // The working-year warning for the executable's path; the executable's
    // own path when none is given.
    void MostraAnnoDiLavoro(const QString& percorso = {});
    void MostraProdottiInEsaurimento();
    // The expiring-soon link: shown with the count of the products that pass
    // their stock period within the days set in the settings, hidden when
    // there are none or the setting is 0.
    void MostraProdottiInScadenza();

    TSelezioneCorrente selezione;
    Ui::TfrmMain* ui() const { return m_ui.get(); }

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void FormCreate(TfrmStart* avvio);
    void About1Click();
    void btnEsciClick();
    void Impostazioni1Click();
    void Magazzino1Click();
    void Aggiustamentoresi1Click();
    void mnuHelpHelpClick();
    void mnuIndicizzaClick();
    void Segnalabug1Click();
    void AggiornaVersione1Click();
    void lblLinkClick();
    void Label13Click();
    void Controllagiacenze1Click();
    void ControloQuantit1Click();
    void VisioniStampe1Click();
    void Stampinventario1Click();
    void Elencoprodotti1Click();
    void Produttori1Click();
    void Categorie1Click();
    void Aggiornasaldi1Click();
    void Eliminaoperazionidastorico1Click();
    void Salvataggiodati1Click();
    void Recuperodati1Click();
    void InviodatiaVavori1Click();
    void Esportazioneasciiexcel1Click();
    void Importazionedati1Click();
    void LabUrl9Click();
    void Riepilogo1Click();
    void Movimentimagazzino1Click();
    void Inventariofisico1Click();
    // Opens the stocktake; whether a count was posted there.
    bool ApriInventarioFisico();
    void PropostaOrdine1Click();
    void ChiusuraAnno1Click();
    void ApriAnnoArchiviato1Click();

    // Connects a menu item or a quick link to its handler and enables it.
    void collega(QAction* voce, void (TfrmMain::*gestore)()) {
        voce->setEnabled(true);
        connect(voce, &QAction::triggered, this, Gestore(this, gestore));
    }
    void collega(TEtichettaLink* collegamento, void (TfrmMain::*gestore)()) {
        collegamento->setEnabled(true);
        connect(collegamento, &TEtichettaLink::cliccato, this, Gestore(this, gestore));
    }

    // Creates a task window owned by this one, shows it modally and destroys
    // it when it closes, also when an error escapes it.
    template <class Finestra, class... Argomenti>
    void ApriFinestra(Argomenti&&... argomenti) {
        std::unique_ptr<Finestra> f(new Finestra(this, std::forward<Argomenti>(argomenti)...));
        CentraSulloSchermo(f.get());
        f->exec();
    }

    std::unique_ptr<Ui::TfrmMain> m_ui;
    TFrmAbout* m_about = nullptr;
    TfrmStart* m_start = nullptr;
    bool m_primaVolta = true;
};

// The anni-folder rule: the four characters after the letter that follows
// "anni" in the path, or an empty text when the path holds no "anni".
QString AnnoDiLavoro(const QString& percorso, bool* trovato);
