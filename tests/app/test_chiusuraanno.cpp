// The guided year end: driven through its window one step at a time, each
// window closed after its step and the store reopened as a new start would,
// so every step is resumed from what the books recorded; the archive stopped
// at each of its points; the refusals that keep the live books; the archived
// years listed and opened by a second process under its own folder lock.

#include "../movements/Fixture.h"
#include "AmbienteTest.h"
#include "LavoroInCorso.h"
#include "app/Applicazione.h"
#include "app/ApriAnno.h"
#include "app/Avvio.h"
#include "app/ChiusuraAnno.h"
#include "app/PassiChiusuraAnno.h"
#include "data/CartellaProgramma.h"
#include "data/Orologio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Errore.h"
#include "ui_ApriAnno.h"
#include "ui_ChiusuraAnno.h"

#include <QProcess>
#include <QThread>
#include <atomic>
#include <csignal>

using namespace ChiusuraAnno;

namespace {

void Il(int anno, int mese, int giorno) { ImpostaOrologio(QDateTime(QDate(anno, mese, giorno), QTime(10, 0))); }

TDatiMovimento Dati(int q, double acq, double ven) {
    TDatiMovimento d;
    d.quantita = q;
    d.prezzoAcq = acq;
    d.prezzoVen = ven;
    return d;
}

void Movimento(const QString& azione, int id, const TDatiMovimento& d) { EseguiMovimento(azione, id, d, TOpzioniMovimento()); }

// Two products moved in 2025 and once in the first days of 2026; today is
// 10 January 2026, when 2025 is closed.
void Libro() {
    ScriviProdotto({.id = 1, .nome = QStringLiteral("P1"), .descrizione = QStringLiteral("Viti"), .carichi = 0, .scarichi = 0,
                    .quantita = 0, .totAcq = 0, .totVen = 0});
    ScriviProdotto({.id = 2, .nome = QStringLiteral("P2"), .descrizione = QStringLiteral("Bulloni"), .carichi = 0,
                    .scarichi = 0, .quantita = 0, .totAcq = 0, .totVen = 0, .prezzo = 3.0});
    Il(2025, 3, 10);
    Movimento(Azioni::Carico, 1, Dati(10, 2, 0));
    Movimento(Azioni::Carico, 2, Dati(5, 3, 0));
    Il(2025, 11, 30);
    Movimento(Azioni::Scarico, 1, Dati(4, 2, 5.5));
    Il(2025, 12, 31);
    Movimento(Azioni::Scarico, 2, Dati(1, 3, 7));
    Il(2026, 1, 5);
    Movimento(Azioni::Carico, 1, Dati(2, 2.1, 0));
    Il(2026, 1, 10);
}

// What the reports total in a folder: the history's sums per day and kind
// (history and cash-flow reports over any period) and each product's
// counters, totals and stock value (products and inventory reports).
QString Figure(const QString& cartella) {
    return Sqlite3(cartella + QStringLiteral("storico.db"),
                   QStringLiteral("select DATAOGGI, AZIONE, printf('%.2f', sum(PREZZOACQ)), printf('%.2f', sum(PREZZO)), "
                                  "sum(QUANTITA) from storico group by 1, 2 order by 1, 2")) +
           QStringLiteral("\n--\n") +
           Sqlite3(cartella + QStringLiteral("prodotti.db"),
                   QStringLiteral("select NOME, CARICHI, SCARICHI, QUANTITA, printf('%.2f', TOTALEACQUISTI), "
                                  "printf('%.2f', TOTALEVENDITE), printf('%.2f', QUANTITA * PREZZO) from prodotti order by ID"));
}

int g_fermaA = -1;
void FermaAl(int punto) {
    if (punto == g_fermaA) throw ErroreArchivio(QStringLiteral("fermato"));
}

// The archive's worker held after its first file is copied, until the user
// has pressed "Stop".
std::atomic<bool> g_copiato{false}, g_ripresa{false};
void TrattieniDopoLaPrimaCopia(int punto) {
    if (punto != PuntoFileCopiato || g_copiato.exchange(true)) return;
    for (int attesa = 0; attesa < 1000 && !g_ripresa; ++attesa) QThread::msleep(10);
}

// The table files of a folder, byte for byte.
QMap<QString, QByteArray> Tabelle(const QString& cartella) { return Contenuto(cartella, {QStringLiteral("*.db")}); }

// The steps before the archive, done.
void FinoAllArchivio(TChiusura& c) {
    c.eseguiSalvataggio();
    c.segnaInventario(false);
    c.segnaStampaInventario();
}

}  // namespace

