// The main window's commands that open the settings, the help page, the
// repair tool and the bug report, and the maker's links.

#include "AmbienteTest.h"

#include "app/About.h"
#include "app/Applicazione.h"
#include "app/Main.h"
#include "data/CartellaProgramma.h"
#include "data/Costanti.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/engine/Archivio.h"
#include "ui_About.h"
#include "tools/Impostazioni.h"
#include "online/Bug.h"
#include "reports/SetStampaInventario.h"
#include "ui_SetStampaInventario.h"
#include "ui_Impostazioni.h"
#include "ui_Main.h"

#include <QProcess>
#include <QUrlQuery>

class TestComandi : public QObject {
    Q_OBJECT
private slots:
    void impostazioni();
    void stampaInventario();
    void aiuto();
    void indicizzaFlusso_data();
    void indicizzaFlusso();
    void indicizzaNo();
    void indicizzaStrumentoVero();
    void indicizzaTabellaBloccata();
    void indicizzaStrumentoMancante();
    void linkProduttore();
    void segnalaBug();
};

namespace {

const QString DomandaIndicizza = QStringLiteral("Confermi l'operazione di reindicizzazione delle tabelle?");
const QString AvvisoInUso = QStringLiteral("Impossibile eseguire il controllo mentre il database è in uso!");

// A stand-in for the repair tool: writes its arguments one a line and ends
// with the given exit status.
void StrumentoFinto(const QString& cartella, int esito) {
    const QString percorso = cartella + QStringLiteral("Pdxrbld.exe");
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"%1argomenti.txt\"\nexit %2\n")
                .arg(cartella)
                .arg(esito)
                .toUtf8());
    f.close();
    QFile::setPermissions(percorso, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Moves the program folder (and its store) into a subfolder whose path has a blank.
QString CartellaConSpazio(const TAmbienteTest& amb) {
    const QString c = amb.cartella() + QStringLiteral("cartella con spazio/");
    QDir().mkpath(c);
    TArchivio::chiudiCorrente();
    ImpostaCartellaProgramma(c);
    TArchivio::apriCorrente(c);
    CreaTabelleGenerali();
    CreaTabelle();
    return c;
}

void CopiaStrumentoVero(const QString& cartella) {
    QVERIFY2(QFile::exists(CartellaProgrammaCompilato() + "Pdxrbld.exe"), "strumento non compilato");
    QVERIFY(QFile::copy(CartellaProgrammaCompilato() + "Pdxrbld.exe", cartella + "Pdxrbld.exe"));
}

}  // namespace

void TestComandi::impostazioni() {
    TAmbienteTest amb;
    TfrmMain m;
    QVERIFY(m.ui()->Impostazioni1->isEnabled());
    bool aperta = false;
    QuandoSiApre([&](QWidget* w) {
        aperta = qobject_cast<TFrmImpostazioni*>(w) != nullptr && w->parentWidget() == &m;
        QTest::mouseClick(qobject_cast<TFrmImpostazioni*>(w)->ui()->sbEsci, Qt::LeftButton);
    });
    m.ui()->Impostazioni1->trigger();
    QVERIFY(aperta);
    // The window was destroyed when it closed.
    QVERIFY(m.findChildren<TFrmImpostazioni*>().isEmpty());
    ZR_VERIFICA_RISPOSTE(amb);
}

