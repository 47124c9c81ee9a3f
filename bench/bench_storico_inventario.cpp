// The history window opened on 5,000,000 rows, its first screen shown,
// against the engine's query of the same screen, and what of it is the
// window's reading of the rows; the same window on 5,000 rows, to show that
// the size of the history does not count; a count of 100,000
// differences posted, against the engine's own inserts and updates of the
// same rows in one transaction.

#include "LibroGrande.h"
#include "Misura.h"
#include "app/Applicazione.h"
#include "data/CartellaProgramma.h"
#include "data/engine/Archivio.h"
#include "movements/InventarioFisico.h"
#include "movements/MovimentiMagazzino.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace {

sqlite3* Apri(const QString& cartella) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(cartella + QStringLiteral("/motore.main")).constData(), &db);
    sqlite3_exec(db, QStringLiteral("attach '%1/prodotti.db' as prodotti; attach '%1/storico.db' as storico;")
                         .arg(cartella).toUtf8().constData(), nullptr, nullptr, nullptr);
    return db;
}

void CopiaTabelle(const QString& da, const QString& a) {
    for (const QString& f : {QStringLiteral("prodotti.db"), QStringLiteral("storico.db")}) {
        QFile::remove(a + QLatin1Char('/') + f);
        QFile::copy(da + QLatin1Char('/') + f, a + QLatin1Char('/') + f);
    }
}

}  // namespace

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    QTemporaryDir dir;
    {
        const QString grande = dir.filePath(QStringLiteral("storico5m"));
        QDir().mkpath(grande);
        LibroGrande::Riempi(grande, 5000000);
        ImpostaCartellaProgramma(grande);
        std::vector<double> nostri, ancore;
        for (int giro = 0; giro < 7; ++giro) {
            TArchivio::apriCorrente(grande);
            nostri.push_back(Misura::Tempo([] {
                TfrmMovimentiMagazzino f;
                f.show();
                QCoreApplication::processEvents();
            }));
            TArchivio::chiudiCorrente();
            sqlite3* db = Apri(grande);
            ancore.push_back(Misura::Tempo([db] {
                Misura::Scansione(db, QStringLiteral("SELECT ID, AZIONE, DATAOGGI, IDPROD, NOME, DESCRIZIONE, QUANTITA, "
                                                     "PREZZOACQ, PREZZO, PREZZOCAR, STORNA, STORNATODA FROM storico.storico "
                                                     "ORDER BY ID DESC LIMIT %1").arg(TModelloMovimenti::PrimaSchermata));
            }));
            sqlite3_close(db);
        }
        Misura::Riga("storico_finestra_5m", Misura::MedianaDi(nostri), Misura::MedianaDi(ancore));
        // What of that is reading: the window's model reading its first
        // screen on the store's connection, against the same query on a
        // connection of its own, both open and used before, in turns.
        TArchivio::apriCorrente(grande);
        {
            sqlite3* db = Apri(grande);
            const QString sql = QStringLiteral("SELECT ID, AZIONE, DATAOGGI, IDPROD, NOME, DESCRIZIONE, QUANTITA, "
                                               "PREZZOACQ, PREZZO, PREZZOCAR, STORNA, STORNATODA FROM storico.storico "
                                               "WHERE 1 = 1 ORDER BY ID DESC LIMIT %1")
                                    .arg(TModelloMovimenti::PrimaSchermata);
            std::vector<double> letture, ancoreLettura;
            for (int giro = 0; giro < 201; ++giro) {
                letture.push_back(Misura::Tempo([] {
                    TModelloMovimenti m;
                    m.imposta(TArchivio::corrente(), TFiltroStorico{});
                }));
                ancoreLettura.push_back(Misura::Tempo([db, &sql] { Misura::Scansione(db, sql); }));
            }
            sqlite3_close(db);
            Misura::Riga("storico_finestra_5m_lettura", Misura::MedianaDi(letture), Misura::MedianaDi(ancoreLettura));
        }
        TArchivio::chiudiCorrente();
        // The window opened on 5,000,000 rows against the same window on
        // 5,000: it reads the rows it shows, so the size does not count.
        const QString piccolo = dir.filePath(QStringLiteral("storico5k"));
        QDir().mkpath(piccolo);
        LibroGrande::Riempi(piccolo, 5000);
        ImpostaCartellaProgramma(piccolo);
        TArchivio::apriCorrente(piccolo);
        std::vector<double> piccoli;
        for (int giro = 0; giro < 7; ++giro)
            piccoli.push_back(Misura::Tempo([] {
                TfrmMovimentiMagazzino f;
                f.show();
                QCoreApplication::processEvents();
            }));
        TArchivio::chiudiCorrente();
        Misura::Riga("storico_finestra_5m_contro_5k", Misura::MedianaDi(nostri), Misura::MedianaDi(piccoli));
        QDir(grande).removeRecursively();
        QDir(piccolo).removeRecursively();
    }
    {
        const QString libro = dir.filePath(QStringLiteral("inventario")), originale = dir.filePath(QStringLiteral("originale"));
        QDir().mkpath(libro);
        QDir().mkpath(originale);
        LibroGrande::Riempi(libro, 1000);
        CopiaTabelle(libro, originale);
        TBozzaInventario b;
        b.data = QDate(2026, 12, 31);
        for (int i = 1; i <= LibroGrande::Prodotti; ++i) b.contati.insert(i, 15 + i % 7 + 1);
        std::vector<double> nostri, ancore;
        for (int giro = 0; giro < 3; ++giro) {
            CopiaTabelle(originale, libro);
            TArchivio::apriCorrente(libro);
            nostri.push_back(Misura::Tempo([&] { RegistraInventario(TArchivio::corrente(), b); }));
            TArchivio::chiudiCorrente();
            CopiaTabelle(originale, libro);
            sqlite3* db = Apri(libro);
            ancore.push_back(Misura::Tempo([&] {
                sqlite3_stmt *ins = nullptr, *agg = nullptr;
                sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
                sqlite3_prepare_v2(db, "INSERT INTO storico.storico (ID, AZIONE, IDPROD, NOME, DESCRIZIONE, QUANTITA, "
                                       "GIACENZAMAX, DATAOGGI, DATADISTINTA, NUMDISTINTA, IDPRODUTTORE, IDCATEGORIA) "
                                       "SELECT ?1, 'INVENTARIO', ID, NOME, DESCRIZIONE, ?2, GIACENZAMAX, '2026-12-31', "
                                       "DATADISTINTA, NUMDISTINTA, IDPRODUTTORE, IDCATEGORIA FROM prodotti.prodotti WHERE ID = ?3",
                                   -1, &ins, nullptr);
                sqlite3_prepare_v2(db, "UPDATE prodotti.prodotti SET CARICHI = CARICHI + ?1, QUANTITA = ?2 WHERE ID = ?3",
                                   -1, &agg, nullptr);
                sqlite3_int64 id = 1001;
                for (auto it = b.contati.cbegin(); it != b.contati.cend(); ++it) {
                    const sqlite3_int64 diff = it.value() - 15;
                    sqlite3_bind_int64(ins, 1, id++);
                    sqlite3_bind_int64(ins, 2, diff);
                    sqlite3_bind_int64(ins, 3, it.key());
                    sqlite3_step(ins);
                    sqlite3_reset(ins);
                    sqlite3_bind_int64(agg, 1, diff);
                    sqlite3_bind_int64(agg, 2, it.value());
                    sqlite3_bind_int64(agg, 3, it.key());
                    sqlite3_step(agg);
                    sqlite3_reset(agg);
                }
                sqlite3_finalize(ins);
                sqlite3_finalize(agg);
                sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            }));
            sqlite3_close(db);
        }
        Misura::Riga("inventario_fisico_registra_100k", Misura::MedianaDi(nostri), Misura::MedianaDi(ancore));
    }
    return 0;
}
