// The export window: a model composed by double clicks, stored and recalled,
// run with a period (an OR in the condition stays inside it), exported to a
// text file; fixed models refused; the period dialog's open ends.

#include "AmbienteTest.h"
#include "LavoroInCorso.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "tools/EsportazioneTabelle.h"
#include "tools/InputDate.h"
#include "ui_EsportazioneTabelle.h"
#include "ui_InputDate.h"

#include <QDir>
#include <QElapsedTimer>

namespace {

void DoppioClic(QListWidget* lista, const QString& testo) {
    const auto voci = lista->findItems(testo, Qt::MatchExactly);
    QVERIFY2(!voci.isEmpty(), qPrintable(testo));
    lista->setCurrentItem(voci.first());
    emit lista->itemDoubleClicked(voci.first());
}

void InserisciStorico(int id, const QString& nome, const QString& data) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5) VALUES (?, ?, ?, ?)")
                 .arg(a.nomeQualificato(Definizioni::Storico), Storico::Id, Storico::Nome, Storico::DataOggi, Storico::Quantita),
             {id, nome, data, id});
}

void InserisciCategorie(int quante) {
    TArchivio& a = TArchivio::corrente();
    TTransazione t(a);
    for (int i = 1; i <= quante; ++i)
        a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)").arg(a.nomeQualificato(Definizioni::Categorie), Cat::Id, Cat::Categoria),
                 {i, QStringLiteral("Categoria %1").arg(i)});
    t.conferma();
}

// The window on screen with a composition of its own, as the user types it.
void Componi(Ui::TfrmEsportazioneTabelle* ui, const QString& campi, const QString& tabelle, const QString& condizione = {}) {
    ui->MemoCampi->setPlainText(campi);
    ui->MemoDBSelected->setPlainText(tabelle);
    ui->MemoCondizione->setPlainText(condizione);
    ui->EditData->clear();
    ui->EditOrdinamento->clear();
}

// A history of many rows, whose export lasts long enough to be stopped halfway.
void StoricoGrande(int righe) {
    TArchivio& a = TArchivio::corrente();
    TTransazione t(a);
    a.esegui(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                            "INSERT INTO %2 (%3, %4, %5, %6) SELECT i, 'COD' || i, i % 7 + 1, '2004-01-01' FROM n")
                 .arg(righe)
                 .arg(a.nomeQualificato(Definizioni::Storico), Storico::Id, Storico::Nome, Storico::Quantita, Storico::DataOggi));
    t.conferma();
}

}  // namespace

class TestEsportazioneTabelle : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void fermaAMetaEsportazione_data();
    void fermaAMetaEsportazione();
    void esportazioneCheFallisceAMeta();
    void composizioneModelloEsecuzione();
    void modelloFissoRifiutato();
    void periodoApertoAiLati();
    void foglioSenzaProgrammaOIncompleto();
    void fileDelProgrammaESostituzione();
    void archivioConNomeInatteso();
    void fermaEscDuranteIlLavoro();
    void erroreDiLetturaUnaVolta();
};

