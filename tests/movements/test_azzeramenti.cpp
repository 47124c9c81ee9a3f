// The bulk resets: zeroing the unloads of every product, and deleting the
// history of a period, through their routines and their windows.

#include "AmbienteTest.h"
#include "DatiProva.h"
#include "app/Applicazione.h"
#include "data/Convenzioni.h"
#include "data/engine/Archivio.h"
#include "movements/AzzeraScarichi.h"
#include "movements/Azzeramenti.h"
#include "movements/SetCancStorico.h"
#include "ui_AzzeraScarichi.h"
#include "ui_SetCancStorico.h"
#include "gui/Avanzamento.h"
#include <algorithm>
#include "ui_Avanzamento.h"

#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

namespace {

const QString DomandaAzzera =
    QStringLiteral("Questa operazione eseguirà l'azzeramento di tutti gli scarichi e l'aggiornamento dei saldi, continuare?");
const QString DomandaCancella =
    QStringLiteral("Si è sicuri di voler eliminare dall'archivio dello storico le operazioni dell'intervallo slezionato?");
const QString ErroreCancella = QStringLiteral(
    "Impossibile eseguire la cancellazione dello storico, l'archivio potrebbe aver bisogno di una riparazione o essere bloccato.");

QString TabProdotti() { return TArchivio::corrente().nomeQualificato(QStringLiteral("prodotti")); }
QString TabStorico() { return TArchivio::corrente().nomeQualificato(QStringLiteral("storico")); }

// ID, CARICHI, SCARICHI, QUANTITA, PREZZO, TOTALEACQUISTI, TOTALEVENDITE
void InserisciProdotto(int id, QVariant carichi, QVariant scarichi, QVariant quantita, QVariant prezzo) {
    ::InserisciProdotto({.id = id,
                       .nome = QStringLiteral("P"),
                       .carichi = carichi,
                       .scarichi = scarichi,
                       .quantita = quantita,
                       .totaleAcquisti = 99,
                       .totaleVendite = 77,
                       .prezzo = prezzo,
                       .prezzo2 = 3.5});
}

QString Stato(const TAmbienteTest& amb) {
    return Sqlite3(amb.file(QStringLiteral("prodotti.db")),
                   QStringLiteral("select ID, CARICHI, SCARICHI, QUANTITA, PREZZO, TOTALEACQUISTI, TOTALEVENDITE, PREZZO2 "
                                  "from prodotti order by ID"));
}

void InserisciMovimenti(const QStringList& giorni) {
    int id = 0;
    for (const QString& g : giorni)
        TArchivio::corrente().esegui(QStringLiteral("insert into %1 (ID, AZIONE, DATAOGGI, QUANTITA) values (?, 'CARICO', ?, 1)").arg(TabStorico()),
                                     {++id, QDate::fromString(g, FormatoData).toString(Qt::ISODate)});
}

QString GiorniStorico(const TAmbienteTest& amb) {
    return Sqlite3(amb.file(QStringLiteral("storico.db")), QStringLiteral("select group_concat(DATAOGGI, ' ') from (select DATAOGGI from storico order by ID)"));
}

// 10,000 loads: IDs 1 to 9,000 on 01/03/2004, the rest on 01/04/2004.
void DiecimilaCarichi() {
    TArchivio::corrente().esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 10000) "
                                                "insert into %1 (ID, AZIONE, DATAOGGI, QUANTITA) "
                                                "select i, 'CARICO', case when i <= 9000 then '2004-03-01' else '2004-04-01' end, 1 from n")
                                     .arg(TabStorico()));
}

}  // namespace

class TestAzzeramenti : public QObject {
    Q_OBJECT
private slots:
    void azzeraScarichi();
    void azzeraTabellaVuota();
    void azzeraGuastoAMetaAnnullaTutto();
    void azzeraTabellaBloccata();
    void azzeraFuoriLimite_data();
    void azzeraFuoriLimite();
    void finestraAzzera();
    void stopAMetaAzzeramento();
    void cancellaFermataNonCancellaNulla();
    void cancellaScorrendo();
    void propostaIntervallo_data();
    void propostaIntervallo();
    void cancellaPeriodo_data();
    void cancellaPeriodo();
    void dataCompletataUscendo();
    void dataNonValidaNonCancella();
    void escENoChiudeSenzaCancellare();
};

