// The charts: the week and month groups (a week across the new year), the
// cash-flow chart's points and totals against sqlite3 and the report over the
// same period, a product's loads, unloads, other changes and balance against
// the history window's running balance, and the chart written as PNG and PDF
// and printed; the windows that open it.

#include "AmbienteTest.h"
#include "DatiProva.h"
#include "ProveStampe.h"
#include "data/DatiGrafici.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/Grafico.h"
#include "movements/CaricoScarico.h"
#include "movements/PannelloProdotti.h"
#include "movements/StoricoMovimenti.h"
#include "registries/AnagProdotti.h"
#include "reports/SetStampe.h"
#include "reports/StampaFlussi.h"
#include "ui_AnagProdotti.h"
#include "ui_CaricoScarico.h"
#include "ui_Grafico.h"
#include "ui_SetStampe.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineSeries>
#include <QPrinter>
#include <QTimer>
#include <QtTest>

namespace {

void Esegui(const QString& sql) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QString(sql)
                 .replace(QLatin1String("$S"), a.nomeQualificato(Definizioni::Storico))
                 .replace(QLatin1String("$P"), a.nomeQualificato(Definizioni::Prodotti)));
}

// A winter across the new year: loads, unloads, a reversed load (its
// reversal with the opposite amounts), adjustments with their negative
// amounts, a stocktake row without amounts, cents that do not add up exactly
// in binary, and rows just outside the period 01/12/2025 - 28/02/2026.
void ScriviFlussi() {
    Esegui(QStringLiteral(
        "insert into $S (ID, AZIONE, IDPROD, NOME, QUANTITA, DATAOGGI, PREZZO, PREZZOACQ, STORNA, STORNATODA) values "
        "(1, 'CARICO', 1, 'A', 10, '2025-11-30', NULL, 99.99, NULL, NULL),"
        "(2, 'CARICO', 1, 'A', 10, '2025-12-01', NULL, 0.10, NULL, NULL),"
        "(3, 'SCARICO', 1, 'A', 2, '2025-12-01', 0.20, NULL, NULL, NULL),"
        "(4, 'SCARICO', 2, 'B', 1, '2025-12-28', 1234.50, NULL, NULL, NULL),"
        "(5, 'CARICO', 2, 'B', 3, '2025-12-29', NULL, 10.05, NULL, 6),"
        "(6, 'CARICO', 2, 'B', -3, '2025-12-29', NULL, -10.05, 5, NULL),"
        "(7, 'SCARICO', 1, 'A', 1, '2025-12-31', 0.30, 0.10, NULL, NULL),"
        "(8, 'AGGIUSTAMENTO', 1, 'A', 1, '2026-01-02', -0.20, -0.10, NULL, NULL),"
        "(9, 'INVENTARIO', 2, 'B', -1, '2026-01-04', NULL, NULL, NULL, NULL),"
        "(10, 'SCARICO', 2, 'B', 2, '2026-01-05', 45.15, NULL, NULL, NULL),"
        "(11, 'CARICO', 1, 'A', 4, '2026-02-28', NULL, 33.33, NULL, NULL),"
        "(12, 'SCARICO', 1, 'A', 4, '2026-03-01', 77.77, NULL, NULL, NULL)"));
}
const QDate DaFlussi(2025, 12, 1), AFlussi(2026, 2, 28);

// Two decimals; a sum that cancels out to a few units of rounding reads 0.00, not -0.00.
QString Cent(double v) { return QString::number(v, 'f', 2).replace(QLatin1String("-0.00"), QLatin1String("0.00")); }

