// The import from real files written here: CSV in both encodings, workbooks
// written with libxlsxwriter, a hand-zipped .ods; the proposal of the
// fields, the rules that refuse rows, the write with its backup and opening
// loads, the stop, our own export read back, and bad files that must leave
// every file of the book as it was.

#include "AmbienteTest.h"
#include "DatiProva.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "tools/ConnessioneLettura.h"
#include "tools/EsportazioneFoglio.h"
#include "tools/Importazione.h"
#include "tools/LetturaSorgente.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlRecord>

#include <xlsxwriter.h>
#include <zip.h>

namespace {

void Scrivi(const QString& percorso, const QByteArray& byte) {
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(byte), byte.size());
}

// A cell for the workbook writer: a number, a text, a date, a boolean, or a
// formula given as "=..." with its stored result in the second item.
struct TCellaFoglio {
    QVariant valore;
    QVariant risultato;  // for a formula
};
using TRigheFoglio = QVector<QVector<TCellaFoglio>>;

QString ScriviXlsx(const QString& percorso, const QVector<QPair<QString, TRigheFoglio>>& fogli) {
    lxw_workbook* wb = workbook_new(percorso.toUtf8().constData());
    lxw_format* data = workbook_add_format(wb);
    format_set_num_format(data, "dd/mm/yyyy");
    for (const auto& [nome, righe] : fogli) {
        lxw_worksheet* ws = workbook_add_worksheet(wb, nome.toUtf8().constData());
        for (int r = 0; r < righe.size(); ++r)
            for (int c = 0; c < righe[r].size(); ++c) {
                const QVariant& v = righe[r][c].valore;
                if (v.isNull()) continue;
                if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int)
                    worksheet_write_number(ws, r, c, v.toDouble(), nullptr);
                else if (v.typeId() == QMetaType::Bool)
                    worksheet_write_boolean(ws, r, c, v.toBool(), nullptr);
                else if (v.typeId() == QMetaType::QDate) {
                    const QDate d = v.toDate();
                    lxw_datetime dt = {d.year(), d.month(), d.day(), 0, 0, 0};
                    worksheet_write_datetime(ws, r, c, &dt, data);
                } else if (righe[r][c].risultato.isValid()) {
                    const QByteArray f = v.toString().toUtf8();
                    if (righe[r][c].risultato.typeId() == QMetaType::QString)
                        worksheet_write_formula_str(ws, r, c, f.constData(), nullptr,
                                                    righe[r][c].risultato.toString().toUtf8().constData());
                    else
                        worksheet_write_formula_num(ws, r, c, f.constData(), nullptr, righe[r][c].risultato.toDouble());
                } else
                    worksheet_write_string(ws, r, c, v.toString().toUtf8().constData(), nullptr);
            }
    }
    workbook_close(wb);
    return percorso;
}

QString ScriviXlsx(const QString& percorso, const TRigheFoglio& righe) {
    return ScriviXlsx(percorso, {{QStringLiteral("Foglio1"), righe}});
}

// A minimal OpenDocument spreadsheet: mimetype, manifest and content.xml.
QString ScriviOds(const QString& percorso, const QString& tabella) {
    const QByteArray contenuto =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                       "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                       "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                       "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                       "xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\" office:version=\"1.2\">"
                       "<office:body><office:spreadsheet>%1</office:spreadsheet></office:body></office:document-content>")
            .arg(tabella)
            .toUtf8();
    const QByteArray manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.2\">"
        "<manifest:file-entry manifest:full-path=\"/\" manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
        "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
        "</manifest:manifest>";
    const QByteArray tipo = "application/vnd.oasis.opendocument.spreadsheet";
    int errore = 0;
    zip_t* z = zip_open(percorso.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &errore);
    if (!z) return QString();
    const auto aggiungi = [&](const char* nome, const QByteArray& b) {
        zip_source_t* s = zip_source_buffer(z, b.constData(), zip_uint64_t(b.size()), 0);
        const zip_int64_t i = zip_file_add(z, nome, s, ZIP_FL_OVERWRITE);
        zip_set_file_compression(z, zip_uint64_t(i), ZIP_CM_STORE, 0);
    };
    aggiungi("mimetype", tipo);
    aggiungi("META-INF/manifest.xml", manifest);
    aggiungi("content.xml", contenuto);
    zip_close(z);
    return percorso;
}

// The book's table files and their fingerprints.
QMap<QString, QByteArray> Libro(const QString& cartella) { return Impronte(cartella); }

