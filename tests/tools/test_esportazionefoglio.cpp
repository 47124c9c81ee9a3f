// The spreadsheet export, read back from the .xlsx archive: typed cells and
// no formula, the bold header, the empty second row, refused sheet names,
// an empty result, and a new file for every export.

#include "AmbienteTest.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "tools/ConnessioneLettura.h"
#include "tools/EsportazioneFoglio.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>

namespace {

// A part of the archive as unzip extracts it; the archive is tested first.
QString Parte(const QString& xlsx, const QString& parte) {
    QProcess t;
    t.start(QStringLiteral("unzip"), {QStringLiteral("-tq"), xlsx});
    t.waitForFinished(30000);
    if (t.exitCode() != 0) return QStringLiteral("<archivio guasto>");
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, parte});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The cells of a row of the sheet's XML, each as its element's text.
QStringList Celle(const QString& foglio, int riga) {
    const QRegularExpression r(QStringLiteral("<row r=\"%1\"[^>]*>(.*?)</row>").arg(riga));
    const auto m = r.match(foglio);
    if (!m.hasMatch()) return {};
    QStringList celle;
    const QRegularExpression c(QStringLiteral("<c [^>]*?(?:/>|>.*?</c>)"));
    for (auto it = c.globalMatch(m.captured(1)); it.hasNext();) celle << it.next().captured(0);
    return celle;
}

}  // namespace

class TestEsportazioneFoglio : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void celleTipizzate();
    void nomeFoglioRifiutato_data();
    void nomeFoglioRifiutato();
    void risultatoVuotoEDueEsportazioni();
    void cellaRifiutataLasciaFoglioIncompleto();
};

void TestEsportazioneFoglio::celleTipizzate() {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6, %7) VALUES (1, '=1+1', 7, '2003-01-02', 1, 2.5)")
                 .arg(a.nomeQualificato(Definizioni::Prodotti), Prodotti::Id, Prodotti::Nome, Prodotti::Quantita,
                      Prodotti::DataOggi, Prodotti::ScadutoTemp, Prodotti::Prezzo));
    TConnessioneLettura c(m_amb->cartella());
    c.prepara(QStringLiteral("select NOME, QUANTITA, DATAOGGI, SCADUTOTEMP, PREZZO, DESCRIZIONE from prodotti.db"));
    const QString xlsx = EsportaFoglio(c, QStringLiteral("Foglio n.1"), m_amb->file(QStringLiteral("fogli")));
    QVERIFY(xlsx.endsWith(QLatin1String(".xlsx")));
    QVERIFY(Parte(xlsx, QStringLiteral("xl/workbook.xml")).contains(QLatin1String("<sheet name=\"Foglio n.1\"")));
    const QString foglio = Parte(xlsx, QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY2(!foglio.contains(QLatin1String("<f>")) && !foglio.contains(QLatin1String("<f ")), qPrintable(foglio));

    // Header in bold: every header cell carries the style whose font is bold.
    const QStringList intestazione = Celle(foglio, 1);
    QCOMPARE(intestazione.size(), 6);
    QVERIFY(intestazione[0].contains(QLatin1String("<t>NOME</t>")));
    const QString stile = QRegularExpression(QStringLiteral(" s=\"(\\d+)\"")).match(intestazione[0]).captured(1);
    QVERIFY(!stile.isEmpty());
    for (const QString& cella : intestazione) QVERIFY(cella.contains(QStringLiteral(" s=\"%1\"").arg(stile)));
    const QString stili = Parte(xlsx, QStringLiteral("xl/styles.xml"));
    const QString xfs = QRegularExpression(QStringLiteral("<cellXfs[^>]*>(.*?)</cellXfs>")).match(stili).captured(1);
    const QStringList xf = [&] {
        QStringList r;
        for (auto it = QRegularExpression(QStringLiteral("<xf [^>]*")).globalMatch(xfs); it.hasNext();) r << it.next().captured(0);
        return r;
    }();
    const QString fontId = QRegularExpression(QStringLiteral("fontId=\"(\\d+)\"")).match(xf.value(stile.toInt())).captured(1);
    const QString fontsXml = QRegularExpression(QStringLiteral("<fonts[^>]*>(.*?)</fonts>")).match(stili).captured(1);
    QStringList font;
    for (auto it = QRegularExpression(QStringLiteral("<font>.*?</font>")).globalMatch(fontsXml); it.hasNext();) font << it.next().captured(0);
    QVERIFY2(font.value(fontId.toInt()).contains(QLatin1String("<b/>")), qPrintable(stili));

    // The second row stays empty; the record is on the third, typed.
    QVERIFY(Celle(foglio, 2).isEmpty());
    const QStringList dati = Celle(foglio, 3);
    QCOMPARE(dati.size(), 5);  // the empty description writes no cell
    QVERIFY2(dati[0].contains(QLatin1String("t=\"inlineStr\"")) && dati[0].contains(QLatin1String("<t>=1+1</t>")), qPrintable(dati[0]));
    QVERIFY2(!dati[1].contains(QLatin1String(" t=")) && dati[1].contains(QLatin1String("<v>7</v>")), qPrintable(dati[1]));
    QVERIFY2(!dati[2].contains(QLatin1String(" t=")) && dati[2].contains(QLatin1String("<v>37623</v>")) &&
                 dati[2].contains(QLatin1String(" s=\"")),
             qPrintable(dati[2]));  // 2 January 2003 as the spreadsheet's day number, with a date style
    QVERIFY2(dati[3].contains(QLatin1String("t=\"b\"")) && dati[3].contains(QLatin1String("<v>1</v>")), qPrintable(dati[3]));
    QVERIFY2(dati[4].contains(QLatin1String("<v>2.5</v>")), qPrintable(dati[4]));
    // Column widths: the text column its size, at most 50.
    QVERIFY(foglio.contains(QLatin1String("<col min=\"1\" max=\"1\" width=\"40.7")));
    QVERIFY(foglio.contains(QLatin1String("<col min=\"6\" max=\"6\" width=\"50.7")));
}

