#include "movements/CtrlQta.h"

#include "gui/Gestori.h"
#include "data/LetturaImpostazioni.h"
#include "gui/Finestre.h"
#include "gui/LeggiImpostazione.h"
#include "gui/Messaggi.h"
#include "movements/ListaControllo.h"
#include "movements/Quantita.h"
#include "ui_CtrlQta.h"

#include <QButtonGroup>

namespace {
const QVector<TModelloElenco::Colonna> ColonneGriglia = {
    {Prodotti::Nome, QStringLiteral("Nome prodotto")},
    {Prodotti::Descrizione, QStringLiteral("Descrizione prodotto")},
    {Prodotti::Carichi, QStringLiteral("Carichi")},
    {Prodotti::Scarichi, QStringLiteral("Scarichi")},
    {Prodotti::Quantita, QStringLiteral("Quantità")},
    {Prodotti::QtaAlert, QStringLiteral("Q.ta Alert")}};
}  // namespace

TFrmCtrlQta::TFrmCtrlQta(QWidget* proprietario, TStampaQtaAlertRif* stampa) : QDialog(proprietario), m_ui(std::make_unique<Ui::TFrmCtrlQta>()), m_stampa(stampa) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    auto* gruppo = new QButtonGroup(this);
    const QList<QRadioButton*> voci = {m_ui->rgVisual0, m_ui->rgVisual1, m_ui->rgVisual2, m_ui->rgVisual3, m_ui->rgVisual4};
    for (int i = 0; i < voci.size(); ++i) gruppo->addButton(voci[i], i);
    connect(gruppo, &QButtonGroup::idClicked, this, Gestore([this](int) { rgVisualClick(); }));
    connect(m_ui->BTSstampa, &QPushButton::clicked, this, Gestore(this, &TFrmCtrlQta::BTSstampaClick));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmCtrlQta::sbEsciClick));

    m_tabella = std::make_unique<TTabella>(TArchivio::corrente(), Definizioni::Prodotti);
    m_tabella->dopoScorrimento = [this] { TableProdottiAfterScroll(); };
    PreparaListaControllo(m_ui.get(), &m_lista, m_stampa != nullptr, this, [this] { QueryListaProdottiAfterScroll(); });
}

TFrmCtrlQta::~TFrmCtrlQta() { FormDestroy(); }

void TFrmCtrlQta::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (m_mostrata) return;
    m_mostrata = true;
    CentraSulloSchermo(this);
    EseguiMostrandoErrori([this] { FormShow(); });
}

void TFrmCtrlQta::FormShow() {
    m_tabella->apri();
    ApriLista(CondizioneVisioneQuantita(0));
    m_ui->LabNumProdotti->setText(QStringLiteral("Prodotti trovati: ") + QString::number(m_righe));
}

void TFrmCtrlQta::FormDestroy() {
    if (m_tabella) m_tabella->chiudi();
}

void TFrmCtrlQta::ApriLista(const QString& condizione) {
    m_righe = ApriListaProdotti(m_lista, m_ui->DBGrid1, condizione, ColonneGriglia);
    if (m_righe > 0) SelezionaRiga(m_ui->DBGrid1, 0);
    else QueryListaProdottiAfterScroll();
}

int TFrmCtrlQta::voceVisione() const {
    const QList<QRadioButton*> voci = {m_ui->rgVisual0, m_ui->rgVisual1, m_ui->rgVisual2, m_ui->rgVisual3, m_ui->rgVisual4};
    for (int i = 0; i < voci.size(); ++i)
        if (voci[i]->isChecked()) return i;
    return 0;
}

QString TFrmCtrlQta::captionVisione() const {
    const QList<QRadioButton*> voci = {m_ui->rgVisual0, m_ui->rgVisual1, m_ui->rgVisual2, m_ui->rgVisual3, m_ui->rgVisual4};
    return voci[voceVisione()]->text();
}

void TFrmCtrlQta::rgVisualClick() {
    m_ui->LabDettagli->setText(QStringLiteral("Dettagli:"));
    ApriLista(CondizioneVisioneQuantita(voceVisione()));
    m_ui->LabNumProdotti->setText(QStringLiteral("Prodotti trovati: ") + QString::number(m_righe));
}

void TFrmCtrlQta::BTSstampaClick() {
    if (!m_stampa) return;
    m_stampa->Visione.clear();
    const QString carattere = LeggiImpostazione(Impostazioni::CarStampaQtaAlert);
    if (carattere.isEmpty()) {
        MostraAttenzione(QStringLiteral("Carattere stampa non inizializzato. Scegliere un valore dal menù: Utilita - "
                                        "Impostazioni - Stampe - Stampa q.ta alert"));
        return;
    }
    m_stampa->Visione = captionVisione();
    m_stampa->NumeroProdotti = m_righe;
    m_stampa->CarattereStampa = ImpostazioneIntera(carattere);
    m_stampa->Anteprima(&m_lista);
}

void TFrmCtrlQta::sbEsciClick() { close(); }

void TFrmCtrlQta::QueryListaProdottiAfterScroll() {
    EseguiMostrandoErrori([this] {
        const int riga = SeguiRigaCorrente(m_ui.get(), m_lista, m_tabella.get());
        if (riga < 0) return;
        const auto campo = [&](const QString& nome) { return m_lista.valore(riga, nome); };
        const int q = campo(Prodotti::Quantita).toInt();
        const int a = campo(Prodotti::QtaAlert).toInt();
        ImpostaStato(m_ui->LabStato, TestoStatoQuantita(q, a), QuantitaInEsubero(q, a) ? VerdeBrillante : Giallo);
    });
}

void TFrmCtrlQta::TableProdottiAfterScroll() { MostraProdottoCorrente(m_ui.get(), m_tabella.get()); }