class TestChiusuraAnno : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void cleanup() {
        ImpostaOsservatoreArchivio(nullptr);
        TProvaConAmbiente::cleanup();
    }
    void passoPerPassoRipresa();
    void archivioFermato_data();
    void archivioFermato();
    void archivioFermatoDalBox();
    void azzeramentoFermato_data();
    void azzeramentoFermato();
    void inventarioSoloSeRegistrato_data();
    void inventarioSoloSeRegistrato();
    void stampaSoloSeMostrata();
    void rifiutiLascianoILibri();
    void copiaDanneggiataRifiutata();
    void apriAnnoArchiviato();
};

void TestChiusuraAnno::passoPerPassoRipresa() {
    Libro();
    const QString prima = Figure(m_amb->cartella());
    int inventari = 0, stampe = 0;
    QDate dataStampa;
    const QStringList conferme = {QString(), QString(), QString(), QStringLiteral("copiati così come sono"),
                                  QStringLiteral("azzeramento di tutti gli scarichi"), QStringLiteral("fino al 31/12/2025")};
    for (int passo = 0; passo < NumeroPassi; ++passo) {
        // A new start of the program and a new window: what was done is read
        // back from the books.
        m_amb->riapriArchivio();
        TfrmChiusuraAnno f(nullptr, [&] { return ++inventari > 0; }, [&](const QDate& d) {
            ++stampe;
            dataStampa = d;
            return true;
        });
        QCOMPARE(f.chiusura().anno(), 2025);
        QCOMPARE(f.chiusura().prossimo(), passo);
        QCOMPARE(f.ui()->EditAnno->isEnabled(), passo == 0);
        QVERIFY2(f.ui()->BTEsegui->text().endsWith(NomePasso(passo, 2025)), qPrintable(f.ui()->BTEsegui->text()));
        for (int p = 0; p < passo; ++p) QVERIFY(f.chiusura().stato(p).concluso());
        if (!conferme[passo].isEmpty()) m_amb->risposte.attendi(TTipoMessaggio::Domanda, conferme[passo], true, true);
        if (passo == NumeroPassi - 1)
            m_amb->risposte.attendi(TTipoMessaggio::Messaggio, QStringLiteral("Chiusura dell'anno 2025 completata"), true, true);
        f.ui()->BTEsegui->click();
        QCOMPARE(f.chiusura().prossimo(), passo + 1);
        QCOMPARE(f.ui()->LabelEsito->text(), f.chiusura().stato(passo).testo);
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }
    QCOMPARE(inventari, 1);
    QCOMPARE(stampe, 1);
    QCOMPARE(dataStampa, QDate(2025, 12, 31));

    // What each step said it did.
    TChiusura c(TArchivio::corrente(), m_amb->cartella(), 2025);
    QCOMPARE(c.stato(Salvataggio).testo, QStringLiteral("Salvati 6 file in backup/20260110."));
    QCOMPARE(c.stato(Azzeramento).testo, QStringLiteral("Scarichi azzerati su 2 prodotti."));
    QCOMPARE(c.stato(CancellazioneStorico).testo, QStringLiteral("Cancellate 4 righe dello storico fino al 31/12/2025."));
    QVERIFY(QFileInfo::exists(m_amb->file(QStringLiteral("backup/20260110/prodotti.db"))));

    // The archived year gives the figures the live books gave before, and
    // holds no year end of its own.
    const QString archivio = CartellaAnno(m_amb->cartella(), 2025);
    QCOMPARE(Figure(archivio), prima);
    QCOMPARE(Sqlite3(archivio + QStringLiteral("storico.db"), QStringLiteral("select count(*) from sqlite_master where name = 'chiusureanno'")),
             QStringLiteral("0"));
    QCOMPARE(AnniArchiviati(m_amb->cartella()), QStringList{QStringLiteral("2025")});

    // The live books: unloads folded into the loads once, the history of 2025
    // gone and that of 2026 kept.
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")),
                     QStringLiteral("select NOME, CARICHI, SCARICHI, QUANTITA, printf('%.2f', TOTALEACQUISTI), TOTALEVENDITE from prodotti "
                                    "order by ID")),
             QStringLiteral("P1|8|0|8|16.00|0.0\nP2|4|0|4|12.00|0.0"));
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("storico.db")), QStringLiteral("select DATAOGGI, AZIONE, QUANTITA from storico")),
             QStringLiteral("2026-01-05|CARICO|2"));
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("storico.db")), QStringLiteral("select count(*) from azzeramenti")),
             QStringLiteral("1"));

    // Done steps are not run again, through the window or directly.
    m_amb->riapriArchivio();
    TfrmChiusuraAnno f(nullptr, {}, {});
    QCOMPARE(TChiusura::AnnoInSospeso(TArchivio::corrente()), 0);
    QCOMPARE(f.chiusura().anno(), 2025);
    QVERIFY(!f.ui()->BTEsegui->isEnabled());
    QVERIFY(f.ui()->LabelEsito->text().contains(QStringLiteral("completa")));
    const QString dopo = Figure(m_amb->cartella());
    TChiusura ancora(TArchivio::corrente(), m_amb->cartella(), 2025);
    for (const auto& passo : {&TChiusura::eseguiAzzeramento, &TChiusura::eseguiCancellazione, &TChiusura::eseguiArchivio}) {
        try {
            (ancora.*passo)();
            QFAIL("step run twice");
        } catch (const ErroreArchivio& e) {
            QVERIFY2(e.testo().contains(QStringLiteral("già stato eseguito")), qPrintable(e.testo()));
        }
    }
    QCOMPARE(Figure(m_amb->cartella()), dopo);
}

