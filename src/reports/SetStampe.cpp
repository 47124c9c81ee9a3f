#include "reports/SetStampe.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "data/engine/Definizioni.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/Grafico.h"
#include "gui/Inserimento.h"
#include "gui/LeggiImpostazione.h"
#include "gui/Messaggi.h"
#include "gui/Selezione.h"
#include "data/IntervalloStorico.h"
#include "gui/ListaCategorie.h"
#include "gui/ListaProdotti.h"
#include "gui/ListaProduttori.h"
#include "reports/DatiStampe.h"
#include "reports/StampaFlussi.h"
#include "reports/StampaListino.h"
#include "reports/StampaProdotti.h"
#include "reports/StampaProduttori.h"
#include "reports/StampaStorico.h"
#include "ui_SetStampe.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QLayout>
#include <QRadioButton>
#include <QTimer>

TfrmSetStampe::TfrmSetStampe(QWidget* genitore) : QDialog(genitore), m_ui(std::make_unique<Ui::TfrmSetStampe>()) {
    m_ui->setupUi(this);
    for (QLineEdit* e : {m_ui->EDdaData, m_ui->EDaData, m_ui->EDdaDataFlussi, m_ui->EDaDataFlussi})
        e->installEventFilter(this);
    for (QGroupBox* g : {m_ui->rgQuali, m_ui->rgQualiFlussi})
        for (QRadioButton* r : g->findChildren<QRadioButton*>())
            connect(r, &QRadioButton::clicked, this, Gestore(this, &TfrmSetStampe::rgQualiClick));
    connect(m_ui->cbSecondaRigaProdotti, &QCheckBox::toggled, this,
            Gestore(this, &TfrmSetStampe::cbSecondaRigaProdottiClick));
    connect(m_ui->PageControl, &QTabWidget::currentChanged, this, Gestore(this, &TfrmSetStampe::PageControlChange));
    connect(m_ui->SpeedButton2, &QToolButton::clicked, this,
            Gestore([this] { SpeedButtonProdottoClick(m_ui->EditProdottoTab3); }));
    connect(m_ui->SpeedButton3, &QToolButton::clicked, this,
            Gestore([this] { SpeedButtonProdottoClick(m_ui->EditProdottoTab4); }));
    connect(m_ui->SpeedButton1, &QToolButton::clicked, this,
            Gestore([this] { SpeedButtonProduttoreClick(m_ui->EditProduttoreTab3); }));
    connect(m_ui->SpeedButton4, &QToolButton::clicked, this,
            Gestore([this] { SpeedButtonProduttoreClick(m_ui->EditProduttoreTab4); }));
    connect(m_ui->SpeedButton5, &QToolButton::clicked, this, Gestore(this, &TfrmSetStampe::SpeedButton5Click));
    connect(m_ui->BTSstampa, &QPushButton::clicked, this, Gestore(this, &TfrmSetStampe::BTSstampaClick));
    connect(m_ui->BTSesci, &QPushButton::clicked, this, Gestore(this, &TfrmSetStampe::BTSesciClick));
    connect(m_ui->BTSgrafico, &QPushButton::clicked, this, Gestore(this, &TfrmSetStampe::BTSgraficoClick));
    PageControlChange();
}

TfrmSetStampe::~TfrmSetStampe() = default;

int TfrmSetStampe::voceScelta(const QString& gruppo) const {
    const auto* g = findChild<QGroupBox*>(gruppo);
    if (!g) return -1;
    for (int i = 0;; ++i) {
        const auto* r = g->findChild<QRadioButton*>(gruppo + QLatin1Char('_') + QString::number(i));
        if (!r) return -1;
        if (r->isChecked()) return i;
    }
}

void TfrmSetStampe::scegliVoce(const QString& gruppo, int voce) {
    if (auto* r = findChild<QRadioButton*>(gruppo + QLatin1Char('_') + QString::number(voce))) r->click();
}

void TfrmSetStampe::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (m_mostrata) return;
    m_mostrata = true;
    EseguiMostrandoErrori([this] {
        FormShow();
        // The page FormShow brings forward sets the window's size: centre it
        // on that size, not on the one it was opened with.
        if (layout()) layout()->activate();
        CentraSulloSchermo(this);
    });
}

void TfrmSetStampe::FormShow() {
    m_ui->PageControl->setCurrentWidget(m_ui->TabStorico);
    const QString oggi = Oggi().toString(FormatoData);
    m_ui->EDdaData->setText(oggi);
    m_ui->EDaData->setText(oggi);
    // The history's first and last day, shown as the boxes show dates.
    const TIntervalloStorico intervallo = IntervalloStorico();
    if (intervallo.ultimo.isValid()) {
        m_ui->EDaData->setText(intervallo.ultimo.toString(FormatoData));
        m_ui->EDaDataFlussi->setText(intervallo.ultimo.toString(FormatoData));
    }
    if (intervallo.primo.isValid()) {
        m_ui->EDdaData->setText(intervallo.primo.toString(FormatoData));
        m_ui->EDdaDataFlussi->setText(intervallo.primo.toString(FormatoData));
    }
    TSelezioneCorrente& s = SelezioneCorrente();
    s.IdProduttoreScelto = 0;
    s.IdCategoriaScelta = 0;
    s.NomeProduttoreScelto.clear();
    s.CognomeProduttoreScelto.clear();
    s.NomeProdottoScelto.clear();
    s.CategoriaScelta.clear();
}

