// A load on a large book (100,000 products, 1,000,000 history rows): the
// whole movement as one transaction, and the list refresh that follows it,
// against the SQLite engine doing the same work on the same files through a
// connection of its own.

#include "LibroGrande.h"
#include "Misura.h"
#include "app/Applicazione.h"
#include "app/Fx.h"
#include "data/engine/Archivio.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "movements/Movimenti.h"
#include "movements/PannelloProdotti.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace {

// A plain engine connection laid out as the program's: a non-table main
// file and the two tables attached.
struct TMotore {
    sqlite3* db = nullptr;
    explicit TMotore(const QString& cartella) {
        sqlite3_open(QFile::encodeName(cartella + QStringLiteral("/motore.main")).constData(), &db);
        esegui(QStringLiteral("attach '%1/prodotti.db' as prodotti; attach '%1/storico.db' as storico;").arg(cartella));
    }
    ~TMotore() { sqlite3_close(db); }
    void esegui(const QString& sql) const {
        char* errore = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &errore) != SQLITE_OK) {
            std::fprintf(stderr, "sqlite: %s\n", errore);
            sqlite3_free(errore);
        }
    }
    // Prepares and steps the statement through every row.
    void scorri(const char* sql) const {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) (void)sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
    }
};

}  // namespace

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    QTemporaryDir dir;
    const QString libro = dir.filePath(QStringLiteral("libro"));
    QDir().mkpath(libro);
    LibroGrande::Riempi(libro);
    TArchivio::apriCorrente(libro);
    TMotore motore(libro);

    // One load of 1 unit at 2,5 on product 50,000: read the product, the
    // history row with the largest ID plus one, the product's new counters,
    // one commit over the two files.
    TDatiMovimento d;
    d.quantita = 1;
    d.prezzoAcq = 2.5;
    d.prezzoVen = 4;
    TOpzioniMovimento o;
    o.sovrascriviPrezzi = true;
    const double nostro = Misura::Mediana(15, [&] { EseguiMovimento(Azioni::Carico, 50000, d, o); });
    const QString stessoLavoro = QStringLiteral(
        "BEGIN IMMEDIATE;"
        "INSERT INTO storico.storico (ID, AZIONE, IDPROD, NOME, DESCRIZIONE, QUANTITA, GIACENZAMAX, DATAOGGI, "
        " DATADISTINTA, NUMDISTINTA, IDPRODUTTORE, IDCATEGORIA, PREZZO, PREZZOACQ, PREZZOCAR) "
        " SELECT (SELECT coalesce(max(ID), 0) + 1 FROM storico.storico), 'CARICO', ID, NOME, DESCRIZIONE, 1, "
        " GIACENZAMAX, date('now'), DATADISTINTA, NUMDISTINTA, IDPRODUTTORE, IDCATEGORIA, NULL, 2.5, NULL "
        " FROM prodotti.prodotti WHERE ID = 50001;"
        "UPDATE prodotti.prodotti SET CARICHI = CARICHI + 1, QUANTITA = CARICHI + 1 - SCARICHI, "
        " TOTALEACQUISTI = TOTALEACQUISTI + 2.5, PREZZO = 2.5, PREZZO2 = 4 WHERE ID = 50001;"
        "COMMIT;");
    const double ancora = Misura::Mediana(15, [&] { motore.esegui(stessoLavoro); });
    Misura::Riga("carico_una_transazione_100k_prodotti_1M_storico", nostro, ancora);

    // The list refresh after the movement: the window's own panel re-runs
    // the list (every key in code order) and shows the row's product.
    TPannelloProdotti pannello;
    pannello.apriLista(false);
    pannello.vaiARiga(50000);
    const double lista = Misura::Mediana(15, [&] { pannello.AggiornaLista(); });
    const double ancoraLista = Misura::Mediana(15, [&] { motore.scorri("SELECT rowid FROM prodotti.prodotti ORDER BY NOME"); });
    Misura::Riga("lista_dopo_movimento_100k_prodotti", lista, ancoraLista);
    TArchivio::chiudiCorrente();
    return 0;
}
