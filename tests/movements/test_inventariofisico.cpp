// The stocktake: the draft, the differences by value, the posting (balances
// brought to the count, no purchase and no sale), a count equal to the book,
// a posting of 100,000 products killed midway and posted again, a draft
// surviving a killed process, and the window driven with typed codes.

#include "AmbienteTest.h"
#include "Fixture.h"
#include "data/Orologio.h"
#include "data/engine/Definizioni.h"
#include "movements/InventarioFisico.h"
#include "movements/InventarioFisicoFinestra.h"
#include "ui_InventarioFisico.h"

#include <QApplication>
#include <QProcess>
#include <QSaveFile>
#include <csignal>

namespace {

const int Molti = 100000;

void ProdottiInBlocco(int n) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("INSERT INTO %1 (ID, NOME, DESCRIZIONE, CARICHI, SCARICHI, QUANTITA, PREZZO, TOTALEACQUISTI, "
                            "TOTALEVENDITE, IDCATEGORIA) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                            "WHERE i < %2) SELECT i, 'P' || i, 'Prodotto ' || i, 10, 0, 10, 1.5, 15, 0, 1 FROM n")
                 .arg(a.nomeQualificato(Definizioni::Prodotti))
                 .arg(n));
}

TBozzaInventario TuttiContatiA(int n, qint64 quantita) {
    TBozzaInventario b;
    b.data = QDate(2026, 12, 31);
    for (int i = 1; i <= n; ++i) b.contati.insert(i, quantita);
    return b;
}

int FiglioInventario(char** argv) {
    TArchivio::apriCorrente(QString::fromLocal8Bit(argv[2]));
    TBozzaInventario b;
    if (!LeggiBozzaInventario(QString::fromLocal8Bit(argv[2]), &b)) return 2;
    // Killed half way through the rows, inside the transaction.
    RegistraInventario(TArchivio::corrente(), b, [](int fatti, int totale) {
        if (fatti >= totale / 2) std::raise(SIGKILL);
        return true;
    });
    return 0;
}

int FiglioBozza(char** argv) {
    const QString cartella = QString::fromLocal8Bit(argv[2]);
    TBozzaInventario b;
    b.data = QDate(2026, 6, 30);
    for (int i = 1; i <= 50; ++i) {
        b.contati.insert(i, i * 2);
        SalvaBozzaInventario(cartella, b);
    }
    // A further save under way when the process dies.
    QSaveFile f(FileBozzaInventario(cartella));
    f.open(QIODevice::WriteOnly);
    f.write("{\"data\":\"2026-06-30\",\"contati\":[[1,");
    f.flush();
    std::raise(SIGKILL);
    return 0;
}

bool Ucciso(const QString& modo, const QString& cartella) {
    QProcess p;
    p.setProgram(QCoreApplication::applicationFilePath());
    p.setArguments({modo, cartella});
    p.start();
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::CrashExit;
}

}  // namespace

class TestInventarioFisico : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void differenzeERegistrazione();
    void contatoUgualeAlLibro();
    void centomilaUccisoERegistrato();
    void bozzaSopravviveAllUccisione();
    void finestraConCodiciDigitati();
};

