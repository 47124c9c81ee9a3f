// The file work under the backup, restore and sending windows: which files
// are user data, checked copies of the live tables (also beside a hot journal
// left by a killed writer), the all-or-nothing restore, the day-folder list,
// descriptions and deletion.

#include "AmbienteTest.h"
#include "data/Costanti.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "tools/CopiaDati.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QUrlQuery>
#include <csignal>
#include <sys/resource.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace CopiaDati;

namespace {

void Scrivi(const QString& percorso, const QByteArray& contenuto) {
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(contenuto);
}

QByteArray Leggi(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// n history rows with the description "prima".
void RigheStorico(int n) {
    TArchivio& a = TArchivio::corrente();
    const QString tab = a.nomeQualificato(Definizioni::Storico);
    TTransazione t(a);
    for (int i = 1; i <= n; ++i)
        a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)").arg(tab, Storico::Id, Storico::Descrizione),
                 {i, QStringLiteral("prima")});
    t.conferma();
}

void ProdottoConDescrizione(int id, const QString& descrizione) {
    TArchivio& a = TArchivio::corrente();
    const QString tab = a.nomeQualificato(Definizioni::Prodotti);
    a.esegui(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(tab, Prodotti::Id), {id});
    a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)").arg(tab, Prodotti::Id, Prodotti::Descrizione),
             {id, descrizione});
}

// A writer that changes every row of a table and is killed before it
// commits: with a one-page cache it has already written part of its change
// into the file, and its journal is left hot beside it.
void ScrittoreUcciso(const QString& file, const QString& tabella, const QString& campo) {
    const QByteArray percorso = QFile::encodeName(file);
    const QByteArray sql = QStringLiteral("PRAGMA cache_size=1; BEGIN; UPDATE %1 SET %2 = 'dopo'")
                               .arg(tabella, campo)
                               .toUtf8();
    const pid_t figlio = ::fork();
    if (figlio == 0) {
        sqlite3* h = nullptr;
        if (sqlite3_open_v2(percorso.constData(), &h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) ::_exit(2);
        ::_exit(sqlite3_exec(h, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK ? 0 : 3);
    }
    int stato = 0;
    ::waitpid(figlio, &stato, 0);
    QCOMPARE(WEXITSTATUS(stato), 0);
    QVERIFY2(QFileInfo(file + QStringLiteral("-journal")).size() > 0, "il giornale caldo non è rimasto");
    // The file itself is torn: a plain copy of it would hold the half-made change.
    QVERIFY2(Leggi(file).contains("dopo"), "lo scrittore non ha scritto nel file");
}

// Backs every data file of the program folder up into the day folder; the
// texts of the failures, prefixed by the file's name.
QStringList SalvaTutto(const QString& cartella, const QString& giorno) {
    QDir().mkpath(giorno);
    QStringList errori;
    for (const QString& f : FileDaSalvare(cartella)) {
        const QString e = SalvaFile(&TArchivio::corrente(), cartella + f, giorno + f);
        if (!e.isEmpty()) errori << f + QStringLiteral(": ") + e;
    }
    return errori;
}

// Overwrites the start of every other page from the third on, so that the
// engine's integrity check finds a fault on each of them.
void DanneggiaPagine(const QString& file) {
    QByteArray dati = Leggi(file);
    for (int p = 3; p * 4096 + 72 < dati.size(); p += 2) dati.replace(p * 4096 + 8, 64, QByteArray(64, '\xff'));
    Scrivi(file, dati);
}

// A small file system of its own mounted on a folder for as long as the
// object lives: read-only, or so small that it fills up. Only root mounts:
// without it the test that needs one is skipped.
class TDiscoProva {
public:
    TDiscoProva(const QString& cartella, const char* opzioni) : m_cartella(QFile::encodeName(cartella)) {
        QDir().mkpath(cartella);
        m_montato = ::mount("tmpfs", m_cartella.constData(), "tmpfs", 0, opzioni) == 0;
    }
    ~TDiscoProva() {
        if (m_montato) ::umount2(m_cartella.constData(), MNT_DETACH);
    }
    bool montato() const { return m_montato; }

private:
    QByteArray m_cartella;
    bool m_montato = false;
};

}  // namespace

class TestCopiaDati : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void fileDiDati_data();
    void fileDiDati();
    void descrizione_data();
    void descrizione();
    void copieControllateConDataEPermessi();
    void giornaleCaldoRipristinatoNonCopiato();
    void rifiutoDuranteUnaTransazione();
    void secondoSalvataggioFallitoTieneLaCopiaPrecedente();
    void discoPienoDuranteIlSalvataggio();
    void recuperoConUnFileDanneggiatoNonSostituisceNulla();
    void recuperoSopraUnGiornaleVecchio();
    void fileDbEstraneoCopiatoComeFile();
    void copiaDanneggiataDettaInBreve();
    void cartellaDiDestinazioneNonScrivibile();
    void recuperoSuDiscoPieno();
    void cartelleElencateEdEliminate();
    void pacchettoControllatoConUnzip();
    void pacchettoNonScrittoTieneIlPrecedente_data();
    void pacchettoNonScrittoTieneIlPrecedente();
    void mailDelPacchetto();
};

