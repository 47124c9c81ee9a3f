#include "app/Main.h"

#include "app/About.h"
#include "app/ApriAnno.h"
#include "app/ChiusuraAnno.h"
#include "app/Avvio.h"
#include "app/Start.h"
#include "data/CartellaProgramma.h"
#include "data/Costanti.h"
#include "data/LetturaImpostazioni.h"
#include "data/Orologio.h"
#include "gui/Gestori.h"
#include "gui/LavoroLungo.h"
#include "tools/Impostazioni.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/Finestre.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "gui/ServiziDesktop.h"
#include "movements/AggiustamentoResi.h"
#include "movements/AzzeraScarichi.h"
#include "movements/CaricoScarico.h"
#include "movements/CtrlGiacenze.h"
#include "movements/CtrlQta.h"
#include "movements/ProssimeScadenze.h"
#include "movements/InventarioFisicoFinestra.h"
#include "movements/MovimentiMagazzino.h"
#include "movements/Quantita.h"
#include "movements/SetCancStorico.h"
#include "online/Bug.h"
#include "online/ControllaVersione.h"
#include "registries/AnagProdotti.h"
#include "registries/AnagProduttori.h"
#include "registries/Categorie.h"
#include "reports/SetStampaInventario.h"
#include "reports/PropostaOrdine.h"
#include "reports/Riepilogo.h"
#include "reports/SetStampe.h"
#include "reports/StampaFoglioConteggio.h"
#include "reports/StampaGiacenze.h"
#include "reports/StampaQtaAlert.h"
#include "tools/EsportazioneTabelle.h"
#include "tools/ImportazioneDati.h"
#include "tools/InvioDatiCasaMadre.h"
#include "tools/RecuperoDati.h"
#include "tools/SalvataggioDati.h"
#include "ui_Main.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

TfrmMain::TfrmMain(QWidget* genitore, TfrmStart* avvio) : QMainWindow(genitore), m_ui(std::make_unique<Ui::TfrmMain>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    ImpostaSelezioneCorrente(&selezione);
    m_ui->lblLink->setText(Costanti::SitoProduttore);
    m_ui->Label13->setText(Costanti::MailProduttore);

    // Every menu item and quick link starts disabled; wiring one to its
    // handler enables it, so an item whose window is not built stays off.
    for (QAction* a : findChildren<QAction*>())
        if (!a->menu()) a->setEnabled(false);
    for (TEtichettaLink* l : {m_ui->LabUrl1, m_ui->LabUrl2, m_ui->LabUrl3, m_ui->LabUrl4, m_ui->LabUrl5, m_ui->LabUrl6,
                              m_ui->LabUrl7, m_ui->LabUrl8, m_ui->LabUrl9})
        l->setEnabled(false);

    collega(m_ui->About1, &TfrmMain::About1Click);
    connect(m_ui->btnEsci, &QPushButton::clicked, this, Gestore(this, &TfrmMain::btnEsciClick));
    collega(m_ui->Impostazioni1, &TfrmMain::Impostazioni1Click);
    collega(m_ui->Magazzino1, &TfrmMain::Magazzino1Click);
    collega(m_ui->Aggiustamentoresi1, &TfrmMain::Aggiustamentoresi1Click);
    collega(m_ui->LabUrl3, &TfrmMain::Magazzino1Click);
    collega(m_ui->LabUrl7, &TfrmMain::Aggiustamentoresi1Click);
    collega(m_ui->Aggiornasaldi1, &TfrmMain::Aggiornasaldi1Click);
    collega(m_ui->Movimentimagazzino1, &TfrmMain::Movimentimagazzino1Click);
    collega(m_ui->Inventariofisico1, &TfrmMain::Inventariofisico1Click);
    collega(m_ui->Eliminaoperazionidastorico1, &TfrmMain::Eliminaoperazionidastorico1Click);
    collega(m_ui->Elencoprodotti1, &TfrmMain::Elencoprodotti1Click);
    collega(m_ui->Produttori1, &TfrmMain::Produttori1Click);
    collega(m_ui->Categorie1, &TfrmMain::Categorie1Click);
    collega(m_ui->LabUrl1, &TfrmMain::Elencoprodotti1Click);
    collega(m_ui->LabUrl2, &TfrmMain::Produttori1Click);
    collega(m_ui->mnuHelpHelp, &TfrmMain::mnuHelpHelpClick);
    collega(m_ui->Segnalabug1, &TfrmMain::Segnalabug1Click);
    collega(m_ui->AggiornaVersione1, &TfrmMain::AggiornaVersione1Click);
    collega(m_ui->mnuIndicizza, &TfrmMain::mnuIndicizzaClick);
    collega(m_ui->lblLink, &TfrmMain::lblLinkClick);
    collega(m_ui->Label13, &TfrmMain::Label13Click);
    collega(m_ui->Controllagiacenze1, &TfrmMain::Controllagiacenze1Click);
    collega(m_ui->ControloQuantit1, &TfrmMain::ControloQuantit1Click);
    collega(m_ui->LabUrl5, &TfrmMain::Controllagiacenze1Click);
    collega(m_ui->LabUrl8, &TfrmMain::ControloQuantit1Click);
    collega(m_ui->Salvataggiodati1, &TfrmMain::Salvataggiodati1Click);
    collega(m_ui->Recuperodati1, &TfrmMain::Recuperodati1Click);
    collega(m_ui->InviodatiaVavori1, &TfrmMain::InviodatiaVavori1Click);
    collega(m_ui->VisioniStampe1, &TfrmMain::VisioniStampe1Click);
    collega(m_ui->LabUrl4, &TfrmMain::VisioniStampe1Click);
    collega(m_ui->Stampinventario1, &TfrmMain::Stampinventario1Click);
    collega(m_ui->LabUrl6, &TfrmMain::Stampinventario1Click);
    collega(m_ui->Esportazioneasciiexcel1, &TfrmMain::Esportazioneasciiexcel1Click);
    collega(m_ui->Importazionedati1, &TfrmMain::Importazionedati1Click);
    collega(m_ui->LabUrl9, &TfrmMain::LabUrl9Click);
    collega(m_ui->Riepilogo1, &TfrmMain::Riepilogo1Click);
    collega(m_ui->PropostaOrdine1, &TfrmMain::PropostaOrdine1Click);
    collega(m_ui->ChiusuraAnno1, &TfrmMain::ChiusuraAnno1Click);
    collega(m_ui->ApriAnnoArchiviato1, &TfrmMain::ApriAnnoArchiviato1Click);

    FormCreate(avvio);
}

