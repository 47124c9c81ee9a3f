// What the program does to its folder before it touches a table: the folder's
// lock against a second copy (real processes), a lock left by a killed
// program, leftovers of a killed write, a damaged main file, a folder that
// cannot be written.

#include "AmbienteTest.h"
#include "app/Applicazione.h"
#include "app/Avvio.h"
#include "data/CartellaProgramma.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/Interazione.h"
#include "tools/CopiaDati.h"

#include <QDir>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const int NumeroProdotti = 100000;

// A folder whose prodotti.db lacks QTAALERT, so that a start rebuilds it.
void PreparaDaRicostruire(const QString& cartella) {
    ImpostaCartellaProgramma(cartella);
    TArchivio::apriCorrente(cartella);
    TStrutturaTabella s = Definizioni::Definizione(Definizioni::Prodotti).struttura;
    s.campi.removeAt(s.indiceCampo(QStringLiteral("QTAALERT")));
    TArchivio& a = TArchivio::corrente();
    a.creaTabella(Definizioni::Prodotti, s);
    a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                            "insert into %2 (ID, NOME, QUANTITA) select i, 'P' || i, i % 97 from n")
                 .arg(NumeroProdotti)
                 .arg(a.nomeQualificato(Definizioni::Prodotti)));
    TArchivio::chiudiCorrente();
    ImpostaCartellaProgramma(QString());
}

// A folder with every table of the program, as a first start leaves it.
void PreparaTabelle(const QString& cartella) {
    ImpostaCartellaProgramma(cartella);
    TArchivio::apriCorrente(cartella);
    CreaTabelleGenerali();
    CreaTabelle();
    TArchivio::chiudiCorrente();
    ImpostaCartellaProgramma(QString());
}

QString CopiaProgramma(const QString& cartella) {
    const QString eseguibile = cartella + QStringLiteral("zerired");
    QFile::copy(CartellaProgrammaCompilato() + QStringLiteral("zerired"), eseguibile);
    QFile::setPermissions(eseguibile, QFile::permissions(eseguibile) | QFileDevice::ExeUser);
    return eseguibile;
}

QProcess* Avvia(const QString& programma, const QProcessEnvironment& aggiunte = {}) {
    auto* p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QString& k : aggiunte.keys()) env.insert(k, aggiunte.value(k));
    p->setProcessEnvironment(env);
    p->start(programma, {});
    p->waitForStarted();
    return p;
}

// Every file of a folder with its content and modification time.
QMap<QString, QPair<QByteArray, qint64>> Stato(const QString& cartella) {
    QMap<QString, QPair<QByteArray, qint64>> s;
    for (const QString& f : QDir(cartella).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(cartella + f);
        file.open(QIODevice::ReadOnly);
        struct stat st {};
        ::stat(QFile::encodeName(cartella + f).constData(), &st);
        s.insert(f, {file.readAll(), static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec});
    }
    return s;
}

QString Conteggio(const QString& cartella) {
    return Sqlite3(cartella + QStringLiteral("prodotti.db"), QStringLiteral("select count(*), sum(ID), sum(QUANTITA) from prodotti"));
}

bool Ricostruita(const QString& cartella) {
    return Sqlite3(cartella + QStringLiteral("prodotti.db"),
                   QStringLiteral("select count(*) from pragma_table_info('prodotti') where name = 'QTAALERT'")) ==
               QLatin1String("1") &&
           !QFile::exists(cartella + QStringLiteral("prodotti.dbAPPOGGIO.db")) && QFile::exists(cartella + QStringLiteral("cat.db")) &&
           QDir(cartella).entryList({QStringLiteral("*-journal")}, QDir::Files).isEmpty();
}

// Child processes of the tests, started from this same program.
int FiglioBlocco(const QString& cartella) {
    TBloccoCartella blocco(cartella);
    std::printf("%d\n", static_cast<int>(blocco.esito()));
    std::fflush(stdout);
    QThread::sleep(60);
    return 0;
}