void TestCopiaDati::fileDiDati_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<bool>("preso");
    QTest::newRow("compagno di una tabella") << "prodotti.px" << true;
    QTest::newRow("testo con il nome di una tabella") << "storico.txt" << true;
    QTest::newRow("registro degli errori") << "dberrori.log" << false;
    QTest::newRow("estensione esclusa") << "prodotti.pas" << false;
    QTest::newRow("estensione esclusa tagliata a quattro") << "prodotti.exe2" << false;
    QTest::newRow("estensione esclusa in maiuscolo") << "prodotti.PAS" << true;
    QTest::newRow("giornale") << "prodotti.db-journal" << false;
    QTest::newRow("wal") << "storico.db-wal" << false;
    QTest::newRow("avanzo di una ricostruzione") << "prodotti.dbAPPOGGIO.db" << false;
    QTest::newRow("file principale della connessione") << "zerired.main" << false;
    QTest::newRow("file nascosto") << ".prodotti.db.parziale" << false;
    QTest::newRow("collegamento") << "cat.lnk" << false;
    QTest::newRow("cartella") << "prodotti.dir" << false;
}

void TestCopiaDati::fileDiDati() {
    QFETCH(QString, nome);
    QFETCH(bool, preso);
    const QString c = m_amb->cartella();
    if (nome.endsWith(QLatin1String(".lnk")))
        QVERIFY(QFile::link(c + Definizioni::Categorie, c + nome));
    else if (nome.endsWith(QLatin1String(".dir")))
        QVERIFY(QDir().mkdir(c + nome));
    else
        Scrivi(c + nome, "x");
    const QStringList presi = FileDaSalvare(c);
    QCOMPARE(presi.contains(nome), preso);
    // The tables are always there, each once.
    for (const QString& t : {Definizioni::Prodotti, Definizioni::Storico, Definizioni::Categorie})
        QCOMPARE(presi.count(t), 1);
    QVERIFY(!presi.contains(QStringLiteral("dberrori.log")));
}

void TestCopiaDati::descrizione_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<int>("file");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("31 dicembre 2003") << "20031231" << 25 << "Backup del 31/12/2003 - File presenti: 25";
    QTest::newRow("cartella vuota") << "20040315" << 0 << "Backup del 15/03/2004 - File presenti: 0";
    QTest::newRow("nome di altra forma") << "vecchio1" << 3 << "Backup del o1/hi/vecc - File presenti: 3";
    QTest::newRow("nome corto") << "abc" << 1 << "Backup del //abc - File presenti: 1";
}

