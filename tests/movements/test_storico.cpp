// The history screen by screen with the running balance, and the reversal of
// a wrong movement: the book afterwards against the same book where the
// movement was never made, read with sqlite3; the refusals; the window.

#include "AmbienteTest.h"
#include "Fixture.h"
#include "data/Orologio.h"
#include "data/engine/Definizioni.h"
#include "movements/Azzeramenti.h"
#include "movements/MovimentiMagazzino.h"
#include "movements/StoricoMovimenti.h"
#include "ui_MovimentiMagazzino.h"

#include <QScrollBar>

namespace {

void Giorno(int g) { ImpostaOrologio(QDateTime(QDate(2026, 3, g), QTime(10, 0))); }

TDatiMovimento Dati(int q, double acq, double ven, int tipo = AggiustaNessuno) {
    TDatiMovimento d;
    d.quantita = q;
    d.prezzoAcq = acq;
    d.prezzoVen = ven;
    d.tipoAggiustamento = tipo;
    return d;
}

void Movimento(const QString& azione, int id, const TDatiMovimento& d) { EseguiMovimento(azione, id, d, TOpzioniMovimento()); }

// What every report totals: per day and kind the history's sums (the history
// and cash-flow reports over any period add these up), and each product's
// counters, totals and stock value (products and inventory reports).
QString Figure(const TAmbienteTest& amb) {
    return Sqlite3(amb.file(QStringLiteral("storico.db")),
                   QStringLiteral("select DATAOGGI, AZIONE, printf('%.2f', sum(PREZZOACQ)), printf('%.2f', sum(PREZZO)), "
                                  "printf('%.2f', sum(PREZZOCAR)), sum(QUANTITA) from storico group by 1, 2 order by 1, 2")) +
           QStringLiteral("\n--\n") +
           Sqlite3(amb.file(QStringLiteral("prodotti.db")),
                   QStringLiteral("select NOME, CARICHI, SCARICHI, QUANTITA, printf('%.2f', TOTALEACQUISTI), "
                                  "printf('%.2f', TOTALEVENDITE), printf('%.2f', QUANTITA * PREZZO) from prodotti order by ID"));
}

void DueProdotti() {
    ScriviProdotto({.id = 1, .nome = QStringLiteral("P1"), .descrizione = QStringLiteral("Viti")});
    ScriviProdotto({.id = 2, .nome = QStringLiteral("P2"), .descrizione = QStringLiteral("Bulloni"), .carichi = 20,
                    .scarichi = 5, .quantita = 15, .totAcq = 60, .totVen = 40, .prezzo = 3.0});
}

}  // namespace

class TestStorico : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void stornoComeMaiFatto_data();
    void stornoComeMaiFatto();
    void stornoLasciaICampiNonToccati_data();
    void stornoLasciaICampiNonToccati();
    void stornoRifiutato();
    void azzeramentoDopoIlMovimento();
    void schermateESaldo();
    void finestraStorna();
    void primaSchermataEPoiAScorrere();
};

void TestStorico::stornoComeMaiFatto_data() {
    QTest::addColumn<QString>("azione");
    QTest::addColumn<int>("tipo");
    QTest::newRow("carico") << Azioni::Carico << int(AggiustaNessuno);
    QTest::newRow("scarico") << Azioni::Scarico << int(AggiustaNessuno);
    QTest::newRow("aggiustamento rimanenze") << Azioni::Aggiustamento << int(AggiustaRimanenze);
    QTest::newRow("aggiustamento vendite") << Azioni::Aggiustamento << int(AggiustaVendite);
}

