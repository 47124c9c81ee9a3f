// The input helpers of the boxes: date completion, numeric boxes, boxes as
// long as a field.

#include "AmbienteTest.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "gui/Inserimento.h"
#include "gui/Interazione.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

class TestInserimento : public QObject {
    Q_OBJECT
private slots:
    void completaData_data();
    void completaData();
    void filtroNumericoSuEdit();
    void limiteCaratteriSuEdit();
};

void TestInserimento::completaData_data() {
    QTest::addColumn<QDate>("oggi");
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<bool>("valida");
    QTest::addColumn<QString>("atteso");
    const QDate marzo(2004, 3, 15), aprile(2004, 4, 10);
    QTest::newRow("vuoto: oggi") << marzo << "" << true << "15/03/2004";
    QTest::newRow("solo lettere: oggi") << marzo << "oggi" << true << "15/03/2004";
    QTest::newRow("1 cifra") << marzo << "5" << true << "05/03/2004";
    QTest::newRow("2 cifre") << marzo << "15" << true << "15/03/2004";
    QTest::newRow("3 cifre") << marzo << "154" << true << "15/04/2004";
    QTest::newRow("4 cifre") << marzo << "1504" << true << "15/04/2004";
    QTest::newRow("5 cifre") << marzo << "15045" << true << "15/04/2005";
    QTest::newRow("6 cifre") << marzo << "150405" << true << "15/04/2005";
    QTest::newRow("7 cifre") << marzo << "1504005" << true << "15/04/2005";
    QTest::newRow("8 cifre") << marzo << "15042005" << true << "15/04/2005";
    QTest::newRow("9 cifre: la nona ignorata") << marzo << "150420051" << true << "15/04/2005";
    QTest::newRow("10 cifre: nona e decima ignorate") << marzo << "1504200512" << true << "15/04/2005";
    QTest::newRow("11 cifre: mai valida") << marzo << "15042005123" << false << "15042005123";
    QTest::newRow("1/3 e' il 13") << marzo << "1/3" << true << "13/03/2004";
    QTest::newRow("01/03/04") << marzo << "01/03/04" << true << "01/03/2004";
    QTest::newRow("separatori misti") << marzo << "15-04.2005" << true << "15/04/2005";
    QTest::newRow("31 in un mese di 30") << aprile << "31" << false << "31";
    QTest::newRow("31/02 non diventa 02/03") << marzo << "3102" << false << "3102";
    QTest::newRow("29/02 bisestile") << marzo << "29022004" << true << "29/02/2004";
    QTest::newRow("29/02 non bisestile") << marzo << "29/02/2003" << false << "29/02/2003";
    QTest::newRow("giorno 0") << marzo << "0" << false << "0";
    QTest::newRow("mese 13") << marzo << "1513" << false << "1513";
    QTest::newRow("anno 0000") << marzo << "15030000" << false << "15030000";
}

void TestInserimento::completaData() {
    QFETCH(QDate, oggi);
    QFETCH(QString, digitato);
    QFETCH(bool, valida);
    QFETCH(QString, atteso);
    TAmbienteTest amb(false);
    ImpostaOrologio(QDateTime(oggi, QTime(9, 0)));
    if (!valida) amb.risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Data non corretta!"));
    QString testo = digitato;
    QCOMPARE(CompletaData(testo), valida);
    QCOMPARE(testo, atteso);
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestInserimento::filtroNumericoSuEdit() {
    QLineEdit edit;
    ImpostaFiltroNumerico(&edit);
    edit.show();
    QTest::keyClicks(&edit, QStringLiteral("1a-2.,3 x"));
    QCOMPARE(edit.text(), QStringLiteral("12,3"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), QStringLiteral("12,"));
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.text(), QStringLiteral("2,"));
    // Pasted text: refused as a whole unless every character could be typed.
    QApplication::clipboard()->setText(QStringLiteral("-5.0"));
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keySequence(&edit, QKeySequence::Paste);
    QCOMPARE(edit.text(), QStringLiteral("2,"));
    QApplication::clipboard()->setText(QStringLiteral("50"));
    QTest::keySequence(&edit, QKeySequence::Paste);
    QCOMPARE(edit.text(), QStringLiteral("2,50"));
    QVERIFY(TestoNumericoAmmesso(QStringLiteral("1234,5")));
    QVERIFY(TestoNumericoAmmesso(QString()));
    QVERIFY(!TestoNumericoAmmesso(QStringLiteral("-1")));
    QVERIFY(!TestoNumericoAmmesso(QStringLiteral("1.5")));
    QVERIFY(!TestoNumericoAmmesso(QStringLiteral("1\r")));
}

void TestInserimento::limiteCaratteriSuEdit() {
    // A box as long as a 40-character field: 39 letters and an emoji fill it.
    const QString faccina = QString::fromUtf8("\xF0\x9F\x98\x80");
    QLineEdit box;
    LimitaCaratteri(&box, 40);
    box.insert(QString(39, QLatin1Char('a')) + faccina + QStringLiteral("z"));
    QCOMPARE(box.text(), QString(39, QLatin1Char('a')) + faccina);
    box.insert(faccina);  // full: nothing more goes in, not even half of it
    QCOMPARE(box.text(), QString(39, QLatin1Char('a')) + faccina);
    box.setText(QString(41, QLatin1Char('b')));
    QCOMPARE(box.text(), QString(40, QLatin1Char('b')));
}

QTEST_MAIN(TestInserimento)
#include "test_inserimento.moc"
