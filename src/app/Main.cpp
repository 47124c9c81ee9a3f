#include "app/Main.h"

#include "app/About.h"
#include "app/Applicazione.h"
#include "app/Costanti.h"
#include "app/Fx.h"
#include "app/Start.h"
#include "data/Archivio.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/Impostazioni.h"
#include "movements/AggiustamentoResi.h"
#include "movements/CaricoScarico.h"
#include "registries/AnagProdotti.h"
#include "registries/AnagProduttori.h"
#include "registries/Categorie.h"
#include "ui_Main.h"

#include <QCoreApplication>
#include <QScreen>
#include <QTimer>

TfrmMain::TfrmMain(QWidget* genitore) : QMainWindow(genitore), m_ui(std::make_unique<Ui::TfrmMain>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    ImpostaSelezioneCorrente(&selezione);
    m_ui->lblLink->setText(Costanti::SitoProduttore);
    m_ui->Label13->setText(Costanti::MailProduttore);

    // Items whose windows are not part of the program yet stay disabled.
    const QList<QAction*> nonPronte = {
        m_ui->Controllagiacenze1, m_ui->ControloQuantit1, m_ui->Eliminaoperazionidastorico1, m_ui->Aggiornasaldi1,
        m_ui->VisioniStampe1, m_ui->Stampinventario1, m_ui->AggiornaVersione1,
        m_ui->mnuIndicizza, m_ui->Segnalabug1, m_ui->Salvataggiodati1, m_ui->Recuperodati1,
        m_ui->InviodatiaVavori1, m_ui->Esportazioneasciiexcel1, m_ui->mnuHelpHelp};
    for (QAction* a : nonPronte) a->setEnabled(false);
    for (TEtichettaLink* l : {m_ui->LabUrl4, m_ui->LabUrl5, m_ui->LabUrl6, m_ui->LabUrl8})
        l->setEnabled(false);

    connect(m_ui->About1, &QAction::triggered, this, &TfrmMain::About1Click);
    connect(m_ui->btnEsci, &QPushButton::clicked, this, &TfrmMain::btnEsciClick);
    connect(m_ui->Impostazioni1, &QAction::triggered, this, &TfrmMain::Impostazioni1Click);
    connect(m_ui->Magazzino1, &QAction::triggered, this, &TfrmMain::Magazzino1Click);
    connect(m_ui->Aggiustamentoresi1, &QAction::triggered, this, &TfrmMain::Aggiustamentoresi1Click);
    connect(m_ui->LabUrl3, &TEtichettaLink::cliccato, this, &TfrmMain::Magazzino1Click);
    connect(m_ui->LabUrl7, &TEtichettaLink::cliccato, this, &TfrmMain::Aggiustamentoresi1Click);
    connect(m_ui->Elencoprodotti1, &QAction::triggered, this, &TfrmMain::Elencoprodotti1Click);
    connect(m_ui->Produttori1, &QAction::triggered, this, &TfrmMain::Produttori1Click);
    connect(m_ui->Categorie1, &QAction::triggered, this, &TfrmMain::Categorie1Click);
    connect(m_ui->LabUrl1, &TEtichettaLink::cliccato, this, &TfrmMain::Elencoprodotti1Click);
    connect(m_ui->LabUrl2, &TEtichettaLink::cliccato, this, &TfrmMain::Produttori1Click);

    FormCreate();
}

TfrmMain::~TfrmMain() {
    if (&SelezioneCorrente() == &selezione) ImpostaSelezioneCorrente(nullptr);
}

void TfrmMain::FormCreate() {
    // A failure here ends the table routines and the remaining creation
    // steps; the general error display shows it and the program goes on.
    EseguiMostrandoErrori([this] {
        CreaTabelleGenerali();
        CreaTabelle();
        MostraAnnoDiLavoro();
        MostraProdottiInEsaurimento();
    });
    adjustSize();
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
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

void TfrmMain::MostraProdottiInEsaurimento() {
    const int n = TArchivio::corrente()
                      .valoreSingolo(QStringLiteral("select count(*) from %1 where quantita <= qtaalert and quantita > 0")
                                         .arg(TArchivio::corrente().nomeQualificato(QStringLiteral("prodotti"))))
                      .toInt();
    if (n == 0) {
        m_ui->LabUrl8->setVisible(false);
        return;
    }
    m_ui->LabUrl8->setText(QStringLiteral("CI SONO ") + QString::number(n) + QStringLiteral(" PRODOTTI IN ESAURIMENTO"));
    m_ui->LabUrl8->setVisible(true);
}

void TfrmMain::showEvent(QShowEvent* evento) {
    QMainWindow::showEvent(evento);
    if (!m_primaVolta) return;
    m_primaVolta = false;
    if (m_start) QTimer::singleShot(0, m_start, [s = m_start] { s->exec(); });
}

void TfrmMain::About1Click() {
    if (m_about) m_about->exec();
}

void TfrmMain::btnEsciClick() { close(); }

void TfrmMain::Impostazioni1Click() { ApriFinestra<TFrmImpostazioni>(); }

void TfrmMain::Magazzino1Click() { ApriFinestra<TFrmCaricoScarico>(); }

void TfrmMain::Aggiustamentoresi1Click() { ApriFinestra<TFrmAggiustamentoResi>(); }
void TfrmMain::Elencoprodotti1Click() { ApriFinestra<TFrmAnagProdotti>(); }
void TfrmMain::Produttori1Click() { ApriFinestra<TFrmAnagProduttori>(); }
void TfrmMain::Categorie1Click() { ApriFinestra<TFrmCategorie>(); }