void TestAzzeramenti::azzeraScarichi() {
    TAmbienteTest amb;
    InserisciProdotto(1, 10, 4, 6, 2.5);        // the window's own example
    InserisciProdotto(2, 3, 3, 0, 1.75);        // balance 0
    InserisciProdotto(3, 1, 3, -2, 2.5);        // negative balance
    InserisciProdotto(4, QVariant(), QVariant(), 5, QVariant());  // empty price
    InserisciMovimenti({QStringLiteral("01/03/2004")});
    QList<QPair<int, int>> avanzamento;
    AzzeraScarichiProdotti([&](int i, int n) { avanzamento << qMakePair(i, n); });
    const QString atteso = QStringLiteral("1|6|0|6|2.5|15.0|0.0|3.5\n2|0|0|0|1.75|0.0|0.0|3.5\n3|-2|0|-2|2.5|-5.0|0.0|3.5\n4|5|0|5||0.0|0.0|3.5");
    QCOMPARE(Stato(amb), atteso);
    QCOMPARE(avanzamento, (QList<QPair<int, int>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
    // Run again: the same values. No history row is written.
    AzzeraScarichiProdotti();
    QCOMPARE(Stato(amb), atteso);
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("storico.db")), QStringLiteral("select count(*) from storico")), QStringLiteral("1"));
}

void TestAzzeramenti::azzeraTabellaVuota() {
    TAmbienteTest amb;
    int chiamate = 0;
    AzzeraScarichiProdotti([&](int, int) { ++chiamate; });
    QCOMPARE(chiamate, 0);
    TfrmAzzeraScarichi f;
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaAzzera, true);
    amb.risposte.attendi(TTipoMessaggio::Messaggio, QStringLiteral("Operazione completata"));
    EseguiModale(&f, [&] { f.ui()->BitBtn1->click(); });
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestAzzeramenti::azzeraGuastoAMetaAnnullaTutto() {
    TAmbienteTest amb;
    for (int i = 1; i <= 5; ++i) InserisciProdotto(i, 10, 4, 6, 2.5);
    const QString prima = Stato(amb);
    // The engine refuses the fourth product's update: nothing may stay half
    // reset. The trigger lives in the table's file, so that the window's run,
    // on a connection of its own, meets it too.
    TabProdotti();
    TArchivio::corrente().esegui(QStringLiteral("create trigger prodotti.guasto before update on prodotti when old.ID = 4 "
                                                "begin select raise(abort, 'disco guasto'); end"));
    int fatti = 0;
    QVERIFY_THROWS_EXCEPTION(ErroreArchivio, AzzeraScarichiProdotti([&](int i, int) { fatti = i; }));
    QCOMPARE(fatti, 3);
    QCOMPARE(Stato(amb), prima);
    // Through the window the failure reaches the general error display.
    TfrmAzzeraScarichi f;
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaAzzera, true);
    amb.risposte.attendi(TTipoMessaggio::ErroreGenerale, QStringLiteral("disco guasto"), true, true);
    EseguiModale(&f, [&] { QTest::mouseClick(f.ui()->BitBtn1, Qt::LeftButton); });
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(Stato(amb), prima);
    QVERIFY(f.ui()->BitBtn1->isEnabled());
    QCOMPARE(f.ui()->PrgBar->value(), 0);
}

void TestAzzeramenti::azzeraTabellaBloccata() {
    TAmbienteTest amb;
    for (int i = 1; i <= 3; ++i) InserisciProdotto(i, 10, 4, 6, 2.5);
    const QString prima = Stato(amb);
    // Another program holds the products table.
    QSqlDatabase altro = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("altro"));
    altro.setDatabaseName(amb.file(QStringLiteral("prodotti.db")));
    QVERIFY(altro.open());
    {
        QSqlQuery q(altro);
        QVERIFY(q.exec(QStringLiteral("begin exclusive")));
        try {
            AzzeraScarichiProdotti();
            QFAIL("azzeramento eseguito su una tabella bloccata");
        } catch (const ErroreArchivio& e) {
            QCOMPARE(e.contestoAiuto(), int(ErroreArchivio::CtxBloccato));
        }
        QVERIFY(q.exec(QStringLiteral("rollback")));
    }
    altro.close();
    altro = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("altro"));
    QCOMPARE(Stato(amb), prima);
}

