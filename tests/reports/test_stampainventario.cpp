// "Stampa inventario": the set-up window's defaults, pickers and hand-over,
// and the inventory report read from its page list.

#include "AmbienteTest.h"
#include "ProveStampe.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/Griglia.h"
#include "gui/Selezione.h"
#include "reports/SetStampaInventario.h"
#include "reports/StampaInventario.h"
#include "ui_SetStampaInventario.h"

#include <QTableView>
#include <QtTest>

namespace {

// CAFFÈ at 2,5 × 4, L'ORO (an apostrophe in its code) at 3 × 7, BISCOTTI
// without a list price or a producer, and ACQUA of a producer that exists no more.
void ScriviInventario() {
    InserisciProduttore(1, QStringLiteral("Zeno"), QStringLiteral("Rossi"));
    InserisciProduttore(2, QStringLiteral("Anna"), QStringLiteral("Bianchi"));
    InserisciCategoria(1, QStringLiteral("Bevande"));
    InserisciCategoria(2, QStringLiteral("Dolci"));
    InserisciProdotto({.id = 1, .nome = "CAFFÈ", .descrizione = "Caffè in grani", .quantita = 4, .idCategoria = 1,
                       .idProduttore = 2});
    InserisciProdotto({.id = 2, .nome = "L'ORO", .descrizione = "Miele d'oro", .quantita = 7, .idCategoria = 2,
                       .idProduttore = 1});
    InserisciProdotto({.id = 3, .nome = "BISCOTTI", .descrizione = "Frollini", .quantita = 5, .idCategoria = 2});
    InserisciProdotto({.id = 4, .nome = "ACQUA", .descrizione = "Naturale", .quantita = 0, .idCategoria = 1,
                       .idProduttore = 9});
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("update %1 set %2 = case %3 when 1 then 2.5 when 2 then 3 when 4 then 1000 end")
                 .arg(a.nomeQualificato(Definizioni::Prodotti), Prodotti::PrezzoListino, Prodotti::Id));
}

TfrmStampaInventario& Parametri(TfrmStampaInventario& s, const QString& ordine = Prodotti::Nome) {
    s.CampoOrdine = ordine;
    s.CarattereStampa = 8;
    s.DataInventario = QStringLiteral("15/03/2004");
    return s;
}

}  // namespace

class TestStampaInventario : public TProvaConAmbiente {
    Q_OBJECT

private slots:
    void finestra_apertura() {
        SelezioneCorrente() = {7, QStringLiteral("Anna"), QStringLiteral("Bianchi"), 3, QStringLiteral("Dolci"),
                               QStringLiteral("CAFFÈ")};
        TFrmSetStampaInventario w;
        Mostra(w);
        QCOMPARE(w.windowTitle(), QStringLiteral("Stampa inventario"));
        QCOMPARE(w.ui()->EDData->text(), QStringLiteral("15/03/2004"));
        QCOMPARE(w.voceScelta(), 0);
        for (QCheckBox* c : {w.ui()->cbInvertiOrdine, w.ui()->cbNonStampaPrezzoListino, w.ui()->cbNonStampaTotale})
            QVERIFY(!c->isChecked());
        for (QLineEdit* e : {w.ui()->EditProdotto, w.ui()->EditProduttore, w.ui()->EditCategoria}) {
            QVERIFY(e->isReadOnly());
            QVERIFY(e->text().isEmpty());
        }
        // The selection is reset, but for the category's name.
        const TSelezioneCorrente& s = SelezioneCorrente();
        QCOMPARE(s.IdProduttoreScelto, 0);
        QCOMPARE(s.IdCategoriaScelta, 0);
        QVERIFY(s.NomeProduttoreScelto.isEmpty() && s.CognomeProduttoreScelto.isEmpty() && s.NomeProdottoScelto.isEmpty());
        QCOMPARE(s.CategoriaScelta, QStringLiteral("Dolci"));
        QCOMPARE(w.ui()->SpeedButton3->toolTip(), QStringLiteral("Premere per visualizzare l'elenco categorie"));
        QCOMPARE(w.ui()->BTSstampa->toolTip(), QStringLiteral("Anteprima di stampa"));
        QCOMPARE(w.ui()->BTSesci->toolTip(), QStringLiteral("Annulla ed esci"));
        // Every control fits at the window's own size.
        QVERIFY(w.size().width() >= w.sizeHint().width() && w.size().height() >= w.sizeHint().height());
    }

