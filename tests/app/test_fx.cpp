// The shared routines: date completion and SQL date texts, the numeric key
// filter, text cutting, the file copy, the settings reader, the mail link and
// running an outside program.

#include "AmbienteTest.h"

#include "app/Fx.h"
#include "gui/Interazione.h"
#include "data/engine/Archivio.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QUrlQuery>

#include <sys/stat.h>
#include <utime.h>

class TestFx : public QObject {
    Q_OBJECT
private slots:
    void completaData_data();
    void completaData();
    void periodoSQL();
    void giornoMeseAnno();
    void filtraTastoNumerico_data();
    void filtraTastoNumerico();
    void filtroNumericoSuEdit();
    void tagliTesto_data();
    void tagliTesto();
    void limiteCaratteriSuEdit();
    void copiaFile();
    void copiaFileErrori();
    void leggiImpostazione();
    void leggiCarattereStampa_data();
    void leggiCarattereStampa();
    void linkMail_data();
    void linkMail();
    void apriDocumento();
    void eseguiEAttendi();
    void boxEntroLoSchermo();
};

void TestFx::completaData_data() {
    QTest::addColumn<QDate>("oggi");
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<bool>("valida");
    QTest::addColumn<QString>("atteso");
    const QDate marzo(2004, 3, 15), aprile(2004, 4, 10);
    QTest::newRow("vuoto: oggi") << marzo << "" << true << "15/03/2004";
    QTest::newRow("solo lettere: oggi") << marzo << "oggi" << true << "15/03/2004";
    QTest::newRow("1 cifra") << marzo << "5" << true << "05/03/2004";
    QTest::newRow("2 cifre") << marzo << "15" << true << "15/03/2004";
    QTest::newRow("3 cifre") << marzo << "154" << true << "15/04/2004";
    QTest::newRow("4 cifre") << marzo << "1504" << true << "15/04/2004";
    QTest::newRow("5 cifre") << marzo << "15045" << true << "15/04/2005";
    QTest::newRow("6 cifre") << marzo << "150405" << true << "15/04/2005";
    QTest::newRow("7 cifre") << marzo << "1504005" << true << "15/04/2005";
    QTest::newRow("8 cifre") << marzo << "15042005" << true << "15/04/2005";
    QTest::newRow("9 cifre: la nona ignorata") << marzo << "150420051" << true << "15/04/2005";
    QTest::newRow("10 cifre: nona e decima ignorate") << marzo << "1504200512" << true << "15/04/2005";
    QTest::newRow("11 cifre: mai valida") << marzo << "15042005123" << false << "15042005123";
    QTest::newRow("1/3 e' il 13") << marzo << "1/3" << true << "13/03/2004";
    QTest::newRow("01/03/04") << marzo << "01/03/04" << true << "01/03/2004";
    QTest::newRow("separatori misti") << marzo << "15-04.2005" << true << "15/04/2005";
    QTest::newRow("31 in un mese di 30") << aprile << "31" << false << "31";
    QTest::newRow("31/02 non diventa 02/03") << marzo << "3102" << false << "3102";
    QTest::newRow("29/02 bisestile") << marzo << "29022004" << true << "29/02/2004";
    QTest::newRow("29/02 non bisestile") << marzo << "29/02/2003" << false << "29/02/2003";
    QTest::newRow("giorno 0") << marzo << "0" << false << "0";
    QTest::newRow("mese 13") << marzo << "1513" << false << "1513";
    QTest::newRow("anno 0000") << marzo << "15030000" << false << "15030000";
}

