// The expiry and quantity checks: the expiry rule, the run with its stop and
// its single transaction, the views, the state texts and the producer line.

#include "AmbienteTest.h"
#include "DatiProva.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/DettagliProdotto.h"
#include "movements/CtrlGiacenze.h"
#include "movements/CtrlQta.h"
#include "movements/Quantita.h"
#include "movements/Scadenze.h"
#include "ui_CtrlGiacenze.h"
#include "ui_CtrlQta.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSqlRecord>
#include <QtTest>

namespace {

struct TProdotto {
    int id;
    const char* nome;
    QVariant quantita;
    QVariant qtaAlert;
    QVariant giacenzaMax;
    QVariant dataOggi;  // ISO text or null
    QVariant idProduttore = QVariant();
};

void Inserisci(const QVector<TProdotto>& prodotti) {
    TTransazione t(TArchivio::corrente());
    for (const TProdotto& p : prodotti)
        InserisciProdotto({.id = p.id,
                           .nome = QString::fromUtf8(p.nome),
                           .descrizione = QStringLiteral("Descrizione di %1").arg(QString::fromUtf8(p.nome)),
                           .quantita = p.quantita,
                           .prezzo = 2.5,
                           .idProduttore = p.idProduttore,
                           .dataOggi = p.dataOggi,
                           .giacenzaMax = p.giacenzaMax,
                           .qtaAlert = p.qtaAlert});
    t.conferma();
}

QStringList Nomi(TModelloElenco* m) {
    QStringList l;
    for (int i = 0; i < m->conteggio(); ++i) l << m->valore(i, QStringLiteral("NOME")).toString();
    return l;
}

// SCADUTOTEMP of every product as sqlite3 reads the file: "nome=valore".
QString ScadutiSulFile(const TAmbienteTest& amb) {
    return Sqlite3(amb.file(QStringLiteral("prodotti.db")),
                   QStringLiteral("select group_concat(NOME || '=' || ifnull(SCADUTOTEMP, '-'), ' ') from "
                                  "(select * from prodotti order by ID)"));
}

// The fixture of the expiry check: check date 11/03/2004.
const QVector<TProdotto> ProdottiScadenze = {
    {1, "CAFFE", 3, 5, 10, QStringLiteral("2004-03-01"), 1},   // 1/3 + 10 = 11/3: expired
    {2, "LATTE", 0, 3, 11, QStringLiteral("2004-03-01"), 99},  // 12/3: not yet
    {3, "PANE", 1, 1, 0, QStringLiteral("2004-03-11"), QVariant()},  // 0 days, entered that day: expired
    {4, "BISCOTTI", 2, 1, 5000, QVariant(), QVariant()},       // no entry date: always expired
    {5, "MIELE", 4, 1, 365, QStringLiteral("2004-01-15")},     // in time
};

}  // namespace

