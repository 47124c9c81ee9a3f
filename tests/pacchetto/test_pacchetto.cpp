// The Debian package built from this build folder with cpack: what it holds,
// the dependencies it declares, its desktop entry, Debian's own checks of it
// (lintian, the AppStream validator, the manual page), and its launcher
// starting the program in a folder the user can write (a working-year folder
// too), all unpacked into a scratch root.

#include "AmbienteTest.h"

#include "data/engine/Definizioni.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct TEsito {
    int codice = -1;
    QString uscita;
    QString errori;
};

TEsito Esegui(const QString& programma, const QStringList& argomenti, const QString& cartella = {}, int ms = 180000) {
    QProcess p;
    if (!cartella.isEmpty()) p.setWorkingDirectory(cartella);
    p.start(programma, argomenti);
    TEsito e;
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
        e.errori = QStringLiteral("tempo scaduto: ") + programma;
        return e;
    }
    e.codice = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    e.uscita = QString::fromUtf8(p.readAllStandardOutput());
    e.errori += QString::fromUtf8(p.readAllStandardError());
    return e;
}

QString CartellaCompilazione() { return QDir::cleanPath(CartellaProgrammaCompilato() + QStringLiteral("..")); }

}  // namespace

class TestPacchetto : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void contenuto();
    void dipendenze();
    void voceDelMenu();
    void controlliDebian();
    void metainfo();
    void paginaDiManuale();
    void lanciatore_data();
    void lanciatore();

private:
    QTemporaryDir m_tmp;
    QString m_deb;
    QString m_radice;
};

void TestPacchetto::initTestCase() {
    QVERIFY(m_tmp.isValid());
    const TEsito c = Esegui(QStringLiteral("cpack"),
                            {"-G", "DEB", "-B", m_tmp.filePath("uscita"), "--config",
                             CartellaCompilazione() + QStringLiteral("/CPackConfig.cmake")},
                            CartellaCompilazione());
    QVERIFY2(c.codice == 0, qPrintable(c.uscita + c.errori));
    const QStringList deb = QDir(m_tmp.filePath("uscita")).entryList({"zerired_*.deb"}, QDir::Files);
    QCOMPARE(deb.size(), 1);
    QVERIFY2(deb[0].startsWith(QLatin1String("zerired_7.2003.40-2_")), qPrintable(deb[0]));
    m_deb = m_tmp.filePath("uscita/" + deb[0]);
    m_radice = m_tmp.filePath("radice");
    const TEsito x = Esegui(QStringLiteral("dpkg"), {"-x", m_deb, m_radice});
    QVERIFY2(x.codice == 0, qPrintable(x.errori));
}

void TestPacchetto::contenuto() {
    const TEsito c = Esegui(QStringLiteral("dpkg"), {"-c", m_deb});
    QCOMPARE(c.codice, 0);
    QStringList file;
    for (const QString& riga : c.uscita.split('\n', Qt::SkipEmptyParts)) {
        const QString percorso = riga.section(' ', -1);
        if (!riga.startsWith('d')) file << percorso;
        QVERIFY2(!percorso.endsWith(QLatin1String(".db")), qPrintable(riga));  // never a table
    }
    for (const char* atteso : {"./usr/bin/zerired", "./usr/lib/zerired/zerired", "./usr/lib/zerired/Pdxrbld.exe",
                               "./usr/lib/zerired/help.html", "./usr/share/applications/zerired.desktop",
                               "./usr/share/icons/hicolor/128x128/apps/zerired.png",
                               "./usr/share/doc/zerired/copyright", "./usr/share/doc/zerired/changelog.Debian.gz",
                               "./usr/share/man/man1/zerired.1.gz",
                               "./usr/share/metainfo/io.github.zerired.zerired.metainfo.xml"})
        QVERIFY2(file.contains(QLatin1String(atteso)), qPrintable(QString::fromLatin1(atteso) + "\n" + c.uscita));
    // The program, the tool and the launcher can be run by everybody.
    for (const char* eseguibile : {"/usr/bin/zerired", "/usr/lib/zerired/zerired", "/usr/lib/zerired/Pdxrbld.exe"}) {
        const QFileInfo fi(m_radice + QLatin1String(eseguibile));
        QVERIFY2(fi.isFile() && fi.permission(QFile::ExeOther), eseguibile);
    }
}

