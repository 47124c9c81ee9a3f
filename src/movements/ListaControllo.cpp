#include "movements/ListaControllo.h"

#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/Gestori.h"

#include <QHeaderView>
#include <QSqlQuery>
#include <algorithm>

int ApriListaProdotti(TModelloElenco& lista, QTableView* griglia, const QString& condizione,
                      const QVector<TModelloElenco::Colonna>& colonne) {
    QStringList altri;
    for (const TDefCampo& c : Definizioni::CampiProdotti())
        if (std::none_of(colonne.begin(), colonne.end(),
                         [&](const TModelloElenco::Colonna& k) { return k.campo.compare(c.nome, Qt::CaseInsensitive) == 0; }))
            altri << c.nome;
    lista.impostaCampiExtra(altri);
    lista.impostaColonne(colonne);
    lista.esegui(Definizioni::Prodotti, condizione);

    // The description takes the room the others leave, so that every column
    // fits in the window and no horizontal scroll bar appears.
    QHeaderView* h = griglia->horizontalHeader();
    for (int k = 0; k < colonne.size(); ++k) {
        if (k == 1) h->setSectionResizeMode(k, QHeaderView::Stretch);
        else griglia->setColumnWidth(k, k == 0 ? 130 : 95);
    }
    return lista.conteggio();
}

void MostraDettagliProdotto(TDettagliProdotto* dettagli, const TTabella* prodotto) {
    if (prodotto && prodotto->aperta() && !prodotto->vuota()) dettagli->mostra(prodotto->record());
    else dettagli->svuota();
}

void ImpostaStato(QLabel* etichetta, const QString& testo, const QColor& sfondo) {
    etichetta->setText(testo);
    QPalette p = etichetta->palette();
    p.setColor(QPalette::Window, sfondo);
    etichetta->setPalette(p);
    etichetta->setAutoFillBackground(true);
}

void AggiornaNavigatore(QTableView* griglia, QToolButton* precedente, QToolButton* successivo) {
    const int r = RigaCorrente(griglia);
    QAbstractItemModel* m = griglia->model();
    const bool righe = m && m->rowCount() > 0;
    precedente->setEnabled(righe && r > 0);
    successivo->setEnabled(righe && r < m->rowCount() - 1);
}

void CollegaNavigatore(QTableView* griglia, QToolButton* precedente, QToolButton* successivo, QToolButton* conferma,
                       QToolButton* annulla) {
    conferma->setEnabled(false);
    annulla->setEnabled(false);
    QObject::connect(precedente, &QToolButton::clicked, griglia, Gestore([griglia] {
        if (RigaCorrente(griglia) > 0) SelezionaRiga(griglia, RigaCorrente(griglia) - 1);
    }));
    QObject::connect(successivo, &QToolButton::clicked, griglia,
                     Gestore([griglia] { SelezionaRiga(griglia, RigaCorrente(griglia) + 1); }));
}