TOpzioniImportazione Opzioni(const TSorgente& s, TTipoImportazione tipo = TTipoImportazione::Prodotti) {
    TOpzioniImportazione o;
    o.tipo = tipo;
    o.destinazioni = ProponiDestinazioni(tipo, s.intestazioni);
    return o;
}

QString Tabella(const QString& sql) {
    TArchivio& a = TArchivio::corrente();
    QSqlQuery q = a.esegui(sql);
    QStringList righe;
    while (q.next()) {
        QStringList r;
        for (int i = 0; i < q.record().count(); ++i) r << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
        righe << r.join(QLatin1Char('|'));
    }
    return righe.join(QLatin1Char('\n'));
}

QString Prodotti_() { return TArchivio::corrente().nomeQualificato(Definizioni::Prodotti); }

}  // namespace

class TestImportazione : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void numeriEDate_data();
    void numeriEDate();
    void csvNelleDueCodifiche_data();
    void csvNelleDueCodifiche();
    void csvConVirgoletteEFineRiga();
    void xlsxTipizzatoConFormule();
    void odsConDataEFormula();
    void propostaDaIntestazioni();
    void righeRifiutateConMotivo();
    void esistentiAggiornatiOSaltati();
    void scritturaConBackupECarichi();
    void stopLasciaLibroIntatto();
    void rifiutatiSalvatiInCsv();
    void ritornoDallaNostraEsportazione();
    void contatoriSoloInLibroVuoto();
    void fileCattivi_data();
    void fileCattivi();
};

void TestImportazione::numeriEDate_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("numero");
    QTest::addColumn<double>("valore");
    QTest::newRow("migliaia e decimali") << "1.234,50" << true << 1234.5;
    QTest::newRow("intero") << "42" << true << 42.0;
    QTest::newRow("negativo") << "-3,25" << true << -3.25;
    QTest::newRow("euro e spazi") << " 12,00 €" << true << 12.0;
    QTest::newRow("milioni") << "1.000.000" << true << 1e6;
    QTest::newRow("punto decimale non indovinato") << "2.5" << false << 0.0;
    QTest::newRow("gruppo di due cifre") << "1.23,4" << false << 0.0;
    QTest::newRow("due virgole") << "1,2,3" << false << 0.0;
    QTest::newRow("testo") << "dieci" << false << 0.0;
    QTest::newRow("vuoto") << "" << false << 0.0;
}

void TestImportazione::numeriEDate() {
    QFETCH(QString, testo);
    QFETCH(bool, numero);
    QFETCH(double, valore);
    double v = -99;
    QCOMPARE(LeggiNumeroItaliano(testo, &v), numero);
    if (numero) QCOMPARE(v, valore);
    // Dates: dd/mm/yyyy and ISO; a two-digit year or an impossible day is none.
    QCOMPARE(LeggiDataItaliana(QStringLiteral("05/03/2024")), QDate(2024, 3, 5));
    QCOMPARE(LeggiDataItaliana(QStringLiteral("2024-03-05")), QDate(2024, 3, 5));
    QVERIFY(!LeggiDataItaliana(QStringLiteral("05/03/24")).isValid());
    QVERIFY(!LeggiDataItaliana(QStringLiteral("31/02/2024")).isValid());
    QCOMPARE(DataDaSeriale(45356), QDate(2024, 3, 5));
}

void TestImportazione::csvNelleDueCodifiche_data() {
    QTest::addColumn<QByteArray>("byte");
    QTest::addColumn<QString>("separatore");
    QTest::addColumn<QString>("codifica");
    // "Caffè" and "€ 2,50" in each encoding.
    QTest::newRow("windows-1252 con punto e virgola")
        << QByteArray("Codice;Descrizione;Prezzo\r\nA1;Caff\xE8 \x80;2,50\r\n") << ";" << "Windows-1252";
    QTest::newRow("utf-8 con BOM e virgola")
        << QByteArray("\xEF\xBB\xBF" "Codice,Descrizione,Prezzo\nA1,Caff\xC3\xA8 \xE2\x82\xAC,\"2,50\"\n") << "," << "UTF-8";
    QTest::newRow("utf-8 senza BOM e tabulazione")
        << QByteArray("Codice\tDescrizione\tPrezzo\nA1\tCaff\xC3\xA8 \xE2\x82\xAC\t2,50\n") << "\t" << "UTF-8";
}