void TestEsportazioneTabelle::composizioneModelloEsecuzione() {
    InserisciStorico(1, QStringLiteral("Olio"), QStringLiteral("2003-01-02"));
    InserisciStorico(2, QStringLiteral("Sale"), QStringLiteral("2004-05-06"));
    InserisciStorico(3, QStringLiteral("Vino"), QStringLiteral("2003-02-01"));
    TArchivio::corrente().scollegaTutte();
    TfrmEsportazioneTabelle f;
    auto* ui = f.ui();
    QCOMPARE(f.windowTitle(), QStringLiteral("Esportazione archivi in formato ASCII e EXCEL"));
    QVERIFY(!ui->bbExport->isEnabled());

    ui->LBTableName->setCurrentItem(ui->LBTableName->findItems(QStringLiteral("storico.db"), Qt::MatchExactly).first());
    QCOMPARE(ui->LBFieldName->item(0)->text(), QStringLiteral("*"));
    DoppioClic(ui->LBFieldName, Storico::Nome);
    DoppioClic(ui->LBFieldName, Storico::Quantita);
    QCOMPARE(ui->MemoCampi->toPlainText(), QStringLiteral("storico.db.\"NOME\", storico.db.\"QUANTITA\""));
    QCOMPARE(ui->MemoDBSelected->toPlainText(), QStringLiteral("storico.db"));
    ui->rbPeriodo->setChecked(true);
    DoppioClic(ui->LBFieldName, Storico::DataOggi);
    QCOMPARE(ui->EditData->text(), QStringLiteral("storico.db.\"DATAOGGI\""));
    ui->rbOrdinamento->setChecked(true);
    DoppioClic(ui->LBFieldName, Storico::Nome);
    ui->MemoCondizione->setPlainText(QStringLiteral("storico.db.\"NOME\" = \"Olio\" OR storico.db.\"NOME\" = \"Sale\""));
    ui->rbTesto->click();
    QDir(m_amb->cartella()).mkdir(QStringLiteral("uscita"));
    ui->EditEsportaPath->setText(m_amb->file(QStringLiteral("uscita")));
    ui->MemoFormattazione->setPlainText(QStringLiteral("LUNGHEZZA NOME=6\r\nFORMATO QUANTITA=%3d"));

    // Stored as a new model, with the 21-character period field whole.
    m_amb->risposte.testiDaInserire.enqueue(QStringLiteral("Storico per nome"));
    ui->Button3->click();
    QCOMPARE(ui->cbPreimpostati->count(), 1);
    QCOMPARE(Sqlite3(m_amb->file(Definizioni::TabExport), QStringLiteral("select PROGR, DESCR, CAMPODATA, txtOxls from tabexport")),
             QStringLiteral("1|Storico per nome|storico.db.\"DATAOGGI\"|0"));

    // Recalled after clearing, then run with a period: the OR stays inside it.
    ui->buttClear->click();
    QVERIFY(ui->MemoCampi->toPlainText().isEmpty());
    ui->cbPreimpostati->setCurrentIndex(0);
    emit ui->cbPreimpostati->activated(0);
    QCOMPARE(ui->EditData->text(), QStringLiteral("storico.db.\"DATAOGGI\""));
    QCOMPARE(ui->EditEsportaPath->text(), m_amb->file(QStringLiteral("uscita")));
    QCOMPARE(ui->EditNomeFEsportaz->text(), QStringLiteral("Export.txt"));
    QuandoSiApre([](QWidget* w) {
        auto* d = qobject_cast<TInputDate*>(w);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Definire un periodo"));
        d->ui()->EDdaData->setText(QStringLiteral("01/01/2003"));
        d->ui()->EDaData->setText(QStringLiteral("31/12/2003"));
        d->ui()->bttOK->click();
    }, &f);
    ui->buttEsegui->click();
    QVERIFY(f.testoSql().contains(QLatin1String("WHERE (storico.db.\"NOME\" = \"Olio\" OR storico.db.\"NOME\" = \"Sale\") AND "
                                               "storico.db.\"DATAOGGI\" >= \"01/01/2003\"")));
    QVERIFY(ui->bbExport->isEnabled());
    QCOMPARE(ui->DBGrid1->model()->rowCount(), 1);  // Sale is outside the period
    QCOMPARE(ui->DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), Storico::Nome);

    ui->bbExport->click();
    QFile file(m_amb->file(QStringLiteral("uscita/Export.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("Olio    1\r\n"));
    QCOMPARE(ui->DBGrid1->model()->rowCount(), 0);
    // A second press needs a new run.
    m_amb->risposte.attendi(TTipoMessaggio::Attenzione,
                            QStringLiteral("Tabella chiusa, scegliere un modello da esportare e premere su esegui per attivare la tabella."));
    ui->bbExport->click();
}

void TestEsportazioneTabelle::modelloFissoRifiutato() {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (1, 'Fisso', 1)")
                 .arg(a.nomeQualificato(Definizioni::TabExport), TabExport::Progr, TabExport::Descr, TabExport::Fisso));
    a.scollegaTutte();
    TfrmEsportazioneTabelle f;
    auto* ui = f.ui();
    m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Modello non impostato o non modificabile!"));
    ui->Button4->click();  // nothing chosen
    ui->cbPreimpostati->setCurrentIndex(0);
    emit ui->cbPreimpostati->activated(0);
    m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Modello non impostato o non modificabile!"));
    ui->Button4->click();
    m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Modello non impostato o non eliminabile!"));
    ui->buttElimina->click();
    m_amb->risposte.testiDaInserire.enqueue(QString());
    m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Il modello non è stato aggiunto!"));
    ui->Button3->click();
    QCOMPARE(Sqlite3(m_amb->file(Definizioni::TabExport), QStringLiteral("select count(*) from tabexport")), QStringLiteral("1"));
    // A statement that writes is refused with a message, and writes nothing.
    ui->MemoCampi->setPlainText(QStringLiteral("*"));
    ui->MemoDBSelected->setPlainText(QStringLiteral("cat.db; delete from cat.db"));
    ui->EditData->clear();
    m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Dati non corretti, correggere la situazione e ripetere l'operazione!"),
                            true, true);
    ui->buttEsegui->click();
    QVERIFY(!ui->bbExport->isEnabled());
}

