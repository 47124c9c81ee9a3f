#include "reports/SetStampaInventario.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "data/engine/Definizioni.h"
#include "gui/Gestori.h"
#include "gui/LeggiImpostazione.h"
#include "gui/Selezione.h"
#include "gui/ListaCategorie.h"
#include "gui/ListaProdotti.h"
#include "gui/ListaProduttori.h"
#include "reports/DatiStampe.h"
#include "reports/StampaInventario.h"
#include "ui_SetStampaInventario.h"

#include <QRadioButton>

TFrmSetStampaInventario::TFrmSetStampaInventario(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmSetStampaInventario>()) {
    m_ui->setupUi(this);
    connect(m_ui->SpeedButton2, &QToolButton::clicked, this,
            Gestore(this, &TFrmSetStampaInventario::SpeedButton2Click));
    connect(m_ui->SpeedButton1, &QToolButton::clicked, this,
            Gestore(this, &TFrmSetStampaInventario::SpeedButton1Click));
    connect(m_ui->SpeedButton3, &QToolButton::clicked, this,
            Gestore(this, &TFrmSetStampaInventario::SpeedButton3Click));
    connect(m_ui->BTSstampa, &QPushButton::clicked, this, Gestore(this, &TFrmSetStampaInventario::BTSstampaClick));
    connect(m_ui->BTSesci, &QPushButton::clicked, this, Gestore(this, &TFrmSetStampaInventario::BTSesciClick));
}

TFrmSetStampaInventario::~TFrmSetStampaInventario() = default;

int TFrmSetStampaInventario::voceScelta() const {
    for (int i = 0;; ++i) {
        const auto* r = findChild<QRadioButton*>(QStringLiteral("rgOrdinaPerProdotti_%1").arg(i));
        if (!r) return -1;
        if (r->isChecked()) return i;
    }
}

void TFrmSetStampaInventario::scegliVoce(int voce) {
    if (auto* r = findChild<QRadioButton*>(QStringLiteral("rgOrdinaPerProdotti_%1").arg(voce))) r->click();
}

void TFrmSetStampaInventario::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (m_mostrata) return;
    m_mostrata = true;
    EseguiMostrandoErrori([this] { FormShow(); });
}

void TFrmSetStampaInventario::FormShow() {
    m_ui->EDData->setText((m_data.isValid() ? m_data : Oggi()).toString(FormatoData));
    // The category's name stays as it was; its ID is reset with the rest.
    TSelezioneCorrente& s = SelezioneCorrente();
    s.IdProduttoreScelto = 0;
    s.IdCategoriaScelta = 0;
    s.NomeProduttoreScelto.clear();
    s.CognomeProduttoreScelto.clear();
    s.NomeProdottoScelto.clear();
}

void TFrmSetStampaInventario::SpeedButton2Click() {
    {
        TFrmListaProdotti lista(this);
        lista.exec();
    }
    m_ui->EditProdotto->setText(SelezioneCorrente().NomeProdottoScelto);
}

void TFrmSetStampaInventario::SpeedButton1Click() {
    {
        TFrmListaProduttori lista(this);
        lista.exec();
    }
    m_ui->EditProduttore->setText(SelezioneCorrente().NomeProduttoreScelto);
}

void TFrmSetStampaInventario::SpeedButton3Click() {
    {
        TFrmListaCategorie lista(this);
        lista.exec();
    }
    m_ui->EditCategoria->setText(SelezioneCorrente().CategoriaScelta);
}

void TFrmSetStampaInventario::PreparaInventario(TfrmStampaInventario& s) const {
    const TSelezioneCorrente& sel = SelezioneCorrente();
    s.CampoOrdine = CampoOrdineInventario(voceScelta());
    s.InvertiOrdine = m_ui->cbInvertiOrdine->isChecked();
    s.CarattereStampa = LeggiCarattereStampa(Impostazioni::CarStampaInventario);
    s.DataInventario = m_ui->EDData->text();
    s.Prodotto = m_ui->EditProdotto->text();
    // The producer and category boxes only show the choice: the report gets the IDs.
    s.IdProduttore = sel.IdProduttoreScelto;
    s.IdCategoria = sel.IdCategoriaScelta;
    s.NonStampaPrezzoListino = m_ui->cbNonStampaPrezzoListino->isChecked();
    s.NonStampaTotale = m_ui->cbNonStampaTotale->isChecked();
}

void TFrmSetStampaInventario::BTSstampaClick() {
    // Nothing is guarded here: a setting that does not read or a failing
    // report reaches the general error display.
    TfrmStampaInventario stampa(this);
    PreparaInventario(stampa);
    stampa.Anteprima();
    m_anteprimaMostrata = true;
}

void TFrmSetStampaInventario::BTSesciClick() { close(); }
