#include "gui/ListaProduttori.h"
#include "data/engine/Definizioni.h"

#include "gui/Gestori.h"
#include "gui/ModelloElenco.h"
#include "gui/Selezione.h"
#include "data/Ricerche.h"
#include "gui/Griglia.h"
#include "ui_ListaProduttori.h"

namespace {
const QStringList CampiDettaglio = {Produttori::Nome,      Produttori::Cognome,  Produttori::Descrizione,
                                    Produttori::Via,       Produttori::Cap,      Produttori::Citta,
                                    Produttori::Provincia, Produttori::Telefono, Produttori::Piva};
}

TFrmListaProduttori::TFrmListaProduttori(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmListaProduttori>()), m_modello(new TModelloElenco(this)) {
    m_ui->setupUi(this);
    m_modello->impostaColonne({{Produttori::Id, QStringLiteral("Codice")},
                               {Produttori::Nome, QStringLiteral("Nome produttore")},
                               {Produttori::Cognome, QStringLiteral("Cognome produttore")}});
    m_modello->impostaCampiExtra({Produttori::Descrizione, Produttori::Via, Produttori::Cap,
                                  Produttori::Citta, Produttori::Provincia, Produttori::Telefono,
                                  Produttori::Piva});
    PreparaGriglia(m_ui->DBGrid1, m_modello);
    m_ui->DBGrid1->setColumnWidth(0, 60);
    m_ui->DBGrid1->setColumnWidth(1, 160);
    m_ui->DBGrid1->setMinimumWidth(420);
    MinuscoloDuranteDigitazione(m_ui->EdNome);
    connect(m_ui->EdNome, &QLineEdit::textEdited, this, Gestore(this, &TFrmListaProduttori::EdNomeKeyUp));
    connect(m_ui->rbNome, &QRadioButton::toggled, this, Gestore([this](bool attivo) {
        if (attivo) rgRicercaPerClick();
    }));
    connect(m_ui->rbCognome, &QRadioButton::toggled, this, Gestore([this](bool attivo) {
        if (attivo) rgRicercaPerClick();
    }));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmListaProduttori::sbEsciClick));
    connect(m_ui->sbConferma, &QPushButton::clicked, this, Gestore(this, &TFrmListaProduttori::sbConfermaClick));
    connect(m_ui->SpeedButton1, &QPushButton::clicked, this, Gestore(this, &TFrmListaProduttori::SpeedButton1Click));
    connect(m_ui->DBGrid1, &QTableView::doubleClicked, this, Gestore(this, &TFrmListaProduttori::DBGrid1DblClick));
    connect(m_modello, &QAbstractItemModel::modelReset, this, Gestore(this, &TFrmListaProduttori::MostraDettagli));
    connect(m_ui->DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            Gestore(this, &TFrmListaProduttori::MostraDettagli));
}

TFrmListaProduttori::~TFrmListaProduttori() = default;

void TFrmListaProduttori::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (m_mostrata) return;
    m_mostrata = true;
    EseguiMostrandoErrori([this] { FormShow(); });
}

void TFrmListaProduttori::FormShow() {
    m_modello->esegui(Definizioni::Produttori, {}, {}, Produttori::Id);
    SelezionaRiga(m_ui->DBGrid1, 0);
    m_ui->LabNumProduttori->setText(QStringLiteral("Produttori presenti: ") + QString::number(m_modello->conteggio()));
    m_ui->EdNome->setFocus();
}

void TFrmListaProduttori::EdNomeKeyUp() {
    const QString campo = m_ui->rbCognome->isChecked() ? Produttori::Cognome : Produttori::Nome;
    m_modello->cerca(Definizioni::Produttori, RicercaInizia(campo, m_ui->EdNome->text()), Produttori::Id);
    SelezionaRiga(m_ui->DBGrid1, 0);
}

void TFrmListaProduttori::rgRicercaPerClick() {
    if (m_mostrata) EdNomeKeyUp();
}

void TFrmListaProduttori::MostraDettagli() {
    const int r = RigaCorrente(m_ui->DBGrid1);
    for (const QString& campo : CampiDettaglio) {
        auto* box = findChild<QLineEdit*>(QStringLiteral("Ed") + campo);
        if (box) box->setText(m_modello->valore(r, campo).toString());
    }
}

void TFrmListaProduttori::sbEsciClick() { reject(); }

void TFrmListaProduttori::sbConfermaClick() {
    const int r = RigaCorrente(m_ui->DBGrid1);
    TSelezioneCorrente& s = SelezioneCorrente();
    s.IdProduttoreScelto = m_modello->valore(r, Produttori::Id).toInt();
    s.NomeProduttoreScelto = m_modello->valore(r, Produttori::Nome).toString();
    s.CognomeProduttoreScelto = m_modello->valore(r, Produttori::Cognome).toString();
    accept();
}

void TFrmListaProduttori::DBGrid1DblClick() { sbConfermaClick(); }

void TFrmListaProduttori::SpeedButton1Click() {
    TSelezioneCorrente& s = SelezioneCorrente();
    s.IdProduttoreScelto = -1;
    s.NomeProduttoreScelto.clear();
    s.CognomeProduttoreScelto.clear();
    accept();
}