// A product whose balance cannot become its loads (a whole number out of the
// field's range, stored by another program) or whose stock value is beyond
// any number: the reset is refused, naming the product, and no product
// changes; at the very limits it goes through.
void TestAzzeramenti::azzeraFuoriLimite_data() {
    QTest::addColumn<qlonglong>("quantita");
    QTest::addColumn<double>("prezzo");
    QTest::addColumn<QString>("rifiuto");  // empty: the reset goes through
    const QString nessuno = QStringLiteral(" Nessun prodotto è stato modificato.");
    QTest::newRow("saldo oltre il massimo")
        << 3000000000LL << 2.5
        << QStringLiteral("Azzeramento non eseguito: i carichi del prodotto 'Q' diventerebbero 3.000.000.000, oltre il "
                          "massimo di 2.147.483.647.") + nessuno;
    QTest::newRow("saldo sotto il minimo")
        << -2147483649LL << 2.5
        << QStringLiteral("Azzeramento non eseguito: i carichi del prodotto 'Q' diventerebbero -2.147.483.649, sotto il "
                          "minimo di -2.147.483.648.") + nessuno;
    QTest::newRow("totale acquisti senza limite")
        << 10LL << 1e308
        << QStringLiteral("Azzeramento non eseguito: il totale acquisti del prodotto 'Q' supererebbe il massimo "
                          "rappresentabile.") + nessuno;
    QTest::newRow("ai limiti") << 2147483647LL << 1e298 << QString();
    QTest::newRow("al minimo") << -2147483648LL << 1e298 << QString();
}

void TestAzzeramenti::azzeraFuoriLimite() {
    QFETCH(qlonglong, quantita);
    QFETCH(double, prezzo);
    QFETCH(QString, rifiuto);
    TAmbienteTest amb;
    InserisciProdotto(1, 10, 4, 6, 2.5);
    InserisciProdotto(2, 10, 4, 6, 2.5);
    TArchivio::corrente().esegui(
        QStringLiteral("update %1 set NOME = 'Q', QUANTITA = ?, PREZZO = ? where ID = 2").arg(TabProdotti()),
        {quantita, prezzo});
    const QString prima = Stato(amb);
    TfrmAzzeraScarichi f;
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaAzzera, true);
    if (rifiuto.isEmpty())
        amb.risposte.attendi(TTipoMessaggio::Messaggio, QStringLiteral("Operazione completata"));
    else
        amb.risposte.attendi(TTipoMessaggio::Attenzione, rifiuto);
    EseguiModale(&f, [&] { f.ui()->BitBtn1->click(); });
    ZR_VERIFICA_RISPOSTE(amb);
    const QString dopo = Sqlite3(amb.file(QStringLiteral("prodotti.db")),
                                 QStringLiteral("select CARICHI, SCARICHI, QUANTITA from prodotti where ID = 2"));
    if (rifiuto.isEmpty()) {
        QCOMPARE(dopo, QStringLiteral("%1|0|%1").arg(quantita));
        QCOMPARE(Sqlite3(amb.file(QStringLiteral("prodotti.db")),
                         QStringLiteral("select TOTALEACQUISTI = QUANTITA * PREZZO from prodotti where ID = 2")),
                 QStringLiteral("1"));
    } else {
        QCOMPARE(Stato(amb), prima);
    }
    QCOMPARE(f.ui()->PrgBar->value(), 0);
}

