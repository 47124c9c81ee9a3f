#include "movements/CaricoScarico.h"

#include "data/engine/Definizioni.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/Grafico.h"
#include "gui/Messaggi.h"
#include "movements/Movimenti.h"
#include "movements/PannelloProdotti.h"
#include "ui_CaricoScarico.h"

#include <QTimer>

namespace {

const QColor Verde(0, 128, 0);
const QColor Rosso(255, 0, 0);
const QColor Grigio(128, 128, 128);

const QString NessunProdotto = QStringLiteral("Nessun prodotto selezionato!");

}  // namespace

TFrmCaricoScarico::TFrmCaricoScarico(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmCaricoScarico>()) {
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    // Enter in a box never presses a button.
    for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);
    ColoraTesto(m_ui->rgcarico, Rosso);
    ColoraTesto(m_ui->rgscarico, Grigio);
    m_ui->rgcaricoVoce->setChecked(true);
    ColoraTesto(m_ui->LabPrezzoAcq, Rosso);
    ColoraTesto(m_ui->LabPrezzoVen, Verde);
    ColoraTesto(m_ui->ButtCarica, Rosso);
    ColoraTesto(m_ui->ButtScaricaUnita, Verde);
    ColoraTesto(m_ui->ButtScaricaTutto, Verde);
    // A speed button: it takes no focus, so pressing it never leaves a box.
    m_ui->sbEsci->setFocusPolicy(Qt::NoFocus);

    Timer1 = new QTimer(this);
    Timer1->setInterval(3000);
    connect(Timer1, &QTimer::timeout, this, Gestore(this, &TFrmCaricoScarico::Timer1Timer));

    pannello()->impostaVarianti(true, false);
    pannello()->collegaCaselle(m_ui->edNumScar, m_ui->EditPrezzoAcq, m_ui->EditPrezzoVen,
                               QStringLiteral("La quantità da scaricare deve essere almeno superiore a 0."));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmCaricoScarico::sbEsciClick));
    connect(m_ui->BTGrafico, &QPushButton::clicked, this, Gestore(this, &TFrmCaricoScarico::BTGraficoClick));
    connect(m_ui->rgcaricoVoce, &QRadioButton::clicked, this, Gestore(this, &TFrmCaricoScarico::rgcaricoClick));
    connect(m_ui->rgscaricoVoce, &QRadioButton::clicked, this, Gestore(this, &TFrmCaricoScarico::rgscaricoClick));
    connect(m_ui->ButtCarica, &QPushButton::clicked, this, Gestore(this, &TFrmCaricoScarico::ButtCaricaClick));
    connect(m_ui->ButtScaricaUnita, &QPushButton::clicked, this,
            Gestore(this, &TFrmCaricoScarico::ButtScaricaUnitaClick));
    connect(m_ui->ButtScaricaTutto, &QPushButton::clicked, this,
            Gestore(this, &TFrmCaricoScarico::ButtScaricaTuttoClick));
}

TFrmCaricoScarico::~TFrmCaricoScarico() = default;

TPannelloProdotti* TFrmCaricoScarico::pannello() const { return m_ui->Pannello; }

void TFrmCaricoScarico::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (m_mostrata) return;
    m_mostrata = true;
    EseguiMostrandoErrori([this] { FormShow(); });
}

void TFrmCaricoScarico::FormShow() {
    m_ui->LabelAzione->clear();
    const TImpostazioniMovimenti s = LeggiImpostazioniMovimenti();
    m_cancAutomatica = s.cancAutomatica;
    m_dataIngresso = s.dataIngresso;
    m_sovrascriviPrezzi = s.sovrascriviPrezzi;
    pannello()->apriLista(s.ordineStandard);
    pannello()->focusRicerca();
}

void TFrmCaricoScarico::sbEsciClick() { close(); }

void TFrmCaricoScarico::BTGraficoClick() {
    const int id = pannello()->vuota() ? 0 : pannello()->idProdotto();
    if (id == 0) {
        MostraAttenzione(QStringLiteral("Nessun prodotto selezionato."));
        return;
    }
    MostraGraficoProdotto(this, id);
}

bool TFrmCaricoScarico::modoCarico() const { return m_ui->rgcaricoVoce->isChecked(); }

void TFrmCaricoScarico::rgcaricoClick() {
    ColoraTesto(m_ui->rgscarico, Grigio);
    ColoraTesto(m_ui->rgcarico, Rosso);
    m_ui->rgcaricoVoce->setChecked(true);
    m_ui->rgscaricoVoce->setChecked(false);
    m_ui->EditPrezzoAcq->setEnabled(true);
    m_ui->EditPrezzoVen->setEnabled(false);
    m_ui->ButtCarica->setEnabled(true);
    m_ui->ButtScaricaUnita->setEnabled(false);
    m_ui->ButtScaricaTutto->setEnabled(false);
    pannello()->focusRicerca();
}