void TestCopiaDati::descrizione() {
    QFETCH(QString, nome);
    QFETCH(int, file);
    QFETCH(QString, atteso);
    QCOMPARE(DescrizioneBackup(nome, file), atteso);
    QCOMPARE(NomeCartellaGiorno(QDate(2003, 12, 31)), QStringLiteral("20031231"));
}

void TestCopiaDati::copieControllateConDataEPermessi() {
    const QString c = m_amb->cartella();
    ProdottoConDescrizione(7, QStringLiteral("Vite àèé"));
    Scrivi(c + QStringLiteral("prodotti.px"), "indice");
    const QDateTime ieri(QDate(2004, 3, 14), QTime(9, 0, 0));
    {
        QFile f(c + QStringLiteral("prodotti.px"));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(ieri, QFileDevice::FileModificationTime));
    }
    QVERIFY(QFile::setPermissions(c + Definizioni::Prodotti, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QString giorno = CartellaBackup(c) + NomeCartellaGiorno(Oggi()) + QLatin1Char('/');
    QCOMPARE(SalvaTutto(c, giorno), QStringList());

    QCOMPARE(FileCartellaGiorno(giorno), FileDaSalvare(c));
    // Nothing but the data files: no journal, no hidden staging file.
    QCOMPARE(QDir(giorno).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), FileDaSalvare(c));
    for (const QString& f : FileDaSalvare(c)) {
        const QFileInfo da(c + f), a(giorno + f);
        QCOMPARE(a.lastModified(), da.lastModified());
        QCOMPARE(a.permissions(), da.permissions());
        if (f.endsWith(QLatin1String(".db")))
            QCOMPARE(Sqlite3(giorno + f, QStringLiteral("pragma integrity_check")).trimmed(), QStringLiteral("ok"));
    }
    QCOMPARE(QFileInfo(giorno + QStringLiteral("prodotti.px")).lastModified(), ieri);
    QCOMPARE(Leggi(giorno + QStringLiteral("prodotti.px")), QByteArray("indice"));
    QCOMPARE(Sqlite3(giorno + Definizioni::Prodotti,
                     QStringLiteral("select %1 from prodotti where %2 = 7").arg(Prodotti::Descrizione, Prodotti::Id))
                 .trimmed(),
             QStringLiteral("Vite àèé"));
}

void TestCopiaDati::giornaleCaldoRipristinatoNonCopiato() {
    const QString c = m_amb->cartella();
    RigheStorico(3000);
    ScrittoreUcciso(c + Definizioni::Storico, QStringLiteral("storico"), Storico::Descrizione);
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    QCOMPARE(SalvaTutto(c, giorno), QStringList());
    const QString copia = giorno + Definizioni::Storico;
    QVERIFY(!QFile::exists(copia + QStringLiteral("-journal")));
    QCOMPARE(Sqlite3(copia, QStringLiteral("pragma integrity_check")).trimmed(), QStringLiteral("ok"));
    QCOMPARE(Sqlite3(copia, QStringLiteral("select %1, count(*) from storico group by 1").arg(Storico::Descrizione))
                 .trimmed(),
             QStringLiteral("prima|3000"));
}

void TestCopiaDati::rifiutoDuranteUnaTransazione() {
    const QString c = m_amb->cartella();
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    QDir().mkpath(giorno);
    QCOMPARE(SalvaTutto(c, giorno), QStringList());
    const QByteArray vivo = Leggi(c + Definizioni::Prodotti);
    TArchivio& a = TArchivio::corrente();
    a.iniziaTransazione();
    QVERIFY(!SalvaFile(&a, c + Definizioni::Prodotti, giorno + QStringLiteral("altro.db")).isEmpty());
    QVERIFY(!QFile::exists(giorno + QStringLiteral("altro.db")));
    const TEsitoRecupero esito = RecuperaFile(&a, giorno, FileCartellaGiorno(giorno), c);
    QVERIFY(!esito.riuscito());
    QCOMPARE(esito.copiati, 0);
    a.annullaTransazione();
    QCOMPARE(Leggi(c + Definizioni::Prodotti), vivo);
}

