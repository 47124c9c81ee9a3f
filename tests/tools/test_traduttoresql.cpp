// The export's SQL: the old dialect translated to SQLite by tokens, and the
// read-only connection that runs it and refuses anything but one query.

#include "AmbienteTest.h"
#include "DatiProva.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "tools/ConnessioneLettura.h"
#include "tools/TraduttoreSql.h"

#include <QDir>

namespace {

TCatalogoCampi CatalogoProgramma() {
    TCatalogoCampi c;
    c.insert(QStringLiteral("prodotti"), Definizioni::CampiProdotti());
    c.insert(QStringLiteral("storico"), Definizioni::CampiStorico());
    c.insert(QStringLiteral("impostazioni"), Definizioni::CampiImpostazioni());
    return c;
}

void InserisciProdotto(int id, const QString& nome, int quantita, const QDate& data, double prezzo) {
    TRigaProdotto p;
    p.id = id;
    p.nome = nome;
    p.quantita = quantita;
    p.dataOggi = data;
    p.prezzo = prezzo;
    ::InserisciProdotto(p);
}

}  // namespace

class TestTraduttoreSql : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void traduzione_data();
    void traduzione();
    void testoNonTraducibile_data();
    void testoNonTraducibile();
    void esecuzioneConTipi();
    void minuscoleAccentate();
    void istruzioneRifiutata_data();
    void istruzioneRifiutata();
};

void TestTraduttoreSql::traduzione_data() {
    QTest::addColumn<QString>("dialetto");
    QTest::addColumn<QString>("sqlite");
    QTest::newRow("esempio completo con periodo")
        << R"(SELECT prodotti.db."NOME", prodotti.db."QUANTITA" FROM prodotti.db  WHERE prodotti.db."QUANTITA" > 0 AND prodotti.db."DATAOGGI" >= "01/01/2002" AND prodotti.db."DATAOGGI" <= "01/01/2009" ORDER BY prodotti.db."NOME")"
        << R"(SELECT prodotti."NOME" AS "NOME", prodotti."QUANTITA" AS "QUANTITA" FROM prodotti  WHERE prodotti."QUANTITA" > 0 AND prodotti."DATAOGGI" >= '2002-01-01' AND prodotti."DATAOGGI" <= '2009-01-01' ORDER BY prodotti."NOME")";
    QTest::newRow("campo confrontato con una stringa omonima")
        << R"(select * from prodotti.db where NOME = "NOME")" << R"(select * from prodotti where "NOME" = 'NOME')";
    QTest::newRow("01/02/2003 è il 2 gennaio, tra apici singoli")
        << R"(select * from storico.db where DATAOGGI = '01/02/2003')" << R"(select * from storico where "DATAOGGI" = '2003-01-02')";
    QTest::newRow("anni 1000 e 9999 con between")
        << R"(select * from storico.db where storico.db."DATAOGGI" between "01/01/1000" and "12/31/9999")"
        << R"(select * from storico where storico."DATAOGGI" between '1000-01-01' and '9999-12-31')";
    QTest::newRow("not between")
        << R"(select * from storico.db where DATAOGGI not between "1/2/2003" and "3/4/2003")"
        << R"(select * from storico where "DATAOGGI" not between '2003-01-02' and '2003-03-04')";
    QTest::newRow("data a sinistra del campo")
        << R"(select * from storico.db where "01/02/2003" < storico.db."DATAOGGI")"
        << R"(select * from storico where '2003-01-02' < storico."DATAOGGI")";
    QTest::newRow("date in una lista in")
        << R"(select * from storico.db where DATAOGGI in ("01/02/2003", '12/25/2004'))"
        << R"(select * from storico where "DATAOGGI" in ('2003-01-02', '2004-12-25'))";
    QTest::newRow("una data confrontata con un testo resta testo")
        << R"(select * from prodotti.db where NOME = "01/02/2003")" << R"(select * from prodotti where "NOME" = '01/02/2003')";
    QTest::newRow("True e \"false\" su un campo logico")
        << R"(select * from prodotti.db where prodotti.db."SCADUTOTEMP" = True or SCADUTOTEMP <> "false")"
        << R"(select * from prodotti where prodotti."SCADUTOTEMP" = 1 or "SCADUTOTEMP" <> 0)";
    QTest::newRow("apostrofo in una stringa tra virgolette")
        << R"(select * from prodotti.db where NOME = "l'olio ""extra""")"
        << R"(select * from prodotti where "NOME" = 'l''olio "extra"')";
    QTest::newRow("nulla si riscrive dentro un letterale")
        << R"(select * from prodotti.db where NOME = 'prodotti.db."X" true 01/02/2003 ''a''')"
        << R"(select * from prodotti where "NOME" = 'prodotti.db."X" true 01/02/2003 ''a''')";
    QTest::newRow("nome di file con maiuscole")
        << R"(select * from Impostazioni.db)" << R"(select * from impostazioni)";
    QTest::newRow("aggregati senza nome")
        << R"(select sum(prezzo), MAX(storico.db."DATAOGGI"), count(*) from storico.db)"
        << R"(select sum("prezzo") AS "SUM OF PREZZO", MAX(storico."DATAOGGI") AS "MAX OF DATAOGGI", count(*) AS "COUNT OF *" from storico)";
    QTest::newRow("aggregato già nominato")
        << R"(select sum(PREZZO) as "Totale" from storico.db)" << R"(select sum("PREZZO") as "Totale" from storico)";
    QTest::newRow("unione di due tabelle")
        << R"(select prodotti.db."NOME", storico.db."QUANTITA" from prodotti.db, storico.db where prodotti.db."ID" = storico.db."IDPROD")"
        << R"(select prodotti."NOME" AS "NOME", storico."QUANTITA" AS "QUANTITA" from prodotti, storico where prodotti."ID" = storico."IDPROD")";
    QTest::newRow("commento lasciato com'è")
        << "select * from prodotti.db -- \"x\" true\n" << "select * from prodotti -- \"x\" true\n";
    QTest::newRow("tutti i campi di una tabella")
        << R"(select prodotti.db.*, storico.db."ID" from prodotti.db, storico.db)"
        << R"(select prodotti.*, storico."ID" AS "ID" from prodotti, storico)";
    QTest::newRow("with prima della select: si nominano le colonne di fuori")
        << R"(with t as (select NOME from prodotti.db) select NOME from t)"
        << R"(with "t" as (select "NOME" from prodotti) select "NOME" AS "NOME" from "t")";
    QTest::newRow("with recursive dentro una condizione")
        << R"(select * from cat.db where ID in (WITH RECURSIVE n(x) as (select 1 union all select x + 1 from n where x < 3) select x from n))"
        << R"(select * from cat where "ID" in (WITH RECURSIVE n("x") as (select 1 union all select "x" + 1 from "n" where "x" < 3) select "x" from "n"))";
}

