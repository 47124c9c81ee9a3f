// The summary: its period figures equal to the cash-flow report's totals over
// the same days, the products sold most in the last 30 days (boundary day,
// ties, a product deleted since), the stock value against sqlite3, and the
// window showing them.

#include "AmbienteTest.h"
#include "DatiProva.h"
#include "ProveStampe.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "reports/DatiRiepilogo.h"
#include "reports/Riepilogo.h"
#include "reports/StampaComune.h"
#include "reports/StampaFlussi.h"
#include "ui_Riepilogo.h"

#include <QTableWidget>
#include <QtTest>

namespace {

const QDate OggiProva(2011, 3, 31);

void Esegui(const QString& sql) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QString(sql)
                 .replace(QLatin1String("$S"), a.nomeQualificato(Definizioni::Storico))
                 .replace(QLatin1String("$P"), a.nomeQualificato(Definizioni::Prodotti)));
}

// Movements of every action on today, earlier this month, the day the 30
// days start and the day before, and last month; amounts with cents that do
// not add up exactly in binary.
void ScriviStorico() {
    Esegui(QStringLiteral(
        "insert into $P (ID, NOME, DESCRIZIONE, QUANTITA, PREZZO, PREZZO2) values "
        "(1, 'CAFFE', 'Caffè in grani', 12, 3.10, 4.35), (2, 'TE', 'Tè verde', -2, 1.15, 2.05), "
        "(3, 'ZUCCHERO', 'Zucchero', 0, 0.7, 1.1), (4, '', 'senza codice', 100, 1, 1)"));
    Esegui(QStringLiteral(
        "insert into $S (ID, AZIONE, IDPROD, NOME, DESCRIZIONE, QUANTITA, DATAOGGI, PREZZO, PREZZOACQ) values "
        "(1, 'CARICO', 1, 'CAFFE', 'Caffè', 10, '2011-03-31', NULL, 31.10),"
        "(2, 'SCARICO', 1, 'CAFFE', 'Caffè', 3, '2011-03-31', 13.05, NULL),"
        "(3, 'SCARICO', 2, 'TE', 'Tè', 3, '2011-03-31', 6.15, NULL),"
        "(4, 'AGGIUSTAMENTO', 2, 'TE', 'Tè', 1, '2011-03-31', -2.05, -1.15),"
        "(5, 'SCARICO', 9, 'MIELE', 'Miele di acacia', 4, '2011-03-02', 20.10, NULL),"
        "(6, 'CARICO', 3, 'ZUCCHERO', 'Zucchero', 7, '2011-03-01', NULL, 4.90),"
        "(7, 'SCARICO', 3, 'ZUCCHERO', 'Zucchero', 5, '2011-03-02', 5.50, NULL),"
        "(8, 'SCARICO', 1, 'CAFFE', 'Caffè', 2, '2011-02-28', 8.70, NULL),"
        "(9, 'SCARICO', 2, 'TE', 'Tè', 50, '2011-02-27', 102.50, NULL),"
        "(10, 'CARICO', 2, 'TE', 'Tè', 20, '2011-02-15', NULL, 23.00)"));
}

}  // namespace

class TestRiepilogo : public TProvaConAmbiente {
    Q_OBJECT

    // The cash-flow report's purchase and sale totals over the period, as it prints them.
    static QStringList TotaliFlussi(const QDate& da, const QDate& a) {
        TfrmStampaFlussi f(nullptr);
        f.CarattereStampa = 10;
        f.DataDa = da.toString(QStringLiteral("MM/dd/yyyy"));
        f.DataA = a.toString(QStringLiteral("MM/dd/yyyy"));
        f.QueryFlussi = QueryFlussi(da, a, StampaTutti, false);
        const TDocumentoReport& d = f.report().genera();
        return Testi(d, QStringLiteral("LabTotAcq")) + Testi(d, QStringLiteral("LabTotVen")) +
               Testi(d, QStringLiteral("QRlabDifferenza"));
    }
    static QString SommaQuantita(const QString& azione, const QDate& da, const QDate& a) {
        return Sqlite3(TArchivio::corrente().percorsoFile(Definizioni::Storico),
                       QStringLiteral("select total(QUANTITA) from storico where AZIONE = '%1' and DATAOGGI between '%2' and '%3'")
                           .arg(azione, da.toString(Qt::ISODate), a.toString(Qt::ISODate)));
    }

private slots:
    void periodiComeLaStampaDeiFlussi() {
        ScriviStorico();
        TArchivio& a = TArchivio::corrente();
        const QDate inizioMese = TFrmRiepilogo::InizioMese(OggiProva);
        QCOMPARE(inizioMese, QDate(2011, 3, 1));
        for (const QDate& da : {OggiProva, inizioMese}) {
            const TMovimentiPeriodo m = MovimentiPeriodo(a, da, OggiProva);
            QCOMPARE((QStringList{TestoMoneta(m.acquisti), TestoMoneta(m.vendite),
                                  QStringLiteral("DIFFERENZA: ") + TestoMoneta(m.margine())}),
                     TotaliFlussi(da, OggiProva));
            QCOMPARE(QString::number(m.carichi) + QStringLiteral(".0"), SommaQuantita(QStringLiteral("CARICO"), da, OggiProva));
            QCOMPARE(QString::number(m.scarichi) + QStringLiteral(".0"), SommaQuantita(QStringLiteral("SCARICO"), da, OggiProva));
        }
        // The figures of today, worked by hand: the adjustment counts in the money only.
        const TMovimentiPeriodo oggi = MovimentiPeriodo(a, OggiProva, OggiProva);
        QCOMPARE(oggi.carichi, qint64(10));
        QCOMPARE(oggi.scarichi, qint64(6));
        QCOMPARE(TestoMoneta(oggi.acquisti), QStringLiteral("29,95 €"));
        QCOMPARE(TestoMoneta(oggi.vendite), QStringLiteral("17,15 €"));
        QCOMPARE(TestoMoneta(oggi.margine()), QStringLiteral("-12,80 €"));
        // A period without movements is all zero.
        const TMovimentiPeriodo vuoto = MovimentiPeriodo(a, QDate(2011, 4, 1), QDate(2011, 4, 30));
        QCOMPARE(vuoto.carichi + vuoto.scarichi, qint64(0));
        QCOMPARE(vuoto.acquisti + vuoto.vendite, 0.0);
    }