bool TfrmSetStampe::eventFilter(QObject* oggetto, QEvent* evento) {
    // Leaving a date box for another control of this window; not a focus lost
    // to a message box or another window.
    if (evento->type() == QEvent::FocusOut && isVisible()) {
        const Qt::FocusReason motivo = static_cast<QFocusEvent*>(evento)->reason();
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason)
            if (auto* e = qobject_cast<QLineEdit*>(oggetto)) EseguiMostrandoErrori([&] { EDdaDataExit(e); });
    }
    return QDialog::eventFilter(oggetto, evento);
}

void TfrmSetStampe::EDdaDataExit(QLineEdit* edit) {
    QString testo = edit->text();
    if (CompletaData(testo)) edit->setText(testo);
    else QTimer::singleShot(0, edit, [edit] { edit->setFocus(); });
}

void TfrmSetStampe::rgQualiClick() {
    // Loads carry no load price of their own: "Carichi" leaves it out.
    m_ui->cbNonStampaPrezzoCaricoSuStorico->setChecked(voceScelta(QStringLiteral("rgQuali")) == StampaCarichi);
}

void TfrmSetStampe::cbSecondaRigaProdottiClick() {
    m_ui->cbNonStampaProduttore->setEnabled(!m_ui->cbSecondaRigaProdotti->isChecked());
}

void TfrmSetStampe::PageControlChange() {
    const TSelezioneCorrente& s = SelezioneCorrente();
    m_ui->EditProduttoreTab3->setText(s.NomeProduttoreScelto);
    m_ui->EditProduttoreTab4->setText(s.NomeProduttoreScelto);
    m_ui->EditProdottoTab3->setText(s.NomeProdottoScelto);
    m_ui->EditProdottoTab4->setText(s.NomeProdottoScelto);
}

void TfrmSetStampe::SpeedButtonProdottoClick(QLineEdit* edit) {
    {
        TFrmListaProdotti lista(this);
        lista.exec();
    }
    edit->setText(SelezioneCorrente().NomeProdottoScelto);
}

void TfrmSetStampe::SpeedButtonProduttoreClick(QLineEdit* edit) {
    {
        TFrmListaProduttori lista(this);
        lista.exec();
    }
    edit->setText(SelezioneCorrente().NomeProduttoreScelto);
}

void TfrmSetStampe::SpeedButton5Click() {
    {
        TFrmListaCategorie lista(this);
        lista.exec();
    }
    m_ui->EditCategoriaTab3->setText(SelezioneCorrente().CategoriaScelta);
}

void TfrmSetStampe::PreparaStorico(TfrmStampaStorico& s) const {
    s.NonStampaProduttore = m_ui->cbNonStampaProduttoreSuStorico->isChecked();
    s.NonStampaCategoria = m_ui->cbNonStampaCategoriaSuStorico->isChecked();
    s.NonStampaPrezzi = m_ui->cbNonStampaPrezziSuStorico->isChecked();
    s.NonStampaPrezzoCarico = m_ui->cbNonStampaPrezzoCaricoSuStorico->isChecked();
    const int quali = voceScelta(QStringLiteral("rgQuali"));
    s.QRLabTipo()->testo = QStringLiteral("- ") + TestoQuali(quali);
    s.CarattereStampa = LeggiCarattereStampa(Impostazioni::CarStampaStorico);
    const TPeriodoSQL p = PeriodoSQL(m_ui->EDdaData->text(), m_ui->EDaData->text());
    s.DataDa = p.primo;
    s.DataA = p.secondo;
    s.QueryStorico = QueryStorico(p.dataPrimo, p.dataSecondo, quali, voceScelta(QStringLiteral("rgOrdinaStorico")),
                                  m_ui->cbInvertiOrdineStorico->isChecked());
}

void TfrmSetStampe::PreparaFlussi(TfrmStampaFlussi& s) const {
    s.NonStampaPrezzi = m_ui->cbNonStampaPrezziSuFlussi->isChecked();
    s.NonStampaQta = m_ui->cbNonStampaQtaSuFlussi->isChecked();
    const int quali = voceScelta(QStringLiteral("rgQualiFlussi"));
    s.QRLabTipo()->testo = QStringLiteral("- ") + TestoQuali(quali);
    s.CarattereStampa = LeggiCarattereStampa(Impostazioni::CarStampaStorico);
    const TPeriodoSQL p = PeriodoSQL(m_ui->EDdaDataFlussi->text(), m_ui->EDaDataFlussi->text());
    s.DataDa = p.primo;
    s.DataA = p.secondo;
    s.QueryFlussi = QueryFlussi(p.dataPrimo, p.dataSecondo, quali, m_ui->cbInvertiOrdineFlussi->isChecked());
}

