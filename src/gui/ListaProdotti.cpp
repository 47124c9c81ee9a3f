#include "gui/ListaProdotti.h"
#include "data/engine/Definizioni.h"

#include "gui/Gestori.h"
#include "gui/ModelloElenco.h"
#include "gui/Selezione.h"
#include "data/Ricerche.h"
#include "gui/Griglia.h"
#include "ui_ListaProdotti.h"

TFrmListaProdotti::TFrmListaProdotti(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmListaProdotti>()), m_modello(new TModelloElenco(this)) {
    m_ui->setupUi(this);
    m_modello->impostaColonne({{Prodotti::Nome, QStringLiteral("Codice prodotto")},
                               {Prodotti::Descrizione, QStringLiteral("Descrizione")}});
    PreparaGriglia(m_ui->DBGrid1, m_modello);
    m_ui->DBGrid1->setColumnWidth(0, 160);
    MinuscoloDuranteDigitazione(m_ui->EdRicNome);
    MinuscoloDuranteDigitazione(m_ui->EdRicDescrizione);
    connect(m_ui->EdRicNome, &QLineEdit::textEdited, this, Gestore(this, &TFrmListaProdotti::EdRicNomeKeyUp));
    connect(m_ui->EdRicDescrizione, &QLineEdit::textEdited, this, Gestore(this, &TFrmListaProdotti::EdRicNomeKeyUp));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmListaProdotti::sbEsciClick));
    connect(m_ui->sbConferma, &QPushButton::clicked, this, Gestore(this, &TFrmListaProdotti::sbConfermaClick));
    connect(m_ui->SpeedButton1, &QPushButton::clicked, this, Gestore(this, &TFrmListaProdotti::SpeedButton1Click));
    connect(m_ui->DBGrid1, &QTableView::doubleClicked, this, Gestore(this, &TFrmListaProdotti::DBGrid1DblClick));
}

TFrmListaProdotti::~TFrmListaProdotti() = default;

void TFrmListaProdotti::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (m_mostrata) return;
    m_mostrata = true;
    EseguiMostrandoErrori([this] { FormShow(); });
}

void TFrmListaProdotti::FormShow() {
    m_modello->esegui(Definizioni::Prodotti);
    SelezionaRiga(m_ui->DBGrid1, 0);
    m_ui->LabNumProdotti->setText(QStringLiteral("Prodotti presenti: ") + QString::number(m_modello->conteggio()));
    m_ui->EdRicNome->setFocus();
}

void TFrmListaProdotti::EdRicNomeKeyUp() {
    m_modello->cerca(Definizioni::Prodotti, RicercaProdotti(m_ui->EdRicNome->text(), m_ui->EdRicDescrizione->text()));
    SelezionaRiga(m_ui->DBGrid1, 0);
}

void TFrmListaProdotti::sbEsciClick() { reject(); }

void TFrmListaProdotti::sbConfermaClick() {
    SelezioneCorrente().NomeProdottoScelto =
        m_modello->valore(RigaCorrente(m_ui->DBGrid1), Prodotti::Nome).toString();
    accept();
}

void TFrmListaProdotti::DBGrid1DblClick() { sbConfermaClick(); }

void TFrmListaProdotti::SpeedButton1Click() {
    SelezioneCorrente().NomeProdottoScelto.clear();
    accept();
}