void TestPacchetto::dipendenze() {
    const TEsito c = Esegui(QStringLiteral("dpkg-deb"), {"-f", m_deb, "Package", "Depends", "Section"});
    QCOMPARE(c.codice, 0);
    // The libraries found by dpkg-shlibdeps and the plugins Qt loads.
    for (const char* pacchetto : {"libqt6widgets6", "libqt6sql6 ", "libqt6network6", "libsqlite3-0", "libc6",
                                  "libqt6sql6-sqlite", "qt6-qpa-plugins"})
        QVERIFY2(c.uscita.contains(QLatin1String(pacchetto)), qPrintable(QString::fromLatin1(pacchetto) + "\n" + c.uscita));
    QVERIFY(c.uscita.contains(QLatin1String("Package: zerired")));
}

void TestPacchetto::voceDelMenu() {
    const QString voce = m_radice + QStringLiteral("/usr/share/applications/zerired.desktop");
    const TEsito v = Esegui(QStringLiteral("desktop-file-validate"), {voce});
    QVERIFY2(v.codice == 0 && v.uscita.isEmpty(), qPrintable(v.uscita + v.errori));
    QFile f(voce);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString testo = QString::fromUtf8(f.readAll());
    QVERIFY(testo.contains(QLatin1String("\nExec=zerired\n")));
    QVERIFY(testo.contains(QLatin1String("\nIcon=zerired\n")));
    QVERIFY(testo.contains(QLatin1String("\nCategories=Office;\n")));
}

void TestPacchetto::controlliDebian() {
    // lintian reports errors (E:) and warnings (W:); both must be absent.
    // Notes of lower rank (I:, P:) are not asked for.
    const TEsito l = Esegui(QStringLiteral("lintian"), {"--tag-display-limit", "0", m_deb});
    QStringList gravi;
    for (const QString& riga : (l.uscita + l.errori).split('\n', Qt::SkipEmptyParts))
        if (riga.startsWith(QLatin1String("E: ")) || riga.startsWith(QLatin1String("W: "))) gravi << riga;
    QVERIFY2(gravi.isEmpty(), qPrintable(gravi.join('\n')));
    QVERIFY2(l.codice == 0, qPrintable(l.uscita + l.errori));

    // The copyright file is in Debian's machine-readable form and names our
    // licence; the GPL's text the project ships is version 3.
    QFile c(m_radice + QStringLiteral("/usr/share/doc/zerired/copyright"));
    QVERIFY(c.open(QIODevice::ReadOnly));
    const QString copyright = QString::fromUtf8(c.readAll());
    QVERIFY(copyright.startsWith(QLatin1String("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/")));
    QVERIFY(copyright.contains(QLatin1String("License: GPL-3+")));
    QFile licenza(QStringLiteral(ZR_SORGENTI "/LICENSE"));
    QVERIFY(licenza.open(QIODevice::ReadOnly));
    QVERIFY(licenza.readAll().contains("GNU GENERAL PUBLIC LICENSE\n                       Version 3, 29 June 2007"));
}

void TestPacchetto::metainfo() {
    const QString file = m_radice + QStringLiteral("/usr/share/metainfo/io.github.zerired.zerired.metainfo.xml");
    // --no-net: the machine may have no network, and the maker's addresses
    // are placeholders; everything else is checked, pedantic notes included.
    const TEsito v = Esegui(QStringLiteral("appstreamcli"), {"validate", "--no-net", "--pedantic", file});
    QVERIFY2(v.codice == 0, qPrintable(v.uscita + v.errori));
    QVERIFY2(!v.uscita.contains(QLatin1String("W:")) && !v.uscita.contains(QLatin1String("P:")), qPrintable(v.uscita));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString testo = QString::fromUtf8(f.readAll());
    // The entry software centres start the program with is the one installed.
    QVERIFY(testo.contains(QLatin1String("<launchable type=\"desktop-id\">zerired.desktop</launchable>")));
    QVERIFY(QFileInfo::exists(m_radice + QStringLiteral("/usr/share/applications/zerired.desktop")));
    QVERIFY(testo.contains(QLatin1String("<summary xml:lang=\"it\">")));
    QVERIFY(testo.contains(QLatin1String("<project_license>GPL-3.0-or-later</project_license>")));
}

