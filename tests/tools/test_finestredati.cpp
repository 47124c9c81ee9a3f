// The backup, restore and sending windows driven as a user would: their
// texts and counters, the questions and their order, the buttons that do
// nothing while a copy runs, the program's end after a restore.

#include "AmbienteTest.h"
#include "LavoroInCorso.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "tools/CopiaDati.h"
#include "tools/InvioDatiCasaMadre.h"
#include "tools/RecuperoDati.h"
#include "tools/SalvataggioDati.h"
#include "ui_InvioDatiCasaMadre.h"
#include "ui_RecuperoDati.h"
#include "ui_SalvataggioDati.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <csignal>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace CopiaDati;

namespace {

const QString DomandaSovrascrivi =
    QStringLiteral("Oggi è già stato effettuato un salvataggio dati, si intende sovrascrivere quello esistente?");
const QString DomandaRecupero = QStringLiteral(
    "Questa operazione di recupero dati andrà a sovrascrivere la situazione corrente, si intende continuare?");
const QString DomandaElimina = QStringLiteral(
    "Questa operazione eliminerà la cartella di backup selezionata e tutto il suo contenuto, si intende continuare?");
const QString AvvisoFine = QStringLiteral(
    "Dopo ogni recupero dati è necessario uscire dal programma e rientrare, la procedura si autoterminerà.");

QStringList Voci(QListWidget* l) {
    QStringList v;
    for (int i = 0; i < l->count(); ++i) v << l->item(i)->text();
    return v;
}

void Scegli(QListWidget* l, const QString& voce) {
    const auto trovate = l->findItems(voce, Qt::MatchExactly);
    QVERIFY2(!trovate.isEmpty(), qPrintable(voce));
    l->setCurrentItem(trovate.first());
}

void Descrizione(int id, const QString& testo) {
    TArchivio& a = TArchivio::corrente();
    const QString tab = a.nomeQualificato(Definizioni::Prodotti);
    a.esegui(QStringLiteral("DELETE FROM %1").arg(tab));
    a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)").arg(tab, Prodotti::Id, Prodotti::Descrizione), {id, testo});
}

// A history of many rows, so that copying it lasts long enough to be stopped
// halfway; it comes after the smaller tables in name order.
void StoricoGrande(int righe = 400000) {
    TArchivio& a = TArchivio::corrente();
    TTransazione t(a);
    a.esegui(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                            "INSERT INTO %2 (%3, %4, %5, %6, %7) SELECT i, 'COD' || i, "
                            "'Descrizione del movimento numero ' || i, i % 7 + 1, '2004-01-01' FROM n")
                 .arg(righe)
                 .arg(a.nomeQualificato(Definizioni::Storico), Storico::Id, Storico::Nome, Storico::Descrizione,
                      Storico::Quantita, Storico::DataOggi));
    t.conferma();
}

bool CopiandoStorico(TFrmAvanzamento* box) { return box->ui()->LabelOperazione->text().contains(Definizioni::Storico); }

}  // namespace

class TestFinestreDati : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void salvataggio();
    void salvataggioConTabellaBloccata();
    void recuperoEFineDelProgramma();
    void recuperoEliminaCartella();
    void invioPacchetto();
    void salvataggioFermato();
    void recuperoFermato();
    void pacchettoFermato();
};

