#include "gui/Avanzamento.h"

#include "gui/Gestori.h"
#include "ui_Avanzamento.h"

#include <QCloseEvent>

TFrmAvanzamento::TFrmAvanzamento(QWidget* genitore) : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmAvanzamento>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint);
    connect(m_ui->sbFerma, &QPushButton::clicked, this, Gestore(this, &TFrmAvanzamento::sbFermaClick));
}

TFrmAvanzamento::~TFrmAvanzamento() = default;

void TFrmAvanzamento::sbFermaClick() {
    if (suStop) suStop();
}

void TFrmAvanzamento::mostraInterruzione() {
    m_ui->sbFerma->setEnabled(false);
    m_ui->LabelAvanzamento->setText(QStringLiteral("Interruzione in corso…"));
}

void TFrmAvanzamento::chiudiAllaFine() {
    m_finito = true;
    hide();
}

void TFrmAvanzamento::reject() {
    // Escape: the same as "Stop"; the box stays until the work has ended.
    if (m_finito) {
        QDialog::reject();
        return;
    }
    if (m_ui->sbFerma->isEnabled() && m_ui->sbFerma->isVisible()) sbFermaClick();
}

void TFrmAvanzamento::closeEvent(QCloseEvent* evento) {
    if (m_finito) {
        QDialog::closeEvent(evento);
        return;
    }
    evento->ignore();
    if (m_ui->sbFerma->isEnabled() && m_ui->sbFerma->isVisible()) sbFermaClick();
}