    void piuVendutiEValore() {
        ScriviStorico();
        TArchivio& a = TArchivio::corrente();
        const QDate inizio = TFrmRiepilogo::InizioTrentaGiorni(OggiProva);
        QCOMPARE(inizio, QDate(2011, 3, 2));
        auto righe = [&](int quanti) {
            QStringList l;
            for (const TProdottoVenduto& p : ProdottiPiuVenduti(a, inizio, OggiProva, quanti))
                l << QStringLiteral("%1|%2|%3|%4").arg(p.nome, p.descrizione).arg(p.quantita).arg(TestoMoneta(p.vendite));
            return l;
        };
        // 1 March and February are out; MIELE is gone from the registry and
        // keeps its history name; a tie (TE and CAFFE at 3) goes to the higher sales.
        QCOMPARE(righe(10), (QStringList{QStringLiteral("ZUCCHERO|Zucchero|5|5,50 €"),
                                         QStringLiteral("MIELE|Miele di acacia|4|20,10 €"),
                                         QStringLiteral("CAFFE|Caffè in grani|3|13,05 €"),
                                         QStringLiteral("TE|Tè verde|3|6,15 €")}));
        QCOMPARE(righe(2).size(), 2);

        const TValoreMagazzino v = ValoreMagazzino(a);
        const QString file = a.percorsoFile(Definizioni::Prodotti);
        QCOMPARE(TestoMoneta(v.acquisto), TestoMoneta(Sqlite3(file, "select sum(QUANTITA * PREZZO) from prodotti where NOME <> ''").toDouble()));
        QCOMPARE(TestoMoneta(v.vendita), TestoMoneta(Sqlite3(file, "select sum(QUANTITA * PREZZO2) from prodotti where NOME <> ''").toDouble()));
        QCOMPARE(TestoMoneta(v.acquisto), QStringLiteral("34,90 €"));  // 12 x 3,10 - 2 x 1,15
    }

    void finestra() {
        ScriviStorico();
        ImpostaOrologio(QDateTime(OggiProva, QTime(18, 0)));
        TFrmRiepilogo f;
        const Ui::TFrmRiepilogo* ui = f.ui();
        QCOMPARE(f.windowTitle(), QStringLiteral("Riepilogo"));
        QCOMPARE(ui->LabTitoloOggi->text(), QStringLiteral("Oggi 31/03/2011"));
        QCOMPARE(ui->LabTitoloMese->text(), QStringLiteral("Mese 03/2011"));
        const QStringList mese = TotaliFlussi(QDate(2011, 3, 1), OggiProva);
        QCOMPARE((QStringList{ui->LabAcquistiMese->text(), ui->LabVenditeMese->text(),
                              QStringLiteral("DIFFERENZA: ") + ui->LabMargineMese->text()}),
                 mese);
        QCOMPARE((QStringList{ui->LabCarichiOggi->text(), ui->LabCarichiMese->text(), ui->LabScarichiOggi->text(),
                              ui->LabScarichiMese->text(), ui->LabMargineOggi->text()}),
                 (QStringList{"10", "17", "6", "15", "-12,80 €"}));
        QCOMPARE(ui->GrigliaPiuVenduti->rowCount(), 4);
        QCOMPARE(ui->GrigliaPiuVenduti->item(1, 0)->text(), QStringLiteral("MIELE"));
        QCOMPARE(ui->GrigliaPiuVenduti->item(1, 3)->text(), QStringLiteral("20,10 €"));
        QCOMPARE(ui->LabValoreAcquisto->text(), QStringLiteral("34,90 €"));
        QCOMPARE(ui->LabValoreVendita->text(), QStringLiteral("48,10 €"));  // 12 x 4,35 - 2 x 2,05
        // A movement written while the window is open shows on "Aggiorna".
        Esegui(QStringLiteral("insert into $S (ID, AZIONE, IDPROD, QUANTITA, DATAOGGI, PREZZO) values "
                              "(11, 'SCARICO', 3, 1000, '2011-03-31', 1100)"));
        QTest::mouseClick(ui->sbAggiorna, Qt::LeftButton);
        QCOMPARE(ui->LabScarichiOggi->text(), QStringLiteral("1.006"));
        QCOMPARE(ui->LabVenditeOggi->text(), QStringLiteral("1.117,15 €"));
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }
};

QTEST_MAIN(TestRiepilogo)
#include "test_riepilogo.moc"
