// The searches typed key by key: the list filtered in memory gives the same
// rows, in the same order, as the search over the table it replaced
// (lower(field) LIKE with % _ and \ escaped), and sees the table's changes;
// keys typed while the fields are read beside the interface are not lost.
// Products (registry, list and the movement windows' panel with its
// category), producers and categories.

#include "AmbienteTest.h"
#include "Dati.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/ModelloElenco.h"
#include "movements/Movimenti.h"
#include "registries/DatiRegistri.h"

#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

QList<qint64> Chiavi(const TModelloElenco& m) {
    QList<qint64> l;
    for (int i = 0; i < m.conteggio(); ++i) l << m.valore(i, Prodotti::Id).toLongLong();
    return l;
}

// The search as it ran over the table: the code begins with the first text,
// the description contains the second.
QList<qint64> RicercaSql(const QString& codice, const QString& descrizione, const QString& ordine) {
    TModelloElenco m;
    m.impostaColonne({{Prodotti::Id, QStringLiteral("ID")}});
    m.esegui(Definizioni::Prodotti,
             QStringLiteral("lower(%1) LIKE ? ESCAPE '\\' and lower(%2) LIKE ? ESCAPE '\\'").arg(Prodotti::Nome, Prodotti::Descrizione),
             {EscapeLike(codice.toLower()) + QLatin1Char('%'), QLatin1Char('%') + EscapeLike(descrizione.toLower()) + QLatin1Char('%')},
             ordine);
    return Chiavi(m);
}

// The movement panel's search as it ran over the table: the same two texts
// and, when a category is given, its ID.
QList<qint64> RicercaSqlPannello(const QString& codice, const QString& descrizione, const QString& categoria,
                                 const QString& ordine) {
    QString condizione =
        QStringLiteral("lower(%1) LIKE ? ESCAPE '\\' and lower(%2) LIKE ? ESCAPE '\\'").arg(Prodotti::Nome, Prodotti::Descrizione);
    QVariantList parametri{EscapeLike(codice.toLower()) + QLatin1Char('%'),
                           QLatin1Char('%') + EscapeLike(descrizione.toLower()) + QLatin1Char('%')};
    if (!categoria.trimmed().isEmpty()) {
        condizione += QStringLiteral(" and %1 = ?").arg(Prodotti::IdCategoria);
        parametri << categoria.trimmed().toInt();
    }
    TModelloElenco m;
    m.impostaColonne({{Prodotti::Id, QStringLiteral("ID")}});
    m.esegui(Definizioni::Prodotti, condizione, parametri, ordine);
    return Chiavi(m);
}

// A field beginning with the text, as it ran over the table.
QList<qint64> RicercaSqlInizia(const QString& tabella, const QString& campo, const QString& testo, const QString& ordine) {
    TModelloElenco m;
    m.impostaColonne({{QStringLiteral("ID"), QStringLiteral("ID")}});
    m.esegui(tabella, QStringLiteral("lower(%1) LIKE ? ESCAPE '\\'").arg(campo),
             {EscapeLike(testo.toLower()) + QLatin1Char('%')}, ordine);
    QList<qint64> l;
    for (int i = 0; i < m.conteggio(); ++i) l << m.valore(i, QStringLiteral("ID")).toLongLong();
    return l;
}