void TestEsportazioneTabelle::periodoApertoAiLati() {
    TInputDate d;
    EseguiModale(&d, [&] {
        d.ui()->EDdaData->setFocus();
        d.ui()->EDaData->setFocus();  // leaves the first day empty
        d.ui()->bttOK->click();
    });
    QCOMPARE(d.dataInizio(), QStringLiteral("01/01/1000"));
    QCOMPARE(d.dataFine(), QStringLiteral("31/12/9999"));
}

void TestEsportazioneTabelle::foglioSenzaProgrammaOIncompleto() {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (1, 'Lungo', ?)")
                 .arg(a.nomeQualificato(Definizioni::TabExport), TabExport::Progr, TabExport::Descr, TabExport::Condizione),
             {QString(33000, QLatin1Char('c'))});
    a.scollegaTutte();
    TfrmEsportazioneTabelle f;
    auto* ui = f.ui();
    const QString cartella = m_amb->file(QStringLiteral("fogli"));
    f.impostaCartellaFogli(cartella);
    ui->rbExcel->click();
    ui->MemoDBSelected->setPlainText(QStringLiteral("tabexport.db"));

    // A workbook written whole that no program opens: the user is told where it is.
    ui->MemoCampi->setPlainText(QStringLiteral("tabexport.db.\"DESCR\""));
    ui->buttEsegui->click();
    m_amb->risposte.apriUrlRiesce = false;
    m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("nessun programma lo ha aperto"), true, true);
    ui->bbExport->click();
    QCOMPARE(m_amb->risposte.urlAperti.size(), 1);
    const QString primo = m_amb->risposte.urlAperti[0].toLocalFile();
    QVERIFY(QFileInfo::exists(primo));
    QVERIFY2(m_amb->risposte.mostrati.last().testo.contains(QDir::toNativeSeparators(primo)),
             qPrintable(m_amb->risposte.mostrati.last().testo));

    // A cell refused: the error names the model and the cell, then the
    // incomplete workbook is opened.
    m_amb->risposte.apriUrlRiesce = true;
    ui->MemoCampi->setPlainText(QStringLiteral("tabexport.db.\"DESCR\", tabexport.db.\"CONDIZIONE\""));
    ui->buttEsegui->click();
    ui->cbPreimpostati->setEditText(QStringLiteral("Prova lunga"));
    m_amb->risposte.attendi(TTipoMessaggio::Errore,
                            QStringLiteral("Il modulo d'esportazione Prova lunga ha causato un errore.\n"
                                           "L'errore presenta le seguenti coordinate:\nColonna: 2,\nRiga: 3,\n"
                                           "Nome del campo: CONDIZIONE."),
                            true, true);
    ui->bbExport->click();
    QCOMPARE(m_amb->risposte.urlAperti.size(), 2);
    QVERIFY(QFileInfo(m_amb->risposte.urlAperti[1].toLocalFile()).fileName().contains(QLatin1String("-incompleto-")));
    QCOMPARE(ui->DBGrid1->model()->rowCount(), 0);
    QCOMPARE(ui->PrgBar->value(), 0);
}

