// What the program does to its folder before it touches a table: the folder's
// lock against a second copy (real processes), a lock left by a killed
// program, leftovers of a killed write, a damaged main file, a folder that
// cannot be written.

#include "AmbienteTest.h"
#include "app/Applicazione.h"
#include "app/Avvio.h"
#include "app/Fx.h"
#include "app/Interazione.h"
#include "data/engine/Archivio.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/engine/Definizioni.h"

#include <QDir>
#include <QProcess>
#include <QThread>
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

int main(int argc, char** argv) {
    const QByteArray blocco = qgetenv("ZR_FIGLIO_BLOCCO");
    const QByteArray senzaPrivilegi = qgetenv("ZR_FIGLIO_SENZA_PRIVILEGI");
    TApplicazione app(argc, argv);
    if (!blocco.isEmpty()) return FiglioBlocco(QString::fromLocal8Bit(blocco));
    if (!senzaPrivilegi.isEmpty()) return FiglioSenzaPrivilegi(QString::fromLocal8Bit(senzaPrivilegi));
    TestAvvio t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_avvio.moc"