void TestAzzeramenti::finestraAzzera() {
    TAmbienteTest amb;
    for (int i = 1; i <= 300; ++i) InserisciProdotto(i, 10, 4, 6, 2.5);
    TfrmAzzeraScarichi f;
    QCOMPARE(f.windowTitle(), QStringLiteral("Azzera scarichi"));
    QCOMPARE(f.ui()->Label3->text(), QStringLiteral("Stato di avanzameto operazione:"));
    QCOMPARE(f.ui()->Label2->text().split(QLatin1Char('\n')).value(5),
             QStringLiteral("Prima azzeramento: Carichi=10 Scarichi=4 Saldo=6"));
    QCOMPARE(f.ui()->PrgBar->maximum(), 100);
    // No: nothing is written.
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaAzzera, false);
    // Yes: while the run goes on the buttons do nothing; the bar ends at 0.
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaAzzera, true);
    amb.risposte.attendi(TTipoMessaggio::Messaggio, QStringLiteral("Operazione completata"));
    bool disabilitati = false;
    int massimo = 0;
    EseguiModale(&f, [&] {
        f.ui()->BitBtn1->click();
        QCOMPARE(Sqlite3(amb.file(QStringLiteral("prodotti.db")), QStringLiteral("select sum(SCARICHI) from prodotti")),
                 QStringLiteral("1200"));
        QTimer::singleShot(0, &f, [&] {
            disabilitati = !f.ui()->BitBtn1->isEnabled() && !f.ui()->BitBtn2->isEnabled();
            massimo = f.ui()->PrgBar->maximum();
            QTest::mouseClick(f.ui()->BitBtn1, Qt::LeftButton);  // a second click starts nothing
            f.close();                                          // nor does closing the window
        });
        f.ui()->BitBtn1->click();
    });
    ZR_VERIFICA_RISPOSTE(amb);
    QVERIFY(disabilitati);
    QCOMPARE(massimo, 300);
    QCOMPARE(f.ui()->PrgBar->value(), 0);
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("prodotti.db")), QStringLiteral("select sum(SCARICHI), sum(CARICHI) from prodotti")),
             QStringLiteral("0|1800"));
}

// "Stop" pressed while the reset is half done (the bar between its ends):
// the window says nothing was changed, and the table files are byte for byte
// those of before, with no journal left.
void TestAzzeramenti::stopAMetaAzzeramento() {
    TAmbienteTest amb;
    const int prodotti = 100000;
    TArchivio::corrente().esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                                "insert into %2 (ID, NOME, CARICHI, SCARICHI, QUANTITA, PREZZO) "
                                                "select i, 'P' || i, 10, 4, 6, 2.5 from n")
                                     .arg(prodotti)
                                     .arg(TabProdotti()));
    TabStorico();
    const auto contenuto = [&](const QString& file) {
        QFile f(amb.file(file));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray prodottiPrima = contenuto(QStringLiteral("prodotti.db"));
    const QByteArray storicoPrima = contenuto(QStringLiteral("storico.db"));
    QVERIFY(!prodottiPrima.isEmpty() && !storicoPrima.isEmpty());

    TfrmAzzeraScarichi f;
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaAzzera, true);
    amb.risposte.attendi(TTipoMessaggio::Messaggio, QStringLiteral("Azzeramento interrotto: nessun prodotto è stato modificato."));
    int aMeta = 0;
    QTimer utente;
    connect(&utente, &QTimer::timeout, [&] {
        const int fatti = f.ui()->PrgBar->value();
        if (f.ui()->PrgBar->maximum() != prodotti || fatti <= 0 || fatti >= prodotti) return;
        aMeta = fatti;
        utente.stop();
        f.findChild<TFrmAvanzamento*>()->ui()->sbFerma->click();
    });
    utente.start(1);
    EseguiModale(&f, [&] {
        f.ui()->BitBtn1->click();
        f.close();
    });
    ZR_VERIFICA_RISPOSTE(amb);
    QVERIFY2(aMeta > 0 && aMeta < prodotti, qPrintable(QString::number(aMeta)));
    QCOMPARE(f.ui()->PrgBar->value(), 0);
    QVERIFY(contenuto(QStringLiteral("prodotti.db")) == prodottiPrima);
    QVERIFY(contenuto(QStringLiteral("storico.db")) == storicoPrima);
    QVERIFY(!QFile::exists(amb.file(QStringLiteral("prodotti.db-journal"))));
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("prodotti.db")), QStringLiteral("select sum(SCARICHI) from prodotti")),
             QString::number(4 * prodotti));
}