// The same movements with and without the wrong one (made on day 5, among
// others of that day, and reversed on day 9 after later movements).
void TestStorico::stornoComeMaiFatto() {
    QFETCH(QString, azione);
    QFETCH(int, tipo);
    const auto libro = [&](bool sbagliato) {
        DueProdotti();
        Giorno(2);
        Movimento(Azioni::Carico, 1, Dati(7, 2.35, 0));
        Giorno(5);
        Movimento(Azioni::Scarico, 1, Dati(2, 2.35, 8.10));
        Movimento(azione, 2, Dati(1, 1.5, 4));
        Movimento(Azioni::Aggiustamento, 2, Dati(1, 3, 4, AggiustaVendite));
        int sbagliata = 0;
        if (sbagliato) {
            Movimento(azione, 2, Dati(3, 3.33, 9.99, tipo));
            sbagliata = NuovoIdStorico();
        }
        Giorno(7);
        Movimento(Azioni::Carico, 2, Dati(4, 3.1, 0));
        Movimento(Azioni::Scarico, 2, Dati(2, 3.1, 6.2));
        Giorno(9);
        return sbagliata;
    };
    libro(false);
    const QString atteso = Figure(*m_amb);
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("delete from %1").arg(a.nomeQualificato(Definizioni::Storico)));
    a.esegui(QStringLiteral("delete from %1").arg(a.nomeQualificato(Definizioni::Prodotti)));

    const int sbagliata = libro(true);
    const int storno = StornaMovimento(a, sbagliata);
    QCOMPARE(Figure(*m_amb), atteso);
    // Both rows stay, each naming the other; the reversal keeps the kind and day.
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("storico.db")),
                     QStringLiteral("select ID, AZIONE, DATAOGGI, QUANTITA, STORNA, STORNATODA from storico where ID in (%1, %2) "
                                    "order by ID")
                         .arg(sbagliata)
                         .arg(storno)),
             QStringLiteral("%1|%3|2026-03-05|3||%2\n%2|%3|2026-03-05|-3|%1|").arg(sbagliata).arg(storno).arg(azione));
}

void TestStorico::stornoLasciaICampiNonToccati_data() {
    QTest::addColumn<QString>("azione");
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QString>("campo");
    QTest::newRow("carico: il totale vendite") << Azioni::Carico << int(AggiustaNessuno) << Prodotti::TotaleVendite;
    QTest::newRow("scarico: il totale acquisti") << Azioni::Scarico << int(AggiustaNessuno) << Prodotti::TotaleAcquisti;
    QTest::newRow("aggiustamento rimanenze: il totale vendite")
        << Azioni::Aggiustamento << int(AggiustaRimanenze) << Prodotti::TotaleVendite;
}

// A product whose totals were never written (empty, as for a new product):
// the reversal gives back only the fields its movement changed, and a total
// the movement left empty stays empty, not 0.
void TestStorico::stornoLasciaICampiNonToccati() {
    QFETCH(QString, azione);
    QFETCH(int, tipo);
    QFETCH(QString, campo);
    InserisciProdotto({.id = 1, .nome = QStringLiteral("P1"), .descrizione = QStringLiteral("Viti"), .carichi = 10,
                       .scarichi = 0, .quantita = 10});
    const QString prodotto = QStringLiteral("select quote(%1) from prodotti").arg(campo);
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), prodotto), QStringLiteral("NULL"));
    Giorno(4);
    Movimento(azione, 1, Dati(3, 1.5, 4, tipo));
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), prodotto), QStringLiteral("NULL"));
    StornaMovimento(TArchivio::corrente(), NuovoIdStorico());
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), prodotto), QStringLiteral("NULL"));
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral("select CARICHI, SCARICHI, QUANTITA from prodotti")),
             QStringLiteral("10|0|10"));
}

void TestStorico::stornoRifiutato() {
    DueProdotti();
    Giorno(3);
    Movimento(Azioni::Carico, 1, Dati(5, 2, 0));
    const int carico = NuovoIdStorico();
    Movimento(Azioni::Carico, 2, Dati(5, 2, 0));
    const int secondo = NuovoIdStorico();
    TArchivio& a = TArchivio::corrente();
    const int storno = StornaMovimento(a, carico);
    EliminaProdotto(2);
    const QString prima = Figure(*m_amb);
    struct Caso {
        const char* nome;
        int id;
        QString testo;
    };
    const QVector<Caso> casi = {
        {"già stornato", carico, QStringLiteral("Il movimento n. %1 è già stato stornato dal movimento n. %2.").arg(carico).arg(storno)},
        {"uno storno", storno,
         QStringLiteral("Il movimento n. %1 è lo storno del movimento n. %2 e non può essere stornato a sua volta.").arg(storno).arg(carico)},
        {"prodotto eliminato", secondo,
         QStringLiteral("Il prodotto 'P2' del movimento n. %1 è stato eliminato: il movimento non può essere stornato.").arg(secondo)},
        {"inesistente", 999, QStringLiteral("Il movimento n. 999 non è più presente nello storico.")},
    };
    for (const Caso& c : casi) {
        try {
            StornaMovimento(a, c.id);
            QFAIL(c.nome);
        } catch (const ErroreStorno& e) {
            QVERIFY2(e.testo() == c.testo, qPrintable(QString::fromUtf8(c.nome) + QStringLiteral(": ") + e.testo()));
        }
        QCOMPARE(Figure(*m_amb), prima);
    }
}

