#include "gui/Griglia.h"

#include "gui/ModelloElenco.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

void PreparaGriglia(QTableView* griglia, TModelloElenco* modello) {
    griglia->setModel(modello);
    griglia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    griglia->setSelectionBehavior(QAbstractItemView::SelectRows);
    griglia->setSelectionMode(QAbstractItemView::SingleSelection);
    griglia->verticalHeader()->setDefaultSectionSize(griglia->fontMetrics().height() + 6);
    griglia->verticalHeader()->setVisible(false);
    griglia->horizontalHeader()->setStretchLastSection(true);
    griglia->setWordWrap(false);
}

int RigaCorrente(const QTableView* griglia) {
    const QModelIndex i = griglia->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void SelezionaRiga(QTableView* griglia, int riga) {
    QAbstractItemModel* m = griglia->model();
    if (!m || m->rowCount() == 0) return;
    riga = std::clamp(riga, 0, m->rowCount() - 1);
    const QModelIndex i = m->index(riga, 0);
    griglia->setCurrentIndex(i);
    griglia->selectionModel()->select(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    griglia->scrollTo(i);
}

void MinuscoloDuranteDigitazione(QLineEdit* box, int lunghezzaMassima) {
    box->setMaxLength(lunghezzaMassima);
    QObject::connect(box, &QLineEdit::textEdited, box, [box](const QString& t) {
        const QString minuscolo = t.toLower();
        if (minuscolo == t) return;
        const int cursore = box->cursorPosition();
        box->setText(minuscolo);
        box->setCursorPosition(cursore);
    });
}