// The menu item and the quick link open the inventory set-up, owned by the
// main window and destroyed when it closes.
void TestComandi::stampaInventario() {
    TAmbienteTest amb;
    TfrmMain m;
    for (int via = 0; via < 2; ++via) {
        bool aperta = false;
        QuandoSiApre([&](QWidget* w) {
            auto* f = qobject_cast<TFrmSetStampaInventario*>(w);
            aperta = f && w->parentWidget() == &m;
            QTest::mouseClick(f->ui()->BTSesci, Qt::LeftButton);
        });
        if (via == 0) {
            QVERIFY(m.ui()->Stampinventario1->isEnabled());
            m.ui()->Stampinventario1->trigger();
        } else {
            QVERIFY(m.ui()->LabUrl6->isEnabled());
            emit m.ui()->LabUrl6->cliccato();
        }
        QVERIFY(aperta);
        QVERIFY(m.findChildren<TFrmSetStampaInventario*>().isEmpty());
    }
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestComandi::aiuto() {
    TAmbienteTest amb;
    TfrmMain m;
    QVERIFY(m.ui()->mnuHelpHelp->isEnabled());
    QCOMPARE(m.ui()->mnuHelpHelp->shortcut(), QKeySequence(Qt::Key_F1));
    amb.risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Impossibile aprire la guida, file help.html non trovato"));
    m.ui()->mnuHelpHelp->trigger();
    ZR_VERIFICA_RISPOSTE(amb);
    QVERIFY(amb.risposte.urlAperti.isEmpty());

    QFile guida(amb.file("help.html"));
    QVERIFY(guida.open(QIODevice::WriteOnly));
    guida.write("<html></html>");
    guida.close();
    // F1 on the active main window.
    m.show();
    m.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m));
    QTest::keyClick(&m, Qt::Key_F1);
    QCOMPARE(amb.risposte.urlAperti.size(), 1);
    QCOMPARE(amb.risposte.urlAperti.first(), QUrl::fromLocalFile(amb.file("help.html")));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestComandi::indicizzaFlusso_data() {
    QTest::addColumn<int>("esito");
    QTest::addColumn<bool>("avviso");
    QTest::newRow("0: nessun messaggio") << 0 << false;
    QTest::newRow("254 (-2): tabelle in uso") << 254 << true;
    QTest::newRow("altro codice: nessun messaggio") << 3 << false;
}

void TestComandi::indicizzaFlusso() {
    QFETCH(int, esito);
    QFETCH(bool, avviso);
    TAmbienteTest amb;
    const QString cartella = CartellaConSpazio(amb);
    StrumentoFinto(cartella, esito);
    TfrmMain m;
    QVERIFY(m.ui()->mnuIndicizza->isEnabled());
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaIndicizza, true);
    if (avviso) amb.risposte.attendi(TTipoMessaggio::Avviso, AvvisoInUso);
    m.ui()->mnuIndicizza->trigger();
    ZR_VERIFICA_RISPOSTE(amb);
    if (avviso) QCOMPARE(amb.risposte.mostrati.last().titolo, Costanti::TitoloApplicazione);
    // The tool got the three arguments, the folder after /F with its blank.
    QFile a(cartella + "argomenti.txt");
    QVERIFY(a.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(a.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
             QStringList({"-Q+", "-R1", "/F" + cartella}));
}

void TestComandi::indicizzaNo() {
    TAmbienteTest amb;
    StrumentoFinto(amb.cartella(), 0);
    TfrmMain m;
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaIndicizza, false);
    m.ui()->mnuIndicizza->trigger();
    ZR_VERIFICA_RISPOSTE(amb);
    QVERIFY(!QFile::exists(amb.file("argomenti.txt")));
}

void TestComandi::indicizzaStrumentoVero() {
    TAmbienteTest amb;
    const QString cartella = CartellaConSpazio(amb);
    CopiaStrumentoVero(cartella);
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("insert into %1 (ID, NOME) values (1, 'vite'), (2, 'bullone')")
                 .arg(a.nomeQualificato(QStringLiteral("prodotti"))));
    TfrmMain m;
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaIndicizza, true);
    m.ui()->mnuIndicizza->trigger();
    ZR_VERIFICA_RISPOSTE(amb);
    for (const QString& t : {"prodotti.db", "produttori.db", "storico.db", "impostazioni.db", "cat.db", "tabexport.db"})
        QCOMPARE(Sqlite3(cartella + t, "pragma integrity_check"), QStringLiteral("ok"));
    // The program goes on using its tables.
    QCOMPARE(a.valoreSingolo(QStringLiteral("select count(*) from %1").arg(a.nomeQualificato(QStringLiteral("prodotti"))))
                 .toInt(),
             2);
}

