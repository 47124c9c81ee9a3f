// The table-repair tool run as the program runs it: a damaged index rebuilt,
// every table intact afterwards for the sqlite3 tool, its command line read
// in the ways a caller may write it, and no table touched when one of them is
// held by another process.

#include "AmbienteTest.h"
#include "DatiProva.h"

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

// The program's six table files, in the order the tool goes through them.
const QStringList SeiTabelle = {"cat.db", "impostazioni.db", "prodotti.db", "produttori.db", "storico.db", "tabexport.db"};

// Tables that the tool would change: each has free pages that VACUUM drops,
// and prodotti.db an index that REINDEX rebuilds.
void TabelleDaRiparare(const QString& c) {
    for (const QString& t : SeiTabelle) {
        if (t == "prodotti.db") {
            TabellaDanneggiata(c + t);
            continue;
        }
        const QString nome = t.chopped(3);
        Sqlite3(c + t, "create table " + nome + " (ID INTEGER, TESTO VARCHAR(200));"
                       "with recursive n(i) as (select 1 union all select i + 1 from n where i < 200)"
                       " insert into " + nome + " select i, printf('%0200d', i) from n;"
                       "delete from " + nome + " where ID > 20;");
    }
}

// The files that differ between two moments: changed, added or removed.
QStringList Cambiati(const QMap<QString, QByteArray>& prima, const QMap<QString, QByteArray>& dopo) {
    QStringList l;
    for (auto it = prima.cbegin(); it != prima.cend(); ++it)
        if (dopo.value(it.key()) != it.value()) l << it.key();
    for (const QString& f : dopo.keys())
        if (!prima.contains(f)) l << f;
    return l;
}

}  // namespace

class TestPdxrbld : public QObject {
    Q_OBJECT
private slots:
    void riparaIndice();
    void rigaDiComando_data();
    void rigaDiComando();
    void cartellaMancante();
    void tabellaTenuta_data();
    void tabellaTenuta();
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

void TestPdxrbld::tabellaTenuta_data() {
    QTest::addColumn<QString>("tenuta");
    QTest::addColumn<QString>("comandi");
    QTest::newRow("ultima tabella in scrittura") << "tabexport.db" << "begin exclusive;";
    QTest::newRow("ultima tabella in lettura") << "tabexport.db" << "begin; select count(*) from tabexport;";
    QTest::newRow("prima tabella in scrittura") << "cat.db" << "begin exclusive;";
}

void TestPdxrbld::tabellaTenuta() {
    QFETCH(QString, tenuta);
    QFETCH(QString, comandi);
    QTemporaryDir dir;
    const QString c = dir.path() + QStringLiteral("/tabelle/");
    QVERIFY(QDir().mkpath(c));
    TabelleDaRiparare(c);
    const QMap<QString, QByteArray> prima = Impronte(c);
    QCOMPARE(prima.keys(), SeiTabelle);

    QProcess altro;
    altro.start(QStringLiteral("sqlite3"), {c + tenuta});
    QVERIFY(altro.waitForStarted());
    altro.write((comandi + "\nselect 'preso';\n").toUtf8());
    QByteArray risposta;
    while (!risposta.contains("preso") && altro.waitForReadyRead(5000)) risposta += altro.readAllStandardOutput();
    QVERIFY2(risposta.contains("preso"), altro.readAllStandardError().constData());
    QCOMPARE(Esegui({"-Q+", "-R1", "/F" + c}), 254);
    altro.closeWriteChannel();
    QVERIFY(altro.waitForFinished(5000));
    // No file changed, none added or removed.
    QCOMPARE(Cambiati(prima, Impronte(c)), QStringList());

    // Once free, the same tables are repaired and compacted.
    QCOMPARE(Esegui({"-Q+", "-R1", "/F" + c}), 0);
    QCOMPARE(Sqlite3(c + "prodotti.db", "pragma integrity_check"), QStringLiteral("ok"));
    QCOMPARE(Cambiati(prima, Impronte(c)), SeiTabelle);
    for (const QString& t : SeiTabelle) QCOMPARE(Sqlite3(c + t, "pragma freelist_count"), QStringLiteral("0"));
}

QTEST_MAIN(TestPdxrbld)
#include "test_pdxrbld.moc"