// The groups' first days and sums as sqlite3 computes them on the history
// file, one "day|purchases|sales" text per group.
QStringList GruppiSqlite(TRaggruppamento r, const QString& azione) {
    QString gruppo = QStringLiteral("DATAOGGI");
    if (r == TRaggruppamento::Settimana) gruppo = QStringLiteral("date(DATAOGGI, 'weekday 0', '-6 days')");
    if (r == TRaggruppamento::Mese) gruppo = QStringLiteral("strftime('%Y-%m-01', DATAOGGI)");
    QString sql = QStringLiteral("select %1, printf('%.2f', total(PREZZOACQ)), printf('%.2f', total(PREZZO)) from storico "
                                 "where DATAOGGI between '%2' and '%3'")
                      .arg(gruppo, DaFlussi.toString(Qt::ISODate), AFlussi.toString(Qt::ISODate));
    if (!azione.isEmpty()) sql += QStringLiteral(" and AZIONE = '%1'").arg(azione);
    sql += QStringLiteral(" group by 1 order by 1");
    return Sqlite3(TArchivio::corrente().percorsoFile(Definizioni::Storico), sql)
        .replace(QLatin1String("|-0.00"), QLatin1String("|0.00"))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList PuntiGrafico(const TFrmGrafico& g) {
    QStringList l;
    const QList<QPointF> acq = g.serie(QStringLiteral("Acquisti"))->points();
    const QList<QPointF> ven = g.serie(QStringLiteral("Vendite"))->points();
    const QList<QPointF> diff = g.serie(QStringLiteral("Differenza"))->points();
    for (int i = 0; i < acq.size(); ++i) {
        const QDate giorno = QDateTime::fromMSecsSinceEpoch(qint64(acq[i].x())).date();
        if (Cent(diff[i].y()) != Cent(ven[i].y() - acq[i].y())) l << QStringLiteral("differenza errata");
        l << QStringLiteral("%1|%2|%3").arg(giorno.toString(Qt::ISODate), Cent(acq[i].y()), Cent(ven[i].y()));
    }
    return l;
}

TParametriGrafico Flussi(const QString& azione, const QString& descrizione) {
    TParametriGrafico p;
    p.tipo = TParametriGrafico::Tipo::Flussi;
    p.da = DaFlussi;
    p.a = AFlussi;
    p.azione = azione;
    p.descrizioneAzioni = descrizione;
    return p;
}

TParametriGrafico Prodotto(qint64 id) {
    TParametriGrafico p;
    p.tipo = TParametriGrafico::Tipo::Prodotto;
    p.idProdotto = id;
    return p;
}

// Product 1 with a load, an unload, a reversed load, a stock adjustment, an
// adjustment of sales (no change to the balance) and a stocktake difference,
// across the new year; product 2 with one row; product 3 without history;
// product 9, deleted, with two rows. A row of another product on each day.
void ScriviProdotti() {
    Esegui(QStringLiteral("insert into $P (ID, NOME, DESCRIZIONE, QUANTITA) values "
                          "(1, 'CAFFE', 'Caffè in grani', 4), (2, 'TE', 'Tè verde', 7), (3, 'MIELE', 'Miele', 0)"));
    Esegui(QStringLiteral(
        "insert into $S (ID, AZIONE, IDPROD, NOME, DESCRIZIONE, QUANTITA, DATAOGGI, PREZZO, PREZZOACQ, STORNA, STORNATODA) values "
        "(1, 'CARICO', 1, 'CAFFE', 'Caffè', 10, '2025-12-30', NULL, 30, NULL, NULL),"
        "(2, 'SCARICO', 1, 'CAFFE', 'Caffè', 3, '2025-12-31', 12, NULL, NULL, NULL),"
        "(3, 'CARICO', 1, 'CAFFE', 'Caffè', 5, '2026-01-02', NULL, 15, NULL, 4),"
        "(4, 'CARICO', 1, 'CAFFE', 'Caffè', -5, '2026-01-02', NULL, -15, 3, NULL),"
        "(5, 'AGGIUSTAMENTO', 1, 'CAFFE', 'Caffè', 2, '2026-01-05', NULL, -6, NULL, NULL),"
        "(6, 'AGGIUSTAMENTO', 1, 'CAFFE', 'Caffè', 1, '2026-01-06', -4, -3, NULL, NULL),"
        "(7, 'INVENTARIO', 1, 'CAFFE', 'Caffè', -1, '2026-02-10', NULL, NULL, NULL, NULL),"
        "(8, 'CARICO', 2, 'TE', 'Tè', 7, '2025-12-30', NULL, 7, NULL, NULL),"
        "(9, 'CARICO', 9, 'ZENZERO', 'Zenzero', 6, '2026-01-02', NULL, 6, NULL, NULL),"
        "(10, 'SCARICO', 9, 'ZENZERO', 'Zenzero candito', 2, '2026-02-03', 5, NULL, NULL, NULL)"));
}

// "day|loads|unloads|other|balance" per group.
QStringList Righe(const QVector<TMovimentiGiorno>& gruppi) {
    QStringList l;
    for (const TMovimentiGiorno& g : gruppi)
        l << QStringLiteral("%1|%2|%3|%4|%5").arg(g.giorno.toString(Qt::ISODate)).arg(g.carichi).arg(g.scarichi)
                 .arg(g.rettifiche).arg(g.saldo);
    return l;
}

// Runs the action on the chart window once it is the active modal one (the
// reading's progress box of a slow run may come first and is passed by).
void QuandoSiApreIlGrafico(const std::function<void(TFrmGrafico*)>& azione) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, azione] {
        auto* g = qobject_cast<TFrmGrafico*>(QApplication::activeModalWidget());
        if (g && g->isVisible()) {
            timer->stop();
            timer->deleteLater();
            azione(g);
        }
    });
    timer->start();
}

