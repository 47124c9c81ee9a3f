// The banded report engine: band order and pagination, hooks, display texts,
// run-time sizes, the preview and the PDF output.

#include "app/Applicazione.h"
#include "data/engine/Definizioni.h"
#include "reports/engine/DatiQueryParallela.h"
#include "reports/engine/Report.h"
#include "reports/engine/Pittura.h"
#include "AmbienteTest.h"
#include "DatiProva.h"

#include "gui/Avanzamento.h"
#include "reports/Anteprima.h"
#include "ui_Avanzamento.h"
#include "ui_Anteprima.h"
#include <QAction>
#include <QToolButton>
#include <QLabel>
#include <QProcess>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSpinBox>
#include <QtTest>
#include <malloc.h>

namespace {

// Bytes of the heap in use (glibc's count, mapped blocks included).
size_t HeapInUso() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// A report with every band: title "TITOLO", header "Pag." + page number and a
// heading, a detail line with the row's code and amount, a child line, and a
// summary with a total.
struct TReportProva {
    TDatiMemoria dati{QStringList{QStringLiteral("CODICE"), QStringLiteral("IMPORTO"), QStringLiteral("NOTA")}};
    TReport r;
    int righeFiglia = 0;

    TReportProva() {
        r.impostaDati(&dati);
        TBanda& t = r.banda(TTipoBanda::Titolo, 20);
        t.etichetta(QStringLiteral("LabTitolo"), {0, 0, 190, 8}, QStringLiteral("TITOLO"));
        TBanda& i = r.banda(TTipoBanda::IntestazioneColonne, 10);
        i.numeroPagina(QStringLiteral("Pagina"), {160, 0, 30, 5}, QStringLiteral("Pag."));
        i.etichetta(QStringLiteral("IntCodice"), {0, 5, 40, 5}, QStringLiteral("Codice"));
        TBanda& d = r.banda(TTipoBanda::Dettaglio, 6);
        d.campoDati(QStringLiteral("DBCodice"), {0, 0, 40, 6}, QStringLiteral("CODICE"));
        d.campoDati(QStringLiteral("DBImporto"), {40, 0, 40, 6}, QStringLiteral("IMPORTO"));
        d.campoDati(QStringLiteral("DBNota"), {80, 0, 60, 6}, QStringLiteral("NOTA"));
        TBanda& f = r.banda(TTipoBanda::Figlia, 5);
        f.etichetta(QStringLiteral("LabFiglia"), {0, 0, 100, 5}, QStringLiteral("figlia"));
        f.primaDiStampare = [this](bool&) { ++righeFiglia; };
        TBanda& s = r.banda(TTipoBanda::Riepilogo, 8);
        s.etichetta(QStringLiteral("LabTotale"), {0, 0, 100, 8}, QStringLiteral("TOTALE"));
    }
    void righe(int n) {
        for (int k = 1; k <= n; ++k) dati.aggiungi({QStringLiteral("P%1").arg(k), k * 1.5, QVariant()});
    }
};

}  // namespace

class TestMotore : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void bandeInOrdineSuPiuPagine() {
        TReportProva p;
        p.righe(60);  // 60 x 11 mm of rows do not fit on one page of 277 mm
        const TDocumentoReport& d = p.r.genera();
        QVERIFY(d.numeroPagine() >= 3);

        // Title once, at the top of page 1; header at the top of every page,
        // with its page number; summary once, after the last row.
        QCOMPARE(d.elementiDi(QStringLiteral("LabTitolo")).size(), 1);
        QCOMPARE(d.pagine[0].elementi.first().nome, QStringLiteral("LabTitolo"));
        for (int i = 0; i < d.numeroPagine(); ++i) {
            const QVector<TElementoPagina>& el = d.pagine[i].elementi;
            const int primo = i == 0 ? 1 : 0;
            QCOMPARE(el[primo].nome, QStringLiteral("Pagina"));
            QCOMPARE(el[primo].testo, QStringLiteral("Pag.%1").arg(i + 1));
            // Nothing of a page lies below the bottom margin.
            for (const TElementoPagina& e : el) QVERIFY(e.area.bottom() <= Pagina::Altezza - Pagina::Margine + 1e-6);
        }
        const auto totali = d.elementiDi(QStringLiteral("LabTotale"));
        QCOMPARE(totali.size(), 1);
        QCOMPARE(d.pagine.last().elementi.last().nome, QStringLiteral("LabTotale"));

