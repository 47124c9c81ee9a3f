// Creation and structure upgrade of the tables at start-up: first start,
// unchanged start, the rebuild cases, refused records and their log, a table
// file that cannot be read, and a rebuild killed at many points.

#include "AmbienteTest.h"
#include "app/Applicazione.h"
#include "app/Avvio.h"
#include "gui/Gestori.h"
#include "data/CartellaProgramma.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/LetturaImpostazioni.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"

#include <algorithm>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace {

const QStringList TabelleProgramma = {QStringLiteral("produttori"), QStringLiteral("prodotti"), QStringLiteral("storico"),
                                      QStringLiteral("impostazioni"), QStringLiteral("cat"), QStringLiteral("tabexport")};

// What the sqlite3 tool reads of a table's fields: name|declared type|not null.
QString CampiAttesi(const QString& tabella) {
    QStringList righe;
    for (const TDefCampo& c : Definizioni::Definizione(tabella + QStringLiteral(".db")).struttura.campi)
        righe << QStringLiteral("%1|%2|%3").arg(c.nome, c.tipoDichiarato()).arg(c.richiesto ? 1 : 0);
    return righe.join(QLatin1Char('\n'));
}

QString CampiLetti(const QString& file, const QString& tabella) {
    return Sqlite3(file, QStringLiteral("select name, type, \"notnull\" from pragma_table_info('%1')").arg(tabella));
}

struct ImprontaFile {
    qint64 dimensione, modifica;
    ino_t inode;
    bool operator==(const ImprontaFile&) const = default;
};

ImprontaFile Impronta(const QString& percorso) {
    struct stat st {};
    ::stat(QFile::encodeName(percorso).constData(), &st);
    return {static_cast<qint64>(st.st_size), static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            st.st_ino};
}

// Creates an old table from a structure, with the given rows.
void CreaVecchia(const QString& nome, const TStrutturaTabella& s, const QStringList& inserimenti) {
    TArchivio& a = TArchivio::corrente();
    a.creaTabella(nome, s);
    for (const QString& sql : inserimenti) a.esegui(sql.arg(a.nomeQualificato(nome)));
    a.scollegaTutte();
}

TStrutturaTabella Struttura(const QString& nome) { return Definizioni::Definizione(nome).struttura; }

int Pos(const TStrutturaTabella& s, const char* campo) { return s.indiceCampo(QString::fromLatin1(campo)); }

void Avvio() {
    CreaTabelleAllAvvio();
}

// The rebuild run by the child process of the kill test.
int EseguiFiglio(const QString& cartella) {
    ImpostaCartellaProgramma(cartella);
    TArchivio::apriCorrente(cartella);
    Avvio();
    TArchivio::chiudiCorrente();
    return 0;
}

const int RecordKill = 50000;

void PreparaFixtureKill(const QString& cartella) {
    ImpostaCartellaProgramma(cartella);
    TArchivio::apriCorrente(cartella);
    TStrutturaTabella s = Struttura(Definizioni::Prodotti);
    s.campi.removeAt(Pos(s, "QTAALERT"));
    TArchivio::corrente().creaTabella(Definizioni::Prodotti, s);
    TArchivio::corrente().esegui(
        QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                       "insert into %2 (ID, NOME, DESCRIZIONE, PREZZO, QUANTITA, DATAOGGI) "
                       "select i, 'P' || i, 'descrizione del prodotto ' || i, i * 0.5, i % 97, '2004-03-01' from n")
            .arg(RecordKill)
            .arg(TArchivio::corrente().nomeQualificato(Definizioni::Prodotti)));
    TArchivio::chiudiCorrente();
}

// Replaces prodotti.db with an old one lacking QTAALERT, holding n products;
// with doppio, and no index, a second product 1 that the new key refuses.
void ProdottiVecchi(int n, bool doppio = false) {
    TArchivio& a = TArchivio::corrente();
    a.eliminaTabella(Definizioni::Prodotti);
    TStrutturaTabella s = Struttura(Definizioni::Prodotti);
    s.campi.removeAt(Pos(s, "QTAALERT"));
    if (doppio) s.indici.clear();
    a.creaTabella(Definizioni::Prodotti, s);
    if (doppio)
        a.esegui(QStringLiteral("insert into %1 (ID, NOME) values (1, 'doppio')").arg(a.nomeQualificato(Definizioni::Prodotti)));
    a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                            "insert into %2 (ID, NOME, DESCRIZIONE, PREZZO, QUANTITA) "
                            "select i, 'P' || i, 'descrizione del prodotto numero ' || i, i * 0.5, i % 97 from n")
                 .arg(n)
                 .arg(a.nomeQualificato(Definizioni::Prodotti)));
    a.scollegaTutte();
}

