#include "app/Start.h"

#include "app/About.h"
#include "data/Costanti.h"
#include "gui/Gestori.h"
#include "gui/ServiziDesktop.h"
#include "gui/TastoEsc.h"
#include "gui/TraduzioneControlli.h"
#include "ui_Start.h"

TfrmStart::TfrmStart(TFrmAbout* about, QWidget* finestraPrincipale, QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TfrmStart>()), m_principale(finestraPrincipale) {
    m_ui->setupUi(this);
    // A dialog border without any border buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    // No border buttons, no Escape: the splash goes by its timer.
    EscComeEsci(this, nullptr);
    m_timer.setInterval(10000);
    m_timer.setSingleShot(false);
    connect(&m_timer, &QTimer::timeout, this, Gestore(this, &TfrmStart::TimerStartTimer));
    connect(m_ui->ImageLogo, &TEtichettaLink::cliccato, this, Gestore(this, &TfrmStart::ImageLogoClick));
    FormCreate(about);
}

TfrmStart::~TfrmStart() = default;

void TfrmStart::FormCreate(TFrmAbout* about) {
    setWindowTitle(QStringLiteral("Caricamento ") + (about ? about->captionPrg() : QString()));
    TraduciControlli({m_ui->Label1});
}

void TfrmStart::ImageLogoClick() { ApriDocumento(Costanti::SitoProduttore); }

void TfrmStart::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    m_timer.start();
}

void TfrmStart::mostraCaricamento() {
    m_caricamento = true;
    show();
}

void TfrmStart::fineCaricamento(QWidget* finestraPrincipale) {
    m_principale = finestraPrincipale;
    m_caricamento = false;
}

QLabel* TfrmStart::etichettaAvanzamento() const { return m_ui->LabAvanzamento; }

void TfrmStart::TimerStartTimer() {
    // The tables are still being created: the next tick closes the splash.
    if (m_caricamento) return;
    m_timer.stop();
    if (m_principale) m_principale->setVisible(true);
    close();
}