void TestChiusuraAnno::archivioFermato_data() {
    QTest::addColumn<int>("punto");
    QTest::newRow("copia completa, non ancora annotata") << 0;
    QTest::newRow("annotata, non ancora rinominata") << 1;
    QTest::newRow("rinominata, non ancora conclusa") << 2;
}

// A run stopped at each point of the archive leaves the live books as they
// were and no half year; the resumed step ends with one whole archive.
void TestChiusuraAnno::archivioFermato() {
    QFETCH(int, punto);
    Libro();
    const QString prima = Figure(m_amb->cartella());
    {
        TChiusura c(TArchivio::corrente(), m_amb->cartella(), 2025);
        c.eseguiSalvataggio();
        c.segnaInventario(false);
        c.segnaStampaInventario();
        g_fermaA = punto;
        ImpostaOsservatoreArchivio(FermaAl);
        QVERIFY_THROWS_EXCEPTION(ErroreArchivio, c.eseguiArchivio());
        ImpostaOsservatoreArchivio(nullptr);
    }
    QCOMPARE(Figure(m_amb->cartella()), prima);
    QCOMPARE(AnniArchiviati(m_amb->cartella()), punto == 2 ? QStringList{QStringLiteral("2025")} : QStringList());

    m_amb->riapriArchivio();
    QCOMPARE(TChiusura::AnnoInSospeso(TArchivio::corrente()), 2025);
    TChiusura c(TArchivio::corrente(), m_amb->cartella(), 2025);
    QCOMPARE(c.prossimo(), int(Archivio));
    QCOMPARE(c.stato(Inventario).stato, Stato::Saltato);
    QVERIFY(c.eseguiArchivio().startsWith(QStringLiteral("Archivio dell'anno 2025 creato")));
    QCOMPARE(c.prossimo(), int(Azzeramento));
    QCOMPARE(Figure(CartellaAnno(m_amb->cartella(), 2025)), prima);
    // Only the year's folder is left in anni/, no hidden copy beside it.
    QCOMPARE(QDir(CartellaAnni(m_amb->cartella())).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("2025")});
}