void TestCopiaDati::secondoSalvataggioFallitoTieneLaCopiaPrecedente() {
    const QString c = m_amb->cartella();
    ProdottoConDescrizione(1, QStringLiteral("mattina"));
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    QCOMPARE(SalvaTutto(c, giorno), QStringList());
    const QByteArray categorieMattina = Leggi(giorno + Definizioni::Categorie);

    // In the afternoon the categories table is damaged and a product changed.
    ProdottoConDescrizione(1, QStringLiteral("pomeriggio"));
    TArchivio::corrente().scollegaTutte();
    QByteArray guasto = Leggi(c + Definizioni::Categorie);
    guasto.replace(100, 2000, QByteArray(2000, '\xff'));
    Scrivi(c + Definizioni::Categorie, guasto);

    const QStringList errori = SalvaTutto(c, giorno);
    QCOMPARE(errori.size(), 1);
    QVERIFY2(errori.first().startsWith(Definizioni::Categorie + QStringLiteral(": copia danneggiata (")),
             qPrintable(errori.first()));
    QCOMPARE(Leggi(giorno + Definizioni::Categorie), categorieMattina);
    QCOMPARE(Sqlite3(giorno + Definizioni::Prodotti, QStringLiteral("select %1 from prodotti").arg(Prodotti::Descrizione))
                 .trimmed(),
             QStringLiteral("pomeriggio"));
    QCOMPARE(QDir(giorno).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".parziale")), QStringList());
}

void TestCopiaDati::discoPienoDuranteIlSalvataggio() {
    const QString c = m_amb->cartella();
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    QCOMPARE(SalvaTutto(c, giorno), QStringList());
    const QByteArray storicoMattina = Leggi(giorno + Definizioni::Storico);

    // The history grows past what the disk still takes: a file size limit makes
    // every write past 64 KiB fail, as a full disk would.
    RigheStorico(3000);
    QVERIFY(QFileInfo(c + Definizioni::Storico).size() > 64 * 1024);
    struct rlimit prima {};
    ::getrlimit(RLIMIT_FSIZE, &prima);
    const auto gestore = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limite = prima;
    limite.rlim_cur = 64 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &limite);
    const QStringList errori = SalvaTutto(c, giorno);
    ::setrlimit(RLIMIT_FSIZE, &prima);
    ::signal(SIGXFSZ, gestore);

    // One failure, told in Italian with the engine's words in brackets; the
    // morning's copy is still there whole and no partial copy is left behind.
    QCOMPARE(errori.size(), 1);
    const QString e = errori.first();
    QVERIFY2(e.startsWith(Definizioni::Storico + QStringLiteral(": Errore di lettura o scrittura sul disco (")) ||
                 e.startsWith(Definizioni::Storico + QStringLiteral(": Disco pieno (")),
             qPrintable(e));
    QCOMPARE(Leggi(giorno + Definizioni::Storico), storicoMattina);
    QCOMPARE(QDir(giorno).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".parziale")), QStringList());
}

void TestCopiaDati::recuperoConUnFileDanneggiatoNonSostituisceNulla() {
    const QString c = m_amb->cartella();
    ProdottoConDescrizione(1, QStringLiteral("nel backup"));
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    QCOMPARE(SalvaTutto(c, giorno), QStringList());
    ProdottoConDescrizione(1, QStringLiteral("di oggi"));
    RigheStorico(2);
    QByteArray guasto = Leggi(giorno + Definizioni::Storico);
    guasto.replace(0, 16, QByteArray(16, 'z'));
    Scrivi(giorno + Definizioni::Storico, guasto);

    const TEsitoRecupero esito = RecuperaFile(&TArchivio::corrente(), giorno, FileCartellaGiorno(giorno), c);
    QCOMPARE(esito.copiati, 0);
    QCOMPARE(esito.errori.size(), 1);
    QVERIFY2(esito.errori.first().contains(Definizioni::Storico), qPrintable(esito.errori.first()));
    QCOMPARE(TArchivio::corrente().valoreSingolo(QStringLiteral("SELECT %1 FROM %2").arg(
                 Prodotti::Descrizione, TArchivio::corrente().nomeQualificato(Definizioni::Prodotti))).toString(),
             QStringLiteral("di oggi"));
    QCOMPARE(Sqlite3(c + Definizioni::Storico, QStringLiteral("select count(*) from storico")).trimmed(),
             QStringLiteral("2"));
    QCOMPARE(QDir(c).entryList({QStringLiteral("*.ripristino*")}, QDir::Files | QDir::Hidden), QStringList());
}

