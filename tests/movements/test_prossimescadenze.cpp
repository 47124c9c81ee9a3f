// Expiring soon: the products that pass their stock period within the warning
// days (the expiry rule moved forward), at the boundary days, and the list
// window that shows them.

#include "AmbienteTest.h"
#include "DatiProva.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "movements/ProssimeScadenze.h"
#include "movements/Scadenze.h"
#include "ui_ProssimeScadenze.h"

#include <QTableWidget>
#include <QtTest>

namespace {

// Today in every case: 10/03/2004.
const QDate OggiProva(2004, 3, 10);

}  // namespace

class TestProssimeScadenze : public QObject {
    Q_OBJECT
private slots:
    void giorniAlConfine_data();
    void giorniAlConfine();
    void elencoEFinestra();
};

void TestProssimeScadenze::giorniAlConfine_data() {
    QTest::addColumn<QVariant>("dataOggi");
    QTest::addColumn<QVariant>("giacenzaMax");
    QTest::addColumn<int>("giorni");
    QTest::addColumn<bool>("inScadenza");
    // Expiry day = entry + days allowed; counted when today < expiry <= today + days.
    QTest::newRow("scade domani, preavviso 1") << QVariant("2004-03-01") << QVariant(10) << 1 << true;
    QTest::newRow("scade oggi: già scaduto") << QVariant("2004-03-01") << QVariant(9) << 7 << false;
    QTest::newRow("scaduto ieri") << QVariant("2004-03-01") << QVariant(8) << 7 << false;
    QTest::newRow("ultimo giorno del preavviso") << QVariant("2004-03-01") << QVariant(16) << 7 << true;
    QTest::newRow("un giorno oltre il preavviso") << QVariant("2004-03-01") << QVariant(17) << 7 << false;
    QTest::newRow("preavviso 0: nessun avviso") << QVariant("2004-03-01") << QVariant(10) << 0 << false;
    QTest::newRow("preavviso negativo") << QVariant("2004-03-01") << QVariant(10) << -3 << false;
    QTest::newRow("entrata oggi, giacenza 0: già scaduto") << QVariant("2004-03-10") << QVariant(0) << 7 << false;
    QTest::newRow("data vuota: sempre scaduto") << QVariant() << QVariant(10) << 365 << false;
    QTest::newRow("giacenza vuota conta 0") << QVariant("2004-03-12") << QVariant() << 2 << true;
    QTest::newRow("fine mese e anno bisestile") << QVariant("2004-02-28") << QVariant(13) << 2 << true;
}

void TestProssimeScadenze::giorniAlConfine() {
    QFETCH(QVariant, dataOggi);
    QFETCH(QVariant, giacenzaMax);
    QFETCH(int, giorni);
    QFETCH(bool, inScadenza);
    TAmbienteTest amb;
    InserisciProdotto({.id = 1, .nome = QStringLiteral("P1"), .quantita = 3, .dataOggi = dataOggi, .giacenzaMax = giacenzaMax});
    // A product with ID 0 is never listed, as in the expiry check.
    InserisciProdotto({.id = 0, .nome = QStringLiteral("P0"), .quantita = 3, .dataOggi = dataOggi, .giacenzaMax = giacenzaMax});
    QCOMPARE(ContaProdottiInScadenza(TArchivio::corrente(), OggiProva, giorni), inScadenza ? 1 : 0);
    const QVector<TProdottoInScadenza> elenco = ProdottiInScadenza(TArchivio::corrente(), OggiProva, giorni);
    QCOMPARE(elenco.size(), inScadenza ? 1 : 0);
    if (inScadenza) {
        // The day listed is the first day the expiry check calls the product expired.
        const QDate scadenza = elenco[0].scadenza;
        QVERIFY(!ProdottoScaduto(DataEntrataProdotto(dataOggi), giacenzaMax.toInt(), scadenza.addDays(-1)));
        QVERIFY(ProdottoScaduto(DataEntrataProdotto(dataOggi), giacenzaMax.toInt(), scadenza));
    }
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestProssimeScadenze::elencoEFinestra() {
    TAmbienteTest amb;
    ImpostaOrologio(QDateTime(OggiProva, QTime(9, 0)));
    {
        TTransazione t(TArchivio::corrente());
        InserisciProdotto({.id = 1, .nome = QStringLiteral("CAFFE"), .descrizione = QStringLiteral("Caffè d'orzo"),
                           .quantita = 4, .dataOggi = QStringLiteral("2004-03-01"), .giacenzaMax = 14});  // 15/03
        InserisciProdotto({.id = 2, .nome = QStringLiteral("ACQUA"), .descrizione = QStringLiteral("Acqua"),
                           .quantita = 0, .dataOggi = QStringLiteral("2004-03-05"), .giacenzaMax = 6});  // 11/03
        InserisciProdotto({.id = 3, .nome = QStringLiteral("BURRO"), .descrizione = QStringLiteral("Burro"),
                           .quantita = -2, .dataOggi = QStringLiteral("2004-03-10"), .giacenzaMax = 5});  // 15/03
        InserisciProdotto({.id = 4, .nome = QStringLiteral("LATTE"), .descrizione = QStringLiteral("Latte"),
                           .quantita = 1, .dataOggi = QStringLiteral("2004-03-01"), .giacenzaMax = 30});  // 31/03: no
        t.conferma();
    }
    QCOMPARE(ContaProdottiInScadenza(TArchivio::corrente(), OggiProva, 5), 3);
    TFrmProssimeScadenze f(nullptr, 5);
    const QTableWidget* g = f.ui()->GrigliaScadenze;
    QStringList righe;
    for (int r = 0; r < g->rowCount(); ++r) {
        QStringList celle;
        for (int c = 0; c < g->columnCount(); ++c) celle << g->item(r, c)->text();
        righe << celle.join(QLatin1Char('|'));
    }
    // By expiry day, then code.
    QCOMPARE(righe, (QStringList{QStringLiteral("ACQUA|Acqua|0|11/03/2004|1"), QStringLiteral("BURRO|Burro|-2|15/03/2004|5"),
                                 QStringLiteral("CAFFE|Caffè d'orzo|4|15/03/2004|5")}));
    QCOMPARE(f.ui()->LabPeriodo->text(), QStringLiteral("Prodotti che scadono entro 5 giorni (dal 11/03/2004 al 15/03/2004)"));
    QCOMPARE(f.ui()->LabTotale->text(), QStringLiteral("3 prodotti"));
    ImpostaOrologio(QDateTime());
    ZR_VERIFICA_RISPOSTE(amb);
}

QTEST_MAIN(TestProssimeScadenze)
#include "test_prossimescadenze.moc"
