// The history and cash-flow reports on the large book (1,000,000 history
// rows with producers and categories):
//   report_storico_1m    the history report of every row laid out and written
//                        to PDF, against painting the same pages straight to a
//                        QPdfWriter; rss_mb is the peak resident memory;
//   anteprima_prima_pagina_storico_1m
//                        the preview opened until its first page is painted,
//                        against the report's query stepped through the
//                        SQLite C API over the rows of that page;
//   GAP anteprima_storico_1m  the longest stand-still of the event loop while
//                        the preview opens, lays out the report, goes to its
//                        last page as soon as it is ready and closes;
//   GAP stampa_pdf_storico_1m the same while the preview prints every page
//                        to a PDF file;
//   report_flussi_1m     the cash-flow report ready to preview, against the
//                        same group-by run through the SQLite C API.

#include "LibroGrande.h"
#include "Misura.h"
#include "PitturaPdf.h"
#include "reports/DatiStampe.h"
#include "reports/StampaFlussi.h"
#include "reports/StampaStorico.h"
#include "reports/Anteprima.h"
#include "Intervalli.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <sqlite3.h>

namespace {

// Producers, categories, and their IDs on every history row.
void Anagrafiche() {
    TArchivio& a = TArchivio::corrente();
    TTransazione t(a);
    a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 50) "
                            "insert into %1 (ID, NOME, COGNOME) select i, 'Nome' || i, 'Cognome' || i from n")
                 .arg(a.nomeQualificato(Definizioni::Produttori)));
    a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 20) "
                            "insert into %1 (ID, CATEGORIA) select i, 'Categoria ' || i from n")
                 .arg(a.nomeQualificato(Definizioni::Categorie)));
    a.esegui(QStringLiteral("update %1 set IDPRODUTTORE = ID % 51, IDCATEGORIA = ID % 21")
                 .arg(a.nomeQualificato(Definizioni::Storico)));
    t.conferma();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    LibroGrande::Riempi(dir.path() + QLatin1Char('/'));
    TArchivio::apriCorrente(dir.path() + QLatin1Char('/'));
    Anagrafiche();
    const QDate da(2004, 1, 1), a(2004, 12, 31);

    TfrmStampaStorico storico(nullptr);
    storico.CarattereStampa = 7;
    storico.DataDa = QStringLiteral("01/01/2004");
    storico.DataA = QStringLiteral("12/31/2004");
    storico.QueryStorico = QueryStorico(da, a, StampaTutti, OrdinaData, false);

    // One run of each: a run takes tens of seconds. The memory peak counts
    // from here: the book was built by this same process.
    Misura::AzzeraPiccoMemoria();
    const double allInizio = Misura::MemoriaMb();
    const double layout = Misura::Mediana(1, [&] { storico.report().genera(); });
    const double picco = Misura::PiccoMemoriaMb();
    const double nostro = Misura::Mediana(1, [&] { storico.report().salvaPdf(dir.filePath(QStringLiteral("s.pdf"))); });
    const double ancora = Misura::Mediana(1, [&] { PitturaDiretta(storico.report().documento(), dir.filePath(QStringLiteral("a.pdf"))); });
    std::fprintf(stderr, "storico: %d pagine (%.1f MB compressi), impaginazione %.0f ms (residente all'inizio %.0f MB, picco %.0f MB)\n",
                 storico.report().documento().numeroPagine(), storico.report().documento().pagine.byte() / 1048576.0,
                 layout, allInizio, picco);
    Misura::Riga("report_storico_1m", nostro, ancora, Misura::PiccoMemoriaMb());

    // The rows of the first page, read as the report's query gives them.
    const int righePrimaPagina = [&] {
        int n = 0;
        for (const TElementoPagina& e : storico.report().documento().pagine[0].elementi)
            if (e.nome == QStringLiteral("QRDBnome")) ++n;
        return n;
    }();
    sqlite3* db = TArchivio::corrente().handle();
    const double ancoraPrimaPagina = Misura::Mediana(3, [&] {
        const TQueryStampa& q = storico.QueryStorico;
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QString(q.testo).toUtf8();
        sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
        QList<QByteArray> valori;
        for (const QVariant& v : q.parametri) valori << v.toString().toUtf8();
        for (int i = 0; i < valori.size(); ++i) sqlite3_bind_text(st, i + 1, valori[i].constData(), -1, SQLITE_STATIC);
        qint64 byte = 0;
        for (int r = 0; r < righePrimaPagina && sqlite3_step(st) == SQLITE_ROW; ++r)
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                sqlite3_column_text(st, c);
                byte += sqlite3_column_bytes(st, c);
            }
        sqlite3_finalize(st);
        if (byte < 0) std::fprintf(stderr, "%lld\n", static_cast<long long>(byte));
    });
    // The preview as the window opens it; a timer of the event loop notes
    // the first painted page and closes it.
    const double primaPagina = Misura::Mediana(3, [&] {
        QTimer guardia;
        guardia.setInterval(0);
        QObject::connect(&guardia, &QTimer::timeout, [&] {
            auto* a = qobject_cast<TAnteprimaReport*>(QApplication::activeModalWidget());
            if (a && a->pagineDipinte() > 0) {
                guardia.stop();
                a->close();
            }
        });
        guardia.start();
        MostraAnteprima(storico.report(), nullptr);
    });
    Misura::Riga("anteprima_prima_pagina_storico_1m", primaPagina, ancoraPrimaPagina);

    {
        int pagine = 0;
        QTimer guardia;
        guardia.setInterval(20);
        QObject::connect(&guardia, &QTimer::timeout, [&] {
            auto* a = qobject_cast<TAnteprimaReport*>(QApplication::activeModalWidget());
            if (!a || a->inImpaginazione()) return;
            guardia.stop();
            a->findChild<QToolButton*>(QStringLiteral("sbUltimaPagina"))->click();
            pagine = a->pagina() + 1;
            a->close();
        });
        const Intervalli::TEsito e = Intervalli::Misura([&] {
            guardia.start();
            MostraAnteprima(storico.report(), nullptr);
        });
        std::fprintf(stderr, "anteprima: ultima pagina %d di %d\n", pagine, storico.report().documento().numeroPagine());
        Intervalli::Riga("anteprima_storico_1m", e);
    }
    {
        storico.report().genera();
        TAnteprimaReport anteprima(storico.report());
        QPrinter stampante(QPrinter::HighResolution);
        stampante.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = dir.filePath(QStringLiteral("stampa.pdf"));
        stampante.setOutputFileName(pdf);
        stampante.setFullPage(true);
        const Intervalli::TEsito e = Intervalli::Misura([&] { anteprima.stampaSu(stampante); });
        std::fprintf(stderr, "stampa: %lld byte\n", static_cast<long long>(QFileInfo(pdf).size()));
        Intervalli::Riga("stampa_pdf_storico_1m", e);
    }

    TfrmStampaFlussi flussi(nullptr);
    flussi.CarattereStampa = 7;
    flussi.DataDa = storico.DataDa;
    flussi.DataA = storico.DataA;
    flussi.QueryFlussi = QueryFlussi(da, a, StampaTutti, false);
    const double nostroFlussi = Misura::Mediana(3, [&] { flussi.report().genera(); });
    // The same group-by, stepped through the C API on the same connection.
    const TQueryStampa q = flussi.QueryFlussi;
    const double ancoraFlussi = Misura::Mediana(3, [&] {
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QString(q.testo).toUtf8();
        sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
        const QByteArray p1 = q.parametri[0].toString().toUtf8(), p2 = q.parametri[1].toString().toUtf8();
        sqlite3_bind_text(st, 1, p1.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, p2.constData(), -1, SQLITE_TRANSIENT);
        double s = 0;
        while (sqlite3_step(st) == SQLITE_ROW) s += sqlite3_column_double(st, 1);
        sqlite3_finalize(st);
        if (s < 0) std::fprintf(stderr, "%f\n", s);
    });
    Misura::Riga("report_flussi_1m", nostroFlussi, ancoraFlussi);
    TArchivio::chiudiCorrente();
    return 0;
}
