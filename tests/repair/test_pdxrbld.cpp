// The table-repair tool run as the program runs it: a damaged index rebuilt,
// every table intact afterwards for the sqlite3 tool, its command line read
// in the ways a caller may write it.

#include "AmbienteTest.h"

#include <QProcess>

namespace {

QString Strumento() { return CartellaProgrammaCompilato() + QStringLiteral("Pdxrbld.exe"); }

int Esegui(const QStringList& argomenti) {
    QProcess p;
    p.start(Strumento(), argomenti);
    if (!p.waitForFinished(30000)) return -1000;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1001;
}

// A table whose index no longer matches its rows.
void TabellaDanneggiata(const QString& file) {
    Sqlite3(file,
            "create table prodotti (ID INTEGER, NOME VARCHAR(40));"
            "create index NOME on prodotti (NOME);"
            "insert into prodotti values (1, 'vite'), (2, 'bullone'), (3, 'dado');"
            "PRAGMA writable_schema = ON;"
            "update sqlite_master set sql = 'CREATE INDEX NOME on prodotti (ID)' where name = 'NOME';");
}

}  // namespace

class TestPdxrbld : public QObject {
    Q_OBJECT
private slots:
    void riparaIndice();
    void rigaDiComando_data();
    void rigaDiComando();
    void cartellaMancante();
};

void TestPdxrbld::riparaIndice() {
    QTemporaryDir dir;
    const QString c = dir.path() + QStringLiteral("/con spazio/");
    QVERIFY(QDir().mkpath(c));
    TabellaDanneggiata(c + "prodotti.db");
    Sqlite3(c + "cat.db", "create table cat (ID INTEGER PRIMARY KEY, CATEGORIA VARCHAR(30)); insert into cat values (1, 'viteria');");
    QVERIFY(Sqlite3(c + "prodotti.db", "pragma integrity_check").contains("missing from index"));
    QCOMPARE(Esegui({"-Q+", "-R1", "/F" + c}), 0);
    QCOMPARE(Sqlite3(c + "prodotti.db", "pragma integrity_check"), QStringLiteral("ok"));
    QCOMPARE(Sqlite3(c + "cat.db", "pragma integrity_check"), QStringLiteral("ok"));
    // The rows are all there, and the index now serves them.
    QCOMPARE(Sqlite3(c + "prodotti.db", "select group_concat(NOME, ',') from (select NOME from prodotti indexed by NOME order by ID)"),
             QStringLiteral("vite,bullone,dado"));
    QCOMPARE(Sqlite3(c + "cat.db", "select CATEGORIA from cat"), QStringLiteral("viteria"));
}

void TestPdxrbld::rigaDiComando_data() {
    QTest::addColumn<QString>("forma");
    QTest::newRow("/F<cartella>") << "unito";
    QTest::newRow("\"/F<cartella>\" con le virgolette") << "virgolette";
    QTest::newRow("/F e la cartella separati") << "separato";
    QTest::newRow("-f minuscolo") << "minuscolo";
}

void TestPdxrbld::rigaDiComando() {
    QFETCH(QString, forma);
    QTemporaryDir dir;
    const QString c = dir.path() + QStringLiteral("/una cartella/");
    QVERIFY(QDir().mkpath(c));
    TabellaDanneggiata(c + "prodotti.db");
    QStringList a = {"-Q+", "-R1"};
    if (forma == "unito") a << "/F" + c;
    else if (forma == "virgolette") a << "\"/F" + c + "\"";
    else if (forma == "separato") a << "/F" << c;
    else a << "-f" + c;
    QCOMPARE(Esegui(a), 0);
    QCOMPARE(Sqlite3(c + "prodotti.db", "pragma integrity_check"), QStringLiteral("ok"));
}

void TestPdxrbld::cartellaMancante() {
    QTemporaryDir dir;
    QCOMPARE(Esegui({"-Q+", "-R1"}), 2);                                   // no folder
    QCOMPARE(Esegui({"-Q+", "-R1", "/F" + dir.path() + "/non esiste/"}), 1);  // unreadable folder
    QCOMPARE(Esegui({"-Q+", "-R1", "/F" + dir.path()}), 0);                   // no tables: nothing to do
}

QTEST_MAIN(TestPdxrbld)
#include "test_pdxrbld.moc"