void Fixture() {
    InserisciProdotto(1, QStringLiteral("CAFFÈ01"), QStringLiteral("Caffè macinato"));
    InserisciProdotto(2, QStringLiteral("caffe02"), QStringLiteral("CAFFE' D'ORZO"));
    InserisciProdotto(3, QStringLiteral("Sconto50%"), QStringLiteral("sconto 50% sul secondo"));
    InserisciProdotto(4, QStringLiteral("A_B"), QStringLiteral("testo_con_trattino"));
    InserisciProdotto(5, QStringLiteral("AXB"), QStringLiteral("testoXconXtrattino"));
    InserisciProdotto(6, QStringLiteral("L'OLIO"), QStringLiteral("Olio d'oliva extravergine"));
    InserisciProdotto(7, QStringLiteral("ÀNFORA"), QStringLiteral("Anfora in terracotta ÈCCO"));
    InserisciProdotto(8, QString(), QStringLiteral("codice vuoto"));
    InserisciProdotto(9, QStringLiteral("NODESC"), QStringLiteral("x"));
    InserisciProdotto(10, QStringLiteral("back\\slash"), QStringLiteral("a\\b"));
    InserisciProdotto(11, QStringLiteral("VUOTA"), QStringLiteral("x"));
    TArchivio& a = TArchivio::corrente();
    const QString tabella = a.nomeQualificato(Definizioni::Prodotti);
    a.esegui(QStringLiteral("update %1 set %2 = null where %3 = 9").arg(tabella, Prodotti::Descrizione, Prodotti::Id));
    a.esegui(QStringLiteral("update %1 set %2 = '' where %3 = 11").arg(tabella, Prodotti::Descrizione, Prodotti::Id));
    a.esegui(QStringLiteral("update %1 set %2 = '' where %3 = 8").arg(tabella, Prodotti::Nome, Prodotti::Id));
    // Categories 1 to 3 in turn; product 11 has none.
    a.esegui(QStringLiteral("update %1 set %2 = %3 % 3 + 1").arg(tabella, Prodotti::IdCategoria, Prodotti::Id));
    a.esegui(QStringLiteral("update %1 set %2 = null where %3 = 11").arg(tabella, Prodotti::IdCategoria, Prodotti::Id));
}

}  // namespace

