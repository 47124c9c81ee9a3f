// Start-up and the main window: the working-year warning, the low-stock
// link, the menu, the message boxes and the general error display, the
// splash, and the real program started in a fresh folder.

#include "AmbienteTest.h"
#include "DatiProva.h"
#include "app/About.h"
#include "app/Applicazione.h"
#include "app/Main.h"
#include "app/Start.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "movements/ProssimeScadenze.h"
#include "gui/Messaggi.h"
#include "ui_About.h"
#include "ui_Main.h"
#include "ui_ProssimeScadenze.h"
#include "ui_Start.h"

#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>

class TestMain : public QObject {
    Q_OBJECT
private slots:
    void annoDiLavoro_data();
    void annoDiLavoro();
    void etichettaAnno();
    void prodottiInEsaurimento_data();
    void prodottiInEsaurimento();
    void prodottiInScadenza();
    void menuECollegamenti();
    void scatoleMessaggio();
    void erroreGenerale();
    void erroreAllAvvio();
    void splashEAbout();
    void programmaReale();
};

void TestMain::annoDiLavoro_data() {
    QTest::addColumn<QString>("percorso");
    QTest::addColumn<bool>("trovato");
    QTest::addColumn<QString>("anno");
    QTest::newRow("cartella anni/2004") << "/home/u/anni/2004/zerired" << true << "2004";
    QTest::newRow("senza anni") << "/opt/zerired/zerired" << false << "";
    QTest::newRow("anni dentro un'altra parola") << "/home/giovanni/mag/zerired" << true << "mag/";
    QTest::newRow("pochi caratteri dopo") << "/x/anni/20" << true << "20";
    QTest::newRow("maiuscole non contano come anni") << "/x/ANNI/2004/zerired" << false << "";
    QTest::newRow("conta la prima occorrenza") << "/anni/2003/anni/2004/z" << true << "2003";
}

void TestMain::annoDiLavoro() {
    QFETCH(QString, percorso);
    QFETCH(bool, trovato);
    QFETCH(QString, anno);
    bool t = false;
    QCOMPARE(AnnoDiLavoro(percorso, &t), anno);
    QCOMPARE(t, trovato);
}