QByteArray Contenuto(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString TotaliProdotti = QStringLiteral("select count(*), sum(ID), sum(QUANTITA), sum(length(DESCRIZIONE)) from prodotti");

void CopiaCartella(const QString& da, const QString& a) {
    QDir().mkpath(a);
    for (const QString& f : QDir(da).entryList(QDir::Files)) QFile::copy(da + QLatin1Char('/') + f, a + QLatin1Char('/') + f);
}

}  // namespace

class TestCreaTabelle : public QObject {
    Q_OBJECT
private slots:
    void primoAvvio();
    void impostazioniDiPrima();
    void produttoriSenzaEmail();
    void secondoAvvioNonScrive();
    void ricostruzioni_data();
    void ricostruzioni();
    void chiaveDuplicataRegistrata();
    void valoreNonConvertibileRifiutato();
    void fileIlleggibileNonToccato();
    void temporaneoAvanzatoRimosso();
    void ricostruzioneInterrotta();
    void avanzamentoRicostruzione_data();
    void avanzamentoRicostruzione();
    void ricostruzioneConGuasto_data();
    void ricostruzioneConGuasto();
    void testoTagliatoAlCarattere_data();
    void testoTagliatoAlCarattere();
    void tabellaCollegata();
    void collegamentoSenzaBersaglio();
};

void TestCreaTabelle::primoAvvio() {
    TAmbienteTest amb(false);
    Avvio();
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(amb.risposte.mostrati.size(), 0);
    for (const QString& t : TabelleProgramma) {
        const QString file = amb.file(t + QStringLiteral(".db"));
        QVERIFY2(QFile::exists(file), qPrintable(file));
        QCOMPARE(CampiLetti(file, t), CampiAttesi(t));
    }
    const auto indici = [&](const QString& t) {
        return Sqlite3(amb.file(t + QStringLiteral(".db")),
                       QStringLiteral("select il.name || ':' || il.\"unique\" || ':' || group_concat(ii.name) "
                                      "from pragma_index_list('%1') il, pragma_index_info(il.name) ii group by il.name")
                           .arg(t));
    };
    const auto chiave = [&](const QString& t) {
        return Sqlite3(amb.file(t + QStringLiteral(".db")), QStringLiteral("select name from pragma_table_info('%1') where pk > 0").arg(t));
    };
    QCOMPARE(indici(QStringLiteral("prodotti")), QStringLiteral("NOME:0:NOME"));
    QCOMPARE(indici(QStringLiteral("produttori")), QStringLiteral("NOME:0:NOME"));
    QCOMPARE(indici(QStringLiteral("cat")), QStringLiteral("CATEGORIA:0:CATEGORIA"));
    QCOMPARE(indici(QStringLiteral("storico")), QStringLiteral("ID:0:ID"));
    QCOMPARE(indici(QStringLiteral("impostazioni")), QString());
    QCOMPARE(chiave(QStringLiteral("prodotti")), QStringLiteral("ID"));
    QCOMPARE(chiave(QStringLiteral("cat")), QStringLiteral("ID"));
    QCOMPARE(chiave(QStringLiteral("tabexport")), QStringLiteral("PROGR"));
    QCOMPARE(chiave(QStringLiteral("storico")), QString());
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("impostazioni.db")), QStringLiteral("select * from impostazioni")),
             QStringLiteral("10|10|10|10|10|10|10|0|0|1|1|1|0"));  // the expiry warning starts off
    QVERIFY(!QFile::exists(amb.file(QStringLiteral("dberrori.log"))));
}

void TestCreaTabelle::secondoAvvioNonScrive() {
    TAmbienteTest amb;
    QMap<QString, ImprontaFile> prima;
    for (const QString& t : TabelleProgramma) prima[t] = Impronta(amb.file(t + QStringLiteral(".db")));
    QThread::msleep(20);
    amb.riapriArchivio();
    Avvio();
    for (const QString& t : TabelleProgramma) QVERIFY2(Impronta(amb.file(t + QStringLiteral(".db"))) == prima[t], qPrintable(t));
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("impostazioni.db")), QStringLiteral("select count(*) from impostazioni")),
             QStringLiteral("1"));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestCreaTabelle::ricostruzioni_data() {
    QTest::addColumn<QString>("caso");
    QTest::addColumn<bool>("ricostruita");
    QTest::newRow("manca QTAALERT") << "mancaCampo" << true;
    QTest::newRow("campo in più, il resto uguale") << "campoInPiu" << false;
    QTest::newRow("campo in più e NOME di 30") << "campoInPiuEDimensione" << true;
    QTest::newRow("solo l'obbligatorietà diversa") << "obbligatorieta" << false;
    QTest::newRow("solo l'ordine dei campi diverso") << "ordine" << false;
    QTest::newRow("indice secondario mancante") << "senzaIndice" << true;
    QTest::newRow("storico con un indice in più") << "storicoIndice" << true;
    QTest::newRow("storico senza l'indice della chiave") << "storicoSenzaIndice" << true;
    QTest::newRow("tipo diverso") << "tipo" << true;
}

