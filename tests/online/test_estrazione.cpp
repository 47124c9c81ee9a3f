// The routines under the update check: text reversal, the criteria-driven
// extraction, the criteria lookup, the page body, the version numbers.

#include "online/Estrazione.h"

#include <QtTest>

Q_DECLARE_METATYPE(TCriterioEstrazione)

namespace {

TCriterioEstrazione Criterio(const QString& k1, const QString& k2, const QString& inizio, const QString& fine,
                             const QString& finali = {}, qint16 occ = 0, bool tieniInizio = false,
                             bool tieniFine = false, bool indietro = false) {
    return {k1, k2, inizio, fine, finali, occ, tieniInizio, tieniFine, indietro};
}

}  // namespace

class TestEstrazione : public QObject {
    Q_OBJECT
private slots:
    void inverti_data();
    void inverti();
    void estrai_data();
    void estrai();
    void estraiAccodaAllUscita();
    void criteri();
    void corpo_data();
    void corpo();
    void numeri_data();
    void numeri();
};

void TestEstrazione::inverti_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("tre lettere") << "abc" << "cba";
    QTest::newRow("vuoto") << "" << "";
    QTest::newRow("accenti") << "àèx" << "xèà";
}

void TestEstrazione::inverti() {
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    QCOMPARE(invertiTesto(testo), atteso);
    QCOMPARE(invertiTesto(invertiTesto(testo)), testo);
}

void TestEstrazione::estrai_data() {
    QTest::addColumn<QStringList>("pagine");
    QTest::addColumn<TCriterioEstrazione>("criterio");
    QTest::addColumn<QStringList>("atteso");
    const TCriterioEstrazione nostro = CriterioPerProgramma(QStringLiteral("Vovuru_Dazadaz"));

    QTest::newRow("criteri del programma: spazio e numero")
        << QStringList{"<body><p>Versione disponibile - 41</p></body>"} << nostro << QStringList{" 41"};
    QTest::newRow("nessuna pagina") << QStringList{} << nostro << QStringList{};
    QTest::newRow("prima chiave assente") << QStringList{"<body>Release - 41</body>"} << nostro << QStringList{};
    QTest::newRow("le ricerche distinguono le maiuscole")
        << QStringList{"<body>versione - 41</body>"} << nostro << QStringList{};
    QTest::newRow("seconda chiave solo prima della prima chiave")
        << QStringList{"a - 1 Versione senza trattino"} << nostro << QStringList{};
    QTest::newRow("marcatore di fine assente") << QStringList{"Versione - 41"} << nostro << QStringList{};
    QTest::newRow("seconda chiave in una pagina successiva")
        << QStringList{"Versione x", "a - 7<"} << nostro << QStringList{" 7"};
    QTest::newRow("un valore per ogni pagina con la prima chiave")
        << QStringList{"Versione - 1<", "Versione - 2<"} << nostro << QStringList{" 1", " 2"};
    QTest::newRow("occorrenza 1 salta la prima pagina con la seconda chiave")
        << QStringList{"Versione - 1<", "x - 2<", "Versione y"} << Criterio("Versione", "-", "-", "<", {}, 1)
        << QStringList{" 2"};
    QTest::newRow("occorrenza oltre le pagine") << QStringList{"Versione - 1<"} << Criterio("Versione", "-", "-", "<", {}, 1)
                                                << QStringList{};
    QTest::newRow("marcatori mantenuti")
        << QStringList{"Versione - 41<b>"} << Criterio("Versione", "-", "-", "<", {}, 0, true, true)
        << QStringList{"- 41<"};
    QTest::newRow("caratteri finali tolti finché ce ne sono")
        << QStringList{"Versione - 41. .<"} << Criterio("Versione", "-", "-", "<", ". ") << QStringList{" 41"};
    QTest::newRow("all'indietro: l'ultimo indirizzo prima della chiave")
        << QStringList{"a http://x/1.exe b http://x/2.exe fine"}
        << Criterio("fine", "http", "http", ".exe", {}, 0, true, true, true) << QStringList{"http://x/2.exe"};
    QTest::newRow("in avanti la stessa ricerca non trova nulla")
        << QStringList{"a http://x/1.exe b http://x/2.exe fine"}
        << Criterio("fine", "http", "http", ".exe", {}, 0, true, true, false) << QStringList{};
    // Backwards the last page comes first and the walk goes on after the
    // page where the value was found.
    QTest::newRow("all'indietro su due pagine")
        << QStringList{"Versione - 1<", "Versione - 2<"} << Criterio("Versione", "-", "-", "<", {}, 0, false, false, true)
        << QStringList{" 1"};
    QTest::newRow("criteri vuoti non trovano nulla")
        << QStringList{"Versione - 41<"} << TCriterioEstrazione{} << QStringList{};
}

