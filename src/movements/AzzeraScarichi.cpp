#include "movements/AzzeraScarichi.h"

#include "app/Fx.h"
#include "movements/Azzeramenti.h"
#include "ui_AzzeraScarichi.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>

TfrmAzzeraScarichi::TfrmAzzeraScarichi(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TfrmAzzeraScarichi>()) {
    m_ui->setupUi(this);
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, &TfrmAzzeraScarichi::BitBtn1Click);
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, &TfrmAzzeraScarichi::BitBtn2Click);
}

TfrmAzzeraScarichi::~TfrmAzzeraScarichi() = default;

void TfrmAzzeraScarichi::BitBtn1Click() {
    if (m_inCorso) return;
    if (!ChiediConferma(QStringLiteral(
            "Questa operazione eseguirà l'azzeramento di tutti gli scarichi e l'aggiornamento dei saldi, continuare?")))
        return;
    // While a run is in progress neither button acts: a second run must not
    // start inside the first, nor the window close under it.
    m_inCorso = true;
    m_ui->BitBtn1->setEnabled(false);
    m_ui->BitBtn2->setEnabled(false);
    struct Fine {
        TfrmAzzeraScarichi* f;
        ~Fine() {
            f->m_inCorso = false;
            f->m_ui->BitBtn1->setEnabled(true);
            f->m_ui->BitBtn2->setEnabled(true);
            f->m_ui->PrgBar->setValue(0);
        }
    } fine{this};
    m_ui->PrgBar->setValue(0);
    QElapsedTimer ridisegno;
    AzzeraScarichiProdotti([&](int fatti, int totale) {
        if (fatti == 1) m_ui->PrgBar->setMaximum(totale);
        m_ui->PrgBar->setValue(fatti);
        // The window is repainted and its events handled a few times a
        // second: once per product would cost more than the reset itself.
        if (fatti == 1 || ridisegno.elapsed() >= 30 || fatti == totale) {
            QCoreApplication::processEvents();
            ridisegno.start();
        }
    });
    MostraMessaggio(QStringLiteral("Operazione completata"));
}

void TfrmAzzeraScarichi::BitBtn2Click() { close(); }

void TfrmAzzeraScarichi::closeEvent(QCloseEvent* evento) {
    if (m_inCorso) evento->ignore();
    else QDialog::closeEvent(evento);
}

void TfrmAzzeraScarichi::reject() {
    if (!m_inCorso) QDialog::reject();
}
