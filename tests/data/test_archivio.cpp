// The table store: value conversion, structure read-back, the record cursor,
// transactions across table files, searches.

#include "AmbienteTest.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Istruzione.h"
#include "data/engine/Record.h"
#include "data/engine/Tabella.h"

#include <QFile>

Q_DECLARE_METATYPE(TTipoCampo)

namespace {

TStrutturaTabella StrutturaProva() {
    TStrutturaTabella s;
    s.campi = {{QStringLiteral("ID"), TTipoCampo::Integer, 0, true},
               {QStringLiteral("NOME"), TTipoCampo::String, 5, false},
               {QStringLiteral("PREZZO"), TTipoCampo::Float, 0, false},
               {QStringLiteral("GIORNO"), TTipoCampo::Date, 0, false},
               {QStringLiteral("FATTO"), TTipoCampo::Boolean, 0, false},
               {QStringLiteral("NOTE"), TTipoCampo::Memo, 0, false}};
    s.indici = {Definizioni::IndicePrimario(QStringLiteral("ID")), Definizioni::IndiceSecondario(QStringLiteral("NOME"))};
    return s;
}

}  // namespace

class TestArchivio : public QObject {
    Q_OBJECT
private slots:
    void conversione_data();
    void conversione();
    void numeroDigitato_data();
    void numeroDigitato();
    void strutturaRiletta();
    void nomiInOgniMaiuscola();
    void cursore();
    void agganciERinuncia();
    void filtroEOrdine();
    void transazioneSuDueFile();
    void ricercaSenzaMaiuscoleEConCaratteriSpeciali();
    void erroriConContesto();
    void eliminaERinomina();
    void fileIlleggibile();
    void gatewayRecord();
    void istruzioneChiusaAncheSuErrore();
};

void TestArchivio::conversione_data() {
    QTest::addColumn<TTipoCampo>("tipo");
    QTest::addColumn<int>("dimensione");
    QTest::addColumn<QVariant>("valore");
    QTest::addColumn<QVariant>("atteso");  // invalid: the value must be refused
    const QVariant rifiuto;
    QTest::newRow("virgola decimale in un Float") << TTipoCampo::Float << 0 << QVariant("2,5") << QVariant(2.5);
    QTest::newRow("punto decimale di un testo memorizzato") << TTipoCampo::Float << 0 << QVariant("2.5") << QVariant(2.5);
    QTest::newRow("intero in un Float") << TTipoCampo::Float << 0 << QVariant(3) << QVariant(3.0);
    QTest::newRow("testo non numerico in un Float") << TTipoCampo::Float << 0 << QVariant("due") << rifiuto;
    QTest::newRow("due virgole") << TTipoCampo::Float << 0 << QVariant("1,2,3") << rifiuto;
    QTest::newRow("CAP con zeri davanti") << TTipoCampo::Integer << 0 << QVariant("00153") << QVariant(153);
    QTest::newRow("decimale in un Integer") << TTipoCampo::Integer << 0 << QVariant(2.5) << rifiuto;
    QTest::newRow("testo in un Integer") << TTipoCampo::Integer << 0 << QVariant("abc") << rifiuto;
    QTest::newRow("oltre 32 bit") << TTipoCampo::Integer << 0 << QVariant(qlonglong(5000000000)) << rifiuto;
    QTest::newRow("testo vuoto in un Integer") << TTipoCampo::Integer << 0 << QVariant("") << QVariant();
    QTest::newRow("testo tagliato alla dimensione") << TTipoCampo::String << 2 << QVariant("RMA") << QVariant("RM");
    QTest::newRow("accenti contati come caratteri") << TTipoCampo::String << 5 << QVariant("caffè!") << QVariant("caffè");
    QTest::newRow("numero in un testo") << TTipoCampo::String << 10 << QVariant(12.5) << QVariant("12,5");
    QTest::newRow("memo lungo intatto") << TTipoCampo::Memo << 0 << QVariant(QString(5000, QLatin1Char('x')))
                                        << QVariant(QString(5000, QLatin1Char('x')));
    QTest::newRow("memo con zeri davanti") << TTipoCampo::Memo << 0 << QVariant("00123") << QVariant("00123");
    QTest::newRow("data in ISO") << TTipoCampo::Date << 0 << QVariant(QDate(2004, 3, 5)) << QVariant("2004-03-05");
    QTest::newRow("data italiana") << TTipoCampo::Date << 0 << QVariant("15/04/2004") << QVariant("2004-04-15");
    QTest::newRow("data impossibile") << TTipoCampo::Date << 0 << QVariant("31/02/2004") << rifiuto;
    QTest::newRow("logico True") << TTipoCampo::Boolean << 0 << QVariant("True") << QVariant(1);
    QTest::newRow("logico falso") << TTipoCampo::Boolean << 0 << QVariant(false) << QVariant(0);
}

