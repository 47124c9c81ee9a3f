// Handlers connected through the wrapper: an error a handler raises is shown
// once in the general error display and never reaches the application's
// notify, so nothing is thrown through Qt's signal and event frames.

#include "AmbienteTest.h"

#include "data/Costanti.h"
#include "gui/Gestori.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

namespace {

// Counts the errors that come out of an event's delivery, as the program's
// last net would catch them.
class TApplicazioneProva : public QApplication {
public:
    using QApplication::QApplication;
    int erroriArrivati = 0;
    bool notify(QObject* destinatario, QEvent* evento) override {
        try {
            return QApplication::notify(destinatario, evento);
        } catch (...) {
            ++erroriArrivati;
            return false;
        }
    }
};

TApplicazioneProva* Applicazione() { return static_cast<TApplicazioneProva*>(qApp); }

// A window-like receiver whose handler fails when asked to.
class TRicevitore : public QObject {
public:
    QString testoErrore;
    int chiamate = 0;
    void premuto() {
        ++chiamate;
        if (!testoErrore.isEmpty()) throw std::runtime_error(testoErrore.toStdString());
    }
};

}  // namespace

class TestGestori : public QObject {
    Q_OBJECT
private slots:
    void erroreDiUnMetodoMostratoUnaVolta();
    void erroreDiUnaLambdaConArgomentoMostratoUnaVolta();
};

void TestGestori::erroreDiUnMetodoMostratoUnaVolta() {
    TAmbienteTest amb(false);
    const int arrivatiPrima = Applicazione()->erroriArrivati;
    QPushButton pulsante;
    TRicevitore ricevitore;
    QObject::connect(&pulsante, &QPushButton::clicked, &ricevitore, Gestore(&ricevitore, &TRicevitore::premuto));

    // Without an error the handler runs and nothing is shown.
    QTest::mouseClick(&pulsante, Qt::LeftButton);
    QCOMPARE(ricevitore.chiamate, 1);
    QVERIFY(amb.risposte.mostrati.isEmpty());

    ricevitore.testoErrore = QStringLiteral("Tabella prodotti non disponibile");
    amb.risposte.attendi(TTipoMessaggio::ErroreGenerale, ricevitore.testoErrore);
    QTest::mouseClick(&pulsante, Qt::LeftButton);
    QCOMPARE(ricevitore.chiamate, 2);
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(amb.risposte.mostrati.size(), 1);
    QCOMPARE(amb.risposte.mostrati.first().titolo, Costanti::TitoloApplicazione);
    QCOMPARE(Applicazione()->erroriArrivati, arrivatiPrima);
    // The button is usable again afterwards.
    ricevitore.testoErrore.clear();
    QTest::mouseClick(&pulsante, Qt::LeftButton);
    QCOMPARE(ricevitore.chiamate, 3);
    QCOMPARE(amb.risposte.mostrati.size(), 1);
}

void TestGestori::erroreDiUnaLambdaConArgomentoMostratoUnaVolta() {
    TAmbienteTest amb(false);
    const int arrivatiPrima = Applicazione()->erroriArrivati;
    QLineEdit box;
    QStringList ricevuti;
    // The signal's argument reaches the handler; the error carries it.
    QObject::connect(&box, &QLineEdit::textEdited, &box, Gestore([&](const QString& testo) {
                         ricevuti << testo;
                         if (testo.endsWith(QLatin1Char('x'))) throw std::runtime_error("valore non valido: " + testo.toStdString());
                     }));
    amb.risposte.attendi(TTipoMessaggio::ErroreGenerale, QStringLiteral("valore non valido: ax"));
    box.setFocus();
    QTest::keyClicks(&box, QStringLiteral("ax"));
    QCOMPARE(ricevuti, (QStringList{QStringLiteral("a"), QStringLiteral("ax")}));
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(amb.risposte.mostrati.size(), 1);
    QCOMPARE(Applicazione()->erroriArrivati, arrivatiPrima);
}

int main(int argc, char** argv) {
    TApplicazioneProva app(argc, argv);
    TestGestori t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_gestori.moc"