void TestMain::etichettaAnno() {
    TAmbienteTest amb;
    TfrmMain m;
    QVERIFY(m.ui()->LabelAnno->isHidden());
    m.MostraAnnoDiLavoro(QStringLiteral("/dati/anni/2004/zerired"));
    QVERIFY(!m.ui()->LabelAnno->isHidden());
    QCOMPARE(m.ui()->LabelAnno->text(), QStringLiteral("ATTENZIONE! ANNO DI LAVORO 2004"));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestMain::prodottiInEsaurimento_data() {
    QTest::addColumn<QString>("valori");  // QUANTITA/QTAALERT pairs; "-" for an empty field
    QTest::addColumn<int>("conteggio");
    QTest::newRow("nessun prodotto") << "" << 0;
    QTest::newRow("sotto la soglia") << "3/5" << 1;
    QTest::newRow("alla soglia") << "5/5" << 1;
    QTest::newRow("sopra la soglia") << "6/5" << 0;
    QTest::newRow("saldo zero") << "0/5" << 0;
    QTest::newRow("saldo negativo") << "-2/0" << 0;
    QTest::newRow("soglia vuota") << "1/-" << 0;
    QTest::newRow("misti") << "1/1 2/5 9/5 0/0 4/4" << 3;
}

void TestMain::prodottiInEsaurimento() {
    QFETCH(QString, valori);
    QFETCH(int, conteggio);
    TAmbienteTest amb;
    int id = 0;
    for (const QString& coppia : valori.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString q = coppia.section(QLatin1Char('/'), 0, 0), s = coppia.section(QLatin1Char('/'), 1, 1);
        InserisciProdotto({.id = ++id, .nome = QStringLiteral("P"), .quantita = q.toInt(),
                           .qtaAlert = s == QLatin1String("-") ? QVariant() : QVariant(s.toInt())});
    }
    TfrmMain m;
    QCOMPARE(m.ui()->LabUrl8->isHidden(), conteggio == 0);
    if (conteggio > 0)
        QCOMPARE(m.ui()->LabUrl8->text(), QStringLiteral("CI SONO %1 PRODOTTI IN ESAURIMENTO").arg(conteggio));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestMain::prodottiInScadenza() {
    TAmbienteTest amb;
    ImpostaOrologio(QDateTime(QDate(2004, 3, 10), QTime(9, 0)));
    // Expiry days 12/03 and 17/03; the third one is already expired.
    InserisciProdotto({.id = 1, .nome = QStringLiteral("A"), .dataOggi = QStringLiteral("2004-03-02"), .giacenzaMax = 10});
    InserisciProdotto({.id = 2, .nome = QStringLiteral("B"), .dataOggi = QStringLiteral("2004-03-07"), .giacenzaMax = 10});
    InserisciProdotto({.id = 3, .nome = QStringLiteral("C"), .dataOggi = QStringLiteral("2004-03-01"), .giacenzaMax = 2});
    {
        // A new book has the warning off.
        TfrmMain m;
        QVERIFY(m.ui()->LabUrl9->isHidden());
    }
    const struct {
        int giorni;
        QString testo;
    } casi[] = {{1, QString()}, {2, QStringLiteral("1 PRODOTTO IN SCADENZA")}, {7, QStringLiteral("2 PRODOTTI IN SCADENZA")}};
    for (const auto& c : casi) {
        ImpostaImpostazione(Impostazioni::GiorniPreavvisoScadenza, c.giorni);
        TfrmMain m;
        QCOMPARE(m.ui()->LabUrl9->isHidden(), c.testo.isEmpty());
        if (!c.testo.isEmpty()) QCOMPARE(m.ui()->LabUrl9->text(), c.testo);
    }
    // The link opens the list, owned by the main window.
    TfrmMain m;
    int righe = -1;
    QuandoSiApre([&](QWidget* w) {
        auto* f = qobject_cast<TFrmProssimeScadenze*>(w);
        if (f && w->parentWidget() == &m) righe = f->ui()->GrigliaScadenze->rowCount();
        w->close();
    });
    emit m.ui()->LabUrl9->cliccato();
    QCOMPARE(righe, 2);
    QVERIFY(m.findChildren<TFrmProssimeScadenze*>().isEmpty());
    ImpostaOrologio(QDateTime());
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestMain::menuECollegamenti() {
    TAmbienteTest amb;
    TfrmMain m;
    QCOMPARE(m.windowTitle(), QStringLiteral("Vovuru_Dazadaz"));
    QStringList voci;
    for (QAction* menu : m.menuBar()->actions()) {
        QStringList elementi;
        for (QAction* a : menu->menu()->actions())
            elementi << (a->isSeparator() ? QStringLiteral("-")
                                          : a->text() + (a->shortcut().isEmpty() ? QString() : QLatin1Char('[') + a->shortcut().toString() + QLatin1Char(']')));
        voci << menu->text() + QStringLiteral(": ") + elementi.join(QStringLiteral(", "));
    }
    QCOMPARE(voci, (QStringList{
                       QStringLiteral("Anagrafiche: Prodotti, Produttori, Categorie"),
                       QStringLiteral("Magazzino: Carico / scarico, Aggiustamento / resi, Controllo scadenze, Controllo quantità, "
                                      "Elimina operazioni storico, Azzera scarichi, -, Visioni e stampe[Ctrl+S], Stampa inventario, -, "
                                      "Riepilogo, Movimenti di magazzino, Inventario fisico, Proposta d'ordine, -, "
                                      "Chiusura anno, Apri anno archiviato"),
                       QStringLiteral("Utilità: Impostazioni, -, Aggiorna versione, Indicizza e ripara, Segnala bug, Salvataggio dati, "
                                      "Recupero dati, Invio dati a Vavori Rarovazazo, Esportazione ascii / excel, Importazione dati"),
                       QStringLiteral("&?: &Aiuto[F1], -, About"),
                   }));
    const Ui::TfrmMain* ui = m.ui();
    QCOMPARE((QStringList{ui->LabUrl1->text(), ui->LabUrl2->text(), ui->LabUrl3->text(), ui->LabUrl4->text(),
                          ui->LabUrl5->text(), ui->LabUrl6->text(), ui->LabUrl7->text()}),
             (QStringList{QStringLiteral("ANAGRAFICA PRODOTTI"), QStringLiteral("ANAGRAFICA PRODUTTORI"),
                          QStringLiteral("CARICO / SCARICO DI MAGAZZINO"), QStringLiteral("VISIONI E STAMPE"),
                          QStringLiteral("CONTROLLO SCADENZE"), QStringLiteral("STAMPA INVENTARIO"),
                          QStringLiteral("AGGIUSTAMENTO MAGAZZINO / RESI")}));
    QCOMPARE(ui->btnEsci->text(), QStringLiteral("Esci"));
    QCOMPARE(ui->btnEsci->toolTip(), QStringLiteral("Esce dal programa"));
    QCOMPARE(ui->Label4->text(), QStringLiteral("Collegamenti veloci:"));
    QCOMPARE(ui->Label10->text(), QStringLiteral("Vavori Rarovazazo"));
}

void TestMain::scatoleMessaggio() {
    TAmbienteTest amb(false);
    amb.risposte.attendi(TTipoMessaggio::Messaggio, QStringLiteral("uno"));
    amb.risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("due"));
    amb.risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("tre  con spazi\n e a capo"));
    amb.risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("sì?"), true);
    amb.risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("no?"), false);
    amb.risposte.attendi(TTipoMessaggio::Avviso, QStringLiteral("avviso"));
    MostraMessaggio(QStringLiteral("uno"));
    MostraAttenzione(QStringLiteral("due"));
    MostraErrore(QStringLiteral("tre  con spazi\n e a capo"));
    QVERIFY(ChiediConferma(QStringLiteral("sì?")));
    QVERIFY(!ChiediConferma(QStringLiteral("no?")));
    MostraAvviso(QStringLiteral("avviso"));
    ZR_VERIFICA_RISPOSTE(amb);
    QStringList titoli;
    for (const TBoxRegistrato& b : amb.risposte.mostrati) titoli << b.titolo;
    QCOMPARE(titoli, (QStringList{QStringLiteral("Messaggio."), QStringLiteral("Attenzione."), QStringLiteral("Errore"),
                                  QStringLiteral("Richiesta."), QStringLiteral("Richiesta."), QStringLiteral("Vovuru_Dazadaz")}));
}