void TestInventarioFisico::differenzeERegistrazione() {
    InserisciCategoria(1, QStringLiteral("Ferramenta"));
    InserisciCategoria(2, QStringLiteral("Attrezzi"));
    ScriviProdotto({.id = 1, .nome = QStringLiteral("VITE"), .carichi = 10, .scarichi = 4, .quantita = 6, .prezzo = 2.0, .idCategoria = 1});
    ScriviProdotto({.id = 2, .nome = QStringLiteral("MARTELLO"), .carichi = 5, .scarichi = 0, .quantita = 5, .prezzo = 20.0, .idCategoria = 2});
    ScriviProdotto({.id = 3, .nome = QStringLiteral("CHIODO"), .carichi = 100, .scarichi = 0, .quantita = 100, .prezzo = 0.1, .idCategoria = 1});
    ScriviProdotto({.id = 4, .nome = QStringLiteral("DADO"), .carichi = 3, .scarichi = 0, .quantita = 3, .prezzo = 1.0, .idCategoria = 1});
    TArchivio& a = TArchivio::corrente();
    TBozzaInventario b;
    b.data = QDate(2026, 12, 31);
    b.contati = {{1, 9}, {2, 4}, {3, 100}};  // DADO not counted

    QStringList scaffale;
    for (const auto& r : ProdottiDaContare(a, b)) scaffale << r.categoria + QLatin1Char('/') + r.nome;
    QCOMPARE(scaffale.join(' '), QStringLiteral("Attrezzi/MARTELLO Ferramenta/CHIODO Ferramenta/DADO Ferramenta/VITE"));
    QStringList diff;
    for (const auto& r : DifferenzeInventario(a, b)) diff << QStringLiteral("%1:%2:%3").arg(r.nome).arg(r.differenza()).arg(r.valore());
    QCOMPARE(diff.join(' '), QStringLiteral("MARTELLO:-1:-20 VITE:3:6"));
    b.idCategoria = 1;
    QCOMPARE(TrovaProdottoInventario(a, b, QStringLiteral("vite")), 1);
    QCOMPARE(TrovaProdottoInventario(a, b, QStringLiteral("MARTELLO")), 0);
    b.idCategoria = 0;

    QCOMPARE(RegistraInventario(a, b), 2);
    const QString prodotti = m_amb->file(QStringLiteral("prodotti.db")), storico = m_amb->file(QStringLiteral("storico.db"));
    QCOMPARE(Sqlite3(prodotti, QStringLiteral("select NOME, CARICHI, SCARICHI, QUANTITA, TOTALEACQUISTI, TOTALEVENDITE from prodotti order by ID")),
             QStringLiteral("VITE|13|4|9|50.0|30.0\nMARTELLO|4|0|4|50.0|30.0\nCHIODO|100|0|100|50.0|30.0\nDADO|3|0|3|50.0|30.0"));
    // Count differences, dated the count's day, with no purchase or sale amount.
    QCOMPARE(Sqlite3(storico, QStringLiteral("select AZIONE, IDPROD, NOME, QUANTITA, DATAOGGI, IDCATEGORIA, "
                                             "coalesce(PREZZOACQ, 'x'), coalesce(PREZZO, 'x') from storico order by ID")),
             QStringLiteral("INVENTARIO|1|VITE|3|2026-12-31|1|x|x\nINVENTARIO|2|MARTELLO|-1|2026-12-31|2|x|x"));
    // Posted again: every balance is its count, nothing more.
    QCOMPARE(RegistraInventario(a, b), 0);
    QCOMPARE(ContaStorico(), 2);
}

void TestInventarioFisico::contatoUgualeAlLibro() {
    ScriviProdotto({.id = 1});
    ScriviProdotto({.id = 2, .nome = QStringLiteral("P2")});
    const auto prima = Impronte(m_amb->cartella());
    TBozzaInventario b;
    b.data = QDate(2026, 1, 31);
    b.contati = {{1, 6}, {2, 6}};
    QVERIFY(DifferenzeInventario(TArchivio::corrente(), b).isEmpty());
    QCOMPARE(RegistraInventario(TArchivio::corrente(), b), 0);
    QCOMPARE(Impronte(m_amb->cartella()), prima);
}

void TestInventarioFisico::centomilaUccisoERegistrato() {
    ProdottiInBlocco(Molti);
    const QString cartella = m_amb->cartella();
    SalvaBozzaInventario(cartella, TuttiContatiA(Molti, 12));
    TArchivio::chiudiCorrente();
    QVERIFY(Ucciso(QStringLiteral("--figlio-inventario"), cartella));
    TArchivio::apriCorrente(cartella);
    TArchivio& a = TArchivio::corrente();
    const QString somma = QStringLiteral("select count(*), sum(QUANTITA), sum(CARICHI) from %1").arg(a.nomeQualificato(Definizioni::Prodotti));
    QCOMPARE(a.valoreSingolo(QStringLiteral("select count(*) from %1").arg(a.nomeQualificato(Definizioni::Storico))).toInt(), 0);
    QSqlQuery q = a.esegui(somma);
    QVERIFY(q.next());
    QCOMPARE(q.value(1).toLongLong(), 10LL * Molti);
    q.finish();

    TBozzaInventario b;
    QVERIFY(LeggiBozzaInventario(cartella, &b));
    QCOMPARE(RegistraInventario(a, b), Molti);
    q = a.esegui(somma);
    QVERIFY(q.next());
    QCOMPARE(q.value(1).toLongLong(), 12LL * Molti);
    QCOMPARE(q.value(2).toLongLong(), 12LL * Molti);
    q.finish();
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("storico.db")), QStringLiteral("select count(*), sum(QUANTITA), count(PREZZOACQ) from storico")),
             QStringLiteral("%1|%2|0").arg(Molti).arg(2 * Molti));
}