class TestControlli : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void regolaDiScadenza_data() {
        QTest::addColumn<QVariant>("entrata");
        QTest::addColumn<int>("giorni");
        QTest::addColumn<QDate>("controllo");
        QTest::addColumn<bool>("scaduto");
        QTest::addColumn<qint64>("rimanenti");
        const QVariant marzo1 = QStringLiteral("2004-03-01");
        QTest::newRow("1/3 + 10 il 10/3: no") << marzo1 << 10 << QDate(2004, 3, 10) << false << qint64(1);
        QTest::newRow("1/3 + 10 l'11/3: si") << marzo1 << 10 << QDate(2004, 3, 11) << true << qint64(0);
        QTest::newRow("1/3 + 10 dopo: si") << marzo1 << 10 << QDate(2004, 4, 1) << true << qint64(-21);
        QTest::newRow("0 giorni, giorno d'entrata") << marzo1 << 0 << QDate(2004, 3, 1) << true << qint64(0);
        QTest::newRow("0 giorni, giorno prima") << marzo1 << 0 << QDate(2004, 2, 29) << false << qint64(1);
        // An empty date counts as 30/12/1899, 38047 days before 1/3/2004.
        QTest::newRow("senza data d'entrata") << QVariant() << 30000 << QDate(2004, 3, 1) << true << qint64(30000 - 38047);
    }
    void regolaDiScadenza() {
        QFETCH(QVariant, entrata);
        QFETCH(int, giorni);
        QFETCH(QDate, controllo);
        QFETCH(bool, scaduto);
        QFETCH(qint64, rimanenti);
        const QDate e = DataEntrataProdotto(entrata);
        QCOMPARE(ProdottoScaduto(e, giorni, controllo), scaduto);
        QCOMPARE(GiorniRimanenti(e, giorni, controllo), rimanenti);
        // The run applies the same rule to the stored row.
        Inserisci({{1, "X", 1, 1, giorni, entrata}});
        const TEsitoScadenze esito =
            ControllaScadenze(TArchivio::corrente(), QString(), controllo, [](int, int) { return true; });
        QCOMPARE(esito.scaduti, scaduto ? 1 : 0);
        QCOMPARE(esito.trovati, 1);
        QCOMPARE(ScadutiSulFile(*m_amb), QStringLiteral("X=%1").arg(scaduto ? 1 : 0));
    }

    // Values stored by another program or by hand are read as the program
    // reads the fields: dates in other forms or not dates at all, days with
    // decimals or as text. Check date 11/03/2004; 5000 days from the empty
    // date (1899) are long past, 5000 days from 2004 are not.
    void valoriInsolitiSulFile_data() {
        QTest::addColumn<QVariant>("entrata");
        QTest::addColumn<QVariant>("giorni");
        QTest::addColumn<int>("scaduto");
        const QVariant marzo1 = QStringLiteral("2004-03-01");
        QTest::newRow("data g/m/aaaa") << QVariant(QStringLiteral("1/3/2004")) << QVariant(10) << 1;
        QTest::newRow("data con l'ora") << QVariant(QStringLiteral("2004-03-01 10:30")) << QVariant(11) << 0;
        QTest::newRow("data seguita da un accento") << QVariant(QStringLiteral("2004-03-01è")) << QVariant(11) << 0;
        QTest::newRow("accento prima della data") << QVariant(QStringLiteral("è2004-03-01")) << QVariant(5000) << 1;
        QTest::newRow("data impossibile") << QVariant(QStringLiteral("2004-02-30")) << QVariant(5000) << 1;
        QTest::newRow("testo qualunque") << QVariant(QStringLiteral("ieri")) << QVariant(5000) << 1;
        QTest::newRow("data scritta come numero") << QVariant(qlonglong(20040301)) << QVariant(5000) << 1;
        QTest::newRow("giorni con decimali arrotondati") << marzo1 << QVariant(10.6) << 0;
        QTest::newRow("giorni con decimali, per difetto") << marzo1 << QVariant(10.4) << 1;
        QTest::newRow("giorni come testo") << marzo1 << QVariant(QStringLiteral("dieci")) << 1;
        QTest::newRow("giorni vuoti") << marzo1 << QVariant() << 1;
    }
    void valoriInsolitiSulFile() {
        QFETCH(QVariant, entrata);
        QFETCH(QVariant, giorni);
        QFETCH(int, scaduto);
        Inserisci({{1, "X", 1, 1, 0, QVariant()}});
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("update %1 set DATAOGGI = ?, GIACENZAMAX = ?").arg(a.nomeQualificato(QStringLiteral("prodotti"))),
                 {entrata, giorni});
        const TEsitoScadenze esito = ControllaScadenze(a, QString(), QDate(2004, 3, 11), [](int, int) { return true; });
        QCOMPARE(esito.scaduti, scaduto);
        QCOMPARE(ScadutiSulFile(*m_amb), QStringLiteral("X=%1").arg(scaduto));
    }

    // A run longer than one group of writes, stopped in a later group or not
    // at all, with or without rows between the listed ones: exactly the
    // products handled are written. Odd IDs expire on 11/03/2004, even ones not.
    void fermataNeiGruppi_data() {
        QTest::addColumn<QString>("condizione");
        QTest::addColumn<int>("fermaA");  // the product the callback stops at, 0 for none
        QTest::addColumn<int>("trattati");
        QTest::addColumn<int>("ultimoScritto");  // the largest ID written
        QTest::addColumn<int>("scaduti");
        QTest::newRow("tutti, fino in fondo") << QString() << 0 << 9000 << 9000 << 4500;
        QTest::newRow("tutti, fermato nel terzo gruppo") << QString() << 4321 << 4320 << 4320 << 2160;
        QTest::newRow("fermato al primo") << QString() << 1 << 0 << 0 << 0;
        QTest::newRow("dispari, fermato nel secondo gruppo") << QStringLiteral("ID % 2 = 1") << 3001 << 3000 << 5999 << 3000;
        QTest::newRow("pari, fino in fondo") << QStringLiteral("ID % 2 = 0") << 0 << 4500 << 9000 << 0;
    }
    void fermataNeiGruppi() {
        QFETCH(QString, condizione);
        QFETCH(int, fermaA);
        QFETCH(int, trattati);
        QFETCH(int, ultimoScritto);
        QFETCH(int, scaduti);
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 9000) "
                                "insert into %1 (ID, NOME, GIACENZAMAX, DATAOGGI) "
                                "select i, 'P' || i, case when i % 2 = 1 then 0 else 100000 end, '2004-03-01' from n")
                     .arg(a.nomeQualificato(QStringLiteral("prodotti"))));
        int atteso = 1;
        bool inOrdine = true;
        const TEsitoScadenze esito = ControllaScadenze(a, condizione, QDate(2004, 3, 11), [&](int i, int) {
            inOrdine = inOrdine && i == atteso++;
            return i != fermaA;
        });
        QVERIFY(inOrdine);
        QCOMPARE(esito.trattati, trattati);
        QCOMPARE(esito.scaduti, scaduti);
        QCOMPARE(esito.fermato, fermaA != 0);
        const QString file = m_amb->file(QStringLiteral("prodotti.db"));
        QCOMPARE(Sqlite3(file, QStringLiteral("select count(*) from prodotti where SCADUTOTEMP is not null")).toInt(), trattati);
        QCOMPARE(Sqlite3(file, QStringLiteral("select max(ID) from prodotti where SCADUTOTEMP is not null")).toInt(),
                 ultimoScritto);
        QCOMPARE(Sqlite3(file, QStringLiteral("select count(*) from prodotti where SCADUTOTEMP = 1")).toInt(), scaduti);
        QVERIFY(!a.inTransazione());
    }

    // Both check grids at the window's default size: no row numbers, every
    // column inside the grid (the last one not cut), no horizontal scroll bar.
    void griglieNellaFinestra() {
        Inserisci(ProdottiScadenze);
        const auto verifica = [](QDialog& f, QTableView* griglia, const QString& ultima) {
            Mostra(f);
            QVERIFY(griglia->verticalHeader()->isHidden());
            QCOMPARE(griglia->horizontalScrollBar()->maximum(), 0);
            const QHeaderView* h = griglia->horizontalHeader();
            const int ultimaLogica = h->logicalIndex(h->count() - 1 - h->hiddenSectionCount());
            QCOMPARE(griglia->model()->headerData(ultimaLogica, Qt::Horizontal).toString(), ultima);
            QVERIFY(h->sectionViewportPosition(ultimaLogica) + h->sectionSize(ultimaLogica) <=
                    griglia->viewport()->width());
            QVERIFY(h->sectionSize(ultimaLogica) >= h->fontMetrics().horizontalAdvance(ultima));
        };
        {
            TFrmCtrlGiacenze f(nullptr);
            verifica(f, f.ui()->DBGrid1, QStringLiteral("Quantità"));
        }
        {
            TFrmCtrlQta f(nullptr);
            verifica(f, f.ui()->DBGrid1, QStringLiteral("Q.ta Alert"));
        }
    }

    void controlloCompletoEVisioni() {
        Inserisci(ProdottiScadenze);
        InserisciProduttore(1, QStringLiteral("Mario"), QStringLiteral("Rossi"));
        TFrmCtrlGiacenze f(nullptr);
        Mostra(f);
        Ui::TFrmCtrlGiacenze* ui = f.ui();
        QCOMPARE(f.windowTitle(), QStringLiteral("Gestione controllo scadenze"));
        QCOMPARE(ui->EdData->text(), QStringLiteral("15/03/2004"));  // the test clock's today
        QCOMPARE(ui->LabNumProdotti->text(), QStringLiteral("Prodotti trovati: 5"));
        QVERIFY(!ui->SbFermaControllo->isEnabled());
        // Before any run nothing is marked: the first row is in time for 15/3 - 4 days.
        QCOMPARE(ui->LabStato->text(), QStringLiteral("GIACENZA DI -4 GIORNI"));
        QCOMPARE(ui->LabDettagli->text(), QStringLiteral("Dettagli: Mario Rossi"));
        QCOMPARE(ui->Dettagli->box(Prodotti::Nome)->text(), QStringLiteral("CAFFE"));

        ui->EdData->setText(QStringLiteral("11/03/2004"));
        // The seven controls are disabled and "Stop" enabled while it runs.
        bool statoDuranteIlGiro = false;
        QTimer sonda;
        connect(&sonda, &QTimer::timeout, [&] {
            statoDuranteIlGiro = !ui->ButtonControlla->isEnabled() && !ui->BTSstampa->isEnabled() &&
                                 !ui->rgVisual->isEnabled() && !ui->sbEsci->isEnabled() && !ui->DBGrid1->isEnabled() &&
                                 !ui->DBNavigator1->isEnabled() && !ui->GroupBox1->isEnabled() &&
                                 ui->SbFermaControllo->isEnabled();
            sonda.stop();
        });
        sonda.start(0);
        ui->ButtonControlla->click();
        QVERIFY(statoDuranteIlGiro);
        QVERIFY(ui->ButtonControlla->isEnabled() && ui->DBGrid1->isEnabled() && !ui->SbFermaControllo->isEnabled());
        QCOMPARE(ui->LabNumProdotti->text(), QStringLiteral("Prodotti trovati: 5, fuori giacenza: 3"));
        QCOMPARE(ui->LabelAvanzamento->text(), QStringLiteral("Avanzamento: 5 di 5"));
        QCOMPARE(ScadutiSulFile(*m_amb), QStringLiteral("CAFFE=1 LATTE=0 PANE=1 BISCOTTI=1 MIELE=0"));
        QCOMPARE(ui->LabStato->text(), QStringLiteral("DA RENDERE"));
        QCOMPARE(ui->LabStato->palette().color(QPalette::Window), QColor(255, 255, 0));

        // "Scaduti" lists exactly the products counted "fuori giacenza".
        ui->rgVisual1->click();
        QCOMPARE(Nomi(f.QueryListaProdotti()), (QStringList{QStringLiteral("CAFFE"), QStringLiteral("PANE"), QStringLiteral("BISCOTTI")}));
        QCOMPARE(ui->LabNumProdotti->text(), QStringLiteral("Prodotti trovati: 3"));
        ui->rgVisual2->click();
        QCOMPARE(Nomi(f.QueryListaProdotti()), (QStringList{QStringLiteral("LATTE"), QStringLiteral("MIELE")}));
        // In time: days left on a bright green background; a producer that
        // does not exist leaves the line blank after "Dettagli: ".
        QCOMPARE(ui->LabStato->text(), QStringLiteral("GIACENZA DI 1 GIORNI"));
        QCOMPARE(ui->LabStato->palette().color(QPalette::Window), QColor(0, 255, 0));
        QCOMPARE(ui->LabDettagli->text(), QStringLiteral("Dettagli:  "));
        ui->nbNext->click();
        QCOMPARE(ui->Dettagli->box(Prodotti::Nome)->text(), QStringLiteral("MIELE"));
        QCOMPARE(ui->Dettagli->box(Prodotti::DataOggi)->text(), QStringLiteral("15/01/2004"));
        QCOMPARE(ui->LabDettagli->text(), QStringLiteral("Dettagli:"));  // no producer
        QVERIFY(!ui->nbNext->isEnabled() && ui->nbPrior->isEnabled() && !ui->nbPost->isEnabled());

        // A product never evaluated is listed under "Tutti" only.
        Inserisci({{6, "NUOVO", 1, 1, 1, QStringLiteral("2004-03-01")}});
        ui->rgVisual1->click();
        QVERIFY(!Nomi(f.QueryListaProdotti()).contains(QStringLiteral("NUOVO")));
        ui->rgVisual2->click();
        QVERIFY(!Nomi(f.QueryListaProdotti()).contains(QStringLiteral("NUOVO")));
        ui->rgVisual0->click();
        QCOMPARE(ui->LabNumProdotti->text(), QStringLiteral("Prodotti trovati: 6"));
    }

    // A run from a view evaluates only the products listed: those between
    // them in the table keep their mark even when the new date would change it.
    void controlloDellaSolaVisione() {
        Inserisci(ProdottiScadenze);
        TFrmCtrlGiacenze f(nullptr);
        Mostra(f);
        Ui::TFrmCtrlGiacenze* ui = f.ui();
        ui->EdData->setText(QStringLiteral("11/03/2004"));
        ui->ButtonControlla->click();
        QCOMPARE(ScadutiSulFile(*m_amb), QStringLiteral("CAFFE=1 LATTE=0 PANE=1 BISCOTTI=1 MIELE=0"));
        ui->rgVisual2->click();
        QCOMPARE(Nomi(f.QueryListaProdotti()), (QStringList{QStringLiteral("LATTE"), QStringLiteral("MIELE")}));
        // On 1/1/2004 PANE (entered 11/3/2004) would be in time.
        ui->EdData->setText(QStringLiteral("01/01/2004"));
        ui->ButtonControlla->click();
        QCOMPARE(ui->LabNumProdotti->text(), QStringLiteral("Prodotti trovati: 2, fuori giacenza: 0"));
        QCOMPARE(ScadutiSulFile(*m_amb), QStringLiteral("CAFFE=1 LATTE=0 PANE=1 BISCOTTI=1 MIELE=0"));
        ui->rgVisual1->click();
        QCOMPARE(Nomi(f.QueryListaProdotti()), (QStringList{QStringLiteral("CAFFE"), QStringLiteral("PANE"), QStringLiteral("BISCOTTI")}));
        ui->EdData->setText(QStringLiteral("01/01/2004"));
        ui->ButtonControlla->click();
        QCOMPARE(ui->LabNumProdotti->text(), QStringLiteral("Prodotti trovati: 3, fuori giacenza: 1"));
        QCOMPARE(ScadutiSulFile(*m_amb), QStringLiteral("CAFFE=0 LATTE=0 PANE=0 BISCOTTI=1 MIELE=0"));
    }

    void stopAMetaGiro() {
        QVector<TProdotto> molti;
        for (int i = 1; i <= 400; ++i) molti.append({i, "P", 1, 1, i % 2 ? 0 : 100000, QStringLiteral("2004-03-01")});
        Inserisci(molti);
        TArchivio::corrente().esegui(QStringLiteral("update %1 set NOME = 'P' || ID")
                                         .arg(TArchivio::corrente().nomeQualificato(QStringLiteral("prodotti"))));
        TFrmCtrlGiacenze f(nullptr);
        Mostra(f);
        Ui::TFrmCtrlGiacenze* ui = f.ui();
        // "Stop" is pressed by the user once the run has handed control to
        // the event loop a few times; a close asked for meanwhile waits.
        int giri = 0;
        bool chiusaDurante = false;
        QTimer utente;
        connect(&utente, &QTimer::timeout, [&] {
            if (++giri == 2) f.close();
            if (giri == 3) chiusaDurante = !f.isVisible();
            if (giri == 5) {
                QTest::mouseClick(ui->SbFermaControllo, Qt::LeftButton);
                utente.stop();
            }
        });
        utente.start(0);
        ui->ButtonControlla->click();
        QVERIFY(!chiusaDurante);
        const QString riepilogo = ui->LabNumProdotti->text();
        QVERIFY2(riepilogo.startsWith(QLatin1String("Prodotti trovati: 400, fuori giacenza: ")), qPrintable(riepilogo));
        const int scaduti = riepilogo.section(QLatin1String(": "), 2).toInt();
        // Handled products were written (odd IDs expired), the others kept
        // their empty value; the summary counts the expired among the handled.
        const QString file = m_amb->file(QStringLiteral("prodotti.db"));
        const int trattati = Sqlite3(file, QStringLiteral("select count(*) from prodotti where SCADUTOTEMP is not null")).toInt();
        QVERIFY2(trattati > 0 && trattati < 400, qPrintable(QString::number(trattati)));
        QCOMPARE(Sqlite3(file, QStringLiteral("select max(ID) from prodotti where SCADUTOTEMP is not null")).toInt(), trattati);
        QCOMPARE(Sqlite3(file, QStringLiteral("select count(*) from prodotti where SCADUTOTEMP = 1")).toInt(), scaduti);
        QCOMPARE(Sqlite3(file, QStringLiteral("select count(*) from prodotti where SCADUTOTEMP = 1 and ID % 2 = 0")).toInt(), 0);
        QCOMPARE(scaduti, (trattati + 1) / 2);
        // The run committed: no transaction left open, and the close asked
        // for during the run takes effect now.
        QVERIFY(!TArchivio::corrente().inTransazione());
        QTRY_VERIFY(!f.isVisible());
    }

    void senzaDataNessunControllo() {
        Inserisci(ProdottiScadenze);
        TFrmCtrlGiacenze f(nullptr);
        Mostra(f);
        f.ui()->EdData->clear();
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Nessuna data definita"));
        f.ui()->ButtonControlla->click();
        QCOMPARE(ScadutiSulFile(*m_amb), QStringLiteral("CAFFE=- LATTE=- PANE=- BISCOTTI=- MIELE=-"));
        QVERIFY(f.ui()->ButtonControlla->isEnabled());
        QCOMPARE(f.ui()->LabNumProdotti->text(), QStringLiteral("Prodotti trovati: 5"));
    }

    void dataCompletataAllUscita() {
        TFrmCtrlGiacenze f(nullptr);
        Mostra(f);
        QLineEdit* ed = f.ui()->EdData;
        ed->setFocus();
        ed->setText(QStringLiteral("1103"));
        f.ui()->DBGrid1->setFocus();
        QCOMPARE(ed->text(), QStringLiteral("11/03/2004"));
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Data non corretta!"));
        ed->setFocus();
        ed->setText(QStringLiteral("31/02"));
        f.ui()->DBGrid1->setFocus();
        QCOMPARE(ed->text(), QStringLiteral("31/02"));
        QTRY_VERIFY(ed->hasFocus());
    }

    void statiDiQuantita_data() {
        QTest::addColumn<int>("quantita");
        QTest::addColumn<int>("alert");
        QTest::addColumn<QString>("stato");
        QTest::addColumn<bool>("esubero");
        QTest::newRow("3 su 5") << 3 << 5 << "DA ORDINARE Min. 2 Pezzi (In magazzino 3 - Q.tà alert 5)" << false;
        QTest::newRow("5 su 5") << 5 << 5 << "DA ORDINARE Min. 0 Pezzi (In magazzino 5 - Q.tà alert 5)" << false;
        QTest::newRow("8 su 5") << 8 << 5 << "IN ESUBERO + 3 pezzi (In magazzino 8 - Q.tà alert 5)" << true;
        QTest::newRow("0 su 3") << 0 << 3 << "DA ORDINARE Min. 3 Pezzi (In magazzino 0 - Q.tà alert 3)" << false;
        QTest::newRow("-2 su 0") << -2 << 0 << "DA ORDINARE Min. 2 Pezzi (In magazzino -2 - Q.tà alert 0)" << false;
    }
    void statiDiQuantita() {
        QFETCH(int, quantita);
        QFETCH(int, alert);
        QFETCH(QString, stato);
        QFETCH(bool, esubero);
        QCOMPARE(TestoStatoQuantita(quantita, alert), stato);
        QCOMPARE(QuantitaInEsubero(quantita, alert), esubero);
    }

    void visioniDiQuantita() {
        Inserisci({{1, "TRE", 3, 5, 1, QVariant()},
                   {2, "CINQUE", 5, 5, 1, QVariant()},
                   {3, "OTTO", 8, 5, 1, QVariant()},
                   {4, "ZERO", 0, 3, 1, QVariant()},
                   {5, "MENODUE", -2, 0, 1, QVariant()},
                   {6, "SENZAALERT", 4, QVariant(), 1, QVariant()},
                   {7, "ZEROSENZA", 0, QVariant(), 1, QVariant()}});
        TFrmCtrlQta f(nullptr);
        Mostra(f);
        Ui::TFrmCtrlQta* ui = f.ui();
        QCOMPARE(f.windowTitle(), QStringLiteral("Gestione controllo quantità"));
        QCOMPARE(Nomi(f.QueryListaProdotti()), (QStringList{QStringLiteral("TRE"), QStringLiteral("CINQUE")}));
        QCOMPARE(ui->LabNumProdotti->text(), QStringLiteral("Prodotti trovati: 2"));
        QCOMPARE(ui->LabStato->text(), QStringLiteral("DA ORDINARE Min. 2 Pezzi (In magazzino 3 - Q.tà alert 5)"));
        QCOMPARE(ui->LabStato->palette().color(QPalette::Window), QColor(255, 255, 0));

        const QList<QRadioButton*> voci = {ui->rgVisual0, ui->rgVisual1, ui->rgVisual2, ui->rgVisual3, ui->rgVisual4};
        const QList<QStringList> attesi = {
            {QStringLiteral("TRE"), QStringLiteral("CINQUE")},
            {QStringLiteral("ZERO"), QStringLiteral("ZEROSENZA")},
            {QStringLiteral("OTTO")},
            {QStringLiteral("MENODUE")},
            {QStringLiteral("TRE"), QStringLiteral("CINQUE"), QStringLiteral("OTTO"), QStringLiteral("ZERO"),
             QStringLiteral("MENODUE"), QStringLiteral("SENZAALERT"), QStringLiteral("ZEROSENZA")}};
        for (int i = 0; i < voci.size(); ++i) {
            voci[i]->click();
            QCOMPARE(Nomi(f.QueryListaProdotti()), attesi[i]);
            QCOMPARE(ui->LabNumProdotti->text(), QStringLiteral("Prodotti trovati: %1").arg(attesi[i].size()));
        }
        // "Giacenti": in excess on bright green.
        ui->rgVisual2->click();
        QCOMPARE(ui->LabStato->text(), QStringLiteral("IN ESUBERO + 3 pezzi (In magazzino 8 - Q.tà alert 5)"));
        QCOMPARE(ui->LabStato->palette().color(QPalette::Window), QColor(0, 255, 0));
        // An empty alert quantity reads as 0.
        ui->rgVisual4->click();
        for (int k = 0; k < 5; ++k) ui->nbNext->click();
        QCOMPARE(ui->Dettagli->box(Prodotti::Nome)->text(), QStringLiteral("SENZAALERT"));
        QCOMPARE(ui->LabStato->text(), QStringLiteral("IN ESUBERO + 4 pezzi (In magazzino 4 - Q.tà alert 0)"));
        // An empty list: the state keeps its text, the details read "Dettagli:".
        TArchivio::corrente().esegui(QStringLiteral("delete from %1 where QUANTITA < 0")
                                         .arg(TArchivio::corrente().nomeQualificato(QStringLiteral("prodotti"))));
        ui->rgVisual3->click();
        QCOMPARE(ui->LabNumProdotti->text(), QStringLiteral("Prodotti trovati: 0"));
        QCOMPARE(ui->LabStato->text(), QStringLiteral("IN ESUBERO + 4 pezzi (In magazzino 4 - Q.tà alert 0)"));
        QCOMPARE(ui->LabDettagli->text(), QStringLiteral("Dettagli:"));
        QCOMPARE(ui->Dettagli->box(Prodotti::Nome)->text(), QString());
    }
};

QTEST_MAIN(TestControlli)
#include "test_controlli.moc"
