#include "online/Bug.h"

#include "data/Costanti.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/ServiziDesktop.h"
#include "gui/TraduzioneControlli.h"
#include "ui_Bug.h"

#include <QGuiApplication>

TfrmBug::TfrmBug(QWidget* genitore) : QDialog(genitore), m_ui(std::make_unique<Ui::TfrmBug>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    m_ui->lblLink->setText(Costanti::SitoProduttore);
    connect(m_ui->ButSegnala, &QPushButton::clicked, this, Gestore(this, &TfrmBug::ButSegnalaClick));
    connect(m_ui->lblLink, &TEtichettaLink::cliccato, this, Gestore(this, &TfrmBug::lblLinkClick));
    connect(m_ui->ButEsci, &QPushButton::clicked, this, Gestore(this, &TfrmBug::ButEsciClick));
    FormCreate();
    adjustSize();
    CentraSulloSchermo(this);
}

TfrmBug::~TfrmBug() = default;

void TfrmBug::FormCreate() {
    // The link keeps its address; the other captions follow the language.
    TraduciControlli({this, m_ui->Label4, m_ui->Label1, m_ui->Label2, m_ui->Label3, m_ui->ButSegnala, m_ui->ButEsci});
}

QString TfrmBug::OggettoMail() {
    return QStringLiteral("Bug: ") + Costanti::TitoloApplicazione + QStringLiteral(", ") + Costanti::Versione;
}

QString TfrmBug::CorpoMail() { return QStringLiteral("Di seguito la segnalzione del bug:"); }

void TfrmBug::ButSegnalaClick() { InviaMail(Costanti::MailProduttore, OggettoMail(), CorpoMail()); }

void TfrmBug::lblLinkClick() { ApriDocumento(Costanti::SitoProduttore); }

void TfrmBug::ButEsciClick() { close(); }
