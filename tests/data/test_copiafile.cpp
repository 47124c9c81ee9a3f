// The copy of one file: date and permission bits kept, all or nothing.

#include "AmbienteTest.h"

#include "data/CopiaFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <utime.h>

class TestCopiaFile : public QObject {
    Q_OBJECT
private slots:
    void copiaFile();
    void copiaFileErrori();
};

namespace {
void Scrivi(const QString& percorso, const QByteArray& dati) {
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(dati);
}
QByteArray Leggi(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<non leggibile>");
}
void ImpostaData(const QString& percorso, const QDateTime& quando) {
    utimbuf t{};
    t.actime = t.modtime = quando.toSecsSinceEpoch();
    QCOMPARE(::utime(QFile::encodeName(percorso).constData(), &t), 0);
}
}  // namespace

void TestCopiaFile::copiaFile() {
    TAmbienteTest amb(false);
    const QDateTime vecchia(QDate(2003, 7, 1), QTime(12, 0, 0));

    // Onto itself, by the same text or another path to the same file.
    Scrivi(amb.file("a.db"), "contenuto");
    QVERIFY(!CopiaFile(amb.file("a.db"), amb.file("a.db")));
    QVERIFY(!CopiaFile(amb.file("a.db"), amb.cartella() + "./sub/../a.db"));
    QVERIFY(QFile::link(amb.file("a.db"), amb.file("collegamento.db")));
    QVERIFY(!CopiaFile(amb.file("collegamento.db"), amb.file("a.db")));
    QCOMPARE(Leggi(amb.file("a.db")), QByteArray("contenuto"));

    // An empty file gives an empty destination with the source's date.
    Scrivi(amb.file("vuoto.db"), QByteArray());
    ImpostaData(amb.file("vuoto.db"), vecchia);
    QVERIFY(CopiaFile(amb.file("vuoto.db"), amb.file("copia_vuoto.db")));
    QVERIFY(QFileInfo::exists(amb.file("copia_vuoto.db")));
    QCOMPARE(QFileInfo(amb.file("copia_vuoto.db")).size(), 0);
    QCOMPARE(QFileInfo(amb.file("copia_vuoto.db")).lastModified(), vecchia);

    // Many blocks, over an existing destination; date and permission bits kept.
    QByteArray grande;
    for (int i = 0; i < 10000; ++i) grande.append(char(i * 7 % 251));
    Scrivi(amb.file("grande.db"), grande);
    ImpostaData(amb.file("grande.db"), vecchia);
    QVERIFY(QFile::setPermissions(amb.file("grande.db"), QFile::ReadOwner | QFile::ReadGroup));
    Scrivi(amb.file("dest.db"), "vecchio contenuto piu lungo del nuovo? no");
    QVERIFY(CopiaFile(amb.file("grande.db"), amb.file("dest.db")));
    QCOMPARE(Leggi(amb.file("dest.db")), grande);
    QCOMPARE(QFileInfo(amb.file("dest.db")).lastModified(), vecchia);
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(amb.file("dest.db")).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, 0440u);
}

void TestCopiaFile::copiaFileErrori() {
    TAmbienteTest amb(false);
    // A missing source, a destination folder that does not exist.
    QVERIFY(!CopiaFile(amb.file("manca.db"), amb.file("dest.db")));
    QVERIFY(!QFileInfo::exists(amb.file("dest.db")));
    Scrivi(amb.file("a.db"), "abc");
    QVERIFY(!CopiaFile(amb.file("a.db"), amb.file("non/esiste/dest.db")));
    // A source whose reads fail: the copy stops, the destination is left as
    // it was and no partial file remains.
    Scrivi(amb.file("dest.db"), "intatto");
    QVERIFY(!CopiaFile(QStringLiteral("/proc/self/mem"), amb.file("dest.db")));
    QCOMPARE(Leggi(amb.file("dest.db")), QByteArray("intatto"));
    const QStringList presenti = QDir(amb.cartella()).entryList({QStringLiteral("*.db*")}, QDir::Files | QDir::Hidden);
    QCOMPARE(presenti, QStringList({QStringLiteral("a.db"), QStringLiteral("dest.db")}));
}

QTEST_MAIN(TestCopiaFile)
#include "test_copiafile.moc"
