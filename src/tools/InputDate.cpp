#include "tools/InputDate.h"

#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "ui_InputDate.h"

#include <QFocusEvent>

TInputDate::TInputDate(QWidget* genitore) : QDialog(genitore), m_ui(std::make_unique<Ui::TInputDate>()) {
    m_ui->setupUi(this);
    m_ui->EDdaData->installEventFilter(this);
    m_ui->EDaData->installEventFilter(this);
    connect(m_ui->bttOK, &QPushButton::clicked, this, Gestore(this, &TInputDate::bttOKClick));
    connect(m_ui->bttCancel, &QPushButton::clicked, this, Gestore(this, &QDialog::reject));
    CentraSulloSchermo(this);
}

TInputDate::~TInputDate() = default;

QString TInputDate::dataInizio() const { return m_ui->EDdaData->text(); }
QString TInputDate::dataFine() const { return m_ui->EDaData->text(); }

bool TInputDate::eventFilter(QObject* oggetto, QEvent* evento) {
    // Leaving an edit for another control of this dialog.
    if (evento->type() == QEvent::FocusOut && isVisible()) {
        const Qt::FocusReason motivo = static_cast<QFocusEvent*>(evento)->reason();
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason) EseguiMostrandoErrori([&] {
            if (oggetto == m_ui->EDdaData) EDdaDataExit();
            else if (oggetto == m_ui->EDaData) EDaDataExit();
        });
    }
    return QDialog::eventFilter(oggetto, evento);
}

void TInputDate::EDdaDataExit() {
    if (m_ui->EDdaData->text().trimmed().isEmpty()) m_ui->EDdaData->setText(QStringLiteral("01/01/1000"));
}

void TInputDate::EDaDataExit() {
    if (m_ui->EDaData->text().trimmed().isEmpty()) m_ui->EDaData->setText(QStringLiteral("31/12/9999"));
}

void TInputDate::bttOKClick() {
    EDaDataExit();
    accept();
}
