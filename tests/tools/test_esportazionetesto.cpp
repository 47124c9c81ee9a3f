// The fixed-width text export: the formatting settings, the piece of each
// type and pattern, hostile patterns, the file itself and where it may go.

#include "AmbienteTest.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "tools/ConnessioneLettura.h"
#include "tools/EsportazioneTesto.h"

#include <QDir>
#include <QStringEncoder>

Q_DECLARE_METATYPE(TTipoCampo)

namespace {

TColonnaRisultato Colonna(const QString& nome, TTipoCampo tipo, int dimensione = 0) {
    TColonnaRisultato c;
    c.nome = nome;
    c.campo = {nome, tipo, dimensione, false};
    c.tipoNoto = true;
    return c;
}

QByteArray Leggi(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<mancante>");
}

void Scrivi(const QString& percorso, const QByteArray& dati) {
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(dati);
}

}  // namespace

class TestEsportazioneTesto : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void pezzo_data();
    void pezzo();
    void formattazioneNonValida_data();
    void formattazioneNonValida();
    void fileDiRighe();
    void nienteSugliArchivi_data();
    void nienteSugliArchivi();
    void nienteSuiFileDellaCompilazione();
    void codificaAUnByte();
    void tabellaWindows1252();
    void percorsi_data();
    void percorsi();
};

void TestEsportazioneTesto::pezzo_data() {
    QTest::addColumn<TTipoCampo>("tipo");
    QTest::addColumn<int>("dimensione");
    QTest::addColumn<QString>("formattazione");
    QTest::addColumn<QVariant>("valore");
    QTest::addColumn<QString>("atteso");
    const QString sp = QStringLiteral(" ");
    const auto S = TTipoCampo::String;
    const auto I = TTipoCampo::Integer;
    const auto F = TTipoCampo::Float;
    const auto D = TTipoCampo::Date;
    const auto B = TTipoCampo::Boolean;
    QTest::newRow("testo senza impostazioni: la dimensione del campo") << S << 40 << "" << QVariant("Olio") << "Olio" + sp.repeated(36);
    QTest::newRow("LUNGHEZZA taglia un testo lungo") << S << 40 << "LUNGHEZZA X=10" << QVariant("Olio extravergine") << "Olio extra";
    QTest::newRow("LUNGHEZZA completa un testo corto") << S << 40 << "LUNGHEZZA X=10" << QVariant("Olio") << "Olio      ";
    QTest::newRow("chiave e colonna senza maiuscole, spazi intorno") << S << 40 << "  lunghezza x  = 3 " << QVariant("Olio") << "Oli";
    QTest::newRow("conta la prima riga che corrisponde") << S << 40 << "LUNGHEZZA X=2\nLUNGHEZZA X=5" << QVariant("Olio") << "Ol";
    QTest::newRow("LUNGHEZZA enorme limitata") << S << 40 << "LUNGHEZZA X=99999999999" << QVariant("a") << "a" + sp.repeated(LunghezzaMassima - 1);
    QTest::newRow("testo nullo") << S << 3 << "" << QVariant() << "   ";
    QTest::newRow("intero 7 in 14 posizioni") << I << 0 << "" << QVariant(7) << sp.repeated(13) + "7";
    QTest::newRow("intero vuoto vale 0") << I << 0 << "" << QVariant() << sp.repeated(13) + "0";
    QTest::newRow("intero negativo, allineato a sinistra con testo") << I << 0 << "FORMATO X=[%-5d]" << QVariant(-3) << "[-3   ]";
    QTest::newRow("intero con precisione") << I << 0 << "FORMATO X=%5.3d" << QVariant(7) << "  007";
    QTest::newRow("intero esadecimale") << I << 0 << "FORMATO X=%x" << QVariant(255) << "FF";
    QTest::newRow("intero con percento letterale") << I << 0 << "FORMATO X=%d%%" << QVariant(40) << "40%";
    QTest::newRow("reale 12,5 in 14 posizioni") << F << 0 << "" << QVariant(12.5) << sp.repeated(8) + "12,500";
    QTest::newRow("SEPDEC punto") << F << 0 << "SEPDEC X=." << QVariant(12.5) << sp.repeated(8) + "12.500";
    QTest::newRow("SEPDEC vuoto: via la virgola, uno spazio davanti") << F << 0 << "SEPDEC X=" << QVariant(12.5) << sp.repeated(9) + "12500";
    QTest::newRow("SEPDEC dopo uno spazio") << F << 0 << "SEPDEC X= ;" << QVariant(12.5) << sp.repeated(8) + "12;500";
    QTest::newRow("SEPDEC spazio") << F << 0 << "SEPDEC X=  " << QVariant(12.5) << sp.repeated(8) + "12 500";
    QTest::newRow("righe CR LF: nessun ritorno nel numero") << F << 0 << "FORMATO X=%5.1f\r\nSEPDEC X=.\r\n" << QVariant(12.5) << " 12.5";
    QTest::newRow("reale vuoto vale 0") << F << 0 << "FORMATO X=%.1f" << QVariant() << "0,0";
    QTest::newRow("reale negativo") << F << 0 << "FORMATO X=%.2f" << QVariant(-0.5) << "-0,50";
    QTest::newRow("reale negativo che si scrive zero: senza segno") << F << 0 << "FORMATO X=%.2f" << QVariant(-0.001) << "0,00";
    QTest::newRow("migliaia con n") << F << 0 << "FORMATO X=%10.2n" << QVariant(1234567.5) << "1.234.567,50";
    QTest::newRow("moneta con m") << F << 0 << "FORMATO X=%m" << QVariant(1234.5) << "€ 1.234,50";
    QTest::newRow("scientifico") << F << 0 << "FORMATO X=%.3e" << QVariant(12.5) << "1,25E+001";
    QTest::newRow("generale") << F << 0 << "FORMATO X=%g" << QVariant(12.5) << "12,5";
    QTest::newRow("data senza impostazioni") << D << 0 << "" << QVariant(QDate(2003, 1, 2)) << "02/01/2003";
    QTest::newRow("data d/m/yy") << D << 0 << "FORMATO X=d/m/yy" << QVariant(QDate(2003, 1, 2)) << "2/1/03";
    QTest::newRow("data con il nome del mese") << D << 0 << "FORMATO X=dd mmmm yyyy" << QVariant(QDate(2003, 1, 2)) << "02 gennaio 2003";
    QTest::newRow("data vuota: 10 spazi") << D << 0 << "" << QVariant() << sp.repeated(10);
    QTest::newRow("data vuota d/m/yy: 6 spazi") << D << 0 << "FORMATO X=d/m/yy" << QVariant() << sp.repeated(6);
    QTest::newRow("vero") << B << 0 << "" << QVariant(true) << "True ";
    QTest::newRow("falso") << B << 0 << "" << QVariant(false) << "False";
    QTest::newRow("logico vuoto") << B << 0 << "" << QVariant() << "     ";
    QTest::newRow("memo escluso") << TTipoCampo::Memo << 0 << "" << QVariant("testo") << "";
}