void TestFinestreDati::salvataggio() {
    const QString c = m_amb->cartella();
    QFile f0(c + QStringLiteral("prodotti.px"));
    QVERIFY(f0.open(QIODevice::WriteOnly));
    f0.write("x");
    f0.close();
    TFrmSalvataggioDati f;
    QCOMPARE(f.windowTitle(), QStringLiteral("Salvataggio dati"));
    QVERIFY(QFileInfo(CartellaBackup(c)).isDir());
    QCOMPARE(f.ui()->EditPathSalvataggio->text(), QDir::toNativeSeparators(CartellaBackup(c) + QStringLiteral("20040315")));
    QCOMPARE(f.ui()->LabelCopiati->text(), QStringLiteral("0"));
    QVERIFY(f.ui()->LabelWork->isHidden() && f.ui()->LabelDone->isHidden());
    QCOMPARE(f.ui()->BitBtn2->toolTip(), QStringLiteral("Esegue salvataggio dati"));
    const int attesi = FileDaSalvare(c).size();
    // First run of the day: no question. Second: the question; No copies nothing.
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, DomandaSovrascrivi, false);
    bool fermi = false;
    EseguiModale(&f, [&] {
        QTimer::singleShot(0, &f, [&] {
            fermi = !f.ui()->BitBtn2->isEnabled() && !f.ui()->sbEsci->isEnabled();
            f.ui()->BitBtn2->click();  // a second run starts nothing
            f.close();                 // nor does the close box end the window
        });
        f.ui()->BitBtn2->click();
        QCOMPARE(f.ui()->LabelCopiati->text(), QString::number(attesi));
        QCOMPARE(f.ui()->LabelConErrore->text(), QStringLiteral("0"));
        QVERIFY(f.ui()->LabelDone->isVisible());
        f.ui()->BitBtn2->click();
        QCOMPARE(f.ui()->LabelCopiati->text(), QStringLiteral("0"));
        QVERIFY(f.ui()->LabelDone->isVisible());
        f.ui()->sbEsci->click();
    });
    ZR_VERIFICA_RISPOSTE(*m_amb);
    QVERIFY(fermi);
    QCOMPARE(FileCartellaGiorno(CartellaBackup(c) + QStringLiteral("20040315")), FileDaSalvare(c));
}