// "Stop" pressed in the archive's progress box while its worker copies: the
// window stays open and refuses to close meanwhile; afterwards the live books
// are byte for byte as before, no year folder nor hidden copy is left, the
// tables are attached again and the step is still to do. Run again, it
// archives the whole year.
void TestChiusuraAnno::archivioFermatoDalBox() {
    Libro();
    const QString prima = Figure(m_amb->cartella());
    {
        TChiusura c(TArchivio::corrente(), m_amb->cartella(), 2025);
        FinoAllArchivio(c);
    }
    const auto tabellePrima = Tabelle(m_amb->cartella());
    g_copiato = false;
    g_ripresa = false;
    ImpostaOsservatoreArchivio(TrattieniDopoLaPrimaCopia);

    TfrmChiusuraAnno f(nullptr, {}, {});
    QCOMPARE(f.chiusura().prossimo(), int(Archivio));
    bool chiusuraRifiutata = false, esciDisabilitato = false;
    QTimer utente;
    connect(&utente, &QTimer::timeout, [&] {
        TFrmAvanzamento* box = f.findChild<TFrmAvanzamento*>();
        if (!g_copiato || !box || !box->isVisible()) return;
        utente.stop();
        chiusuraRifiutata = !f.close();
        esciDisabilitato = !f.ui()->sbEsci->isEnabled() && !f.ui()->BTEsegui->isEnabled();
        box->ui()->sbFerma->click();
        g_ripresa = true;
    });
    utente.start(5);
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("copiati così come sono"), true, true);
    m_amb->risposte.attendi(TTipoMessaggio::Messaggio, QStringLiteral("interrotto: gli archivi sono rimasti come prima"), true, true);
    f.ui()->BTEsegui->click();
    ZR_VERIFICA_RISPOSTE(*m_amb);
    QVERIFY(g_ripresa);
    QVERIFY(chiusuraRifiutata);
    QVERIFY(esciDisabilitato);
    QVERIFY(f.ui()->sbEsci->isEnabled());
    ImpostaOsservatoreArchivio(nullptr);

    QVERIFY(Tabelle(m_amb->cartella()) == tabellePrima);
    QVERIFY(QDir(CartellaAnni(m_amb->cartella())).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    QStringList collegate;
    QSqlQuery q = TArchivio::corrente().esegui(QStringLiteral("PRAGMA database_list"));
    while (q.next()) collegate << q.value(1).toString();
    QVERIFY2(collegate.contains(QStringLiteral("prodotti")) && collegate.contains(QStringLiteral("storico")), qPrintable(collegate.join(' ')));
    QCOMPARE(f.chiusura().prossimo(), int(Archivio));
    m_amb->riapriArchivio();
    QCOMPARE(TChiusura(TArchivio::corrente(), m_amb->cartella(), 2025).stato(Archivio).stato, Stato::DaFare);

    TfrmChiusuraAnno ancora(nullptr, {}, {});
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("copiati così come sono"), true, true);
    ancora.ui()->BTEsegui->click();
    ZR_VERIFICA_RISPOSTE(*m_amb);
    QCOMPARE(ancora.chiusura().prossimo(), int(Azzeramento));
    QCOMPARE(Figure(CartellaAnno(m_amb->cartella(), 2025)), prima);
}

void TestChiusuraAnno::azzeramentoFermato_data() {
    QTest::addColumn<int>("passo");
    QTest::newRow("azzeramento degli scarichi") << int(Azzeramento);
    QTest::newRow("cancellazione dello storico") << int(CancellazioneStorico);
}