void TestMain::erroreGenerale() {
    TAmbienteTest amb(false);
    QPushButton b;
    int clic = 0;
    QObject::connect(&b, &QPushButton::clicked, [&] {
        ++clic;
        throw ErroreArchivio(QStringLiteral("Archivio bloccato da un altro programma"), ErroreArchivio::CtxBloccato);
    });
    b.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b));
    amb.risposte.attendi(TTipoMessaggio::ErroreGenerale, QStringLiteral("Archivio bloccato da un altro programma"));
    amb.risposte.attendi(TTipoMessaggio::ErroreGenerale, QStringLiteral("Archivio bloccato da un altro programma"));
    QTest::mouseClick(&b, Qt::LeftButton);
    QTest::mouseClick(&b, Qt::LeftButton);  // the program goes on after the first
    QCOMPARE(clic, 2);
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(amb.risposte.mostrati.first().titolo, QStringLiteral("Vovuru_Dazadaz"));
}

void TestMain::erroreAllAvvio() {
    TAmbienteTest amb(false);
    QFile f(amb.file(QStringLiteral("prodotti.db")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, '\x07'));
    f.close();
    amb.risposte.attendi(TTipoMessaggio::ErroreGenerale, QStringLiteral("Archivio illeggibile o danneggiato"), true, true);
    TfrmMain m;  // the window is still created: the program goes on
    ZR_VERIFICA_RISPOSTE(amb);
    QVERIFY(QFile::exists(amb.file(QStringLiteral("produttori.db"))));
    QVERIFY(!QFile::exists(amb.file(QStringLiteral("storico.db"))));  // the remaining steps were ended
    QCOMPARE(QFileInfo(f.fileName()).size(), 4096);
}