void TestCopiaDati::recuperoSopraUnGiornaleVecchio() {
    const QString c = m_amb->cartella();
    RigheStorico(3000);
    ProdottoConDescrizione(1, QStringLiteral("nel backup"));
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    QCOMPARE(SalvaTutto(c, giorno), QStringList());
    ProdottoConDescrizione(1, QStringLiteral("di oggi"));
    TArchivio::corrente().esegui(QStringLiteral("DELETE FROM %1").arg(TArchivio::corrente().nomeQualificato(Definizioni::Storico)));
    RigheStorico(3000);
    // A killed writer leaves a hot journal beside the live history: played
    // back into the restored file it would tear it.
    TArchivio::corrente().scollegaTutte();
    ScrittoreUcciso(c + Definizioni::Storico, QStringLiteral("storico"), Storico::Descrizione);

    const TEsitoRecupero esito = RecuperaFile(&TArchivio::corrente(), giorno, FileCartellaGiorno(giorno), c);
    QCOMPARE(esito.errori, QStringList());
    QCOMPARE(esito.copiati, FileCartellaGiorno(giorno).size());
    QVERIFY(!QFile::exists(c + Definizioni::Storico + QStringLiteral("-journal")));
    QCOMPARE(QFileInfo(c + Definizioni::Prodotti).lastModified(), QFileInfo(giorno + Definizioni::Prodotti).lastModified());

    // The next start reads the restored books.
    m_amb->riapriArchivio();
    TArchivio& a = TArchivio::corrente();
    QCOMPARE(a.valoreSingolo(QStringLiteral("SELECT %1 FROM %2").arg(Prodotti::Descrizione, a.nomeQualificato(Definizioni::Prodotti)))
                 .toString(),
             QStringLiteral("nel backup"));
    QCOMPARE(a.valoreSingolo(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = 'prima'")
                                 .arg(a.nomeQualificato(Definizioni::Storico), Storico::Descrizione))
                 .toInt(),
             3000);
    QCOMPARE(Sqlite3(c + Definizioni::Storico, QStringLiteral("pragma integrity_check")).trimmed(), QStringLiteral("ok"));
}

void TestCopiaDati::fileDbEstraneoCopiatoComeFile() {
    // A note of the user's named like a table but not a table: it travels
    // as it is, both ways, and the program's own tables are still checked.
    const QString c = m_amb->cartella();
    const QByteArray appunti = "ordinare viti da 4 mm\nchiamare il fornitore\n";
    Scrivi(c + QStringLiteral("appunti.db"), appunti);
    ProdottoConDescrizione(1, QStringLiteral("nel backup"));
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    QCOMPARE(SalvaTutto(c, giorno), QStringList());
    QCOMPARE(Leggi(giorno + QStringLiteral("appunti.db")), appunti);
    QCOMPARE(Sqlite3(giorno + Definizioni::Prodotti, QStringLiteral("pragma integrity_check")), QStringLiteral("ok"));

    Scrivi(c + QStringLiteral("appunti.db"), "cambiati");
    ProdottoConDescrizione(1, QStringLiteral("di oggi"));
    const TEsitoRecupero esito = RecuperaFile(&TArchivio::corrente(), giorno, FileCartellaGiorno(giorno), c);
    QCOMPARE(esito.errori, QStringList());
    QCOMPARE(Leggi(c + QStringLiteral("appunti.db")), appunti);
    QCOMPARE(Sqlite3(c + Definizioni::Prodotti, QStringLiteral("select %1 from prodotti").arg(Prodotti::Descrizione)),
             QStringLiteral("nel backup"));
}