// The reset and the deletion stopped: the work has begun (the reset has
// changed its first group of products) when the stop is heard; the live
// books are byte for byte as before, with the same sums, and the step is not
// noted, also after a new start.
void TestChiusuraAnno::azzeramentoFermato() {
    QFETCH(int, passo);
    Libro();
    // More products than the reset changes in one statement.
    TArchivio::corrente().esegui(QStringLiteral("with recursive n(i) as (select 3 union all select i + 1 from n where i < 10000) "
                                                "insert into %1 (ID, NOME, CARICHI, SCARICHI, QUANTITA, PREZZO) "
                                                "select i, 'P' || i, 10, 4, 6, 2.5 from n")
                                     .arg(TArchivio::corrente().nomeQualificato(Definizioni::Prodotti)));
    TChiusura c(TArchivio::corrente(), m_amb->cartella(), 2025);
    FinoAllArchivio(c);
    c.eseguiArchivio();
    if (passo == CancellazioneStorico) c.eseguiAzzeramento();
    const auto tabellePrima = Tabelle(m_amb->cartella());
    const QString somme = QStringLiteral("select count(*), sum(CARICHI), sum(SCARICHI), sum(QUANTITA), printf('%.2f', sum(TOTALEACQUISTI)), "
                                         "printf('%.2f', sum(TOTALEVENDITE)) from prodotti");
    const QString sommePrima = Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), somme);
    const QString storicoPrima = Figure(m_amb->cartella()).section(QStringLiteral("\n--\n"), 0, 0);

    int sentiti = 0;
    c.impostaEsecutore([&](const TLavoroPasso& p) {
        ++sentiti;
        QVERIFY(p.conArchivio);
        TContestoLavoro contesto;
        contesto.richiediStop();
        p.lavoro(contesto);
    });
    QVERIFY_THROWS_EXCEPTION(ErroreLavoroFermato, passo == Azzeramento ? c.eseguiAzzeramento() : c.eseguiCancellazione());
    QCOMPARE(sentiti, 1);
    QCOMPARE(c.prossimo(), passo);
    QVERIFY(Tabelle(m_amb->cartella()) == tabellePrima);
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), somme), sommePrima);
    QCOMPARE(Figure(m_amb->cartella()).section(QStringLiteral("\n--\n"), 0, 0), storicoPrima);
    m_amb->riapriArchivio();
    QCOMPARE(TChiusura(TArchivio::corrente(), m_amb->cartella(), 2025).prossimo(), passo);

    // Taken up again, the step runs to its end and says how much it did, in
    // figures grouped by thousands.
    TChiusura ripresa(TArchivio::corrente(), m_amb->cartella(), 2025);
    ripresa.impostaEsecutore([](const TLavoroPasso& p) {
        TContestoLavoro contesto;
        p.lavoro(contesto);
    });
    if (passo == Azzeramento)
        QCOMPARE(ripresa.eseguiAzzeramento(), QStringLiteral("Scarichi azzerati su 10.000 prodotti."));
    else
        QVERIFY(ripresa.eseguiCancellazione().startsWith(QStringLiteral("Cancellate ")));
}

void TestChiusuraAnno::inventarioSoloSeRegistrato_data() {
    QTest::addColumn<bool>("salta");
    QTest::newRow("poi un conteggio registrato") << false;
    QTest::newRow("poi Salta") << true;
}

// The stocktake step is done only when a count was posted in the stocktake
// window; closing that window without posting leaves it to do, and "Salta"
// notes it skipped.
void TestChiusuraAnno::inventarioSoloSeRegistrato() {
    QFETCH(bool, salta);
    Libro();
    TChiusura(TArchivio::corrente(), m_amb->cartella(), 2025).eseguiSalvataggio();
    bool registrato = false;
    int aperture = 0;
    TfrmChiusuraAnno f(nullptr, [&] {
        ++aperture;
        return registrato;
    }, {});
    QCOMPARE(f.chiusura().prossimo(), int(Inventario));
    f.ui()->BTEsegui->click();
    QCOMPARE(aperture, 1);
    QCOMPARE(f.chiusura().stato(Inventario).stato, Stato::DaFare);
    QVERIFY2(f.ui()->LabelEsito->text().contains(QStringLiteral("resta da eseguire")), qPrintable(f.ui()->LabelEsito->text()));
    QVERIFY(f.ui()->BTSalta->isEnabled());
    QCOMPARE(TChiusura(TArchivio::corrente(), m_amb->cartella(), 2025).prossimo(), int(Inventario));

    if (salta) {
        f.ui()->BTSalta->click();
    } else {
        registrato = true;
        f.ui()->BTEsegui->click();
    }
    QCOMPARE(aperture, salta ? 1 : 2);
    const Stato atteso = salta ? Stato::Saltato : Stato::Fatto;
    QCOMPARE(f.chiusura().stato(Inventario).stato, atteso);
    QCOMPARE(f.chiusura().prossimo(), int(StampaInventario));
    QVERIFY(!f.ui()->BTSalta->isEnabled());
    m_amb->riapriArchivio();
    QCOMPARE(TChiusura(TArchivio::corrente(), m_amb->cartella(), 2025).stato(Inventario).stato, atteso);
}

