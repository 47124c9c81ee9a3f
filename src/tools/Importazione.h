#pragma once
// The import of products, producers or categories from a file read by
// LetturaSorgente, without any window: the field each column goes to
// (proposed from the header, changed by the user), the checks and
// conversions that give every row its outcome or its refusal reasons, the
// dry run with its counts, the refused rows saved as CSV, and the write:
// a backup of the tables into today's backup folder, then everything in one
// transaction, so that a failure or a stop leaves the books as they were.
//
// Rules: a product is found by its code (NOME), a producer by NOME, a
// category by its name; an existing one is updated in the imported fields or
// skipped, as the user chooses. A producer or category named in a product
// row is found by name and created when missing. Values go through the
// store's own conversion (a text longer than its field is cut and counted).
// A code twice in the file, a number or a date that is not one, a negative
// price refuse their row, with the reason. Quantities never go straight into
// the counters: a new product's quantity becomes an opening load through the
// movement routine, history row and counters together. The counters
// themselves are taken as they are only into an empty book (a book exported
// by this program and imported back).

#include "tools/LetturaSorgente.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

class TArchivio;

enum class TTipoImportazione { Prodotti, Produttori, Categorie };

// The destinations that are not a field of the table.
namespace DestinazioniImport {
inline const QString Nessuna;                                         // the column is not imported
inline const QString NomeProduttore = QStringLiteral("@PRODUTTORE");  // the producer, by name
inline const QString NomeCategoria = QStringLiteral("@CATEGORIA");    // the category, by name
inline const QString CaricoIniziale = QStringLiteral("@CARICO");      // a quantity: an opening load
}  // namespace DestinazioniImport

struct TDestinazione {
    QString chiave;     // the field's name or one of DestinazioniImport
    QString etichetta;  // what the window shows
};
// The destinations of a kind of data, in the order the window lists them.
QVector<TDestinazione> Destinazioni(TTipoImportazione tipo);
QString EtichettaDestinazione(TTipoImportazione tipo, const QString& chiave);
// The destination a header proposes (its field's name, its caption in the
// windows, a common Italian header such as "Prezzo di vendita"), or
// Nessuna. A destination is proposed once: a later column with the same
// header gets none.
QStringList ProponiDestinazioni(TTipoImportazione tipo, const QStringList& intestazioni);

// What the user chose.
struct TOpzioniImportazione {
    TTipoImportazione tipo = TTipoImportazione::Prodotti;
    QStringList destinazioni;         // one per column of the file
    bool aggiornaEsistenti = true;    // "aggiorna i campi importati"; false: "salta"
    bool carichiIniziali = false;     // quantities as opening loads of the new products
    // Called now and then (done, total); returning false stops the work.
    std::function<bool(qint64, qint64)> avanzamento;
};

enum class TEsitoRiga : quint8 { Nuovo, Aggiornato, Saltato, Rifiutato };

struct TRigaImportata {
    TEsitoRiga esito = TEsitoRiga::Rifiutato;
    QVector<QVariant> valori;   // per column: the value as stored (null when none)
    QStringList motivi;         // refused: the reasons, each naming its column
    QVector<int> colonneRifiutate;
    int idEsistente = 0;        // updated or skipped: the ID found
    // New or updated: the row's producer and category name as an index into
    // the analysis's nomiProduttori / nomiCategorie (-1: none given).
    int nomeProduttore = -1, nomeCategoria = -1;
};

struct TAnalisiImportazione {
    QString errore;             // not empty: nothing can be imported, why
    bool interrotta = false;
    int nuovi = 0, aggiornati = 0, saltati = 0, rifiutati = 0;
    int produttoriDaCreare = 0, categorieDaCreare = 0;
    int valoriTagliati = 0;     // texts cut to their field's size
    int carichi = 0;            // opening loads to write
    QVector<TRigaImportata> righe;  // one per data row of the file
    QStringList produttoriNuovi, categorieNuove;  // in the order they are created
    QStringList nomiProduttori, nomiCategorie;    // each name text the rows to write give, once

    bool valida() const { return errore.isEmpty() && !interrotta; }
    int daScrivere() const { return nuovi + aggiornati; }
};

// The checks of the columns' destinations: a destination given to two
// columns, a table's key missing, counters into a book that is not empty.
// Empty when the choice is good.
QString ControllaDestinazioni(TArchivio& archivio, const TOpzioniImportazione& o, int colonne);

// The dry run: every row's outcome and the counts; the store is only read.
TAnalisiImportazione AnalizzaImportazione(TArchivio& archivio, const TSorgente& sorgente,
                                          const TOpzioniImportazione& opzioni);

// The counts as the window shows them, one per line.
QString RiepilogoAnalisi(const TAnalisiImportazione& a);

// Writes the refused rows as CSV (";", UTF-8 with BOM, so that a spreadsheet
// opens it as it is): the file's header and a "Motivo" column, then each
// refused row's cells and its reasons. Empty on success, otherwise what failed.
QString SalvaRifiutati(const TSorgente& sorgente, const TAnalisiImportazione& analisi, const QString& percorso);

struct TEsitoImportazione {
    TAnalisiImportazione analisi;
    QString errore;            // not empty: nothing was written, why
    bool interrotta = false;   // stopped: nothing was written
    QString cartellaBackup;    // where the tables were copied first
    bool riuscita() const { return errore.isEmpty() && !interrotta; }
};

// Runs the dry run again, copies the tables into today's backup folder and
// writes every accepted row, the producers and categories to create and the
// opening loads in one transaction. A refused backup, a failure or a stop
// writes nothing.
TEsitoImportazione EseguiImportazione(TArchivio& archivio, const TSorgente& sorgente,
                                      const TOpzioniImportazione& opzioni);