bool ImmagineDisegnata(const QString& file) {
    const QImage img(file);
    if (img.size() != QSize(1123, 794)) return false;
    int colorati = 0;
    for (int y = 0; y < img.height(); y += 4)
        for (int x = 0; x < img.width(); x += 4) {
            const QColor c = img.pixelColor(x, y);
            if (c.saturation() > 80) ++colorati;
        }
    return colorati > 50;  // the series' coloured lines, not a blank page
}

}  // namespace

class TestGrafici : public TProvaConAmbiente {
    Q_OBJECT

private slots:
    void inizioGruppo_data() {
        QTest::addColumn<QDate>("giorno");
        QTest::addColumn<int>("raggruppamento");
        QTest::addColumn<QDate>("inizio");
        const int G = int(TRaggruppamento::Giorno), S = int(TRaggruppamento::Settimana), M = int(TRaggruppamento::Mese);
        QTest::newRow("giorno") << QDate(2026, 1, 1) << G << QDate(2026, 1, 1);
        QTest::newRow("lunedì è il primo della settimana") << QDate(2025, 12, 29) << S << QDate(2025, 12, 29);
        QTest::newRow("settimana a cavallo dell'anno: mercoledì") << QDate(2025, 12, 31) << S << QDate(2025, 12, 29);
        QTest::newRow("settimana a cavallo dell'anno: domenica") << QDate(2026, 1, 4) << S << QDate(2025, 12, 29);
        QTest::newRow("lunedì dopo") << QDate(2026, 1, 5) << S << QDate(2026, 1, 5);
        QTest::newRow("ultimo del mese") << QDate(2026, 1, 31) << M << QDate(2026, 1, 1);
        QTest::newRow("29 febbraio") << QDate(2024, 2, 29) << M << QDate(2024, 2, 1);
    }
    void inizioGruppo() {
        QFETCH(QDate, giorno);
        QFETCH(int, raggruppamento);
        QFETCH(QDate, inizio);
        QCOMPARE(InizioGruppo(giorno, TRaggruppamento(raggruppamento)), inizio);
    }

    void flussiComeSqliteELaStampa_data() {
        QTest::addColumn<int>("raggruppamento");
        QTest::addColumn<int>("quali");
        for (const int r : {int(TRaggruppamento::Giorno), int(TRaggruppamento::Settimana), int(TRaggruppamento::Mese)})
            for (const int q : {int(StampaTutti), int(StampaCarichi), int(StampaAggiustamenti)})
                QTest::addRow("%s, %s", qPrintable(NomeRaggruppamento(TRaggruppamento(r))), qPrintable(TestoQuali(q)))
                    << r << q;
    }
    void flussiComeSqliteELaStampa() {
        QFETCH(int, raggruppamento);
        QFETCH(int, quali);
        ScriviFlussi();
        const TRaggruppamento r = TRaggruppamento(raggruppamento);
        TFrmGrafico g(Flussi(AzioneQuali(quali), TestoQuali(quali)));
        g.impostaRaggruppamento(r);
        QCOMPARE(g.raggruppamento(), r);
        QCOMPARE(PuntiGrafico(g), GruppiSqlite(r, AzioneQuali(quali)));
        // The totals shown are the report's over the same period, to the cent.
        TfrmStampaFlussi stampa(nullptr);
        stampa.CarattereStampa = 10;
        stampa.DataDa = DaFlussi.toString(QStringLiteral("MM/dd/yyyy"));
        stampa.DataA = AFlussi.toString(QStringLiteral("MM/dd/yyyy"));
        stampa.QueryFlussi = QueryFlussi(DaFlussi, AFlussi, quali, false);
        const TDocumentoReport& d = stampa.report().genera();
        QCOMPARE(g.testoTotali(), QStringLiteral("Totale acquisti: %1    Totale vendite: %2    Differenza: %3")
                                      .arg(Testi(d, QStringLiteral("LabTotAcq")).value(0),
                                           Testi(d, QStringLiteral("LabTotVen")).value(0),
                                           Testi(d, QStringLiteral("QRlabDifferenza")).value(0).mid(12)));
    }