void TestMain::splashEAbout() {
    TAmbienteTest amb;
    TfrmMain m;
    TFrmAbout about;
    TfrmStart start(&about, &m);
    QCOMPARE(about.windowTitle(), QStringLiteral("About"));
    QCOMPARE(about.ui()->LabelPrg->text(), QStringLiteral("Vovuru_Dazadaz"));
    QCOMPARE(about.ui()->LabelVers->text(), QStringLiteral("07.2003-40"));
    QCOMPARE(about.ui()->sbEsci->toolTip(), QStringLiteral("Clicca per uscire"));
    QCOMPARE(start.windowTitle(), QStringLiteral("Caricamento Vovuru_Dazadaz"));
    QCOMPARE(start.ui()->Label1->text(), QStringLiteral("Caricamento in corso, attendere.."));
    QCOMPARE(start.TimerStart()->interval(), 10000);
    QVERIFY(!start.TimerStart()->isActive());
    // Shown modally, the splash enables its timer and closes itself when it fires.
    // It has no border buttons and Escape does not close it either.
    start.TimerStart()->setInterval(30);
    bool apertaDopoEsc = false;
    QTimer::singleShot(0, &start, [&] {
        QTest::keyClick(&start, Qt::Key_Escape);
        apertaDopoEsc = start.isVisible();
    });
    QElapsedTimer t;
    t.start();
    start.exec();
    QVERIFY(apertaDopoEsc);
    QVERIFY(t.elapsed() < 5000);
    QVERIFY(!start.isVisible());
    QVERIFY(!start.TimerStart()->isActive());
    QVERIFY(m.isVisible());
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestMain::programmaReale() {
    // The real executable in a fresh working-year folder creates its tables
    // there, as the sqlite3 tool reads them back.
    QTemporaryDir dir;
    const QString cartella = dir.filePath(QStringLiteral("anni/2004"));
    QVERIFY(QDir().mkpath(cartella));
    const QString eseguibile = cartella + QStringLiteral("/zerired");
    QVERIFY(QFile::copy(CartellaProgrammaCompilato() + QStringLiteral("zerired"), eseguibile));
    QFile::setPermissions(eseguibile, QFile::permissions(eseguibile) | QFileDevice::ExeUser);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(eseguibile, {});
    QVERIFY(p.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(cartella + QStringLiteral("/cat.db")), 20000);
    QTest::qWait(500);
    QCOMPARE(p.state(), QProcess::Running);  // the splash is up, the program runs
    p.kill();
    p.waitForFinished();
    for (const char* t : {"produttori", "prodotti", "storico", "impostazioni", "cat"})
        QVERIFY2(!Sqlite3(cartella + QLatin1Char('/') + QLatin1String(t) + QStringLiteral(".db"),
                          QStringLiteral("select name from pragma_table_info('%1')").arg(QLatin1String(t)))
                      .isEmpty(),
                 t);
    QCOMPARE(Sqlite3(cartella + QStringLiteral("/impostazioni.db"), QStringLiteral("select * from impostazioni")),
             QStringLiteral("10|10|10|10|10|10|10|0|0|1|1|1|0"));  // the expiry warning starts off
    QCOMPARE(Sqlite3(cartella + QStringLiteral("/prodotti.db"), QStringLiteral("select group_concat(name) from pragma_table_info('prodotti')")),
             QStringLiteral("ID,NOME,DESCRIZIONE,PREZZOLISTINO,PREZZO,PREZZO2,CARICHI,SCARICHI,TOTALEACQUISTI,TOTALEVENDITE,"
                            "SCONTO1,SCONTO2,SCONTO3,QUANTITA,GIACENZAMAX,DATAOGGI,DATADISTINTA,NUMDISTINTA,IDPRODUTTORE,FOTO,"
                            "SCADUTOTEMP,IDCATEGORIA,QTAALERT"));
}

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    TestMain t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_main.moc"
