// The Italian date and number texts: SQL date texts, the numeric key filter,
// text cutting.

#include "AmbienteTest.h"

#include "data/Convenzioni.h"
#include "data/engine/Archivio.h"

class TestConvenzioni : public QObject {
    Q_OBJECT
private slots:
    void periodoSQL();
    void filtraTastoNumerico_data();
    void filtraTastoNumerico();
    void tagliTesto_data();
    void tagliTesto();
};

void TestConvenzioni::periodoSQL() {
    TAmbienteTest amb(false);
    TPeriodoSQL p = PeriodoSQL(QStringLiteral("31/12/2003"), QStringLiteral("01/01/2004"));
    QCOMPARE(p.primo, QStringLiteral("12/31/2003"));
    QCOMPARE(p.secondo, QStringLiteral("01/01/2004"));
    QCOMPARE(p.dataPrimo, QDate(2003, 12, 31));
    QCOMPARE(p.dataSecondo, QDate(2004, 1, 1));
    p = PeriodoSQL(QStringLiteral("5/3/2004"), QStringLiteral("05/03/2004"));
    QCOMPARE(p.primo, QStringLiteral("03/05/2004"));
    QCOMPARE(p.secondo, QStringLiteral("03/05/2004"));
    // A text that is not a date goes to the caller.
    QVERIFY_THROWS_EXCEPTION(ErroreArchivio, PeriodoSQL(QStringLiteral("31/02/2004"), QStringLiteral("01/03/2004")));
    QVERIFY_THROWS_EXCEPTION(ErroreArchivio, PeriodoSQL(QStringLiteral("01/03/2004"), QStringLiteral("abc")));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestConvenzioni::filtraTastoNumerico_data() {
    QTest::addColumn<QChar>("tasto");
    QTest::addColumn<bool>("passa");
    for (char c = '0'; c <= '9'; ++c) QTest::addRow("cifra %c", c) << QChar(QLatin1Char(c)) << true;
    QTest::newRow("virgola") << QChar(u',') << true;
    QTest::newRow("backspace") << QChar(8) << true;
    QTest::newRow("invio") << QChar(13) << true;
    QTest::newRow("meno") << QChar(u'-') << false;
    QTest::newRow("punto") << QChar(u'.') << false;
    QTest::newRow("lettera") << QChar(u'a') << false;
    QTest::newRow("spazio") << QChar(u' ') << false;
    QTest::newRow("e accentata") << QChar(u'è') << false;
    QTest::newRow("ctrl+v (22)") << QChar(22) << false;
    QTest::newRow("cifra araba") << QChar(0x0663) << false;
}

void TestConvenzioni::filtraTastoNumerico() {
    QFETCH(QChar, tasto);
    QFETCH(bool, passa);
    QCOMPARE(FiltraTastoNumerico(tasto), passa ? tasto : QChar(0));
}

void TestConvenzioni::tagliTesto_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("destro");
    QTest::addColumn<QString>("sinistro");
    QTest::newRow("07 con 2") << "07" << 2 << "07" << "07";
    QTest::newRow("012 con 2") << "012" << 2 << "12" << "01";
    QTest::newRow("7 con 2") << "7" << 2 << "7" << "7";
    QTest::newRow("vuoto") << "" << 3 << "" << "";
    QTest::newRow("n zero") << "abc" << 0 << "" << "";
    QTest::newRow("accenti") << "perché" << 3 << "ché" << "per";
    QTest::newRow("barra finale") << "C:/dati/" << 5 << "dati/" << "C:/da";
    // An emoji is one character: counted once and never split.
    const QString faccina = QString::fromUtf8("\xF0\x9F\x98\x80");
    QTest::newRow("emoji al taglio") << QStringLiteral("ab") + faccina + faccina + QStringLiteral("c") << 3
                                     << faccina + faccina + QStringLiteral("c") << QStringLiteral("ab") + faccina;
}

void TestConvenzioni::tagliTesto() {
    QFETCH(QString, testo);
    QFETCH(int, n);
    QFETCH(QString, destro);
    QFETCH(QString, sinistro);
    QCOMPARE(UltimiCaratteri(testo, n), destro);
    QCOMPARE(TestoSinistro(testo, n), sinistro);
}

QTEST_MAIN(TestConvenzioni)
#include "test_convenzioni.moc"