void TestPacchetto::paginaDiManuale() {
    // man renders the installed page without complaint, in Italian, with the
    // folder argument and the working years.
    QProcess p;
    QProcessEnvironment amb = QProcessEnvironment::systemEnvironment();
    amb.insert("MANWIDTH", "80");
    amb.insert("LC_ALL", "C.UTF-8");
    p.setProcessEnvironment(amb);
    p.start(QStringLiteral("man"), {"--warnings", "-E", "UTF-8", "-l",
                                    m_radice + QStringLiteral("/usr/share/man/man1/zerired.1.gz")});
    QVERIFY(p.waitForFinished(60000));
    const QString testo = QString::fromUtf8(p.readAllStandardOutput());
    const QString avvisi = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), 0);
    QVERIFY2(avvisi.isEmpty(), qPrintable(avvisi));
    for (const char* atteso : {"NOME", "SINTESI", "zerired [cartella]", "ANNI DI LAVORO", "anni/2004", "~/.local/share/zerired"})
        QVERIFY2(testo.contains(QString::fromUtf8(atteso)), qPrintable(QString::fromUtf8(atteso) + "\n" + testo));
}

void TestPacchetto::lanciatore_data() {
    QTest::addColumn<QString>("argomento");  // relative to the scratch folder; empty for none
    QTest::addColumn<QString>("cartella");   // the program folder expected, relative to the scratch folder
    QTest::newRow("cartella personale") << "" << "casa/.local/share/zerired";
    QTest::newRow("anno di lavoro") << "lavoro/anni/2004" << "lavoro/anni/2004";
}

void TestPacchetto::lanciatore() {
    QFETCH(QString, argomento);
    QFETCH(QString, cartella);
    QTemporaryDir scratch;
    const QString dir = scratch.path() + '/';
    QVERIFY(QDir().mkpath(dir + "casa"));

    const QString programma = dir + cartella;
    for (int giro = 0; giro < 2; ++giro) {
        QProcess p;
        QProcessEnvironment amb = QProcessEnvironment::systemEnvironment();
        amb.insert("HOME", dir + "casa");
        amb.remove("XDG_DATA_HOME");
        amb.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(amb);
        p.setWorkingDirectory(dir);
        p.start(m_radice + "/usr/bin/zerired", argomento.isEmpty() ? QStringList() : QStringList{dir + argomento});
        QVERIFY(p.waitForStarted());
        // The program creates its tables in the user's folder at start-up.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(programma + "/prodotti.db") || p.state() == QProcess::NotRunning,
                                 30000);
        QTest::qWait(500);
        const bool inCorsa = p.state() == QProcess::Running;
        p.kill();
        p.waitForFinished();
        QVERIFY2(inCorsa, qPrintable(QString::fromUtf8(p.readAllStandardError())));
        QVERIFY(QFileInfo::exists(programma + "/prodotti.db"));
        // A copy of its own, not a link: the program's folder is the user's.
        const QFileInfo eseguibile(programma + "/zerired");
        QVERIFY(eseguibile.isFile() && !eseguibile.isSymLink() && eseguibile.isExecutable());
        QFile h(programma + "/help.html");
        QVERIFY(h.open(QIODevice::ReadWrite));
        if (giro == 1) {
            QFile installata(m_radice + "/usr/lib/zerired/help.html");
            QVERIFY(installata.open(QIODevice::ReadOnly));
            QCOMPARE(h.readAll(), installata.readAll());
            break;
        }
        // A file that differs from the installed copy (an older version) is
        // replaced at the next start; the tables stay.
        h.resize(0);
        h.write("vecchio");
        h.close();
        Sqlite3(programma + "/prodotti.db",
                QStringLiteral("insert into prodotti (%1, %2) values (77, 'RESTA')").arg(Prodotti::Id, Prodotti::Nome));
    }
    QCOMPARE(Sqlite3(programma + "/prodotti.db",
                     QStringLiteral("select %1 from prodotti where %2 = 77").arg(Prodotti::Nome, Prodotti::Id)),
             QStringLiteral("RESTA"));
}

QTEST_GUILESS_MAIN(TestPacchetto)
#include "test_pacchetto.moc"
