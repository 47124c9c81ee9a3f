// The message boxes of the desktop seam.

#include "AmbienteTest.h"

#include "gui/Interazione.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

class TestInterazione : public QObject {
    Q_OBJECT
private slots:
    void boxEntroLoSchermo();
};

void TestInterazione::boxEntroLoSchermo() {
    // A hundred lines of detail do not make a box taller than the screen;
    // its first line is still read in the box.
    QStringList righe = {QStringLiteral("Errore durante la copia del file \"storico.db\"")};
    for (int i = 0; i < 100; ++i)
        righe << QStringLiteral("On tree page %1 cell 31: Offset 65535 out of range 256..4092").arg(i + 3);
    const QString testo = righe.join(QLatin1Char('\n'));
    const auto box = CreaBoxMessaggio(TTipoMessaggio::Errore, QStringLiteral("Errore"), testo);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    const QRect schermo = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(box->frameGeometry().height() <= schermo.height(),
             qPrintable(QStringLiteral("%1 > %2").arg(box->frameGeometry().height()).arg(schermo.height())));
    QVERIFY(box->text().startsWith(righe.first()));
    // A short text is shown whole.
    const auto breve = CreaBoxMessaggio(TTipoMessaggio::Errore, QStringLiteral("Errore"), righe.mid(0, 3).join(QLatin1Char('\n')));
    QCOMPARE(breve->text(), righe.mid(0, 3).join(QLatin1Char('\n')));
}

QTEST_MAIN(TestInterazione)
#include "test_interazione.moc"
