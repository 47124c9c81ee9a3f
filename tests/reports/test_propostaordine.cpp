// The reorder proposal: a hand-worked fixture (several producers, a product
// without producer or with one that no longer exists, a negative balance,
// alert quantities of 0 and empty), the multiple of the alert quantity, the
// quantities changed in the window, the order sheet read back from PDF, the
// workbook read back from its archive and the mail link decoded back.

#include "AmbienteTest.h"
#include "DatiProva.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "reports/DatiProposta.h"
#include "reports/PropostaOrdine.h"
#include "reports/StampaOrdine.h"
#include "reports/engine/Pittura.h"
#include "ui_PropostaOrdine.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTableWidget>
#include <QUrlQuery>
#include <QtTest>

namespace {

void Fixture() {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("insert into %1 (ID, NOME, COGNOME, VIA, CAP, CITTA, PROVINCIA, TELEFONO, PIVA) values "
                            "(1, 'Mario', 'Rossi', 'Via Roma 1', 20100, 'Milano', 'MI', '02 123456', '01234567890'), "
                            "(2, 'Anna', 'Bianchi', NULL, NULL, NULL, NULL, NULL, NULL)")
                 .arg(a.nomeQualificato(Definizioni::Produttori)));
    struct P {
        int id;
        const char* nome;
        QVariant produttore, quantita, alert;
        double prezzo;
    };
    const P prodotti[] = {{1, "A1", 1, 3, 5, 2.5},       {2, "A2", 1, 5, 5, 2.5},  {3, "A3", 1, 6, 5, 1.0},
                          {4, "B1", 2, -4, 3, 10.1},     {5, "C1", QVariant(), 0, 2, 1.0},
                          {6, "C2", QVariant(), -1, 0, 1.0}, {7, "C3", QVariant(), 0, QVariant(), 1.0},
                          {8, "D1", 99, 1, 1, 0.3}};
    for (const P& p : prodotti)
        InserisciProdotto({.id = p.id, .nome = QString::fromLatin1(p.nome),
                           .descrizione = QStringLiteral("Descrizione ") + QString::fromLatin1(p.nome),
                           .quantita = p.quantita, .prezzo = p.prezzo, .idProduttore = p.produttore, .qtaAlert = p.alert});
}

// "group: code saldo/alert->target:quantity ..." for each group.
QStringList Descrivi(const QVector<TGruppoProduttore>& gruppi) {
    QStringList l;
    for (const TGruppoProduttore& g : gruppi) {
        QStringList righe;
        for (const TRigaProposta& r : g.righe)
            righe << QStringLiteral("%1 %2/%3->%4:%5").arg(r.nome).arg(r.saldo).arg(r.qtaAlert).arg(r.obiettivo).arg(r.proposta);
        l << g.nome + QStringLiteral(": ") + righe.join(QLatin1Char(' '));
    }
    return l;
}

// The texts of the cells of a sheet's row, in order; numbers as written.
QStringList RigaFoglio(const QString& xlsx, int riga) {
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, QStringLiteral("xl/worksheets/sheet1.xml")});
    p.waitForFinished(30000);
    const QString foglio = QString::fromUtf8(p.readAllStandardOutput());
    const QString r = QRegularExpression(QStringLiteral("<row r=\"%1\"[^>]*>(.*?)</row>").arg(riga)).match(foglio).captured(1);
    QStringList celle;
    for (auto it = QRegularExpression(QStringLiteral("<c [^>]*>.*?<(?:t|v)>(.*?)</(?:t|v)>.*?</c>")).globalMatch(r); it.hasNext();)
        celle << it.next().captured(1);
    return celle;
}

}  // namespace

