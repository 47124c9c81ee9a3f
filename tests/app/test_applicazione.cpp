// The application object as the user's desktop shows it: Qt's own dialogs
// speak Italian whatever the machine's locale, the program's message boxes keep
// the buttons they are given, and every title bar on a real X display reads
// exactly the window's caption.

#include "AmbienteTest.h"

#include "app/Applicazione.h"
#include "app/Main.h"
#include "data/Costanti.h"
#include "tools/Impostazioni.h"
#include "gui/Messaggi.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolBar>

namespace {

const char* OpzioneTitoli = "--titoli-su-x11";

// The tips of a preview's tool bar.
QStringList SuggerimentiAnteprima() {
    QPrinter stampante;
    QPrintPreviewDialog anteprima(&stampante);
    QStringList l;
    for (QToolBar* barra : anteprima.findChildren<QToolBar*>())
        for (QAction* a : barra->actions())
            if (!a->isSeparator()) l << a->toolTip();
    return l;
}

QStringList TestiPulsanti(QWidget* w) {
    QStringList l;
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
        if (b->isVisible()) l << b->text();
    l.sort();
    return l;
}

// The title an X window carries for the window manager (_NET_WM_NAME), read by xprop.
QString TitoloX11(QWidget* w) {
    QProcess p;
    p.start(QStringLiteral("xprop"), {"-id", QString::number(w->winId()), "-notype", "_NET_WM_NAME"});
    p.waitForFinished(10000);
    // _NET_WM_NAME = "Impostazioni"
    const QString r = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    const int i = r.indexOf(QLatin1Char('"'));
    return i < 0 ? QStringLiteral("(nessun titolo: %1)").arg(r) : r.mid(i + 1).chopped(1);
}

// Runs in a child process on an X display: shows the main window, a task
// window and the real message boxes, and prints "caption<TAB>X11 title" for each.
int MostraTitoli(int argc, char** argv) {
    TApplicazione app(argc, argv);
    TAmbienteTest amb;
    ImpostaInterazione(nullptr);  // the desktop's real message boxes
    QTextStream uscita(stdout);
    auto riporta = [&](const QString& didascalia, QWidget* w) {
        if (!QTest::qWaitForWindowExposed(w, 5000)) uscita << "(non mostrata) ";
        uscita << didascalia << '\t' << TitoloX11(w) << '\n';
        uscita.flush();
    };
    TfrmMain principale;
    principale.show();
    riporta(Costanti::TitoloApplicazione, &principale);
    TFrmImpostazioni impostazioni(&principale);
    impostazioni.show();
    riporta(QStringLiteral("Impostazioni"), &impostazioni);
    impostazioni.hide();
    const QList<std::pair<QString, std::function<void()>>> box = {
        {QStringLiteral("Errore"), [] { MostraErrore(QStringLiteral("prova")); }},
        {QStringLiteral("Messaggio."), [] { MostraMessaggio(QStringLiteral("prova")); }},
        {QStringLiteral("Richiesta."), [] { ChiediConferma(QStringLiteral("prova")); }},
        {Costanti::TitoloApplicazione, [] { MostraErroreGenerale(QStringLiteral("prova")); }},
    };
    for (const auto& [didascalia, mostra] : box) {
        QuandoSiApre([&, didascalia = didascalia](QWidget* w) {
            riporta(didascalia, w);
            w->close();
        }, &principale);
        mostra();
    }
    return 0;
}

}  // namespace

class TestApplicazione : public QObject {
    Q_OBJECT
private slots:
    void dialoghiQtInItaliano_data();
    void dialoghiQtInItaliano();
    void pulsantiDeiMessaggi_data();
    void pulsantiDeiMessaggi();
    void titoliSulloSchermo();
};