// A reset of the unloads after a movement refuses its reversal; a movement
// made after the reset, also on the same day, is reversed.
void TestStorico::azzeramentoDopoIlMovimento() {
    DueProdotti();
    Giorno(3);
    Movimento(Azioni::Scarico, 1, Dati(2, 2, 5));
    const int prima = NuovoIdStorico();
    Giorno(4);
    Movimento(Azioni::Scarico, 1, Dati(1, 2, 5));
    const int stessoGiorno = NuovoIdStorico();
    AzzeraScarichiProdotti();
    Movimento(Azioni::Scarico, 1, Dati(1, 2, 5));
    const int dopo = NuovoIdStorico();
    TArchivio& a = TArchivio::corrente();
    for (int id : {prima, stessoGiorno}) {
        try {
            StornaMovimento(a, id);
            QFAIL("stornato un movimento prima dell'azzeramento");
        } catch (const ErroreStorno& e) {
            QVERIFY2(e.testo().contains(QStringLiteral("gli scarichi sono stati azzerati (04/03/2026)")), qPrintable(e.testo()));
        }
    }
    StornaMovimento(a, dopo);
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral("select SCARICHI, QUANTITA from prodotti where ID = 1")),
             QStringLiteral("0|3"));
}

// Newest first a screen at a time; a code names the product and gives the
// balance after each row, also through rows another filter hides.
void TestStorico::schermateESaldo() {
    DueProdotti();
    Giorno(1);
    for (int i = 0; i < 5; ++i) Movimento(Azioni::Carico, 1, Dati(2, 1, 0));  // P1: 6 -> 16
    Movimento(Azioni::Carico, 2, Dati(1, 1, 0));
    Giorno(2);
    Movimento(Azioni::Scarico, 1, Dati(3, 1, 2));                                // 13
    Movimento(Azioni::Aggiustamento, 1, Dati(1, 1, 2, AggiustaVendite));         // 13
    Movimento(Azioni::Aggiustamento, 1, Dati(2, 1, 0, AggiustaRimanenze));       // 11
    TArchivio& a = TArchivio::corrente();

    TLettoreStorico tutti(a, {});
    QVector<int> ids;
    for (auto r = tutti.prossime(3); !r.isEmpty(); r = tutti.prossime(3))
        for (const auto& m : r) ids << m.id;
    QCOMPARE(ids, (QVector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1}));
    QVERIFY(tutti.finito());

    TLettoreStorico p1(a, {.prodotto = QStringLiteral("p1")});
    QCOMPARE(p1.idProdotto(), 1);
    QStringList saldi;
    for (auto r = p1.prossime(2); !r.isEmpty(); r = p1.prossime(2))
        for (const auto& m : r) saldi << QStringLiteral("%1:%2").arg(m.id).arg(m.saldo.toInt());
    QCOMPARE(saldi.join(' '), QStringLiteral("9:11 8:13 7:13 5:16 4:14 3:12 2:10 1:8"));

    TLettoreStorico carichi(a, {.prodotto = QStringLiteral("P1"), .azione = Azioni::Carico});
    const auto righe = carichi.prossime(2);
    QVERIFY(righe.size() >= 2);
    QCOMPARE(righe[0].id, 5);
    QCOMPARE(righe[0].saldo.toInt(), 16);

    TLettoreStorico descrizione(a, {.prodotto = QStringLiteral("bullon"), .da = QDate(2026, 3, 1), .a = QDate(2026, 3, 1)});
    const auto b = descrizione.prossime(10);
    QCOMPARE(descrizione.idProdotto(), 0);
    QCOMPARE(b.size(), 1);
    QCOMPARE(b[0].id, 6);
    QVERIFY(b[0].saldo.isNull());
}