void TestCopiaDati::copiaDanneggiataDettaInBreve() {
    // About a hundred faults in the history: the backup and the restore each
    // name the file in one short Italian line, with the first fault only.
    const QString c = m_amb->cartella();
    RigheStorico(3000);
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    QCOMPARE(SalvaTutto(c, giorno), QStringList());
    DanneggiaPagine(giorno + Definizioni::Storico);
    QVERIFY(Sqlite3(giorno + Definizioni::Storico, QStringLiteral("pragma integrity_check")).count(QLatin1Char('\n')) > 50);

    const TEsitoRecupero esito = RecuperaFile(&TArchivio::corrente(), giorno, FileCartellaGiorno(giorno), c);
    QCOMPARE(esito.copiati, 0);
    QCOMPARE(esito.errori.size(), 1);
    const QString recupero = esito.errori.first();

    TArchivio::corrente().scollegaTutte();
    QFile::remove(c + Definizioni::Storico);
    QVERIFY(QFile::copy(giorno + Definizioni::Storico, c + Definizioni::Storico));
    QVERIFY(QDir().mkpath(CartellaBackup(c) + QStringLiteral("20040316/")));
    const QString salvataggio = SalvaFile(&TArchivio::corrente(), c + Definizioni::Storico,
                                          CartellaBackup(c) + QStringLiteral("20040316/") + Definizioni::Storico);
    for (const QString& e : {recupero, salvataggio}) {
        QVERIFY2(e.contains(QStringLiteral("danneggiat")), qPrintable(e));
        QVERIFY2(!e.contains(QLatin1Char('\n')) && e.size() < 250, qPrintable(e));
        QVERIFY2(e.count(QStringLiteral("page"), Qt::CaseInsensitive) <= 1, qPrintable(e));
    }
    QVERIFY2(recupero.contains(giorno + Definizioni::Storico), qPrintable(recupero));
}

void TestCopiaDati::cartellaDiDestinazioneNonScrivibile() {
    // A day folder on a disk mounted read-only: the cause told is the
    // destination, not the table being read.
    const QString c = m_amb->cartella();
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    const TDiscoProva disco(giorno, "ro,size=1m");
    if (!disco.montato()) QSKIP("serve root per montare un disco di prova");
    const QStringList errori = SalvaTutto(c, giorno);
    QCOMPARE(errori.size(), FileDaSalvare(c).size());
    for (const QString& e : errori) {
        QVERIFY2(e.contains(QStringLiteral("Non è possibile scrivere nella cartella di destinazione")), qPrintable(e));
        QVERIFY2(e.contains(QStringLiteral("sola lettura")), qPrintable(e));
        QVERIFY2(!e.contains(QStringLiteral("Impossibile aprire il file")), qPrintable(e));
    }
}

void TestCopiaDati::recuperoSuDiscoPieno() {
    // The program folder on a 512 KiB disk; the history of the backup does
    // not fit there. The restore says why and replaces nothing.
    const QString c = m_amb->cartella();
    RigheStorico(20000);
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    QCOMPARE(SalvaTutto(c, giorno), QStringList());
    QVERIFY(QFileInfo(giorno + Definizioni::Storico).size() > 600 * 1024);
    const QString programma = c + QStringLiteral("piccolo/");
    const TDiscoProva disco(programma, "size=512k");
    if (!disco.montato()) QSKIP("serve root per montare un disco di prova");
    const QByteArray vecchio = "archivio di prima";
    for (const QString& f : FileCartellaGiorno(giorno)) Scrivi(programma + f, vecchio);

    const TEsitoRecupero esito = RecuperaFile(nullptr, giorno, FileCartellaGiorno(giorno), programma);
    QCOMPARE(esito.copiati, 0);
    QCOMPARE(esito.errori.size(), 1);
    QVERIFY2(esito.errori.first().contains(programma + Definizioni::Storico), qPrintable(esito.errori.first()));
    QVERIFY2(esito.errori.first().contains(QStringLiteral("disco pieno"), Qt::CaseInsensitive), qPrintable(esito.errori.first()));
    for (const QString& f : FileCartellaGiorno(giorno)) QCOMPARE(Leggi(programma + f), vecchio);
    QCOMPARE(QDir(programma).entryList(QDir::Files | QDir::Hidden).size(), FileCartellaGiorno(giorno).size());
}