int FiglioSenzaPrivilegi(const QString& cartella) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 3;
    UsaInterazioneSenzaSchermo();  // as the program does: the box goes to the error output
    ImpostaCartellaProgramma(cartella);
    const TAvvioCartella avvio(cartella);
    return avvio.pronta() ? 0 : 1;
}

// A restore run by a child process that kills itself at one point of its
// last phase, as a power cut or a kill -9 would stop it.
int g_puntoUccisione = -1;
void Uccidi(int punto) {
    if (punto == g_puntoUccisione) ::raise(SIGKILL);
}

int FiglioRecupero(const QString& argomento) {
    const QStringList parti = argomento.split(QLatin1Char('|'));
    const QString cartella = parti.value(0), giorno = parti.value(1);
    g_puntoUccisione = parti.value(2).toInt();
    ImpostaCartellaProgramma(cartella);
    TArchivio::apriCorrente(cartella);
    CopiaDati::ImpostaOsservatoreRecupero(Uccidi);
    const CopiaDati::TEsitoRecupero esito =
        CopiaDati::RecuperaFile(&TArchivio::corrente(), giorno, CopiaDati::FileCartellaGiorno(giorno), cartella);
    return esito.riuscito() ? 0 : 4;
}

// Sets every table of the folder to one moment: user_version and the
// history's row count tell the moment a table file comes from.
void Momento(const QString& cartella, int momento, int righeStorico) {
    TArchivio& a = TArchivio::corrente();
    const QString storico = a.nomeQualificato(Definizioni::Storico);
    TTransazione t(a);
    a.esegui(QStringLiteral("DELETE FROM %1").arg(storico));
    a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                            "insert into %2 (%3, %4) select i, 'riga ' || i from n")
                 .arg(righeStorico)
                 .arg(storico, Storico::Id, Storico::Descrizione));
    t.conferma();
    TArchivio::chiudiCorrente();
    for (const QString& f : CopiaDati::TabelleCartella(cartella))
        QCOMPARE(Sqlite3(cartella + f, QStringLiteral("pragma user_version = %1; pragma user_version").arg(momento)),
                 QString::number(momento));
    TArchivio::apriCorrente(cartella);
}

}  // namespace

class TestAvvio : public QObject {
    Q_OBJECT
private slots:
    void dueCopieInsieme();
    void secondaCopiaNonToccaNulla();
    void bloccoDiProgrammaUccisoNonBlocca();
    void superGiornaleAvanzatoRimosso();
    void mainDanneggiatoAccantonato();
    void cartellaNonScrivibile_data();
    void cartellaNonScrivibile();
    void recuperoUccisoCompletatoOAnnullato_data();
    void recuperoUccisoCompletatoOAnnullato();
};