void TestArchivio::conversione() {
    QFETCH(TTipoCampo, tipo);
    QFETCH(int, dimensione);
    QFETCH(QVariant, valore);
    QFETCH(QVariant, atteso);
    const TDefCampo campo{QStringLiteral("CAMPO"), tipo, dimensione, false};
    if (!atteso.isValid() && !(valore.typeId() == QMetaType::QString && valore.toString().isEmpty())) {
        QVERIFY_THROWS_EXCEPTION(ErroreArchivio, ConvertiPerCampo(campo, valore));
        return;
    }
    const QVariant r = ConvertiPerCampo(campo, valore);
    QCOMPARE(r.isNull(), atteso.isNull());
    if (!atteso.isNull()) QCOMPARE(r.toString(), atteso.toString());
}

void TestArchivio::numeroDigitato_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("valido");
    QTest::addColumn<double>("valore");
    QTest::newRow("virgola") << "2,5" << true << 2.5;
    QTest::newRow("intero") << "15" << true << 15.0;
    QTest::newRow("negativo") << "-3" << true << -3.0;
    QTest::newRow("punto incollato") << "1.234" << false << 0.0;
    QTest::newRow("due virgole") << "1,2,3" << false << 0.0;
    QTest::newRow("vuoto") << "" << false << 0.0;
    QTest::newRow("solo virgola") << "," << false << 0.0;
    QTest::newRow("lettere") << "12a" << false << 0.0;
}

void TestArchivio::numeroDigitato() {
    QFETCH(QString, testo);
    QFETCH(bool, valido);
    QFETCH(double, valore);
    double v = 0;
    QCOMPARE(LeggiNumero(testo, &v, true), valido);
    if (valido) QCOMPARE(v, valore);
}

void TestArchivio::strutturaRiletta() {
    TAmbienteTest amb(false);
    TArchivio& a = TArchivio::corrente();
    a.creaTabella(QStringLiteral("prova.db"), StrutturaProva());
    a.scollegaTutte();
    const TStrutturaTabella s = a.leggiStruttura(QStringLiteral("prova.db"));
    QCOMPARE(s.campi, StrutturaProva().campi);
    QCOMPARE(s.indici.size(), 2);
    QCOMPARE(s.indici[0].nome, QString());
    QCOMPARE(s.indici[0].campi, QStringList{QStringLiteral("ID")});
    QCOMPARE(s.indici[0].opzioni, int(ixPrimario | ixUnico));
    QCOMPARE(s.indici[1].nome, QStringLiteral("NOME"));
    QCOMPARE(s.indici[1].campi, QStringList{QStringLiteral("NOME")});
    QCOMPARE(s.indici[1].opzioni, 0);
    // A primary index declared as primary alone reads back as primary and unique.
    TStrutturaTabella solo = StrutturaProva();
    solo.indici = {Definizioni::IndicePrimario(QStringLiteral("ID"), true)};
    a.creaTabella(QStringLiteral("solo.db"), solo);
    QCOMPARE(a.leggiStruttura(QStringLiteral("solo.db")).indici[0].opzioni, int(ixPrimario | ixUnico));
    // The declared types are readable by the sqlite3 tool.
    const QString schema = Sqlite3(amb.file(QStringLiteral("prova.db")), QStringLiteral("select sql from sqlite_master where type='table'"));
    QVERIFY2(schema.contains(QLatin1String("\"NOME\" VARCHAR(5)")) && schema.contains(QLatin1String("\"ID\" INTEGER NOT NULL")),
             qPrintable(schema));
}

void TestArchivio::nomiInOgniMaiuscola() {
    TAmbienteTest amb(false);
    TArchivio& a = TArchivio::corrente();
    a.creaTabella(QStringLiteral("impostazioni.db"), StrutturaProva());
    QVERIFY(a.esisteTabella(QStringLiteral("Impostazioni.db")));
    QCOMPARE(a.nomeQualificato(QStringLiteral("Impostazioni.db")), a.nomeQualificato(QStringLiteral("impostazioni")));
    a.scollegaTutte();
    // A file whose name differs in letter case is found too.
    QVERIFY(QFile::rename(amb.file(QStringLiteral("impostazioni.db")), amb.file(QStringLiteral("Impostazioni.DB"))));
    TTabella t(a, QStringLiteral("impostazioni.db"));
    t.apri();
    QCOMPARE(t.conteggio(), 0);
}

