// The report selection and the history and cash-flow reports: the window's
// defaults and rules, the queries it hands over, and the reports read from
// their page list and once from the PDF.

#include "AmbienteTest.h"
#include "ProveStampe.h"
#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/Griglia.h"
#include "gui/Selezione.h"
#include "reports/DatiStampe.h"
#include "reports/SetStampe.h"
#include "reports/StampaFlussi.h"
#include "reports/StampaStorico.h"
#include "ui_SetStampe.h"

#include "reports/Anteprima.h"
#include <QFile>
#include <QProcess>
#include <QTableView>
#include <QtTest>
#include <optional>
#include <sqlite3.h>

namespace {

void Esegui(const QString& sql) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QString(sql)
                 .replace(QLatin1String("$S"), a.nomeQualificato(Definizioni::Storico))
                 .replace(QLatin1String("$P"), a.nomeQualificato(Definizioni::Produttori))
                 .replace(QLatin1String("$C"), a.nomeQualificato(Definizioni::Categorie))
                 .replace(QLatin1String("$I"), a.nomeQualificato(Definizioni::Impostazioni)));
}

// Five movements across the end of 2010, of every action; a load carries its
// purchase amount only, a producer and a category that exist no more.
void ScriviStorico() {
    Esegui(QStringLiteral("insert into $P (ID, NOME, COGNOME) values (1, 'Mario', 'Rossi'), (2, 'Anna', 'Bianchi')"));
    Esegui(QStringLiteral("insert into $C (ID, CATEGORIA) values (1, 'Bevande'), (2, 'Dolci')"));
    Esegui(QStringLiteral(
        "insert into $S (ID, AZIONE, NOME, DESCRIZIONE, QUANTITA, DATAOGGI, IDPRODUTTORE, IDCATEGORIA, PREZZO, "
        "PREZZOACQ, PREZZOCAR) values "
        "(1, 'CARICO', 'CAFFÈ', 'Caffè in grani', 10, '2010-12-31', 1, 1, NULL, 1234.5, NULL),"
        "(2, 'SCARICO', 'CAFFÈ', 'Caffè in grani', 2, '2011-01-01', 1, 1, 8, NULL, 4),"
        "(3, 'AGGIUSTAMENTO', 'TÈ', 'Tè verde', 1, '2011-01-15', 2, 0, 3, NULL, NULL),"
        "(4, 'SCARICO', 'TÈ', 'Tè verde', 1, '2011-03-01', 9, 5, 5, NULL, 2),"
        "(5, 'CARICO', 'ZUCCHERO', 'Zucchero', 5, '2011-03-31', 0, NULL, NULL, 10, NULL)"));
}


}  // namespace

class TestStampe : public TProvaConAmbiente {
    Q_OBJECT

    // The history report as "Anteprima" prepares it from the window.
    const TDocumentoReport& Storico(TfrmSetStampe& w, TfrmStampaStorico& s) {
        w.PreparaStorico(s);
        return s.report().genera();
    }
    const TDocumentoReport& Flussi(TfrmSetStampe& w, TfrmStampaFlussi& s) {
        w.PreparaFlussi(s);
        return s.report().genera();
    }
    void Periodo(TfrmSetStampe& w, const QString& da, const QString& a) {
        w.ui()->EDdaData->setText(da);
        w.ui()->EDaData->setText(a);
        w.ui()->EDdaDataFlussi->setText(da);
        w.ui()->EDaDataFlussi->setText(a);
    }

private slots:
    void apertura_storicoVuoto() {
        SelezioneCorrente().IdProduttoreScelto = 7;
        SelezioneCorrente().NomeProdottoScelto = QStringLiteral("X");
        TfrmSetStampe w;
        Mostra(w);
        QCOMPARE(w.ui()->PageControl->currentWidget(), w.ui()->TabStorico);
        QCOMPARE(w.ui()->EDdaData->text(), Oggi().toString(FormatoData));
        QCOMPARE(w.ui()->EDaData->text(), Oggi().toString(FormatoData));
        QCOMPARE(w.ui()->EDdaDataFlussi->text(), QStringLiteral("01/01/2009"));
        QCOMPARE(w.ui()->EDaDataFlussi->text(), QStringLiteral("31/12/2011"));
        QCOMPARE(SelezioneCorrente().IdProduttoreScelto, 0);
        QCOMPARE(SelezioneCorrente().NomeProdottoScelto, QString());
        QCOMPARE(w.voceScelta(QStringLiteral("rgOrdinaStorico")), int(OrdinaData));
        QCOMPARE(w.voceScelta(QStringLiteral("rgQuali")), int(StampaTutti));
        QCOMPARE(w.voceScelta(QStringLiteral("rgOrdinaPerProdotti")), 1);
        // Every tab has its report.
        for (QWidget* t : {w.ui()->TabStorico, w.ui()->TabFlussi, w.ui()->TabProduttori, w.ui()->TabProdotti,
                           w.ui()->TabListino}) {
            w.ui()->PageControl->setCurrentWidget(t);
            QVERIFY(w.ui()->BTSstampa->isEnabled());
        }
    }