    void flussiAMano() {
        // The weeks worked by hand: the reversal takes its load back, the
        // stocktake row adds nothing, 28/12 (a Sunday) closes its week and
        // 29/12 - 04/01 is one week across the new year.
        ScriviFlussi();
        TFrmGrafico g(Flussi(QString(), QStringLiteral("Tutti")));
        g.impostaRaggruppamento(TRaggruppamento::Settimana);
        QCOMPARE(PuntiGrafico(g), (QStringList{QStringLiteral("2025-12-01|0.10|0.20"), QStringLiteral("2025-12-22|0.00|1234.50"),
                                              QStringLiteral("2025-12-29|0.00|0.10"), QStringLiteral("2026-01-05|0.00|45.15"),
                                              QStringLiteral("2026-02-23|33.33|0.00")}));
        QCOMPARE(g.testoTotali(), QStringLiteral("Totale acquisti: 33,43 €    Totale vendite: 1.279,95 €    Differenza: 1.246,52 €"));
        QCOMPARE(g.titolo(), QStringLiteral("Flussi dal 01/12/2025 al 28/02/2026 - Tutti"));
        // A period without rows: no point, and the window says so.
        TParametriGrafico vuoto = Flussi(QString(), QStringLiteral("Tutti"));
        vuoto.da = vuoto.a = QDate(2026, 6, 1);
        TFrmGrafico nessuno(vuoto);
        QCOMPARE(nessuno.serie(QStringLiteral("Vendite"))->count(), 0);
        QCOMPARE(nessuno.testoTotali(), QStringLiteral("Nessuna operazione effettuata nel periodo selezionato."));
    }