void TestArchivio::cursore() {
    TAmbienteTest amb(false);
    TArchivio& a = TArchivio::corrente();
    a.creaTabella(QStringLiteral("prova.db"), StrutturaProva());
    TTabella t(a, QStringLiteral("prova.db"));
    t.apri();
    QVERIFY(t.vuota());
    QCOMPARE(t.numeroRecord(), 0);
    for (int id : {3, 1, 2}) {
        t.inserisci();
        QCOMPARE(t.stato(), TTabella::Stato::Inserimento);
        t.imposta(QStringLiteral("ID"), id);
        t.imposta(QStringLiteral("NOME"), QStringLiteral("nome%1 lungo").arg(id));
        t.imposta(QStringLiteral("PREZZO"), QStringLiteral("%1,5").arg(id));
        t.registra();
        QCOMPARE(t.intero(QStringLiteral("ID")), id);
    }
    QCOMPARE(t.conteggio(), 3);
    // Records come in key order whatever the order of insertion.
    t.primo();
    QCOMPARE(t.intero(QStringLiteral("ID")), 1);
    QCOMPARE(t.testo(QStringLiteral("NOME")), QStringLiteral("nome1"));  // cut to 5
    QCOMPARE(t.reale(QStringLiteral("PREZZO")), 1.5);
    t.vaiA(3);
    QCOMPARE(t.intero(QStringLiteral("ID")), 3);
    t.successivo();
    QVERIFY(t.fine());
    QVERIFY(t.trova(QStringLiteral("ID"), 2));
    QCOMPARE(t.numeroRecord(), 2);
    QVERIFY(!t.trova(QStringLiteral("ID"), 9));
    // Empty fields read as 0, the empty text, false.
    QCOMPARE(t.intero(QStringLiteral("ID")), 2);
    QVERIFY(t.nullo(QStringLiteral("GIORNO")));
    QCOMPARE(t.booleano(QStringLiteral("FATTO")), false);
    QCOMPARE(t.testo(QStringLiteral("NOTE")), QString());
    // Edit then cancel restores the stored values.
    t.modifica();
    t.imposta(QStringLiteral("NOME"), QStringLiteral("altro"));
    t.annulla();
    QCOMPARE(t.testo(QStringLiteral("NOME")), QStringLiteral("nome2"));
    // Writing outside edit is refused.
    QVERIFY_THROWS_EXCEPTION(ErroreArchivio, t.imposta(QStringLiteral("NOME"), QStringLiteral("x")));
    // Edit and post.
    t.modifica();
    t.imposta(QStringLiteral("GIORNO"), QDate(2004, 3, 1));
    t.imposta(QStringLiteral("FATTO"), true);
    t.registra();
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("prova.db")), QStringLiteral("select GIORNO, FATTO from prova where ID = 2")),
             QStringLiteral("2004-03-01|1"));
    // A changed key moves the record to its new place, and the cursor with it.
    t.modifica();
    t.imposta(QStringLiteral("ID"), 9);
    t.registra();
    QCOMPARE(t.intero(QStringLiteral("ID")), 9);
    QCOMPARE(t.numeroRecord(), 3);
    QVERIFY(t.trova(QStringLiteral("ID"), 9));
    t.modifica();
    t.imposta(QStringLiteral("ID"), 2);
    t.registra();
    QCOMPARE(t.numeroRecord(), 2);
    // Delete moves to the next record.
    t.elimina();
    QCOMPARE(t.conteggio(), 2);
    QCOMPARE(t.intero(QStringLiteral("ID")), 3);
    // A second cursor sees the change only after its refresh.
    TTabella altra(a, QStringLiteral("prova.db"));
    altra.apri();
    QCOMPARE(altra.conteggio(), 2);
    t.inserisci();
    t.imposta(QStringLiteral("ID"), 7);
    t.registra();
    QCOMPARE(altra.conteggio(), 2);
    altra.aggiorna();
    QCOMPARE(altra.conteggio(), 3);
}

