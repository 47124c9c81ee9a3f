// The report engine on a 2,000-page report: laid out and written to PDF,
// against painting the same page list straight to a QPdfWriter in the same
// run. Prints BENCH report ours_ms=... anchor_ms=... ratio=... rss_mb=...

#include "Misura.h"
#include "PitturaPdf.h"
#include "reports/engine/Report.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;

    // A products listing like the program's reports: six columns, a framed
    // box per row, page number, totals in the summary.
    const int righe = 2000 * 44 + 40;
    TDatiMemoria dati({QStringLiteral("NOME"), QStringLiteral("DESCRIZIONE"), QStringLiteral("QUANTITA"),
                       QStringLiteral("QTAALERT"), QStringLiteral("PREZZO")});
    for (int i = 0; i < righe; ++i)
        dati.aggiungi({QStringLiteral("PROD%1").arg(i, 6, 10, QLatin1Char('0')),
                       QStringLiteral("Descrizione del prodotto numero %1, qualità €").arg(i), i % 97, 5,
                       (i % 1000) / 4.0});
    TReport r;
    r.impostaDati(&dati);
    double totale = 0;
    r.primaDiGenerare = [&] { totale = 0; };
    TBanda& t = r.banda(TTipoBanda::Titolo, 16);
    t.etichetta(QStringLiteral("Titolo"), {0, 0, 190, 8}, QStringLiteral("Stampa riepilogativa quantità di magazzino"))
        .dimensione(14)
        .grassetto();
    t.dataCorrente(QStringLiteral("Data"), {0, 8, 80, 6}, QStringLiteral("Data: "));
    TBanda& h = r.banda(TTipoBanda::IntestazioneColonne, 12);
    h.numeroPagina(QStringLiteral("Pag"), {150, 0, 40, 5}, QStringLiteral("Pag.")).allinea(Qt::AlignRight | Qt::AlignVCenter);
    int x = 0;
    for (const char* c : {"Codice prodotto", "Descrizione prodotto", "Q.tà", "Q.tà alert", "Prezzo"})
        h.etichetta(QString::fromUtf8(c), {double(x), 6, 30, 5}, QString::fromUtf8(c)).grassetto(), x += 32;
    TBanda& d = r.banda(TTipoBanda::Dettaglio, 6);
    d.campoDati(QStringLiteral("N"), {0, 0, 30, 6}, QStringLiteral("NOME"));
    d.campoDati(QStringLiteral("D"), {32, 0, 80, 6}, QStringLiteral("DESCRIZIONE"));
    d.campoDati(QStringLiteral("Q"), {114, 0, 15, 6}, QStringLiteral("QUANTITA")).allinea(Qt::AlignRight | Qt::AlignVCenter);
    d.campoDati(QStringLiteral("A"), {130, 0, 15, 6}, QStringLiteral("QTAALERT")).allinea(Qt::AlignRight | Qt::AlignVCenter);
    d.campoDati(QStringLiteral("P"), {146, 0, 25, 6}, QStringLiteral("PREZZO")).allinea(Qt::AlignRight | Qt::AlignVCenter);
    d.forma(QStringLiteral("Box"), {174, 1, 16, 4.5});
    d.primaDiStampare = [&](bool&) { totale += dati.valore(QStringLiteral("PREZZO")).toDouble(); };
    TBanda& s = r.banda(TTipoBanda::Riepilogo, 8);
    TControllo& tot = s.etichetta(QStringLiteral("Tot"), {100, 0, 90, 8}, QString());
    s.primaDiStampare = [&](bool&) { tot.testo = QStringLiteral("Totale: %1 €").arg(totale, 0, 'f', 2); };

    int pagine = 0;
    const double o = Misura::Mediana(3, [&] {
        r.salvaPdf(dir.filePath(QStringLiteral("nostro.pdf")));
        pagine = r.documento().numeroPagine();
    });
    const double a = Misura::Mediana(3, [&] { PitturaDiretta(r.documento(), dir.filePath(QStringLiteral("ancora.pdf"))); });
    const double impaginazione = Misura::Mediana(3, [&] { r.genera(); });
    std::fprintf(stderr, "report: %d pagine, %d righe, impaginazione %.0f ms\n", pagine, righe, impaginazione);
    Misura::Riga("report", o, a, Misura::PiccoMemoriaMb());
    return pagine >= 2000 ? 0 : 1;
}