void TestEsportazioneTesto::pezzo() {
    QFETCH(TTipoCampo, tipo);
    QFETCH(int, dimensione);
    QFETCH(QString, formattazione);
    QFETCH(QVariant, valore);
    QFETCH(QString, atteso);
    QCOMPARE(TPezzoColonna(Colonna(QStringLiteral("X"), tipo, dimensione), formattazione).pezzo(valore), atteso);
}

void TestEsportazioneTesto::formattazioneNonValida_data() {
    QTest::addColumn<TTipoCampo>("tipo");
    QTest::addColumn<QString>("formattazione");
    const auto I = TTipoCampo::Integer;
    const auto F = TTipoCampo::Float;
    QTest::newRow("%s") << I << "FORMATO X=%s";
    QTest::newRow("%n su un intero") << I << "FORMATO X=%n";
    QTest::newRow("larghezza con asterisco") << I << "FORMATO X=%*d";
    QTest::newRow("larghezza assurda") << I << "FORMATO X=%999999999d";
    QTest::newRow("precisione assurda") << F << "FORMATO X=%.500f";
    QTest::newRow("due conversioni") << I << "FORMATO X=%d %d";
    QTest::newRow("nessuna conversione") << I << "FORMATO X=abc";
    QTest::newRow("conversione troncata") << I << "FORMATO X=%5";
    QTest::newRow("reale con d") << F << "FORMATO X=%d";
    QTest::newRow("intero con f") << I << "FORMATO X=%8.2f";
    QTest::newRow("LUNGHEZZA non numerica") << TTipoCampo::String << "LUNGHEZZA X=dieci";
    QTest::newRow("LUNGHEZZA negativa") << TTipoCampo::String << "LUNGHEZZA X=-5";
}

void TestEsportazioneTesto::formattazioneNonValida() {
    QFETCH(TTipoCampo, tipo);
    QFETCH(QString, formattazione);
    QVERIFY_THROWS_EXCEPTION(ErroreEsportazione, TPezzoColonna(Colonna(QStringLiteral("X"), tipo, 10), formattazione));
}

