// The operation guard: while a run goes on the window cannot be closed nor
// left with Escape, and its blocked controls are off; afterwards the window
// closes as it did before.

#include "AmbienteTest.h"

#include "gui/OperazioneInCorso.h"
#include "gui/TastoEsc.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

class TestOperazioneInCorso : public QObject {
    Q_OBJECT
private slots:
    void chiusuraRifiutataDuranteLaCorsa_data();
    void chiusuraRifiutataDuranteLaCorsa();
    void fuocoTenutoDallaFinestra();
};

// The button that starts a run, disabled with the focus, does not hand the
// focus to the list beside it (which would pick its first row): the window
// holds it and gives it back at the end.
void TestOperazioneInCorso::fuocoTenutoDallaFinestra() {
    QDialog finestra;
    auto* avvia = new QPushButton(QStringLiteral("Avvia"), &finestra);
    auto* elenco = new QListWidget(&finestra);
    elenco->addItems({QStringLiteral("cat.db"), QStringLiteral("prodotti.db")});
    auto* layout = new QVBoxLayout(&finestra);
    layout->addWidget(avvia);
    layout->addWidget(elenco);
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    avvia->setFocus();
    QTRY_VERIFY(avvia->hasFocus());
    bool inCorso = false;
    {
        TOperazioneInCorso operazione(&finestra, inCorso, {avvia});
        QCoreApplication::processEvents();
        QVERIFY(!elenco->hasFocus());
        QVERIFY(!elenco->currentIndex().isValid());
    }
    QTRY_VERIFY(avvia->hasFocus());
    QVERIFY(!elenco->currentIndex().isValid());
}

void TestOperazioneInCorso::chiusuraRifiutataDuranteLaCorsa_data() {
    QTest::addColumn<bool>("tastoEsc");
    QTest::addColumn<bool>("escComeEsci");
    QTest::newRow("chiusura della finestra") << false << false;
    QTest::newRow("Esc dal controllo col fuoco") << true << false;
    // A window whose Escape takes its own "Esci" road: the guard comes first.
    QTest::newRow("Esc in una finestra con la propria uscita") << true << true;
}

void TestOperazioneInCorso::chiusuraRifiutataDuranteLaCorsa() {
    QFETCH(bool, tastoEsc);
    QFETCH(bool, escComeEsci);
    QDialog finestra;
    auto* box = new QLineEdit(&finestra);
    auto* avvia = new QPushButton(QStringLiteral("Avvia"), &finestra);
    auto* layout = new QVBoxLayout(&finestra);
    layout->addWidget(box);
    layout->addWidget(avvia);
    int uscite = 0;
    if (escComeEsci) EscComeEsci(&finestra, [&] {
            ++uscite;
            finestra.reject();
        });
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    box->setFocus();
    const auto chiudi = [&] {
        if (tastoEsc) QTest::keyClick(box, Qt::Key_Escape);
        else finestra.close();
    };

    bool inCorso = false;
    int rifiuti = 0;
    bool finito = false;
    {
        TOperazioneInCorso operazione(&finestra, inCorso, {avvia}, [&] { finito = true; });
        operazione.quandoRifiutaChiusura([&] { ++rifiuti; });
        QVERIFY(inCorso);
        QVERIFY(!avvia->isEnabled());
        chiudi();
        QVERIFY(finestra.isVisible());
        chiudi();
        QVERIFY(finestra.isVisible());
        QCOMPARE(rifiuti, 2);
        QCOMPARE(uscite, 0);
    }
    QVERIFY(finito);
    QVERIFY(!inCorso);
    QVERIFY(avvia->isEnabled());

    chiudi();
    QVERIFY(!finestra.isVisible());
    QCOMPARE(rifiuti, 2);
    QCOMPARE(uscite, escComeEsci ? 1 : 0);
    if (tastoEsc) QCOMPARE(finestra.result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestOperazioneInCorso)
#include "test_operazioneincorso.moc"