void TFrmCaricoScarico::rgscaricoClick() {
    ColoraTesto(m_ui->rgcarico, Grigio);
    ColoraTesto(m_ui->rgscarico, Verde);
    m_ui->rgscaricoVoce->setChecked(true);
    m_ui->rgcaricoVoce->setChecked(false);
    m_ui->EditPrezzoAcq->setEnabled(false);
    m_ui->EditPrezzoVen->setEnabled(true);
    m_ui->ButtCarica->setEnabled(false);
    m_ui->ButtScaricaUnita->setEnabled(true);
    m_ui->ButtScaricaTutto->setEnabled(true);
    pannello()->focusRicerca();
}

void TFrmCaricoScarico::MostraAzione(const QString& quantita, const QString& nome, const QString& descrizione) {
    const bool carico = modoCarico();
    m_ui->LabelAzione->setText(QStringLiteral("Eseguito ") + (carico ? Azioni::Carico : Azioni::Scarico) +
                               QStringLiteral(" di ") + quantita + QStringLiteral(" unità del prodotto '") + nome +
                               QStringLiteral("' (") + descrizione + QStringLiteral(")"));
    ColoraTesto(m_ui->LabelAzione, carico ? Rosso : Verde);
    // A running timer is not restarted: the line goes 3 seconds after the first movement shown.
    if (!Timer1->isActive()) Timer1->start();
}

void TFrmCaricoScarico::Timer1Timer() {
    Timer1->stop();
    m_ui->LabelAzione->clear();
}

void TFrmCaricoScarico::ButtCaricaClick() { Movimenta(true, false); }

void TFrmCaricoScarico::ButtScaricaUnitaClick() { Movimenta(false, false); }

void TFrmCaricoScarico::ButtScaricaTuttoClick() {
    TPannelloProdotti* p = pannello();
    if (!p->vuota() && !p->prodotto().campi().isEmpty()) {
        const int saldo = p->prodotto().intero(Prodotti::Quantita);
        if (saldo < 0) {
            // Unloading a negative quantity would load in disguise.
            MostraAttenzione(QStringLiteral("Il saldo del prodotto è negativo (") + QString::number(saldo) +
                             QStringLiteral("): non ci sono unità da scaricare."));
            return;
        }
        m_ui->edNumScar->setText(QString::number(saldo));
    }
    Movimenta(false, true);
}

void TFrmCaricoScarico::Movimenta(bool carico, bool quantitaZeroAmmessa) {
    TPannelloProdotti* p = pannello();
    if (p->vuota() || p->prodotto().campi().isEmpty()) {
        MostraAttenzione(NessunProdotto);
        return;
    }
    TDatiMovimento d;
    // A load uses the sale price only to overwrite the product's; otherwise
    // the "Prezzo V." box plays no part and is not checked.
    const bool prezzoVendita = !carico || m_sovrascriviPrezzi;
    const QString errore = ControllaCaselle(m_ui->edNumScar->text(), m_ui->EditPrezzoAcq->text(),
                                            m_ui->EditPrezzoAcq->isEnabled(),
                                            prezzoVendita ? m_ui->EditPrezzoVen->text() : QString(),
                                            m_ui->EditPrezzoVen->isEnabled(), &d, quantitaZeroAmmessa);
    if (!errore.isEmpty()) {
        MostraAttenzione(errore);
        return;
    }
    const TRecord prodotto = p->prodotto();
    const QString azione = carico ? Azioni::Carico : Azioni::Scarico;
    // A counter that would leave its field refuses the movement before the question.
    const QString limite = ControllaLimitiMovimento(azione, prodotto, d);
    if (!limite.isEmpty()) {
        MostraAttenzione(limite);
        p->focusRicerca();
        return;
    }
    const QString q = m_ui->edNumScar->text();
    const QString nome = prodotto.testo(Prodotti::Nome);
    if (ChiediConferma((carico ? QStringLiteral("Caricare ") : QStringLiteral("Scaricare ")) + q +
                       QStringLiteral(" unità del prodotto '") + nome + QStringLiteral("'?"))) {
        TOpzioniMovimento o;
        o.sovrascriviPrezzi = m_sovrascriviPrezzi;
        // Asked before anything is written, so that the movement is written at once.
        if (carico && m_dataIngresso && prodotto.intero(Prodotti::Quantita) == 0)
            o.aggiornaDataIngresso = ChiediConferma(QStringLiteral(
                "La quantità in magazzino era 0, procedere all'aggiornamento della data di ingresso in magazzino?"));
        const int id = prodotto.intero(Prodotti::Id);
        try {
            const TRecord dopo = EseguiMovimento(azione, id, d, o);
            MostraAzione(q, nome, prodotto.testo(Prodotti::Descrizione));
            p->DopoMovimento(id, dopo.intero(Prodotti::Quantita), m_cancAutomatica);
        } catch (const ErroreLimiteContatori& e) {
            MostraAttenzione(e.testo());
        } catch (const ErroreStorico&) {
            MostraErrore(MsgErroreStorico);
        }
    }
    p->focusRicerca();
}