void TestImportazione::csvNelleDueCodifiche() {
    QFETCH(QByteArray, byte);
    QFETCH(QString, separatore);
    QFETCH(QString, codifica);
    const QString f = m_amb->file(QStringLiteral("prodotti.csv"));
    Scrivi(f, byte);
    const TSorgente s = LeggiSorgente(f);
    QVERIFY2(s.valida(), qPrintable(s.errore));
    QCOMPARE(QString(s.separatore), separatore);
    QCOMPARE(NomeCodifica(s.codifica), codifica);
    QCOMPARE(s.intestazioni, QStringList({"Codice", "Descrizione", "Prezzo"}));
    QCOMPARE(s.righe.size(), 1);
    QCOMPARE(s.righe[0][1].testo, QString::fromUtf8("Caffè €"));
    QCOMPARE(s.righe[0][2].testo, QStringLiteral("2,50"));
}

void TestImportazione::csvConVirgoletteEFineRiga() {
    const QString f = m_amb->file(QStringLiteral("q.csv"));
    Scrivi(f, "Codice;Descrizione;Data\r\n"
              "\"P;1\";\"riga uno\r\nriga due; con \"\"virgolette\"\"\";05/03/2024\r\n"
              ";;\r\n"
              "\r\n"
              "P2;=1+1;\r\n");
    const TSorgente s = LeggiSorgente(f);
    QVERIFY2(s.valida(), qPrintable(s.errore));
    QCOMPARE(s.righe.size(), 2);  // the empty rows are skipped
    QCOMPARE(s.righe[0][0].testo, QStringLiteral("P;1"));
    QCOMPARE(s.righe[0][1].testo, QStringLiteral("riga uno\nriga due; con \"virgolette\""));
    QCOMPARE(s.righe[1][1].testo, QStringLiteral("=1+1"));
    QCOMPARE(s.numeriRiga, QVector<int>({2, 6}));
    // The separator can be forced: with "," each line is one column.
    TOpzioniLettura o;
    o.separatore = QLatin1Char(',');
    QCOMPARE(LeggiSorgente(f, o).intestazioni, QStringList{QStringLiteral("Codice;Descrizione;Data")});
}

void TestImportazione::xlsxTipizzatoConFormule() {
    const QString f = ScriviXlsx(m_amb->file(QStringLiteral("p.xlsx")),
        {{QStringLiteral("Altro"), {{{QStringLiteral("x")}}}},
         {QStringLiteral("Prodotti"),
          {{{QStringLiteral("Codice")}, {QStringLiteral("Prezzo")}, {QStringLiteral("Data")}, {QStringLiteral("Scaduto")}},
           {},
           {{QStringLiteral("P1")}, {2.5}, {QDate(2024, 3, 5)}, {true}},
           {{QStringLiteral("P2")}, {QStringLiteral("=B3*2"), 5.0}, {}, {false}},
           {{QStringLiteral("P3")}, {QStringLiteral("=\"a\"&\"b\""), QStringLiteral("ab")}}}}});
    TOpzioniLettura o;
    o.foglio = 1;
    const TSorgente s = LeggiSorgente(f, o);
    QVERIFY2(s.valida(), qPrintable(s.errore));
    QCOMPARE(s.formato, TFormatoSorgente::Xlsx);
    QCOMPARE(s.fogli, QStringList({"Altro", "Prodotti"}));
    QCOMPARE(s.intestazioni, QStringList({"Codice", "Prezzo", "Data", "Scaduto"}));
    QCOMPARE(s.righe.size(), 3);
    QCOMPARE(s.numeriRiga, QVector<int>({3, 4, 5}));
    QCOMPARE(s.righe[0][1].numero, 2.5);
    // The formula's stored result, not the formula.
    QCOMPARE(s.righe[1][1].tipo, TTipoCella::Numero);
    QCOMPARE(s.righe[1][1].numero, 5.0);
    QCOMPARE(s.righe[2][1].comeTesto(), QStringLiteral("ab"));
    // Into the store: the date serial becomes the date, the boolean 0/1.
    const TAnalisiImportazione a = AnalizzaImportazione(TArchivio::corrente(), s, [&] {
        TOpzioniImportazione x = Opzioni(s);
        x.destinazioni = {Prodotti::Nome, Prodotti::Prezzo, Prodotti::DataOggi, Prodotti::ScadutoTemp};
        return x;
    }());
    QVERIFY2(a.valida(), qPrintable(a.errore));
    // The text result in the price column is no number: that row is refused.
    QCOMPARE(a.nuovi, 2);
    QCOMPARE(a.rifiutati, 1);
    QVERIFY(a.righe[2].motivi.join(QString()).contains(QStringLiteral("«ab» non è un numero")));
    QCOMPARE(a.righe[0].valori[2].toString(), QStringLiteral("2024-03-05"));
    QCOMPARE(a.righe[0].valori[3].toInt(), 1);
    QCOMPARE(a.righe[1].valori[1].toDouble(), 5.0);
}

