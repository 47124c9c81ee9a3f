// The bulk resets on large books: the reset of unloads on 100,000 and on
// 1,000,000 products, and the deletion of half of 1,000,000 history rows by
// period, each compared with the plain engine in this process doing the same
// single statement on the same file.

#include "Intervalli.h"
#include "LibroGrande.h"
#include "Misura.h"
#include "app/Applicazione.h"
#include "movements/AzzeraScarichi.h"
#include "movements/Azzeramenti.h"
#include "ui_AzzeraScarichi.h"

#include <QPushButton>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const char* const Tabelle[] = {"produttori", "prodotti", "storico", "impostazioni", "cat", "tabexport"};

// Copies of the book's tables in a working folder, fresh before each run.
struct TLavoro {
    QString libro, lavoro;
    std::function<void()> prepara(const char* tabella) const {
        return [=, this] {
            TArchivio::chiudiCorrente();
            const QString f = QStringLiteral("/%1.db").arg(QLatin1String(tabella));
            QFile::remove(lavoro + f);
            QFile::copy(libro + f, lavoro + f);
        };
    }
    void apri() const {
        for (const char* t : Tabelle) {
            const QString f = QStringLiteral("/%1.db").arg(QLatin1String(t));
            if (!QFile::exists(lavoro + f)) QFile::copy(libro + f, lavoro + f);
        }
        ImpostaCartellaProgramma(lavoro);
        TArchivio::apriCorrente(lavoro);
    }
};

void MisuraAzzeramento(const char* nome, const TLavoro& l) {
    const double azzera = Misura::Mediana(5, [&] {
        l.apri();
        AzzeraScarichiProdotti([](int, int) {});
        TArchivio::chiudiCorrente();
    }, l.prepara("prodotti"));
    const double ancora = Misura::Mediana(5, [&] {
        Misura::Motore(l.lavoro + QStringLiteral("/prodotti.db"),
                       QStringLiteral("update prodotti set SCARICHI = 0, TOTALEVENDITE = 0, CARICHI = coalesce(QUANTITA, 0), "
                                      "TOTALEACQUISTI = coalesce(QUANTITA, 0) * coalesce(PREZZO, 0.0);"));
    }, l.prepara("prodotti"));
    Misura::Riga(nome, azzera, ancora);
}

}  // namespace

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    QTemporaryDir dir;
    TLavoro normale{dir.filePath(QStringLiteral("libro")), dir.filePath(QStringLiteral("lavoro"))};
    TLavoro milione{dir.filePath(QStringLiteral("libro1m")), dir.filePath(QStringLiteral("lavoro1m"))};
    for (const TLavoro* l : {&normale, &milione}) {
        QDir().mkpath(l->libro);
        QDir().mkpath(l->lavoro);
    }
    LibroGrande::Riempi(normale.libro);
    LibroGrande::Riempi(milione.libro, 1000, 1000000);

    MisuraAzzeramento("azzera_scarichi_100k", normale);
    MisuraAzzeramento("azzera_scarichi_1m", milione);

    // The same reset on 1,000,000 products pressed in the real window, its
    // question answered yes: the longest the event loop stood still.
    {
        Intervalli::TRisposteSi risposte;
        ImpostaInterazione(&risposte);
        milione.prepara("prodotti")();
        milione.apri();
        TfrmAzzeraScarichi f;
        f.show();
        Intervalli::Riga("azzera_scarichi_1m", Intervalli::Misura([&] { f.ui()->BitBtn1->click(); }));
        TArchivio::chiudiCorrente();
        ImpostaInterazione(nullptr);
    }

    // The history spans 2004 day by day: January to June is about half of it.
    const QDate da(2004, 1, 1), a(2004, 6, 30);
    const double cancella = Misura::Mediana(5, [&] {
        normale.apri();
        CancellaStoricoPeriodo(da, a);
        TArchivio::chiudiCorrente();
    }, normale.prepara("storico"));
    const double ancoraCancella = Misura::Mediana(5, [&] {
        Misura::Motore(normale.lavoro + QStringLiteral("/storico.db"),
                       QStringLiteral("delete from storico where DATAOGGI >= '2004-01-01' and DATAOGGI <= '2004-06-30';"));
    }, normale.prepara("storico"));
    Misura::Riga("cancella_storico_meta_1m", cancella, ancoraCancella);
    return 0;
}
