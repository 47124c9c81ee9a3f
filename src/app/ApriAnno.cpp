#include "app/ApriAnno.h"

#include "app/PassiChiusuraAnno.h"
#include "data/CartellaProgramma.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/Messaggi.h"
#include "ui_ApriAnno.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

TfrmApriAnno::TfrmApriAnno(QWidget* genitore, const QString& programma)
    : QDialog(genitore),
      m_ui(std::make_unique<Ui::TfrmApriAnno>()),
      m_programma(programma.isEmpty() ? QCoreApplication::applicationFilePath() : programma) {
    m_ui->setupUi(this);
    connect(m_ui->BTApri, &QPushButton::clicked, this, Gestore(this, &TfrmApriAnno::BTApriClick));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TfrmApriAnno::sbEsciClick));
    connect(m_ui->ListaAnni, &QListWidget::itemDoubleClicked, this, [this] { m_ui->BTApri->click(); });
    FormCreate();
    CentraSulloSchermo(this);
}

TfrmApriAnno::~TfrmApriAnno() = default;

void TfrmApriAnno::FormCreate() {
    const QStringList anni = ChiusuraAnno::AnniArchiviati(CartellaProgramma());
    m_ui->ListaAnni->addItems(anni);
    if (!anni.isEmpty()) m_ui->ListaAnni->setCurrentRow(anni.size() - 1);
    m_ui->BTApri->setEnabled(!anni.isEmpty());
    if (anni.isEmpty()) m_ui->Label1->setText(QStringLiteral("Nessun anno archiviato: un anno si archivia con \"Chiusura anno\"."));
}

void TfrmApriAnno::BTApriClick() {
    const QListWidgetItem* voce = m_ui->ListaAnni->currentItem();
    if (!voce) {
        MostraAttenzione(QStringLiteral("Scegliere un anno dall'elenco."));
        return;
    }
    const QString cartella = QDir::cleanPath(ChiusuraAnno::CartellaAnno(CartellaProgramma(), voce->text().toInt()));
    // The program takes its folder as its only argument; the new process
    // works on that folder alone, under that folder's lock.
    qint64 pid = 0;
    if (!QProcess::startDetached(m_programma, {cartella}, cartella, &pid)) {
        MostraErrore(QStringLiteral("Impossibile avviare il programma sull'anno %1.").arg(voce->text()));
        return;
    }
    m_pid = pid;
    close();
}

void TfrmApriAnno::sbEsciClick() { close(); }