void TestImportazione::odsConDataEFormula() {
    const QString f = ScriviOds(m_amb->file(QStringLiteral("p.ods")), QStringLiteral(
        "<table:table table:name=\"Prodotti\">"
        "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>Codice</text:p></table:table-cell>"
        "<table:table-cell office:value-type=\"string\"><text:p>Prezzo V.</text:p></table:table-cell>"
        "<table:table-cell office:value-type=\"string\"><text:p>Data di entrata</text:p></table:table-cell></table:table-row>"
        "<table:table-row><table:table-cell/></table:table-row>"
        "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>P1</text:p></table:table-cell>"
        "<table:table-cell table:formula=\"of:=2*3\" office:value-type=\"float\" office:value=\"6\"><text:p>6</text:p></table:table-cell>"
        "<table:table-cell office:value-type=\"date\" office:date-value=\"2024-03-05\"><text:p>05/03/2024</text:p></table:table-cell>"
        "</table:table-row></table:table>"));
    QVERIFY(!f.isEmpty());
    const TSorgente s = LeggiSorgente(f);
    QVERIFY2(s.valida(), qPrintable(s.errore));
    QCOMPARE(s.formato, TFormatoSorgente::Ods);
    QCOMPARE(s.intestazioni, QStringList({"Codice", "Prezzo V.", "Data di entrata"}));
    QCOMPARE(s.righe.size(), 1);
    QCOMPARE(s.righe[0][1].numero, 6.0);
    QCOMPARE(s.righe[0][2].tipo, TTipoCella::Data);
    QCOMPARE(s.righe[0][2].comeTesto(), QStringLiteral("05/03/2024"));
    QCOMPARE(ProponiDestinazioni(TTipoImportazione::Prodotti, s.intestazioni),
             QStringList({Prodotti::Nome, Prodotti::Prezzo2, Prodotti::DataOggi}));
}

void TestImportazione::propostaDaIntestazioni() {
    namespace D = DestinazioniImport;
    const QStringList h = {"Codice", "Descrizione", "Prezzo di vendita", "Q.tà", "Fornitore", "Categoria",
                           "PREZZO", "Colore", "Codice", "Prezzo di listino (€)"};
    QCOMPARE(ProponiDestinazioni(TTipoImportazione::Prodotti, h),
             QStringList({Prodotti::Nome, Prodotti::Descrizione, Prodotti::Prezzo2, D::CaricoIniziale, D::NomeProduttore,
                          D::NomeCategoria, Prodotti::Prezzo, D::Nessuna, D::Nessuna, Prodotti::PrezzoListino}));
    QCOMPARE(ProponiDestinazioni(TTipoImportazione::Produttori, {"Ragione sociale", "Città", "P.Iva"}),
             QStringList({Produttori::Nome, Produttori::Citta, Produttori::Piva}));
    QCOMPARE(ProponiDestinazioni(TTipoImportazione::Categorie, {"Categoria", "ID"}), QStringList({Cat::Categoria, Cat::Id}));
}

