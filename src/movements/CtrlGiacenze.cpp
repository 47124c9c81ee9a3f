#include "movements/CtrlGiacenze.h"

#include "gui/LavoroLungo.h"

#include "gui/Gestori.h"
#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "gui/Finestre.h"
#include "gui/Inserimento.h"
#include "gui/LeggiImpostazione.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "movements/ListaControllo.h"
#include "movements/Scadenze.h"
#include "ui_CtrlGiacenze.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QFocusEvent>
#include <algorithm>

namespace {
const QVector<TModelloElenco::Colonna> ColonneGriglia = {
    {Prodotti::Nome, QStringLiteral("Nome prodotto")},
    {Prodotti::Descrizione, QStringLiteral("Descrizione prodotto")},
    {Prodotti::GiacenzaMax, QStringLiteral("Gg. giacenza")},
    {Prodotti::Carichi, QStringLiteral("Carichi")},
    {Prodotti::Scarichi, QStringLiteral("Scarichi")},
    {Prodotti::Quantita, QStringLiteral("Quantità")}};
}  // namespace

TFrmCtrlGiacenze::TFrmCtrlGiacenze(QWidget* proprietario, TStampaGiacenzeRif* stampa)
    : QDialog(proprietario), m_ui(std::make_unique<Ui::TFrmCtrlGiacenze>()), m_stampa(stampa) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    FormCreate();
}

TFrmCtrlGiacenze::~TFrmCtrlGiacenze() { FormDestroy(); }

void TFrmCtrlGiacenze::FormCreate() {
    auto* gruppo = new QButtonGroup(this);
    gruppo->addButton(m_ui->rgVisual0, 0);
    gruppo->addButton(m_ui->rgVisual1, 1);
    gruppo->addButton(m_ui->rgVisual2, 2);
    connect(gruppo, &QButtonGroup::idClicked, this, Gestore([this](int) { rgVisualClick(); }));

    m_ui->EdData->installEventFilter(this);
    // What is typed shows in lower case.
    MinuscoloDuranteDigitazione(m_ui->EdData, m_ui->EdData->maxLength());
    connect(m_ui->ButtonControlla, &QPushButton::clicked, this, Gestore(this, &TFrmCtrlGiacenze::ButtonControllaClick));
    connect(m_ui->SbFermaControllo, &QPushButton::clicked, this,
            Gestore(this, &TFrmCtrlGiacenze::SbFermaControlloClick));
    connect(m_ui->BTSstampa, &QPushButton::clicked, this, Gestore(this, &TFrmCtrlGiacenze::BTSstampaClick));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmCtrlGiacenze::sbEsciClick));

    m_tabella = std::make_unique<TTabella>(TArchivio::corrente(), Definizioni::Prodotti);
    m_tabella->dopoScorrimento = [this] { TableProdottiAfterScroll(); };
    PreparaListaControllo(m_ui.get(), &m_lista, m_stampa != nullptr, this, [this] { QueryListaProdottiAfterScroll(); });
}

void TFrmCtrlGiacenze::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (m_mostrata) return;
    m_mostrata = true;
    CentraSulloSchermo(this);
    EseguiMostrandoErrori([this] { FormShow(); });
}

void TFrmCtrlGiacenze::FormShow() {
    m_tabella->apri();
    m_ui->EdData->setText(Oggi().toString(FormatoData));
    ApriLista(CondizioneInizialeScadenze());
    m_ui->LabNumProdotti->setText(QStringLiteral("Prodotti trovati: ") + QString::number(m_righe));
}

void TFrmCtrlGiacenze::FormDestroy() {
    if (m_tabella) m_tabella->chiudi();
}

void TFrmCtrlGiacenze::ApriLista(const QString& condizione) {
    m_condizione = condizione;
    m_righe = ApriListaProdotti(m_lista, m_ui->DBGrid1, condizione, ColonneGriglia);
    if (m_righe > 0) SelezionaRiga(m_ui->DBGrid1, 0);
    else QueryListaProdottiAfterScroll();
}

int TFrmCtrlGiacenze::voceVisione() const {
    if (m_ui->rgVisual1->isChecked()) return 1;
    if (m_ui->rgVisual2->isChecked()) return 2;
    return 0;
}

bool TFrmCtrlGiacenze::eventFilter(QObject* oggetto, QEvent* evento) {
    if (oggetto == m_ui->EdData && evento->type() == QEvent::FocusOut) {
        // Leaving the box for another control of this window; a message box
        // or another window taking the focus is no exit.
        const Qt::FocusReason r = static_cast<QFocusEvent*>(evento)->reason();
        if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason)
            EseguiMostrandoErrori([this] { EdDataExit(); });
    }
    return QDialog::eventFilter(oggetto, evento);
}

void TFrmCtrlGiacenze::EdDataExit() {
    QString testo = m_ui->EdData->text();
    if (CompletaData(testo)) m_ui->EdData->setText(testo);
    else m_ui->EdData->setFocus();
}