// The deletion of a period hears its progress; told to stop halfway it
// deletes nothing, and run to its end it deletes the whole period.
void TestAzzeramenti::cancellaFermataNonCancellaNulla() {
    TAmbienteTest amb;
    DiecimilaCarichi();
    const QString file = amb.file(QStringLiteral("storico.db"));
    const QString prima = Sqlite3(file, QStringLiteral("select count(*), sum(ID) from storico"));
    QList<qint64> sentiti;
    QVERIFY_THROWS_EXCEPTION(ErroreArchivio, CancellaStoricoPeriodo(QDate(2004, 3, 1), QDate(2004, 3, 31), [&](qint64 fatti, qint64 totale) {
                                 sentiti << fatti;
                                 return fatti < 4096 && totale == 9000;
                             }));
    QCOMPARE(sentiti, (QList<qint64>{0, 4096}));
    QCOMPARE(Sqlite3(file, QStringLiteral("select count(*), sum(ID) from storico")), prima);
    sentiti.clear();
    CancellaStoricoPeriodo(QDate(2004, 3, 1), QDate(2004, 3, 31), [&](qint64 fatti, qint64 totale) {
        sentiti << fatti;
        return totale == 9000;
    });
    QCOMPARE(sentiti, (QList<qint64>{0, 4096, 8192, 9000}));
    QCOMPARE(Sqlite3(file, QStringLiteral("select count(*), min(ID) from storico")), QStringLiteral("1000|9001"));
}

// The deletion that hears of the rows read out of all the history's rows:
// told to stop once it has read some, it deletes nothing; run to its end it
// hears a growing count up to the whole table and deletes the period only.
void TestAzzeramenti::cancellaScorrendo() {
    TAmbienteTest amb;
    DiecimilaCarichi();
    const QString file = amb.file(QStringLiteral("storico.db"));
    const QString prima = Sqlite3(file, QStringLiteral("select count(*), sum(ID) from storico"));
    QList<qint64> sentiti;
    QVERIFY_THROWS_EXCEPTION(ErroreArchivio, CancellaStoricoPeriodoScorrendo(QDate(2004, 3, 1), QDate(2004, 3, 31), [&](qint64 lette, qint64 totale) {
                                 sentiti << lette;
                                 return lette == 0 && totale == 10000;
                             }));
    QCOMPARE(sentiti.size(), 2);
    QVERIFY(sentiti[1] > 0 && sentiti[1] < 10000);
    QCOMPARE(Sqlite3(file, QStringLiteral("select count(*), sum(ID) from storico")), prima);
    sentiti.clear();
    QCOMPARE(CancellaStoricoPeriodoScorrendo(QDate(2004, 3, 1), QDate(2004, 3, 31), [&](qint64 lette, qint64 totale) {
                 sentiti << lette;
                 return totale == 10000;
             }),
             9000);
    QVERIFY(sentiti.size() > 3);
    QVERIFY(std::is_sorted(sentiti.begin(), sentiti.end()));
    QCOMPARE(sentiti.last(), qint64(10000));
    QCOMPARE(Sqlite3(file, QStringLiteral("select count(*), min(ID) from storico")), QStringLiteral("1000|9001"));
}

void TestAzzeramenti::propostaIntervallo_data() {
    QTest::addColumn<QStringList>("giorni");
    QTest::addColumn<QString>("da");
    QTest::addColumn<QString>("a");
    QTest::newRow("storico vuoto: oggi") << QStringList{} << "15/03/2004" << "15/03/2004";
    QTest::newRow("un solo giorno") << QStringList{"02/01/2004", "02/01/2004"} << "02/01/2004" << "02/01/2004";
    QTest::newRow("un arco di giorni") << QStringList{"10/02/2004", "31/12/2003", "05/01/2004"} << "31/12/2003" << "10/02/2004";
}

void TestAzzeramenti::propostaIntervallo() {
    QFETCH(QStringList, giorni);
    QFETCH(QString, da);
    QFETCH(QString, a);
    TAmbienteTest amb;
    InserisciMovimenti(giorni);
    TfrmSetCancStorico f;
    QCOMPARE(f.windowTitle(), QStringLiteral("Cancellazione storico"));
    QCOMPARE(f.ui()->EDdaData->text(), da);
    QCOMPARE(f.ui()->EDaData->text(), a);
}

