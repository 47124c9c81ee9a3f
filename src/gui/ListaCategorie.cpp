#include "gui/ListaCategorie.h"
#include "data/engine/Definizioni.h"

#include "gui/Gestori.h"
#include "gui/ModelloElenco.h"
#include "gui/Selezione.h"
#include "data/Ricerche.h"
#include "gui/Griglia.h"
#include "ui_ListaCategorie.h"

TFrmListaCategorie::TFrmListaCategorie(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmListaCategorie>()), m_modello(new TModelloElenco(this)) {
    m_ui->setupUi(this);
    m_modello->impostaColonne({{Cat::Categoria, QStringLiteral("Categoria")}});
    m_modello->impostaCampiExtra({Cat::Id});
    PreparaGriglia(m_ui->DBGrid1, m_modello);
    MinuscoloDuranteDigitazione(m_ui->EdRicCategorie);
    connect(m_ui->EdRicCategorie, &QLineEdit::textEdited, this,
            Gestore(this, &TFrmListaCategorie::EdRicCategorieKeyUp));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmListaCategorie::sbEsciClick));
    connect(m_ui->sbConferma, &QPushButton::clicked, this, Gestore(this, &TFrmListaCategorie::sbConfermaClick));
    connect(m_ui->SpeedButton1, &QPushButton::clicked, this, Gestore(this, &TFrmListaCategorie::SpeedButton1Click));
    connect(m_ui->DBGrid1, &QTableView::doubleClicked, this, Gestore(this, &TFrmListaCategorie::DBGrid1DblClick));
}

TFrmListaCategorie::~TFrmListaCategorie() = default;

void TFrmListaCategorie::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (m_mostrata) return;
    m_mostrata = true;
    EseguiMostrandoErrori([this] { FormShow(); });
}

void TFrmListaCategorie::FormShow() {
    m_modello->esegui(Definizioni::Categorie);
    SelezionaRiga(m_ui->DBGrid1, 0);
    m_ui->LabNumCategorie->setText(QStringLiteral("Categorie presenti: ") + QString::number(m_modello->conteggio()));
    m_ui->EdRicCategorie->setFocus();
}

void TFrmListaCategorie::EdRicCategorieKeyUp() {
    m_modello->cerca(Definizioni::Categorie, RicercaInizia(Cat::Categoria, m_ui->EdRicCategorie->text()));
    SelezionaRiga(m_ui->DBGrid1, 0);
}

void TFrmListaCategorie::sbEsciClick() { reject(); }

void TFrmListaCategorie::sbConfermaClick() {
    const int r = RigaCorrente(m_ui->DBGrid1);
    TSelezioneCorrente& s = SelezioneCorrente();
    s.CategoriaScelta = m_modello->valore(r, Cat::Categoria).toString();
    s.IdCategoriaScelta = m_modello->valore(r, Cat::Id).toInt();
    accept();
}

void TFrmListaCategorie::DBGrid1DblClick() { sbConfermaClick(); }

void TFrmListaCategorie::SpeedButton1Click() {
    TSelezioneCorrente& s = SelezioneCorrente();
    s.CategoriaScelta.clear();
    s.IdCategoriaScelta = -1;
    accept();
}