TfrmMain::~TfrmMain() {
    if (&SelezioneCorrente() == &selezione) ImpostaSelezioneCorrente(nullptr);
}

void TfrmMain::FormCreate(TfrmStart* avvio) {
    // A failure here ends the table routines and the remaining creation
    // steps; the general error display shows it and the program goes on.
    EseguiMostrandoErrori([this, avvio] {
        CreaTabelleAllAvvio(avvio ? avvio->etichettaAvanzamento() : nullptr);
        MostraAnnoDiLavoro();
        MostraProdottiInEsaurimento();
        MostraProdottiInScadenza();
    });
    adjustSize();
    CentraSulloSchermo(this);
}

void TfrmMain::impostaFinestre(TFrmAbout* about, TfrmStart* start) {
    m_about = about;
    m_start = start;
}

QString AnnoDiLavoro(const QString& percorso, bool* trovato) {
    const int p = percorso.indexOf(QLatin1String("anni"));
    if (trovato) *trovato = p >= 0;
    if (p < 0) return QString();
    return percorso.mid(p + 5).left(4);
}

void TfrmMain::MostraAnnoDiLavoro(const QString& percorso) {
    bool trovato = false;
    const QString anno =
        AnnoDiLavoro(percorso.isEmpty() ? QCoreApplication::applicationFilePath() : percorso, &trovato);
    if (!trovato) return;
    m_ui->LabelAnno->setVisible(true);
    m_ui->LabelAnno->setText(QStringLiteral("ATTENZIONE! ANNO DI LAVORO ") + anno);
}

namespace {

// A count over the products, read beside the window on a connection of the
// worker's own (on a large book it is a scan of a tenth of a second and
// more); inside a transaction still open on the program's connection, read
// there. The window refuses to close meanwhile.
int ContaAccanto(QWidget* finestra, const std::function<int(TArchivio&)>& conta) {
    TArchivio& a = TArchivio::corrente();
    if (a.inTransazione()) return conta(a);
    const QString cartella = a.cartella();
    bool inCorso = false;
    const TOperazioneInCorso operazione(finestra, inCorso, {});
    TLavoroLungo lavoro(finestra, QStringLiteral("Controllo dei prodotti"));
    lavoro.senzaBox();
    lavoro.senzaStop();
    return lavoro.calcola<int>([&](TContestoLavoro&) {
        TArchivio proprio(cartella);
        return conta(proprio);
    });
}

}  // namespace

