#pragma once
// A read-only grid model over one table: the search runs once and keeps only
// the keys (rowids) of the matching records, in the list's order, so the
// number of rows is known without a second pass over the table; the shown
// columns are read a page at a time as the grid scrolls to them. Opening a
// list of 100,000 products thus reads 100,000 keys and one page of rows.
// A search typed key by key (cerca) does not go back to the table: the
// searched fields, as the store's lower() gives them, are kept in memory in
// the list's order and read again only when the table changed. They are read
// beside the interface, on a connection of the worker's own, so that the
// first key never holds the window; keys typed meanwhile are searched when
// the reading has ended. A table whose fields would take more memory than a
// fixed budget is searched by the engine instead, key by key, also beside
// the interface: a newer key stops the reading of the older one.

#include "data/ElencoRighe.h"
#include "data/Ricerche.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <atomic>

class TLavoroLungo;

class TModelloElenco : public QAbstractTableModel, public TElencoRighe {
    Q_OBJECT
public:
    struct Colonna {
        QString campo;   // field name as in the table
        QString titolo;  // column caption
    };

    explicit TModelloElenco(QObject* genitore = nullptr);
    ~TModelloElenco() override;

    void impostaColonne(const QVector<Colonna>& colonne);
    // Runs the list on a table (its published name, e.g. Definizioni::Prodotti): the WHERE fragment
    // with bound values (empty for every record) and the ORDER BY list (empty
    // for the order of insertion).
    void esegui(const QString& tabella, const QString& condizione = {}, const QVariantList& parametri = {},
                const QString& ordine = {});
    // A searched field (see TRicerca).
    using Ricerca = TRicerca;
    // Runs the list on a table keeping the rows that satisfy every search, in
    // the given order (ORDER BY list, empty for the order of insertion),
    // among the records of a fixed WHERE fragment with bound values (e.g. a
    // chosen category; empty for every record). Changing the fragment or its
    // values reads the table again; changing only the searched texts does not.
    // Returns when the rows are there, the event loop running meanwhile; a
    // call made meanwhile (a key typed while the fields are read) returns at
    // once, and the running call searches again for it before it returns.
    void cerca(const QString& tabella, const QVector<Ricerca>& ricerche, const QString& ordine = {},
               const QString& condizione = {}, const QVariantList& parametri = {});
    // Runs the same list again (after a store or a delete).
    void riesegui();
    // After a change made through this program to the values of listed rows
    // that leaves alone the searched, filtered and ordering fields and which
    // rows exist (a movement changes a product's quantities and totals, never
    // its code, description or category): a search keeps its rows and the
    // fields it holds in memory, and only the shown values are read again.
    // When another program wrote to the file meanwhile, or the list is not a
    // search, the list runs again as riesegui() does.
    void aggiornaValori();
    // Empties the list and forgets its query.
    void svuota();
    // A search is being read beside the interface.
    bool inLettura() const { return m_inLettura; }
    // The most the searched fields of a list (compressed) and its keys may
    // take in memory; a larger table is searched by the engine. For tests
    // and benchmarks.
    static constexpr qint64 BudgetIndiceByte = 32 * 1024 * 1024;
    void impostaBudgetIndice(qint64 byte) { m_budgetIndice = byte; }

    int conteggio() const override { return static_cast<int>(m_chiavi.size()); }
    // The value of a field of the given row (a shown column or any other field
    // of the table named in the extra fields); null outside the list.
    QVariant valore(int riga, const QString& campo) const;
    // Fields read with each page besides the shown columns (e.g. "ID").
    void impostaCampiExtra(const QStringList& campi) { m_extra = campi; }
    // Every field the list reads: the shown columns, then the extra fields.
    QStringList campi() const override;
    // The position of a field among campi() (letter case ignored), -1 when missing.
    int indiceCampo(const QString& campo) const override;
    // The value of the field at that position on the given row; null outside the list.
    QVariant valoreA(int riga, int indiceCampo) const override;

    // The searched fields of every row of the table, in the list's order,
    // folded as the store's lower() folds them (UTF-8), in blocks of rows
    // each compressed on its own (LZ4): the fields of 1,000,000 products
    // take a few MB, and a search unpacks one block at a time. In an
    // unpacked block each row of a field is its length (one byte; 0xFE:
    // four more bytes; 0xFF: null) and its bytes. A list whose fields pass
    // the budget keeps only its stamp (grande): its searches run on the
    // engine.
    struct Blocco {
        QByteArray compresso;
        int byte = 0;   // unpacked
        int nulli = 0;  // rows whose field is null
    };
    static constexpr int RigheBlocco = 4096;
    struct Indice {
        QString tabella, ordine, condizione;
        QVariantList parametri;
        QStringList campi;
        const void* connessione = nullptr;
        quint64 collegamenti = 0;
        qint64 modifiche = -1;
        qint64 versione = -1;
        bool grande = false;
        QVector<qint64> chiavi;
        QVector<QVector<Blocco>> blocchi;  // per field, RigheBlocco rows each
        qint64 byte = 0;                   // keys and compressed blocks
    };

    int rowCount(const QModelIndex& genitore = {}) const override;
    int columnCount(const QModelIndex& genitore = {}) const override;
    QVariant data(const QModelIndex& indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento, int ruolo = Qt::DisplayRole) const override;

private:
    void leggiPagina(int pagina) const;
    void filtra();
    // A reading under way that no longer serves the list asked is stopped.
    void interrompiLettura();
    // The stamp that tells whether the table may have changed since the index
    // was read: this connection's changes, the file's data version (other
    // programs' writes) and the store's attaches and detaches (another file).
    void timbro(qint64& modifiche, qint64& versione) const;
    // The searched fields, in the order of the searches.
    QStringList campiCercati() const;
    // Whether the fields in memory were read for this list (table, fields,
    // order, condition and its values) on this connection with the same
    // files attached, and no other program wrote to the file since (its
    // data version); this connection's own changes are not looked at.
    bool indiceDellaLista(qint64 versione) const;
    // The list asked now, with the stamp taken on the store's connection.
    Indice listaAttuale() const;
    // The reading under way is of this list's fields (not of one search).
    bool leggeIndiceDellaLista() const;
    // The filter of the fields in memory with the searched texts.
    QVector<qint64> filtraIndice() const;

    QVector<Colonna> m_colonne;
    QStringList m_extra;
    QString m_tabella, m_condizione, m_ordine;
    QVariantList m_parametri;
    QVector<Ricerca> m_ricerche;
    Indice m_indice;
    qint64 m_budgetIndice = BudgetIndiceByte;
    bool m_inLettura = false;
    std::atomic<quint64> m_generazione{0};  // grows at every change of the list asked
    TLavoroLungo* m_lavoro = nullptr;  // the reading under way
    const Indice* m_letturaIndice = nullptr;  // the list whose fields it reads, if so
    std::atomic<bool> m_leggeCampi{false};    // and it is still reading them
    QVector<qint64> m_chiavi;
    mutable QHash<int, QVector<QVector<QVariant>>> m_pagine;  // page -> rows -> fields
};