void TestArchivio::agganciERinuncia() {
    TAmbienteTest amb(false);
    TArchivio& a = TArchivio::corrente();
    a.creaTabella(QStringLiteral("prova.db"), StrutturaProva());
    TTabella t(a, QStringLiteral("prova.db"));
    QStringList eventi;
    t.dopoInserimento = [&] { eventi << QStringLiteral("dopoInserimento"); };
    t.primaDiRegistrare = [&] {
        eventi << QStringLiteral("primaDiRegistrare");
        if (t.testo(QStringLiteral("NOME")).isEmpty()) throw InterrompiOperazione();
    };
    t.dopoRegistrazione = [&] { eventi << QStringLiteral("dopoRegistrazione"); };
    t.primaDiEliminare = [&] {
        eventi << QStringLiteral("primaDiEliminare");
        throw InterrompiOperazione();
    };
    t.dopoScorrimento = [&] { eventi << QStringLiteral("dopoScorrimento"); };
    t.apri();
    eventi.clear();
    t.inserisci();
    t.imposta(QStringLiteral("ID"), 1);
    QVERIFY_THROWS_EXCEPTION(InterrompiOperazione, t.registra());
    QCOMPARE(t.stato(), TTabella::Stato::Inserimento);  // still inserting: nothing written
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("prova.db")), QStringLiteral("select count(*) from prova")), QStringLiteral("0"));
    t.imposta(QStringLiteral("NOME"), QStringLiteral("a"));
    t.registra();
    QCOMPARE(eventi, (QStringList{QStringLiteral("dopoInserimento"), QStringLiteral("primaDiRegistrare"),
                                  QStringLiteral("primaDiRegistrare"), QStringLiteral("dopoScorrimento"),
                                  QStringLiteral("dopoRegistrazione")}));
    QVERIFY_THROWS_EXCEPTION(InterrompiOperazione, t.elimina());
    QCOMPARE(t.conteggio(), 1);
}

void TestArchivio::filtroEOrdine() {
    TAmbienteTest amb(false);
    TArchivio& a = TArchivio::corrente();
    a.creaTabella(QStringLiteral("prova.db"), StrutturaProva());
    a.esegui(QStringLiteral("insert into %1 (ID, NOME, PREZZO) values (1,'b',1),(2,'a',2),(3,'c',1)")
                 .arg(a.nomeQualificato(QStringLiteral("prova"))));
    TTabella t(a, QStringLiteral("prova.db"));
    t.impostaFiltro(QStringLiteral("PREZZO = ?"), {1});
    t.impostaOrdine(QStringLiteral("NOME DESC"));
    t.apri();
    QCOMPARE(t.conteggio(), 2);
    QCOMPARE(t.testo(QStringLiteral("NOME")), QStringLiteral("c"));
    t.successivo();
    QCOMPARE(t.testo(QStringLiteral("NOME")), QStringLiteral("b"));
    QVERIFY(!t.trova(QStringLiteral("ID"), 2));  // outside the filter
}

void TestArchivio::transazioneSuDueFile() {
    TAmbienteTest amb(false);
    TArchivio& a = TArchivio::corrente();
    a.creaTabella(QStringLiteral("uno.db"), StrutturaProva());
    a.creaTabella(QStringLiteral("due.db"), StrutturaProva());
    const QString uno = a.nomeQualificato(QStringLiteral("uno")), due = a.nomeQualificato(QStringLiteral("due"));
    {
        TTransazione t(a);
        a.esegui(QStringLiteral("insert into %1 (ID) values (1)").arg(uno));
        a.esegui(QStringLiteral("insert into %1 (ID) values (1)").arg(due));
        // Leaves scope without conferma: both writes go.
    }
    QCOMPARE(a.valoreSingolo(QStringLiteral("select count(*) from %1").arg(uno)).toInt(), 0);
    QCOMPARE(a.valoreSingolo(QStringLiteral("select count(*) from %1").arg(due)).toInt(), 0);
    {
        TTransazione t(a);
        a.esegui(QStringLiteral("insert into %1 (ID) values (1)").arg(uno));
        {
            TTransazione interna(a);
            a.esegui(QStringLiteral("insert into %1 (ID) values (2)").arg(due));
        }
        a.esegui(QStringLiteral("insert into %1 (ID) values (3)").arg(due));
        t.conferma();
    }
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("uno.db")), QStringLiteral("select group_concat(ID) from uno")), QStringLiteral("1"));
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("due.db")), QStringLiteral("select group_concat(ID) from due")), QStringLiteral("3"));
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("uno.db")), QStringLiteral("pragma journal_mode")), QStringLiteral("delete"));
}