void TFrmCtrlGiacenze::ButtonControllaClick() {
    if (m_ui->EdData->text().isEmpty()) {
        MostraAttenzione(QStringLiteral("Nessuna data definita"));
        m_ui->EdData->setFocus();
        return;
    }
    // During the run only "Stop" is enabled among the controls.
    QList<QWidget*> bloccati = {m_ui->GroupBox1, m_ui->ButtonControlla, m_ui->rgVisual,
                                m_ui->sbEsci,    m_ui->DBGrid1,         m_ui->DBNavigator1};
    if (m_stampa) bloccati << m_ui->BTSstampa;
    TOperazioneInCorso operazione(this, m_inCorso, bloccati, [this] { m_ui->SbFermaControllo->setEnabled(false); });
    // A close or Escape asked for during the run takes effect when it has ended.
    operazione.quandoRifiutaChiusura([this] { m_chiusuraRichiesta = true; });
    m_ui->SbFermaControllo->setEnabled(true);
    ControllaScadenze();
    if (m_chiusuraRichiesta) QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

void TFrmCtrlGiacenze::ControllaScadenze() {
    const QDate controllo = LeggiDataControllo(m_ui->EdData->text());
    // The run works on the store's connection, a group of products at a
    // time, and lets the event loop run between products through the runner:
    // the events waiting are handled before the first product, then every
    // max(64, n / 64) products (64 times in a long run) and whenever a
    // frame's time (16 ms) has passed, the clock being read every 16
    // products. Handling them takes some ten microseconds even with nothing
    // waiting, several times the check of a product, so doing it for each
    // would make the run several times slower. The progress text changes a
    // few times a second (each change is repainted) and for the last product.
    TLavoroLungo lavoro(this, QStringLiteral("Controllo delle scadenze in corso"));
    lavoro.senzaBox();
    lavoro.aggiungiStop(m_ui->SbFermaControllo);
    m_lavoro = &lavoro;
    const auto fine = qScopeGuard([this] { m_lavoro = nullptr; });
    TEsitoScadenze esito;
    lavoro.eseguiQui([&](TContestoLavoro& c) {
        QElapsedTimer orologio;
        orologio.start();
        qint64 eventi = 0;
        qint64 avanzamento = -1000;
        int passo = 64;
        esito = ::ControllaScadenze(TArchivio::corrente(), m_condizione, controllo, [&](int i, int n) {
            if (i == 1) passo = std::max(64, n / 64);
            if (i != 1 && i % passo != 0 && (i % 16 != 0 || orologio.elapsed() - eventi < 16) && i != n)
                return true;
            const qint64 ora = orologio.elapsed();
            c.avanzamento(i, n);
            if (ora - avanzamento >= 50 || i == n) {
                avanzamento = ora;
                m_ui->LabelAvanzamento->setText(QStringLiteral("Avanzamento: ") + QString::number(i) +
                                                QStringLiteral(" di ") + QString::number(n));
            }
            c.cedi();
            eventi = orologio.elapsed();
            return !c.fermato();
        });
    });
    m_ui->LabNumProdotti->setText(QStringLiteral("Prodotti trovati: ") + QString::number(esito.trovati) +
                                  QStringLiteral(", fuori giacenza: ") + QString::number(esito.scaduti));
    m_tabella->aggiorna();
    m_tabella->primo();
    ApriLista(m_condizione);
    m_ui->SbFermaControllo->setEnabled(false);
}

void TFrmCtrlGiacenze::fermaControllo() {
    if (m_lavoro) m_lavoro->ferma();
}

void TFrmCtrlGiacenze::SbFermaControlloClick() { fermaControllo(); }

void TFrmCtrlGiacenze::rgVisualClick() {
    ApriLista(CondizioneVisioneScadenze(voceVisione()));
    m_ui->LabNumProdotti->setText(QStringLiteral("Prodotti trovati: ") + QString::number(m_righe));
}

void TFrmCtrlGiacenze::BTSstampaClick() {
    if (!m_stampa) return;
    m_stampa->DataControllo = m_ui->EdData->text();
    m_stampa->NumeroProdotti = m_righe;
    m_stampa->CarattereStampa = LeggiCarattereStampa(Impostazioni::CarStampaGiacenze);
    m_stampa->Anteprima(&m_lista);
}

void TFrmCtrlGiacenze::sbEsciClick() { close(); }

void TFrmCtrlGiacenze::QueryListaProdottiAfterScroll() {
    EseguiMostrandoErrori([this] {
        const int riga = SeguiRigaCorrente(m_ui.get(), m_lista, m_tabella.get());
        if (riga < 0) return;
        const auto campo = [&](const QString& nome) { return m_lista.valore(riga, nome); };
        if (!campo(Prodotti::ScadutoTemp).isNull() && campo(Prodotti::ScadutoTemp).toLongLong() != 0) {
            ImpostaStato(m_ui->LabStato, TestoStatoScadenza(true, 0), Giallo);
            return;
        }
        const QDate entrata = DataEntrataProdotto(campo(Prodotti::DataOggi));
        const int giorni = campo(Prodotti::GiacenzaMax).toInt();
        const QDate controllo = LeggiDataControllo(m_ui->EdData->text());
        ImpostaStato(m_ui->LabStato, TestoStatoScadenza(false, GiorniRimanenti(entrata, giorni, controllo)), VerdeBrillante);
    });
}

void TFrmCtrlGiacenze::TableProdottiAfterScroll() { MostraProdottoCorrente(m_ui.get(), m_tabella.get()); }