// The valued inventory step is done only when the report's preview was shown:
// leaving its window with "Esci" leaves the step to do.
void TestChiusuraAnno::stampaSoloSeMostrata() {
    Libro();
    {
        TChiusura c(TArchivio::corrente(), m_amb->cartella(), 2025);
        c.eseguiSalvataggio();
        c.segnaInventario(false);
    }
    bool mostrata = false;
    int aperture = 0;
    TfrmChiusuraAnno f(nullptr, {}, [&](const QDate&) {
        ++aperture;
        return mostrata;
    });
    QCOMPARE(f.chiusura().prossimo(), int(StampaInventario));
    f.ui()->BTEsegui->click();
    QCOMPARE(aperture, 1);
    QCOMPARE(f.chiusura().stato(StampaInventario).stato, Stato::DaFare);
    QVERIFY2(f.ui()->LabelEsito->text().contains(QStringLiteral("resta da eseguire")), qPrintable(f.ui()->LabelEsito->text()));
    QCOMPARE(TChiusura(TArchivio::corrente(), m_amb->cartella(), 2025).prossimo(), int(StampaInventario));

    mostrata = true;
    f.ui()->BTEsegui->click();
    QCOMPARE(aperture, 2);
    QCOMPARE(f.chiusura().stato(StampaInventario).stato, Stato::Fatto);
    QCOMPARE(f.chiusura().prossimo(), int(Archivio));
}

// A step that fails leaves the live books as before it and stays to do; an
// archive of the year made by someone else is never overwritten.
void TestChiusuraAnno::rifiutiLascianoILibri() {
    Libro();
    TChiusura c(TArchivio::corrente(), m_amb->cartella(), 2025);
    try {
        c.eseguiArchivio();
        QFAIL("archive before the backup");
    } catch (const ErroreArchivio& e) {
        QVERIFY2(e.testo().contains(QStringLiteral("occorre eseguire \"Salvataggio dei dati\"")), qPrintable(e.testo()));
    }
    c.eseguiSalvataggio();
    c.segnaInventario(false);
    c.segnaStampaInventario();

    const QString esistente = CartellaAnno(m_amb->cartella(), 2025);
    QVERIFY(QDir().mkpath(esistente));
    QFile segno(esistente + QStringLiteral("nota.txt"));
    QVERIFY(segno.open(QIODevice::WriteOnly));
    segno.close();
    QVERIFY_THROWS_EXCEPTION(ErroreArchivio, c.eseguiArchivio());
    QCOMPARE(QDir(esistente).entryList(QDir::Files), QStringList{QStringLiteral("nota.txt")});
    QCOMPARE(c.prossimo(), int(Archivio));
    QVERIFY(QDir(esistente).removeRecursively());
    c.eseguiArchivio();

    // A balance beyond the loads' field refuses the reset: nothing changes and
    // the step stays to do.
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("UPDATE %1 SET QUANTITA = 9000000000000 WHERE ID = 2").arg(a.nomeQualificato(Definizioni::Prodotti)));
    const QString prima = Figure(m_amb->cartella());
    QVERIFY_THROWS_EXCEPTION(ErroreArchivio, c.eseguiAzzeramento());
    QCOMPARE(Figure(m_amb->cartella()), prima);
    QCOMPARE(c.prossimo(), int(Azzeramento));
    m_amb->riapriArchivio();
    QCOMPARE(TChiusura(TArchivio::corrente(), m_amb->cartella(), 2025).prossimo(), int(Azzeramento));
}