class TestRicercaProdotti : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void comeLaRicercaSullaTabella_data() {
        QTest::addColumn<QString>("codice");
        QTest::addColumn<QString>("descrizione");
        QTest::addColumn<int>("trovati");
        QTest::newRow("nessun testo: tutti tranne la descrizione nulla") << "" << "" << 10;
        QTest::newRow("inizio del codice, maiuscole ignorate") << "CAFF" << "" << 2;
        QTest::newRow("lettera accentata maiuscola cercata minuscola") << "caffè" << "" << 1;
        QTest::newRow("lettera accentata minuscola cercata maiuscola") << "ÀN" << "" << 1;
        QTest::newRow("accento non piegato sulla lettera semplice") << "an" << "" << 0;
        QTest::newRow("accento nella descrizione") << "" << "è" << 2;
        QTest::newRow("codice solo all'inizio, non nel mezzo") << "affè" << "" << 0;
        QTest::newRow("percento letterale nel codice") << "sconto50%" << "" << 1;
        QTest::newRow("percento da solo non è un jolly") << "%" << "" << 0;
        QTest::newRow("percento letterale nella descrizione") << "" << "50%" << 1;
        QTest::newRow("trattino basso letterale nel codice") << "a_b" << "" << 1;
        QTest::newRow("trattino basso letterale nella descrizione") << "" << "o_c" << 1;
        QTest::newRow("apostrofo nel codice") << "l'o" << "" << 1;
        QTest::newRow("apostrofo nella descrizione") << "" << "D'O" << 2;
        QTest::newRow("apostrofo da solo") << "'" << "" << 0;
        QTest::newRow("barra rovescia letterale") << "back\\" << "" << 1;
        QTest::newRow("codice e descrizione insieme") << "caff" << "orzo" << 1;
        QTest::newRow("descrizione vuota trovata solo senza testo") << "vuota" << "x" << 0;
        QTest::newRow("nessun prodotto") << "zzz" << "" << 0;
    }
    void comeLaRicercaSullaTabella() {
        QFETCH(QString, codice);
        QFETCH(QString, descrizione);
        QFETCH(int, trovati);
        Fixture();
        for (const QString& ordine : {QString(), Prodotti::Nome}) {
            TModelloElenco m;
            m.impostaColonne({{Prodotti::Id, QStringLiteral("ID")}});
            m.cerca(Definizioni::Prodotti, RicercaProdotti(codice, descrizione), ordine);
            const QList<qint64> sql = RicercaSql(codice, descrizione, ordine);
            QCOMPARE(Chiavi(m), sql);
            QCOMPARE(m.conteggio(), trovati);
        }
    }

    // Texts longer than a short length mark (written by hand past the
    // field's size) and rows across several blocks of the fields held in
    // memory: the same rows as over the table, a match found past the
    // 254th byte, and the rows after a long text read right.
    void testiLunghiEPiuBlocchi() {
        Fixture();
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("with recursive n(i) as (select 100 union all select i + 1 from n where i < %1) "
                                "insert into %2 (%3, %4, %5) select i, 'L' || i, case when i % 7 = 0 then "
                                "replace(printf('%.300c', 'à'), ' ', 'à') || 'fine' || i when i % 7 = 1 then "
                                "printf('%.70000c', 'x') || 'Fondo' else 'breve ' || i end from n")
                         .arg(100 + 2 * TModelloElenco::RigheBlocco)
                         .arg(a.nomeQualificato(Definizioni::Prodotti), Prodotti::Id, Prodotti::Nome, Prodotti::Descrizione));
        const struct {
            const char* codice;
            const char* descrizione;
        } casi[] = {{"l", "àfine7"}, {"l", "fondo"}, {"l1", "breve 1"}, {"", "à"}, {"l", ""}};
        TModelloElenco m;
        m.impostaColonne({{Prodotti::Id, QStringLiteral("ID")}});
        for (const auto& c : casi) {
            const QString codice = QString::fromUtf8(c.codice), descrizione = QString::fromUtf8(c.descrizione);
            m.cerca(Definizioni::Prodotti, RicercaProdotti(codice, descrizione), Prodotti::Nome);
            const QList<qint64> sql = RicercaSql(codice, descrizione, Prodotti::Nome);
            QVERIFY2(!sql.isEmpty(), c.descrizione);
            QCOMPARE(Chiavi(m), sql);
        }
    }

    // The movement windows' panel: the two texts filtered in memory among the
    // products of the category typed in its box (empty: every category).
    void pannelloConCategoria_data() {
        QTest::addColumn<QString>("codice");
        QTest::addColumn<QString>("descrizione");
        QTest::addColumn<QString>("categoria");
        QTest::addColumn<int>("trovati");
        QTest::newRow("nessuna categoria, nessun testo") << "" << "" << "" << 10;
        QTest::newRow("una categoria") << "" << "" << "2" << 4;
        QTest::newRow("categoria con spazi intorno") << "" << "" << " 2 " << 4;
        QTest::newRow("categoria e codice") << "caff" << "" << "3" << 1;
        QTest::newRow("categoria e descrizione con apostrofo") << "" << "d'o" << "3" << 1;
        QTest::newRow("categoria senza prodotti") << "" << "" << "9" << 0;
        QTest::newRow("categoria non numerica vale 0") << "" << "" << "abc" << 0;
    }
    void pannelloConCategoria() {
        QFETCH(QString, codice);
        QFETCH(QString, descrizione);
        QFETCH(QString, categoria);
        QFETCH(int, trovati);
        Fixture();
        for (const bool ordineStandard : {true, false}) {
            const TSqlLista l = SqlRicercaProdotti(codice, descrizione, categoria, ordineStandard);
            TModelloElenco m;
            m.impostaColonne({{Prodotti::Id, QStringLiteral("ID")}});
            m.cerca(Definizioni::Prodotti, l.ricerche, l.ordine, l.condizione, l.parametri);
            QCOMPARE(Chiavi(m), RicercaSqlPannello(codice, descrizione, categoria, l.ordine));
            QCOMPARE(m.conteggio(), trovati);
        }
    }

    // Another category on the same model reads the table again; a key typed
    // after it filters among that category's products only.
    void cambioDiCategoria() {
        Fixture();
        TModelloElenco m;
        m.impostaColonne({{Prodotti::Id, QStringLiteral("ID")}});
        const auto cerca = [&](const QString& codice, const QString& categoria) {
            const TSqlLista l = SqlRicercaProdotti(codice, {}, categoria, false);
            m.cerca(Definizioni::Prodotti, l.ricerche, l.ordine, l.condizione, l.parametri);
            return Chiavi(m);
        };
        QCOMPARE(cerca(QStringLiteral("c"), QStringLiteral("2")), (QList<qint64>{1}));
        QCOMPARE(cerca(QStringLiteral("c"), QStringLiteral("3")), (QList<qint64>{2}));
        QCOMPARE(cerca(QStringLiteral("c"), QString()), (QList<qint64>{1, 2}));
        QCOMPARE(cerca(QStringLiteral("ca"), QStringLiteral("3")), (QList<qint64>{2}));
    }

    // Producers (by name or surname) and categories: the field begins with
    // the text.
    void iniziaComeSullaTabella_data() {
        QTest::addColumn<QString>("testo");
        QTest::newRow("nessun testo") << "";
        QTest::newRow("maiuscole ignorate") << "ROS";
        QTest::newRow("lettera accentata") << "è";
        QTest::newRow("accento non piegato") << "e";
        QTest::newRow("apostrofo") << "d'";
        QTest::newRow("percento letterale") << "50%";
        QTest::newRow("trattino basso letterale") << "a_";
        QTest::newRow("solo all'inizio") << "ssi";
        QTest::newRow("nessuno") << "zzz";
    }
    void iniziaComeSullaTabella() {
        QFETCH(QString, testo);
        const QStringList nomi{QStringLiteral("Rossi"), QStringLiteral("rossini"), QStringLiteral("Èrcole"),
                               QStringLiteral("ercolano"), QStringLiteral("D'Angelo"), QStringLiteral("50% sconti"),
                               QStringLiteral("A_B"), QStringLiteral("AXB"), QString()};
        for (int i = 0; i < nomi.size(); ++i) {
            InserisciProduttore(i + 1, nomi[i], nomi[nomi.size() - 1 - i]);
            InserisciCategoria(i + 1, nomi[i]);
        }
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("update %1 set %2 = null where %2 = ''").arg(a.nomeQualificato(Definizioni::Produttori), Produttori::Nome));
        a.esegui(QStringLiteral("update %1 set %2 = null where %2 = ''").arg(a.nomeQualificato(Definizioni::Produttori), Produttori::Cognome));
        a.esegui(QStringLiteral("update %1 set %2 = null where %2 = ''").arg(a.nomeQualificato(Definizioni::Categorie), Cat::Categoria));
        const struct {
            QString tabella, campo, ordine;
        } casi[] = {{Definizioni::Produttori, Produttori::Nome, Produttori::Id},
                    {Definizioni::Produttori, Produttori::Cognome, Produttori::Id},
                    {Definizioni::Categorie, Cat::Categoria, QString()}};
        for (const auto& c : casi) {
            TModelloElenco m;
            m.impostaColonne({{QStringLiteral("ID"), QStringLiteral("ID")}});
            m.cerca(c.tabella, RicercaInizia(c.campo, testo), c.ordine);
            QList<qint64> trovate;
            for (int i = 0; i < m.conteggio(); ++i) trovate << m.valore(i, QStringLiteral("ID")).toLongLong();
            QCOMPARE(trovate, RicercaSqlInizia(c.tabella, c.campo, testo, c.ordine));
            if (testo.isEmpty()) QCOMPARE(trovate.size(), nomi.size() - 1);
        }
    }

    // After a movement (quantities changed through this program) the search
    // keeps its rows and shows the new values; after another program's write
    // it runs again and finds what that write changed.
    void valoriAggiornatiDopoUnMovimento() {
        Fixture();
        TModelloElenco m;
        m.impostaColonne({{Prodotti::Id, QStringLiteral("ID")}, {Prodotti::Quantita, QStringLiteral("Q.ta")}});
        m.cerca(Definizioni::Prodotti, RicercaProdotti(QStringLiteral("caff"), {}), Prodotti::Nome);
        QCOMPARE(Chiavi(m), (QList<qint64>{1, 2}));
        QCOMPARE(m.valore(0, Prodotti::Quantita).toInt(), 0);
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("update %1 set %2 = 7 where %3 = 1").arg(a.nomeQualificato(Definizioni::Prodotti), Prodotti::Quantita, Prodotti::Id));
        m.aggiornaValori();
        QCOMPARE(Chiavi(m), (QList<qint64>{1, 2}));
        QCOMPARE(m.valore(0, Prodotti::Quantita).toInt(), 7);
        Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral("update prodotti set NOME = 'caffè03' where ID = 5;"));
        m.aggiornaValori();
        QCOMPARE(Chiavi(m), (QList<qint64>{1, 2, 5}));
        // A list that is not a search runs again.
        m.esegui(Definizioni::Prodotti, QStringLiteral("%1 < 3").arg(Prodotti::Id));
        a.esegui(QStringLiteral("delete from %1 where %2 = 1").arg(a.nomeQualificato(Definizioni::Prodotti), Prodotti::Id));
        m.aggiornaValori();
        QCOMPARE(Chiavi(m), (QList<qint64>{2}));
    }

    // The same model searched again after the table changed, through this
    // program, through another one, or while detached, finds the new rows.
    void vedeLeModificheDellaTabella() {
        Fixture();
        TModelloElenco m;
        m.impostaColonne({{Prodotti::Id, QStringLiteral("ID")}});
        m.cerca(Definizioni::Prodotti, RicercaProdotti(QStringLiteral("caff"), {}), Prodotti::Nome);
        QCOMPARE(Chiavi(m), (QList<qint64>{1, 2}));
        InserisciProdotto(12, QStringLiteral("CAFFÈ00"), QStringLiteral("nuovo"));
        m.riesegui();
        QCOMPARE(Chiavi(m), (QList<qint64>{12, 1, 2}));
        Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral("update prodotti set NOME = 'caffè03' where ID = 5;"));
        m.cerca(Definizioni::Prodotti, RicercaProdotti(QStringLiteral("caff"), {}), Prodotti::Nome);
        QCOMPARE(Chiavi(m), (QList<qint64>{12, 1, 2, 5}));
        QCOMPARE(Chiavi(m), RicercaSql(QStringLiteral("caff"), {}, Prodotti::Nome));
        // Changed while detached: the file attached again is read again.
        TArchivio::corrente().scollega(Definizioni::Prodotti);
        Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral("update prodotti set NOME = 'caffè04' where ID = 4;"));
        m.riesegui();
        QCOMPARE(Chiavi(m), (QList<qint64>{12, 1, 2, 5, 4}));
    }

    // Keys typed while the first search is read (the search called again
    // from the event loop that the reading keeps turning) end with the rows
    // of the last texts, as typed slowly: with the fields read into memory,
    // and with a table past the budget, searched by the engine key by key.
    void tastiDigitatiDuranteLaLettura_data() {
        QTest::addColumn<qint64>("budget");
        QTest::newRow("campi in memoria") << TModelloElenco::BudgetIndiceByte;
        QTest::newRow("oltre il budget, ricerca sul motore") << qint64(1);
    }
    void tastiDigitatiDuranteLaLettura() {
        QFETCH(qint64, budget);
        Fixture();
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("with recursive n(i) as (select 100 union all select i + 1 from n where i < 30000) "
                                "insert into %1 (%2, %3, %4) select i, case i % 3 when 0 then 'CA' when 1 then 'CAF' "
                                "else 'CAFF' end || i, case i % 2 when 0 then 'orzo' else 'caffè' end from n")
                     .arg(a.nomeQualificato(Definizioni::Prodotti), Prodotti::Id, Prodotti::Nome, Prodotti::Descrizione));
        const QStringList tasti{QStringLiteral("c"), QStringLiteral("ca"), QStringLiteral("caf"), QStringLiteral("caff1")};
        TModelloElenco m;
        m.impostaBudgetIndice(budget);
        m.impostaColonne({{Prodotti::Id, QStringLiteral("ID")}});
        QList<bool> duranteLaLettura;
        int prossimo = 1;
        std::function<void()> digita = [&] {
            if (prossimo >= tasti.size()) return;
            duranteLaLettura << m.inLettura();
            m.cerca(Definizioni::Prodotti, RicercaProdotti(tasti[prossimo++], QStringLiteral("È")), Prodotti::Nome);
            QTimer::singleShot(0, &m, digita);
        };
        QTimer::singleShot(0, &m, digita);
        m.cerca(Definizioni::Prodotti, RicercaProdotti(tasti[0], QStringLiteral("È")), Prodotti::Nome);
        QCOMPARE(duranteLaLettura, (QList<bool>{true, true, true}));
        QVERIFY(!m.inLettura());
        const QList<qint64> attese = RicercaSql(tasti.last(), QStringLiteral("è"), Prodotti::Nome);
        QCOMPARE(attese.size(), 1851);
        QCOMPARE(Chiavi(m), attese);
        TModelloElenco lento;
        lento.impostaBudgetIndice(budget);
        lento.impostaColonne({{Prodotti::Id, QStringLiteral("ID")}});
        for (const QString& t : tasti) lento.cerca(Definizioni::Prodotti, RicercaProdotti(t, QStringLiteral("È")), Prodotti::Nome);
        QCOMPARE(Chiavi(lento), attese);
    }
};

QTEST_MAIN(TestRicercaProdotti)
#include "test_ricercaprodotti.moc"
