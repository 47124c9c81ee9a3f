// The desktop services: the mail link, opening a document, running an
// outside program.

#include "AmbienteTest.h"

#include "data/engine/Errore.h"
#include "gui/Interazione.h"
#include "gui/ServiziDesktop.h"

#include <QDir>
#include <QFile>
#include <QUrlQuery>

class TestServiziDesktop : public QObject {
    Q_OBJECT
private slots:
    void linkMail_data();
    void linkMail();
    void apriDocumento();
    void eseguiEAttendi();
};

namespace {
void Scrivi(const QString& percorso, const QByteArray& dati) {
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(dati);
}
}  // namespace

void TestServiziDesktop::linkMail_data() {
    QTest::addColumn<QString>("oggetto");
    QTest::addColumn<QString>("corpo");
    QTest::newRow("maker") << "Clic interno Vovuru_Dazadaz , 07.2003-40" << "Scrivere di seguito la richiesta:";
    QTest::newRow("iniezione &body") << "a&body=rubato&cc=altro@example.com" << "testo";
    QTest::newRow("cancelletto e percento") << "50% #1? sì" << "100%25 già codificato";
    QTest::newRow("a capo") << "riga" << "prima riga\nseconda riga\r\nterza";
    QTest::newRow("piu' e uguale") << "1+1=2; a/b" << "più è meno, perché 'così'";
    QTest::newRow("vuoti") << "" << "";
}

void TestServiziDesktop::linkMail() {
    QFETCH(QString, oggetto);
    QFETCH(QString, corpo);
    TAmbienteTest amb(false);
    InviaMail(QStringLiteral("assistenza@vavori.example.com"), oggetto, corpo);
    QCOMPARE(amb.risposte.urlAperti.size(), 1);
    const QUrl url = amb.risposte.urlAperti.first();
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    const QByteArray codificato = url.toEncoded();
    QVERIFY2(!codificato.contains(' ') && !codificato.contains('\n') && !codificato.contains('#'), codificato);
    if (oggetto.contains(QLatin1Char(' '))) QVERIFY(codificato.contains("%20"));
    // Exactly two query items, each decoding to the value given.
    const int q = codificato.indexOf('?');
    QCOMPARE(codificato.left(q), QByteArray("mailto:assistenza@vavori.example.com"));
    const QList<QByteArray> parti = codificato.mid(q + 1).split('&');
    QCOMPARE(parti.size(), 2);
    QVERIFY(parti[0].startsWith("subject="));
    QVERIFY(parti[1].startsWith("body="));
    QCOMPARE(QUrl::fromPercentEncoding(parti[0].mid(8)), oggetto);
    QCOMPARE(QUrl::fromPercentEncoding(parti[1].mid(5)), corpo);
    const QUrlQuery query(url);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), oggetto);
    QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), corpo);
}

void TestServiziDesktop::apriDocumento() {
    TAmbienteTest amb(false);
    ApriDocumento(QStringLiteral("https://www.vavori.example.com/"));
    ApriDocumento(amb.file("help.html"));
    ApriDocumento(amb.cartella() + "con spazio/foto #1.jpg");
    QCOMPARE(amb.risposte.urlAperti.size(), 3);
    QCOMPARE(amb.risposte.urlAperti[0], QUrl(QStringLiteral("https://www.vavori.example.com/")));
    QCOMPARE(amb.risposte.urlAperti[1], QUrl::fromLocalFile(amb.file("help.html")));
    QCOMPARE(amb.risposte.urlAperti[2].toLocalFile(), amb.cartella() + "con spazio/foto #1.jpg");
}

void TestServiziDesktop::eseguiEAttendi() {
    TAmbienteTest amb(false);
    QCOMPARE(EseguiEAttendi(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 0")}), 0);
    QCOMPARE(EseguiEAttendi(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 3")}), 3);
    QCOMPARE(EseguiEAttendi(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 254")}), -2);
    QCOMPARE(EseguiEAttendi(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 255")}), -1);
    // A program in a folder with a blank gets its arguments one by one.
    QVERIFY(QDir().mkpath(amb.cartella() + "con spazio"));
    const QString script = amb.cartella() + "con spazio/conta.sh";
    Scrivi(script, "#!/bin/sh\n[ \"$3\" = \"/F/una cartella/\" ] || exit 99\nexit $#\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(EseguiEAttendi(script, {QStringLiteral("-Q+"), QStringLiteral("-R1"), QStringLiteral("/F/una cartella/")}),
             3);
    // A program that cannot start.
    try {
        EseguiEAttendi(amb.file("Pdxrbld.exe"), {});
        QFAIL("nessun errore");
    } catch (const ErroreArchivio& e) {
        QCOMPARE(e.testo(), QStringLiteral("Error during CreateProcess"));
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Error during CreateProcess"));
    }
}

QTEST_MAIN(TestServiziDesktop)
#include "test_servizidesktop.moc"