void TestApplicazione::dialoghiQtInItaliano_data() {
    QTest::addColumn<QStringList>("testi");
    QTest::addColumn<QString>("atteso");
    QDialogButtonBox pulsanti(QDialogButtonBox::Cancel | QDialogButtonBox::Close);
    QTest::newRow("pulsanti standard: Annulla") << QStringList{pulsanti.button(QDialogButtonBox::Cancel)->text()} << "Annulla";
    QTest::newRow("pulsanti standard: Chiudi") << QStringList{pulsanti.button(QDialogButtonBox::Close)->text()} << "Chiudi";
    QFileDialog scelta(nullptr, QString(), QDir::tempPath());
    scelta.setOption(QFileDialog::DontUseNativeDialog);
    QStringList etichette;
    for (QLabel* l : scelta.findChildren<QLabel*>()) etichette << l->text();
    QTest::newRow("scelta dei file: Cerca in") << etichette << "Cerca in:";
    QTest::newRow("anteprima: pagina successiva") << SuggerimentiAnteprima() << "Pagina successiva";
    QTest::newRow("anteprima: stampa") << SuggerimentiAnteprima() << "Stampa";
}

void TestApplicazione::dialoghiQtInItaliano() {
    QFETCH(QStringList, testi);
    QFETCH(QString, atteso);
    QVERIFY2(testi.contains(atteso), qPrintable(testi.join(QStringLiteral(" | "))));
}

void TestApplicazione::pulsantiDeiMessaggi_data() {
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QString>("titolo");
    QTest::addColumn<QStringList>("pulsanti");
    QTest::newRow("MostraMessaggio: OK") << int(TTipoMessaggio::Messaggio) << "Messaggio." << QStringList{"OK"};
    QTest::newRow("MostraErrore: OK") << int(TTipoMessaggio::Errore) << "Errore" << QStringList{"OK"};
    QTest::newRow("ChiediConferma: Sì e No") << int(TTipoMessaggio::Domanda) << "Richiesta." << QStringList{"&No", "&Sì"};
}

// The real desktop boxes, not the test responder: the buttons read as the
// program gives them, untouched by Qt's translations.
void TestApplicazione::pulsantiDeiMessaggi() {
    QFETCH(int, tipo);
    QFETCH(QString, titolo);
    QFETCH(QStringList, pulsanti);
    ImpostaInterazione(nullptr);
    QStringList visti;
    QString titoloVisto;
    QuandoSiApre([&](QWidget* w) {
        QVERIFY(QTest::qWaitForWindowExposed(w));
        titoloVisto = w->windowTitle();
        visti = TestiPulsanti(w);
        w->close();
    });
    switch (TTipoMessaggio(tipo)) {
    case TTipoMessaggio::Messaggio: MostraMessaggio(QStringLiteral("prova")); break;
    case TTipoMessaggio::Errore: MostraErrore(QStringLiteral("prova")); break;
    default: ChiediConferma(QStringLiteral("prova")); break;
    }
    QCOMPARE(titoloVisto, titolo);
    QCOMPARE(visti, pulsanti);
}

void TestApplicazione::titoliSulloSchermo() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    QVERIFY2(!xvfb.isEmpty(), "xvfb-run non installato");
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty(), "xprop non installato");
    QProcess figlio;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    figlio.setProcessEnvironment(env);
    figlio.start(xvfb, {"-a", "-s", "-screen 0 1280x1024x24", QCoreApplication::applicationFilePath(),
                        QString::fromLatin1(OpzioneTitoli)});
    QVERIFY(figlio.waitForFinished(60000));
    const QString errori = QString::fromUtf8(figlio.readAllStandardError());
    QVERIFY2(figlio.exitStatus() == QProcess::NormalExit && figlio.exitCode() == 0, qPrintable(errori));
    const QStringList righe = QString::fromUtf8(figlio.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(righe.size(), 6);
    for (const QString& r : righe) {
        const QStringList parti = r.split(QLatin1Char('\t'));
        QCOMPARE(parti.size(), 2);
        QCOMPARE(parti[1], parti[0]);
    }
}

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[argc - 1], OpzioneTitoli) == 0) return MostraTitoli(argc - 1, argv);
    // Qt's dialogs must speak Italian on a machine set to any other language.
    qputenv("LC_ALL", "C");
    qputenv("LANG", "C");
    qputenv("LANGUAGE", "C");
    TApplicazione app(argc, argv);
    TestApplicazione t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_applicazione.moc"
