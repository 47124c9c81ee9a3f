// Interface translation: Traduci on lingua.db and the translation step of a
// window (the splash's Label1 and a window of every kind of control).

#include "AmbienteTest.h"
#include "DatiProva.h"

#include "app/Start.h"
#include "data/Traduzione.h"
#include "data/engine/Archivio.h"
#include "gui/TraduzioneControlli.h"
#include "ui_Start.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

// A lingua.db beside the program with two languages.
void CreaLingua(const TAmbienteTest& amb) {
    Sqlite3(amb.file("lingua.db"),
            "create table lingua (ITALIANO VARCHAR(100), INGLESE VARCHAR(100), \"FRANCESE\" VARCHAR(100));"
            "insert into lingua values ('Campi', 'Fields', 'Champs');"
            "insert into lingua values ('Esci', 'Exit', 'Sortir');"
            "insert into lingua values ('Esci', 'Quit', 'Quitter');"
            "insert into lingua values ('Premi su segnala', 'Press report', 'Appuyez');"
            "insert into lingua values ('Vuoto', '', '');"
            "insert into lingua values ('Caricamento in corso, attendere..', 'Loading, please wait..', 'Chargement..');"
            "insert into lingua values ('Tipo', 'Kind', 'Type');"
            "insert into lingua values ('Testo', 'Text', 'Texte');"
            "insert into lingua values ('Finestra', 'Window', 'Fenetre');");
    QVERIFY(QFileInfo::exists(amb.file("lingua.db")));
}

// A window with a caption, a label, a button, a group box with two items.
struct TFinestraProva {
    QDialog finestra;
    QLabel* etichetta = new QLabel(QStringLiteral("&Campi"), &finestra);
    QPushButton* bottone = new QPushButton(QStringLiteral("Esci"), &finestra);
    QGroupBox* gruppo = new QGroupBox(QStringLiteral("Tipo"), &finestra);
    QRadioButton* primo = new QRadioButton(QStringLiteral("Testo"), gruppo);
    QRadioButton* secondo = new QRadioButton(QStringLiteral("Percorso dell'archivio"), gruppo);
    TFinestraProva() { finestra.setWindowTitle(QStringLiteral("Finestra")); }
    QList<QObject*> controlli() { return {&finestra, etichetta, bottone, gruppo, primo, secondo}; }
    QStringList didascalie() const {
        return {finestra.windowTitle(), etichetta->text(), bottone->text(), gruppo->title(), primo->text(),
                secondo->text()};
    }
};

const QStringList Italiano = {"Finestra", "&Campi", "Esci", "Tipo", "Testo", "Percorso dell'archivio"};

}  // namespace

class TestTraduzione : public QObject {
    Q_OBJECT
private slots:
    void traduci_data();
    void traduci();
    void linguaNonColonna();
    void senzaLinguaDb();
    void senzaCampoLingua();
    void italianoOVuoto_data();
    void italianoOVuoto();
    void traduceOgniControllo();
    void splash();
};

void TestTraduzione::traduci_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("lingua");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("trovato") << "Campi" << "INGLESE" << "Fields";
    QTest::newRow("& iniziale tolta prima della ricerca") << "&Campi" << "INGLESE" << "Fields";
    QTest::newRow("& interna resta") << "Ca&mpi" << "INGLESE" << "Ca&mpi";
    QTest::newRow("non trovato: perde & e apostrofi") << "&Percorso dell'archivio" << "INGLESE" << "Percorso dellarchivio";
    QTest::newRow("apostrofi tolti prima della ricerca") << "Premi su 'segnala'" << "INGLESE" << "Press report";
    QTest::newRow("la prima riga vince") << "Esci" << "INGLESE" << "Exit";
    QTest::newRow("traduzione vuota") << "Vuoto" << "INGLESE" << "";
    QTest::newRow("altra lingua") << "Esci" << "FRANCESE" << "Sortir";
    QTest::newRow("lettere della lingua") << "Campi" << "inglese" << "Fields";
    QTest::newRow("virgolette") << "Di \"prova\"" << "INGLESE" << "Di \"prova\"";
}