void TestImportazione::righeRifiutateConMotivo() {
    InserisciProduttore(4, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    const QString f = m_amb->file(QStringLiteral("r.csv"));
    Scrivi(f, QStringLiteral("Codice;Descrizione;Prezzo A.;Data di entrata;Fornitore;Categoria\n"
                             "A1;buono;1.234,50;05/03/2024;rossi;Bevande\n"
                             "A2;doppio;1;;;\n"
                             "A2;doppio ancora;2;;;\n"
                             "A3;prezzo;abc;;;\n"
                             "A4;data;1;31/02/2024;;\n"
                             "A5;negativo;-1;;;\n"
                             ";senza codice;1;;;\n"
                             "A6;lungo %1;1;;Bianchi;bevande\n"
                             "A7;colonne;1;;;;in più\n")
                  .arg(QString(300, QLatin1Char('x')))
                  .toUtf8());
    const TSorgente s = LeggiSorgente(f);
    QVERIFY2(s.valida(), qPrintable(s.errore));
    const TAnalisiImportazione a = AnalizzaImportazione(TArchivio::corrente(), s, Opzioni(s));
    QVERIFY2(a.valida(), qPrintable(a.errore));
    QCOMPARE(a.nuovi, 2);
    QCOMPARE(a.rifiutati, 7);
    QCOMPARE(a.valoriTagliati, 1);
    QCOMPARE(a.produttoriNuovi, QStringList{QStringLiteral("Bianchi")});  // "rossi" is Rossi
    QCOMPARE(a.categorieNuove, QStringList{QStringLiteral("Bevande")});   // once, whatever the case
    const QStringList attesi = {QString(), "compare più volte", "compare più volte", "«abc» non è un numero",
                                "non è una data", "prezzo negativo", "manca il valore", QString(), "la riga ha 7 colonne"};
    for (int i = 0; i < attesi.size(); ++i) {
        const QString motivi = a.righe[i].motivi.join(QLatin1Char('|'));
        if (attesi[i].isEmpty()) QVERIFY2(motivi.isEmpty(), qPrintable(motivi));
        else QVERIFY2(motivi.contains(attesi[i]), qPrintable(QStringLiteral("riga %1: %2").arg(i).arg(motivi)));
    }
    QCOMPARE(a.righe[3].colonneRifiutate, QVector<int>{2});
    QCOMPARE(a.righe[0].valori[2].toDouble(), 1234.5);
    QVERIFY(RiepilogoAnalisi(a).contains(QLatin1String("Rifiutati: 7")));
}

void TestImportazione::esistentiAggiornatiOSaltati() {
    TRigaProdotto p;
    p.id = 7;
    p.nome = QStringLiteral("A1");
    p.descrizione = QStringLiteral("vecchia");
    p.prezzo = 1.0;
    p.quantita = 5;
    InserisciProdotto(p);
    const QString f = m_amb->file(QStringLiteral("e.csv"));
    Scrivi(f, "Codice;Descrizione\nA1;nuova\nB1;altro\n");
    const TSorgente s = LeggiSorgente(f);
    for (const bool aggiorna : {false, true}) {
        TOpzioniImportazione o = Opzioni(s);
        o.aggiornaEsistenti = aggiorna;
        const TEsitoImportazione e = EseguiImportazione(TArchivio::corrente(), s, o);
        QVERIFY2(e.riuscita(), qPrintable(e.errore));
        QCOMPARE(e.analisi.saltati, aggiorna ? 0 : 1);
        QCOMPARE(e.analisi.aggiornati, aggiorna ? 2 : 0);  // the second run finds B1 too
        QCOMPARE(e.analisi.nuovi, aggiorna ? 0 : 1);
    }
    // Only the imported field changed; the counters and the price stayed.
    QCOMPARE(Tabella(QStringLiteral("select ID, NOME, DESCRIZIONE, PREZZO, QUANTITA from %1 order by ID").arg(Prodotti_())),
             QStringLiteral("7|A1|nuova|1|5\n8|B1|altro|0|0"));
}

void TestImportazione::scritturaConBackupECarichi() {
    InserisciCategoria(3, QStringLiteral("Bevande"));
    const QString f = m_amb->file(QStringLiteral("c.csv"));
    Scrivi(f, QByteArray("Codice;Descrizione;Prezzo A.;Prezzo V.;Q.t\xE0;Fornitore;Categoria\r\n"
                         "P1;Caff\xE8;2,00;3,50;10;Lavazza;bevande\r\n"
                         "P2;T\xE8;1,00;2,00;0;Lavazza;Infusi\r\n"
                         "P3;Rotto;x;;5;;\r\n"));
    const TSorgente s = LeggiSorgente(f);
    QCOMPARE(s.codifica, TCodifica::Windows1252);
    TOpzioniImportazione o = Opzioni(s);
    o.carichiIniziali = true;
    const TEsitoImportazione e = EseguiImportazione(TArchivio::corrente(), s, o);
    QVERIFY2(e.riuscita(), qPrintable(e.errore));
    QCOMPARE(e.analisi.nuovi, 2);
    QCOMPARE(e.analisi.rifiutati, 1);
    QCOMPARE(e.analisi.produttoriDaCreare, 1);
    QCOMPARE(e.analisi.categorieDaCreare, 1);
    QCOMPARE(e.analisi.carichi, 1);
    // The backup holds the tables as they were before.
    QVERIFY(e.cartellaBackup.startsWith(m_amb->file(QStringLiteral("backup/"))));
    QCOMPARE(Sqlite3(e.cartellaBackup + QStringLiteral("prodotti.db"), QStringLiteral("select count(*) from prodotti")).trimmed(),
             QStringLiteral("0"));
    QCOMPARE(Tabella(QStringLiteral("select p.NOME, p.DESCRIZIONE, p.CARICHI, p.QUANTITA, p.TOTALEACQUISTI, f.NOME, c.CATEGORIA "
                                    "from %1 p join %2 f on f.ID = p.IDPRODUTTORE join %3 c on c.ID = p.IDCATEGORIA order by p.ID")
                         .arg(Prodotti_(), TArchivio::corrente().nomeQualificato(Definizioni::Produttori),
                              TArchivio::corrente().nomeQualificato(Definizioni::Categorie))),
             QString::fromUtf8("P1|Caffè|10|10|20|Lavazza|Bevande\nP2|Tè|0|0|NULL|Lavazza|Infusi"));
    // The opening load is a history row that agrees with the counters.
    QCOMPARE(Tabella(QStringLiteral("select AZIONE, NOME, QUANTITA, PREZZOACQ from %1")
                         .arg(TArchivio::corrente().nomeQualificato(Definizioni::Storico))),
             QStringLiteral("CARICO|P1|10|20"));
}

void TestImportazione::stopLasciaLibroIntatto() {
    QString csv = QStringLiteral("Codice;Descrizione;Q.tà\n");
    for (int i = 0; i < 3000; ++i) csv += QStringLiteral("C%1;articolo %1;%2\n").arg(i).arg(i % 7);
    const QString f = m_amb->file(QStringLiteral("grande.csv"));
    Scrivi(f, csv.toUtf8());
    const TSorgente s = LeggiSorgente(f);
    QCOMPARE(s.righe.size(), 3000);
    TArchivio::corrente().scollegaTutte();
    // Stopped during the write, and again during the opening loads.
    for (const qint64 ferma : {qint64(2000), qint64(3100)}) {
        const auto prima = Libro(m_amb->cartella());
        TOpzioniImportazione o = Opzioni(s);
        o.carichiIniziali = true;
        bool scrittura = false;
        o.avanzamento = [&](qint64 fatte, qint64 totale) {
            if (totale == 3000 * 2) return true;  // the dry run
            scrittura = true;
            return fatte < ferma;
        };
        const TEsitoImportazione e = EseguiImportazione(TArchivio::corrente(), s, o);
        QVERIFY(scrittura);
        QVERIFY(e.interrotta);
        TArchivio::corrente().scollegaTutte();
        const auto dopo = Libro(m_amb->cartella());
        QCOMPARE(dopo, prima);
    }
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral("select count(*) from prodotti")).trimmed(),
             QStringLiteral("0"));
}