void TestCreaTabelle::ricostruzioni() {
    QFETCH(QString, caso);
    QFETCH(bool, ricostruita);
    TAmbienteTest amb(false);
    const QString righe = QStringLiteral(
        "insert into %1 (ID, NOME, DESCRIZIONE, PREZZO, CARICHI, QUANTITA, DATAOGGI) values "
        "(2, 'ABC', 'caffè d''orzo', 1.25, 10, 4, '2004-03-01'), (1, 'XYZ', NULL, NULL, NULL, -2, NULL)");
    QString tabella = Definizioni::Prodotti;
    TStrutturaTabella s = Struttura(Definizioni::Prodotti);
    if (caso == QLatin1String("mancaCampo")) {
        s.campi.removeAt(Pos(s, "QTAALERT"));
    } else if (caso == QLatin1String("campoInPiu")) {
        s.campi << TDefCampo{QStringLiteral("EXTRA"), TTipoCampo::Integer, 0, false};
    } else if (caso == QLatin1String("campoInPiuEDimensione")) {
        s.campi << TDefCampo{QStringLiteral("EXTRA"), TTipoCampo::Integer, 0, false};
        s.campi[Pos(s, "NOME")].dimensione = 30;
    } else if (caso == QLatin1String("obbligatorieta")) {
        s.campi[Pos(s, "NOME")].richiesto = true;
    } else if (caso == QLatin1String("ordine")) {
        std::swap(s.campi[1], s.campi[2]);
    } else if (caso == QLatin1String("senzaIndice")) {
        s.indici.removeLast();
    } else if (caso == QLatin1String("tipo")) {
        s.campi[Pos(s, "CARICHI")].tipo = TTipoCampo::Float;
    } else if (caso == QLatin1String("storicoIndice")) {
        tabella = Definizioni::Storico;
        s = Struttura(Definizioni::Storico);
        s.indici << Definizioni::IndiceSecondario(QStringLiteral("DATAOGGI"));
    } else if (caso == QLatin1String("storicoSenzaIndice")) {
        tabella = Definizioni::Storico;
        s = Struttura(Definizioni::Storico);
        s.indici.clear();
    }
    const QString vecchieRighe = tabella == Definizioni::Storico
                                     ? QStringLiteral("insert into %1 (ID, NOME, DESCRIZIONE, PREZZO, QUANTITA, DATAOGGI) values "
                                                      "(2, 'ABC', 'caffè d''orzo', 1.25, 4, '2004-03-01'), (1, 'XYZ', NULL, NULL, -2, NULL)")
                                     : righe;
    CreaVecchia(tabella, s, {vecchieRighe});
    if (caso == QLatin1String("campoInPiu") || caso == QLatin1String("campoInPiuEDimensione"))
        TArchivio::corrente().esegui(QStringLiteral("update %1 set EXTRA = 7").arg(TArchivio::corrente().nomeQualificato(tabella)));
    TArchivio::corrente().scollegaTutte();
    const ImprontaFile prima = Impronta(amb.file(tabella));
    Avvio();
    ZR_VERIFICA_RISPOSTE(amb);
    const QString file = amb.file(tabella);
    const QString nome = tabella.chopped(3);
    QCOMPARE(!(Impronta(file) == prima), ricostruita);
    QVERIFY(!QFile::exists(file + QStringLiteral("APPOGGIO.db")));
    // Every record keeps its values; a keyed table comes back in key order.
    QCOMPARE(Sqlite3(file, QStringLiteral("select ID, NOME, DESCRIZIONE, PREZZO, QUANTITA, DATAOGGI from %1 order by %2")
                               .arg(nome, tabella == Definizioni::Storico ? QStringLiteral("ID") : QStringLiteral("rowid"))),
             QStringLiteral("1|XYZ|||-2|\n2|ABC|caffè d'orzo|1.25|4|2004-03-01"));
    if (!ricostruita) return;
    QCOMPARE(CampiLetti(file, nome), CampiAttesi(nome));
    if (caso == QLatin1String("mancaCampo"))
        QCOMPARE(Sqlite3(file, QStringLiteral("select count(*) from prodotti where QTAALERT is null")), QStringLiteral("2"));
    if (tabella == Definizioni::Storico)
        QCOMPARE(Sqlite3(file, QStringLiteral("select group_concat(name) from pragma_index_list('storico')")),
                 QStringLiteral("ID"));
    if (caso == QLatin1String("tipo"))
        QCOMPARE(Sqlite3(file, QStringLiteral("select typeof(CARICHI) from prodotti where ID = 2")), QStringLiteral("integer"));
}