void TestEsportazioneFoglio::nomeFoglioRifiutato_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("causa");
    QTest::newRow("troppo lungo") << QString(32, QLatin1Char('x')) << "31 caratteri";
    QTest::newRow("carattere vietato") << "Conti/2003" << "caratteri";
    QTest::newRow("apostrofo iniziale") << "'Conti" << "apostrofo";
}

void TestEsportazioneFoglio::nomeFoglioRifiutato() {
    QFETCH(QString, nome);
    QFETCH(QString, causa);
    TConnessioneLettura c(m_amb->cartella());
    c.prepara(QStringLiteral("select * from prodotti.db"));
    const QString cartella = m_amb->file(QStringLiteral("fogli"));
    try {
        EsportaFoglio(c, nome, cartella);
        QFAIL("nome accettato");
    } catch (const ErroreEsportazione& e) {
        QVERIFY2(e.testo().contains(causa), qPrintable(e.testo()));
    }
    QVERIFY(QDir(cartella).entryList(QDir::Files).isEmpty());
}

void TestEsportazioneFoglio::risultatoVuotoEDueEsportazioni() {
    const QString cartella = m_amb->file(QStringLiteral("fogli"));
    TConnessioneLettura c(m_amb->cartella());
    c.prepara(QStringLiteral("select NOME, QUANTITA from prodotti.db"));
    const QString primo = EsportaFoglio(c, QStringLiteral("Vuoto"), cartella);
    c.prepara(QStringLiteral("select NOME, QUANTITA from prodotti.db"));
    const QString secondo = EsportaFoglio(c, QStringLiteral("Vuoto"), cartella);
    QVERIFY(primo != secondo);
    QCOMPARE(QDir(cartella).entryList({QStringLiteral("*.xlsx")}, QDir::Files).size(), 2);
    const QString foglio = Parte(secondo, QStringLiteral("xl/worksheets/sheet1.xml"));
    QCOMPARE(Celle(foglio, 1).size(), 2);
    QVERIFY(!foglio.contains(QLatin1String("<row r=\"2\"")) && !foglio.contains(QLatin1String("<row r=\"3\"")));
}

void TestEsportazioneFoglio::cellaRifiutataLasciaFoglioIncompleto() {
    // The second model's formatting text is longer than a cell holds.
    TArchivio& a = TArchivio::corrente();
    const QString lungo(40000, QLatin1Char('x'));
    for (const auto& [progr, testo] : {std::pair{1, QStringLiteral("breve")}, {2, lungo}, {3, QStringLiteral("dopo")}})
        a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (?, ?, ?)")
                     .arg(a.nomeQualificato(Definizioni::TabExport), TabExport::Progr, TabExport::Descr, TabExport::Formattazione),
                 {progr, QStringLiteral("Modello %1").arg(progr), testo});
    const QString cartella = m_amb->file(QStringLiteral("fogli"));
    TConnessioneLettura c(m_amb->cartella());
    c.prepara(QStringLiteral("select DESCR, FORMATTAZIONE from tabexport.db order by PROGR"));
    QString incompleto;
    try {
        EsportaFoglio(c, QStringLiteral("Modelli"), cartella);
        QFAIL("cella accettata");
    } catch (const ErroreCellaFoglio& e) {
        QCOMPARE(e.riga, 4);
        QCOMPARE(e.colonna, 2);
        QCOMPARE(e.campo, TabExport::Formattazione);
        QVERIFY2(e.causa.contains(QLatin1String("32.767 caratteri")), qPrintable(e.causa));
        incompleto = e.percorso;
        const QString testo = MessaggioCellaRifiutata(e, QStringLiteral("Elenco modelli"));
        QVERIFY2(testo.startsWith(QLatin1String("Esportazione dati su Tabella Excel Interrotta. \n")) &&
                     testo.contains(QLatin1String("Il modulo d'esportazione Elenco modelli ha causato un errore.\n"
                                                  "L'errore presenta le seguenti coordinate:\nColonna: 2,\nRiga: 4,\n"
                                                  "Nome del campo: FORMATTAZIONE.\n")) &&
                     testo.contains(QLatin1String("incompleto")) && testo.contains(QDir::toNativeSeparators(incompleto)),
                 qPrintable(testo));
    }
    // The only file is the incomplete workbook, named so, whole as an archive,
    // with the rows before the refused cell and nothing after it.
    QCOMPARE(QDir(cartella).entryList(QDir::Files), QStringList{QFileInfo(incompleto).fileName()});
    QVERIFY2(QFileInfo(incompleto).fileName().startsWith(QLatin1String("Modelli-incompleto-")), qPrintable(incompleto));
    const QString foglio = Parte(incompleto, QStringLiteral("xl/worksheets/sheet1.xml"));
    QCOMPARE(Celle(foglio, 3).size(), 2);
    QVERIFY(Celle(foglio, 3)[1].contains(QLatin1String("<t>breve</t>")));
    QCOMPARE(Celle(foglio, 4).size(), 1);
    QVERIFY(Celle(foglio, 4)[0].contains(QLatin1String("<t>Modello 2</t>")));
    QVERIFY(!foglio.contains(QLatin1String("<row r=\"5\"")));
}

QTEST_MAIN(TestEsportazioneFoglio)
#include "test_esportazionefoglio.moc"