void TestTraduzione::traduci() {
    QFETCH(QString, testo);
    QFETCH(QString, lingua);
    QFETCH(QString, atteso);
    TAmbienteTest amb;
    CreaLingua(amb);
    QCOMPARE(Traduci(testo, lingua), atteso);
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestTraduzione::linguaNonColonna() {
    TAmbienteTest amb;
    CreaLingua(amb);
    // The language is never part of the SQL text: a name that is no column,
    // however it is spelled, fails without running anything.
    for (const QString& l : {QStringLiteral("TEDESCO"), QStringLiteral("INGLESE from lingua; drop table lingua; --"),
                             QStringLiteral("ITALIANO\" , \"INGLESE")}) {
        QVERIFY_THROWS_EXCEPTION(ErroreArchivio, Traduci(QStringLiteral("Campi"), l));
    }
    QCOMPARE(Sqlite3(amb.file("lingua.db"), "select count(*) from lingua"), QStringLiteral("9"));

    // In a window the error ends the step and reaches the general error display once.
    ImpostaLingua(QStringLiteral("TEDESCO"));
    TFinestraProva f;
    amb.risposte.attendi(TTipoMessaggio::ErroreGenerale, QStringLiteral("TEDESCO"), true, true);
    TraduciControlli(f.controlli());
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(f.didascalie(), Italiano);
}

void TestTraduzione::senzaLinguaDb() {
    // Without lingua.db no setting is read: a missing LINGUA would show a box.
    TAmbienteTest amb;
    TFinestraProva f;
    TraduciControlli(f.controlli());
    ZR_VERIFICA_RISPOSTE(amb);
    QVERIFY(amb.risposte.mostrati.isEmpty());
    QCOMPARE(f.didascalie(), Italiano);
}

void TestTraduzione::senzaCampoLingua() {
    TAmbienteTest amb;
    CreaLingua(amb);
    TFinestraProva f;
    amb.risposte.attendi(TTipoMessaggio::Errore,
                         QStringLiteral("Errore di lettura in parametri di impostazione, campo: LINGUA"));
    TraduciControlli(f.controlli());
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(amb.risposte.mostrati.size(), 1);
    QCOMPARE(f.didascalie(), Italiano);
}

void TestTraduzione::italianoOVuoto_data() {
    QTest::addColumn<QString>("lingua");
    QTest::newRow("Italiano") << "Italiano";
    QTest::newRow("vuoto") << "";
}

void TestTraduzione::italianoOVuoto() {
    QFETCH(QString, lingua);
    TAmbienteTest amb;
    CreaLingua(amb);
    ImpostaLingua(lingua);
    TFinestraProva f;
    TraduciControlli(f.controlli());
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(f.didascalie(), Italiano);
}

void TestTraduzione::traduceOgniControllo() {
    TAmbienteTest amb;
    CreaLingua(amb);
    ImpostaLingua(QStringLiteral("INGLESE"));
    TFinestraProva f;
    TraduciControlli(f.controlli());
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(f.didascalie(),
             QStringList({"Window", "Fields", "Exit", "Kind", "Text", "Percorso dellarchivio"}));
}

void TestTraduzione::splash() {
    TAmbienteTest amb;
    {
        TfrmStart start(nullptr, nullptr);
        QCOMPARE(start.ui()->Label1->text(), QStringLiteral("Caricamento in corso, attendere.."));
    }
    CreaLingua(amb);
    ImpostaLingua(QStringLiteral("INGLESE"));
    TfrmStart start(nullptr, nullptr);
    QCOMPARE(start.ui()->Label1->text(), QStringLiteral("Loading, please wait.."));
    ZR_VERIFICA_RISPOSTE(amb);
    // The logo opens the maker's site.
    QTest::mouseClick(start.ui()->ImageLogo, Qt::LeftButton);
    QCOMPARE(amb.risposte.urlAperti.size(), 1);
    QCOMPARE(amb.risposte.urlAperti.first().toString(), QStringLiteral("https://www.vavori.example.com/"));
}

QTEST_MAIN(TestTraduzione)
#include "test_traduzione.moc"
