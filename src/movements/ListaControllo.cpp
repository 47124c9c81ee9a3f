#include "movements/ListaControllo.h"

#include "data/engine/Archivio.h"

#include <QHeaderView>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

int ApriListaProdotti(QSqlQueryModel& lista, QTableView* griglia, const QString& condizione,
                      const QVector<std::pair<QString, QString>>& colonne) {
    TArchivio& a = TArchivio::corrente();
    const QString P = a.nomeQualificato(QStringLiteral("prodotti"));
    lista.setQuery(QStringLiteral("select * from ") + P + condizione, a.db());
    if (lista.lastError().isValid())
        throw ErroreArchivio(lista.lastError().text(), ErroreArchivio::CtxGenerico);
    const int n = a.valoreSingolo(QStringLiteral("select count(*) from ") + P + condizione).toInt();

    if (griglia->model() != &lista) griglia->setModel(&lista);
    griglia->setWordWrap(false);
    // No row numbers, as in every other grid of the program.
    griglia->verticalHeader()->setVisible(false);
    griglia->verticalHeader()->setDefaultSectionSize(griglia->fontMetrics().height() + 6);
    const QSqlRecord r = lista.record();
    QHeaderView* h = griglia->horizontalHeader();
    for (int i = 0; i < r.count(); ++i) griglia->setColumnHidden(i, true);
    for (int k = 0; k < colonne.size(); ++k) {
        const int i = r.indexOf(colonne[k].first);
        if (i < 0) continue;
        lista.setHeaderData(i, Qt::Horizontal, colonne[k].second);
        griglia->setColumnHidden(i, false);
        h->moveSection(h->visualIndex(i), k);
        // The description takes the room the others leave, so that every
        // column fits in the window and no horizontal scroll bar appears.
        if (k == 1) h->setSectionResizeMode(i, QHeaderView::Stretch);
        else griglia->setColumnWidth(i, k == 0 ? 130 : 95);
    }
    return n;
}

QString TestoDettagliProduttore(const QVariant& idProduttore) {
    if (idProduttore.isNull() || idProduttore.toString().isEmpty()) return QStringLiteral("Dettagli:");
    TArchivio& a = TArchivio::corrente();
    QSqlQuery q = a.esegui(QStringLiteral("select NOME, COGNOME from ") + a.nomeQualificato(QStringLiteral("produttori")) +
                               QStringLiteral(" where ID = ?"),
                           {idProduttore});
    QString nome, cognome;
    if (q.next()) {
        nome = q.value(0).toString();
        cognome = q.value(1).toString();
    }
    return QStringLiteral("Dettagli: ") + nome + QLatin1Char(' ') + cognome;
}

void ImpostaStato(QLabel* etichetta, const QString& testo, const QColor& sfondo) {
    etichetta->setText(testo);
    QPalette p = etichetta->palette();
    p.setColor(QPalette::Window, sfondo);
    etichetta->setPalette(p);
    etichetta->setAutoFillBackground(true);
}

int RigaListaCorrente(const QTableView* griglia) {
    const QModelIndex i = griglia->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void VaiARiga(QTableView* griglia, int riga) {
    QAbstractItemModel* m = griglia->model();
    if (!m || riga < 0) return;
    while (riga >= m->rowCount() && m->canFetchMore(QModelIndex())) m->fetchMore(QModelIndex());
    if (riga >= m->rowCount()) return;
    int colonna = 0;
    const QHeaderView* h = griglia->horizontalHeader();
    for (int v = 0; v < h->count(); ++v)
        if (!h->isSectionHidden(h->logicalIndex(v))) {
            colonna = h->logicalIndex(v);
            break;
        }
    const QModelIndex i = m->index(riga, colonna);
    griglia->setCurrentIndex(i);
    griglia->scrollTo(i);
}

void AggiornaNavigatore(QTableView* griglia, QToolButton* precedente, QToolButton* successivo) {
    const int r = RigaListaCorrente(griglia);
    QAbstractItemModel* m = griglia->model();
    const bool righe = m && m->rowCount() > 0;
    precedente->setEnabled(righe && r > 0);
    successivo->setEnabled(righe && (r < m->rowCount() - 1 || m->canFetchMore(QModelIndex())));
}

void CollegaNavigatore(QTableView* griglia, QToolButton* precedente, QToolButton* successivo, QToolButton* conferma,
                       QToolButton* annulla) {
    conferma->setEnabled(false);
    annulla->setEnabled(false);
    QObject::connect(precedente, &QToolButton::clicked, griglia, [griglia] { VaiARiga(griglia, RigaListaCorrente(griglia) - 1); });
    QObject::connect(successivo, &QToolButton::clicked, griglia, [griglia] { VaiARiga(griglia, RigaListaCorrente(griglia) + 1); });
}

int ImpostazioneIntera(const QString& testo) {
    bool ok = false;
    const int v = testo.trimmed().toInt(&ok);
    if (!ok) throw ErroreArchivio(QStringLiteral("'%1' non è un valore intero valido").arg(testo), ErroreArchivio::CtxConversione);
    return v;
}