void TestEsportazioneTabelle::fileDelProgrammaESostituzione() {
    InserisciCategorie(2);
    TArchivio::corrente().scollegaTutte();
    TfrmEsportazioneTabelle f;
    auto* ui = f.ui();
    Componi(ui, QStringLiteral("cat.db.\"CATEGORIA\""), QStringLiteral("cat.db"));
    ui->rbTesto->click();
    ui->EditEsportaPath->setText(m_amb->cartella());
    ui->buttEsegui->click();

    // The program's own files are refused, the query stays open.
    for (const QString nome : {QStringLiteral("zerired"), QStringLiteral("help.html"), QStringLiteral("dberrori.log")}) {
        ui->EditNomeFEsportaz->setText(nome);
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("del programma"), true, true);
        ui->bbExport->click();
        QVERIFY2(!QFileInfo::exists(m_amb->file(nome)), qPrintable(nome));
    }

    // An existing file is replaced only when the user says so.
    QFile vecchio(m_amb->file(QStringLiteral("Export.txt")));
    QVERIFY(vecchio.open(QIODevice::WriteOnly));
    vecchio.write("vecchio");
    vecchio.close();
    ui->EditNomeFEsportaz->setText(QStringLiteral("Export.txt"));
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("esiste già"), false, true);
    ui->bbExport->click();
    QVERIFY(vecchio.open(QIODevice::ReadOnly));
    QCOMPARE(vecchio.readAll(), QByteArray("vecchio"));
    vecchio.close();
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("esiste già"), true, true);
    ui->bbExport->click();
    QVERIFY(vecchio.open(QIODevice::ReadOnly));
    QCOMPARE(vecchio.readAll(), QByteArray("Categoria 1\r\nCategoria 2\r\n").replace("\r\n", QByteArray(19, ' ') + "\r\n"));
}

void TestEsportazioneTabelle::archivioConNomeInatteso() {
    InserisciCategorie(1);
    TArchivio::corrente().scollegaTutte();
    // A user's copy whose name the engine cannot take as a table.
    QVERIFY(QFile::copy(m_amb->file(Definizioni::Prodotti), m_amb->file(QStringLiteral("prodotti-2003.db"))));
    TfrmEsportazioneTabelle f;
    auto* ui = f.ui();
    ui->LBTableName->setCurrentItem(ui->LBTableName->findItems(QStringLiteral("cat.db"), Qt::MatchExactly).first());
    QCOMPARE(ui->LBFieldName->count(), 3);
    QCOMPARE(ui->LBFieldName->item(1)->text(), Cat::Id);
    // The copy is listed; its field list holds a note that cannot be sent to the query.
    ui->LBTableName->setCurrentItem(ui->LBTableName->findItems(QStringLiteral("prodotti-2003.db"), Qt::MatchExactly).first());
    QCOMPARE(ui->LBFieldName->count(), 1);
    QVERIFY(ui->LBFieldName->item(0)->text().contains(QLatin1String("prodotti-2003.db")));
    QVERIFY(!(ui->LBFieldName->item(0)->flags() & Qt::ItemIsEnabled));
    emit ui->LBFieldName->itemDoubleClicked(ui->LBFieldName->item(0));
    QVERIFY(ui->MemoCampi->toPlainText().isEmpty());

    Componi(ui, QStringLiteral("*"), QStringLiteral("cat.db"));
    ui->buttEsegui->click();
    QVERIFY(ui->bbExport->isEnabled());
    QCOMPARE(ui->DBGrid1->model()->rowCount(), 1);
    QCOMPARE(ui->DBGrid1->model()->columnCount(), 2);
}