void TestCreaTabelle::chiaveDuplicataRegistrata() {
    TAmbienteTest amb(false);
    ImpostaOrologio(QDateTime(QDate(2004, 3, 15), QTime(9, 5, 7)));
    TStrutturaTabella s = Struttura(Definizioni::Prodotti);
    s.indici.clear();
    CreaVecchia(Definizioni::Prodotti, s,
                {QStringLiteral("insert into %1 (ID, NOME, PREZZO) values (1, 'primo', 2.5), (1, 'doppio', 3), (2, 'terzo', NULL)")});
    amb.risposte.attendi(TTipoMessaggio::Attenzione,
                         QStringLiteral("Trovati errori in fase di aggiornamento tabella.+#1310+Consultare il file ") +
                             amb.file(QStringLiteral("dberrori.log")) + QStringLiteral(" e contattare Vavori Rarovazazo."));
    amb.risposte.attendi(TTipoMessaggio::Messaggio,
                         QStringLiteral("Attenzione! alla tabella: prodotti.db mancano n. 1 records (righe)."));
    Avvio();
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("prodotti.db")), QStringLiteral("select ID, NOME from prodotti")),
             QStringLiteral("1|primo\n2|terzo"));
    QFile log(amb.file(QStringLiteral("dberrori.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList righe = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'));
    const int campi = Definizioni::CampiProdotti().size();
    QCOMPARE(righe.value(0), QString());
    QCOMPARE(righe.value(1), QStringLiteral("data e ora: 15/03/2004 09:05:07"));
    QVERIFY2(righe.value(2).startsWith(QLatin1String("Errore: Chiave duplicata")) &&
                 righe.value(2).endsWith(QStringLiteral(" - Help context: %1").arg(ErroreArchivio::CtxVincolo)),
             qPrintable(righe.value(2)));
    QCOMPARE(righe.value(3), QStringLiteral("DATI RECORD TABELLA ORIGINE: prodotti.db, DATABASE: "));
    QCOMPARE(righe.value(4), QStringLiteral("ID: '1'"));
    QCOMPARE(righe.value(5), QStringLiteral("NOME: 'doppio'"));
    QCOMPARE(righe.value(7), QStringLiteral("PREZZOLISTINO: ''"));
    QCOMPARE(righe.value(8), QStringLiteral("PREZZO: '3'"));
    QCOMPARE(righe.value(4 + campi), QString());
    QCOMPARE(righe.value(5 + campi), QStringLiteral("DATI RECORD TABELLA DESTINAZIONE:prodotti.dbAPPOGGIO.db, DATABASE: "));
    QCOMPARE(righe.value(6 + campi), QStringLiteral("ID: '1'"));
    QCOMPARE(righe.value(7 + campi), QStringLiteral("NOME: 'doppio'"));
    QCOMPARE(righe.value(5 + 2 * campi), QStringLiteral("QTAALERT: ''"));
    QCOMPARE(righe.size(), 6 + 2 * campi + 1);  // the block ends with a line break
}

void TestCreaTabelle::valoreNonConvertibileRifiutato() {
    TAmbienteTest amb(false);
    TStrutturaTabella s = Struttura(Definizioni::Prodotti);
    s.campi[Pos(s, "CARICHI")] = TDefCampo{QStringLiteral("CARICHI"), TTipoCampo::String, 10, false};
    CreaVecchia(Definizioni::Prodotti, s,
                {QStringLiteral("insert into %1 (ID, NOME, CARICHI) values (1, 'buono', '12'), (2, 'cattivo', 'abc')")});
    amb.risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Trovati errori in fase di aggiornamento tabella."), true, true);
    amb.risposte.attendi(TTipoMessaggio::Messaggio,
                         QStringLiteral("Attenzione! alla tabella: prodotti.db mancano n. 1 records (righe)."));
    Avvio();
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("prodotti.db")), QStringLiteral("select ID, CARICHI, typeof(CARICHI) from prodotti")),
             QStringLiteral("1|12|integer"));
    QFile log(amb.file(QStringLiteral("dberrori.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString testo = QString::fromUtf8(log.readAll());
    QVERIFY2(testo.contains(QStringLiteral("Errore: 'abc' non è un valore intero valido per il campo CARICHI - Help context: %1")
                                .arg(ErroreArchivio::CtxConversione)),
             qPrintable(testo));
    // Every later table was still created: start-up did not stop half way.
    QVERIFY(QFile::exists(amb.file(QStringLiteral("cat.db"))));
}

void TestCreaTabelle::fileIlleggibileNonToccato() {
    TAmbienteTest amb(false);
    QByteArray spazzatura;
    for (int i = 0; i < 3000; ++i) spazzatura += char(i * 37 % 251);
    QFile f(amb.file(QStringLiteral("prodotti.db")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(spazzatura);
    f.close();
    QVERIFY_THROWS_EXCEPTION(ErroreArchivio, Avvio());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), spazzatura);
    QVERIFY(QFile::exists(amb.file(QStringLiteral("produttori.db"))));
    QVERIFY(!QFile::exists(amb.file(QStringLiteral("prodotti.dbAPPOGGIO.db"))));
}

void TestCreaTabelle::temporaneoAvanzatoRimosso() {
    TAmbienteTest amb;
    TStrutturaTabella s = Struttura(Definizioni::Prodotti);
    TArchivio::corrente().creaTabella(QStringLiteral("prodotti.dbAPPOGGIO.db"), s);
    TArchivio::corrente().scollegaTutte();
    amb.riapriArchivio();
    Avvio();
    QVERIFY(!QFile::exists(amb.file(QStringLiteral("prodotti.dbAPPOGGIO.db"))));
}

// A rebuild tells how far its copy has come, the same table all along: from
// 0 of the records to all of them, never backwards, whether the records go in
// one statement or (a key refused) one by one.
void TestCreaTabelle::avanzamentoRicostruzione_data() {
    QTest::addColumn<bool>("doppio");
    QTest::newRow("copia in blocco") << false;
    QTest::newRow("record per record") << true;
}

void TestCreaTabelle::avanzamentoRicostruzione() {
    QFETCH(bool, doppio);
    TAmbienteTest amb;
    ProdottiVecchi(10000, doppio);
    const qint64 totale = doppio ? 10001 : 10000;
    QList<qint64> fatti;
    QStringList tabelle;
    TResocontoTabelle resoconto;
    CreaTabelle(&resoconto, [&](const QString& tabella, qint64 f, qint64 t) {
        tabelle << tabella;
        fatti << f;
        QCOMPARE(t, totale);
    });
    QVERIFY(fatti.size() >= 3);
    QCOMPARE(fatti.first(), 0);
    QCOMPARE(fatti.last(), totale);
    QVERIFY(std::is_sorted(fatti.begin(), fatti.end()));
    tabelle.removeDuplicates();
    QCOMPARE(tabelle, QStringList{Definizioni::Prodotti});
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("prodotti.db")), QStringLiteral("select count(*) from prodotti")), QStringLiteral("10000"));
}