void TestImportazione::rifiutatiSalvatiInCsv() {
    const QString f = m_amb->file(QStringLiteral("r.csv"));
    Scrivi(f, "Codice;Prezzo\nA;1\nB;uno\n\"C;x\";-2\n");
    const TSorgente s = LeggiSorgente(f);
    const TAnalisiImportazione a = AnalizzaImportazione(TArchivio::corrente(), s, Opzioni(s));
    const QString out = m_amb->file(QStringLiteral("rifiutati.csv"));
    QCOMPARE(SalvaRifiutati(s, a, out), QString());
    // Read back through the import's own reader.
    const TSorgente r = LeggiSorgente(out);
    QVERIFY2(r.valida(), qPrintable(r.errore));
    QCOMPARE(r.intestazioni, QStringList({"Riga", "Codice", "Prezzo", "Motivo"}));
    QCOMPARE(r.righe.size(), 2);
    QCOMPARE(r.righe[0][0].testo, QStringLiteral("3"));
    QCOMPARE(r.righe[0][3].testo, QStringLiteral("Prezzo: «uno» non è un numero"));
    QCOMPARE(r.righe[1][1].testo, QStringLiteral("C;x"));
    QCOMPARE(r.righe[1][3].testo, QStringLiteral("Prezzo: prezzo negativo"));
}