class TestPropostaOrdine : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void aritmetica_data() {
        QTest::addColumn<qint64>("alert");
        QTest::addColumn<double>("multiplo");
        QTest::addColumn<qint64>("saldo");
        QTest::addColumn<qint64>("obiettivo");
        QTest::addColumn<qint64>("proposta");
        QTest::newRow("doppio della soglia") << qint64(5) << 2.0 << qint64(3) << qint64(10) << qint64(7);
        QTest::newRow("mezzo pezzo arrotondato in su") << qint64(5) << 1.5 << qint64(5) << qint64(8) << qint64(3);
        QTest::newRow("saldo negativo") << qint64(3) << 1.0 << qint64(-4) << qint64(3) << qint64(7);
        QTest::newRow("già alla scorta") << qint64(4) << 1.0 << qint64(4) << qint64(4) << qint64(0);
        QTest::newRow("1,1 x 10 resta 11") << qint64(10) << 1.1 << qint64(0) << qint64(11) << qint64(11);
        QTest::newRow("soglia 0: nessun obiettivo") << qint64(0) << 3.0 << qint64(-2) << qint64(0) << qint64(2);
    }
    void aritmetica() {
        QFETCH(qint64, alert);
        QFETCH(double, multiplo);
        QFETCH(qint64, saldo);
        QFETCH(qint64, obiettivo);
        QFETCH(qint64, proposta);
        QCOMPARE(ObiettivoDaMultiplo(alert, multiplo), obiettivo);
        QCOMPARE(QuantitaProposta(saldo, obiettivo), proposta);
    }

    void fixtureFattaAMano() {
        Fixture();
        TArchivio& a = TArchivio::corrente();
        // Producers by name, the products without one (or with a producer
        // deleted since) last; over the alert, alert 0 and empty alert left out.
        QCOMPARE(Descrivi(PropostaOrdine(a, 2)),
                 (QStringList{QStringLiteral("Anna Bianchi: B1 -4/3->6:10"),
                              QStringLiteral("Mario Rossi: A1 3/5->10:7 A2 5/5->10:5"),
                              QStringLiteral("Senza produttore: C1 0/2->4:4 D1 1/1->2:1")}));
        QCOMPARE(Descrivi(PropostaOrdine(a, 1)),
                 (QStringList{QStringLiteral("Anna Bianchi: B1 -4/3->3:7"),
                              QStringLiteral("Mario Rossi: A1 3/5->5:2 A2 5/5->5:0"),
                              QStringLiteral("Senza produttore: C1 0/2->2:2 D1 1/1->1:0")}));
        const QVector<TGruppoProduttore> g = PropostaOrdine(a, 2);
        QCOMPARE(g[1].indirizzo, QStringLiteral("Via Roma 1, 20100 Milano (MI)"));
        QCOMPARE(g[1].telefono, QStringLiteral("02 123456"));
        QCOMPARE(g[0].indirizzo, QString());
    }

    void foglioDOrdineInPdf() {
        Fixture();
        TGruppoProduttore g = PropostaOrdine(TArchivio::corrente(), 2)[1];
        g.righe[1].proposta = 0;  // changed by hand: left out of the sheet
        g.righe[0].proposta = 1200;
        TfrmStampaOrdine s(nullptr);
        s.impostaOrdine(g, QDate(2004, 3, 15));
        QCOMPARE(s.righeDaOrdinare(), 1);
        const QString pdf = m_amb->file(QStringLiteral("ordine.pdf"));
        QVERIFY(ScriviPdf(s.report().genera(), pdf));
        const QString testo = Pdftotext(pdf);
        for (const char* atteso : {"Ordine al produttore", "Data: 15/03/2004", "Mario Rossi", "Via Roma 1, 20100 Milano (MI)",
                                   "Tel. 02 123456", "P. IVA 01234567890", "Descrizione A1", "1200", "2,50 €",
                                   "3.000,00 €", "Pezzi: 1200", "Totale: 3.000,00 €"})
            QVERIFY2(testo.contains(QString::fromUtf8(atteso)), atteso);
        QVERIFY(!testo.contains(QStringLiteral("Descrizione A2")));
    }

    void finestra() {
        Fixture();
        TFrmPropostaOrdine f;
        Ui::TFrmPropostaOrdine* ui = f.ui();
        QCOMPARE(ui->cbProduttore->count(), 3);
        QCOMPARE(ui->spMultiplo->text(), QStringLiteral("2,0"));
        ui->cbProduttore->setCurrentIndex(1);
        QTableWidget* g = ui->GrigliaProposta;
        QCOMPARE(g->rowCount(), 2);
        QCOMPARE(g->item(0, 5)->text(), QStringLiteral("7"));
        QCOMPARE(ui->LabTotale->text(), QStringLiteral("Pezzi da ordinare: 12 - Totale: 30,00 €"));
        // A new target gives its quantity; a quantity typed stays as typed.
        g->item(0, 4)->setText(QStringLiteral("20"));
        QCOMPARE(g->item(0, 5)->text(), QStringLiteral("17"));
        g->item(1, 5)->setText(QStringLiteral("2"));
        QCOMPARE(f.gruppi()[1].righe[1].proposta, qint64(2));
        QCOMPARE(ui->LabTotale->text(), QStringLiteral("Pezzi da ordinare: 19 - Totale: 47,50 €"));
        // A text that is no quantity is refused and the value kept.
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione,
                                QStringLiteral("'-3' non è una quantità valida: indicare un numero intero di pezzi, 0 o più."));
        g->item(1, 5)->setText(QStringLiteral("-3"));
        QCOMPARE(g->item(1, 5)->text(), QStringLiteral("2"));
        // Another multiple recomputes every line.
        ui->spMultiplo->setValue(1);
        QTest::mouseClick(ui->sbRicalcola, Qt::LeftButton);
        QCOMPARE(f.gruppi()[0].righe[0].proposta, qint64(7));
    }

    // The whole proposal as shown, with a quantity changed by hand, one
    // line per row after the header and the empty row, numbers as numbers.
    void foglioDiLavoro() {
        Fixture();
        TFrmPropostaOrdine f;
        f.ui()->cbProduttore->setCurrentIndex(1);
        f.ui()->GrigliaProposta->item(1, 5)->setText(QStringLiteral("4"));
        m_amb->risposte.urlAperti.clear();
        QTest::mouseClick(f.ui()->sbEsporta, Qt::LeftButton);
        QCOMPARE(m_amb->risposte.urlAperti.size(), 1);
        const QString xlsx = m_amb->risposte.urlAperti.first().toLocalFile();
        QVERIFY2(xlsx.endsWith(QLatin1String(".xlsx")) && QFile::exists(xlsx), qPrintable(xlsx));
        QCOMPARE(RigaFoglio(xlsx, 1), (QStringList{"Produttore", "Codice", "Descrizione", "Saldo", "Q.tà alert",
                                                   "Scorta obiettivo", "Da ordinare", "Prezzo acq.", "Importo"}));
        QVERIFY(RigaFoglio(xlsx, 2).isEmpty());
        QCOMPARE(RigaFoglio(xlsx, 3), (QStringList{"Anna Bianchi", "B1", "Descrizione B1", "-4", "3", "6", "10", "10.1", "101"}));
        QCOMPARE(RigaFoglio(xlsx, 5), (QStringList{"Mario Rossi", "A2", "Descrizione A2", "5", "5", "10", "4", "2.5", "10"}));
        QCOMPARE(RigaFoglio(xlsx, 7).value(1), QStringLiteral("D1"));
        QVERIFY(RigaFoglio(xlsx, 8).isEmpty());
        QFile::remove(xlsx);
    }

    // The mail to a producer with an address: every value comes back whole
    // from the link, characters that mean something in a link included; a
    // producer without an address cannot be mailed.
    void mailAlProduttore() {
        Fixture();
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("update %1 set EMAIL = 'ordini+vini@rossi.example' where ID = 1")
                     .arg(a.nomeQualificato(Definizioni::Produttori)));
        a.esegui(QStringLiteral("update %1 set DESCRIZIONE = 'Vino 50% & co. #1 = è?' where ID = 1")
                     .arg(a.nomeQualificato(Definizioni::Prodotti)));
        ImpostaOrologio(QDateTime(QDate(2004, 3, 15), QTime(9, 0)));
        TFrmPropostaOrdine f;
        Ui::TFrmPropostaOrdine* ui = f.ui();
        QVERIFY(!ui->sbMail->isEnabled());  // Anna Bianchi has no address
        ui->cbProduttore->setCurrentIndex(1);
        QVERIFY(ui->sbMail->isEnabled());
        ui->GrigliaProposta->item(1, 5)->setText(QStringLiteral("0"));
        m_amb->risposte.urlAperti.clear();
        QTest::mouseClick(ui->sbMail, Qt::LeftButton);
        QCOMPARE(m_amb->risposte.urlAperti.size(), 1);
        const QUrl url = m_amb->risposte.urlAperti.first();
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(QUrl::FullyDecoded), QStringLiteral("ordini+vini@rossi.example"));
        const QUrlQuery q(url);
        QCOMPARE(q.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), QStringLiteral("Ordine del 15/03/2004"));
        QCOMPARE(q.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
                 QStringLiteral("Spett.le Mario Rossi,\n\ncon la presente ordiniamo in data 15/03/2004:\n\n"
                                "7 x A1 - Vino 50% & co. #1 = è?\n\nCordiali saluti"));
        QVERIFY(!url.toEncoded().contains(' ') && !url.toEncoded().contains('#'));
        // Nothing left to order: no mail.
        ui->GrigliaProposta->item(0, 5)->setText(QStringLiteral("0"));
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Nessuna quantità da ordinare per questo produttore."));
        QTest::mouseClick(ui->sbMail, Qt::LeftButton);
        QCOMPARE(m_amb->risposte.urlAperti.size(), 1);
        ui->cbProduttore->setCurrentIndex(2);
        QVERIFY(!ui->sbMail->isEnabled());
    }
};

QTEST_MAIN(TestPropostaOrdine)
#include "test_propostaordine.moc"