void TestEsportazioneTabelle::fermaEscDuranteIlLavoro() {
    InserisciCategorie(2000);
    TArchivio::corrente().scollegaTutte();
    TfrmEsportazioneTabelle f;
    auto* ui = f.ui();
    auto* ferma = f.findChild<QAbstractButton*>(QStringLiteral("sbFerma"));
    QVERIFY(ferma);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QVERIFY(!ferma->isVisible() || !ferma->isEnabled());

    // A run of billions of steps: Escape meanwhile keeps the window and the
    // composition, "Stop" ends the run with an empty grid.
    const QString campi = QStringLiteral("count(*)");
    const QString tabelle = QStringLiteral("cat.db a, cat.db b, cat.db c");
    Componi(ui, campi, tabelle);
    bool vistoInCorso = false;
    QTimer::singleShot(300, &f, [&] {
        vistoInCorso = ferma->isVisible() && ferma->isEnabled() && !ui->buttEsegui->isEnabled();
        QTest::keyClick(&f, Qt::Key_Escape);
        QTimer::singleShot(100, ferma, [ferma] { ferma->click(); });
    });
    QElapsedTimer orologio;
    orologio.start();
    ui->buttEsegui->click();
    QVERIFY2(orologio.elapsed() < 10000, qPrintable(QString::number(orologio.elapsed())));
    QVERIFY(vistoInCorso);
    QVERIFY(f.isVisible());
    QCOMPARE(ui->MemoCampi->toPlainText(), campi);
    QCOMPARE(ui->MemoDBSelected->toPlainText(), tabelle);
    QCOMPARE(ui->DBGrid1->model()->columnCount(), 0);
    QVERIFY(!ui->bbExport->isEnabled());
    QVERIFY(!ferma->isEnabled() || !ferma->isVisible());

    // The same for a text export of endless rows: nothing is written.
    Componi(ui, QStringLiteral("a.\"CATEGORIA\""), tabelle);
    ui->buttEsegui->click();
    QVERIFY(ui->bbExport->isEnabled());
    ui->rbTesto->click();
    ui->EditEsportaPath->setText(m_amb->cartella());
    QTimer::singleShot(300, &f, [&] {
        QTest::keyClick(&f, Qt::Key_Escape);
        QTimer::singleShot(100, ferma, [ferma] { ferma->click(); });
    });
    m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("interrotta"), true, true);
    orologio.restart();
    ui->bbExport->click();
    QVERIFY2(orologio.elapsed() < 10000, qPrintable(QString::number(orologio.elapsed())));
    QVERIFY(f.isVisible());
    QVERIFY(!QFileInfo::exists(m_amb->file(QStringLiteral("Export.txt"))));
    QCOMPARE(ui->PrgBar->value(), ui->PrgBar->minimum());
}

void TestEsportazioneTabelle::erroreDiLetturaUnaVolta() {
    InserisciCategorie(400);
    TArchivio::corrente().scollegaTutte();
    TfrmEsportazioneTabelle f;
    auto* ui = f.ui();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    Componi(ui, QStringLiteral("cat.db.\"CATEGORIA\""), QStringLiteral("cat.db"));
    ui->buttEsegui->click();
    QCOMPARE(ui->DBGrid1->model()->columnCount(), 1);

    // A statement that fails on its first row: one box, an empty grid without
    // the header of the failed query.
    Componi(ui, QStringLiteral("cat.db.\"ID\", abs(-9223372036854775807 - 1) AS X"), QStringLiteral("cat.db"));
    m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Dati non corretti"), true, true);
    ui->buttEsegui->click();
    QTest::qWait(100);
    QCOMPARE(ui->DBGrid1->model()->columnCount(), 0);
    QCOMPARE(ui->DBGrid1->model()->rowCount(), 0);
    QVERIFY(!ui->bbExport->isEnabled());

    // One that fails further down, when the grid reads on: one box as well.
    Componi(ui, QStringLiteral("cat.db.\"ID\", abs(-9223372036854775807 - (cat.db.\"ID\" > 300)) AS X"), QStringLiteral("cat.db"));
    ui->buttEsegui->click();
    QVERIFY(ui->bbExport->isEnabled());
    QCOMPARE(ui->DBGrid1->model()->columnCount(), 2);
    m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Errore durante la lettura dei dati"), true, true);
    for (int i = 0; i < 5; ++i) {
        ui->DBGrid1->scrollToBottom();
        QTest::qWait(50);
    }
    QCOMPARE(ui->DBGrid1->model()->columnCount(), 0);
    QVERIFY(!ui->bbExport->isEnabled());
}