void TestAvvio::dueCopieInsieme() {
    // Two copies of the real program started a few hundredths of a second
    // apart on a folder that needs a rebuild: one rebuilds, the other says
    // so and ends; every product is still there.
    QTemporaryDir radice;
    const QString fixture = radice.filePath(QStringLiteral("fixture/"));
    QDir().mkpath(fixture);
    PreparaDaRicostruire(fixture);
    const QString atteso = Conteggio(fixture);
    QCOMPARE(atteso.section(QLatin1Char('|'), 0, 0), QString::number(NumeroProdotti));
    for (int k = 0; k < 4; ++k) {
        const QString cartella = radice.filePath(QStringLiteral("prova%1/").arg(k));
        QDir().mkpath(cartella);
        for (const QString& f : QDir(fixture).entryList(QDir::Files)) QVERIFY(QFile::copy(fixture + f, cartella + f));
        const QString eseguibile = CopiaProgramma(cartella);
        std::unique_ptr<QProcess> prima(Avvia(eseguibile));
        QThread::msleep(20 + 25 * k);
        std::unique_ptr<QProcess> seconda(Avvia(eseguibile));
        // On a busy machine the later one may take the lock first: whichever
        // ends by itself is the copy that was turned away.
        QTRY_VERIFY_WITH_TIMEOUT(prima->state() == QProcess::NotRunning || seconda->state() == QProcess::NotRunning, 30000);
        QProcess* respinta = seconda->state() == QProcess::NotRunning ? seconda.get() : prima.get();
        QProcess* attiva = respinta == seconda.get() ? prima.get() : seconda.get();
        respinta->waitForFinished();
        QCOMPARE(respinta->exitCode(), 1);
        const QString uscita = QString::fromUtf8(respinta->readAllStandardError());
        QCOMPARE(uscita.count(MessaggioCartellaInUso(cartella)), 1);
        QTRY_VERIFY_WITH_TIMEOUT(Ricostruita(cartella), 60000);
        QCOMPARE(attiva->state(), QProcess::Running);
        QVERIFY(!QString::fromUtf8(attiva->readAllStandardError()).contains(MessaggioCartellaInUso(cartella)));
        attiva->kill();
        attiva->waitForFinished();
        QCOMPARE(Conteggio(cartella), atteso);
    }
}

void TestAvvio::secondaCopiaNonToccaNulla() {
    // While another program holds the folder, a start changes no file and
    // creates none.
    QTemporaryDir dir;
    const QString cartella = dir.path() + QLatin1Char('/');
    PreparaTabelle(cartella);
    const QString eseguibile = CopiaProgramma(cartella);
    TBloccoCartella blocco(cartella);
    QCOMPARE(blocco.esito(), TBloccoCartella::Preso);
    const auto prima = Stato(cartella);
    QThread::msleep(20);  // a write would show in the modification times
    std::unique_ptr<QProcess> p(Avvia(eseguibile));
    QVERIFY(p->waitForFinished(30000));
    QCOMPARE(p->exitCode(), 1);
    QVERIFY(QString::fromUtf8(p->readAllStandardError()).contains(MessaggioCartellaInUso(cartella)));
    QVERIFY(Stato(cartella) == prima);
}

void TestAvvio::bloccoDiProgrammaUccisoNonBlocca() {
    QTemporaryDir dir;
    const QString cartella = dir.path() + QLatin1Char('/');
    QProcessEnvironment env;
    env.insert(QStringLiteral("ZR_FIGLIO_BLOCCO"), cartella);
    std::unique_ptr<QProcess> figlio(Avvia(QCoreApplication::applicationFilePath(), env));
    QVERIFY(figlio->waitForReadyRead(10000));
    QCOMPARE(figlio->readAllStandardOutput().trimmed(), QByteArray::number(TBloccoCartella::Preso));
    QCOMPARE(TBloccoCartella(cartella).esito(), TBloccoCartella::InUso);
    figlio->kill();
    figlio->waitForFinished();
    // The lock file stays behind; the lock does not.
    QVERIFY(QFile::exists(cartella + NomeFileBlocco));
    QCOMPARE(TBloccoCartella(cartella).esito(), TBloccoCartella::Preso);
}

void TestAvvio::superGiornaleAvanzatoRimosso() {
    QTemporaryDir dir;
    const QString cartella = dir.path() + QLatin1Char('/');
    PreparaTabelle(cartella);
    const QString avanzo = cartella + QStringLiteral("zerired.main-mj3A7F09C1");
    {
        QFile f(avanzo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QFile::encodeName(cartella + QStringLiteral("prodotti.db-journal")) + '\0');
    }
    const TAvvioCartella avvio(cartella);
    QVERIFY(avvio.pronta());
    QVERIFY(!QFile::exists(avanzo));
    QCOMPARE(Sqlite3(cartella + QStringLiteral("impostazioni.db"), QStringLiteral("select count(*) from impostazioni")),
             QStringLiteral("1"));
}

