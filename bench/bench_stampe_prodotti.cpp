// The products report and the inventory on 100,000 products with producers
// (about 4,000 pages of products report):
//   report_prodotti_100k    the products report laid out and written to PDF,
//                           against painting the same pages straight to a
//                           QPdfWriter; rss_mb is the peak resident memory;
//   report_inventario_100k  the same for the inventory.

#include "LibroGrande.h"
#include "Misura.h"
#include "PitturaPdf.h"
#include "data/engine/Definizioni.h"
#include "reports/DatiStampe.h"
#include "reports/StampaInventario.h"
#include "reports/StampaProdotti.h"

#include <QApplication>
#include <QTemporaryDir>

namespace {

// The 50 producers the products refer to (IDs 0 to 49: 0 matches none).
void ScriviProduttori() {
    TArchivio& a = TArchivio::corrente();
    TTransazione t(a);
    a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 49) "
                            "insert into %1 (%2, %3, %4) select i, 'Nome' || i, 'Cognome' || i from n")
                 .arg(a.nomeQualificato(Definizioni::Produttori), Produttori::Id, Produttori::Nome, Produttori::Cognome));
    a.esegui(QStringLiteral("update %1 set %2 = %3 % 50 + 0.5")
                 .arg(a.nomeQualificato(Definizioni::Prodotti), Prodotti::PrezzoListino, Prodotti::Id));
    t.conferma();
}

// The report written to PDF (generated again, then painted) against the
// plain painting of the pages it laid out.
void Confronta(const char* nome, TReport& report, const QTemporaryDir& dir) {
    report.genera();
    const int pagine = report.documento().numeroPagine();
    const double nostro = Misura::Mediana(1, [&] { report.salvaPdf(dir.filePath(QStringLiteral("r.pdf"))); });
    const double ancora = Misura::Mediana(1, [&] { PitturaDiretta(report.documento(), dir.filePath(QStringLiteral("a.pdf"))); });
    std::fprintf(stderr, "%s: %d pagine, %lld byte di pagine compresse\n", nome, pagine,
                 static_cast<long long>(report.documento().pagine.byte()));
    Misura::Riga(nome, nostro, ancora, Misura::PiccoMemoriaMb());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    LibroGrande::Riempi(dir.path() + QLatin1Char('/'), 1);
    TArchivio::apriCorrente(dir.path() + QLatin1Char('/'));
    ScriviProduttori();

    {
        TfrmStampaProdotti prodotti(nullptr);
        prodotti.CampoOrdine = CampoOrdineProdotti(1);
        prodotti.CarattereStampa = 7;
        Confronta("report_prodotti_100k", prodotti.report(), dir);
    }
    {
        TfrmStampaInventario inventario(nullptr);
        inventario.CampoOrdine = CampoOrdineInventario(0);
        inventario.CarattereStampa = 8;
        inventario.DataInventario = QStringLiteral("31/12/2004");
        Confronta("report_inventario_100k", inventario.report(), dir);
    }
    TArchivio::chiudiCorrente();
    return 0;
}