void TestTraduttoreSql::traduzione() {
    QFETCH(QString, dialetto);
    QFETCH(QString, sqlite);
    QCOMPARE(TraduciSql(dialetto, CatalogoProgramma()).sql, sqlite);
}

void TestTraduttoreSql::testoNonTraducibile_data() {
    QTest::addColumn<QString>("dialetto");
    QTest::newRow("30 febbraio") << R"(select * from storico.db where DATAOGGI = "02/30/2003")";
    QTest::newRow("mese 13") << R"(select * from storico.db where DATAOGGI >= '13/01/2003')";
    QTest::newRow("stringa non chiusa") << R"(select * from prodotti.db where NOME = "abc)";
    QTest::newRow("commento non chiuso") << R"(select * from prodotti.db /* x)";
}

void TestTraduttoreSql::testoNonTraducibile() {
    QFETCH(QString, dialetto);
    QVERIFY_THROWS_EXCEPTION(ErroreTraduzione, TraduciSql(dialetto, CatalogoProgramma()));
}

void TestTraduttoreSql::esecuzioneConTipi() {
    InserisciProdotto(1, QStringLiteral("Olio"), 5, QDate(2003, 1, 2), 12.5);
    InserisciProdotto(2, QStringLiteral("Sale"), 0, QDate(2003, 2, 1), 1);
    InserisciProdotto(3, QStringLiteral("Vino"), 7, QDate(2010, 1, 1), 3);
    TConnessioneLettura c(m_amb->cartella());
    c.prepara(QStringLiteral(R"(SELECT prodotti.db."NOME", prodotti.db."QUANTITA", prodotti.db."DATAOGGI", prodotti.db."PREZZO" FROM prodotti.db  WHERE prodotti.db."QUANTITA" > 0 AND prodotti.db."DATAOGGI" >= "01/01/2002" AND prodotti.db."DATAOGGI" <= "01/01/2009" ORDER BY prodotti.db."NOME")"));
    QCOMPARE(c.colonne().size(), 4);
    QCOMPARE(c.colonne()[0].nome, Prodotti::Nome);
    QCOMPARE(c.colonne()[0].campo.tipo, TTipoCampo::String);
    QCOMPARE(c.colonne()[0].campo.dimensione, 40);
    QCOMPARE(c.colonne()[1].campo.tipo, TTipoCampo::Integer);
    QCOMPARE(c.colonne()[2].campo.tipo, TTipoCampo::Date);
    QCOMPARE(c.colonne()[3].campo.tipo, TTipoCampo::Float);
    QVERIFY(c.prossima());
    QCOMPARE(c.valore(0).toString(), QStringLiteral("Olio"));
    QCOMPARE(c.valore(2).toDate(), QDate(2003, 1, 2));
    QCOMPARE(c.valore(3).toDouble(), 12.5);
    QVERIFY(!c.prossima());

    // Aggregates carry their field's type under the old engine's names.
    c.prepara(QStringLiteral(R"(select max(DATAOGGI), sum(prezzo), count(*) from prodotti.db)"));
    QCOMPARE(c.colonne()[0].nome, QStringLiteral("MAX OF DATAOGGI"));
    QCOMPARE(c.colonne()[0].campo.tipo, TTipoCampo::Date);
    QCOMPARE(c.colonne()[1].nome, QStringLiteral("SUM OF PREZZO"));
    QCOMPARE(c.colonne()[1].campo.tipo, TTipoCampo::Float);
    QCOMPARE(c.colonne()[2].campo.tipo, TTipoCampo::Integer);
    QVERIFY(c.prossima());
    QCOMPARE(c.valore(0).toDate(), QDate(2010, 1, 1));
    QCOMPARE(c.valore(1).toDouble(), 16.5);
    QCOMPARE(c.valore(2).toLongLong(), 3LL);

    // A recursive common table expression is a query like any other.
    c.prepara(QStringLiteral(R"(with recursive n(x) as (select 1 union all select x + 1 from n where x < 3) select x from n)"));
    QStringList valori;
    while (c.prossima()) valori << c.valore(0).toString();
    QCOMPARE(valori, QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
}

void TestTraduttoreSql::minuscoleAccentate() {
    InserisciProdotto(1, QStringLiteral("ÈLITE"), 1, QDate(2003, 1, 2), 1);
    InserisciProdotto(2, QStringLiteral("ELITE"), 1, QDate(2003, 1, 2), 1);
    TConnessioneLettura c(m_amb->cartella());
    c.prepara(QStringLiteral(R"(select ID from prodotti.db where lower(NOME) = "èlite")"));
    QVERIFY(c.prossima());
    QCOMPARE(c.valore(0).toInt(), 1);
    QVERIFY(!c.prossima());
}

void TestTraduttoreSql::istruzioneRifiutata_data() {
    QTest::addColumn<QString>("istruzione");
    QTest::newRow("; delete dopo una select") << R"(select * from prodotti.db; delete from prodotti.db)";
    QTest::newRow("delete") << R"(delete from prodotti.db)";
    QTest::newRow("insert") << R"(insert into cat.db values (9, "x"))";
    QTest::newRow("update") << R"(update prodotti.db set NOME = 'x')";
    QTest::newRow("attach di un file nuovo") << R"(attach "%1nuovo.db" as n)";
    QTest::newRow("attach di un archivio esistente") << R"(attach "%1cat.db" as c2)";
    QTest::newRow("detach") << R"(detach prodotti)";
    QTest::newRow("funzione pragma") << R"(select * from pragma_table_info('prodotti'))";
    QTest::newRow("pragma") << R"(pragma writable_schema = 1)";
    QTest::newRow("drop") << R"(drop table prodotti.db)";
    QTest::newRow("create") << R"(create table x(a))";
    QTest::newRow("transazione") << R"(begin)";
    QTest::newRow("vacuum into") << R"(vacuum into "%1copia.db")";
    QTest::newRow("due select") << R"(select 1; select 2)";
    QTest::newRow("estensione") << R"(select load_extension('x'))";
}

void TestTraduttoreSql::istruzioneRifiutata() {
    QFETCH(QString, istruzione);
    InserisciProdotto(1, QStringLiteral("Olio"), 5, QDate(2003, 1, 2), 12.5);
    TArchivio::corrente().scollegaTutte();
    const auto prima = Impronte(m_amb->cartella());
    {
        TConnessioneLettura c(m_amb->cartella());
        bool rifiutata = false;
        try {
            c.prepara(istruzione.contains(QLatin1String("%1")) ? istruzione.arg(m_amb->cartella()) : istruzione);
            while (c.prossima()) {
            }
        } catch (const ErroreInterrogazione& e) {
            rifiutata = true;
            QVERIFY2(!e.testo().isEmpty(), "messaggio vuoto");
        }
        QVERIFY2(rifiutata, "istruzione accettata");
    }
    QCOMPARE(Impronte(m_amb->cartella()), prima);
}

QTEST_MAIN(TestTraduttoreSql)
#include "test_traduttoresql.moc"