void TestComandi::indicizzaTabellaBloccata() {
    TAmbienteTest amb;
    const QString cartella = CartellaConSpazio(amb);
    CopiaStrumentoVero(cartella);
    TfrmMain m;
    // A second process holds a write lock on one table.
    QProcess altro;
    altro.start(QStringLiteral("sqlite3"), {cartella + "storico.db"});
    QVERIFY(altro.waitForStarted());
    altro.write("begin exclusive;\nselect 'preso';\n");
    QVERIFY(altro.waitForReadyRead(5000));
    QCOMPARE(altro.readAllStandardOutput().trimmed(), QByteArray("preso"));
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaIndicizza, true);
    amb.risposte.attendi(TTipoMessaggio::Avviso, AvvisoInUso);
    m.ui()->mnuIndicizza->trigger();
    ZR_VERIFICA_RISPOSTE(amb);
    altro.closeWriteChannel();
    QVERIFY(altro.waitForFinished(5000));
    QCOMPARE(Sqlite3(cartella + "storico.db", "pragma integrity_check"), QStringLiteral("ok"));
}

void TestComandi::indicizzaStrumentoMancante() {
    TAmbienteTest amb;
    TfrmMain m;
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaIndicizza, true);
    amb.risposte.attendi(TTipoMessaggio::ErroreGenerale, QStringLiteral("Error during CreateProcess"));
    // Through the event loop, as a menu click: the general error display shows it.
    QMetaObject::invokeMethod(m.ui()->mnuIndicizza, &QAction::trigger, Qt::QueuedConnection);
    QTRY_VERIFY(amb.risposte.scriptEsaurito());
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestComandi::linkProduttore() {
    TAmbienteTest amb;
    TfrmMain m;
    TFrmAbout about;
    m.impostaFinestre(&about, nullptr);
    QCOMPARE(m.ui()->lblLink->text(), Costanti::SitoProduttore);
    QTest::mouseClick(m.ui()->lblLink, Qt::LeftButton);
    QTest::mouseClick(m.ui()->Label13, Qt::LeftButton);
    QTest::mouseClick(about.ui()->lblLink, Qt::LeftButton);
    QTest::mouseClick(about.ui()->Label13, Qt::LeftButton);
    const QVector<QUrl>& u = amb.risposte.urlAperti;
    QCOMPARE(u.size(), 4);
    QCOMPARE(u[0], QUrl(Costanti::SitoProduttore));
    QCOMPARE(u[2], QUrl(Costanti::SitoProduttore));
    for (int i : {1, 3}) {
        QCOMPARE(u[i].scheme(), QStringLiteral("mailto"));
        QCOMPARE(u[i].path(), Costanti::MailProduttore);
    }
    const QUrlQuery principale(u[1]), informazioni(u[3]);
    QCOMPARE(principale.queryItemValue("subject", QUrl::FullyDecoded), QStringLiteral("Clic interno Vovuru_Dazadaz , 07.2003-40"));
    QCOMPARE(principale.queryItemValue("body", QUrl::FullyDecoded), QStringLiteral("Scrivere di seguito la richiesta:"));
    QCOMPARE(informazioni.queryItemValue("subject", QUrl::FullyDecoded), QStringLiteral("Inf: Vovuru_Dazadaz, 07.2003-40"));
    QCOMPARE(informazioni.queryItemValue("body", QUrl::FullyDecoded),
             QStringLiteral("Vorrei ricevere informazioni in più per quanto riguarda:"));
    QVERIFY(u[1].toEncoded().contains("Clic%20interno%20Vovuru_Dazadaz%20%2C%2007.2003-40"));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestComandi::segnalaBug() {
    TAmbienteTest amb;
    TfrmMain m;
    QVERIFY(m.ui()->Segnalabug1->isEnabled());
    bool aperta = false;
    QuandoSiApre([&](QWidget* w) {
        aperta = qobject_cast<TfrmBug*>(w) != nullptr && w->parentWidget() == &m;
        w->close();
    });
    m.ui()->Segnalabug1->trigger();
    QVERIFY(aperta);
    QVERIFY(m.findChildren<TfrmBug*>().isEmpty());
    ZR_VERIFICA_RISPOSTE(amb);
}

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    TestComandi t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_comandi.moc"