void TestEsportazioneTabelle::fermaAMetaEsportazione_data() {
    QTest::addColumn<bool>("foglio");
    QTest::newRow("file di testo") << false;
    QTest::newRow("foglio di lavoro") << true;
}

void TestEsportazioneTabelle::fermaAMetaEsportazione() {
    // An export of 300,000 rows stopped once part of them is written: the box
    // counted them against the whole result, and no file (whole, half or
    // hidden) is left under any name; a file of the chosen name keeps its bytes.
    QFETCH(bool, foglio);
    StoricoGrande(300000);
    TArchivio::corrente().scollegaTutte();
    const QString uscita = m_amb->file(QStringLiteral("uscita/"));
    const QString fogli = m_amb->file(QStringLiteral("fogli/"));
    QDir().mkpath(uscita);
    QFile vecchio(uscita + QStringLiteral("Export.txt"));
    QVERIFY(vecchio.open(QIODevice::WriteOnly));
    vecchio.write("vecchio");
    vecchio.close();
    const auto prima = Contenuto(uscita);
    TfrmEsportazioneTabelle f;
    f.impostaCartellaFogli(fogli);
    auto* ui = f.ui();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    Componi(ui, QStringLiteral("*"), QStringLiteral("storico.db"));
    ui->buttEsegui->click();
    QVERIFY(ui->bbExport->isEnabled());
    if (foglio) {
        ui->rbExcel->click();
        ui->EdtNomeFoglioLavoro->setText(QStringLiteral("Storico"));
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("molti dati"), true, true);
    } else {
        ui->rbTesto->click();
        ui->EditEsportaPath->setText(uscita);
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("esiste già"), true, true);
    }
    m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Esportazione interrotta"), true, true);
    bool fermato = false;
    QString contati;
    FermaQuando(&f, [&](TFrmAvanzamento* box) {
        const int v = ui->PrgBar->value();
        contati = box->ui()->LabelAvanzamento->text();
        return v > 0 && v < ui->PrgBar->maximum() / 2;
    }, &fermato);
    ui->bbExport->click();
    QVERIFY(fermato);
    QVERIFY2(contati.endsWith(QStringLiteral(" di 300.000 record")), qPrintable(contati));
    QVERIFY(Contenuto(uscita) == prima);
    QVERIFY(Contenuto(fogli).isEmpty());
    QVERIFY(m_amb->risposte.urlAperti.isEmpty());
    QVERIFY(f.isVisible());
    QVERIFY(ui->buttEsegui->isEnabled());
}

void TestEsportazioneTabelle::esportazioneCheFallisceAMeta() {
    // A text export whose query fails after 300 rows: one box, in Italian,
    // and no file under its name nor a temporary one beside it.
    InserisciCategorie(400);
    TArchivio::corrente().scollegaTutte();
    const QString uscita = m_amb->file(QStringLiteral("uscita/"));
    QDir().mkpath(uscita);
    TfrmEsportazioneTabelle f;
    auto* ui = f.ui();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    Componi(ui, QStringLiteral("cat.db.\"ID\", abs(-9223372036854775807 - (cat.db.\"ID\" > 300)) AS X"), QStringLiteral("cat.db"));
    ui->buttEsegui->click();
    QVERIFY(ui->bbExport->isEnabled());
    ui->rbTesto->click();
    ui->EditEsportaPath->setText(uscita);
    m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Errore durante la lettura dei dati"), true, true);
    ui->bbExport->click();
    ZR_VERIFICA_RISPOSTE(*m_amb);
    QCOMPARE(m_amb->risposte.mostrati.size(), 1);
    QVERIFY(Contenuto(uscita).isEmpty());
}

QTEST_MAIN(TestEsportazioneTabelle)
#include "test_esportazionetabelle.moc"