void TestStorico::finestraStorna() {
    DueProdotti();
    Giorno(6);
    Movimento(Azioni::Carico, 1, Dati(40, 2.5, 0));
    TfrmMovimentiMagazzino f;
    Mostra(f);
    QCOMPARE(f.modello()->rowCount(), 1);
    m_amb->risposte.attendi(TTipoMessaggio::Domanda,
                            QStringLiteral("Stornare il carico n. 1 del 06/03/2026: 40 x 'P1' (Viti)?"), true, true);
    m_amb->risposte.attendi(TTipoMessaggio::Messaggio,
                            QStringLiteral("Movimento n. 1 stornato: lo storno è registrato nello storico con il n. 2."));
    QTest::mouseClick(f.ui()->btnStorna, Qt::LeftButton);
    QCOMPARE(f.modello()->rowCount(), 2);
    QCOMPARE(f.modello()->data(f.modello()->index(0, TModelloMovimenti::ColNote)).toString(), QStringLiteral("Storno del n. 1"));
    QCOMPARE(f.modello()->data(f.modello()->index(1, TModelloMovimenti::ColNote)).toString(), QStringLiteral("Stornato dal n. 2"));
    QCOMPARE(LeggiProdotto(1).intero(Prodotti::Quantita), 6);
    // The reversed row chosen again: refused before any question.
    f.ui()->grMovimenti->selectRow(1);
    m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Il movimento n. 1 è già stato stornato dal movimento n. 2."));
    QTest::mouseClick(f.ui()->btnStorna, Qt::LeftButton);
    QCOMPARE(ContaStorico(), 2);
    ZR_VERIFICA_RISPOSTE(*m_amb);

    // Filtered on the product, the balance column shows too: every column,
    // the notes whole, still fits the window with no sideways scrolling.
    f.ui()->edProdotto->setText(QStringLiteral("P1"));
    QTest::mouseClick(f.ui()->btnCerca, Qt::LeftButton);
    QTableView* g = f.ui()->grMovimenti;
    QVERIFY(!g->isColumnHidden(TModelloMovimenti::ColSaldo));
    QTRY_COMPARE(g->horizontalScrollBar()->maximum(), 0);
    QVERIFY(g->columnWidth(TModelloMovimenti::ColNote) >=
            g->fontMetrics().horizontalAdvance(QStringLiteral("Stornato dal n. 2")) + 6);
    QVERIFY(g->columnWidth(TModelloMovimenti::ColDescrizione) >= 100);
    // A history of millions of rows: a seven-digit number shows whole.
    QVERIFY(g->columnWidth(TModelloMovimenti::ColId) >= g->fontMetrics().horizontalAdvance(QStringLiteral("1000000")) + 6);
}

// The window reads only its first screen; scrolling to the end of the grid
// brings the next block, rows in order with none missing or repeated.
void TestStorico::primaSchermataEPoiAScorrere() {
    DueProdotti();
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                            "INSERT INTO %1 (ID, AZIONE, IDPROD, NOME, QUANTITA, DATAOGGI) "
                            "SELECT i, 'CARICO', 1, 'P1', 1, '2026-03-01' FROM n")
                 .arg(a.nomeQualificato(Definizioni::Storico)));
    TfrmMovimentiMagazzino f;
    Mostra(f);
    TModelloMovimenti* m = f.modello();
    QCOMPARE(m->rowCount(), TModelloMovimenti::PrimaSchermata);
    QVERIFY(m->canFetchMore({}));
    f.ui()->grMovimenti->scrollToBottom();
    QTRY_COMPARE(m->rowCount(), TModelloMovimenti::PrimaSchermata + TModelloMovimenti::RighePerVolta);
    while (m->canFetchMore({})) m->fetchMore({});
    QCOMPARE(m->rowCount(), 300);
    for (int r = 0; r < m->rowCount(); ++r) QCOMPARE(m->riga(r).id, 300 - r);
}

QTEST_MAIN(TestStorico)
#include "test_storico.moc"