void TestFinestreDati::salvataggioConTabellaBloccata() {
    // Another program holds the history exclusively for half a minute: the
    // backup waits a few seconds for it, then counts it as not copied and
    // copies the rest.
    const QString c = m_amb->cartella();
    int canale[2];
    QCOMPARE(::pipe(canale), 0);
    const QByteArray storico = QFile::encodeName(c + Definizioni::Storico);
    const pid_t figlio = ::fork();
    if (figlio == 0) {
        sqlite3* h = nullptr;
        if (sqlite3_open_v2(storico.constData(), &h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
            sqlite3_exec(h, "BEGIN EXCLUSIVE; DELETE FROM storico", nullptr, nullptr, nullptr) != SQLITE_OK)
            ::_exit(2);
        (void)!::write(canale[1], "x", 1);
        ::sleep(30);
        ::_exit(0);
    }
    ::close(canale[1]);
    char pronto = 0;
    QCOMPARE(::read(canale[0], &pronto, 1), 1);
    ::close(canale[0]);

    const int attesi = FileDaSalvare(c).size();
    TFrmSalvataggioDati f;
    m_amb->risposte.attendi(TTipoMessaggio::Errore,
                            QStringLiteral("Errore durante la copia del file \"") + QDir::toNativeSeparators(c + Definizioni::Storico) + QLatin1Char('"'),
                            true, true);
    QElapsedTimer tempo;
    EseguiModale(&f, [&] {
        tempo.start();
        f.ui()->BitBtn2->click();
        f.ui()->sbEsci->click();
    });
    const qint64 ms = tempo.elapsed();
    ::kill(figlio, SIGKILL);
    ::waitpid(figlio, nullptr, 0);
    ZR_VERIFICA_RISPOSTE(*m_amb);
    QVERIFY2(ms < 10000, qPrintable(QString::number(ms)));
    QVERIFY2(m_amb->risposte.mostrati.last().testo.contains(QStringLiteral("bloccato da un altro programma")),
             qPrintable(m_amb->risposte.mostrati.last().testo));
    QCOMPARE(f.ui()->LabelConErrore->text(), QStringLiteral("1"));
    QCOMPARE(f.ui()->LabelCopiati->text(), QString::number(attesi - 1));
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    QVERIFY(!QFile::exists(giorno + Definizioni::Storico));
    QCOMPARE(Sqlite3(giorno + Definizioni::Prodotti, QStringLiteral("pragma integrity_check")), QStringLiteral("ok"));
}

void TestFinestreDati::recuperoEFineDelProgramma() {
    const QString c = m_amb->cartella();
    Descrizione(1, QStringLiteral("nel backup"));
    const QString giorno = CartellaBackup(c) + QStringLiteral("20031231/");
    QDir().mkpath(giorno);
    for (const QString& n : FileDaSalvare(c)) QCOMPARE(SalvaFile(&TArchivio::corrente(), c + n, giorno + n), QString());
    Descrizione(1, QStringLiteral("di oggi"));
    const int n = FileCartellaGiorno(giorno).size();

    TFrmRecuperoDati f;
    QCOMPARE(Voci(f.ui()->ListBoxCartelle), QStringList({"[.]", "[..]", "[20031231]"}));
    QCOMPARE(f.ui()->LabelDettaglioBackup->text(), QStringLiteral("Nessun dettaglio."));
    Scegli(f.ui()->ListBoxCartelle, QStringLiteral("[..]"));
    QVERIFY(!f.ui()->ButtonOk->isEnabled() && !f.ui()->ButtonElimina->isEnabled());
    QCOMPARE(f.ui()->LabelDettaglioBackup->text(), QStringLiteral("Nessun dettaglio"));
    Scegli(f.ui()->ListBoxCartelle, QStringLiteral("[20031231]"));
    QVERIFY(f.ui()->ButtonOk->isEnabled() && f.ui()->ButtonElimina->isEnabled());
    QCOMPARE(f.ui()->LabelDettaglioBackup->text(), QStringLiteral("Backup del 31/12/2003 - File presenti: %1").arg(n));

    m_amb->risposte.attendi(TTipoMessaggio::Domanda, DomandaRecupero, false);
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, DomandaRecupero, true);
    m_amb->risposte.attendi(TTipoMessaggio::Attenzione, AvvisoFine);
    EseguiModale(&f, [&] {
        f.ui()->ButtonOk->click();
        QVERIFY(f.ui()->LabelDone->isHidden());
        QVERIFY(!f.recuperoEseguito());
        f.ui()->ButtonOk->click();
        QCOMPARE(f.ui()->LabelCopiati->text(), QString::number(n));
        QCOMPARE(f.ui()->LabelConErrore->text(), QStringLiteral("0"));
        QVERIFY(f.ui()->LabelDone->isVisible());
        f.ui()->sbEsci->click();
    });
    ZR_VERIFICA_RISPOSTE(*m_amb);
    QVERIFY(f.recuperoEseguito());
    m_amb->riapriArchivio();
    TArchivio& a = TArchivio::corrente();
    QCOMPARE(a.valoreSingolo(QStringLiteral("SELECT %1 FROM %2").arg(Prodotti::Descrizione, a.nomeQualificato(Definizioni::Prodotti))).toString(),
             QStringLiteral("nel backup"));
}

void TestFinestreDati::recuperoEliminaCartella() {
    const QString c = m_amb->cartella();
    const QString b = CartellaBackup(c);
    QDir().mkpath(b + QStringLiteral("20040101"));
    QDir().mkpath(b + QStringLiteral("abc"));
    TFrmRecuperoDati f;
    // A hand-made folder with a short name is listed and described.
    Scegli(f.ui()->ListBoxCartelle, QStringLiteral("[abc]"));
    QCOMPARE(f.ui()->LabelDettaglioBackup->text(), QStringLiteral("Backup del //abc - File presenti: 0"));
    Scegli(f.ui()->ListBoxCartelle, QStringLiteral("[.]"));
    m_amb->risposte.attendi(TTipoMessaggio::Attenzione,
                            QStringLiteral("Nessuna cartella selezionata o cartella selezionata non valida."));
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, DomandaElimina, true);
    EseguiModale(&f, [&] {
        f.ui()->ButtonElimina->setEnabled(true);  // even when reached, "[.]" is refused by its name
        f.ui()->ButtonElimina->click();
        Scegli(f.ui()->ListBoxCartelle, QStringLiteral("[20040101]"));
        f.ui()->ButtonElimina->click();
        f.ui()->sbEsci->click();
    });
    ZR_VERIFICA_RISPOSTE(*m_amb);
    QVERIFY(QFileInfo(b).isDir());
    QVERIFY(!QFileInfo::exists(b + QStringLiteral("20040101")));
    QCOMPARE(Voci(f.ui()->ListBoxCartelle), QStringList({"[.]", "[..]", "[abc]"}));
    QVERIFY(f.ui()->ListBoxCartelle->selectedItems().isEmpty());
    QVERIFY(!f.ui()->ButtonOk->isEnabled() && !f.ui()->ButtonElimina->isEnabled());
    QCOMPARE(f.ui()->LabelDettaglioBackup->text(), QStringLiteral("Nessun dettaglio"));
    QVERIFY(!f.recuperoEseguito());
}