    // The history's first and last day reach the boxes as dates, and the
    // previews open at once, without editing them.
    void apertura_storicoPieno_anteprimaSubito() {
        ScriviStorico();
        Esegui(QStringLiteral("update $I set CAR_STAMPA_STORICO = 9"));
        TfrmSetStampe w;
        Mostra(w);
        QCOMPARE(w.ui()->EDdaData->text(), QStringLiteral("31/12/2010"));
        QCOMPARE(w.ui()->EDaData->text(), QStringLiteral("31/03/2011"));
        QCOMPARE(w.ui()->EDdaDataFlussi->text(), QStringLiteral("31/12/2010"));
        QCOMPARE(w.ui()->EDaDataFlussi->text(), QStringLiteral("31/03/2011"));
        QVERIFY(Anteprima(w.ui()->BTSstampa));
        w.ui()->PageControl->setCurrentWidget(w.ui()->TabFlussi);
        QVERIFY(Anteprima(w.ui()->BTSstampa));
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    void regolaCarichi_data() {
        QTest::addColumn<int>("voce");
        QTest::addColumn<bool>("spuntato");
        QTest::newRow("Carichi spunta") << 0 << true;
        QTest::newRow("Scarichi toglie") << 1 << false;
        QTest::newRow("Aggiustamenti toglie") << 2 << false;
        QTest::newRow("Tutti toglie") << 3 << false;
    }
    void regolaCarichi() {
        QFETCH(int, voce);
        QFETCH(bool, spuntato);
        TfrmSetStampe w;
        Mostra(w);
        w.ui()->cbNonStampaPrezzoCaricoSuStorico->setChecked(!spuntato);
        w.scegliVoce(QStringLiteral("rgQuali"), voce);
        QCOMPARE(w.ui()->cbNonStampaPrezzoCaricoSuStorico->isChecked(), spuntato);
        // A click in the cash-flow group applies the history group's rule.
        w.ui()->cbNonStampaPrezzoCaricoSuStorico->setChecked(!spuntato);
        w.scegliVoce(QStringLiteral("rgQualiFlussi"), 3 - voce);
        QCOMPARE(w.ui()->cbNonStampaPrezzoCaricoSuStorico->isChecked(), spuntato);
    }

    void secondaRigaDisabilitaProduttore() {
        TfrmSetStampe w;
        Mostra(w);
        w.ui()->cbNonStampaProduttore->setChecked(true);
        w.ui()->cbSecondaRigaProdotti->click();
        QVERIFY(!w.ui()->cbNonStampaProduttore->isEnabled());
        QVERIFY(w.ui()->cbNonStampaProduttore->isChecked());
        w.ui()->cbSecondaRigaProdotti->click();
        QVERIFY(w.ui()->cbNonStampaProduttore->isEnabled());
    }

    // A producer picked through the real list on Prodotti shows on Listino.
    void produttoreScelto_ancheSuListino() {
        ScriviStorico();
        TfrmSetStampe w;
        Mostra(w);
        w.ui()->PageControl->setCurrentWidget(w.ui()->TabProdotti);
        QuandoSiApre([](QWidget* lista) {
            SelezionaRiga(lista->findChild<QTableView*>(QStringLiteral("DBGrid1")), 1);
            QTest::mouseClick(lista->findChild<QPushButton*>(QStringLiteral("sbConferma")), Qt::LeftButton);
        }, &w);
        w.ui()->SpeedButton1->click();
        QCOMPARE(SelezioneCorrente().IdProduttoreScelto, 2);
        QCOMPARE(w.ui()->EditProduttoreTab3->text(), QStringLiteral("Anna"));
        QCOMPARE(w.ui()->EditProduttoreTab3->text(), SelezioneCorrente().NomeProduttoreScelto);
        w.ui()->PageControl->setCurrentWidget(w.ui()->TabListino);
        QCOMPARE(w.ui()->EditProduttoreTab4->text(), w.ui()->EditProduttoreTab3->text());
    }

    // Both days of the period are included, across the end of a year; each
    // action filter; the order and its inversion.
    void storico_periodoFiltriOrdine_data() {
        QTest::addColumn<QString>("da");
        QTest::addColumn<QString>("a");
        QTest::addColumn<int>("quali");
        QTest::addColumn<int>("ordine");
        QTest::addColumn<bool>("inverti");
        QTest::addColumn<QStringList>("nomi");
        QTest::addColumn<QStringList>("azioni");
        const QString caffe = QStringLiteral("CAFFÈ"), te = QStringLiteral("TÈ"), zucchero = QStringLiteral("ZUCCHERO");
        QTest::newRow("tutti, per data, a cavallo d'anno")
            << "31/12/2010" << "01/01/2011" << 3 << 3 << false << QStringList{caffe, caffe} << QStringList{"C", "S"};
        QTest::newRow("estremi inclusi")
            << "01/03/2011" << "31/03/2011" << 3 << 3 << false << QStringList{te, zucchero} << QStringList{"S", "C"};
        QTest::newRow("solo carichi") << "01/01/2010" << "31/12/2011" << 0 << 3 << false
                                      << QStringList{caffe, zucchero} << QStringList{"C", "C"};
        QTest::newRow("solo scarichi") << "01/01/2010" << "31/12/2011" << 1 << 3 << false
                                       << QStringList{caffe, te} << QStringList{"S", "S"};
        QTest::newRow("solo aggiustamenti") << "01/01/2010" << "31/12/2011" << 2 << 3 << false
                                            << QStringList{te} << QStringList{"A"};
        QTest::newRow("per data invertito") << "01/01/2010" << "31/12/2011" << 3 << 3 << true
                                            << QStringList{zucchero, te, te, caffe, caffe}
                                            << QStringList{"C", "S", "A", "S", "C"};
        QTest::newRow("per quantità") << "01/01/2010" << "31/12/2011" << 1 << 2 << true
                                      << QStringList{caffe, te} << QStringList{"S", "S"};
        QTest::newRow("per prezzo ven. invertito") << "01/01/2010" << "31/12/2011" << 1 << 5 << true
                                                   << QStringList{caffe, te} << QStringList{"S", "S"};
        QTest::newRow("per prezzo acq.") << "01/01/2010" << "31/12/2011" << 0 << 4 << false
                                         << QStringList{zucchero, caffe} << QStringList{"C", "C"};
    }
    void storico_periodoFiltriOrdine() {
        QFETCH(QString, da);
        QFETCH(QString, a);
        QFETCH(int, quali);
        QFETCH(int, ordine);
        QFETCH(bool, inverti);
        QFETCH(QStringList, nomi);
        QFETCH(QStringList, azioni);
        ScriviStorico();
        TfrmSetStampe w;
        Mostra(w);
        Periodo(w, da, a);
        w.scegliVoce(QStringLiteral("rgQuali"), quali);
        w.scegliVoce(QStringLiteral("rgOrdinaStorico"), ordine);
        w.ui()->cbInvertiOrdineStorico->setChecked(inverti);
        TfrmStampaStorico s(&w);
        const TDocumentoReport& d = Storico(w, s);
        QCOMPARE(Testi(d, QStringLiteral("QRDBnome")), nomi);
        QCOMPARE(Testi(d, QStringLiteral("QRDBazione")), azioni);
        QCOMPARE(Testi(d, QStringLiteral("QRLabTipo")), QStringList{QStringLiteral("- ") + TestoQuali(quali)});
        QCOMPARE(Testi(d, QStringLiteral("QRLabelData")),
                 QStringList{QStringLiteral("Intervallo periodo dal %1 al %2").arg(da, a)});
    }

    // Every column of a full report, with the totals, difference and revenue.
    void storico_colonneETotali() {
        ScriviStorico();
        TfrmSetStampe w;
        Mostra(w);
        Periodo(w, QStringLiteral("01/01/2010"), QStringLiteral("31/12/2011"));
        TfrmStampaStorico s(&w);
        const TDocumentoReport& d = Storico(w, s);
        QCOMPARE(d.numeroPagine(), 1);
        QCOMPARE(Testi(d, QStringLiteral("QRSysData1")), QStringList{QStringLiteral("Pag.1")});
        QCOMPARE(Testi(d, QStringLiteral("QRDBdataoggi")),
                 (QStringList{"31/12/2010", "01/01/2011", "15/01/2011", "01/03/2011", "31/03/2011"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBquantita")), (QStringList{"10", "2", "1", "1", "5"}));
        // Unknown producer: a single space; ID 0 or empty: nothing.
        QCOMPARE(Testi(d, QStringLiteral("QRDBidproduttore")),
                 (QStringList{"Mario Rossi", "Mario Rossi", "Anna Bianchi", " "}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBidcategoria")), (QStringList{"Bevande", "Bevande"}));
        // Each distinct ID is read once.
        QCOMPARE(s.nomi().letture(), 5);
        // The load lines have their purchase price only.
        QCOMPARE(Testi(d, QStringLiteral("QRDBPrezzoAcq")), (QStringList{"1.234,50 €", "10,00 €"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBPrezzoVen")), (QStringList{"8,00 €", "3,00 €", "5,00 €"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBPrezzoCar")), (QStringList{"4,00 €", "2,00 €"}));
        QCOMPARE(Testi(d, QStringLiteral("LabTotAcq")), QStringList{"1.244,50 €"});
        QCOMPARE(Testi(d, QStringLiteral("LabTotVen")), QStringList{"16,00 €"});
        // Each total stands under its own column, right edge on right edge.
        QCOMPARE(d.elementiDi(QStringLiteral("LabTotAcq")).first().area.right(),
                 d.elementiDi(QStringLiteral("QRDBPrezzoAcq")).first().area.right());
        QCOMPARE(d.elementiDi(QStringLiteral("LabTotVen")).first().area.right(),
                 d.elementiDi(QStringLiteral("QRDBPrezzoVen")).first().area.right());
        // ... and the two totals' boxes do not overlap.
        QVERIFY(d.elementiDi(QStringLiteral("LabTotAcq")).first().area.right() <=
                d.elementiDi(QStringLiteral("LabTotVen")).first().area.left());
        QCOMPARE(Testi(d, QStringLiteral("QRlabDifferenza")), QStringList{"DIFFERENZA: -1.228,50 €"});
        QCOMPARE(Testi(d, QStringLiteral("QRLabRicavo")), QStringList{"RICAVO: -98,71 %"});
        QCOMPARE(d.elementiDi(QStringLiteral("QRShape1")).size(), 1);
        // A second generation starts its totals again.
        const QStringList prima = d.tuttiITesti();
        QCOMPARE(s.report().genera().tuttiITesti(), prima);
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    void storico_flag_data() {
        QTest::addColumn<QString>("casella");
        QTest::addColumn<QStringList>("vuoti");
        QTest::addColumn<QStringList>("pieni");
        QTest::newRow("non stampare produttore") << "cbNonStampaProduttoreSuStorico"
            << QStringList{"QRLabProduttore", "QRDBidproduttore"} << QStringList{"QRDBidcategoria", "QRDBPrezzoAcq"};
        QTest::newRow("non stampare categoria") << "cbNonStampaCategoriaSuStorico"
            << QStringList{"QRLabCategoria", "QRDBidcategoria"} << QStringList{"QRDBidproduttore", "QRDBPrezzoCar"};
        QTest::newRow("non stampare prezzi") << "cbNonStampaPrezziSuStorico"
            << QStringList{"QRLabPrezzoAcq", "QRLabPrezzoVen", "QRLabPrezzoCar", "QRDBPrezzoAcq", "QRDBPrezzoVen",
                           "QRDBPrezzoCar", "LabTotAcq", "LabTotVen", "QRlabDifferenza", "QRLabRicavo", "QRShape1"}
            << QStringList{"QRDBidproduttore", "QRDBquantita"};
        QTest::newRow("non stampare prez.carico") << "cbNonStampaPrezzoCaricoSuStorico"
            << QStringList{"QRLabPrezzoCar", "QRDBPrezzoCar"} << QStringList{"QRDBPrezzoAcq", "QRlabDifferenza"};
    }
    void storico_flag() {
        QFETCH(QString, casella);
        QFETCH(QStringList, vuoti);
        QFETCH(QStringList, pieni);
        ScriviStorico();
        TfrmSetStampe w;
        Mostra(w);
        Periodo(w, QStringLiteral("01/01/2010"), QStringLiteral("31/12/2011"));
        w.findChild<QCheckBox*>(casella)->setChecked(true);
        TfrmStampaStorico s(&w);
        const TDocumentoReport& d = Storico(w, s);
        for (const QString& c : vuoti) QVERIFY2(d.elementiDi(c).isEmpty(), qPrintable(c));
        for (const QString& c : pieni) QVERIFY2(!d.elementiDi(c).isEmpty(), qPrintable(c));
    }

    // No purchases: the difference is the sale total and the revenue "ERR.".
    void storico_ricavoErr() {
        ScriviStorico();
        TfrmSetStampe w;
        Mostra(w);
        Periodo(w, QStringLiteral("01/01/2011"), QStringLiteral("01/03/2011"));
        TfrmStampaStorico s(&w);
        const TDocumentoReport& d = Storico(w, s);
        QCOMPARE(Testi(d, QStringLiteral("QRlabDifferenza")), QStringList{"DIFFERENZA: 16,00 €"});
        QCOMPARE(Testi(d, QStringLiteral("QRLabRicavo")), QStringList{"RICAVO: ERR. %"});
    }

    // An empty period: the warning, then the title and the headings only.
    void periodoVuoto_data() {
        QTest::addColumn<bool>("flussi");
        QTest::newRow("storico") << false;
        QTest::newRow("flussi") << true;
    }
    void periodoVuoto() {
        QFETCH(bool, flussi);
        ScriviStorico();
        TfrmSetStampe w;
        Mostra(w);
        Periodo(w, QStringLiteral("01/01/2009"), QStringLiteral("30/12/2010"));
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione,
                                QStringLiteral("Nessuna operazione effettuata nel periodo di intervallo selezionato, "
                                               "cambiare i parametri e riprovare."));
        TfrmStampaStorico s(&w);
        TfrmStampaFlussi f(&w);
        const TDocumentoReport& d = flussi ? Flussi(w, f) : Storico(w, s);
        QCOMPARE(d.numeroPagine(), 1);
        for (const TElementoPagina& e : d.pagine[0].elementi)
            QVERIFY2(e.banda == TTipoBanda::Titolo || e.banda == TTipoBanda::IntestazioneColonne, qPrintable(e.nome));
        QVERIFY(d.testi(0).contains(flussi ? QStringLiteral("Data riferim.") : QStringLiteral("Descrizione")));
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    // A size below 1 warns and keeps the layout's size; a size reaches the
    // detail and total texts, not the title.
    void carattereStampa_data() {
        QTest::addColumn<int>("carattere");
        QTest::addColumn<double>("atteso");
        QTest::newRow("zero") << 0 << 7.0;
        QTest::newRow("negativo") << -3 << 7.0;
        QTest::newRow("dodici") << 12 << 12.0;
    }
    void carattereStampa() {
        QFETCH(int, carattere);
        QFETCH(double, atteso);
        ScriviStorico();
        Esegui(QStringLiteral("update $I set CAR_STAMPA_STORICO = %1").arg(carattere));
        if (carattere <= 0)
            m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Parametro di carattere di stampa inferiore a 0"));
        TfrmSetStampe w;
        Mostra(w);
        TfrmStampaStorico s(&w);
        const TDocumentoReport& d = Storico(w, s);
        QCOMPARE(d.font[d.elementiDi(QStringLiteral("QRDBnome")).first().font].pointSizeF(), atteso);
        // The sale total's box is narrow: its text may print a little smaller than the size it is given.
        QVERIFY(!d.elementiDi(QStringLiteral("LabTotVen")).isEmpty());
        QCOMPARE(s.report().controllo(QStringLiteral("LabTotVen"))->dimensioneFont(), atteso);
        QVERIFY(d.font[d.elementiDi(QStringLiteral("LabTotVen")).first().font].pointSizeF() >= 0.75 * atteso);
        QCOMPARE(d.font[d.elementiDi(QStringLiteral("QRLabTitolo")).first().font].pointSizeF(), 12.0);
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    void flussi_giorni() {
        ScriviStorico();
        // A second movement on 1 January: the day adds them up.
        Esegui(QStringLiteral("insert into $S (ID, AZIONE, NOME, QUANTITA, DATAOGGI, PREZZO, PREZZOACQ) values "
                              "(6, 'SCARICO', 'TÈ', 3, '2011-01-01', 2.5, NULL)"));
        TfrmSetStampe w;
        Mostra(w);
        Periodo(w, QStringLiteral("31/12/2010"), QStringLiteral("15/01/2011"));
        TfrmStampaFlussi f(&w);
        const TDocumentoReport& d = Flussi(w, f);
        QCOMPARE(d.titoloLavoro, QStringLiteral("Stampa riepilogativa giornaliera flussi da storico"));
        QCOMPARE(Testi(d, QStringLiteral("QRDBdataoggi")), (QStringList{"31/12/2010", "01/01/2011", "15/01/2011"}));
        QCOMPARE(Testi(d, QStringLiteral("QRLabelQta")), (QStringList{"10", "5", "1"}));
        // A day of loads only: no sale amount, the difference its purchases.
        QCOMPARE(Testi(d, QStringLiteral("QRLabelPrezzoAcq")), QStringList{"1.234,50 €"});
        QCOMPARE(Testi(d, QStringLiteral("QRLabelPrezzo")), (QStringList{"10,50 €", "3,00 €"}));
        QCOMPARE(Testi(d, QStringLiteral("QRLabelDiffGiorn")), (QStringList{"-1.234,50 €", "10,50 €", "3,00 €"}));
        QCOMPARE(Testi(d, QStringLiteral("LabTotAcq")), QStringList{"1.234,50 €"});
        QCOMPARE(Testi(d, QStringLiteral("LabTotVen")), QStringList{"13,50 €"});
        QCOMPARE(Testi(d, QStringLiteral("QRlabDifferenza")), QStringList{"DIFFERENZA: -1.221,00 €"});
        QCOMPARE(Testi(d, QStringLiteral("QRlabRicavo")), QStringList{"RICAVO: -98,91 %"});
        const QStringList prima = d.tuttiITesti();
        QCOMPARE(f.report().genera().tuttiITesti(), prima);
        // Inverted: from the latest day; loads only: "ERR." without purchases.
        w.ui()->cbInvertiOrdineFlussi->setChecked(true);
        w.scegliVoce(QStringLiteral("rgQualiFlussi"), StampaScarichi);
        const TDocumentoReport& e = Flussi(w, f);
        QCOMPARE(Testi(e, QStringLiteral("QRDBdataoggi")), QStringList{"01/01/2011"});
        QCOMPARE(Testi(e, QStringLiteral("QRlabRicavo")), QStringList{"RICAVO: ERR. %"});
        QCOMPARE(Testi(e, QStringLiteral("QRLabTipo")), QStringList{"- Scarichi"});
    }

    void flussi_flag() {
        ScriviStorico();
        TfrmSetStampe w;
        Mostra(w);
        Periodo(w, QStringLiteral("01/01/2010"), QStringLiteral("31/12/2011"));
        w.ui()->cbNonStampaQtaSuFlussi->setChecked(true);
        TfrmStampaFlussi f(&w);
        const TDocumentoReport& d = Flussi(w, f);
        QVERIFY(d.elementiDi(QStringLiteral("QRLabelQta")).isEmpty());
        QVERIFY(!d.testi(0).contains(QStringLiteral("Q.tà movimentate")));
        QCOMPARE(Testi(d, QStringLiteral("LabTotVen")), QStringList{"16,00 €"});
        w.ui()->cbNonStampaQtaSuFlussi->setChecked(false);
        w.ui()->cbNonStampaPrezziSuFlussi->setChecked(true);
        const TDocumentoReport& e = Flussi(w, f);
        QCOMPARE(Testi(e, QStringLiteral("QRLabelQta")).size(), 5);
        for (const char* c : {"QRLabelPrezzo", "QRLabelPrezzoAcq", "QRLabelDiffGiorn", "LabTotAcq", "QRlabRicavo", "QRShape1"})
            QVERIFY2(e.elementiDi(QString::fromLatin1(c)).isEmpty(), c);
        QVERIFY(!e.testi(0).contains(QStringLiteral("Totale acq.")));
    }

    // A failing report gets the tab's message and the window goes on.
    void anteprima_errore() {
        ScriviStorico();
        TfrmSetStampe w;
        Mostra(w);
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("drop table ") + a.nomeQualificato(Definizioni::Storico));
        m_amb->risposte.attendi(TTipoMessaggio::Errore,
                                QStringLiteral("Errore irreversibile in fase di stampa storico contattare Vavori Rarovazazo."));
        QVERIFY(!Anteprima(w.ui()->BTSstampa));
        w.ui()->PageControl->setCurrentWidget(w.ui()->TabFlussi);
        m_amb->risposte.attendi(TTipoMessaggio::Errore,
                                QStringLiteral("Errore irreversibile in fase di stampa flussi contattare Vavori Rarovazazo."));
        QVERIFY(!Anteprima(w.ui()->BTSstampa));
        QVERIFY(w.isVisible());
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    // A report's query that the engine refuses reads as every other store
    // failure: a history held by another program says so, with the help
    // context of a locked file.
    void queryStampa_storicoBloccato() {
        ScriviStorico();
        TArchivio& a = TArchivio::corrente();
        const TQueryStampa q{QStringLiteral("select * from ") + a.nomeQualificato(Definizioni::Storico), {}};
        sqlite3* altro = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(a.percorsoFile(Definizioni::Storico)).constData(), &altro,
                                 SQLITE_OPEN_READWRITE, nullptr),
                 SQLITE_OK);
        const int rc = sqlite3_exec(altro, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
        std::optional<ErroreArchivio> errore;
        QSqlQuery query;
        try {
            EseguiQueryStampa(query, q);
        } catch (const ErroreArchivio& e) {
            errore = e;
        }
        query = QSqlQuery();
        sqlite3_exec(altro, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(altro);
        QCOMPARE(rc, SQLITE_OK);
        QVERIFY(errore.has_value());
        QCOMPARE(errore->contestoAiuto(), int(ErroreArchivio::CtxBloccato));
        QVERIFY2(errore->testo().startsWith(QLatin1String("Archivio bloccato da un altro programma")),
                 qPrintable(errore->testo()));
        // Once the other program lets go, the same query runs.
        EseguiQueryStampa(query, q);
        QVERIFY(query.next());
    }

    // A history of some thousands of lines: every line is printed once, the
    // page count follows from the line count and the page geometry, and the
    // last page's totals are the sums the sqlite3 tool computes on the file.
    // With 64 lines left for the last page the summary no longer fits under
    // them and takes a page of its own.
    void storico_grande_totaliComeSqlite3_data() {
        QTest::addColumn<int>("righe");
        QTest::newRow("riepilogo sotto le righe") << 62 + 66 * 44 + 10;
        QTest::newRow("riepilogo su pagina nuova") << 62 + 66 * 44 + 64;
    }
    void storico_grande_totaliComeSqlite3() {
        QFETCH(int, righe);
        // Amounts in quarters add up exactly in binary, in any order; one line
        // in seven has no purchase amount, one in five no sale amount; the
        // lines of the period are days across a year end, and some lines
        // before and after it stay out of the report.
        Esegui(QStringLiteral(
                   "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                   "insert into $S (ID, AZIONE, NOME, DESCRIZIONE, QUANTITA, DATAOGGI, PREZZOACQ, PREZZO) "
                   "select i, case i % 3 when 0 then 'CARICO' when 1 then 'SCARICO' else 'AGGIUSTAMENTO' end, "
                   "'P' || (i % 97), 'Prodotto ' || (i % 97), i % 9 + 1, "
                   "date('2010-12-01', '+' || (i % 90) || ' days'), "
                   "case when i % 7 = 0 then null else (i % 13) * 1.25 end, "
                   "case when i % 5 = 0 then null else (i % 17) * 2.75 end from n")
                   .arg(righe));
        Esegui(QStringLiteral("insert into $S (ID, AZIONE, NOME, QUANTITA, DATAOGGI, PREZZOACQ, PREZZO) values "
                              "(%1, 'CARICO', 'FUORI', 100, '2010-11-30', 1000, 1000), "
                              "(%2, 'SCARICO', 'FUORI', 100, '2011-03-01', 1000, 1000)")
                   .arg(righe + 1)
                   .arg(righe + 2));
        Esegui(QStringLiteral("update $I set CAR_STAMPA_STORICO = 7"));
        TfrmSetStampe w;
        Mostra(w);
        Periodo(w, QStringLiteral("01/12/2010"), QStringLiteral("28/02/2011"));
        TfrmStampaStorico s(&w);
        const TDocumentoReport& d = Storico(w, s);

        const QStringList conti =
            Sqlite3(m_amb->file(QStringLiteral("storico.db")),
                    QStringLiteral("select count(*), total(QUANTITA), printf('%.2f', total(PREZZOACQ)), "
                                   "printf('%.2f', total(PREZZO)), printf('%.2f', total(PREZZO) - total(PREZZOACQ)), "
                                   "printf('%.2f', (total(PREZZO) - total(PREZZOACQ)) / total(PREZZOACQ) * 100) "
                                   "from storico where DATAOGGI between '2010-12-01' and '2011-02-28'"))
                .split(QLatin1Char('|'));
        QCOMPARE(conti.size(), 6);
        const int n = conti[0].toInt();
        QCOMPARE(n, righe);

        // Page geometry at size 7: 277 mm inside the margins, a 16 mm title
        // on page 1, an 11 mm heading on every page, 4 mm lines, a 15.5 mm
        // summary that goes on a new page when it does not fit.
        const double utile = 277, titolo = 16, intestazione = 11, riga = 4, riepilogo = 15.5;
        const int primaPagina = static_cast<int>((utile - titolo - intestazione) / riga);
        const int altrePagine = static_cast<int>((utile - intestazione) / riga);
        int pagine = 1, sullUltima = qMin(n, primaPagina);
        for (int resto = n - primaPagina; resto > 0; resto -= altrePagine, ++pagine)
            sullUltima = qMin(resto, altrePagine);
        const double fondo = (pagine == 1 ? titolo : 0) + intestazione + sullUltima * riga;
        if (fondo + riepilogo > utile) ++pagine;
        QCOMPARE(d.numeroPagine(), pagine);
        QCOMPARE(d.testi(pagine - 1).filter(QStringLiteral("Pag.")), QStringList{QStringLiteral("Pag.%1").arg(pagine)});

        // Every line once, and their quantities add up to the file's.
        const QStringList quantita = Testi(d, QStringLiteral("QRDBquantita"));
        QCOMPARE(quantita.size(), n);
        double somma = 0;
        for (const QString& q : quantita) somma += q.toDouble();
        QCOMPARE(somma, conti[1].toDouble());
        QVERIFY(!Testi(d, QStringLiteral("QRDBnome")).contains(QStringLiteral("FUORI")));

        // Each total once, on the last page.
        const QLocale italiano(QLocale::Italian, QLocale::Italy);
        const auto importo = [&](const QString& t) { return italiano.toString(t.toDouble(), 'f', 2); };
        const QStringList ultima = d.testi(pagine - 1);
        const std::pair<QString, QString> totali[] = {
            {QStringLiteral("LabTotAcq"), importo(conti[2]) + QStringLiteral(" €")},
            {QStringLiteral("LabTotVen"), importo(conti[3]) + QStringLiteral(" €")},
            {QStringLiteral("QRlabDifferenza"), QStringLiteral("DIFFERENZA: ") + importo(conti[4]) + QStringLiteral(" €")},
            {QStringLiteral("QRLabRicavo"), QStringLiteral("RICAVO: ") + importo(conti[5]) + QStringLiteral(" %")}};
        for (const auto& [controllo, atteso] : totali) {
            QCOMPARE(Testi(d, controllo), QStringList{atteso});
            QVERIFY2(ultima.contains(atteso), qPrintable(atteso));
        }
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    void storico_pdf() {
        ScriviStorico();
        TfrmSetStampe w;
        Mostra(w);
        Periodo(w, QStringLiteral("01/01/2010"), QStringLiteral("31/12/2011"));
        TfrmStampaStorico s(&w);
        w.PreparaStorico(s);
        const QString pdf = m_amb->file(QStringLiteral("storico.pdf"));
        s.report().salvaPdf(pdf);
        const QString testo = Pdftotext(pdf);
        for (const char* atteso : {"Stampa riepilogativa storico operazioni effettuate", "- Tutti",
                                   "Intervallo periodo dal 01/01/2010 al 31/12/2011", "Pag.1", "Prez.c.", "CAFFÈ",
                                   "Mario Rossi", "1.234,50 €", "DIFFERENZA: -1.228,50 €", "RICAVO: -98,71 %"})
            QVERIFY2(testo.contains(QString::fromUtf8(atteso)), atteso);
    }
};

QTEST_MAIN(TestStampe)
#include "test_stampe.moc"