void TestEsportazioneTesto::fileDiRighe() {
    TArchivio& a = TArchivio::corrente();
    const QString prodotti = a.nomeQualificato(Definizioni::Prodotti);
    a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6) VALUES (1, 'Olio', 7, '2003-01-02', 1)")
                 .arg(prodotti, Prodotti::Id, Prodotti::Nome, Prodotti::Quantita, Prodotti::DataOggi, Prodotti::ScadutoTemp));
    a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (2, 'Sale', 0)")
                 .arg(prodotti, Prodotti::Id, Prodotti::Nome, Prodotti::Quantita));
    QDir(m_amb->cartella()).mkdir(QStringLiteral("uscita"));
    const QString file = m_amb->file(QStringLiteral("uscita/Export.txt"));
    const QString sql = QStringLiteral(R"(select NOME, QUANTITA, DATAOGGI, SCADUTOTEMP, PREZZO from prodotti.db where QUANTITA >= %1 order by ID)");
    const QString formattazione = QStringLiteral("LUNGHEZZA NOME=6\r\nFORMATO QUANTITA=%3d\r\nFORMATO PREZZO=%6.2f\r\nSEPDEC PREZZO=.");

    // A pattern that cannot be used leaves the existing file as it was.
    Scrivi(file, "buono");
    {
        TConnessioneLettura c(m_amb->cartella());
        c.prepara(sql.arg(0));
        QVERIFY_THROWS_EXCEPTION(ErroreEsportazione, EsportaTesto(c, QStringLiteral("FORMATO QUANTITA=%s"), file));
    }
    QCOMPARE(Leggi(file), QByteArray("buono"));

    TConnessioneLettura c(m_amb->cartella());
    c.prepara(sql.arg(0));
    QCOMPARE(EsportaTesto(c, formattazione, file).righe, 2);
    QCOMPARE(Leggi(file), QByteArray("Olio    702/01/2003True   0.00\r\n"
                                     "Sale    0          " "       0.00\r\n"));

    // An empty result gives an empty file.
    c.prepara(sql.arg(100));
    QCOMPARE(EsportaTesto(c, formattazione, file).righe, 0);
    QCOMPARE(Leggi(file), QByteArray());

    // A folder that does not exist: a message, and no file anywhere.
    c.prepara(sql.arg(0));
    QVERIFY_THROWS_EXCEPTION(ErroreEsportazione, EsportaTesto(c, formattazione, m_amb->file(QStringLiteral("manca/Export.txt"))));
    QVERIFY(!QFileInfo::exists(m_amb->file(QStringLiteral("manca"))));
}

void TestEsportazioneTesto::nienteSugliArchivi_data() {
    QTest::addColumn<QString>("nome");
    QTest::newRow("tabella") << "prodotti.db";
    QTest::newRow("tabella in maiuscolo") << "PRODOTTI.DB";
    QTest::newRow("file principale") << "zerired.main";
    QTest::newRow("giornale") << "storico.db-journal";
    QTest::newRow("tabella nuova del programma") << "nuova.db";
    QTest::newRow("il programma stesso") << "zerired";
    QTest::newRow("la guida") << "help.html";
    QTest::newRow("lo strumento di riparazione") << "Pdxrbld.exe";
    QTest::newRow("il registro dei record rifiutati") << "dberrori.log";
    QTest::newRow("il blocco della cartella") << "zerired.lock";
    QTest::newRow("un file al posto della cartella dei salvataggi") << "backup";
    QTest::newRow("dentro un salvataggio") << "backup/20030102/Export.txt";
}

void TestEsportazioneTesto::nienteSugliArchivi() {
    QFETCH(QString, nome);
    TArchivio::corrente().scollegaTutte();
    const QString file = m_amb->file(nome);
    // The folder exists, so that only the refusal can keep the file away.
    QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
    const bool esisteva = QFileInfo::exists(file);
    const QByteArray prima = esisteva ? Leggi(file) : QByteArray();
    TConnessioneLettura c(m_amb->cartella());
    c.prepara(QStringLiteral("select * from prodotti.db"));
    QVERIFY_THROWS_EXCEPTION(ErroreEsportazione, EsportaTesto(c, QString(), file));
    QCOMPARE(QFileInfo::exists(file), esisteva);
    if (esisteva) QCOMPARE(Leggi(file), prima);
}

void TestEsportazioneTesto::nienteSuiFileDellaCompilazione() {
    // Whatever the build puts beside the executable is the program's own.
    const QStringList file = QDir(CartellaProgrammaCompilato()).entryList(QDir::Files);
    QVERIFY(file.contains(QStringLiteral("zerired")));
    for (const QString& f : file) QVERIFY2(FileDelProgramma(m_amb->file(f)), qPrintable(f));
    QVERIFY(!FileDelProgramma(m_amb->file(QStringLiteral("Export.txt"))));
}