void TfrmSetStampe::PreparaProdotti(TfrmStampaProdotti& s) const {
    const TSelezioneCorrente& sel = SelezioneCorrente();
    s.NonStampaSecondaRiga = m_ui->cbSecondaRigaProdotti->isChecked();
    s.InvertiOrdine = m_ui->cbInvertiOrdineProdotti->isChecked();
    // Disabled by "Non stampare seconda riga", the box still hands its state over.
    s.NonStampaProduttore = m_ui->cbNonStampaProduttore->isChecked();
    s.Prodotto = m_ui->EditProdottoTab3->text();
    s.Produttore = m_ui->EditProduttoreTab3->text();
    s.IdProduttore = sel.IdProduttoreScelto;
    s.IdCategoria = sel.IdCategoriaScelta;
    s.Categoria = sel.CategoriaScelta;
    s.CampoOrdine = CampoOrdineProdotti(voceScelta(QStringLiteral("rgOrdinaPerProdotti")));
    s.CarattereStampa = LeggiCarattereStampa(Impostazioni::CarStampaProdotti);
}

void TfrmSetStampe::PreparaListino(TfrmStampaListino& s) const {
    s.InvertiOrdine = m_ui->cbInvertiOrdineListino->isChecked();
    s.Prodotto = m_ui->EditProdottoTab4->text();
    s.Produttore = m_ui->EditProduttoreTab4->text();
    s.IdProduttore = SelezioneCorrente().IdProduttoreScelto;
    s.CampoOrdine = CampoOrdineListino(voceScelta(QStringLiteral("rgOrdinaPerListino")));
    s.CarattereStampa = LeggiCarattereStampa(Impostazioni::CarStampaListino);
}

void TfrmSetStampe::PreparaProduttori(TfrmStampaProduttori& s) const {
    s.NonStampaSecondaRiga = m_ui->cbSecondaRiga->isChecked();
    s.InvertiOrdine = m_ui->cbInvertiOrdine->isChecked();
    s.CampoOrdine = CampoOrdineProduttori(voceScelta(QStringLiteral("rgOrdina")));
    s.CarattereStampa = LeggiCarattereStampa(Impostazioni::CarStampaProduttori);
}

void TfrmSetStampe::BTSstampaClick() {
    // A parameter that does not read (a date, the font size) ends the command
    // through the general error display; a failure of the report itself gets
    // the tab's own message.
    if (m_ui->PageControl->currentWidget() == m_ui->TabStorico) {
        TfrmStampaStorico stampa(this);
        PreparaStorico(stampa);
        try {
            stampa.Anteprima();
        } catch (const std::exception&) {
            MostraErrore(QStringLiteral("Errore irreversibile in fase di stampa storico contattare Vavori Rarovazazo."));
        }
    } else if (m_ui->PageControl->currentWidget() == m_ui->TabFlussi) {
        TfrmStampaFlussi stampa(this);
        PreparaFlussi(stampa);
        try {
            stampa.Anteprima();
        } catch (const std::exception&) {
            MostraErrore(QStringLiteral("Errore irreversibile in fase di stampa flussi contattare Vavori Rarovazazo."));
        }
    } else if (m_ui->PageControl->currentWidget() == m_ui->TabProduttori) {
        TfrmStampaProduttori stampa(this);
        PreparaProduttori(stampa);
        try {
            stampa.Anteprima();
        } catch (const std::exception&) {
            MostraErrore(QStringLiteral(
                "Errore irreversibile in fase di stampa elenco produttori contattare Vavori Rarovazazo."));
        }
    } else if (m_ui->PageControl->currentWidget() == m_ui->TabProdotti) {
        // No message of its own: a failure reaches the general error display.
        TfrmStampaProdotti stampa(this);
        PreparaProdotti(stampa);
        stampa.Anteprima();
    } else if (m_ui->PageControl->currentWidget() == m_ui->TabListino) {
        TfrmStampaListino stampa(this);
        PreparaListino(stampa);
        try {
            stampa.Anteprima();
        } catch (const std::exception&) {
            MostraErrore(QStringLiteral("Errore irreversibile in fase di stampa listino contattare Vavori Rarovazazo."));
        }
    }
}

void TfrmSetStampe::BTSgraficoClick() {
    // The cash-flow tab's period and actions, as its report reads them.
    const TPeriodoSQL p = PeriodoSQL(m_ui->EDdaDataFlussi->text(), m_ui->EDaDataFlussi->text());
    const int quali = voceScelta(QStringLiteral("rgQualiFlussi"));
    MostraGraficoFlussi(this, p.dataPrimo, p.dataSecondo, AzioneQuali(quali), TestoQuali(quali));
}

void TfrmSetStampe::BTSesciClick() { close(); }
