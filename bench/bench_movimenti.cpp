// A load on large books (100,000 products; 5,000,000 and 10,000 history
// rows): the whole movement as one transaction, and the list refresh that
// follows it. The anchors are the plain engine in this process, through the
// SQLite C API on the same files: for the load, the same insert and update
// with the history's new key known in advance (the floor of the work); for
// the list, the same query stepped through.

#include "LibroGrande.h"
#include "Misura.h"
#include "app/Applicazione.h"
#include "data/CartellaProgramma.h"
#include "data/engine/Archivio.h"
#include "movements/Movimenti.h"
#include "movements/PannelloProdotti.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace {

// A plain engine connection laid out as the program's: a non-table main
// file and the two tables attached, rollback journal.
struct TMotore {
    sqlite3* db = nullptr;
    sqlite3_stmt* inserisci = nullptr;
    sqlite3_stmt* aggiorna = nullptr;
    explicit TMotore(const QString& cartella) {
        sqlite3_open(QFile::encodeName(cartella + QStringLiteral("/motore.main")).constData(), &db);
        esegui(QStringLiteral("attach '%1/prodotti.db' as prodotti; attach '%1/storico.db' as storico;").arg(cartella));
        sqlite3_prepare_v2(db,
                           "INSERT INTO storico.storico (ID, AZIONE, IDPROD, NOME, DESCRIZIONE, QUANTITA, GIACENZAMAX, "
                           " DATAOGGI, DATADISTINTA, NUMDISTINTA, IDPRODUTTORE, IDCATEGORIA, PREZZO, PREZZOACQ, PREZZOCAR) "
                           " SELECT ?1, 'CARICO', ID, NOME, DESCRIZIONE, 1, GIACENZAMAX, date('now'), DATADISTINTA, "
                           " NUMDISTINTA, IDPRODUTTORE, IDCATEGORIA, NULL, 2.5, NULL FROM prodotti.prodotti WHERE ID = ?2",
                           -1, &inserisci, nullptr);
        sqlite3_prepare_v2(db,
                           "UPDATE prodotti.prodotti SET CARICHI = CARICHI + 1, QUANTITA = CARICHI + 1 - SCARICHI, "
                           " TOTALEACQUISTI = TOTALEACQUISTI + 2.5, PREZZO = 2.5, PREZZO2 = 4 WHERE ID = ?1",
                           -1, &aggiorna, nullptr);
    }
    ~TMotore() {
        sqlite3_finalize(inserisci);
        sqlite3_finalize(aggiorna);
        sqlite3_close(db);
    }
    void esegui(const QString& sql) const {
        char* errore = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &errore) != SQLITE_OK) {
            std::fprintf(stderr, "sqlite: %s\n", errore);
            sqlite3_free(errore);
        }
    }
    qint64 intero(const char* sql) const {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        const qint64 v = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : 0;
        sqlite3_finalize(s);
        return v;
    }
    // The load of one unit at 2,5 with its history key given.
    void carico(qint64 chiave, int prodotto) const {
        esegui(QStringLiteral("BEGIN IMMEDIATE"));
        sqlite3_bind_int64(inserisci, 1, chiave);
        sqlite3_bind_int(inserisci, 2, prodotto);
        if (sqlite3_step(inserisci) != SQLITE_DONE) std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        sqlite3_reset(inserisci);
        sqlite3_bind_int(aggiorna, 1, prodotto);
        if (sqlite3_step(aggiorna) != SQLITE_DONE) std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        sqlite3_reset(aggiorna);
        esegui(QStringLiteral("COMMIT"));
    }
    // Prepares and steps the statement through every row.
    void scorri(const char* sql) const {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) (void)sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
    }
};

// One load of 1 unit at 2,5 on product 50,000 through the program: the
// product read, the history row with the largest ID plus one, the product's
// new counters, one commit over the two files.
void CaricoNostro() {
    TDatiMovimento d;
    d.quantita = 1;
    d.prezzoAcq = 2.5;
    d.prezzoVen = 4;
    TOpzioniMovimento o;
    o.sovrascriviPrezzi = true;
    EseguiMovimento(Azioni::Carico, 50000, d, o);
}

}  // namespace

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    QTemporaryDir dir;
    const QString grande = dir.filePath(QStringLiteral("grande"));
    const QString piccolo = dir.filePath(QStringLiteral("piccolo"));
    QDir().mkpath(grande);
    QDir().mkpath(piccolo);
    LibroGrande::Riempi(grande, 5000000);
    LibroGrande::Riempi(piccolo, 10000);

    // Rounds of three loads, each timed: through the program on the small
    // book, through the program on the large one, by the plain engine on the
    // large one with the key known in advance; the medians of 15 rounds.
    // The three take turns because a commit's time is mostly the disk's
    // flush, which varies with what else the machine writes: measured one
    // after another in three blocks, the same load came out 2 ms in one block
    // and 50 ms in the next. Each book is opened, and a first load made
    // (untimed: attaching, first statements), before its turn.
    std::vector<double> tPiccolo, tGrande, tMotore;
    for (int giro = 0; giro < 15; ++giro) {
        for (const QString& cartella : {piccolo, grande}) {
            ImpostaCartellaProgramma(cartella);
            TArchivio::apriCorrente(cartella);
            CaricoNostro();
            (cartella == piccolo ? tPiccolo : tGrande).push_back(Misura::Tempo(CaricoNostro));
            TArchivio::chiudiCorrente();
        }
        TMotore motore(grande);
        qint64 chiave = motore.intero("SELECT max(ID) FROM storico.storico");  // untimed: the key known in advance
        motore.carico(++chiave, 50000);
        tMotore.push_back(Misura::Tempo([&] { motore.carico(++chiave, 50000); }));
    }
    const double piccoloNostro = Misura::MedianaDi(tPiccolo), nostro = Misura::MedianaDi(tGrande),
                 ancora = Misura::MedianaDi(tMotore);
    Misura::Riga("carico_5m_storico", nostro, ancora);
    Misura::Riga("carico_crescita", nostro, piccoloNostro);

    // The list refresh after the movement: the window's own panel re-runs
    // the list (every key in code order) and shows the row's product.
    ImpostaCartellaProgramma(grande);
    TArchivio::apriCorrente(grande);
    TMotore motore(grande);
    TPannelloProdotti pannello;
    pannello.apriLista(false);
    pannello.vaiARiga(50000);
    const double lista = Misura::Mediana(15, [&] { pannello.AggiornaLista(); });
    const double ancoraLista = Misura::Mediana(15, [&] { motore.scorri("SELECT rowid FROM prodotti.prodotti ORDER BY NOME"); });
    Misura::Riga("lista_dopo_movimento_100k_prodotti", lista, ancoraLista);
    TArchivio::chiudiCorrente();
    return 0;
}