void TestAvvio::mainDanneggiatoAccantonato() {
    TAmbienteTest amb(false);
    TArchivio::chiudiCorrente();
    const QByteArray spazzatura = QByteArray("questo non è un archivio ").repeated(200);
    {
        QFile f(amb.file(QStringLiteral("zerired.main")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(spazzatura);
    }
    TArchivio::apriCorrente(amb.cartella());
    CreaTabelleGenerali();
    CreaTabelle();
    ZR_VERIFICA_RISPOSTE(amb);
    QFile accantonato(amb.file(QStringLiteral("zerired.main.danneggiato")));
    QVERIFY(accantonato.open(QIODevice::ReadOnly));
    QCOMPARE(accantonato.readAll(), spazzatura);
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("zerired.main")), QStringLiteral("pragma quick_check")), QStringLiteral("ok"));
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("impostazioni.db")), QStringLiteral("select count(*) from impostazioni")),
             QStringLiteral("1"));
}

void TestAvvio::cartellaNonScrivibile_data() {
    QTest::addColumn<bool>("conTabelle");
    QTest::newRow("cartella vuota") << false;
    QTest::newRow("cartella con le tabelle e il file di blocco") << true;
}

void TestAvvio::cartellaNonScrivibile() {
    // Root writes through permission bits, so the check runs in a child that
    // drops to the unprivileged user.
    QFETCH(bool, conTabelle);
    QTemporaryDir dir;
    const QString cartella = dir.path() + QLatin1Char('/');
    if (conTabelle) {
        PreparaTabelle(cartella);
        const TBloccoCartella blocco(cartella);  // leaves its lock file
    }
    const auto prima = Stato(cartella);
    QVERIFY(QFile::setPermissions(cartella, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                 QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther));
    QProcessEnvironment env;
    env.insert(QStringLiteral("ZR_FIGLIO_SENZA_PRIVILEGI"), cartella);
    std::unique_ptr<QProcess> figlio(Avvia(QCoreApplication::applicationFilePath(), env));
    QVERIFY(figlio->waitForFinished(30000));
    QCOMPARE(figlio->exitCode(), 1);
    const QString uscita = QString::fromUtf8(figlio->readAllStandardError());
    QVERIFY2(uscita.contains(MessaggioCartellaNonScrivibile(cartella)), qPrintable(uscita));
    QVERIFY(!uscita.contains(QStringLiteral("illeggibile")));
    QFile::setPermissions(cartella, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(Stato(cartella) == prima);
}

void TestAvvio::recuperoUccisoCompletatoOAnnullato_data() {
    QTest::addColumn<int>("punto");
    QTest::addColumn<bool>("completato");
    // Points of the restore's last phase: 0 before it records what it does,
    // 1 once recorded, 1 + n after the n-th of the six renames.
    QTest::newRow("prima della registrazione") << 0 << false;
    QTest::newRow("dopo la registrazione") << 1 << true;
    QTest::newRow("dopo la prima sostituzione") << 2 << true;
    QTest::newRow("dopo la terza sostituzione") << 4 << true;
    QTest::newRow("dopo l'ultima sostituzione") << 7 << true;
}

void TestAvvio::recuperoUccisoCompletatoOAnnullato() {
    // A restore killed at each point: the next start, before any table is
    // opened, leaves every table from one moment (all from the backup once
    // the restore had recorded its work, all from before otherwise), says
    // once what it did, and leaves no staged or partial copy behind.
    QFETCH(int, punto);
    QFETCH(bool, completato);
    const int righeBackup = 30000, righeDopo = 20000;
    TAmbienteTest amb;
    const QString c = amb.cartella();
    Momento(c, 1, righeBackup);
    const QString giorno = CopiaDati::CartellaBackup(c) + QStringLiteral("20040315/");
    QVERIFY(QDir().mkpath(giorno));
    const QStringList tabelle = CopiaDati::TabelleCartella(c);
    QCOMPARE(tabelle.size(), 6);
    for (const QString& f : CopiaDati::FileDaSalvare(c))
        QCOMPARE(CopiaDati::SalvaFile(&TArchivio::corrente(), c + f, giorno + f), QString());
    Momento(c, 2, righeDopo);
    TArchivio::chiudiCorrente();
    // What a killed backup leaves in its day folder.
    {
        QFile parziale(giorno + QStringLiteral(".prodotti.db.parziale"));
        QVERIFY(parziale.open(QIODevice::WriteOnly));
        parziale.write("mezza copia");
    }

    QProcessEnvironment env;
    env.insert(QStringLiteral("ZR_FIGLIO_RECUPERO"), c + QLatin1Char('|') + giorno + QLatin1Char('|') + QString::number(punto));
    std::unique_ptr<QProcess> figlio(Avvia(QCoreApplication::applicationFilePath(), env));
    QVERIFY(figlio->waitForFinished(60000));
    QCOMPARE(figlio->exitStatus(), QProcess::CrashExit);

    // The next start of the real program: it says once what it did (on the
    // error output, where nobody can answer a box) and goes on to its window.
    const QString detto = completato ? QStringLiteral("è stato completato") : QStringLiteral("è stato annullato");
    std::unique_ptr<QProcess> programma(Avvia(CopiaProgramma(c)));
    QString uscita;
    QTRY_VERIFY_WITH_TIMEOUT((uscita += QString::fromUtf8(programma->readAllStandardError())).contains(detto), 30000);
    QTest::qWait(500);
    programma->kill();
    programma->waitForFinished();
    uscita += QString::fromUtf8(programma->readAllStandardError());
    QVERIFY2(uscita.count(detto) == 1, qPrintable(uscita));
    const int atteso = completato ? 1 : 2;
    for (const QString& f : tabelle) {
        QCOMPARE(Sqlite3(c + f, QStringLiteral("pragma integrity_check")), QStringLiteral("ok"));
        QVERIFY2(Sqlite3(c + f, QStringLiteral("pragma user_version")) == QString::number(atteso), qPrintable(f));
    }
    QCOMPARE(Sqlite3(c + Definizioni::Storico, QStringLiteral("select count(*) from storico")),
             QString::number(completato ? righeBackup : righeDopo));
    QCOMPARE(QDir(c).entryList(QDir::Files | QDir::Hidden).filter(QLatin1String(".ripristino")), QStringList());
    QCOMPARE(QDir(c).entryList(QDir::Files | QDir::Hidden).filter(QLatin1String("-journal")), QStringList());
    QCOMPARE(QDir(giorno).entryList(QDir::Files | QDir::Hidden).filter(QLatin1String(".parziale")), QStringList());
    QCOMPARE(CopiaDati::FileCartellaGiorno(giorno), CopiaDati::FileDaSalvare(c));
    // Said once: a further start finds nothing to do.
    {
        const TAvvioCartella avvio(c);
        QVERIFY(avvio.pronta());
    }
    ZR_VERIFICA_RISPOSTE(amb);
    TArchivio::apriCorrente(c);
}

int main(int argc, char** argv) {
    const QByteArray blocco = qgetenv("ZR_FIGLIO_BLOCCO");
    const QByteArray senzaPrivilegi = qgetenv("ZR_FIGLIO_SENZA_PRIVILEGI");
    const QByteArray recupero = qgetenv("ZR_FIGLIO_RECUPERO");
    TApplicazione app(argc, argv);
    if (!recupero.isEmpty()) return FiglioRecupero(QString::fromLocal8Bit(recupero));
    if (!blocco.isEmpty()) return FiglioBlocco(QString::fromLocal8Bit(blocco));
    if (!senzaPrivilegi.isEmpty()) return FiglioSenzaPrivilegi(QString::fromLocal8Bit(senzaPrivilegi));
    TestAvvio t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_avvio.moc"
