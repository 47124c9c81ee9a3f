// The runner of long work: the work runs beside the event loop and hands its
// result back, the box counts its progress, "Stop" (the box's or the
// window's) ends it where it checks, and what it raises reaches the GUI
// thread once, through the handler's wrapper, as any failure does.

#include "AmbienteTest.h"

#include "data/engine/Errore.h"
#include "gui/Avanzamento.h"
#include "gui/Gestori.h"
#include "gui/LavoroLungo.h"
#include "gui/OperazioneInCorso.h"
#include "ui_Avanzamento.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace {

// Waits in the worker until the condition holds or five seconds pass.
void AttendiNelLavoro(const std::function<bool()>& condizione) {
    QElapsedTimer t;
    t.start();
    while (!condizione() && t.elapsed() < 5000) QThread::msleep(2);
}

}  // namespace

class TestLavoroLungo : public QObject {
    Q_OBJECT
private slots:
    void lavoroAccantoAlCiclo();
    void stopDalBoxODallaFinestra_data();
    void stopDalBoxODallaFinestra();
    void erroreRiportatoUnaVolta();
    void testoAvanzamento_data();
    void testoAvanzamento();
};

void TestLavoroLungo::lavoroAccantoAlCiclo() {
    QDialog finestra;
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    bool inCorso = false;
    const TOperazioneInCorso guardia(&finestra, inCorso, {});
    TLavoroLungo lavoro(&finestra, QStringLiteral("Prova in corso"));

    // The work waits until the GUI thread has ticked a few times and has seen
    // the box with the progress; meanwhile the window refuses to close.
    std::atomic<int> battiti{0};
    QTimer battito;
    QObject::connect(&battito, &QTimer::timeout, [&] { ++battiti; });
    battito.start(0);
    QString visto;
    bool chiusa = true;
    QTimer::singleShot(TLavoroLungo::RitardoBoxMs + 200, &finestra, [&] {
        if (lavoro.box() && lavoro.box()->isVisible()) visto = lavoro.box()->ui()->LabelAvanzamento->text();
        chiusa = finestra.close();
    });
    const Qt::HANDLE gui = QThread::currentThreadId();
    Qt::HANDLE esecutore = gui;
    const int risultato = lavoro.calcola<int>([&](TContestoLavoro& c) {
        esecutore = QThread::currentThreadId();
        c.avanzamento(1234, 5000);
        AttendiNelLavoro([&] { return !visto.isEmpty() && battiti.load() > 10; });
        return 42;
    });
    QCOMPARE(risultato, 42);
    QVERIFY(esecutore != gui);
    QVERIFY(battiti.load() > 10);
    QCOMPARE(visto, QStringLiteral("1.234 di 5.000 record"));
    QVERIFY(!chiusa);
    QVERIFY(finestra.isVisible());
    QVERIFY(!lavoro.stopRichiesto());
    QVERIFY(!lavoro.box()->isVisible());
}

void TestLavoroLungo::stopDalBoxODallaFinestra_data() {
    QTest::addColumn<int>("come");
    QTest::newRow("pulsante Stop del box") << 0;
    QTest::newRow("Esc nel box") << 1;
    QTest::newRow("Stop della finestra") << 2;
}

void TestLavoroLungo::stopDalBoxODallaFinestra() {
    QFETCH(int, come);
    QDialog finestra;
    auto* ferma = new QPushButton(QStringLiteral("Stop"), &finestra);
    auto* barra = new QProgressBar(&finestra);
    auto* layout = new QVBoxLayout(&finestra);
    layout->addWidget(ferma);
    layout->addWidget(barra);
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    TLavoroLungo lavoro(&finestra, QStringLiteral("Prova in corso"), TUnitaAvanzamento::Byte);
    lavoro.aggiungiStop(ferma);
    lavoro.aggiungiBarra(barra);
    int valoreBarra = -1;
    QTimer::singleShot(TLavoroLungo::RitardoBoxMs + 200, &finestra, [&] {
        valoreBarra = barra->value();
        TFrmAvanzamento* box = lavoro.box();
        if (come == 0) box->ui()->sbFerma->click();
        else if (come == 1) QTest::keyClick(box, Qt::Key_Escape);
        else ferma->click();
    });
    qint64 passi = 0;
    bool fermato = false;
    try {
        lavoro.esegui([&](TContestoLavoro& c) {
            // An endless run that checks for Stop between its steps.
            for (;;) {
                c.controlla();
                c.avanzamento(++passi, 4 * passi);
                QThread::msleep(1);
            }
        });
    } catch (const ErroreLavoroFermato&) {
        fermato = true;
    }
    QVERIFY(fermato);
    QVERIFY(lavoro.stopRichiesto());
    QVERIFY(passi > 0);
    QCOMPARE(valoreBarra, 250);
    // The box is gone and the window's Stop is spent until the next run.
    QVERIFY(!lavoro.box()->isVisible());
    QVERIFY(!ferma->isEnabled());
    QCOMPARE(barra->value(), barra->minimum());
}

void TestLavoroLungo::erroreRiportatoUnaVolta() {
    TAmbienteTest amb(false);
    QDialog finestra;
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    // A failure in the worker reaches the handler's wrapper in the GUI thread:
    // one general error display with the work's own Italian text.
    amb.risposte.attendi(TTipoMessaggio::ErroreGenerale, QStringLiteral("Disco pieno: copia non eseguita."));
    bool dopo = false;
    const bool riuscito = EseguiMostrandoErrori([&] {
        TLavoroLungo lavoro(&finestra, QStringLiteral("Prova in corso"));
        lavoro.esegui([](TContestoLavoro&) { throw ErroreArchivio(QStringLiteral("Disco pieno: copia non eseguita.")); });
        dopo = true;
    });
    QVERIFY(!riuscito);
    QVERIFY(!dopo);
    QCOMPARE(amb.risposte.mostrati.size(), 1);
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestLavoroLungo::testoAvanzamento_data() {
    QTest::addColumn<int>("unita");
    QTest::addColumn<qint64>("fatti");
    QTest::addColumn<qint64>("totale");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("record con totale") << 0 << qint64(500000) << qint64(1000000) << QStringLiteral("500.000 di 1.000.000 record");
    QTest::newRow("record senza totale") << 0 << qint64(12) << qint64(-1) << QStringLiteral("12 record");
    QTest::newRow("byte con totale") << 1 << qint64(3 * 1024 * 1024 / 2) << qint64(80 * 1024 * 1024)
                                     << QStringLiteral("1,5 di 80,0 MB");
    QTest::newRow("byte oltre i 2 GB") << 1 << qint64(5) * 1024 * 1024 * 1024 << qint64(-1) << QStringLiteral("5.120,0 MB");
}

void TestLavoroLungo::testoAvanzamento() {
    QFETCH(int, unita);
    QFETCH(qint64, fatti);
    QFETCH(qint64, totale);
    QFETCH(QString, atteso);
    QCOMPARE(TestoAvanzamento(unita == 0 ? TUnitaAvanzamento::Record : TUnitaAvanzamento::Byte, fatti, totale), atteso);
}

QTEST_MAIN(TestLavoroLungo)
#include "test_lavorolungo.moc"
