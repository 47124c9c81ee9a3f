// The bug report window: its texts, the mail it opens, the site link, and
// its translation step.

#include "AmbienteTest.h"
#include "DatiProva.h"

#include "data/Costanti.h"
#include "data/engine/Archivio.h"
#include "online/Bug.h"
#include "ui_Bug.h"

#include <QUrlQuery>

class TestBug : public QObject {
    Q_OBJECT
private slots:
    void testi();
    void segnalaDueVolte();
    void linkEdEsci();
    void traduzione();
};

void TestBug::testi() {
    TAmbienteTest amb;
    TfrmBug f;
    QCOMPARE(f.windowTitle(), QStringLiteral("Segnalazione bug al team Vavori"));
    QCOMPARE(f.toolTip(), QStringLiteral("Form per la segnalazione bug"));
    QCOMPARE(f.ui()->Label4->text(), QStringLiteral("Il tuo supporto aiuta a migliorare i software Vavori"));
    QVERIFY(f.ui()->Label4->font().bold());
    QCOMPARE(f.ui()->Label1->text(), QStringLiteral("Premi su 'segnala' per inoltrarci la segnalazione dell'errore:"));
    QCOMPARE(f.ui()->Label2->text(), QStringLiteral("Le risposte ai bug già segnalati sono visibli sulla sezione"));
    QCOMPARE(f.ui()->Label3->text(), QStringLiteral("forum del nostro sito internet"));
    QCOMPARE(f.ui()->lblLink->text(), Costanti::SitoProduttore);
    QCOMPARE(f.ui()->lblLink->toolTip(), QStringLiteral("Vai al sito"));
    QCOMPARE(f.ui()->ButSegnala->text(), QStringLiteral("Segnala"));
    QCOMPARE(f.ui()->ButEsci->text(), QStringLiteral("Esci"));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestBug::segnalaDueVolte() {
    TAmbienteTest amb;
    TfrmBug f;
    EseguiModale(&f, [&] {
        QTest::mouseClick(f.ui()->ButSegnala, Qt::LeftButton);
        QTest::mouseClick(f.ui()->ButSegnala, Qt::LeftButton);
        QVERIFY(f.isVisible());  // the window stays open
    });
    QCOMPARE(amb.risposte.urlAperti.size(), 2);
    QCOMPARE(amb.risposte.urlAperti[0], amb.risposte.urlAperti[1]);
    const QUrl& u = amb.risposte.urlAperti[0];
    QCOMPARE(u.scheme(), QStringLiteral("mailto"));
    QCOMPARE(u.path(), Costanti::MailProduttore);
    const QUrlQuery q(u);
    QCOMPARE(q.queryItemValue("subject", QUrl::FullyDecoded), QStringLiteral("Bug: Vovuru_Dazadaz, 07.2003-40"));
    QCOMPARE(q.queryItemValue("body", QUrl::FullyDecoded), QStringLiteral("Di seguito la segnalzione del bug:"));
    QVERIFY(u.toEncoded().contains("subject=Bug%3A%20Vovuru_Dazadaz%2C%2007.2003-40"));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestBug::linkEdEsci() {
    TAmbienteTest amb;
    TfrmBug f;
    EseguiModale(&f, [&] {
        QTest::mouseClick(f.ui()->lblLink, Qt::LeftButton);
        QTest::mouseClick(f.ui()->ButEsci, Qt::LeftButton);
        QVERIFY(!f.isVisible());
    });
    QCOMPARE(amb.risposte.urlAperti, QVector<QUrl>({QUrl(Costanti::SitoProduttore)}));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestBug::traduzione() {
    TAmbienteTest amb;
    Sqlite3(amb.file("lingua.db"),
            "create table lingua (ITALIANO VARCHAR(100), INGLESE VARCHAR(100));"
            "insert into lingua values ('Segnalazione bug al team Vavori', 'Bug report to the Vavori team');"
            "insert into lingua values ('Il tuo supporto aiuta a migliorare i software Vavori', 'Your support helps');"
            "insert into lingua values ('Segnala', 'Report');"
            "insert into lingua values ('Esci', 'Exit');"
            "insert into lingua values ('forum del nostro sito internet', 'forum of our web site');");
    ImpostaLingua(QStringLiteral("INGLESE"));
    TfrmBug f;
    QCOMPARE(f.windowTitle(), QStringLiteral("Bug report to the Vavori team"));
    QCOMPARE(f.ui()->Label4->text(), QStringLiteral("Your support helps"));
    QCOMPARE(f.ui()->ButSegnala->text(), QStringLiteral("Report"));
    QCOMPARE(f.ui()->ButEsci->text(), QStringLiteral("Exit"));
    QCOMPARE(f.ui()->Label3->text(), QStringLiteral("forum of our web site"));
    // Not in the table: without apostrophes; the link keeps its address.
    QCOMPARE(f.ui()->Label1->text(), QStringLiteral("Premi su segnala per inoltrarci la segnalazione dellerrore:"));
    QCOMPARE(f.ui()->lblLink->text(), Costanti::SitoProduttore);
    ZR_VERIFICA_RISPOSTE(amb);
}

QTEST_MAIN(TestBug)
#include "test_bug.moc"