void TestFx::completaData() {
    QFETCH(QDate, oggi);
    QFETCH(QString, digitato);
    QFETCH(bool, valida);
    QFETCH(QString, atteso);
    TAmbienteTest amb(false);
    ImpostaOrologio(QDateTime(oggi, QTime(9, 0)));
    if (!valida) amb.risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Data non corretta!"));
    QString testo = digitato;
    QCOMPARE(CompletaData(testo), valida);
    QCOMPARE(testo, atteso);
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestFx::periodoSQL() {
    TAmbienteTest amb(false);
    TPeriodoSQL p = PeriodoSQL(QStringLiteral("31/12/2003"), QStringLiteral("01/01/2004"));
    QCOMPARE(p.primo, QStringLiteral("12/31/2003"));
    QCOMPARE(p.secondo, QStringLiteral("01/01/2004"));
    QCOMPARE(p.dataPrimo, QDate(2003, 12, 31));
    QCOMPARE(p.dataSecondo, QDate(2004, 1, 1));
    QCOMPARE(UltimoPeriodoSQL().primo, QStringLiteral("12/31/2003"));
    p = PeriodoSQL(QStringLiteral("5/3/2004"), QStringLiteral("05/03/2004"));
    QCOMPARE(p.primo, QStringLiteral("03/05/2004"));
    QCOMPARE(p.secondo, QStringLiteral("03/05/2004"));
    // A text that is not a date goes to the caller; the last period stays.
    QVERIFY_THROWS_EXCEPTION(ErroreProgramma, PeriodoSQL(QStringLiteral("31/02/2004"), QStringLiteral("01/03/2004")));
    QVERIFY_THROWS_EXCEPTION(ErroreProgramma, PeriodoSQL(QStringLiteral("01/03/2004"), QStringLiteral("abc")));
    QCOMPARE(UltimoPeriodoSQL().primo, QStringLiteral("03/05/2004"));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestFx::giornoMeseAnno() {
    TAmbienteTest amb(false);
    ImpostaOrologio(QDateTime(QDate(2004, 3, 7), QTime(23, 59)));
    QCOMPARE(GiornoOggi(), QStringLiteral("07"));
    QCOMPARE(MeseOggi(), QStringLiteral("03"));
    QCOMPARE(AnnoOggi(), QStringLiteral("2004"));
    ImpostaOrologio(QDateTime(QDate(2012, 11, 25), QTime(8, 0)));
    QCOMPARE(GiornoOggi() + MeseOggi() + AnnoOggi(), QStringLiteral("25112012"));
}

void TestFx::filtraTastoNumerico_data() {
    QTest::addColumn<QChar>("tasto");
    QTest::addColumn<bool>("passa");
    for (char c = '0'; c <= '9'; ++c) QTest::addRow("cifra %c", c) << QChar(QLatin1Char(c)) << true;
    QTest::newRow("virgola") << QChar(u',') << true;
    QTest::newRow("backspace") << QChar(8) << true;
    QTest::newRow("invio") << QChar(13) << true;
    QTest::newRow("meno") << QChar(u'-') << false;
    QTest::newRow("punto") << QChar(u'.') << false;
    QTest::newRow("lettera") << QChar(u'a') << false;
    QTest::newRow("spazio") << QChar(u' ') << false;
    QTest::newRow("e accentata") << QChar(u'è') << false;
    QTest::newRow("ctrl+v (22)") << QChar(22) << false;
    QTest::newRow("cifra araba") << QChar(0x0663) << false;
}

void TestFx::filtraTastoNumerico() {
    QFETCH(QChar, tasto);
    QFETCH(bool, passa);
    QCOMPARE(FiltraTastoNumerico(tasto), passa ? tasto : QChar(0));
}

void TestFx::filtroNumericoSuEdit() {
    QLineEdit edit;
    ImpostaFiltroNumerico(&edit);
    edit.show();
    QTest::keyClicks(&edit, QStringLiteral("1a-2.,3 x"));
    QCOMPARE(edit.text(), QStringLiteral("12,3"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), QStringLiteral("12,"));
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.text(), QStringLiteral("2,"));
    // Pasted text: refused as a whole unless every character could be typed.
    QApplication::clipboard()->setText(QStringLiteral("-5.0"));
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keySequence(&edit, QKeySequence::Paste);
    QCOMPARE(edit.text(), QStringLiteral("2,"));
    QApplication::clipboard()->setText(QStringLiteral("50"));
    QTest::keySequence(&edit, QKeySequence::Paste);
    QCOMPARE(edit.text(), QStringLiteral("2,50"));
    QVERIFY(TestoNumericoAmmesso(QStringLiteral("1234,5")));
    QVERIFY(TestoNumericoAmmesso(QString()));
    QVERIFY(!TestoNumericoAmmesso(QStringLiteral("-1")));
    QVERIFY(!TestoNumericoAmmesso(QStringLiteral("1.5")));
    QVERIFY(!TestoNumericoAmmesso(QStringLiteral("1\r")));
}

void TestFx::tagliTesto_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("destro");
    QTest::addColumn<QString>("sinistro");
    QTest::addColumn<QChar>("ultimo");
    QTest::newRow("07 con 2") << "07" << 2 << "07" << "07" << QChar(u'7');
    QTest::newRow("012 con 2") << "012" << 2 << "12" << "01" << QChar(u'2');
    QTest::newRow("7 con 2") << "7" << 2 << "7" << "7" << QChar(u'7');
    QTest::newRow("vuoto") << "" << 3 << "" << "" << QChar(0);
    QTest::newRow("n zero") << "abc" << 0 << "" << "" << QChar(u'c');
    QTest::newRow("accenti") << "perché" << 3 << "ché" << "per" << QChar(u'é');
    QTest::newRow("barra finale") << "C:/dati/" << 5 << "dati/" << "C:/da" << QChar(u'/');
    // An emoji is one character: counted once and never split.
    const QString faccina = QString::fromUtf8("\xF0\x9F\x98\x80");
    QTest::newRow("emoji al taglio") << QStringLiteral("ab") + faccina + faccina + QStringLiteral("c") << 3
                                     << faccina + faccina + QStringLiteral("c") << QStringLiteral("ab") + faccina << QChar(u'c');
}