void TfrmMain::MostraProdottiInEsaurimento() {
    const int n = ContaAccanto(this, [](TArchivio& a) {
        return a.valoreSingolo(QStringLiteral("select count(*) from %1 where ").arg(a.nomeQualificato(Definizioni::Prodotti)) +
                               CondizioneVisioneQuantita(0))
            .toInt();
    });
    if (n == 0) {
        m_ui->LabUrl8->setVisible(false);
        return;
    }
    m_ui->LabUrl8->setText(QStringLiteral("CI SONO ") + QString::number(n) + QStringLiteral(" PRODOTTI IN ESAURIMENTO"));
    m_ui->LabUrl8->setVisible(true);
}

void TfrmMain::MostraProdottiInScadenza() {
    const int giorni = GiorniPreavvisoScadenza();
    const QDate oggi = Oggi();
    const int n = giorni <= 0 ? 0 : ContaAccanto(this, [&](TArchivio& a) { return ContaProdottiInScadenza(a, oggi, giorni); });
    m_ui->LabUrl9->setVisible(n > 0);
    if (n == 0) return;
    m_ui->LabUrl9->setText(n == 1 ? QStringLiteral("1 PRODOTTO IN SCADENZA")
                                  : QString::number(n) + QStringLiteral(" PRODOTTI IN SCADENZA"));
    m_ui->LabUrl9->setToolTip(QStringLiteral("Prodotti che scadono entro %1 giorni").arg(giorni));
}

void TfrmMain::LabUrl9Click() {
    int giorni = 0;
    if (!EseguiMostrandoErrori([&] { giorni = GiorniPreavvisoScadenza(); })) return;
    if (giorni > 0) ApriFinestra<TFrmProssimeScadenze>(giorni);
    EseguiMostrandoErrori([this] { MostraProdottiInScadenza(); });
}

void TfrmMain::showEvent(QShowEvent* evento) {
    QMainWindow::showEvent(evento);
    if (!m_primaVolta) return;
    m_primaVolta = false;
    // The splash, already shown while the tables were created, comes back
    // above this window.
    if (m_start) QTimer::singleShot(0, m_start, [s = m_start] {
        s->raise();
        s->exec();
    });
}

void TfrmMain::About1Click() {
    if (m_about) m_about->exec();
}

void TfrmMain::btnEsciClick() { close(); }

void TfrmMain::Impostazioni1Click() {
    ApriFinestra<TFrmImpostazioni>();
    // The warning days may have changed.
    EseguiMostrandoErrori([this] { MostraProdottiInScadenza(); });
}

void TfrmMain::Magazzino1Click() {
    ApriFinestra<TFrmCaricoScarico>();
    // A load moves a product's entry date.
    EseguiMostrandoErrori([this] { MostraProdottiInScadenza(); });
}

void TfrmMain::Aggiustamentoresi1Click() { ApriFinestra<TFrmAggiustamentoResi>(); }
void TfrmMain::Elencoprodotti1Click() { ApriFinestra<TFrmAnagProdotti>(); }
void TfrmMain::Produttori1Click() { ApriFinestra<TFrmAnagProduttori>(); }
void TfrmMain::Categorie1Click() { ApriFinestra<TFrmCategorie>(); }

void TfrmMain::Aggiornasaldi1Click() { ApriFinestra<TfrmAzzeraScarichi>(); }

void TfrmMain::Movimentimagazzino1Click() { ApriFinestra<TfrmMovimentiMagazzino>(); }

void TfrmMain::Inventariofisico1Click() { ApriInventarioFisico(); }

bool TfrmMain::ApriInventarioFisico() {
    // The valued inventory after a count: the inventory report's own window,
    // opened on the count's day.
    TfrmStampaFoglioConteggio foglio(this);
    std::unique_ptr<TfrmInventarioFisico> f(new TfrmInventarioFisico(this, [this](const QDate& data) {
        std::unique_ptr<TFrmSetStampaInventario> stampa(new TFrmSetStampaInventario(this));
        stampa->impostaData(data);
        CentraSulloSchermo(stampa.get());
        stampa->exec();
    }, &foglio));
    CentraSulloSchermo(f.get());
    f->exec();
    return f->conteggioRegistrato();
}

