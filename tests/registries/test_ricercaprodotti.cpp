// The product search typed key by key: the list filtered in memory gives the
// same rows, in the same order, as the search over the table it replaced
// (lower(field) LIKE with % _ and \ escaped), and sees the table's changes.

#include "AmbienteTest.h"
#include "Dati.h"
#include "app/Fx.h"
#include "app/ModelloElenco.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "registries/DatiRegistri.h"

#include <QtTest>

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
};

QTEST_MAIN(TestRicercaProdotti)
#include "test_ricercaprodotti.moc"