void TestCreaTabelle::ricostruzioneInterrotta() {
    QTemporaryDir radice;
    const QString fixture = radice.filePath(QStringLiteral("fixture"));
    QDir().mkpath(fixture);
    PreparaFixtureKill(fixture);
    ImpostaCartellaProgramma(QString());
    const QString atteso = Sqlite3(fixture + QStringLiteral("/prodotti.db"), QStringLiteral("select count(*), sum(ID), sum(QUANTITA) from prodotti"));
    QCOMPARE(atteso.section(QLatin1Char('|'), 0, 0), QString::number(RecordKill));

    const auto avviaFiglio = [&](const QString& cartella) {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZR_FIGLIO_RICOSTRUZIONE"), cartella);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationFilePath(), {});
        p->waitForStarted();
        return p;
    };
    // The time of a whole run, to spread the kills over it.
    const QString intera = radice.filePath(QStringLiteral("intera"));
    CopiaCartella(fixture, intera);
    QElapsedTimer cronometro;
    cronometro.start();
    QProcess* p = avviaFiglio(intera);
    QVERIFY(p->waitForFinished(60000));
    const qint64 durata = cronometro.elapsed();
    QCOMPARE(p->exitCode(), 0);
    delete p;
    // A start with nothing to rebuild: the kills fall after it, in the rebuild.
    cronometro.restart();
    p = avviaFiglio(intera);
    QVERIFY(p->waitForFinished(60000));
    const qint64 avvio = std::min(cronometro.elapsed(), durata);
    delete p;

    int vecchie = 0, nuove = 0;
    const int prove = 24;
    for (int k = 0; k < prove; ++k) {
        const QString cartella = radice.filePath(QStringLiteral("k%1").arg(k));
        CopiaCartella(fixture, cartella);
        QProcess* figlio = avviaFiglio(cartella);
        QThread::usleep(static_cast<unsigned long>(1000 * (avvio + (durata - avvio) * (k + 1) / (prove + 1))));
        figlio->kill();
        figlio->waitForFinished(10000);
        delete figlio;
        // Right after the kill: the table is there, old or new, with every record.
        const QString file = cartella + QStringLiteral("/prodotti.db");
        QVERIFY2(QFile::exists(file), qPrintable(QStringLiteral("prova %1: prodotti.db mancante").arg(k)));
        QCOMPARE(Sqlite3(file, QStringLiteral("select count(*), sum(ID), sum(QUANTITA) from prodotti")), atteso);
        const bool nuova = Sqlite3(file, QStringLiteral("select count(*) from pragma_table_info('prodotti') where name = 'QTAALERT'")) ==
                           QLatin1String("1");
        (nuova ? nuove : vecchie)++;
        // The next start finishes the work and leaves no temporary table.
        QVERIFY(EseguiFiglio(cartella) == 0);
        ImpostaCartellaProgramma(QString());
        QCOMPARE(Sqlite3(file, QStringLiteral("select count(*), sum(ID), sum(QUANTITA) from prodotti")), atteso);
        QCOMPARE(CampiLetti(file, QStringLiteral("prodotti")), CampiAttesi(QStringLiteral("prodotti")));
        QVERIFY(!QFile::exists(file + QStringLiteral("APPOGGIO.db")));
        QDir(cartella).removeRecursively();
    }
    qInfo("interruzioni: %d con la tabella vecchia, %d con la nuova (avvio %lld ms, run intero %lld ms)", vecchie, nuove, avvio, durata);
}

