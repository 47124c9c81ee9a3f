#include "tools/SalvataggioDati.h"

#include "data/CartellaProgramma.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/LavoroLungo.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "gui/TraduzioneControlli.h"
#include "tools/CopiaDati.h"
#include "ui_SalvataggioDati.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>

using namespace CopiaDati;

TFrmSalvataggioDati::TFrmSalvataggioDati(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmSalvataggioDati>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, Gestore(this, &TFrmSalvataggioDati::BitBtn2Click));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmSalvataggioDati::sbEsciClick));
    FormCreate();
    CentraSulloSchermo(this);
}

TFrmSalvataggioDati::~TFrmSalvataggioDati() = default;

void TFrmSalvataggioDati::FormCreate() {
    const QString cartella = CartellaProgramma();
    if (!CreaCartellaBackup(cartella)) MostraErrore(QStringLiteral("Errore in creazione directory backup."));
    m_ui->ListBoxTabelle->addItems(TabelleCartella(cartella));
    m_ui->LabelWork->hide();
    m_ui->LabelDone->hide();
    m_ui->LabelCopiati->setText(QStringLiteral("0"));
    m_ui->LabelConErrore->setText(QStringLiteral("0"));
    m_ui->EditPathSalvataggio->setText(QDir::toNativeSeparators(CartellaBackup(cartella) + NomeCartellaGiorno(Oggi())));
    TraduciControlli({m_ui->Label5, m_ui->Label1, m_ui->LabelWork, m_ui->LabelDone, m_ui->LabelTitoloResoconto,
                      m_ui->Label3, m_ui->LabelCopiati, m_ui->Label4, m_ui->LabelConErrore, m_ui->Label2, m_ui->sbEsci});
}

void TFrmSalvataggioDati::BitBtn2Click() {
    if (m_inCorso) return;
    m_ui->LabelCopiati->setText(QStringLiteral("0"));
    m_ui->LabelConErrore->setText(QStringLiteral("0"));
    const QString cartella = CartellaProgramma();
    const QString giorno = CartellaBackup(cartella) + NomeCartellaGiorno(Oggi()) + QLatin1Char('/');
    if (!QFileInfo::exists(giorno)) {
        if (!QDir().mkpath(giorno)) MostraErrore(QStringLiteral("Errore in creazione directory backup."));
    } else if (!ChiediConferma(QStringLiteral(
                   "Oggi è già stato effettuato un salvataggio dati, si intende sovrascrivere quello esistente?"))) {
        return;
    }
    TArchivio* archivio = TArchivio::esisteCorrente() ? &TArchivio::corrente() : nullptr;
    const QString rifiuto = MotivoRifiuto(archivio);
    if (!rifiuto.isEmpty()) {
        MostraErrore(rifiuto);
        return;
    }
    const TOperazioneInCorso operazione(this, m_inCorso, {m_ui->BitBtn2, m_ui->sbEsci},
                                        [this] { m_ui->LabelWork->hide(); });
    m_ui->LabelWork->show();
    m_ui->LabelDone->hide();
    m_ui->ListBoxTabelle->clear();
    m_ui->ListBoxTabelle->addItems(TabelleCartella(cartella));
    const QStringList file = FileDaSalvare(cartella);
    m_ui->ListBoxFile->clear();
    m_ui->ListBoxFile->addItems(file);
    // The copies are made beside the event loop; Stop leaves the day folder
    // with the copies it had.
    TEsitoSalvataggio esito;
    try {
        TLavoroLungo lavoro(this, QStringLiteral("Salvataggio dati in corso"), TUnitaAvanzamento::Byte);
        esito = lavoro.calcola<TEsitoSalvataggio>(
            [&](TContestoLavoro& c) { return SalvaCartella(cartella, giorno, file, &c); });
    } catch (const ErroreLavoroFermato&) {
        m_ui->LabelWork->hide();
        MostraAttenzione(QStringLiteral("Salvataggio dati interrotto: le copie presenti nella cartella di backup non sono "
                                        "state modificate."));
        return;
    }
    m_ui->LabelCopiati->setText(QString::number(esito.copiati.size()));
    m_ui->LabelConErrore->setText(QString::number(esito.errori.size()));
    for (const auto& [f, errore] : esito.errori)
        MostraErrore(QStringLiteral("Errore durante la copia del file \"") + QDir::toNativeSeparators(cartella + f) +
                     QStringLiteral("\"\n") + errore);
    m_ui->LabelWork->hide();
    // The run is reported done only when every file was copied; the counters
    // and the messages say what failed.
    m_ui->LabelDone->setVisible(esito.errori.isEmpty());
}

void TFrmSalvataggioDati::sbEsciClick() { close(); }