    void prodotto_data() {
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QStringList>("settimane");
        QTest::addColumn<QStringList>("mesi");
        QTest::addColumn<QString>("totali");
        QTest::newRow("storni, aggiustamenti e inventario")
            << qint64(1) << QStringLiteral("Prodotto CAFFE - Caffè in grani")
            << QStringList{QStringLiteral("2025-12-29|10|3|0|7"), QStringLiteral("2026-01-05|0|0|-2|5"),
                           QStringLiteral("2026-02-09|0|0|-1|4")}
            << QStringList{QStringLiteral("2025-12-01|10|3|0|7"), QStringLiteral("2026-01-01|0|0|-2|5"),
                           QStringLiteral("2026-02-01|0|0|-1|4")}
            << QStringLiteral("Giacenza attuale: 4    Carichi: 10    Scarichi: 3    Rettifiche: -3");
        QTest::newRow("una riga") << qint64(2) << QStringLiteral("Prodotto TE - Tè verde")
                                  << QStringList{QStringLiteral("2025-12-29|7|0|0|7")}
                                  << QStringList{QStringLiteral("2025-12-01|7|0|0|7")}
                                  << QStringLiteral("Giacenza attuale: 7    Carichi: 7    Scarichi: 0    Rettifiche: 0");
        QTest::newRow("senza storico")
            << qint64(3) << QStringLiteral("Prodotto MIELE - Miele") << QStringList() << QStringList()
            << QStringLiteral("Giacenza attuale: 0    Nessun movimento nello storico per questo prodotto.");
        QTest::newRow("eliminato: nome dallo storico, saldo da 0")
            << qint64(9) << QStringLiteral("Prodotto ZENZERO - Zenzero candito")
            << QStringList{QStringLiteral("2025-12-29|6|0|0|6"), QStringLiteral("2026-02-02|0|2|0|4")}
            << QStringList{QStringLiteral("2026-01-01|6|0|0|6"), QStringLiteral("2026-02-01|0|2|0|4")}
            << QStringLiteral("Giacenza attuale: 4    Carichi: 6    Scarichi: 2    Rettifiche: 0");
    }
    void prodotto() {
        QFETCH(qint64, id);
        QFETCH(QString, titolo);
        QFETCH(QStringList, settimane);
        QFETCH(QStringList, mesi);
        QFETCH(QString, totali);
        ScriviProdotti();
        const TAndamentoProdotto andamento = AndamentoProdotto(TArchivio::corrente(), id);
        QCOMPARE(Righe(RaggruppaMovimenti(andamento.giorni, TRaggruppamento::Settimana)), settimane);
        QCOMPARE(Righe(RaggruppaMovimenti(andamento.giorni, TRaggruppamento::Mese)), mesi);

        // Each day's balance is the history window's balance after that day's last row.
        if (andamento.trovato) {
            TFiltroStorico filtro;
            filtro.prodotto = andamento.nome;
            TLettoreStorico lettore(TArchivio::corrente(), filtro);
            QMap<QDate, qint64> saldoFineGiorno;
            for (const TRigaMovimento& m : lettore.prossime(1000))
                if (!saldoFineGiorno.contains(m.data)) saldoFineGiorno.insert(m.data, m.saldo.toLongLong());
            QCOMPARE(andamento.giorni.size(), saldoFineGiorno.size());
            for (const TMovimentiGiorno& g : andamento.giorni) QCOMPARE(g.saldo, saldoFineGiorno.value(g.giorno));
        }

        TFrmGrafico g(Prodotto(id));
        QCOMPARE(g.titolo(), titolo);
        QCOMPARE(g.testoTotali(), totali);
        QCOMPARE(g.raggruppamento(), TRaggruppamento::Settimana);
        QCOMPARE(g.serie(QStringLiteral("Giacenza"))->count(), settimane.size());
        g.impostaRaggruppamento(TRaggruppamento::Mese);
        QStringList visti;
        const QList<QPointF> saldo = g.serie(QStringLiteral("Giacenza"))->points();
        const QList<QPointF> car = g.serie(QStringLiteral("Carichi"))->points();
        const QList<QPointF> sca = g.serie(QStringLiteral("Scarichi"))->points();
        const QList<QPointF> ret = g.serie(QStringLiteral("Rettifiche"))->points();
        for (int i = 0; i < saldo.size(); ++i)
            visti << QStringLiteral("%1|%2|%3|%4|%5")
                         .arg(QDateTime::fromMSecsSinceEpoch(qint64(saldo[i].x())).date().toString(Qt::ISODate))
                         .arg(car[i].y()).arg(sca[i].y()).arg(ret[i].y()).arg(saldo[i].y());
        QCOMPARE(visti, mesi);
    }

    void pngPdfEStampa() {
        ScriviFlussi();
        TFrmGrafico g(Flussi(QString(), QStringLiteral("Tutti")));
        g.impostaRaggruppamento(TRaggruppamento::Mese);
        // Through the buttons: a name without extension gets it.
        m_amb->risposte.fileDaSalvare << m_amb->file(QStringLiteral("flussi")) << m_amb->file(QStringLiteral("flussi.PNG"));
        g.ui()->BTSalvaPdf->click();
        g.ui()->BTSalvaPng->click();
        QVERIFY(ImmagineDisegnata(m_amb->file(QStringLiteral("flussi.PNG"))));
        const QString testo = Pdftotext(m_amb->file(QStringLiteral("flussi.pdf")));
        for (const QString& atteso : {QStringLiteral("Flussi dal 01/12/2025 al 28/02/2026 - Tutti"), QStringLiteral("Mese (dal giorno 1)"), QStringLiteral("Acquisti"),
                                      QStringLiteral("Vendite"), QStringLiteral("Differenza"),
                                      QStringLiteral("Totale vendite: 1.279,95 €"), QStringLiteral("1.000,00 €")})
            QVERIFY2(testo.contains(atteso), qPrintable(atteso + QStringLiteral(" non in: ") + testo));
        // Dates on the time axis as dd/MM/yyyy.
        QVERIFY2(testo.contains(QRegularExpression(QStringLiteral("\\b\\d\\d/\\d\\d/20(25|26)\\b"))), qPrintable(testo));
        // Cancelled: nothing written, nothing said.
        g.ui()->BTSalvaPdf->click();
        // A folder that does not exist.
        const QString errato = m_amb->file(QStringLiteral("manca/grafico.pdf"));
        m_amb->risposte.fileDaSalvare << errato;
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Impossibile salvare il grafico nel file ") +
                                                             QDir::toNativeSeparators(errato) + QLatin1Char('.'));
        g.ui()->BTSalvaPdf->click();
        QVERIFY(!QFile::exists(errato));