void TestCreaTabelle::ricostruzioneConGuasto_data() {
    QTest::addColumn<QString>("guasto");
    QTest::addColumn<QString>("causa");
    QTest::newRow("disco pieno: 1 MB libero su un tmpfs") << "disco" << "disco pieno";
    QTest::newRow("disco pieno durante la copia record per record") << "discoDoppio" << "disco pieno";
    QTest::newRow("tabella aperta in scrittura da un altro programma") << "uso" << "tabella in uso da un altro programma";
}

// A failure of the disk or of the engine is no refused record: the rebuild
// stops at once with one message, the old table stays byte for byte, and
// neither a temporary table nor a log is left behind.
void TestCreaTabelle::ricostruzioneConGuasto() {
    QFETCH(QString, guasto);
    QFETCH(QString, causa);
    TAmbienteTest amb;
    const bool doppio = guasto == QLatin1String("discoDoppio");
    ProdottiVecchi(30000, doppio);
    QString cartella = amb.cartella();
    struct Smonta {
        QString punto;
        ~Smonta() {
            if (punto.isEmpty()) return;
            TArchivio::chiudiCorrente();
            ::umount2(QFile::encodeName(punto).constData(), MNT_DETACH);
        }
    } smonta;
    if (guasto.startsWith(QLatin1String("disco"))) {
        // The program folder on a disk with about 1 MB free beside its tables.
        TArchivio::chiudiCorrente();
        qint64 occupato = 0;
        const QStringList file = QDir(cartella).entryList(QDir::Files);
        for (const QString& f : file) occupato += QFileInfo(cartella + f).size();
        const QString punto = amb.file(QStringLiteral("disco"));
        QDir().mkpath(punto);
        const QByteArray opzioni = "size=" + QByteArray::number(occupato + 1024 * 1024);
        if (::mount("tmpfs", QFile::encodeName(punto).constData(), "tmpfs", 0, opzioni.constData()) != 0)
            QSKIP("non si può montare un tmpfs qui (serve root)");
        smonta.punto = punto;
        cartella = punto + QLatin1Char('/');
        for (const QString& f : file) QVERIFY(QFile::copy(amb.file(f), cartella + f));
        ImpostaCartellaProgramma(cartella);
        TArchivio::apriCorrente(cartella);
    }
    const QString prodotti = cartella + QStringLiteral("prodotti.db");
    sqlite3* altro = nullptr;
    if (guasto == QLatin1String("uso")) {
        QCOMPARE(sqlite3_open(QFile::encodeName(prodotti).constData(), &altro), SQLITE_OK);
        QCOMPARE(sqlite3_exec(altro, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    const QByteArray prima = Contenuto(prodotti);
    const QString totali = Sqlite3(prodotti, TotaliProdotti);
    // The refused product is announced as ever, before the disk fills.
    if (doppio)
        amb.risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Trovati errori in fase di aggiornamento tabella."),
                             true, true);
    amb.risposte.attendi(TTipoMessaggio::ErroreGenerale,
                         QStringLiteral("Non riesco ad aggiornare la tabella: 'prodotti.db' (%1). La tabella è rimasta com'era, "
                                        "con tutti i suoi dati; risolto il problema, riavviare il programma.")
                             .arg(causa));
    EseguiMostrandoErrori(Avvio);  // as the main window runs the table routines
    if (altro) {
        sqlite3_exec(altro, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(altro);
    }
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(amb.risposte.mostrati.size(), doppio ? 2 : 1);
    QVERIFY2(Contenuto(prodotti) == prima, "prodotti.db è cambiata");
    // Only the refused product has its block in the log.
    const QString log = QString::fromUtf8(Contenuto(cartella + QStringLiteral("dberrori.log")));
    QCOMPARE(log.count(QStringLiteral("DATI RECORD TABELLA ORIGINE")), doppio ? 1 : 0);
    QCOMPARE(log.contains(QStringLiteral("NOME: 'P1'")), doppio);
    QCOMPARE(Sqlite3(prodotti, TotaliProdotti), totali);
    for (const QString& f : QDir(cartella).entryList(QDir::Files | QDir::Hidden))
        QVERIFY2(!f.contains(QLatin1String("APPOGGIO")) && !f.contains(QLatin1String("-journal")) &&
                     !f.contains(QLatin1String("-mj")) && (doppio || f != QLatin1String("dberrori.log")),
                 qPrintable(f));
}

void TestCreaTabelle::testoTagliatoAlCarattere_data() {
    QTest::addColumn<QString>("lettera");
    QTest::newRow("1 byte: b") << QStringLiteral("b");
    QTest::newRow("2 byte: è") << QStringLiteral("è");
    QTest::newRow("3 byte: €") << QStringLiteral("€");
    QTest::newRow("4 byte: emoji") << QString::fromUtf8("\xF0\x9F\x98\x80");
}

// A NOME of 50 characters rebuilt into one of 40 keeps 40 whole characters.
void TestCreaTabelle::testoTagliatoAlCarattere() {
    QFETCH(QString, lettera);
    TAmbienteTest amb(false);
    TStrutturaTabella s = Struttura(Definizioni::Prodotti);
    s.campi[Pos(s, "NOME")].dimensione = 50;
    const QString atteso = QString(39, QLatin1Char('a')) + lettera;
    TArchivio& a = TArchivio::corrente();
    a.creaTabella(Definizioni::Prodotti, s);
    a.esegui(QStringLiteral("insert into %1 (ID, NOME) values (1, ?)").arg(a.nomeQualificato(Definizioni::Prodotti)),
             {atteso + lettera + QStringLiteral("zz")});
    a.scollegaTutte();
    Avvio();
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("prodotti.db")), QStringLiteral("select hex(NOME), length(NOME) from prodotti")),
             QString::fromLatin1(atteso.toUtf8().toHex().toUpper()) + QStringLiteral("|40"));
}