void TestImportazione::ritornoDallaNostraEsportazione() {
    // A book with every kind of value, exported with all the products' fields.
    TRigaProdotto p;
    p.id = 3;
    p.nome = QStringLiteral("00123");
    p.descrizione = QString::fromUtf8("Caffè \"speciale\"; =1+1");
    p.carichi = 10;
    p.scarichi = 4;
    p.quantita = 6;
    p.totaleAcquisti = 20.5;
    p.totaleVendite = 14.25;
    p.prezzo = 2.05;
    p.prezzo2 = 3.5625;
    p.idCategoria = 2;
    p.idProduttore = 9;
    p.dataOggi = QDate(2024, 3, 5);
    p.numDistinta = QStringLiteral("12");
    p.giacenzaMax = 30;
    InserisciProdotto(p);
    TRigaProdotto q;
    q.id = 8;
    q.nome = QStringLiteral("Z");
    InserisciProdotto(q);
    TArchivio::corrente().esegui(QStringLiteral("UPDATE %1 SET SCADUTOTEMP = 1, SCONTO1 = 10, PREZZOLISTINO = 4 WHERE ID = 3").arg(Prodotti_()));
    TArchivio::corrente().scollegaTutte();
    const QString dumpPrima = Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral(".dump"));
    QTemporaryDir fogli;
    QString xlsx;
    {
        TConnessioneLettura c(m_amb->cartella());
        c.prepara(QStringLiteral("select * from prodotti.db"));
        xlsx = EsportaFoglio(c, QStringLiteral("Prodotti"), fogli.path());
    }
    // Into an empty book.
    m_amb.reset();
    m_amb = std::make_unique<TAmbienteTest>();
    const TSorgente s = LeggiSorgente(xlsx);
    QVERIFY2(s.valida(), qPrintable(s.errore));
    const TOpzioniImportazione o = Opzioni(s);
    QVERIFY2(!o.destinazioni.contains(DestinazioniImport::Nessuna), qPrintable(s.intestazioni.join(QLatin1Char(','))));
    const TEsitoImportazione e = EseguiImportazione(TArchivio::corrente(), s, o);
    QVERIFY2(e.riuscita(), qPrintable(e.errore));
    QCOMPARE(e.analisi.nuovi, 2);
    TArchivio::corrente().scollegaTutte();
    QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral(".dump")), dumpPrima);
}

void TestImportazione::contatoriSoloInLibroVuoto() {
    const QString f = m_amb->file(QStringLiteral("k.csv"));
    Scrivi(f, "NOME;QUANTITA\nA;5\n");
    const TSorgente s = LeggiSorgente(f);
    TOpzioniImportazione o = Opzioni(s);
    QCOMPARE(o.destinazioni, QStringList({Prodotti::Nome, Prodotti::Quantita}));
    QVERIFY(ControllaDestinazioni(TArchivio::corrente(), o, 2).isEmpty());
    TRigaProdotto p;
    p.id = 1;
    p.nome = QStringLiteral("B");
    InserisciProdotto(p);
    QVERIFY(ControllaDestinazioni(TArchivio::corrente(), o, 2).contains(QStringLiteral("Quantità (carico iniziale)")));
}

void TestImportazione::fileCattivi_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QByteArray>("byte");       // empty: written by the test itself
    QTest::addColumn<QStringList>("destinazioni");  // forced; empty: proposed
    QTest::addColumn<QString>("messaggio");     // the refusal; empty: the import runs
    QTest::addColumn<QString>("verifica");      // what the import stored, for those that run

    QByteArray casuale(4096, '\0');
    QRandomGenerator g(7);
    for (char& c : casuale) c = char(g.bounded(256));
    QTest::newRow("PDF rinominato .xlsx") << "a.xlsx" << QByteArray("%PDF-1.4\n%\xE2\xE3\n1 0 obj\n") << QStringList() << "è un documento PDF" << "";
    QTest::newRow("byte casuali .xlsx") << "b.xlsx" << casuale << QStringList() << "non è un foglio di lavoro .xlsx" << "";
    QTest::newRow("byte casuali .ods") << "b.ods" << casuale << QStringList() << "non è un foglio di calcolo .ods" << "";
    QTest::newRow("byte casuali .csv") << "b.csv" << casuale << QStringList() << "caratteri nulli" << "";
    QTest::newRow("file vuoto") << "v.csv" << QByteArray() << QStringList() << "Il file è vuoto" << "";
    QTest::newRow("solo intestazione") << "i.csv" << QByteArray("Codice;Descrizione\r\n") << QStringList() << "solo l'intestazione" << "";
    QTest::newRow("foglio troncato") << "troncato.xlsx" << QByteArray() << QStringList() << "danneggiato o incompleto" << "";
    QTest::newRow("foglio di 1.048.576 righe") << "enorme.xlsx" << QByteArray() << QStringList() << "più di 500.000 righe" << "";
    QTest::newRow("CSV di 200 MB") << "enorme.csv" << QByteArray() << QStringList() << "oltre il massimo di 100 MB" << "";
    QTest::newRow("caratteri NUL") << "n.csv" << QByteArray("Codice;Descrizione\nA\0;x\n", 22) << QStringList() << "caratteri nulli (riga 2)" << "";
    QTest::newRow("UTF-8 non valido con BOM") << "u.csv" << QByteArray("\xEF\xBB\xBF" "Codice\nA\xC3\x28\n") << QStringList() << "sequenze non valide" << "";
    QTest::newRow("colonna associata due volte") << "d.csv" << QByteArray("Codice;Nome\nA;B\n")
        << QStringList({Prodotti::Nome, Prodotti::Nome}) << "vanno entrambe in «Codice prodotto (NOME)»" << "";
    QTest::newRow("nessuna colonna per il codice") << "k.csv" << QByteArray("Descrizione\nA\n") << QStringList() << "Nessuna colonna va in" << "";
    QTest::newRow("riga con più colonne") << "c.csv" << QByteArray("Codice;Descrizione\nA;uno;in più\nB;due\n")
        << QStringList() << "" << "B|due";
    QTest::newRow("cella di 100.000 caratteri") << "l.csv" << QByteArray("Codice;Descrizione\nA;" + QByteArray(100000, 'y') + "\n")
        << QStringList() << "" << "A|" + QString(250, QLatin1Char('y'));
    QTest::newRow("testo che sembra una formula") << "f.csv" << QByteArray("Codice;Descrizione\n=1+1;+39 02 1234\n@SUM;-1+2\n")
        << QStringList() << "" << "=1+1|+39 02 1234\n@SUM|-1+2";
}

