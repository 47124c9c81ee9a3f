#include "tools/RecuperoDati.h"

#include "data/CartellaProgramma.h"
#include "data/engine/Archivio.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/LavoroLungo.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "gui/TraduzioneControlli.h"
#include "tools/CopiaDati.h"
#include "ui_RecuperoDati.h"

#include <QCoreApplication>
#include <QDir>

using namespace CopiaDati;

TFrmRecuperoDati::TFrmRecuperoDati(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmRecuperoDati>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    connect(m_ui->ListBoxCartelle, &QListWidget::itemSelectionChanged, this,
            Gestore(this, &TFrmRecuperoDati::ListBoxCartelleChange));
    connect(m_ui->ButtonOk, &QPushButton::clicked, this, Gestore(this, &TFrmRecuperoDati::ButtonOkClick));
    connect(m_ui->ButtonElimina, &QPushButton::clicked, this, Gestore(this, &TFrmRecuperoDati::ButtonEliminaClick));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmRecuperoDati::sbEsciClick));
    FormCreate();
    CentraSulloSchermo(this);
}

TFrmRecuperoDati::~TFrmRecuperoDati() = default;

void TFrmRecuperoDati::FormCreate() {
    if (!CreaCartellaBackup(CartellaProgramma())) MostraErrore(QStringLiteral("Errore in creazione directory backup."));
    riempiCartelle();
    m_ui->LabelWork->hide();
    m_ui->LabelDone->hide();
    m_ui->LabelCopiati->setText(QStringLiteral("0"));
    m_ui->LabelConErrore->setText(QStringLiteral("0"));
    TraduciControlli({m_ui->Label5, m_ui->Label1, m_ui->LabelWork, m_ui->LabelDone, m_ui->LabelTitoloResoconto,
                      m_ui->Label3, m_ui->LabelCopiati, m_ui->Label4, m_ui->LabelConErrore, m_ui->Label2,
                      m_ui->LabelDettaglioBackup, m_ui->ButtonElimina, m_ui->sbEsci});
}

void TFrmRecuperoDati::riempiCartelle() {
    m_ui->ListBoxCartelle->clear();
    m_ui->ListBoxCartelle->addItems(VociCartelle(CartellaBackup(CartellaProgramma())));
}

QString TFrmRecuperoDati::nomeScelto() const {
    const QList<QListWidgetItem*> scelte = m_ui->ListBoxCartelle->selectedItems();
    return scelte.isEmpty() ? QString() : NomeDaVoce(scelte.first()->text());
}

void TFrmRecuperoDati::ListBoxCartelleChange() {
    if (m_inCorso) return;
    const bool scelta = !m_ui->ListBoxCartelle->selectedItems().isEmpty();
    const QString nome = nomeScelto();
    const QString backup = CartellaBackup(CartellaProgramma());
    const bool valida = scelta && CartellaValida(backup, nome);
    m_ui->ButtonOk->setEnabled(valida);
    m_ui->ButtonElimina->setEnabled(valida);
    m_ui->ListBoxFile->clear();
    if (!scelta) return;
    if (!valida) {
        m_ui->LabelDettaglioBackup->setText(QStringLiteral("Nessun dettaglio"));
        return;
    }
    m_ui->ListBoxFile->addItems(FileCartellaGiorno(backup + nome));
    m_ui->LabelDettaglioBackup->setText(DescrizioneBackup(nome, m_ui->ListBoxFile->count()));
}