void TfrmMain::ChiusuraAnno1Click() {
    ApriFinestra<TfrmChiusuraAnno>([this] { return ApriInventarioFisico(); }, [this](const QDate& data) {
        std::unique_ptr<TFrmSetStampaInventario> f(new TFrmSetStampaInventario(this));
        f->impostaData(data);
        CentraSulloSchermo(f.get());
        f->exec();
        return f->anteprimaMostrata();
    });
    // The reset and the deletion change the low-stock and expiry counts.
    EseguiMostrandoErrori([this] {
        MostraProdottiInEsaurimento();
        MostraProdottiInScadenza();
    });
}

void TfrmMain::ApriAnnoArchiviato1Click() { ApriFinestra<TfrmApriAnno>(); }

void TfrmMain::Eliminaoperazionidastorico1Click() { ApriFinestra<TfrmSetCancStorico>(); }

void TfrmMain::mnuHelpHelpClick() {
    const QString guida = CartellaProgramma() + QStringLiteral("help.html");
    if (QFileInfo::exists(guida))
        ApriDocumento(guida);
    else
        MostraErrore(QStringLiteral("Impossibile aprire la guida, file help.html non trovato"));
}

void TfrmMain::mnuIndicizzaClick() {
    if (!ChiediConferma(QStringLiteral("Confermi l'operazione di reindicizzazione delle tabelle?"))) return;
    const QString cartella = CartellaProgramma();
    int esito = 0;
    {
        TCursoreOccupato occupato;
        // The program lets go of its table files first, so that the tool does
        // not find them held; they are attached again when next used.
        TArchivio::corrente().scollegaTutte();
        esito = EseguiEAttendi(cartella + QStringLiteral("Pdxrbld.exe"),
                               {QStringLiteral("-Q+"), QStringLiteral("-R1"), QStringLiteral("/F") + cartella});
    }
    repaint();
    if (esito == -2) MostraAvviso(QStringLiteral("Impossibile eseguire il controllo mentre il database è in uso!"));
}

void TfrmMain::Segnalabug1Click() { ApriFinestra<TfrmBug>(); }
void TfrmMain::AggiornaVersione1Click() { ApriFinestra<TFrmControllaVersione>(); }
void TfrmMain::Esportazioneasciiexcel1Click() { ApriFinestra<TfrmEsportazioneTabelle>(); }
void TfrmMain::Importazionedati1Click() { ApriFinestra<TFrmImportazioneDati>(); }

void TfrmMain::Salvataggiodati1Click() { ApriFinestra<TFrmSalvataggioDati>(); }

void TfrmMain::Recuperodati1Click() {
    bool recuperato = false;
    {
        std::unique_ptr<TFrmRecuperoDati> f(new TFrmRecuperoDati(this));
        f->exec();
        recuperato = f->recuperoEseguito();
    }
    // The restored tables are read by a new start of the program.
    if (recuperato) QCoreApplication::quit();
}

void TfrmMain::InviodatiaVavori1Click() { ApriFinestra<TFrmInvioDatiCasaMadre>(); }

void TfrmMain::lblLinkClick() { ApriDocumento(Costanti::SitoProduttore); }

void TfrmMain::Label13Click() {
    const QString programma = m_about ? m_about->captionPrg() : Costanti::TitoloApplicazione;
    const QString versione = m_about ? m_about->captionVers() : Costanti::Versione;
    InviaMail(Costanti::MailProduttore, QStringLiteral("Clic interno ") + programma + QStringLiteral(" , ") + versione,
              QStringLiteral("Scrivere di seguito la richiesta:"));
}

// A check window comes with the report window that prints its list: the
// report window first, handed to the check window, which closes before it.
namespace {
template <class Controllo, class Stampa>
void ApriControllo(QWidget* principale) {
    Stampa stampa(principale);
    Controllo controllo(principale, &stampa);
    controllo.exec();
}
}  // namespace

void TfrmMain::Controllagiacenze1Click() { ApriControllo<TFrmCtrlGiacenze, TfrmStampaGiacenze>(this); }

void TfrmMain::VisioniStampe1Click() { ApriFinestra<TfrmSetStampe>(); }

void TfrmMain::Riepilogo1Click() { ApriFinestra<TFrmRiepilogo>(); }
void TfrmMain::PropostaOrdine1Click() { ApriFinestra<TFrmPropostaOrdine>(); }

void TfrmMain::Stampinventario1Click() { ApriFinestra<TFrmSetStampaInventario>(); }

void TfrmMain::ControloQuantit1Click() { ApriControllo<TFrmCtrlQta, TfrmStampaQtaAlert>(this); }
