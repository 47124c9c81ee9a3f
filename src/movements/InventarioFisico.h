#pragma once
// The stocktake without a window: the count draft kept in a file of the
// program folder (written whole and renamed into place at every change, so
// a closed program or a killed process finds it as last saved), the products
// to count in shelf order, the differences between counted and book
// quantities, and their posting in one transaction.

#include "data/engine/Archivio.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QVector>
#include <functional>

struct TBozzaInventario {
    QDate data;
    int idCategoria = 0;   // 0: every category
    int idProduttore = 0;  // 0: every producer
    QMap<int, qint64> contati;  // product ID -> counted quantity
};

// The draft's file in the given program folder.
QString FileBozzaInventario(const QString& cartella);
// False when there is no draft (or it cannot be read as one).
bool LeggiBozzaInventario(const QString& cartella, TBozzaInventario* bozza);
// Raises ErroreArchivio when the file cannot be written; the previous draft
// then stays as it was.
void SalvaBozzaInventario(const QString& cartella, const TBozzaInventario& bozza);
void EliminaBozzaInventario(const QString& cartella);

struct TRigaConteggio {
    int id = 0;
    QString categoria, nome, descrizione;
    qint64 libro = 0;    // QUANTITA
    double prezzo = 0;   // PREZZO, 0 when blank
    bool contato = false;
    qint64 quantita = 0; // counted
    qint64 differenza() const { return quantita - libro; }
    double valore() const { return double(differenza()) * prezzo; }
};

// The products the count covers (its category and producer), in shelf
// order: category name, then code. Each carries its count from the draft.
QVector<TRigaConteggio> ProdottiDaContare(TArchivio& a, const TBozzaInventario& bozza);

// The product with that code (regardless of case) among those the count
// covers; 0 when none.
int TrovaProdottoInventario(TArchivio& a, const TBozzaInventario& bozza, const QString& codice);

// The counted products whose count differs from the book, largest value
// (counted - book at purchase price, in absolute terms) first.
QVector<TRigaConteggio> DifferenzeInventario(TArchivio& a, const TBozzaInventario& bozza);

// Posts the differences in one transaction: for each product a history row
// of kind Azioni::Inventario dated the count's day with the difference as
// quantity and no amount, and the product's loads and balance moved by the
// difference, so that its balance is its count. Neither purchases nor sales
// change. A failure or a killed process posts nothing. Returns the number of
// products posted (0 when every count equals the book), or -1 when the
// callback answered false (stop): then nothing is posted.
int RegistraInventario(TArchivio& a, const TBozzaInventario& bozza,
                       const std::function<bool(int fatti, int totale)>& avanzamento = {});