void TestCopiaDati::cartelleElencateEdEliminate() {
    const QString c = m_amb->cartella();
    QVERIFY(CreaCartellaBackup(c));
    const QString b = CartellaBackup(c);
    QVERIFY(QDir().mkpath(b + QStringLiteral("20040315")));
    QVERIFY(QDir().mkpath(b + QStringLiteral("20031231")));
    QVERIFY(QDir().mkpath(b + QStringLiteral(".nascosta")));
    Scrivi(b + QStringLiteral("dati_Vovuru_Dazadaz.zip"), "zip");
    // A link to a folder outside `backup`, and a link inside a day folder to a file outside.
    QVERIFY(QDir().mkpath(c + QStringLiteral("fuori")));
    Scrivi(c + QStringLiteral("fuori/prezioso.txt"), "resta");
    QVERIFY(QFile::link(c + QStringLiteral("fuori"), b + QStringLiteral("collegata")));
    QVERIFY(QFile::link(c + QStringLiteral("fuori/prezioso.txt"), b + QStringLiteral("20031231/prezioso.txt")));
    Scrivi(b + QStringLiteral("20031231/prodotti.db"), "x");

    QCOMPARE(VociCartelle(b), QStringList({"[.]", "[..]", "[20031231]", "[20040315]"}));
    QCOMPARE(NomeDaVoce(QStringLiteral("[20031231]")), QStringLiteral("20031231"));
    QCOMPARE(FileCartellaGiorno(b + QStringLiteral("20031231")), QStringList{QStringLiteral("prodotti.db")});
    for (const QString& nome : {".", "..", "", "collegata", "../fuori", "dati_Vovuru_Dazadaz.zip", "manca"}) {
        QVERIFY2(!CartellaValida(b, nome), qPrintable(nome));
        QVERIFY2(!EliminaCartellaGiorno(b, nome), qPrintable(nome));
    }
    QVERIFY(QFile::exists(b + QStringLiteral("20040315")));
    QVERIFY(EliminaCartellaGiorno(b, QStringLiteral("20031231")));
    QVERIFY(!QFileInfo::exists(b + QStringLiteral("20031231")));
    QCOMPARE(Leggi(c + QStringLiteral("fuori/prezioso.txt")), QByteArray("resta"));
    QCOMPARE(VociCartelle(b), QStringList({"[.]", "[..]", "[20040315]"}));
}