// A table whose file is damaged gives a damaged copy: the archive refuses it
// by the copy's check, leaves no year folder nor hidden copy, and stays to do.
void TestChiusuraAnno::copiaDanneggiataRifiutata() {
    Libro();
    TChiusura c(TArchivio::corrente(), m_amb->cartella(), 2025);
    FinoAllArchivio(c);
    TArchivio::corrente().scollegaTutte();
    QFile storico(m_amb->file(QStringLiteral("storico.db")));
    QVERIFY(storico.open(QIODevice::ReadWrite));
    const QByteArray intestazione = storico.read(100);
    const int pagina = (quint8(intestazione[16]) << 8) | quint8(intestazione[17]);
    QVERIFY(storico.size() >= 3 * pagina);
    // The second page, the first of the history's table, is no page any more.
    QVERIFY(storico.seek(pagina));
    QCOMPARE(storico.write(QByteArray(pagina, '\xff')), qint64(pagina));
    storico.close();
    try {
        c.eseguiArchivio();
        QFAIL("damaged copy archived");
    } catch (const ErroreArchivio& e) {
        QVERIFY2(e.testo().contains(QStringLiteral("è danneggiata")) && e.testo().contains(QStringLiteral("non è stato archiviato")),
                 qPrintable(e.testo()));
    }
    QVERIFY(QDir(CartellaAnni(m_amb->cartella())).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    QCOMPARE(c.prossimo(), int(Archivio));
}

// The archived years are listed; the chosen one is opened by a second copy of
// the program, which takes that folder's lock while this one keeps its own.
void TestChiusuraAnno::apriAnnoArchiviato() {
    const QString anni = CartellaAnni(m_amb->cartella());
    for (const char* d : {"2024", "2025", "vecchi", ".2026.parziale"}) QVERIFY(QDir().mkpath(anni + QLatin1String(d)));
    const TBloccoCartella mio(m_amb->cartella());
    QCOMPARE(mio.esito(), TBloccoCartella::Preso);

    TfrmApriAnno f(nullptr, CartellaProgrammaCompilato() + QStringLiteral("zerired"));
    QCOMPARE(f.ui()->ListaAnni->count(), 2);
    QCOMPARE(f.ui()->ListaAnni->item(0)->text(), QStringLiteral("2024"));
    QCOMPARE(f.ui()->ListaAnni->currentItem()->text(), QStringLiteral("2025"));
    f.ui()->BTApri->click();
    const qint64 pid = f.processoAvviato();
    QVERIFY(pid > 0);
    const QString anno = anni + QStringLiteral("2025/");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(anno + QStringLiteral("cat.db")), 20000);
    {
        const TBloccoCartella altro(anno);
        QCOMPARE(altro.esito(), TBloccoCartella::InUso);
    }
    QVERIFY(QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)));
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(TBloccoCartella(anno).esito() == TBloccoCartella::Preso, 10000);

    // Enter in the list opens the chosen year, as "Apri" does (here on a
    // program that cannot start, so the attempt shows as its error).
    {
        TfrmApriAnno tastiera(nullptr, m_amb->file(QStringLiteral("non-esiste")));
        Mostra(tastiera);
        tastiera.ui()->ListaAnni->setCurrentRow(0);
        tastiera.ui()->ListaAnni->setFocus();
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Impossibile avviare il programma sull'anno 2024."));
        QTest::keyClick(tastiera.ui()->ListaAnni, Qt::Key_Return);
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    // With no archived year there is nothing to open.
    QVERIFY(QDir(anni).removeRecursively());
    TfrmApriAnno vuota(nullptr);
    QCOMPARE(vuota.ui()->ListaAnni->count(), 0);
    QVERIFY(!vuota.ui()->BTApri->isEnabled());
}

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    TestChiusuraAnno t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_chiusuraanno.moc"
