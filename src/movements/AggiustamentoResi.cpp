#include "movements/AggiustamentoResi.h"

#include "data/engine/Definizioni.h"
#include "gui/Gestori.h"
#include "gui/Messaggi.h"
#include "movements/Movimenti.h"
#include "movements/PannelloProdotti.h"
#include "ui_AggiustamentoResi.h"

TFrmAggiustamentoResi::TFrmAggiustamentoResi(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmAggiustamentoResi>()) {
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    // Enter in a box never presses a button.
    for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);
    m_ui->sbEsci->setFocusPolicy(Qt::NoFocus);
    pannello()->impostaVarianti(false, true);
    pannello()->collegaCaselle(m_ui->edNumScar, m_ui->EditPrezzoAcq, m_ui->EditPrezzoVen,
                               QStringLiteral("La quantità deve essere almeno superiore a 0."));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmAggiustamentoResi::sbEsciClick));
    connect(m_ui->sbAggiustamento, &QPushButton::clicked, this,
            Gestore(this, &TFrmAggiustamentoResi::sbAggiustamentoClick));
}

TFrmAggiustamentoResi::~TFrmAggiustamentoResi() = default;

TPannelloProdotti* TFrmAggiustamentoResi::pannello() const { return m_ui->Pannello; }

int TFrmAggiustamentoResi::tipoAggiustamento() const {
    if (m_ui->rgTipoAggiustamento0->isChecked()) return AggiustaRimanenze;
    if (m_ui->rgTipoAggiustamento1->isChecked()) return AggiustaVendite;
    return AggiustaNessuno;
}

void TFrmAggiustamentoResi::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (m_mostrata) return;
    m_mostrata = true;
    EseguiMostrandoErrori([this] { FormShow(); });
}

void TFrmAggiustamentoResi::FormShow() {
    const TImpostazioniMovimenti s = LeggiImpostazioniMovimenti();
    m_cancAutomatica = s.cancAutomatica;
    m_ui->cbInserisciSuStorico->setChecked(s.proponiStorico);
    pannello()->apriLista(s.ordineStandard);
    pannello()->focusRicerca();
}

void TFrmAggiustamentoResi::sbEsciClick() { close(); }

void TFrmAggiustamentoResi::sbAggiustamentoClick() {
    TPannelloProdotti* p = pannello();
    if (p->vuota() || p->prodotto().campi().isEmpty()) {
        MostraAttenzione(QStringLiteral("Nessun prodotto selezionato!"));
        return;
    }
    const int tipo = tipoAggiustamento();
    if (tipo == AggiustaNessuno) {
        MostraAttenzione(QStringLiteral(
            "Selezionare da dove avverrà l'aggiustamento dalla parte scarichi (rimanenze o vendite)?"));
        return;
    }
    TDatiMovimento d;
    d.tipoAggiustamento = tipo;
    // Only an adjustment of the sales uses the sale price; from the stock on
    // hand the "Prezzo V." box plays no part and is not checked.
    const bool vendite = tipo == AggiustaVendite;
    const QString errore = ControllaCaselle(m_ui->edNumScar->text(), m_ui->EditPrezzoAcq->text(), true,
                                            vendite ? m_ui->EditPrezzoVen->text() : QString(), vendite, &d);
    if (!errore.isEmpty()) {
        MostraAttenzione(errore);
        return;
    }
    const TRecord prodotto = p->prodotto();
    QString limite = ControllaLimiteAggiustamento(prodotto, tipo, d.quantita);
    if (limite.isEmpty()) limite = ControllaLimitiMovimento(Azioni::Aggiustamento, prodotto, d);
    if (!limite.isEmpty()) {
        MostraAttenzione(limite);
        return;
    }
    if (!ChiediConferma(QStringLiteral("Eseguire l'aggiustamento di magazzino pari a ") + m_ui->edNumScar->text() +
                        QStringLiteral(" unità del prodotto '") + prodotto.testo(Prodotti::Nome) +
                        QStringLiteral("'?")))
        return;
    TOpzioniMovimento o;
    o.registraStorico = m_ui->cbInserisciSuStorico->isChecked();
    const int id = prodotto.intero(Prodotti::Id);
    try {
        const TRecord dopo = EseguiMovimento(Azioni::Aggiustamento, id, d, o);
        p->DopoMovimento(id, dopo.intero(Prodotti::Quantita), m_cancAutomatica);
    } catch (const ErroreLimiteContatori& e) {
        MostraAttenzione(e.testo());
    } catch (const ErroreStorico&) {
        MostraErrore(MsgErroreStorico);
    }
}