void TestImportazione::fileCattivi() {
    QFETCH(QString, nome);
    QFETCH(QByteArray, byte);
    QFETCH(QStringList, destinazioni);
    QFETCH(QString, messaggio);
    QFETCH(QString, verifica);
    const QString f = m_amb->file(QStringLiteral("in/") + nome);
    QDir().mkpath(m_amb->file(QStringLiteral("in")));
    if (nome == QLatin1String("troncato.xlsx")) {
        QVector<QVector<TCellaFoglio>> righe = {{{QStringLiteral("Codice")}}};
        for (int i = 0; i < 2000; ++i) righe.append({{QStringLiteral("P%1").arg(i)}});
        ScriviXlsx(f, righe);
        QFile x(f);
        QVERIFY(x.open(QIODevice::ReadWrite));
        QVERIFY(x.resize(x.size() / 2));
    } else if (nome == QLatin1String("enorme.xlsx")) {
        lxw_workbook_options opz = {};
        opz.constant_memory = LXW_TRUE;
        lxw_workbook* wb = workbook_new_opt(f.toUtf8().constData(), &opz);
        lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_string(ws, 0, 0, "Codice", nullptr);
        for (lxw_row_t r = 1; r < 1048576; ++r) worksheet_write_number(ws, r, 0, r, nullptr);
        QCOMPARE(workbook_close(wb), LXW_NO_ERROR);
    } else if (nome == QLatin1String("enorme.csv")) {
        QFile x(f);
        QVERIFY(x.open(QIODevice::WriteOnly));
        x.write("Codice;Descrizione\n");
        QVERIFY(x.resize(200LL * 1024 * 1024));
    } else {
        Scrivi(f, byte);
    }
    TArchivio::corrente().scollegaTutte();
    const auto prima = Libro(m_amb->cartella());

    QString errore;
    const TSorgente s = LeggiSorgente(f);
    if (!s.valida()) errore = s.errore;
    else {
        TOpzioniImportazione o = Opzioni(s);
        if (!destinazioni.isEmpty()) o.destinazioni = destinazioni;
        const TEsitoImportazione e = EseguiImportazione(TArchivio::corrente(), s, o);
        errore = e.errore;
    }
    if (!messaggio.isEmpty()) {
        QVERIFY2(errore.contains(messaggio), qPrintable(errore));
        TArchivio::corrente().scollegaTutte();
        QCOMPARE(Libro(m_amb->cartella()), prima);
    } else {
        QVERIFY2(errore.isEmpty(), qPrintable(errore));
        QCOMPARE(Tabella(QStringLiteral("select NOME, DESCRIZIONE from %1 order by ID").arg(Prodotti_())), verifica);
    }
}

QTEST_MAIN(TestImportazione)
#include "test_importazione.moc"