void TestFx::limiteCaratteriSuEdit() {
    // A box as long as a 40-character field: 39 letters and an emoji fill it.
    const QString faccina = QString::fromUtf8("\xF0\x9F\x98\x80");
    QLineEdit box;
    LimitaCaratteri(&box, 40);
    box.insert(QString(39, QLatin1Char('a')) + faccina + QStringLiteral("z"));
    QCOMPARE(box.text(), QString(39, QLatin1Char('a')) + faccina);
    box.insert(faccina);  // full: nothing more goes in, not even half of it
    QCOMPARE(box.text(), QString(39, QLatin1Char('a')) + faccina);
    box.setText(QString(41, QLatin1Char('b')));
    QCOMPARE(box.text(), QString(40, QLatin1Char('b')));
}

void TestFx::tagliTesto() {
    QFETCH(QString, testo);
    QFETCH(int, n);
    QFETCH(QString, destro);
    QFETCH(QString, sinistro);
    QFETCH(QChar, ultimo);
    QCOMPARE(TestoDestro(testo, n), destro);
    QCOMPARE(TestoSinistro(testo, n), sinistro);
    QCOMPARE(UltimoCarattere(testo), ultimo);
}

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

void TestFx::copiaFile() {
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

void TestFx::copiaFileErrori() {
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

void TestFx::leggiImpostazione() {
    TAmbienteTest amb;
    QCOMPARE(LeggiImpostazione(QStringLiteral("CAR_STAMPA_STORICO")), QStringLiteral("10"));
    QCOMPARE(LeggiImpostazione(QStringLiteral("ORD_PRODOTTI_STANDARD")), QStringLiteral("False"));
    QCOMPARE(LeggiImpostazione(QStringLiteral("DATAINGRESSO_AUTOMATICA")), QStringLiteral("True"));
    TArchivio::corrente().esegui(QStringLiteral("update %1 set CAR_STAMPA_LISTINO = null")
                                     .arg(TArchivio::corrente().nomeQualificato(QStringLiteral("impostazioni"))));
    QCOMPARE(LeggiImpostazione(QStringLiteral("CAR_STAMPA_LISTINO")), QString());
    ZR_VERIFICA_RISPOSTE(amb);

    amb.risposte.attendi(TTipoMessaggio::Errore,
                         QStringLiteral("Errore di lettura in parametri di impostazione, campo: NONESISTE"));
    QCOMPARE(LeggiImpostazione(QStringLiteral("NONESISTE")), QString());
    ZR_VERIFICA_RISPOSTE(amb);

    // No settings table at all.
    TArchivio::corrente().eliminaTabella(QStringLiteral("impostazioni"));
    amb.risposte.attendi(TTipoMessaggio::Errore,
                         QStringLiteral("Errore di lettura in parametri di impostazione, campo: CAR_STAMPA_STORICO"));
    QCOMPARE(LeggiImpostazione(QStringLiteral("CAR_STAMPA_STORICO")), QString());
    ZR_VERIFICA_RISPOSTE(amb);
}

// A report's font size: the stored whole number; an empty or non-numeric
// setting is a conversion error, after the read's own box when the field is missing.
void TestFx::leggiCarattereStampa_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QVariant>("valore");  // stored as is; an invalid one leaves the default
    QTest::addColumn<int>("atteso");        // -1: the conversion error
    QTest::addColumn<QString>("box");       // the error box shown before, if any
    QTest::newRow("valore iniziale") << "CAR_STAMPA_STORICO" << QVariant() << 10 << "";
    QTest::newRow("valore scelto") << "CAR_STAMPA_INVENTARIO" << QVariant(7) << 7 << "";
    QTest::newRow("campo vuoto") << "CAR_STAMPA_LISTINO" << QVariant(QMetaType(QMetaType::Int)) << -1 << "";
    QTest::newRow("testo non numerico") << "CAR_STAMPA_PRODOTTI" << QVariant(QStringLiteral("dieci")) << -1 << "";
    QTest::newRow("campo inesistente") << "NONESISTE" << QVariant() << -1
                                       << "Errore di lettura in parametri di impostazione, campo: NONESISTE";
}

void TestFx::leggiCarattereStampa() {
    QFETCH(QString, campo);
    QFETCH(QVariant, valore);
    QFETCH(int, atteso);
    QFETCH(QString, box);
    TAmbienteTest amb;
    if (valore.isValid())
        TArchivio::corrente().esegui(QStringLiteral("update %1 set \"%2\" = ?")
                                         .arg(TArchivio::corrente().nomeQualificato(QStringLiteral("impostazioni")), campo),
                                     {valore});
    if (!box.isEmpty()) amb.risposte.attendi(TTipoMessaggio::Errore, box);
    if (atteso < 0) {
        try {
            LeggiCarattereStampa(campo);
            QFAIL("nessun errore");
        } catch (const ErroreArchivio& e) {
            QCOMPARE(e.contestoAiuto(), int(ErroreArchivio::CtxConversione));
        }
    } else {
        QCOMPARE(LeggiCarattereStampa(campo), atteso);
    }
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestFx::linkMail_data() {
    QTest::addColumn<QString>("oggetto");
    QTest::addColumn<QString>("corpo");
    QTest::newRow("maker") << "Clic interno Vovuru_Dazadaz , 07.2003-40" << "Scrivere di seguito la richiesta:";
    QTest::newRow("iniezione &body") << "a&body=rubato&cc=altro@example.com" << "testo";
    QTest::newRow("cancelletto e percento") << "50% #1? sì" << "100%25 già codificato";
    QTest::newRow("a capo") << "riga" << "prima riga\nseconda riga\r\nterza";
    QTest::newRow("piu' e uguale") << "1+1=2; a/b" << "più è meno, perché 'così'";
    QTest::newRow("vuoti") << "" << "";
}

void TestFx::linkMail() {
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

void TestFx::apriDocumento() {
    TAmbienteTest amb(false);
    ApriDocumento(QStringLiteral("https://www.vavori.example.com/"));
    ApriDocumento(amb.file("help.html"));
    ApriDocumento(amb.cartella() + "con spazio/foto #1.jpg");
    QCOMPARE(amb.risposte.urlAperti.size(), 3);
    QCOMPARE(amb.risposte.urlAperti[0], QUrl(QStringLiteral("https://www.vavori.example.com/")));
    QCOMPARE(amb.risposte.urlAperti[1], QUrl::fromLocalFile(amb.file("help.html")));
    QCOMPARE(amb.risposte.urlAperti[2].toLocalFile(), amb.cartella() + "con spazio/foto #1.jpg");
}

void TestFx::eseguiEAttendi() {
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
    } catch (const ErroreProgramma& e) {
        QCOMPARE(e.testo(), QStringLiteral("Error during CreateProcess"));
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Error during CreateProcess"));
    }
}

void TestFx::boxEntroLoSchermo() {
    // A hundred lines of detail do not make a box taller than the screen;
    // its first line is still read in the box.
    QStringList righe = {QStringLiteral("Errore durante la copia del file \"storico.db\"")};
    for (int i = 0; i < 100; ++i)
        righe << QStringLiteral("On tree page %1 cell 31: Offset 65535 out of range 256..4092").arg(i + 3);
    const QString testo = righe.join(QLatin1Char('\n'));
    const auto box = CreaBoxMessaggio(TTipoMessaggio::Errore, QStringLiteral("Errore"), testo);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    const QRect schermo = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(box->frameGeometry().height() <= schermo.height(),
             qPrintable(QStringLiteral("%1 > %2").arg(box->frameGeometry().height()).arg(schermo.height())));
    QVERIFY(box->text().startsWith(righe.first()));
    // A short text is shown whole.
    const auto breve = CreaBoxMessaggio(TTipoMessaggio::Errore, QStringLiteral("Errore"), righe.mid(0, 3).join(QLatin1Char('\n')));
    QCOMPARE(breve->text(), righe.mid(0, 3).join(QLatin1Char('\n')));
}

QTEST_MAIN(TestFx)
#include "test_fx.moc"