    // A producer picked through the real list: its name in the box, its ID
    // to the report; the order, flags and typed date go along.
    void finestra_sceltaEParametri() {
        ScriviInventario();
        TFrmSetStampaInventario w;
        Mostra(w);
        QuandoSiApre([](QWidget* lista) {
            SelezionaRiga(lista->findChild<QTableView*>(QStringLiteral("DBGrid1")), 0);
            QTest::mouseClick(lista->findChild<QPushButton*>(QStringLiteral("sbConferma")), Qt::LeftButton);
        }, &w);
        w.ui()->SpeedButton1->click();
        const int id = SelezioneCorrente().IdProduttoreScelto;
        QVERIFY(id > 0);
        QCOMPARE(w.ui()->EditProduttore->text(), SelezioneCorrente().NomeProduttoreScelto);
        w.scegliVoce(1);
        w.ui()->cbInvertiOrdine->setChecked(true);
        w.ui()->cbNonStampaTotale->setChecked(true);
        w.ui()->EDData->setText(QStringLiteral("31/12"));
        ImpostaImpostazione(Impostazioni::CarStampaInventario, 11);
        TfrmStampaInventario s(&w);
        w.PreparaInventario(s);
        QCOMPARE(s.IdProduttore, id);
        QCOMPARE(s.IdCategoria, 0);
        QCOMPARE(s.CampoOrdine, Prodotti::Quantita);
        QVERIFY(s.InvertiOrdine && s.NonStampaTotale && !s.NonStampaPrezzoListino);
        QCOMPARE(s.CarattereStampa, 11);
        // A date of day and month only prints as typed.
        const TDocumentoReport& d = s.report().genera();
        QCOMPARE(Testi(d, QStringLiteral("QRLabTitolo")), QStringList{"Stampa inventario di magazzino al 31/12"});
        QCOMPARE(Testi(d, QStringLiteral("QRDBnome")).size(), 1);
        QVERIFY(Anteprima(w.ui()->BTSstampa));
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    void righeESomme() {
        ScriviInventario();
        TfrmStampaInventario s(nullptr);
        const TDocumentoReport& d = Parametri(s).report().genera();
        QCOMPARE(Testi(d, QStringLiteral("QRLabTitolo")), QStringList{"Stampa inventario di magazzino al 15/03/2004"});
        QCOMPARE(Testi(d, QStringLiteral("QRSysData1")), QStringList{"Pag.1"});
        QCOMPARE(Testi(d, QStringLiteral("QRDBnome")), (QStringList{"ACQUA", "BISCOTTI", "CAFFÈ", "L'ORO"}));
        QCOMPARE(Testi(d, QStringLiteral("LabGeneProduttore")), (QStringList{" ", "Anna Bianchi", "Zeno Rossi"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBprezzolistino")), (QStringList{"1.000,00 €", "2,50 €", "3,00 €"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBquantita")), (QStringList{"0", "5", "4", "7"}));
        // 2,5 × 4 = 10; a product without a list price is worth 0.
        QCOMPARE(Testi(d, QStringLiteral("QRLabelTot")), (QStringList{"0,00 €", "0,00 €", "10,00 €", "21,00 €"}));
        QCOMPARE(Testi(d, QStringLiteral("QRLabTotali")), QStringList{"TOTALI:"});
        // The list-price sum adds unit prices, whatever the quantities.
        QCOMPARE(Testi(d, QStringLiteral("LabTotListino")), QStringList{"1.005,50 €"});
        QCOMPARE(Testi(d, QStringLiteral("LabTotQuant")), QStringList{"16"});
        QCOMPARE(Testi(d, QStringLiteral("LabTotTot")), QStringList{"31,00 €"});
        QCOMPARE(s.nomi().letture(), 3);
        const QStringList prima = d.tuttiITesti();
        QCOMPARE(s.report().genera().tuttiITesti(), prima);
    }

    // Each flag alone and both: what is left blank.
    void flag_data() {
        QTest::addColumn<bool>("senzaListino");
        QTest::addColumn<bool>("senzaTotale");
        QTest::addColumn<QStringList>("vuoti");
        QTest::addColumn<QStringList>("pieni");
        QTest::newRow("nessuno") << false << false << QStringList{}
            << QStringList{"QRLabPrezzoListino", "QRDBprezzolistino", "LabTotListino", "QRLabTotale", "QRLabelTot", "LabTotTot"};
        QTest::newRow("senza prezzo di listino") << true << false
            << QStringList{"QRLabPrezzoListino", "QRDBprezzolistino", "LabTotListino", "LabTotTot"}
            << QStringList{"QRLabTotale", "QRLabelTot", "LabTotQuant"};
        QTest::newRow("senza totale") << false << true << QStringList{"QRLabTotale", "QRLabelTot", "LabTotTot"}
            << QStringList{"QRLabPrezzoListino", "QRDBprezzolistino", "LabTotListino", "LabTotQuant"};
        QTest::newRow("senza entrambi") << true << true
            << QStringList{"QRLabPrezzoListino", "QRDBprezzolistino", "LabTotListino", "QRLabTotale", "QRLabelTot", "LabTotTot"}
            << QStringList{"QRDBquantita", "LabTotQuant"};
    }
    void flag() {
        QFETCH(bool, senzaListino);
        QFETCH(bool, senzaTotale);
        QFETCH(QStringList, vuoti);
        QFETCH(QStringList, pieni);
        ScriviInventario();
        TfrmStampaInventario s(nullptr);
        s.NonStampaPrezzoListino = senzaListino;
        s.NonStampaTotale = senzaTotale;
        const TDocumentoReport& d = Parametri(s).report().genera();
        for (const QString& c : vuoti) QVERIFY2(d.elementiDi(c).isEmpty(), qPrintable(c));
        for (const QString& c : pieni) QVERIFY2(!d.elementiDi(c).isEmpty(), qPrintable(c));
        QCOMPARE(d.testi(0).contains(QStringLiteral("Prezzo listino")), !senzaListino);
        QCOMPARE(d.testi(0).contains(QStringLiteral("Totale")), !senzaTotale);
    }

    // Filters, the code with an apostrophe among them, and the orders.
    void filtriEOrdine_data() {
        QTest::addColumn<QString>("prodotto");
        QTest::addColumn<int>("idProduttore");
        QTest::addColumn<int>("idCategoria");
        QTest::addColumn<int>("voce");
        QTest::addColumn<bool>("inverti");
        QTest::addColumn<QStringList>("prodotti");
        QTest::newRow("codice con apostrofo") << "L'ORO" << 0 << 0 << 0 << false << QStringList{"L'ORO"};
        QTest::newRow("produttore") << "" << 2 << 0 << 0 << false << QStringList{"CAFFÈ"};
        QTest::newRow("categoria per quantità") << "" << 0 << 2 << 1 << false << QStringList{"BISCOTTI", "L'ORO"};
        QTest::newRow("nessun produttore, nessuna categoria") << "" << -1 << -1 << 0 << true
                                                             << QStringList{"L'ORO", "CAFFÈ", "BISCOTTI", "ACQUA"};
        QTest::newRow("descrizione") << "" << 0 << 0 << 2 << false << QStringList{"CAFFÈ", "BISCOTTI", "L'ORO", "ACQUA"};
    }
    void filtriEOrdine() {
        QFETCH(QString, prodotto);
        QFETCH(int, idProduttore);
        QFETCH(int, idCategoria);
        QFETCH(int, voce);
        QFETCH(bool, inverti);
        QFETCH(QStringList, prodotti);
        ScriviInventario();
        TfrmStampaInventario s(nullptr);
        Parametri(s, CampoOrdineInventario(voce));
        s.Prodotto = prodotto;
        s.IdProduttore = idProduttore;
        s.IdCategoria = idCategoria;
        s.InvertiOrdine = inverti;
        QCOMPARE(Testi(s.report().genera(), QStringLiteral("QRDBnome")), prodotti);
    }

    // No product: the warning, then the title, the headings and zero sums.
    void nessunProdotto() {
        ScriviInventario();
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Nessun prodotto da stampare."));
        TfrmStampaInventario s(nullptr);
        Parametri(s).IdCategoria = 7;
        const TDocumentoReport& d = s.report().genera();
        QCOMPARE(d.numeroPagine(), 1);
        QVERIFY(Testi(d, QStringLiteral("QRDBnome")).isEmpty());
        QVERIFY(d.testi(0).contains(QStringLiteral("Codice prodotto")));
        QCOMPARE(Testi(d, QStringLiteral("LabTotListino")), QStringList{"0,00 €"});
        QCOMPARE(Testi(d, QStringLiteral("LabTotQuant")), QStringList{"0"});
        QCOMPARE(Testi(d, QStringLiteral("LabTotTot")), QStringList{"0,00 €"});
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    void carattereStampa_data() {
        QTest::addColumn<int>("carattere");
        QTest::addColumn<double>("atteso");
        QTest::newRow("negativo") << -2 << 8.0;
        QTest::newRow("dieci") << 10 << 10.0;
    }
    void carattereStampa() {
        QFETCH(int, carattere);
        QFETCH(double, atteso);
        ScriviInventario();
        if (carattere <= 0)
            m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Parametro di carattere di stampa inferiore a 0"));
        TfrmStampaInventario s(nullptr);
        Parametri(s).CarattereStampa = carattere;
        const TDocumentoReport& d = s.report().genera();
        for (const char* c : {"LabGeneProduttore", "QRDBprezzolistino", "QRLabelTot", "LabTotTot", "QRLabTotali"})
            QCOMPARE(d.font[d.elementiDi(QString::fromLatin1(c)).first().font].pointSizeF(), atteso);
        QCOMPARE(d.font[d.elementiDi(QStringLiteral("QRLabTitolo")).first().font].pointSizeF(), 12.0);
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    void pdf() {
        ScriviInventario();
        TfrmStampaInventario s(nullptr);
        const QString pdf = m_amb->file(QStringLiteral("inventario.pdf"));
        Parametri(s).report().salvaPdf(pdf);
        const QString testo = Pdftotext(pdf);
        for (const char* atteso : {"Stampa inventario di magazzino al 15/03/2004", "Prezzo listino", "Anna Bianchi",
                                   "L'ORO", "21,00 €", "TOTALI:", "1.005,50 €", "31,00 €"})
            QVERIFY2(testo.contains(QString::fromUtf8(atteso)), atteso);
    }
};

QTEST_MAIN(TestStampaInventario)
#include "test_stampainventario.moc"