void TestFinestreDati::invioPacchetto() {
    const QString c = m_amb->cartella();
    const QString b = CartellaBackup(c);
    QDir().mkpath(b + QStringLiteral("20040101"));
    QDir().mkpath(b + QStringLiteral("20040102"));
    QFile::copy(c + Definizioni::Prodotti, b + QStringLiteral("20040101/") + Definizioni::Prodotti);
    QFile::copy(c + Definizioni::Storico, b + QStringLiteral("20040102/") + Definizioni::Storico);
    TFrmInvioDatiCasaMadre f;
    QCOMPARE(f.windowTitle(), QStringLiteral("Invio dati a Vavori Rarovazazo"));
    QVERIFY(!f.ui()->ButtonOk->isEnabled());
    QVERIFY(f.ui()->EditPathCompresso->text().isEmpty());
    const QString domanda = QStringLiteral("Si intende eseguire il compattamento della copia di backup selezionata?");
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, domanda, true);
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, domanda, true);
    EseguiModale(&f, [&] {
        Scegli(f.ui()->ListBoxCartelle, QStringLiteral("[20040101]"));
        QCOMPARE(f.ui()->EditPathCompresso->text(), QDir::toNativeSeparators(PercorsoPacchetto(c)));
        f.ui()->ButtonOk->click();
        QVERIFY(f.ui()->LabelDone->isVisible());
        Scegli(f.ui()->ListBoxCartelle, QStringLiteral("[..]"));
        QVERIFY(!f.ui()->ButtonOk->isEnabled());
        QVERIFY(f.ui()->EditPathCompresso->text().isEmpty());
        // Another day with "Non inviare dati": the package is replaced, no mail.
        Scegli(f.ui()->ListBoxCartelle, QStringLiteral("[20040102]"));
        f.ui()->cbNonInviare->setChecked(true);
        f.ui()->ButtonOk->click();
        f.ui()->sbEsci->click();
    });
    ZR_VERIFICA_RISPOSTE(*m_amb);
    QCOMPARE(m_amb->risposte.urlAperti.size(), 1);
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), PercorsoPacchetto(c)});
    p.waitForFinished(-1);
    QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), Definizioni::Storico);
}

void TestFinestreDati::salvataggioFermato() {
    // Today's folder has a copy; the books change and a new backup is stopped
    // while it copies the history, after the tables before it were copied:
    // the folder keeps its earlier copies byte for byte, with no partial file.
    const QString c = m_amb->cartella();
    StoricoGrande();
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040315/");
    QDir().mkpath(giorno);
    for (const QString& n : FileDaSalvare(c)) QCOMPARE(SalvaFile(&TArchivio::corrente(), c + n, giorno + n), QString());
    Descrizione(1, QStringLiteral("dopo la copia"));
    const auto prima = Contenuto(giorno);
    TFrmSalvataggioDati f;
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, DomandaSovrascrivi, true);
    m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Salvataggio dati interrotto"), true, true);
    bool fermato = false;
    EseguiModale(&f, [&] {
        FermaQuando(&f, CopiandoStorico, &fermato);
        f.ui()->BitBtn2->click();
        QVERIFY(f.ui()->LabelDone->isHidden());
        QVERIFY(f.ui()->BitBtn2->isEnabled());
        f.ui()->sbEsci->click();
    });
    ZR_VERIFICA_RISPOSTE(*m_amb);
    QVERIFY(fermato);
    QVERIFY(Contenuto(giorno) == prima);
}