void TestEsportazioneTesto::codificaAUnByte() {
    TArchivio& a = TArchivio::corrente();
    const QString prodotti = a.nomeQualificato(Definizioni::Prodotti);
    const QStringList nomi = {QStringLiteral("Caffè"), QStringLiteral("Olio"), QStringLiteral("Tè €5"),
                              QStringLiteral("Ā中\U0001F600x")};
    for (int i = 0; i < nomi.size(); ++i)
        a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)").arg(prodotti, Prodotti::Id, Prodotti::Nome), {i + 1, nomi[i]});
    const QString file = m_amb->file(QStringLiteral("Export.txt"));
    const QString formattazione = QStringLiteral("LUNGHEZZA NOME=6");
    TConnessioneLettura c(m_amb->cartella());

    // N characters are N bytes: every line is as long as the others; what the
    // encoding lacks becomes "?" (an emoji is one character) and is counted.
    c.prepara(QStringLiteral("select NOME, ID from prodotti.db order by ID"));
    const TEsitoTesto esito = EsportaTesto(c, formattazione, file);
    QCOMPARE(esito.righe, 4);
    QCOMPARE(esito.sostituiti, 3);
    const QByteArray numeri[] = {"             1", "             2", "             3", "             4"};
    QCOMPARE(Leggi(file), QByteArray("Caff\xE8 ") + numeri[0] + "\r\nOlio  " + numeri[1] + "\r\nT\xE8 \x80" "5 " + numeri[2] +
                              "\r\n???x  " + numeri[3] + "\r\n");

    // UTF-8 when chosen: nothing is replaced.
    c.prepara(QStringLiteral("select NOME from prodotti.db order by ID"));
    const TEsitoTesto utf8 = EsportaTesto(c, formattazione, file, TCodificaTesto::Utf8);
    QCOMPARE(utf8.sostituiti, 0);
    QCOMPARE(QString::fromUtf8(Leggi(file)), QStringLiteral("Caffè \r\nOlio  \r\nTè €5 \r\nĀ中\U0001F600x  \r\n"));
}

void TestEsportazioneTesto::tabellaWindows1252() {
    // Every character of the plane, against the system's own converter: the
    // same byte where it has one, "?" and one replacement where it has none.
    for (char16_t u = 1; u != 0; ++u) {
        if (QChar::isSurrogate(u)) continue;
        const QString t(QChar{u});
        QStringEncoder icu("windows-1252");
        QVERIFY(icu.isValid());
        const QByteArray atteso = icu.encode(t);
        qint64 sostituiti = 0;
        const QByteArray nostro = CodificaTesto(t, TCodificaTesto::Windows1252, &sostituiti);
        if (icu.hasError()) {
            QVERIFY2(nostro == "?" && sostituiti == 1, qPrintable(QString::number(u, 16)));
        } else {
            QVERIFY2(nostro == atteso && sostituiti == 0, qPrintable(QString::number(u, 16)));
        }
    }
    QCOMPARE(CodificaTesto(QStringLiteral("€"), TCodificaTesto::Windows1252, nullptr), QByteArray("\x80"));
}

void TestEsportazioneTesto::percorsi_data() {
    QTest::addColumn<QString>("memorizzato");
    QTest::addColumn<QString>("cartella");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("riunito");
    QTest::newRow("vecchio percorso con barre rovesciate") << "C:\\Dati\\Export.txt" << "C:\\Dati" << "Export.txt" << "C:\\Dati/Export.txt";
    QTest::newRow("radice di un disco") << "C:\\Export.txt" << "C:\\" << "Export.txt" << "C:\\Export.txt";
    QTest::newRow("percorso con barre") << "/home/u/out.txt" << "/home/u" << "out.txt" << "/home/u/out.txt";
    QTest::newRow("separatori misti") << "/home/u\\sub/x.txt" << "/home/u\\sub" << "x.txt" << "/home/u\\sub/x.txt";
    QTest::newRow("radice") << "/x.txt" << "/" << "x.txt" << "/x.txt";
    QTest::newRow("solo nome") << "Export.txt" << "" << "Export.txt" << "Export.txt";
}

void TestEsportazioneTesto::percorsi() {
    QFETCH(QString, memorizzato);
    QFETCH(QString, cartella);
    QFETCH(QString, nome);
    QFETCH(QString, riunito);
    QString c, n;
    DividiPercorso(memorizzato, &c, &n);
    QCOMPARE(c, cartella);
    QCOMPARE(n, nome);
    QCOMPARE(PercorsoEsportazione(c, n), riunito);
}

QTEST_MAIN(TestEsportazioneTesto)
#include "test_esportazionetesto.moc"