void TestAzzeramenti::cancellaPeriodo_data() {
    QTest::addColumn<QString>("da");
    QTest::addColumn<QString>("a");
    QTest::addColumn<bool>("tastoEsc");
    QTest::addColumn<QString>("restano");
    QTest::newRow("estremi inclusi") << "01/01/2004" << "02/01/2004" << false << "2003-12-31 2004-01-05";
    QTest::newRow("tutto") << "31/12/2003" << "05/01/2004" << false << "";
    QTest::newRow("primo giorno dopo l'ultimo") << "05/01/2004" << "01/01/2004" << false << "2003-12-31 2004-01-01 2004-01-02 2004-01-05";
    QTest::newRow("con il tasto Esc") << "02/01/2004" << "05/01/2004" << true << "2003-12-31 2004-01-01";
}

void TestAzzeramenti::cancellaPeriodo() {
    QFETCH(QString, da);
    QFETCH(QString, a);
    QFETCH(bool, tastoEsc);
    QFETCH(QString, restano);
    TAmbienteTest amb;
    InserisciMovimenti({QStringLiteral("31/12/2003"), QStringLiteral("01/01/2004"), QStringLiteral("02/01/2004"), QStringLiteral("05/01/2004")});
    InserisciProdotto(1, 10, 4, 6, 2.5);
    const QString prodotti = Stato(amb);
    TfrmSetCancStorico f;
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaCancella, true);
    amb.risposte.attendi(TTipoMessaggio::Messaggio, QStringLiteral("Eliminazione archivio storico completata."));
    const int esito = EseguiModale(&f, [&] {
        f.ui()->EDdaData->setText(da);
        f.ui()->EDaData->setText(a);
        if (tastoEsc) QTest::keyClick(&f, Qt::Key_Escape);
        else QTest::mouseClick(f.ui()->ButCanc, Qt::LeftButton);
        QVERIFY(!f.isVisible());  // the cancel button ends the window
    });
    QCOMPARE(esito, int(QDialog::Rejected));
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(GiorniStorico(amb), restano);
    QCOMPARE(Stato(amb), prodotti);  // the counters stay
}

void TestAzzeramenti::dataCompletataUscendo() {
    TAmbienteTest amb;
    TfrmSetCancStorico f;
    EseguiModale(&f, [&] {
        f.ui()->EDdaData->setFocus();
        f.ui()->EDdaData->setText(QStringLiteral("5"));
        QTest::keyClick(f.ui()->EDdaData, Qt::Key_Tab);
        QCOMPARE(f.ui()->EDdaData->text(), QStringLiteral("05/03/2004"));
        // An impossible date: the error, and the focus goes back to the edit.
        amb.risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Data non corretta!"));
        f.ui()->EDaData->setText(QStringLiteral("3102"));
        QTest::keyClick(f.ui()->EDaData, Qt::Key_Tab);
        QTRY_VERIFY(f.ui()->EDaData->hasFocus());
        QCOMPARE(f.ui()->EDaData->text(), QStringLiteral("3102"));
        f.ui()->BTSesci->click();
    });
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestAzzeramenti::dataNonValidaNonCancella() {
    TAmbienteTest amb;
    InserisciMovimenti({QStringLiteral("01/01/2004"), QStringLiteral("02/01/2004")});
    TfrmSetCancStorico f;
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaCancella, true);
    amb.risposte.attendi(TTipoMessaggio::Errore, ErroreCancella);
    EseguiModale(&f, [&] {
        f.ui()->EDaData->setText(QStringLiteral("31/02/2004"));
        QTest::keyClick(&f, Qt::Key_Escape);
    });
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(GiorniStorico(amb), QStringLiteral("2004-01-01 2004-01-02"));
}

void TestAzzeramenti::escENoChiudeSenzaCancellare() {
    TAmbienteTest amb;
    InserisciMovimenti({QStringLiteral("01/01/2004")});
    TfrmSetCancStorico f;
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaCancella, false);
    EseguiModale(&f, [&] {
        QTest::keyClick(&f, Qt::Key_Escape);
        QVERIFY(!f.isVisible());
    });
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(GiorniStorico(amb), QStringLiteral("2004-01-01"));
}

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    TestAzzeramenti t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_azzeramenti.moc"