void TestFinestreDati::recuperoFermato() {
    // A restore stopped while it stages the history: no table is replaced
    // (each file byte for byte as before), no staged copy or record is left,
    // and the store still reads today's data.
    const QString c = m_amb->cartella();
    StoricoGrande();
    const QString giorno = CartellaBackup(c) + QStringLiteral("20031231/");
    QDir().mkpath(giorno);
    for (const QString& n : FileDaSalvare(c)) QCOMPARE(SalvaFile(&TArchivio::corrente(), c + n, giorno + n), QString());
    Descrizione(1, QStringLiteral("di oggi"));
    const QStringList tabelle = {QStringLiteral("*.db")};
    const auto prima = Contenuto(c, tabelle);
    TFrmRecuperoDati f;
    Scegli(f.ui()->ListBoxCartelle, QStringLiteral("[20031231]"));
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, DomandaRecupero, true);
    m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Recupero dati interrotto: nessun archivio è stato sostituito."));
    bool fermato = false;
    EseguiModale(&f, [&] {
        FermaQuando(&f, CopiandoStorico, &fermato);
        f.ui()->ButtonOk->click();
        QVERIFY(f.ui()->LabelDone->isHidden());
        f.ui()->sbEsci->click();
    });
    ZR_VERIFICA_RISPOSTE(*m_amb);
    QVERIFY(fermato);
    QVERIFY(!f.recuperoEseguito());
    QVERIFY(Contenuto(c, tabelle) == prima);
    QVERIFY(Contenuto(c, {QStringLiteral(".*ripristino*"), QStringLiteral("zerired.recupero*")}).isEmpty());
    TArchivio& a = TArchivio::corrente();
    QCOMPARE(a.valoreSingolo(QStringLiteral("SELECT %1 FROM %2").arg(Prodotti::Descrizione, a.nomeQualificato(Definizioni::Prodotti))).toString(),
             QStringLiteral("di oggi"));
}

void TestFinestreDati::pacchettoFermato() {
    // A package stopped while libzip compresses: the previous package stays
    // byte for byte and no temporary archive is left beside it.
    const QString c = m_amb->cartella();
    StoricoGrande();
    const QString giorno = CartellaBackup(c) + QStringLiteral("20040101/");
    QDir().mkpath(giorno);
    for (const QString& n : FileDaSalvare(c)) QCOMPARE(SalvaFile(&TArchivio::corrente(), c + n, giorno + n), QString());
    QFile::remove(giorno + Definizioni::Storico);
    QCOMPARE(CreaPacchetto(giorno, PercorsoPacchetto(c)), QString());
    QVERIFY(QFile::copy(c + Definizioni::Storico, giorno + Definizioni::Storico));
    const auto prima = Contenuto(CartellaBackup(c));
    TFrmInvioDatiCasaMadre f;
    m_amb->risposte.attendi(TTipoMessaggio::Domanda,
                            QStringLiteral("Si intende eseguire il compattamento della copia di backup selezionata?"), true);
    m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("pacchetto dati interrotta"), true, true);
    bool fermato = false;
    EseguiModale(&f, [&] {
        Scegli(f.ui()->ListBoxCartelle, QStringLiteral("[20040101]"));
        FermaQuando(&f, [](TFrmAvanzamento* box) { return box->ui()->PrgBar->value() > 0; }, &fermato);
        f.ui()->ButtonOk->click();
        QVERIFY(f.ui()->LabelDone->isHidden());
        f.ui()->sbEsci->click();
    });
    ZR_VERIFICA_RISPOSTE(*m_amb);
    QVERIFY(fermato);
    QVERIFY(m_amb->risposte.urlAperti.isEmpty());
    QVERIFY(Contenuto(CartellaBackup(c)) == prima);
}

QTEST_MAIN(TestFinestreDati)
#include "test_finestredati.moc"