namespace {

QString Esegui(const QString& programma, const QStringList& argomenti, int* codice = nullptr) {
    QProcess p;
    p.start(programma, argomenti);
    p.waitForFinished(-1);
    if (codice) *codice = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A day folder with a table, binary data, an empty file, and what a package
// must leave out: a link, a hidden file, a sub-folder.
QString GiornoDaImpacchettare(const QString& c) {
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    QDir().mkpath(giorno + QStringLiteral("sotto"));
    QFile::copy(c + Definizioni::Prodotti, giorno + Definizioni::Prodotti);
    QByteArray binario(300000, Qt::Uninitialized);
    QRandomGenerator casuale(42);
    for (char& b : binario) b = char(casuale.bounded(256));
    Scrivi(giorno + QStringLiteral("storico.txt"), binario);
    Scrivi(giorno + QStringLiteral("cat.px"), QByteArray());
    Scrivi(giorno + QStringLiteral(".nascosto"), "no");
    Scrivi(giorno + QStringLiteral("sotto/dentro.db"), "no");
    Scrivi(c + QStringLiteral("fuori.txt"), "no");
    QFile::link(c + QStringLiteral("fuori.txt"), giorno + QStringLiteral("collegato.db"));
    return giorno;
}

}  // namespace

void TestCopiaDati::pacchettoControllatoConUnzip() {
    const QString c = m_amb->cartella();
    const QString giorno = GiornoDaImpacchettare(c);
    const QString pacchetto = PercorsoPacchetto(c);
    QCOMPARE(pacchetto, CartellaBackup(c) + QStringLiteral("dati_Vovuru_Dazadaz.zip"));
    Scrivi(pacchetto, "pacchetto di ieri");
    QCOMPARE(CreaPacchetto(giorno, pacchetto), QString());
    int codice = 0;
    Esegui(QStringLiteral("unzip"), {QStringLiteral("-t"), pacchetto}, &codice);
    QCOMPARE(codice, 0);
    QStringList nomi = Esegui(QStringLiteral("unzip"), {QStringLiteral("-Z1"), pacchetto}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    nomi.sort();
    QCOMPARE(nomi, QStringList({"cat.px", "prodotti.db", "storico.txt"}));
    for (const QString& n : nomi) {
        QProcess p;
        p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), pacchetto, n});
        p.waitForFinished(-1);
        QCOMPARE(p.readAllStandardOutput(), Leggi(giorno + n));
    }
    QCOMPARE(QDir(CartellaBackup(c)).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("dati_Vovuru_Dazadaz.zip")});
}

void TestCopiaDati::pacchettoNonScrittoTieneIlPrecedente_data() {
    QTest::addColumn<bool>("vuota");
    QTest::newRow("cartella vuota") << true;
    QTest::newRow("disco pieno durante la scrittura") << false;
}

void TestCopiaDati::pacchettoNonScrittoTieneIlPrecedente() {
    QFETCH(bool, vuota);
    const QString c = m_amb->cartella();
    const QString giorno = vuota ? CartellaBackup(c) + QStringLiteral("20040316/") : GiornoDaImpacchettare(c);
    QDir().mkpath(giorno);
    const QString pacchetto = PercorsoPacchetto(c);
    Scrivi(pacchetto, "pacchetto di ieri");
    QString errore;
    if (vuota) {
        errore = CreaPacchetto(giorno, pacchetto);
    } else {
        // A file size limit makes every write past 64 KiB fail, as a full disk would.
        struct rlimit prima {};
        ::getrlimit(RLIMIT_FSIZE, &prima);
        const auto gestore = ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limite = prima;
        limite.rlim_cur = 64 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &limite);
        errore = CreaPacchetto(giorno, pacchetto);
        ::setrlimit(RLIMIT_FSIZE, &prima);
        ::signal(SIGXFSZ, gestore);
    }
    QVERIFY(!errore.isEmpty());
    QCOMPARE(Leggi(pacchetto), QByteArray("pacchetto di ieri"));
    QCOMPARE(QDir(CartellaBackup(c)).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("dati_Vovuru_Dazadaz.zip")});
}

void TestCopiaDati::mailDelPacchetto() {
    const QString pacchetto = PercorsoPacchetto(m_amb->cartella());
    InviaMailPacchetto(pacchetto);
    QCOMPARE(m_amb->risposte.urlAperti.size(), 1);
    const QUrl url = m_amb->risposte.urlAperti.first();
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    QCOMPARE(url.path(), Costanti::MailProduttore);
    const QUrlQuery q(url);
    QCOMPARE(q.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), QStringLiteral("Dati: Vovuru_Dazadaz, 07.2003-40"));
    QCOMPARE(q.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), QStringLiteral("Allegare il file: ") + pacchetto);
}

QTEST_MAIN(TestCopiaDati)
#include "test_copiadati.moc"