void TFrmRecuperoDati::ButtonOkClick() {
    if (m_inCorso) return;
    m_ui->LabelCopiati->setText(QStringLiteral("0"));
    m_ui->LabelConErrore->setText(QStringLiteral("0"));
    const QString nome = nomeScelto();
    const QString backup = CartellaBackup(CartellaProgramma());
    if (!CartellaValida(backup, nome)) return;
    if (!ChiediConferma(QStringLiteral(
            "Questa operazione di recupero dati andrà a sovrascrivere la situazione corrente, si intende continuare?")))
        return;
    // The two action buttons come back as the chosen folder allows.
    m_ui->ButtonOk->setEnabled(false);
    m_ui->ButtonElimina->setEnabled(false);
    const TOperazioneInCorso operazione(this, m_inCorso, {m_ui->sbEsci, m_ui->ListBoxCartelle}, [this] {
        m_ui->LabelWork->hide();
        ListBoxCartelleChange();
    });
    m_ui->LabelWork->show();
    m_ui->LabelDone->hide();
    QStringList file;
    for (int i = 0; i < m_ui->ListBoxFile->count(); ++i) file << m_ui->ListBoxFile->item(i)->text();
    TArchivio* archivio = TArchivio::esisteCorrente() ? &TArchivio::corrente() : nullptr;
    const QString programma = CartellaProgramma();
    TEsitoRecupero esito;
    if (const QString rifiuto = MotivoRifiuto(archivio); !rifiuto.isEmpty()) {
        esito.errori << rifiuto;
    } else {
        // The files are copied and checked beside the event loop; only then,
        // here, are the tables detached and the copies put in place. Stop
        // comes before any table is replaced.
        try {
            TLavoroLungo lavoro(this, QStringLiteral("Recupero dati in corso"), TUnitaAvanzamento::Byte);
            const TRecuperoPreparato preparato = lavoro.calcola<TRecuperoPreparato>(
                [&](TContestoLavoro& c) { return PreparaRecupero(backup + nome, file, programma, &c); });
            // The tables leave the store's connection here; the record and the
            // renames, with their syncs, go on beside the loop, with no Stop:
            // once begun they are finished.
            if (preparato.esito.riuscito() && archivio) archivio->scollegaTutte();
            TLavoroLungo sostituzione(this, QStringLiteral("Recupero dati in corso"), TUnitaAvanzamento::Byte);
            sostituzione.senzaStop();
            esito = sostituzione.calcola<TEsitoRecupero>([&](TContestoLavoro&) { return CompletaRecupero(nullptr, preparato); });
        } catch (const ErroreLavoroFermato&) {
            MostraAttenzione(QStringLiteral("Recupero dati interrotto: nessun archivio è stato sostituito."));
            return;
        }
    }
    m_ui->LabelCopiati->setText(QString::number(esito.copiati));
    m_ui->LabelConErrore->setText(QString::number(esito.errori.size()));
    if (esito.copiati > 0) m_recuperato = true;
    for (const QString& e : esito.errori) MostraErrore(e);
    if (!esito.riuscito() && esito.copiati == 0)
        MostraErrore(QStringLiteral("Recupero dati non eseguito: nessun file è stato sostituito."));
    m_ui->LabelDone->setVisible(esito.riuscito());
}

void TFrmRecuperoDati::ButtonEliminaClick() {
    if (m_inCorso) return;
    const QString backup = CartellaBackup(CartellaProgramma());
    const QString nome = nomeScelto();
    // The chosen entry is checked by its name: "[.]", "[..]" and anything
    // that is no day folder of `backup` are refused.
    if (!CartellaValida(backup, nome)) {
        MostraAttenzione(QStringLiteral("Nessuna cartella selezionata o cartella selezionata non valida."));
        return;
    }
    if (!ChiediConferma(QStringLiteral("Questa operazione eliminerà la cartella di backup selezionata e tutto il suo "
                                       "contenuto, si intende continuare?")))
        return;
    if (!EliminaCartellaGiorno(backup, nome)) MostraErrore(QStringLiteral("Impossibile eliminare la cartella, file in uso?"));
    m_ui->LabelDettaglioBackup->setText(QStringLiteral("Nessun dettaglio"));
    riempiCartelle();
    m_ui->ListBoxFile->clear();
    m_ui->ButtonOk->setEnabled(false);
    m_ui->ButtonElimina->setEnabled(false);
}

void TFrmRecuperoDati::sbEsciClick() { close(); }

void TFrmRecuperoDati::done(int risultato) {
    if (m_recuperato && !m_avvisato) {
        m_avvisato = true;
        MostraAttenzione(QStringLiteral("Dopo ogni recupero dati è necessario uscire dal programma e rientrare, la "
                                        "procedura si autoterminerà."));
    }
    QDialog::done(risultato);
}