void TestArchivio::ricercaSenzaMaiuscoleEConCaratteriSpeciali() {
    TAmbienteTest amb(false);
    TArchivio& a = TArchivio::corrente();
    TStrutturaTabella s = StrutturaProva();
    s.campi[1].dimensione = 40;
    a.creaTabella(QStringLiteral("prova.db"), s);
    const QString t = a.nomeQualificato(QStringLiteral("prova"));
    int id = 0;
    for (const char* n : {"caffè", "CAFFÈ LUNGO", "50% sconto", "50 e più", "O'Brien", "a_b", "axb", "c\\d"})
        a.esegui(QStringLiteral("insert into %1 (ID, NOME) values (?, ?)").arg(t), {++id, QString::fromUtf8(n)});
    const auto conta = [&](const QString& cercato) {
        return a.valoreSingolo(QStringLiteral("select count(*) from %1 where lower(NOME) like lower(?) escape '\\'").arg(t),
                               {QLatin1Char('%') + EscapeLike(cercato) + QLatin1Char('%')})
            .toInt();
    };
    QCOMPARE(conta(QStringLiteral("CAFFÈ")), 2);
    QCOMPARE(conta(QStringLiteral("%")), 1);
    QCOMPARE(conta(QStringLiteral("o'brien")), 1);
    QCOMPARE(conta(QStringLiteral("a_b")), 1);
    QCOMPARE(conta(QStringLiteral("c\\d")), 1);
    QCOMPARE(conta(QStringLiteral("\"")), 0);
}

void TestArchivio::erroriConContesto() {
    TAmbienteTest amb(false);
    TArchivio& a = TArchivio::corrente();
    a.creaTabella(QStringLiteral("prova.db"), StrutturaProva());
    TTabella t(a, QStringLiteral("prova.db"));
    t.apri();
    t.inserisci();
    t.imposta(QStringLiteral("ID"), 1);
    t.registra();
    t.inserisci();
    t.imposta(QStringLiteral("ID"), 1);
    try {
        t.registra();
        QFAIL("chiave duplicata accettata");
    } catch (const ErroreArchivio& e) {
        QCOMPARE(e.contestoAiuto(), int(ErroreArchivio::CtxVincolo));
        QVERIFY2(e.testo().startsWith(QLatin1String("Chiave duplicata")), qPrintable(e.testo()));
    }
    t.annulla();
    t.inserisci();  // required ID left empty
    try {
        t.registra();
        QFAIL("campo obbligatorio vuoto accettato");
    } catch (const ErroreArchivio& e) {
        QCOMPARE(e.contestoAiuto(), int(ErroreArchivio::CtxVincolo));
    }
    t.annulla();
    QVERIFY_THROWS_EXCEPTION(ErroreArchivio, t.valore(QStringLiteral("INESISTENTE")));
    QVERIFY_THROWS_EXCEPTION(ErroreArchivio, a.nomeQualificato(QStringLiteral("mancante.db")));
    QVERIFY_THROWS_EXCEPTION(ErroreArchivio, a.nomeQualificato(QStringLiteral("x\"; drop table y")));
}

void TestArchivio::eliminaERinomina() {
    TAmbienteTest amb(false);
    TArchivio& a = TArchivio::corrente();
    a.creaTabella(QStringLiteral("prova.db"), StrutturaProva());
    a.esegui(QStringLiteral("insert into %1 (ID) values (5)").arg(a.nomeQualificato(QStringLiteral("prova"))));
    a.rinominaTabella(QStringLiteral("prova.db"), QStringLiteral("nuova.db"));
    QVERIFY(!a.esisteTabella(QStringLiteral("prova.db")));
    QCOMPARE(Sqlite3(amb.file(QStringLiteral("nuova.db")), QStringLiteral("select ID from nuova")), QStringLiteral("5"));
    a.eliminaTabella(QStringLiteral("nuova.db"));
    QVERIFY(!QFile::exists(amb.file(QStringLiteral("nuova.db"))));
}