void TestInventarioFisico::bozzaSopravviveAllUccisione() {
    QVERIFY(Ucciso(QStringLiteral("--figlio-bozza"), m_amb->cartella()));
    TBozzaInventario b;
    QVERIFY(LeggiBozzaInventario(m_amb->cartella(), &b));
    QCOMPARE(b.data, QDate(2026, 6, 30));
    QCOMPARE(b.contati.size(), 50);
    QCOMPARE(b.contati.value(50), 100);
}

// Three products counted with codes typed and Enter (one of them twice, one
// with a quantity), the window closed and opened again on the draft, the
// count posted and the valued inventory offered at the count's day.
void TestInventarioFisico::finestraConCodiciDigitati() {
    ScriviProdotto({.id = 1, .nome = QStringLiteral("A1"), .quantita = 6});
    ScriviProdotto({.id = 2, .nome = QStringLiteral("B2"), .quantita = 6});
    ScriviProdotto({.id = 3, .nome = QStringLiteral("C3"), .quantita = 6});
    ImpostaOrologio(QDateTime(QDate(2026, 12, 31), QTime(18, 0)));
    {
        TfrmInventarioFisico f;
        Mostra(f);
        QTest::mouseClick(f.ui()->btnInizia, Qt::LeftButton);
        QCOMPARE(f.modello()->rowCount(), 3);
        const auto digita = [&](const QString& codice, const QString& quantita = {}) {
            f.ui()->edQuantita->setText(quantita);
            QTest::keyClicks(f.ui()->edCodice, codice);
            QTest::keyClick(f.ui()->edCodice, Qt::Key_Return);
        };
        digita(QStringLiteral("a1"));
        QVERIFY2(f.ui()->lblStato->text().contains(QStringLiteral(": 1 prodotto contato.")), qPrintable(f.ui()->lblStato->text()));
        digita(QStringLiteral("A1"));
        digita(QStringLiteral("B2"), QStringLiteral("6"));
        digita(QStringLiteral("C3"), QStringLiteral("10"));
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Nessun prodotto con codice 'Z9' tra quelli del conteggio."));
        digita(QStringLiteral("Z9"));
        // Counted but not posted: the window closes with no count posted.
        QVERIFY(!f.conteggioRegistrato());
    }
    QDate stampata;
    TfrmInventarioFisico f(nullptr, [&](const QDate& d) { stampata = d; });
    Mostra(f);
    QVERIFY(!f.ui()->btnInizia->isEnabled());
    QCOMPARE(f.modello()->data(f.modello()->index(0, TModelloConteggio::ColContato)).toString(), QStringLiteral("2"));
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("Registrare le differenze di 2 prodotti"), true, true);
    m_amb->risposte.attendi(TTipoMessaggio::Messaggio, QStringLiteral("Inventario registrato: 2 prodotti portati alla quantità contata."));
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("Stampare l'inventario valorizzato alla data del 31/12/2026?"));
    QTest::mouseClick(f.ui()->btnRegistra, Qt::LeftButton);
    QCOMPARE(stampata, QDate(2026, 12, 31));
    QVERIFY(f.conteggioRegistrato());
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral("select group_concat(QUANTITA, ' ') from prodotti order by ID")),
             QStringLiteral("2 6 10"));
    QVERIFY(!QFile::exists(FileBozzaInventario(m_amb->cartella())));
    ZR_VERIFICA_RISPOSTE(*m_amb);
}

int main(int argc, char** argv) {
    if (argc >= 3 && qstrcmp(argv[1], "--figlio-inventario") == 0) {
        QCoreApplication app(argc, argv);
        return FiglioInventario(argv);
    }
    if (argc >= 3 && qstrcmp(argv[1], "--figlio-bozza") == 0) {
        QCoreApplication app(argc, argv);
        return FiglioBozza(argv);
    }
    QApplication app(argc, argv);
    TestInventarioFisico t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_inventariofisico.moc"