        // The printout is the same drawing.
        QPrinter stampante(QPrinter::ScreenResolution);
        stampante.setOutputFormat(QPrinter::PdfFormat);
        stampante.setOutputFileName(m_amb->file(QStringLiteral("stampa.pdf")));
        g.stampaSu(stampante);
        const QString stampato = Pdftotext(m_amb->file(QStringLiteral("stampa.pdf")));
        QVERIFY2(stampato.contains(QStringLiteral("Totale acquisti: 33,43 €")), qPrintable(stampato));

        // A product's chart: quantities, not money.
        ScriviProdotti();
        TFrmGrafico p(Prodotto(1));
        QVERIFY(p.salvaPdf(m_amb->file(QStringLiteral("caffe.pdf"))));
        const QString caffe = Pdftotext(m_amb->file(QStringLiteral("caffe.pdf")));
        for (const QString& atteso : {QStringLiteral("Prodotto CAFFE - Caffè in grani"), QStringLiteral("Carichi"),
                                      QStringLiteral("Giacenza"), QStringLiteral("Settimana (dal lunedì)")})
            QVERIFY2(caffe.contains(atteso), qPrintable(atteso + QStringLiteral(" non in: ") + caffe));
        QVERIFY(!caffe.contains(QStringLiteral("€")));
    }

    void finestreCheLoAprono() {
        ScriviProdotti();
        // The cash-flow tab: its period and its actions.
        {
            TfrmSetStampe w;
            Mostra(w);
            w.ui()->PageControl->setCurrentWidget(w.ui()->TabFlussi);
            w.ui()->EDdaDataFlussi->setText(QStringLiteral("01/12/2025"));
            w.ui()->EDaDataFlussi->setText(QStringLiteral("28/02/2026"));
            w.scegliVoce(QStringLiteral("rgQualiFlussi"), StampaCarichi);
            QString titolo, totali;
            QuandoSiApreIlGrafico([&](TFrmGrafico* g) {
                titolo = g->titolo();
                totali = g->testoTotali();
                QVERIFY(g->width() <= 1024 && g->height() <= 768);
                QTest::keyClick(g, Qt::Key_Escape);
            });
            w.ui()->BTSgrafico->click();
            QCOMPARE(titolo, QStringLiteral("Flussi dal 01/12/2025 al 28/02/2026 - Carichi"));
            QCOMPARE(totali, QStringLiteral("Totale acquisti: 43,00 €    Totale vendite: 0,00 €    Differenza: -43,00 €"));
        }
        // The products registry: the product shown.
        {
            TFrmAnagProdotti f;
            QVERIFY(MostraAttiva(&f));
            QString titolo;
            QuandoSiApreIlGrafico([&](TFrmGrafico* g) {
                titolo = g->titolo();
                QTest::keyClick(g, Qt::Key_Escape);
            });
            f.ui()->BTGrafico->click();
            QCOMPARE(titolo, QStringLiteral("Prodotto CAFFE - Caffè in grani"));
        }
        // The load / unload window: the product of the list's row.
        {
            TFrmCaricoScarico f;
            QVERIFY(MostraAttiva(&f));
            f.pannello()->vaiARiga(1);
            const int id = f.pannello()->idProdotto();
            QString titolo;
            QuandoSiApreIlGrafico([&](TFrmGrafico* g) {
                titolo = g->titolo();
                g->ui()->sbEsci->click();
            });
            f.ui()->BTGrafico->click();
            QCOMPARE(titolo, TFrmGrafico(Prodotto(id)).titolo());
            QVERIFY(id == 1 || id == 2 || id == 3);
        }
        // With no product there is no chart.
        Esegui(QStringLiteral("delete from $P"));
        TFrmCaricoScarico vuota;
        QVERIFY(MostraAttiva(&vuota));
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Nessun prodotto selezionato."));
        vuota.ui()->BTGrafico->click();
    }
};

QTEST_MAIN(TestGrafici)
#include "test_grafici.moc"
