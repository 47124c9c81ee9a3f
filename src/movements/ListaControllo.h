#pragma once
// What the expiry and quantity check windows share: the product list they
// show in a grid and hand to their report, the detail fields and the producer
// line of the current row, the state label and the record navigator.

#include "data/NomiAnagrafiche.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Tabella.h"
#include "gui/DettagliProdotto.h"
#include "gui/Gestori.h"
#include "gui/Griglia.h"
#include "gui/ModelloElenco.h"

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QTableView>
#include <QToolButton>
#include <QVector>
#include <functional>

// The products matching the condition (a WHERE expression, empty for all):
// the grid shows the given columns in that order, every other field of the
// product is read with them for the detail line and the report. Gives the
// number of rows.
int ApriListaProdotti(TModelloElenco& lista, QTableView* griglia, const QString& condizione,
                      const QVector<TModelloElenco::Colonna>& colonne);


// The state label's text on its background colour.
void ImpostaStato(QLabel* etichetta, const QString& testo, const QColor& sfondo);
inline const QColor Giallo(255, 255, 0);
inline const QColor VerdeBrillante(0, 255, 0);

// The detail boxes of the current product (blank when there is none).
void MostraDettagliProdotto(TDettagliProdotto* dettagli, const TTabella* prodotto);

// The product cursor's moves, as both check windows show them: the detail
// fields, then the producer line of the product.
template <class Ui>
void MostraProdottoCorrente(Ui* ui, TTabella* prodotto) {
    MostraDettagliProdotto(ui->Dettagli, prodotto);
    ui->LabDettagli->setText(QStringLiteral("Dettagli:"));
    if (prodotto->vuota() || prodotto->nullo(Prodotti::IdProduttore)) return;
    ui->LabDettagli->setText(QStringLiteral("Ricerca produttore in corso.."));
    ui->LabDettagli->setText(TestoDettagliProduttore(prodotto->valore(Prodotti::IdProduttore)));
}

// Follows the grid's current row, as both check windows do when it changes:
// the navigator, the producer line back to "Dettagli:", the product cursor
// moved onto the row's product (the details blank when it is not found).
// The current row, or -1 with the details blank when the list has none.
template <class Ui>
int SeguiRigaCorrente(Ui* ui, const TModelloElenco& lista, TTabella* prodotto);

// The grid, the report button and the navigator of a check window: the grid
// shows the list, each change of its current row runs dopoRiga (in the
// context's lifetime), "Anteprima" is enabled only with a report window.
template <class Ui>
void PreparaListaControllo(Ui* ui, TModelloElenco* lista, bool conStampa, QObject* contesto,
                           const std::function<void()>& dopoRiga);

// The record navigator of a read-only list: previous and next move the grid's
// current row; post and cancel stay disabled, as the list is never edited.
void CollegaNavigatore(QTableView* griglia, QToolButton* precedente, QToolButton* successivo, QToolButton* conferma,
                       QToolButton* annulla);
void AggiornaNavigatore(QTableView* griglia, QToolButton* precedente, QToolButton* successivo);

template <class Ui>
void PreparaListaControllo(Ui* ui, TModelloElenco* lista, bool conStampa, QObject* contesto,
                           const std::function<void()>& dopoRiga) {
    PreparaGriglia(ui->DBGrid1, lista);
    ui->BTSstampa->setEnabled(conStampa);
    QObject::connect(ui->DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, contesto,
                     Gestore([dopoRiga] { dopoRiga(); }));
    CollegaNavigatore(ui->DBGrid1, ui->nbPrior, ui->nbNext, ui->nbPost, ui->nbCancel);
}

template <class Ui>
int SeguiRigaCorrente(Ui* ui, const TModelloElenco& lista, TTabella* prodotto) {
    AggiornaNavigatore(ui->DBGrid1, ui->nbPrior, ui->nbNext);
    ui->LabDettagli->setText(QStringLiteral("Dettagli:"));
    const int riga = RigaCorrente(ui->DBGrid1);
    if (lista.conteggio() == 0 || riga < 0) {
        MostraDettagliProdotto(ui->Dettagli, nullptr);
        return -1;
    }
    if (prodotto->aperta() && !prodotto->trova(Prodotti::Id, lista.valore(riga, Prodotti::Id)))
        MostraDettagliProdotto(ui->Dettagli, nullptr);
    return riga;
}
