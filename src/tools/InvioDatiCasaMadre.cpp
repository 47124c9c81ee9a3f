#include "tools/InvioDatiCasaMadre.h"

#include "data/CartellaProgramma.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/LavoroLungo.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "gui/TraduzioneControlli.h"
#include "tools/CopiaDati.h"
#include "ui_InvioDatiCasaMadre.h"

#include <QCoreApplication>
#include <QDir>

using namespace CopiaDati;

TFrmInvioDatiCasaMadre::TFrmInvioDatiCasaMadre(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmInvioDatiCasaMadre>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    connect(m_ui->ListBoxCartelle, &QListWidget::itemSelectionChanged, this,
            Gestore(this, &TFrmInvioDatiCasaMadre::ListBoxCartelleChange));
    connect(m_ui->ButtonOk, &QPushButton::clicked, this, Gestore(this, &TFrmInvioDatiCasaMadre::ButtonOkClick));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmInvioDatiCasaMadre::sbEsciClick));
    FormCreate();
    CentraSulloSchermo(this);
}

TFrmInvioDatiCasaMadre::~TFrmInvioDatiCasaMadre() = default;

void TFrmInvioDatiCasaMadre::FormCreate() {
    TraduciControlli({m_ui->Label6, m_ui->Label5, m_ui->Label1, m_ui->Label2, m_ui->LabelWork, m_ui->LabelDone,
                      m_ui->LabelDettaglioBackup, m_ui->Label7, m_ui->cbNonInviare, m_ui->ButtonOk, m_ui->sbEsci});
    if (!CreaCartellaBackup(CartellaProgramma())) MostraErrore(QStringLiteral("Errore in creazione directory backup."));
    m_ui->ListBoxCartelle->addItems(VociCartelle(CartellaBackup(CartellaProgramma())));
    m_ui->LabelWork->hide();
    m_ui->LabelDone->hide();
    m_ui->EditPathCompresso->clear();
}

QString TFrmInvioDatiCasaMadre::nomeScelto() const {
    const QList<QListWidgetItem*> scelte = m_ui->ListBoxCartelle->selectedItems();
    return scelte.isEmpty() ? QString() : NomeDaVoce(scelte.first()->text());
}

void TFrmInvioDatiCasaMadre::ListBoxCartelleChange() {
    if (m_inCorso || m_ui->ListBoxCartelle->selectedItems().isEmpty()) return;
    const QString backup = CartellaBackup(CartellaProgramma());
    const QString nome = nomeScelto();
    m_ui->ListBoxFile->clear();
    if (!CartellaValida(backup, nome)) {
        m_ui->ButtonOk->setEnabled(false);
        m_ui->LabelDettaglioBackup->setText(QStringLiteral("Nessun dettaglio"));
        m_ui->EditPathCompresso->clear();
        return;
    }
    m_ui->ButtonOk->setEnabled(true);
    m_ui->ListBoxFile->addItems(FileCartellaGiorno(backup + nome));
    m_ui->LabelDettaglioBackup->setText(DescrizioneBackup(nome, m_ui->ListBoxFile->count()));
    m_ui->EditPathCompresso->setText(QDir::toNativeSeparators(PercorsoPacchetto(CartellaProgramma())));
}

void TFrmInvioDatiCasaMadre::ButtonOkClick() {
    if (m_inCorso) return;
    const QString backup = CartellaBackup(CartellaProgramma());
    const QString nome = nomeScelto();
    if (!CartellaValida(backup, nome)) return;
    if (!ChiediConferma(QStringLiteral("Si intende eseguire il compattamento della copia di backup selezionata?")))
        return;
    const TOperazioneInCorso operazione(this, m_inCorso, {m_ui->ButtonOk, m_ui->sbEsci, m_ui->ListBoxCartelle},
                                        [this] { m_ui->LabelWork->hide(); });
    m_ui->LabelWork->show();
    m_ui->LabelDone->hide();
    const QString pacchetto = PercorsoPacchetto(CartellaProgramma());
    // The previous package stays until the new one is complete, and after a stop.
    QString errore;
    try {
        TLavoroLungo lavoro(this, QStringLiteral("Creazione del pacchetto dati in corso"), TUnitaAvanzamento::Byte);
        errore = lavoro.calcola<QString>([&](TContestoLavoro& c) { return CreaPacchetto(backup + nome, pacchetto, &c); });
    } catch (const ErroreLavoroFermato&) {
        MostraAttenzione(QStringLiteral("Creazione del pacchetto dati interrotta: il pacchetto dati non è stato scritto."));
        return;
    }
    if (!errore.isEmpty()) {
        MostraErrore(QStringLiteral("Impossibile creare il pacchetto dati ") + QDir::toNativeSeparators(pacchetto) +
                     QStringLiteral(":\n") + errore);
        return;
    }
    if (!m_ui->cbNonInviare->isChecked()) InviaMailPacchetto(QDir::toNativeSeparators(pacchetto));
    m_ui->LabelDone->show();
}

void TFrmInvioDatiCasaMadre::sbEsciClick() { close(); }