        // The rows in dataset order, each detail followed by its child, going
        // down the page.
        QStringList codici;
        for (int i = 0; i < d.numeroPagine(); ++i) {
            double y = -1;
            QString precedente;
            for (const TElementoPagina& e : d.pagine[i].elementi) {
                QVERIFY2(e.area.top() >= y - 1e-9, qPrintable(e.nome));
                y = e.area.top();
                if (e.nome == QLatin1String("LabFiglia")) QCOMPARE(precedente, QStringLiteral("DBImporto"));
                if (e.nome == QLatin1String("DBCodice")) codici << e.testo;
                precedente = e.nome;
            }
        }
        QCOMPARE(codici.size(), 60);
        for (int k = 0; k < 60; ++k) QCOMPARE(codici[k], QStringLiteral("P%1").arg(k + 1));
        QCOMPARE(p.righeFiglia, 60);
    }

    void bandaFigliaSaltataENascosta() {
        TReportProva p;
        p.righe(6);
        int volte = 0;
        p.r.banda(TTipoBanda::Figlia)->primaDiStampare = [&](bool& stampa) {
            ++volte;
            stampa = p.dati.valore(QStringLiteral("CODICE")).toString() != QLatin1String("P3");
        };
        const TDocumentoReport& d = p.r.genera();
        QCOMPARE(volte, 6);
        QCOMPARE(d.elementiDi(QStringLiteral("LabFiglia")).size(), 5);
        // A skipped child takes no place: P4 follows P3 right under it.
        const auto codici = d.elementiDi(QStringLiteral("DBCodice"));
        QCOMPARE(codici[3].area.top() - codici[2].area.top(), 6.0);
        QCOMPARE(codici[2].area.top() - codici[1].area.top(), 11.0);

        // Hidden, or with height 0: no place, no text; hidden also runs no hook.
        volte = 0;
        p.r.banda(TTipoBanda::Figlia)->impostaVisibile(false);
        QCOMPARE(p.r.genera().elementiDi(QStringLiteral("LabFiglia")).size(), 0);
        QCOMPARE(volte, 0);
        p.r.banda(TTipoBanda::Figlia)->impostaVisibile(true);
        p.r.banda(TTipoBanda::Figlia)->impostaAltezza(0);
        const auto c = p.r.genera().elementiDi(QStringLiteral("DBCodice"));
        QCOMPARE(p.r.documento().elementiDi(QStringLiteral("LabFiglia")).size(), 0);
        QCOMPARE(c[1].area.top() - c[0].area.top(), 6.0);
    }

    void hookDiStampaSoloSuTestoNonVuoto() {
        TReportProva p;
        p.dati.aggiungi({QStringLiteral("A"), 2.5, QStringLiteral("nota")});
        p.dati.aggiungi({QStringLiteral("B"), QVariant(), QVariant()});
        p.dati.aggiungi({QStringLiteral("C"), 0.0, QString()});
        QStringList ricevuti;
        p.r.controllo(QStringLiteral("DBImporto"))->allaStampa = [&](QString& t) {
            ricevuti << t;
            t = t + QStringLiteral(" €");
        };
        // A label emptied by a hook prints blank and runs no print hook.
        int etichetta = 0;
        p.r.controllo(QStringLiteral("LabFiglia"))->allaStampa = [&](QString&) { ++etichetta; };
        p.r.banda(TTipoBanda::Dettaglio)->primaDiStampare = [&](bool&) {
            p.r.controllo(QStringLiteral("LabFiglia"))->testo =
                p.dati.valore(QStringLiteral("CODICE")).toString() == QLatin1String("B") ? QString() : QStringLiteral("x");
        };
        const TDocumentoReport& d = p.r.genera();
        QCOMPARE(ricevuti, (QStringList{QStringLiteral("2,5"), QStringLiteral("0")}));
        QCOMPARE(etichetta, 2);
        QStringList importi;
        for (const TElementoPagina& e : d.elementiDi(QStringLiteral("DBImporto"))) importi << e.testo;
        QCOMPARE(importi, (QStringList{QStringLiteral("2,5 €"), QStringLiteral("0 €")}));
        QCOMPARE(d.elementiDi(QStringLiteral("DBNota")).size(), 1);
    }

    void testiVisualizzatiDaUnaTabella() {
        // A query on a real table: the field types give the display texts.
        TArchivio& a = TArchivio::corrente();
        const QString P = a.nomeQualificato(QStringLiteral("prodotti"));
        a.esegui(QStringLiteral("insert into %1 (ID, NOME, PREZZO, QUANTITA, DATAOGGI, SCADUTOTEMP, PREZZO2) "
                                "values (1, 'Caffè', 2.5, 10, '2004-03-01', 1, 1234567.125)").arg(P));
        a.esegui(QStringLiteral("insert into %1 (ID, NOME, PREZZO, SCADUTOTEMP, PREZZO2) values (2, 'Tè', 0.1, 0, 0.00001)").arg(P));
        QSqlQuery q(a.db());
        QVERIFY(q.exec(QStringLiteral("select * from %1 order by ID").arg(P)));
        TDatiQuery dati(&q, Definizioni::CampiProdotti());
        TReport r;
        r.impostaDati(&dati);
        TBanda& b = r.banda(TTipoBanda::Dettaglio, 5);
        int x = 0;
        for (const char* c : {"NOME", "PREZZO", "QUANTITA", "DATAOGGI", "SCADUTOTEMP", "PREZZO2"})
            b.campoDati(QString::fromLatin1(c), {double(x += 20), 0, 20, 5}, QString::fromLatin1(c));
        QCOMPARE(r.genera().testi(0),
                 (QStringList{QStringLiteral("Caffè"), QStringLiteral("2,5"), QStringLiteral("10"), QStringLiteral("01/03/2004"),
                              QStringLiteral("True"), QStringLiteral("1234567,125"), QStringLiteral("Tè"), QStringLiteral("0,1"),
                              QStringLiteral("False"), QStringLiteral("1E-5")}));
        // A field the dataset lacks is an error of the generation.
        b.campoDati(QStringLiteral("Manca"), {0, 0, 10, 5}, QStringLiteral("NONCE"));
        QVERIFY_THROWS_EXCEPTION(ErroreArchivio, r.genera());
    }

    void datasetVuoto() {
        TReportProva p;
        bool hookReport = false;
        p.r.primaDiGenerare = [&] { hookReport = true; };
        const TDocumentoReport& d = p.r.genera();
        QVERIFY(hookReport);
        QCOMPARE(d.numeroPagine(), 1);
        QCOMPARE(d.testi(0), (QStringList{QStringLiteral("TITOLO"), QStringLiteral("Pag.1"), QStringLiteral("Codice"),
                                          QStringLiteral("TOTALE")}));
        QCOMPARE(p.righeFiglia, 0);
        // No dataset at all: the same.
        p.r.impostaDati(nullptr);
        QCOMPARE(p.r.genera().testi(0).size(), 4);
    }

    void hookDelReportPrimaDeiDati() {
        // The report hook fills the dataset: the engine reads it afterwards,
        // and a second generation starts again from the hook.
        TReportProva p;
        int generazioni = 0;
        p.r.primaDiGenerare = [&] {
            ++generazioni;
            p.dati.svuota();
            p.righe(generazioni);
        };
        QCOMPARE(p.r.genera().elementiDi(QStringLiteral("DBCodice")).size(), 1);
        QCOMPARE(p.r.genera().elementiDi(QStringLiteral("DBCodice")).size(), 2);
    }

    void erroreInUnHookRaggiungeIlChiamante_data() {
        QTest::addColumn<int>("dove");
        QTest::newRow("hook del report") << 0;
        QTest::newRow("hook di banda") << 1;
        QTest::newRow("hook di stampa") << 2;
    }
    void erroreInUnHookRaggiungeIlChiamante() {
        QFETCH(int, dove);
        TReportProva p;
        p.righe(3);
        auto guasto = [] { throw ErroreArchivio(QStringLiteral("guasto nel hook")); };
        if (dove == 0) p.r.primaDiGenerare = guasto;
        if (dove == 1) p.r.banda(TTipoBanda::Riepilogo)->primaDiStampare = [&](bool&) { guasto(); };
        if (dove == 2) p.r.controllo(QStringLiteral("DBImporto"))->allaStampa = [&](QString&) { guasto(); };
        // A preview that opened would be closed and noted here.
        bool anteprimaAperta = false;
        QTimer guardia;
        guardia.setInterval(10);
        connect(&guardia, &QTimer::timeout, [&] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                anteprimaAperta = true;
                w->close();
            }
        });
        guardia.start();
        try {
            MostraAnteprima(p.r, nullptr);
            QFAIL("nessun errore");
        } catch (const ErroreArchivio& e) {
            QCOMPARE(e.testo(), QStringLiteral("guasto nel hook"));
        }
        QTest::qWait(50);
        QVERIFY(!anteprimaAperta);
        QCOMPARE(p.r.documento().numeroPagine(), 0);
    }

    void dimensioniImpostateAlMomento() {
        TReportProva p;
        p.righe(2);
        TBanda& s = *p.r.banda(TTipoBanda::Riepilogo);
        TControllo& riquadro = s.forma(QStringLiteral("Riquadro"), {120, 1, 20, 5});
        TControllo& linea = s.forma(QStringLiteral("Linea"), {0, 0, 190, 1}, TTipoForma::LineaOrizzontale);
        p.r.primaDiGenerare = [&] {
            p.r.controllo(QStringLiteral("DBCodice"))->impostaDimensioneFont(14);
            linea.impostaDimensioni(0, 0);
        };
        const TDocumentoReport& d = p.r.genera();
        QCOMPARE(d.font[d.elementiDi(QStringLiteral("DBCodice"))[0].font].pointSizeF(), 14.0);
        QCOMPARE(d.font[d.elementiDi(QStringLiteral("IntCodice"))[0].font].pointSizeF(), 9.0);
        QCOMPARE(d.elementiDi(QStringLiteral("Riquadro")).size(), 1);
        QCOMPARE(d.elementiDi(QStringLiteral("Riquadro"))[0].tipo, TElementoPagina::Rettangolo);
        QCOMPARE(d.elementiDi(QStringLiteral("Linea")).size(), 0);
        // A header cut to its first line drops the controls below the cut.
        p.r.banda(TTipoBanda::IntestazioneColonne)->impostaAltezza(5);
        QCOMPARE(p.r.genera().elementiDi(QStringLiteral("IntCodice")).size(), 0);
        QCOMPARE(p.r.documento().elementiDi(QStringLiteral("Pagina")).size(), 1);
        (void)riquadro;
    }

    // Laid out in steps, a report gives page for page what genera() gives:
    // each step finishes one page more, and the summary closes the last.
    void impaginazioneAPassiUgualeAllIntera() {
        TReportProva p;
        p.righe(300);
        const QStringList intera = p.r.genera().tuttiITesti();
        const int pagine = p.r.documento().numeroPagine();
        QVERIFY(pagine > 10);
        p.r.iniziaGenerazione();
        QVERIFY(p.r.generazioneInCorso());
        QCOMPARE(p.r.documento().numeroPagine(), 0);
        int passi = 0;
        while (!p.r.avanzaGenerazione(1)) {
            ++passi;
            QCOMPARE(p.r.documento().numeroPagine(), passi);
        }
        QVERIFY(!p.r.generazioneInCorso());
        QCOMPARE(p.r.documento().numeroPagine(), pagine);
        QCOMPARE(p.r.documento().tuttiITesti(), intera);
        QCOMPARE(p.righeFiglia, 2 * 300);  // once per run: the same hooks, no row twice
        // Stopped halfway, the pages finished stay and the run is over.
        p.r.iniziaGenerazione();
        p.r.avanzaGenerazione(3);
        p.r.interrompiGenerazione();
        QVERIFY(!p.r.generazioneInCorso());
        QCOMPARE(p.r.documento().numeroPagine(), 3);
        QVERIFY(p.r.avanzaGenerazione(1));
        QCOMPARE(p.r.documento().numeroPagine(), 3);
    }

    // Rows read beside the layout: the same rows and values, in the same
    // order, as the query read in place, over more rows than the queue holds;
    // a reading stopped early ends at once and starts again from the first
    // row; a failure of the engine on a row reaches the layout once and
    // leaves no pages.
    void datiLettiAccanto() {
        TArchivio& a = TArchivio::corrente();
        const QString storico = a.nomeQualificato(Definizioni::Storico);
        const int righe = 3 * TDatiQueryParallela::RigheInCoda + 17;
        a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                "insert into %2 (ID, AZIONE, NOME, QUANTITA, PREZZO, DATAOGGI) select i, 'CARICO', "
                                "'P' || (i % 97), i % 13, i * 0.25, date('2010-01-01', '+' || (i % 400) || ' days') from n")
                     .arg(righe)
                     .arg(storico));
        const QString testo = QStringLiteral("select * from %1 where DATAOGGI >= ? order by DATAOGGI desc, ID").arg(storico);
        const QVariantList parametri{QStringLiteral("2010-02-01")};
        TDatiQueryParallela dati(Definizioni::CampiStorico());
        dati.avvia(testo, parametri, {Definizioni::Storico});
        QSqlQuery q(a.db());
        q.setForwardOnly(true);
        QVERIFY(q.prepare(testo));
        q.bindValue(0, parametri[0]);
        QVERIFY(q.exec());
        const int colonne = q.record().count();
        QCOMPARE(dati.indice(QStringLiteral("prezzo")), q.record().indexOf(QStringLiteral("PREZZO")));
        dati.primo();
        int lette = 0;
        while (q.next()) {
            QVERIFY(!dati.fine());
            for (int c = 0; c < colonne; ++c) QCOMPARE(dati.grezzo(c), q.value(c));
            dati.successivo();
            ++lette;
        }
        QVERIFY(dati.fine());
        QVERIFY(lette > 2 * TDatiQueryParallela::RigheInCoda);

        // Stopped with the queue full: no wait for the rest of the rows.
        dati.avvia(testo, parametri, {Definizioni::Storico});
        for (int i = 0; i < 10; ++i) dati.successivo();
        QElapsedTimer t;
        t.start();
        dati.interrompi();
        QVERIFY(t.elapsed() < 2000);
        QVERIFY(dati.fine());
        dati.avvia(testo, parametri, {Definizioni::Storico});
        int di_nuovo = 0;
        for (dati.primo(); !dati.fine(); dati.successivo()) ++di_nuovo;
        QCOMPARE(di_nuovo, lette);

        // The engine fails on a row well past the first block.
        TReport r;
        r.banda(TTipoBanda::Dettaglio, 5).campoDati(QStringLiteral("DBValore"), {0, 0, 40, 5}, QStringLiteral("V"));
        r.impostaDati(&dati);
        r.primaDiGenerare = [&] {
            dati.avvia(QStringLiteral("select case when ID < %1 then ID else abs(-9223372036854775807 - 1 + ID - ID) "
                                      "end as V from %2 order by ID")
                           .arg(5000)
                           .arg(storico),
                       {}, {Definizioni::Storico});
        };
        for (const bool aPassi : {false, true}) {
            try {
                if (aPassi) {
                    r.iniziaGenerazione();
                    while (!r.avanzaGenerazione(1)) {
                        if (r.generazioneInAttesa()) QThread::msleep(1);
                    }
                } else {
                    r.genera();
                }
                QFAIL("nessun errore");
            } catch (const ErroreArchivio& e) {
                QVERIFY2(e.testo().contains(QStringLiteral("overflow")), qPrintable(e.testo()));
            }
            QCOMPARE(r.documento().numeroPagine(), 0);
            QVERIFY(!r.generazioneInCorso());
            QVERIFY(dati.fine());
        }
    }

    // The preview of a report still being laid out: the page box counts the
    // pages ready ("… di N…"), paging reaches only those, and at the end
    // the total shows without the dots and the last page is the report's.
    void anteprima_impaginaMentreSiSfoglia() {
        TReportProva p;
        p.righe(3000);
        const int totale = p.r.genera().numeroPagine();
        // Rows that take a while each, so that the layout outlasts the checks.
        p.r.banda(TTipoBanda::Figlia)->primaDiStampare = [](bool&) { QThread::usleep(150); };
        p.r.iniziaGenerazione();
        p.r.avanzaGenerazione(1);
        TAnteprimaReport a(p.r);
        QVERIFY(a.inImpaginazione());
        auto* etichetta = a.ui()->lblTotalePagine;
        QCOMPARE(etichetta->text(), QStringLiteral(" di 1… "));
        QVERIFY(!a.ui()->sbStampa->isEnabled());
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        QTRY_VERIFY(p.r.documento().numeroPagine() >= 3);
        QVERIFY(a.inImpaginazione());
        QVERIFY2(QRegularExpression(QStringLiteral("^ di \\d+… $")).match(etichetta->text()).hasMatch(),
                 qPrintable(etichetta->text()));
        a.ui()->sbPaginaSuccessiva->click();
        a.ui()->sbPaginaSuccessiva->click();
        QCOMPARE(a.pagina(), 2);
        QCOMPARE(a.ui()->NumeroPagina->value(), 3);
        a.impostaZoom(1.5);
        // "Last" goes to the last page ready, never beyond it.
        a.ui()->sbUltimaPagina->click();
        QVERIFY(a.pagina() >= 2 && a.pagina() < p.r.documento().numeroPagine());
        QVERIFY(a.ui()->NumeroPagina->maximum() <= p.r.documento().numeroPagine());
        QVERIFY(a.inImpaginazione());
        QTRY_VERIFY_WITH_TIMEOUT(!a.inImpaginazione(), 60000);
        QCOMPARE(etichetta->text(), QStringLiteral(" di %1 ").arg(totale));
        QCOMPARE(a.ui()->NumeroPagina->maximum(), totale);
        QVERIFY(a.ui()->sbStampa->isEnabled());
        a.ui()->sbUltimaPagina->click();
        QCOMPARE(a.pagina(), totale - 1);
        QCOMPARE(p.r.documento().testi(totale - 1).last(), QStringLiteral("TOTALE"));
    }

    // Closing the preview (the button, Escape, or the window going away)
    // while pages are still being laid out stops the layout there.
    void anteprima_chiusaDuranteLImpaginazione_data() {
        QTest::addColumn<int>("come");
        QTest::newRow("Chiudi") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("distrutta") << 2;
    }
    void anteprima_chiusaDuranteLImpaginazione() {
        QFETCH(int, come);
        TReportProva p;
        p.righe(3000);
        p.r.banda(TTipoBanda::Figlia)->primaDiStampare = [](bool&) { QThread::usleep(150); };
        p.r.iniziaGenerazione();
        p.r.avanzaGenerazione(1);
        int pronte = 0;
        {
            TAnteprimaReport a(p.r);
            a.show();
            QVERIFY(QTest::qWaitForWindowExposed(&a));
            QTRY_VERIFY(p.r.documento().numeroPagine() > 2);
            if (come == 0) a.ui()->sbChiudi->click();
            if (come == 1) QTest::keyClick(&a, Qt::Key_Escape);
            if (come < 2) {
                QVERIFY(!a.isVisible());
                QVERIFY(!a.inImpaginazione());
            }
            pronte = p.r.documento().numeroPagine();
        }
        QVERIFY(!p.r.generazioneInCorso());
        QTest::qWait(50);
        QCOMPARE(p.r.documento().numeroPagine(), pronte);
        QVERIFY(!p.r.documento().testi(pronte - 1).contains(QStringLiteral("TOTALE")));
    }

    // A failure in the middle of a long layout closes the preview and
    // reaches whoever opened it, once, leaving no pages.
    void anteprima_erroreDuranteLImpaginazione() {
        TReportProva p;
        p.righe(5000);
        bool aperta = false;
        p.r.controllo(QStringLiteral("DBImporto"))->allaStampa = [&](QString& t) {
            if (t != QStringLiteral("6000")) return;
            aperta = qobject_cast<TAnteprimaReport*>(QApplication::activeModalWidget()) != nullptr;
            throw ErroreArchivio(QStringLiteral("guasto a metà"));
        };
        try {
            MostraAnteprima(p.r, nullptr);
            QFAIL("nessun errore");
        } catch (const ErroreArchivio& e) {
            QCOMPARE(e.testo(), QStringLiteral("guasto a metà"));
        }
        QVERIFY(aperta);
        QCOMPARE(p.r.documento().numeroPagine(), 0);
        QVERIFY(!p.r.generazioneInCorso());
    }

    // The preview paints the page it shows, not the document: opening a long
    // report paints page 1 only, and moving paints the page reached.
    void anteprima_dipingeSoloLaPaginaMostrata() {
        TReportProva p;
        p.righe(2000);
        const TDocumentoReport& d = p.r.genera();
        QVERIFY(d.numeroPagine() > 80);
        TAnteprimaReport a(d);
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        QCOMPARE(a.pagineDipinte(), 1);
        QCOMPARE(a.pagina(), 0);
        a.vaiAPagina(d.numeroPagine() + 5);  // beyond the end: the last page
        QCOMPARE(a.pagina(), d.numeroPagine() - 1);
        QCOMPARE(a.pagineDipinte(), 2);
        const QImage ultima = a.findChild<QLabel*>(QStringLiteral("Foglio"))->pixmap().toImage();
        a.impostaZoom(2);
        QCOMPARE(a.pagineDipinte(), 3);
        QVERIFY(a.findChild<QLabel*>(QStringLiteral("Foglio"))->pixmap().width() > ultima.width());
        // The buttons: at the last page "next" and "last" are off; "first"
        // goes back and paints that page only.
        QVERIFY(!a.ui()->sbUltimaPagina->isEnabled());
        QVERIFY(!a.ui()->sbPaginaSuccessiva->isEnabled());
        a.ui()->sbPrimaPagina->click();
        QCOMPARE(a.pagina(), 0);
        QCOMPARE(a.ui()->NumeroPagina->value(), 1);
        QVERIFY(!a.ui()->sbPaginaPrecedente->isEnabled());
        a.ui()->sbPaginaSuccessiva->click();
        QCOMPARE(a.pagina(), 1);
        QCOMPARE(a.ui()->NumeroPagina->value(), 2);
        QCOMPARE(a.pagineDipinte(), 5);
        // Every button says in Italian what it does.
        const QList<QToolButton*> pulsanti = a.findChildren<QToolButton*>();
        QCOMPARE(pulsanti.size(), 9);
        for (QToolButton* b : pulsanti) {
            QVERIFY2(!b->toolTip().isEmpty(), qPrintable(b->objectName()));
            QVERIFY2(!b->toolTip().contains(QLatin1String("page"), Qt::CaseInsensitive), qPrintable(b->toolTip()));
        }
    }

    // The stored pages give back exactly what was laid out, and take a small
    // part of what the plain elements would.
    void pagineCompatte() {
        TReportProva p;
        p.righe(3000);
        const TDocumentoReport& d = p.r.genera();
        const int n = d.numeroPagine();
        QVERIFY(n > 100);
        QCOMPARE(d.testi(n - 1).last(), QStringLiteral("TOTALE"));
        QCOMPARE(d.testi(n - 1).first(), QStringLiteral("Pag.%1").arg(n));
        const QStringList codici = [&] {
            QStringList l;
            for (const TElementoPagina& e : d.elementiDi(QStringLiteral("DBCodice"))) l << e.testo;
            return l;
        }();
        QCOMPARE(codici.size(), 3000);
        QCOMPARE(codici.last(), QStringLiteral("P3000"));
        // Each row's three elements and child would need well over 100 bytes
        // each as plain elements; stored, a page holds a few bytes a row.
        QVERIFY2(d.pagine.byte() / 3000 < 40, qPrintable(QString::number(d.pagine.byte() / 3000)));
    }

    // What the stored pages hold in memory is their compressed size, not the
    // room the compression worked in: the heap the laid-out document keeps
    // stays near the bytes the list counts, for a text-heavy report of which
    // the plain pages would take several times as much.
    void pagineCompatte_memoriaTenuta() {
        TReportProva p;
        for (int k = 1; k <= 20000; ++k)
            p.dati.aggiungi({QStringLiteral("P%1").arg(k), k * 1.5,
                             QStringLiteral("Nota descrittiva della riga numero %1 del report").arg(k % 50)});
        const size_t prima = HeapInUso();
        const TDocumentoReport& d = p.r.genera();
        const double tenuti = double(HeapInUso()) - double(prima);
        QVERIFY(d.numeroPagine() > 800);
        QVERIFY2(tenuti < 1.5 * d.pagine.byte() + 512 * 1024,
                 qPrintable(QStringLiteral("%1 byte tenuti per %2 byte di pagine").arg(tenuti).arg(d.pagine.byte())));
    }

    // The same too-wide text in the same box comes out the same on every
    // row, and as it would alone; a hook that widens the box or changes the
    // font midway gets the text fitted anew.
    void testoTroppoLargoRipetuto() {
        const QString lungo = QStringLiteral("Descrizione lunghissima che non entra nella colonna");
        auto genera = [&](int righe, const std::function<void(TReportProva&, int)>& hook) {
            auto p = std::make_unique<TReportProva>();
            for (int k = 0; k < righe; ++k) p->dati.aggiungi({lungo, k, QVariant()});
            int riga = 0;
            p->r.banda(TTipoBanda::Dettaglio)->primaDiStampare = [&, q = p.get()](bool&) { hook(*q, riga++); };
            p->r.genera();
            return p;
        };
        auto pezzi = [](const TReportProva& p) {
            QList<QPair<QString, double>> l;
            for (const TElementoPagina& e : p.r.documento().elementiDi(QStringLiteral("DBCodice")))
                l << qMakePair(e.testo, p.r.documento().font[e.font].pointSizeF());
            return l;
        };
        const auto solo = pezzi(*genera(1, [](TReportProva&, int) {}));
        QVERIFY(solo[0].first != lungo || solo[0].second < 9);
        const auto ripetuto = pezzi(*genera(3, [](TReportProva&, int) {}));
        QCOMPARE(ripetuto, (QList<QPair<QString, double>>{solo[0], solo[0], solo[0]}));
        // A box still too narrow, but wider: fitted as it would be alone.
        const auto piuLargo = pezzi(*genera(1, [](TReportProva& p, int) {
            p.r.controllo(QStringLiteral("DBCodice"))->impostaDimensioni(60, 6);
        }));
        QVERIFY(piuLargo[0] != solo[0]);
        const auto cambiato = pezzi(*genera(4, [](TReportProva& p, int riga) {
            TControllo* c = p.r.controllo(QStringLiteral("DBCodice"));
            if (riga == 1) c->impostaDimensioni(60, 6);
            if (riga == 2) c->impostaDimensioni(190, 6);
            if (riga == 3) c->impostaDimensioneFont(5);
        }));
        QCOMPARE(cambiato[0], solo[0]);
        QCOMPARE(cambiato[1], piuLargo[0]);
        QCOMPARE(cambiato[2], qMakePair(lungo, 9.0));
        QCOMPARE(cambiato[3], qMakePair(lungo, 5.0));
    }

    // A page is painted as QPainter's boxed text would paint it, pixel for
    // pixel, whatever the alignment, at the preview's and the printer's
    // resolutions: texts that fit are drawn from their baseline, others
    // (taller than their box, a line break) boxed.
    void pitturaComeIlTestoInRiquadro() {
        TReportProva p;
        p.r.controllo(QStringLiteral("DBImporto"))->allinea(Qt::AlignRight | Qt::AlignVCenter);
        p.r.controllo(QStringLiteral("DBNota"))->allinea(Qt::AlignHCenter | Qt::AlignBottom);
        p.r.controllo(QStringLiteral("LabTotale"))->allinea(Qt::AlignRight | Qt::AlignTop).dimensione(30);
        p.r.controllo(QStringLiteral("LabTitolo"))->dimensione(14);
        p.dati.aggiungi({QStringLiteral("Perché però"), 1234.5, QStringLiteral("àèìòù €")});
        p.dati.aggiungi({QStringLiteral("W"), -0.25, QStringLiteral("riga\ndue")});
        p.dati.aggiungi({QStringLiteral("AVAVAV"), 7, QStringLiteral("Ta Te Yo")});
        const TDocumentoReport& d = p.r.genera();
        for (const double dpi : {96.0, 300.0}) {
            QImage nostra(qRound(Pagina::Larghezza / 25.4 * dpi), qRound(Pagina::Altezza / 25.4 * dpi),
                          QImage::Format_RGB32);
            nostra.setDotsPerMeterX(qRound(dpi / 0.0254));
            nostra.setDotsPerMeterY(qRound(dpi / 0.0254));
            QImage attesa = nostra;
            nostra.fill(Qt::white);
            attesa.fill(Qt::white);
            {
                QPainter pittore(&nostra);
                pittore.setRenderHint(QPainter::TextAntialiasing);
                DipingiPagina(pittore, d, 0);
            }
            {
                QPainter pittore(&attesa);
                pittore.setRenderHint(QPainter::TextAntialiasing);
                const double k = dpi / 25.4;
                for (const TElementoPagina& e : d.pagine[0].elementi) {
                    pittore.setFont(d.font[e.font]);
                    pittore.drawText(QRectF(e.area.x() * k, e.area.y() * k, e.area.width() * k, e.area.height() * k),
                                     e.allineamento | Qt::TextSingleLine, e.testo);
                }
            }
            QCOMPARE(nostra, attesa);
        }
    }

    // A text wider than its box is painted whole in a smaller size, just small
    // enough; a text that fits keeps its size.
    void testoTroppoLargoRimpicciolito_data() {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<double>("mm");
        QTest::addColumn<bool>("ridotto");
        QTest::newRow("data in 16 mm") << QStringLiteral("02/11/2026") << 16.0 << true;
        QTest::newRow("importo in 16 mm") << QStringLiteral("1.234.567,50 €") << 16.0 << true;
        QTest::newRow("data che entra") << QStringLiteral("02/11/2026") << 40.0 << false;
        QTest::newRow("testo vuoto") << QString() << 5.0 << false;
    }
    void testoTroppoLargoRimpicciolito() {
        QFETCH(QString, testo);
        QFETCH(double, mm);
        QFETCH(bool, ridotto);
        QImage foglio(8, 8, QImage::Format_RGB32);
        foglio.setDotsPerMeterX(qRound(1200 / 0.0254));
        foglio.setDotsPerMeterY(qRound(1200 / 0.0254));
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSizeF(10);
        const double larghezza = mm * 1200 / 25.4;
        const QFont g = FontCheEntra(f, testo, larghezza, &foglio);
        const double occupata = QFontMetricsF(g, &foglio).horizontalAdvance(testo);
        QVERIFY2(occupata <= larghezza, qPrintable(QStringLiteral("%1 > %2").arg(occupata).arg(larghezza)));
        QCOMPARE(g.pointSizeF() < f.pointSizeF(), ridotto);
        if (ridotto) QVERIFY2(occupata > 0.85 * larghezza, qPrintable(QString::number(occupata / larghezza)));
    }

    // Printing from the preview prints the pages the print dialog names: all,
    // a range "from … to" (clamped to the document), or the page shown; in
    // reverse order when asked; a PDF file gets every copy asked for,
    // collated or page by page.
    void stampaPagineScelte_data() {
        QTest::addColumn<int>("intervallo");
        QTest::addColumn<int>("da");
        QTest::addColumn<int>("a");
        QTest::addColumn<bool>("inverso");
        QTest::addColumn<int>("copie");
        QTest::addColumn<bool>("fascicola");
        QTest::addColumn<QStringList>("pagine");
        const int tutte = QPrinter::AllPages, intervallo = QPrinter::PageRange, corrente = QPrinter::CurrentPage;
        QTest::newRow("tutte") << tutte << 0 << 0 << false << 1 << true << QStringList{"1", "2", "3", "4"};
        QTest::newRow("pagine da 2 a 3") << intervallo << 2 << 3 << false << 1 << true << QStringList{"2", "3"};
        QTest::newRow("da 3 a oltre la fine") << intervallo << 3 << 99 << false << 1 << true << QStringList{"3", "4"};
        QTest::newRow("pagina mostrata") << corrente << 0 << 0 << false << 1 << true << QStringList{"3"};
        QTest::newRow("ordine inverso") << intervallo << 2 << 3 << true << 1 << true << QStringList{"3", "2"};
        QTest::newRow("due copie fascicolate") << intervallo << 2 << 3 << false << 2 << true
                                               << QStringList{"2", "3", "2", "3"};
        QTest::newRow("due copie non fascicolate") << intervallo << 2 << 3 << false << 2 << false
                                                   << QStringList{"2", "2", "3", "3"};
    }
    void stampaPagineScelte() {
        QFETCH(int, intervallo);
        QFETCH(int, da);
        QFETCH(int, a);
        QFETCH(bool, inverso);
        QFETCH(int, copie);
        QFETCH(bool, fascicola);
        QFETCH(QStringList, pagine);
        TReportProva p;
        p.righe(80);  // 22 rows on page 1, 24 on pages 2 and 3, 10 and the summary on page 4
        const TDocumentoReport& d = p.r.genera();
        QCOMPARE(d.numeroPagine(), 4);
        TAnteprimaReport anteprima(d);
        anteprima.vaiAPagina(2);
        const QString pdf = m_amb->file(QStringLiteral("pagine.pdf"));
        QPrinter stampante(QPrinter::HighResolution);
        stampante.setOutputFormat(QPrinter::PdfFormat);
        stampante.setOutputFileName(pdf);
        stampante.setFullPage(true);
        stampante.setPrintRange(static_cast<QPrinter::PrintRange>(intervallo));
        stampante.setFromTo(da, a);
        stampante.setPageOrder(inverso ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
        stampante.setCopyCount(copie);
        stampante.setCollateCopies(fascicola);
        anteprima.stampaSu(stampante);

        // pdftotext ends every page with a form feed.
        QStringList fogli = Pdftotext(pdf).split(QLatin1Char('\f'));
        fogli.removeLast();
        QStringList stampate;
        for (const QString& foglio : fogli) {
            const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pag\\.(\\d+)")).match(foglio);
            stampate << (m.hasMatch() ? m.captured(1) : QStringLiteral("?"));
        }
        QCOMPARE(stampate, pagine);
        // The first printed page starts as that page of the document does.
        const QString primo = d.testi(pagine.first().toInt() - 1).first();
        QCOMPARE(fogli.first().trimmed().left(primo.size()), primo);
    }

    // A PDF printed from the preview is painted beside the window with its
    // progress in pages; stopped halfway, it leaves no file behind (and an
    // earlier file of that name as it was); let to the end, it takes its name.
    void stampa_pdfFermatoNonLasciaFile() {
        TReportProva p;
        p.righe(400);
        const TDocumentoReport& d = p.r.genera();
        TAnteprimaReport anteprima(d);
        anteprima.show();
        QVERIFY(QTest::qWaitForWindowExposed(&anteprima));
        const QString pdf = m_amb->file(QStringLiteral("stampa.pdf"));
        {
            QFile vecchio(pdf);
            QVERIFY(vecchio.open(QIODevice::WriteOnly));
            vecchio.write("vecchio");
        }
        const QStringList prima = QDir(m_amb->file(QString())).entryList(QDir::Files);
        QPrinter stampante(QPrinter::HighResolution);
        stampante.setOutputFormat(QPrinter::PdfFormat);
        stampante.setOutputFileName(pdf);
        stampante.setFullPage(true);
        stampante.setCopyCount(200);  // thousands of pages: long enough to stop
        QString avanzamento;
        bool chiusuraRifiutata = false;
        QTimer guardia;
        guardia.setInterval(10);
        connect(&guardia, &QTimer::timeout, [&] {
            auto* box = anteprima.findChild<TFrmAvanzamento*>();
            if (!box || !box->isVisible()) return;
            guardia.stop();
            avanzamento = box->ui()->LabelAvanzamento->text();
            chiusuraRifiutata = !anteprima.close();
            box->ui()->sbFerma->click();
        });
        guardia.start();
        QVERIFY(!anteprima.stampaSu(stampante));
        QVERIFY2(QRegularExpression(QStringLiteral("^[0-9.]+ di [0-9.]+ pagine$")).match(avanzamento).hasMatch(),
                 qPrintable(avanzamento));
        QVERIFY(chiusuraRifiutata);
        QCOMPARE(QDir(m_amb->file(QString())).entryList(QDir::Files), prima);
        {
            QFile vecchio(pdf);
            QVERIFY(vecchio.open(QIODevice::ReadOnly));
            QCOMPARE(vecchio.readAll(), QByteArray("vecchio"));
        }
        QCOMPARE(stampante.outputFileName(), pdf);
        // The window's buttons are back as page 1 has them.
        QVERIFY(!anteprima.ui()->sbPaginaPrecedente->isEnabled());
        QVERIFY(!anteprima.ui()->sbPrimaPagina->isEnabled());
        QVERIFY(anteprima.ui()->sbPaginaSuccessiva->isEnabled());
        QVERIFY(anteprima.ui()->sbStampa->isEnabled());

        stampante.setCopyCount(1);
        QVERIFY(anteprima.stampaSu(stampante));
        QCOMPARE(QDir(m_amb->file(QString())).entryList(QDir::Files), prima);
        QStringList fogli = Pdftotext(pdf).split(QLatin1Char('\f'));
        fogli.removeLast();
        QCOMPARE(fogli.size(), d.numeroPagine());
        QVERIFY(fogli.last().contains(QStringLiteral("TOTALE")));
    }

    // The print dialog of the preview offers the range "from … to" over the
    // document's pages, and the page shown.
    void stampa_dialogoConIntervallo() {
        TReportProva p;
        p.righe(80);
        const TDocumentoReport& d = p.r.genera();
        QVERIFY(CaricaTraduzioniQt());
        TAnteprimaReport anteprima(d);
        // Read while the dialog is open, checked once it is closed.
        bool dialogoDiStampa = false, intervallo = false, paginaCorrente = false, abilitato = false;
        int minimo = 0, massimo = 0, fino = 0;
        QString testo;
        QuandoSiApre([&](QWidget* w) {
            if (auto* dialogo = qobject_cast<QPrintDialog*>(w)) {
                dialogoDiStampa = true;
                intervallo = dialogo->testOption(QAbstractPrintDialog::PrintPageRange);
                paginaCorrente = dialogo->testOption(QAbstractPrintDialog::PrintCurrentPage);
                minimo = dialogo->minPage();
                massimo = dialogo->maxPage();
                if (auto* scelta = dialogo->findChild<QRadioButton*>(QStringLiteral("printRange"))) {
                    abilitato = scelta->isEnabled();
                    testo = scelta->text();
                }
                if (auto* a = dialogo->findChild<QSpinBox*>(QStringLiteral("to"))) fino = a->maximum();
            }
            qobject_cast<QDialog*>(w)->reject();
        }, &anteprima);
        anteprima.stampa();
        QVERIFY(dialogoDiStampa);
        QVERIFY(intervallo);
        QVERIFY(paginaCorrente);
        QCOMPARE(minimo, 1);
        QCOMPARE(massimo, d.numeroPagine());
        QVERIFY(abilitato);
        QVERIFY2(testo.startsWith(QStringLiteral("Pagine")), qPrintable(testo));
        QCOMPARE(fino, d.numeroPagine());
    }

    void anteprimaEPdf() {
        TReportProva p;
        p.r.titoloLavoro = QStringLiteral("Stampa di prova");
        p.dati.aggiungi({QStringLiteral("Perché però"), 1234.5, QStringLiteral("10,00 €")});
        p.r.controllo(QStringLiteral("LabTitolo"))->testo = QStringLiteral("Quantità àèìòù");
        QString titolo;
        QImage immagine;
        QuandoSiApre([&](QWidget* w) {
            titolo = w->windowTitle();
            QVERIFY(qobject_cast<TAnteprimaReport*>(w));
            immagine = w->grab().toImage();
            w->close();
        });
        MostraAnteprima(p.r, nullptr, QStringLiteral("Finestra di prova"));
        QCOMPARE(titolo, QStringLiteral("Finestra di prova"));
        QVERIFY(!immagine.isNull());

        const QString pdf = m_amb->file(QStringLiteral("prova.pdf"));
        p.r.salvaPdf(pdf);
        const QString testo = Pdftotext(pdf);
        for (const char* atteso : {"Quantità àèìòù", "Pag.1", "Perché però", "1234,5", "10,00 €", "TOTALE"})
            QVERIFY2(testo.contains(QString::fromUtf8(atteso)), atteso);
        QVERIFY(!ScriviPdf(p.r.documento(), m_amb->file(QStringLiteral("manca/prova.pdf"))));
    }
};

QTEST_MAIN(TestMotore)
#include "test_motore.moc"