// A table file that is a symbolic link is rebuilt in the file it points to:
// the link stays a link and the target holds the new structure and every record.
void TestCreaTabelle::tabellaCollegata() {
    TAmbienteTest amb;
    ProdottiVecchi(500);
    const QString totali = Sqlite3(amb.file(QStringLiteral("prodotti.db")), TotaliProdotti);
    TArchivio::chiudiCorrente();
    const QString altrove = amb.file(QStringLiteral("altrove"));
    QDir().mkpath(altrove);
    const QString bersaglio = altrove + QStringLiteral("/magazzino.db");
    QVERIFY(QFile::rename(amb.file(QStringLiteral("prodotti.db")), bersaglio));
    QVERIFY(QFile::link(bersaglio, amb.file(QStringLiteral("prodotti.db"))));
    TArchivio::apriCorrente(amb.cartella());
    Avvio();
    ZR_VERIFICA_RISPOSTE(amb);
    const QFileInfo collegamento(amb.file(QStringLiteral("prodotti.db")));
    QVERIFY(collegamento.isSymLink());
    QCOMPARE(collegamento.symLinkTarget(), bersaglio);
    QCOMPARE(CampiLetti(bersaglio, QStringLiteral("prodotti")), CampiAttesi(QStringLiteral("prodotti")));
    QCOMPARE(Sqlite3(bersaglio, TotaliProdotti), totali);
    QCOMPARE(QDir(altrove).entryList(QDir::Files), QStringList{QStringLiteral("magazzino.db")});
    QVERIFY(!QFile::exists(amb.file(QStringLiteral("prodotti.dbAPPOGGIO.db"))));
    // The next start finds the table current through the link.
    const QByteArray dopo = Contenuto(bersaglio);
    amb.riapriArchivio();
    Avvio();
    QCOMPARE(Contenuto(bersaglio), dopo);
}

