#include "app/About.h"

#include "data/Costanti.h"
#include "gui/Gestori.h"
#include "gui/ServiziDesktop.h"
#include "ui_About.h"

TFrmAbout::TFrmAbout(QWidget* genitore) : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmAbout>()) {
    m_ui->setupUi(this);
    m_ui->lblLink->setText(Costanti::SitoProduttore);
    m_ui->Label13->setText(Costanti::MailProduttore);
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmAbout::sbEsciClick));
    connect(m_ui->lblLink, &TEtichettaLink::cliccato, this, Gestore(this, &TFrmAbout::lblLinkClick));
    connect(m_ui->Label13, &TEtichettaLink::cliccato, this, Gestore(this, &TFrmAbout::Label13Click));
}

TFrmAbout::~TFrmAbout() = default;

QString TFrmAbout::captionPrg() const { return m_ui->LabelPrg->text(); }
QString TFrmAbout::captionVers() const { return m_ui->LabelVers->text(); }

void TFrmAbout::sbEsciClick() { close(); }

void TFrmAbout::lblLinkClick() { ApriDocumento(Costanti::SitoProduttore); }

void TFrmAbout::Label13Click() {
    InviaMail(Costanti::MailProduttore, QStringLiteral("Inf: ") + captionPrg() + QStringLiteral(", ") + captionVers(),
              QStringLiteral("Vorrei ricevere informazioni in più per quanto riguarda:"));
}
