// The product-details widget: each caption has the product's value beside
// it, in the store's text form, and the boxes go blank without a product.

#include "AmbienteTest.h"

#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Tabella.h"
#include "gui/DettagliProdotto.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// The box on the caption's right in the widget's grid, as the user reads it.
QLineEdit* BoxDellaDidascalia(TDettagliProdotto& w, const QString& didascalia) {
    auto* griglia = qobject_cast<QGridLayout*>(w.layout());
    if (!griglia) return nullptr;
    for (QLabel* l : w.findChildren<QLabel*>()) {
        if (l->text() != didascalia) continue;
        int riga = 0, colonna = 0, righe = 0, colonne = 0;
        griglia->getItemPosition(griglia->indexOf(l), &riga, &colonna, &righe, &colonne);
        QLayoutItem* accanto = griglia->itemAtPosition(riga, colonna + 1);
        return accanto ? qobject_cast<QLineEdit*>(accanto->widget()) : nullptr;
    }
    return nullptr;
}

}  // namespace

class TestDettagliProdotto : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void valoriAccantoAlleDidascalie_data();
    void valoriAccantoAlleDidascalie();
};

void TestDettagliProdotto::valoriAccantoAlleDidascalie_data() {
    QTest::addColumn<QString>("didascalia");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("nome") << "Nome prodotto" << "CAFFE";
    QTest::newRow("saldo") << "Saldo" << "18";
    QTest::newRow("carichi") << "Carichi" << "30";
    QTest::newRow("scarichi") << "Scarichi" << "12";
    QTest::newRow("descrizione") << "Descrizione" << "Caffè in grani";
    QTest::newRow("listino con migliaia") << "Prezzo di listino" << "1234,5";
    QTest::newRow("sconto 1") << "Sconto1" << "10";
    QTest::newRow("sconto 2") << "Sconto2" << "5";
    QTest::newRow("sconto 3 decimale") << "Sconto3" << "2,5";
    QTest::newRow("prezzo di acquisto") << "Prezzo A." << "8,25";
    QTest::newRow("prezzo di vendita") << "Prezzo V." << "14,9";
    QTest::newRow("numero distinta") << "N." << "A12";
    QTest::newRow("data distinta vuota") << "Data distinta" << "";
    QTest::newRow("data di entrata") << "Data di entrata" << "15/01/2004";
    QTest::newRow("giacenza massima") << "Gg. giacenza max" << "90";
    QTest::newRow("produttore") << "Codice produttore" << "7";
}

void TestDettagliProdotto::valoriAccantoAlleDidascalie() {
    QFETCH(QString, didascalia);
    QFETCH(QString, atteso);
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("insert into %1 (ID, NOME, DESCRIZIONE, PREZZOLISTINO, PREZZO, PREZZO2, CARICHI, SCARICHI, "
                            "SCONTO1, SCONTO2, SCONTO3, QUANTITA, GIACENZAMAX, DATAOGGI, DATADISTINTA, NUMDISTINTA, "
                            "IDPRODUTTORE) values (1, 'CAFFE', 'Caffè in grani', 1234.5, 8.25, 14.9, 30, 12, 10, 5, 2.5, "
                            "18, 90, '2004-01-15', NULL, 'A12', 7)")
                 .arg(a.nomeQualificato(Definizioni::Prodotti)));
    TTabella prodotti(a, Definizioni::Prodotti);
    prodotti.apri();

    TDettagliProdotto w;
    QLineEdit* box = BoxDellaDidascalia(w, didascalia);
    QVERIFY2(box, qPrintable(didascalia));
    QVERIFY(box->isReadOnly());
    w.mostra(prodotti.record());
    QCOMPARE(box->text(), atteso);
    w.svuota();
    QCOMPARE(box->text(), QString());
    prodotti.chiudi();
}

QTEST_MAIN(TestDettagliProdotto)
#include "test_dettagliprodotto.moc"