void TestEstrazione::estrai() {
    QFETCH(QStringList, pagine);
    QFETCH(TCriterioEstrazione, criterio);
    QFETCH(QStringList, atteso);
    QStringList uscita;
    EstraiURLConCriterio(pagine, uscita, criterio);
    QCOMPARE(uscita, atteso);
}

void TestEstrazione::estraiAccodaAllUscita() {
    QStringList uscita{"prima"};
    EstraiURLConCriterio({"Versione - 9<"}, uscita, CriterioPerProgramma("vovuru_dazadaz"));
    QCOMPARE(uscita, (QStringList{"prima", " 9"}));
}

void TestEstrazione::criteri() {
    // The lookup lower-cases the title; an unknown title gives empty criteria.
    for (const QString& t : {QStringLiteral("Vovuru_Dazadaz"), QStringLiteral("VOVURU_DAZADAZ")}) {
        const TCriterioEstrazione c = CriterioPerProgramma(t);
        QCOMPARE(c.primaChiave, QStringLiteral("Versione"));
        QCOMPARE(c.secondaChiave, QStringLiteral("-"));
        QCOMPARE(c.marcatoreInizio, QStringLiteral("-"));
        QCOMPARE(c.marcatoreFine, QStringLiteral("<"));
        QVERIFY(c.caratteriFinali.isEmpty());
        QCOMPARE(c.occorrenza, qint16(0));
        QVERIFY(!c.mantieniInizio && !c.mantieniFine && !c.ricercaInversa);
    }
    const TCriterioEstrazione vuoto = CriterioPerProgramma("Altro programma");
    QVERIFY(vuoto.primaChiave.isEmpty() && vuoto.secondaChiave.isEmpty() && vuoto.marcatoreFine.isEmpty());
}

void TestEstrazione::corpo_data() {
    QTest::addColumn<QByteArray>("pagina");
    QTest::addColumn<QByteArray>("tipo");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("corpo con i suoi tag")
        << QByteArray("<html><head><title>Versione - 9</title></head><body class=\"x\">Versione - 41</body></html>")
        << QByteArray("text/html") << "<body class=\"x\">Versione - 41</body>";
    QTest::newRow("tag in maiuscolo") << QByteArray("<HTML><BODY>a</BODY></HTML>") << QByteArray() << "<BODY>a</BODY>";
    QTest::newRow("senza chiusura fino alla fine") << QByteArray("<head></head><body>a\nb") << QByteArray()
                                                   << "<body>a\nb";
    QTest::newRow("senza corpo tutto il testo") << QByteArray("Versione - 41") << QByteArray() << "Versione - 41";
    QTest::newRow("UTF-8 se non dichiarato") << QByteArray("<body>\xc3\xa8</body>") << QByteArray() << "<body>è</body>";
    QTest::newRow("charset dell'intestazione") << QByteArray("<body>\xe8</body>")
                                               << QByteArray("text/html; charset=ISO-8859-1") << "<body>è</body>";
    QTest::newRow("charset del meta") << QByteArray("<head><meta charset=\"iso-8859-1\"></head><body>\xe8</body>")
                                      << QByteArray("text/html") << "<body>è</body>";
    QTest::newRow("charset sconosciuto: UTF-8") << QByteArray("<body>\xc3\xa8</body>")
                                                << QByteArray("text/html; charset=x-nessuno") << "<body>è</body>";
}

void TestEstrazione::corpo() {
    QFETCH(QByteArray, pagina);
    QFETCH(QByteArray, tipo);
    QFETCH(QString, atteso);
    QCOMPARE(CorpoPagina(pagina, tipo), atteso);
}

void TestEstrazione::numeri_data() {
    QTest::addColumn<QStringList>("valori");
    QTest::addColumn<int>("atteso");
    QTest::newRow("spazio davanti") << QStringList{" 41"} << 41;
    QTest::newRow("solo il primo valore conta") << QStringList{" 39", "41"} << 39;
    QTest::newRow("negativo") << QStringList{"-5"} << -5;
    QTest::newRow("nessun valore") << QStringList{} << -1;
    QTest::newRow("valore vuoto") << QStringList{""} << -1;
    QTest::newRow("testo") << QStringList{"abc"} << -1;
    QTest::newRow("numero seguito da testo") << QStringList{"41a"} << -1;
    QTest::newRow("troppo grande per un intero") << QStringList{"99999999999"} << -1;
}

void TestEstrazione::numeri() {
    QFETCH(QStringList, valori);
    QFETCH(int, atteso);
    QCOMPARE(NumeroDisponibile(valori), atteso);
    QCOMPARE(NumeroVersione("07.2003-40"), 40);
    // As integers: 100 is above 40 although "100" sorts before "40" as text.
    QCOMPARE(NumeroVersione("07.2003-100"), 100);
}

QTEST_GUILESS_MAIN(TestEstrazione)
#include "test_estrazione.moc"
