#include "movements/AzzeraScarichi.h"

#include "gui/Gestori.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "movements/Azzeramenti.h"
#include "movements/Movimenti.h"
#include "ui_AzzeraScarichi.h"

#include <QCoreApplication>
#include <QElapsedTimer>

TfrmAzzeraScarichi::TfrmAzzeraScarichi(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TfrmAzzeraScarichi>()) {
    m_ui->setupUi(this);
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, Gestore(this, &TfrmAzzeraScarichi::BitBtn1Click));
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, Gestore(this, &TfrmAzzeraScarichi::BitBtn2Click));
}

TfrmAzzeraScarichi::~TfrmAzzeraScarichi() = default;

void TfrmAzzeraScarichi::BitBtn1Click() {
    if (m_inCorso) return;
    if (!ChiediConferma(QStringLiteral(
            "Questa operazione eseguirà l'azzeramento di tutti gli scarichi e l'aggiornamento dei saldi, continuare?")))
        return;
    const TOperazioneInCorso operazione(this, m_inCorso, {m_ui->BitBtn1, m_ui->BitBtn2},
                                        [this] { m_ui->PrgBar->setValue(0); });
    m_ui->PrgBar->setValue(0);
    QElapsedTimer ridisegno;
    try {
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
    } catch (const ErroreLimiteContatori& e) {
        MostraAttenzione(e.testo());
        return;
    }
    MostraMessaggio(QStringLiteral("Operazione completata"));
}

void TfrmAzzeraScarichi::BitBtn2Click() { close(); }