void TestArchivio::fileIlleggibile() {
    TAmbienteTest amb(false);
    QFile f(amb.file(QStringLiteral("rotta.db")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    try {
        TArchivio::corrente().leggiStruttura(QStringLiteral("rotta.db"));
        QFAIL("un file illeggibile è stato letto");
    } catch (const ErroreArchivio& e) {
        QCOMPARE(e.contestoAiuto(), int(ErroreArchivio::CtxApertura));
    }
    QCOMPARE(QFileInfo(f.fileName()).size(), 8192);
}

// The record gateway on a table of its own: the next key on an empty table
// and after a gap, a record written and read back converted to its fields'
// types, an update that touches only the fields it names, a required field
// left empty, and a key that names no record.
void TestArchivio::gatewayRecord() {
    TAmbienteTest amb(false);
    TArchivio& a = TArchivio::corrente();
    const QString tabella = QStringLiteral("prova.db");
    a.creaTabella(tabella, StrutturaProva());
    const QVector<TDefCampo> campi = StrutturaProva().campi;
    QCOMPARE(ProssimaChiave(a, tabella, QStringLiteral("ID")), 1);

    TRecord r(campi);
    r.imposta(QStringLiteral("ID"), 7);
    r.imposta(QStringLiteral("NOME"), QStringLiteral("abcdefgh"));
    r.imposta(QStringLiteral("PREZZO"), QStringLiteral("2,5"));
    r.imposta(QStringLiteral("GIORNO"), QStringLiteral("31/12/2010"));
    InserisciRecord(a, tabella, r);
    QCOMPARE(ProssimaChiave(a, tabella, QStringLiteral("ID")), 8);
    QCOMPARE(Sqlite3(amb.file(tabella), QStringLiteral("select NOME, typeof(PREZZO), GIORNO from prova")),
             QStringLiteral("abcde|real|2010-12-31"));

    r.imposta(QStringLiteral("PREZZO"), 4.25);
    r.imposta(QStringLiteral("NOTE"), QStringLiteral("non scritta"));
    AggiornaRecord(a, tabella, r, {QStringLiteral("PREZZO")}, QStringLiteral("ID"));
    const TRecord letto = LeggiRecord(a, tabella, campi, QStringLiteral("ID"), 7);
    QCOMPARE(letto.reale(QStringLiteral("PREZZO")), 4.25);
    QVERIFY(letto.nullo(QStringLiteral("NOTE")));
    QCOMPARE(letto.data(QStringLiteral("GIORNO")), QDate(2010, 12, 31));
    QVERIFY(LeggiRecord(a, tabella, campi, QStringLiteral("ID"), 8).campi().isEmpty());

    TRecord senzaChiave(campi);
    senzaChiave.imposta(QStringLiteral("NOME"), QStringLiteral("x"));
    try {
        InserisciRecord(a, tabella, senzaChiave);
        QFAIL("campo obbligatorio vuoto accettato");
    } catch (const ErroreArchivio& e) {
        QCOMPARE(e.contestoAiuto(), int(ErroreArchivio::CtxVincolo));
    }
    QCOMPARE(Sqlite3(amb.file(tabella), QStringLiteral("select count(*) from prova")), QStringLiteral("1"));
}

// A statement left in the middle of its rows holds its table file: when an
// error leaves its scope it must be finalised, or the file can no longer be
// detached (nor dropped, nor swapped by a rebuild).
void TestArchivio::istruzioneChiusaAncheSuErrore() {
    TAmbienteTest amb(false);
    TArchivio& a = TArchivio::corrente();
    a.creaTabella(QStringLiteral("prova.db"), StrutturaProva());
    a.esegui(QStringLiteral("insert into %1 (ID) values (1), (2)").arg(a.nomeQualificato(QStringLiteral("prova"))));
    try {
        TIstruzione s(a.handle(), QStringLiteral("select ID from ") + a.nomeQualificato(QStringLiteral("prova")));
        QVERIFY(s.riga());
        throw ErroreArchivio(QStringLiteral("interrotta"));
    } catch (const ErroreArchivio&) {
    }
    a.scollega(QStringLiteral("prova.db"));  // raises "database is locked" if the statement stayed open

    // A statement the engine refuses is the store's error, with the engine's words.
    try {
        TIstruzione s(a.handle(), QStringLiteral("select NIENTE from ") + a.nomeQualificato(QStringLiteral("prova")));
        QFAIL("istruzione non valida accettata");
    } catch (const ErroreArchivio& e) {
        QVERIFY2(e.testo().contains(QLatin1String("NIENTE")), qPrintable(e.testo()));
    }
}

QTEST_MAIN(TestArchivio)
#include "test_archivio.moc"