// A link to a file that is not there (a disk not mounted) is left alone and
// the user is told; no new empty table takes its place.
void TestCreaTabelle::collegamentoSenzaBersaglio() {
    TAmbienteTest amb(false);
    const QString assente = amb.file(QStringLiteral("disco_esterno/prodotti.db"));
    QVERIFY(QFile::link(assente, amb.file(QStringLiteral("prodotti.db"))));
    amb.risposte.attendi(TTipoMessaggio::ErroreGenerale,
                         QStringLiteral("La tabella 'prodotti.db' è un collegamento a ") + assente +
                             QStringLiteral(", che non esiste: la tabella non è stata né creata né modificata. "
                                            "Ripristinare il collegamento e riavviare il programma."));
    EseguiMostrandoErrori(Avvio);
    ZR_VERIFICA_RISPOSTE(amb);
    QVERIFY(QFileInfo(amb.file(QStringLiteral("prodotti.db"))).isSymLink());
    QVERIFY(!QFileInfo::exists(assente));
    QVERIFY(!QFile::exists(amb.file(QStringLiteral("prodotti.dbAPPOGGIO.db"))));
}

// A settings table from before the warning days: the upgrade adds the field
// (empty, read as no warning) and keeps every value, the language included.
void TestCreaTabelle::impostazioniDiPrima() {
    TAmbienteTest amb;
    TArchivio& a = TArchivio::corrente();
    const QString tabella = a.nomeQualificato(Definizioni::Impostazioni);
    a.esegui(QStringLiteral("update %1 set CAR_STAMPA_STORICO = 14, CANC_AUTOMATICA = 1, PROPONI_INS_STORICO = 0").arg(tabella));
    a.esegui(QStringLiteral("alter table %1 add column LINGUA VARCHAR(20)").arg(tabella));
    a.esegui(QStringLiteral("update %1 set LINGUA = 'INGLESE'").arg(tabella));
    a.esegui(QStringLiteral("alter table %1 drop column GIORNI_PREAVVISO_SCADENZA").arg(tabella));
    a.scollegaTutte();
    Avvio();
    ZR_VERIFICA_RISPOSTE(amb);
    const QString file = amb.file(QStringLiteral("impostazioni.db"));
    QCOMPARE(Sqlite3(file, QStringLiteral("select count(*), CAR_STAMPA_STORICO, CAR_STAMPA_PRODOTTI, CANC_AUTOMATICA, "
                                          "PROPONI_INS_STORICO, LINGUA, ifnull(GIORNI_PREAVVISO_SCADENZA, '-') from impostazioni")),
             QStringLiteral("1|14|10|1|0|INGLESE|-"));
    QCOMPARE(GiorniPreavvisoScadenza(), 0);
    // The next start finds the table as declared and leaves it alone.
    const QByteArray prima = Contenuto(file);
    a.scollegaTutte();
    Avvio();
    QCOMPARE(Contenuto(file), prima);
}

// A producers table from before the e-mail address: the upgrade adds the
// field, empty, and keeps every producer with all its values.
void TestCreaTabelle::produttoriSenzaEmail() {
    TAmbienteTest amb;
    TArchivio& a = TArchivio::corrente();
    const QString tabella = a.nomeQualificato(Definizioni::Produttori);
    a.esegui(QStringLiteral("insert into %1 (ID, NOME, COGNOME, VIA, CAP, CITTA, PROVINCIA, TELEFONO, PIVA, DESCRIZIONE) "
                            "values (1, 'Mario', 'Rossi', 'Via Roma 1', 20100, 'Milano', 'MI', '02 1', '0123', 'vini'), "
                            "(7, 'Anna', 'Bianchi', NULL, NULL, NULL, NULL, NULL, NULL, NULL)")
                 .arg(tabella));
    a.esegui(QStringLiteral("alter table %1 drop column EMAIL").arg(tabella));
    a.scollegaTutte();
    const QString file = amb.file(QStringLiteral("produttori.db"));
    QVERIFY(!Sqlite3(file, QStringLiteral("select group_concat(name) from pragma_table_info('produttori')")).contains(QStringLiteral("EMAIL")));
    Avvio();
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(Sqlite3(file, QStringLiteral("select type from pragma_table_info('produttori') where name = 'EMAIL'")),
             QStringLiteral("VARCHAR(100)"));
    QCOMPARE(Sqlite3(file, QStringLiteral("select ID, NOME, COGNOME, VIA, CAP, CITTA, PROVINCIA, TELEFONO, PIVA, DESCRIZIONE, "
                                          "ifnull(EMAIL, '-') from produttori order by ID")),
             QStringLiteral("1|Mario|Rossi|Via Roma 1|20100|Milano|MI|02 1|0123|vini|-\n7|Anna|Bianchi||||||||-"));
}

int main(int argc, char** argv) {
    const QByteArray figlio = qgetenv("ZR_FIGLIO_RICOSTRUZIONE");
    TApplicazione app(argc, argv);
    if (!figlio.isEmpty()) return EseguiFiglio(QString::fromLocal8Bit(figlio));
    TestCreaTabelle t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_creatabelle.moc"
