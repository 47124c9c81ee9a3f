// The bulk resets on a large book: the reset of unloads on 100,000 products
// and the deletion of half of 1,000,000 history rows by period, each
// compared with the sqlite3 tool doing the same single statement.

#include "LibroGrande.h"
#include "Misura.h"
#include "app/Applicazione.h"
#include "movements/Azzeramenti.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    QTemporaryDir dir;
    const QString libro = dir.filePath(QStringLiteral("libro"));
    const QString lavoro = dir.filePath(QStringLiteral("lavoro"));
    QDir().mkpath(libro);
    QDir().mkpath(lavoro);
    LibroGrande::Riempi(libro);
    const double processo = Misura::AvvioProcesso();
    const auto prepara = [&](const char* tabella) {
        return [=] {
            TArchivio::chiudiCorrente();
            const QString f = QStringLiteral("/%1.db").arg(QLatin1String(tabella));
            QFile::remove(lavoro + f);
            QFile::copy(libro + f, lavoro + f);
        };
    };
    const auto apri = [&] {
        for (const char* t : {"produttori", "prodotti", "storico", "impostazioni", "cat", "tabexport"}) {
            const QString f = QStringLiteral("/%1.db").arg(QLatin1String(t));
            if (!QFile::exists(lavoro + f)) QFile::copy(libro + f, lavoro + f);
        }
        ImpostaCartellaProgramma(lavoro);
        TArchivio::apriCorrente(lavoro);
    };

    const double azzera = Misura::Mediana(5, [&] {
        apri();
        AzzeraScarichiProdotti([](int, int) {});
        TArchivio::chiudiCorrente();
    }, prepara("prodotti"));
    const double ancoraAzzera = Misura::Mediana(5, [&] {
        Misura::Sqlite3(lavoro + QStringLiteral("/prodotti.db"),
                        QStringLiteral("update prodotti set SCARICHI = 0, TOTALEVENDITE = 0, CARICHI = coalesce(QUANTITA, 0), "
                                       "TOTALEACQUISTI = coalesce(QUANTITA, 0) * coalesce(PREZZO, 0.0);"));
    }, prepara("prodotti")) - processo;
    Misura::Riga("azzera_scarichi_100k", azzera, ancoraAzzera);

    // The history spans 2004 day by day: January to June is about half of it.
    const QDate da(2004, 1, 1), a(2004, 6, 30);
    const double cancella = Misura::Mediana(5, [&] {
        apri();
        CancellaStoricoPeriodo(da, a);
        TArchivio::chiudiCorrente();
    }, prepara("storico"));
    const double ancoraCancella = Misura::Mediana(5, [&] {
        Misura::Sqlite3(lavoro + QStringLiteral("/storico.db"),
                        QStringLiteral("delete from storico where DATAOGGI >= '2004-01-01' and DATAOGGI <= '2004-06-30';"));
    }, prepara("storico")) - processo;
    Misura::Riga("cancella_storico_meta_1m", cancella, ancoraCancella);
    return 0;
}
