// The products, price-list and producers reports read from their page list
// (one from the PDF), and the tabs of "Selezione stampe" that hand them their
// parameters and preview them.

#include "AmbienteTest.h"
#include "ProveStampe.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/Selezione.h"
#include "reports/DatiStampe.h"
#include "reports/SetStampe.h"
#include "reports/StampaListino.h"
#include "reports/StampaProdotti.h"
#include "reports/StampaProduttori.h"
#include "ui_SetStampe.h"

#include <QFontMetricsF>
#include <QImage>
#include <QtTest>

namespace {

const QString Nessuno = QStringLiteral("Nessun prodotto da stampare.");

// Three producers whose names run against their IDs, two categories, and
// four products: CAFFÈ the worked example of the balance (10 at 2,5, sold for
// 100, bought for 80), L'ORO with an apostrophe in its code, a product
// without a producer and one whose producer exists no more.
void ScriviProdotti() {
    InserisciProduttore(1, QStringLiteral("Zeno"), QStringLiteral("Rossi"));
    InserisciProduttore(2, QStringLiteral("Anna"), QStringLiteral("Bianchi"));
    InserisciProduttore(3, QStringLiteral("Bruno"), QStringLiteral("Verdi"));
    InserisciCategoria(1, QStringLiteral("Bevande"));
    InserisciCategoria(2, QStringLiteral("Dolci"));
    InserisciProdotto({.id = 1, .nome = "CAFFÈ", .descrizione = "Caffè in grani", .carichi = 30, .scarichi = 20,
                       .quantita = 10, .totaleAcquisti = 80, .totaleVendite = 100, .prezzo = 2.5, .prezzo2 = 4,
                       .idCategoria = 1, .idProduttore = 2, .dataOggi = QDate(2004, 1, 31),
                       .dataDistinta = QDate(2004, 2, 2), .numDistinta = "A12", .giacenzaMax = 90});
    InserisciProdotto({.id = 2, .nome = "L'ORO", .descrizione = "Miele d'oro", .carichi = 6, .scarichi = 2,
                       .quantita = 4, .totaleAcquisti = 1000, .totaleVendite = 0, .prezzo = 3, .prezzo2 = 1234.5,
                       .idCategoria = 2, .idProduttore = 1});
    InserisciProdotto({.id = 3, .nome = "BISCOTTI", .descrizione = "Frollini", .carichi = 5, .scarichi = 7,
                       .quantita = -2, .totaleAcquisti = 10, .totaleVendite = 21, .prezzo = 1, .idCategoria = 2});
    InserisciProdotto({.id = 4, .nome = "ACQUA", .descrizione = "Naturale", .carichi = 1, .scarichi = 0, .quantita = 1,
                       .totaleAcquisti = 0.5, .totaleVendite = 0, .prezzo = 0.5, .idCategoria = 1, .idProduttore = 9});
}

QStringList Codici(const TDocumentoReport& d) { return Testi(d, QStringLiteral("QRDBnome")); }

}  // namespace

class TestStampeProdotti : public TProvaConAmbiente {
    Q_OBJECT

private slots:
    // Every column of both lines, the balance of each product and the four totals.
    void prodotti_righeETotali() {
        ScriviProdotti();
        TfrmStampaProdotti s(nullptr);
        s.CarattereStampa = 8;
        const TDocumentoReport& d = s.report().genera();
        QCOMPARE(d.titoloLavoro, QStringLiteral("Stampa riepilogativa prodotti"));
        QCOMPARE(Testi(d, QStringLiteral("QRLabTitolo")), QStringList{"Elenco prodotti"});
        QCOMPARE(Testi(d, QStringLiteral("QRSysData1")), QStringList{"Pag.1"});
        QVERIFY(d.testi(0).contains(QStringLiteral("Ricavi  -      costi +   riman = differenza")));
        QCOMPARE(Codici(d), (QStringList{"CAFFÈ", "L'ORO", "BISCOTTI", "ACQUA"}));
        // A product without a producer prints blank, an unknown producer a space.
        QCOMPARE(Testi(d, QStringLiteral("LabGeneProduttore")), (QStringList{"Anna Bianchi", "Zeno Rossi", " "}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBscarichi")), (QStringList{"20", "2", "7", "0"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBcarichi")), (QStringList{"30", "6", "5", "1"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBquantita")), (QStringList{"10", "4", "-2", "1"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBgiacenzamax")), QStringList{"90"});
        QCOMPARE(Testi(d, QStringLiteral("QRDBdataoggi")), QStringList{"31/01/2004"});
        QCOMPARE(Testi(d, QStringLiteral("QRDBdatadistinta")), QStringList{"02/02/2004"});
        QCOMPARE(Testi(d, QStringLiteral("QRDBnumdistinta")), QStringList{"A12"});
        QCOMPARE(Testi(d, QStringLiteral("QRDBprezzo2")), (QStringList{"4,00", "1.234,50"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBprezzo")), (QStringList{"2,50", "3,00", "1,00", "0,50"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBtotalevendite")), (QStringList{"100,00", "0,00", "21,00", "0,00"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBtotaleacquisti")), (QStringList{"80,00", "1.000,00", "10,00", "0,50"}));
        // 10 × 2,5 = 25 in stock; 100 − 80 + 25 = 45. A negative stock counts as it is.
        QCOMPARE(Testi(d, QStringLiteral("QRLabRimanenzeTot")), (QStringList{"25,00", "12,00", "-2,00", "0,50"}));
        QCOMPARE(Testi(d, QStringLiteral("QRLABdifferenza")),
                 (QStringList{"45,00 €", "-988,00 €", "9,00 €", "0,00 €"}));
        QCOMPARE(Testi(d, QStringLiteral("QRLabMeno")).size(), 4);
        QCOMPARE(Testi(d, QStringLiteral("QRLABtottotvendite")), QStringList{"TOT.VEND: 121,00 €"});
        QCOMPARE(Testi(d, QStringLiteral("QRLABtottotacquisti")), QStringList{"TOT.ACQ: 1.090,50 €"});
        QCOMPARE(Testi(d, QStringLiteral("QRLABtottotrimanenze")), QStringList{"TOT.RIMAN: 35,50 €"});
        QCOMPARE(Testi(d, QStringLiteral("QRLABtottotdifferenza")), QStringList{"DIFFER: -934,00 €"});
        // Each distinct producer is read once.
        QCOMPARE(s.nomi().letture(), 3);
        // A second generation starts its totals again.
        const QStringList prima = d.tuttiITesti();
        QCOMPARE(s.report().genera().tuttiITesti(), prima);
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    // One line per product and one heading line: the totals stay the same.
    // The producer column follows its own box whatever the second line does.
    void prodotti_secondaRiga_data() {
        QTest::addColumn<bool>("secondaRiga");
        QTest::addColumn<bool>("produttore");
        QTest::newRow("due righe") << false << false;
        QTest::newRow("una riga") << true << false;
        QTest::newRow("una riga senza produttore") << true << true;
        QTest::newRow("due righe senza produttore") << false << true;
    }
    void prodotti_secondaRiga() {
        QFETCH(bool, secondaRiga);
        QFETCH(bool, produttore);
        ScriviProdotti();
        TfrmStampaProdotti s(nullptr);
        s.NonStampaSecondaRiga = secondaRiga;
        s.NonStampaProduttore = produttore;
        s.CarattereStampa = 8;
        const TDocumentoReport& d = s.report().genera();
        QCOMPARE(Codici(d).size(), 4);
        QCOMPARE(Testi(d, QStringLiteral("QRDBprezzo")).isEmpty(), secondaRiga);
        QCOMPARE(Testi(d, QStringLiteral("QRLABdifferenza")).isEmpty(), secondaRiga);
        QCOMPARE(d.testi(0).contains(QStringLiteral("Gg.giacenza")), !secondaRiga);
        QVERIFY(d.testi(0).contains(QStringLiteral("Scarichi/carichi")));
        QCOMPARE(Testi(d, QStringLiteral("LabGeneProduttore")).isEmpty(), produttore);
        QVERIFY(d.testi(0).contains(QStringLiteral("Produttore")));
        QCOMPARE(Testi(d, QStringLiteral("QRLABtottotvendite")), QStringList{"TOT.VEND: 121,00 €"});
        QCOMPARE(Testi(d, QStringLiteral("QRLABtottotdifferenza")), QStringList{"DIFFER: -934,00 €"});
        // The lines follow one another without the second line's space.
        const auto nomi = d.elementiDi(QStringLiteral("QRDBnome"));
        QCOMPARE(nomi[1].area.y() - nomi[0].area.y(), secondaRiga ? 5.0 : 9.5);
    }

    // Filters and their title texts, in the order producer, product, category;
    // an ID of -1 ("Nessun produttore", "Nessuna categoria") restricts nothing.
    void prodotti_filtriTitolo_data() {
        QTest::addColumn<QString>("prodotto");
        QTest::addColumn<QString>("produttore");
        QTest::addColumn<int>("idProduttore");
        QTest::addColumn<int>("idCategoria");
        QTest::addColumn<QString>("categoria");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QStringList>("prodotti");
        const QString t = QStringLiteral("Elenco prodotti");
        QTest::newRow("nessun filtro") << "" << "" << 0 << 0 << "" << t
                                       << QStringList{"ACQUA", "BISCOTTI", "CAFFÈ", "L'ORO"};
        QTest::newRow("produttore") << "" << "Anna" << 2 << 0 << "" << t + ", per produttore Anna"
                                    << QStringList{"CAFFÈ"};
        QTest::newRow("categoria") << "" << "" << 0 << 2 << "Dolci" << t + ", per categoria Dolci"
                                   << QStringList{"BISCOTTI", "L'ORO"};
        QTest::newRow("codice con apostrofo") << "L'ORO" << "" << 0 << 0 << "" << t + ", per prodotto L'ORO"
                                              << QStringList{"L'ORO"};
        QTest::newRow("tutti e tre in ordine")
            << "L'ORO" << "Zeno" << 1 << 2 << "Dolci" << t + ", per produttore Zeno, per prodotto L'ORO, per categoria Dolci"
            << QStringList{"L'ORO"};
        QTest::newRow("nessun produttore, nessuna categoria") << "" << "" << -1 << -1 << "" << t
                                                              << QStringList{"ACQUA", "BISCOTTI", "CAFFÈ", "L'ORO"};
        QTest::newRow("categoria scelta senza filtro") << "" << "" << 0 << -1 << "Dolci" << t
                                                       << QStringList{"ACQUA", "BISCOTTI", "CAFFÈ", "L'ORO"};
        QTest::newRow("prodotto d'altro produttore") << "L'ORO" << "Anna" << 2 << 0 << "" << t
            + ", per produttore Anna, per prodotto L'ORO" << QStringList{};
    }
    void prodotti_filtriTitolo() {
        QFETCH(QString, prodotto);
        QFETCH(QString, produttore);
        QFETCH(int, idProduttore);
        QFETCH(int, idCategoria);
        QFETCH(QString, categoria);
        QFETCH(QString, titolo);
        QFETCH(QStringList, prodotti);
        ScriviProdotti();
        if (prodotti.isEmpty()) m_amb->risposte.attendi(TTipoMessaggio::Attenzione, Nessuno);
        TfrmStampaProdotti s(nullptr);
        s.CampoOrdine = CampoOrdineProdotti(1);
        s.Prodotto = prodotto;
        s.Produttore = produttore;
        s.IdProduttore = idProduttore;
        s.IdCategoria = idCategoria;
        s.Categoria = categoria;
        s.CarattereStampa = 8;
        const TDocumentoReport& d = s.report().genera();
        QCOMPARE(Testi(d, QStringLiteral("QRLabTitolo")), QStringList{titolo});
        QCOMPARE(Codici(d), prodotti);
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    // Each item of "Ordina per"; the producer item orders by the producer's
    // ID, not by its name; "Nessuno" keeps the table's order.
    void prodotti_ordine_data() {
        QTest::addColumn<int>("voce");
        QTest::addColumn<bool>("inverti");
        QTest::addColumn<QStringList>("prodotti");
        QTest::newRow("nessuno") << 0 << false << QStringList{"CAFFÈ", "L'ORO", "BISCOTTI", "ACQUA"};
        QTest::newRow("codice invertito") << 1 << true << QStringList{"L'ORO", "CAFFÈ", "BISCOTTI", "ACQUA"};
        QTest::newRow("descrizione") << 2 << false << QStringList{"CAFFÈ", "BISCOTTI", "L'ORO", "ACQUA"};
        QTest::newRow("carichi") << 3 << false << QStringList{"ACQUA", "BISCOTTI", "L'ORO", "CAFFÈ"};
        QTest::newRow("scarichi invertito") << 4 << true << QStringList{"CAFFÈ", "BISCOTTI", "L'ORO", "ACQUA"};
        QTest::newRow("quantità") << 5 << false << QStringList{"BISCOTTI", "ACQUA", "L'ORO", "CAFFÈ"};
        QTest::newRow("produttore per ID") << 6 << false << QStringList{"BISCOTTI", "L'ORO", "CAFFÈ", "ACQUA"};
    }
    void prodotti_ordine() {
        QFETCH(int, voce);
        QFETCH(bool, inverti);
        QFETCH(QStringList, prodotti);
        ScriviProdotti();
        TfrmSetStampe w;
        Mostra(w);
        w.ui()->PageControl->setCurrentWidget(w.ui()->TabProdotti);
        w.scegliVoce(QStringLiteral("rgOrdinaPerProdotti"), voce);
        w.ui()->cbInvertiOrdineProdotti->setChecked(inverti);
        ImpostaImpostazione(Impostazioni::CarStampaProdotti, 8);
        TfrmStampaProdotti s(&w);
        w.PreparaProdotti(s);
        QCOMPARE(Codici(s.report().genera()), prodotti);
    }

    // No product: the warning, then the title, the headings and four zero totals.
    void prodotti_nessuno() {
        ScriviProdotti();
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione, Nessuno);
        TfrmStampaProdotti s(nullptr);
        s.Prodotto = QStringLiteral("NESSUNO");
        s.CarattereStampa = 8;
        const TDocumentoReport& d = s.report().genera();
        QCOMPARE(d.numeroPagine(), 1);
        QVERIFY(Codici(d).isEmpty());
        QVERIFY(d.testi(0).contains(QStringLiteral("Descrizione prodotto")));
        QCOMPARE(Testi(d, QStringLiteral("QRLABtottotvendite")), QStringList{"TOT.VEND: 0,00 €"});
        QCOMPARE(Testi(d, QStringLiteral("QRLABtottotacquisti")), QStringList{"TOT.ACQ: 0,00 €"});
        QCOMPARE(Testi(d, QStringLiteral("QRLABtottotrimanenze")), QStringList{"TOT.RIMAN: 0,00 €"});
        QCOMPARE(Testi(d, QStringLiteral("QRLABtottotdifferenza")), QStringList{"DIFFER: 0,00 €"});
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    // A size of 0 or below warns once and keeps the layout's size; a size
    // reaches both lines and the totals, never the title.
    void carattereStampa_data() {
        QTest::addColumn<QString>("report");
        QTest::addColumn<int>("carattere");
        QTest::addColumn<double>("atteso");
        QTest::addColumn<QStringList>("controlli");
        const QStringList prodotti{"LabGeneProduttore", "QRDBquantita", "QRDBprezzo", "QRLABdifferenza", "QRLABtottotdifferenza"};
        const QStringList listino{"LabGeneProduttore", "QRDBnome", "QRDBdescrizione"};
        const QStringList produttori{"QRDBid", "QRDBcap", "QRDBtelefono"};
        QTest::newRow("prodotti zero") << "prodotti" << 0 << 7.0 << prodotti;
        QTest::newRow("prodotti negativo") << "prodotti" << -4 << 7.0 << prodotti;
        QTest::newRow("prodotti dodici") << "prodotti" << 12 << 12.0 << prodotti;
        QTest::newRow("listino negativo") << "listino" << -1 << 9.0 << listino;
        QTest::newRow("listino dieci") << "listino" << 10 << 10.0 << listino;
        QTest::newRow("produttori zero") << "produttori" << 0 << 8.0 << produttori;
        QTest::newRow("produttori undici") << "produttori" << 11 << 11.0 << produttori;
    }
    void carattereStampa() {
        QFETCH(QString, report);
        QFETCH(int, carattere);
        QFETCH(double, atteso);
        QFETCH(QStringList, controlli);
        ScriviProdotti();
        TArchivio::corrente().esegui(QStringLiteral("update %1 set %2 = '01234', %3 = '0471 1'")
                                         .arg(TArchivio::corrente().nomeQualificato(Definizioni::Produttori),
                                              Produttori::Cap, Produttori::Telefono));
        if (carattere <= 0)
            m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Parametro di carattere di stampa inferiore a 0"));
        TfrmStampaProdotti p(nullptr);
        TfrmStampaListino l(nullptr);
        TfrmStampaProduttori r(nullptr);
        p.CarattereStampa = l.CarattereStampa = r.CarattereStampa = carattere;
        const TDocumentoReport& d = report == "prodotti" ? p.report().genera()
                                    : report == "listino" ? l.report().genera()
                                                          : r.report().genera();
        for (const QString& c : controlli) {
            QVERIFY2(!d.elementiDi(c).isEmpty(), qPrintable(c));
            QCOMPARE(d.font[d.elementiDi(c).first().font].pointSizeF(), atteso);
        }
        const QString titolo = report == "listino" ? QStringLiteral("QRLabel1") : QStringLiteral("QRLabTitolo");
        QCOMPARE(d.font[d.elementiDi(titolo).first().font].pointSizeF(), 12.0);
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    // A setting outside 6-72 prints at the nearest bound, with one warning
    // for the whole report; the bounds themselves are taken as they are.
    void carattereFuoriLimiti_data() {
        QTest::addColumn<QString>("report");
        QTest::addColumn<int>("carattere");
        QTest::addColumn<double>("atteso");
        QTest::addColumn<QString>("avviso");
        const QString sotto = QStringLiteral("Parametro di carattere di stampa inferiore a 6: viene usato 6");
        const QString sopra = QStringLiteral("Parametro di carattere di stampa superiore a 72: viene usato 72");
        QTest::newRow("prodotti 3") << "prodotti" << 3 << 6.0 << sotto;
        QTest::newRow("prodotti 6") << "prodotti" << 6 << 6.0 << QString();
        QTest::newRow("prodotti 72") << "prodotti" << 72 << 72.0 << QString();
        QTest::newRow("prodotti 200") << "prodotti" << 200 << 72.0 << sopra;
        QTest::newRow("listino 1") << "listino" << 1 << 6.0 << sotto;
        QTest::newRow("listino massimo intero") << "listino" << 2147483647 << 72.0 << sopra;
    }
    void carattereFuoriLimiti() {
        QFETCH(QString, report);
        QFETCH(int, carattere);
        QFETCH(double, atteso);
        QFETCH(QString, avviso);
        ScriviProdotti();
        if (!avviso.isEmpty()) m_amb->risposte.attendi(TTipoMessaggio::Attenzione, avviso);
        TfrmStampaProdotti p(nullptr);
        TfrmStampaListino l(nullptr);
        p.CarattereStampa = l.CarattereStampa = carattere;
        const TDocumentoReport& d = report == "prodotti" ? p.report().genera() : l.report().genera();
        const QString controllo = report == "prodotti" ? QStringLiteral("QRLABtottotdifferenza") : QStringLiteral("QRDBnome");
        QVERIFY(!d.elementiDi(controllo).isEmpty());
        // The control's size; a text too wide for its box may print smaller.
        QCOMPARE((report == "prodotti" ? p.report() : l.report()).controllo(controllo)->dimensioneFont(), atteso);
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    // A setting that is not a whole number stops the report with a message
    // that quotes what is stored.
    void carattereIlleggibile() {
        ScriviProdotti();
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("update %1 set %2 = 'dieci'")
                     .arg(a.nomeQualificato(Definizioni::Impostazioni), Impostazioni::CarStampaProdotti));
        TfrmSetStampe w;
        Mostra(w);
        w.ui()->PageControl->setCurrentWidget(w.ui()->TabProdotti);
        m_amb->risposte.attendi(TTipoMessaggio::ErroreGenerale, QStringLiteral("'dieci'"), true, true);
        QVERIFY2(!Anteprima(w.ui()->BTSstampa), "stampa eseguita con un carattere illeggibile");
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    // Long texts at size 16: a text shrinks to no less than three quarters of
    // its size and is then cut with "…", so every text stays in its box at a
    // readable size, and the four totals keep a space between them, also as
    // pdftotext reads them.
    void testiLunghi() {
        QString descrizione;
        for (int i = 0; i < 25; ++i) descrizione += QStringLiteral("Descrizione%1").arg(i % 10);  // 250 characters
        InserisciProdotto({.id = 1, .nome = "CAFFÈ", .descrizione = descrizione, .carichi = 30, .scarichi = 20,
                           .quantita = 10, .totaleAcquisti = 1e12, .totaleVendite = 999999999999.99, .prezzo = 2.5,
                           .prezzo2 = 4});
        InserisciProdotto({.id = 2, .nome = "ACQUA", .descrizione = "Naturale", .carichi = 1, .scarichi = 0,
                           .quantita = 1, .totaleAcquisti = 0.5, .totaleVendite = 0, .prezzo = 0.5});
        TfrmStampaProdotti s(nullptr);
        s.CarattereStampa = 16;
        const TDocumentoReport& d = s.report().genera();
        QImage foglio(8, 8, QImage::Format_RGB32);
        foglio.setDotsPerMeterX(qRound(1200 / 0.0254));
        foglio.setDotsPerMeterY(qRound(1200 / 0.0254));
        const double k = 1200 / 25.4;  // dots per mm
        // The extent of a text on the page, in mm.
        const auto estensione = [&](const TElementoPagina& e) {
            const double w = QFontMetricsF(d.font[e.font], &foglio).horizontalAdvance(e.testo) / k;
            const double x = (e.allineamento & Qt::AlignRight) ? e.area.right() - w : e.area.left();
            return qMakePair(x, x + w);
        };
        for (const TElementoPagina& e : d.pagine[0].elementi) {
            if (e.tipo != TElementoPagina::Testo || e.banda == TTipoBanda::Titolo || e.banda == TTipoBanda::IntestazioneColonne)
                continue;
            if (e.nome == QLatin1String("QRLabMeno") || e.nome == QLatin1String("QRLabPiu") || e.nome == QLatin1String("QRLabUguale"))
                continue;  // the signs keep the layout's size
            const double punti = d.font[e.font].pointSizeF();
            QVERIFY2(punti >= 12 && punti <= 16, qPrintable(e.nome + QStringLiteral(": ") + QString::number(punti)));
            const auto [x0, x1] = estensione(e);
            QVERIFY2(x1 - x0 <= e.area.width() + 0.01, qPrintable(e.nome + QStringLiteral(": ") + e.testo));
        }
        const QStringList descrizioni = Testi(d, QStringLiteral("QRDBdescrizione"));
        QCOMPARE(descrizioni.size(), 2);
        QVERIFY2(descrizioni[0].endsWith(QChar(0x2026)) && descrizioni[0].size() < 250 &&
                     descrizioni[0].startsWith(QStringLiteral("Descrizione0Descrizione1")),
                 qPrintable(descrizioni[0]));
        QCOMPARE(descrizioni[1], QStringLiteral("Naturale"));
        // A short text in a column keeps the size the setting gives.
        QCOMPARE(d.font[d.elementiDi(QStringLiteral("QRDBdescrizione"))[1].font].pointSizeF(), 16.0);
        // The totals, side by side, never touch.
        const char* totali[] = {"QRLABtottotvendite", "QRLABtottotacquisti", "QRLABtottotrimanenze", "QRLABtottotdifferenza"};
        for (int i = 0; i + 1 < 4; ++i) {
            const auto a = estensione(d.elementiDi(QString::fromLatin1(totali[i])).first());
            const auto b = estensione(d.elementiDi(QString::fromLatin1(totali[i + 1])).first());
            QVERIFY2(b.first - a.second >= 1.0, qPrintable(QStringLiteral("%1: %2 mm").arg(totali[i]).arg(b.first - a.second)));
        }
        const QString pdf = m_amb->file(QStringLiteral("lunghi.pdf"));
        s.report().salvaPdf(pdf);
        const QString testo = Pdftotext(pdf);
        // pdftotext spells the "…" out as three full stops.
        QVERIFY2(testo.contains(QStringLiteral("Descrizione0Descrizione1D...")), qPrintable(testo));
        QVERIFY2(!testo.contains(QStringLiteral("€TOT")) && !testo.contains(QStringLiteral("€DIFFER")), qPrintable(testo));
        QVERIFY2(testo.contains(QStringLiteral("TOT.ACQ:")) && testo.contains(QStringLiteral("DIFFER:")), qPrintable(testo));
    }

    // The price list: dated today, restricted by product code, producer, or
    // both, unordered with "Nessuno".
    void listino_data() {
        QTest::addColumn<QString>("prodotto");
        QTest::addColumn<QString>("produttore");
        QTest::addColumn<int>("idProduttore");
        QTest::addColumn<int>("voce");
        QTest::addColumn<bool>("inverti");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QStringList>("prodotti");
        const QString t = QStringLiteral("05/03/2011 Listino prodotti");
        QTest::newRow("senza filtri per codice") << "" << "" << 0 << 1 << false << t
                                                 << QStringList{"ACQUA", "BISCOTTI", "CAFFÈ", "L'ORO"};
        QTest::newRow("produttore senza ordine") << "" << "Zeno" << 1 << 0 << false << t + ", per produttore Zeno"
                                                 << QStringList{"L'ORO"};
        QTest::newRow("nessun produttore") << "" << "" << -1 << 0 << false << t
                                           << QStringList{"CAFFÈ", "L'ORO", "BISCOTTI", "ACQUA"};
        QTest::newRow("codice con apostrofo") << "L'ORO" << "" << 0 << 1 << false << t + ", per prodotto L'ORO"
                                              << QStringList{"L'ORO"};
        QTest::newRow("prodotto e produttore") << "L'ORO" << "Zeno" << 1 << 1 << false
                                               << t + ", per produttore Zeno, per prodotto L'ORO" << QStringList{"L'ORO"};
        QTest::newRow("prodotto d'altro produttore") << "L'ORO" << "Anna" << 2 << 1 << false
                                                     << t + ", per produttore Anna, per prodotto L'ORO" << QStringList{};
        QTest::newRow("prezzo invertito") << "" << "" << 0 << 3 << true << t
                                          << QStringList{"L'ORO", "CAFFÈ", "ACQUA", "BISCOTTI"};
        QTest::newRow("produttore per ID") << "" << "" << 0 << 4 << false << t
                                           << QStringList{"BISCOTTI", "L'ORO", "CAFFÈ", "ACQUA"};
    }
    void listino() {
        QFETCH(QString, prodotto);
        QFETCH(QString, produttore);
        QFETCH(int, idProduttore);
        QFETCH(int, voce);
        QFETCH(bool, inverti);
        QFETCH(QString, titolo);
        QFETCH(QStringList, prodotti);
        ScriviProdotti();
        // List prices 7,5 / 1234,5 / none / 0,25, as the order by price needs.
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("update %1 set %2 = case %3 when 1 then 7.5 when 2 then 1234.5 when 4 then 0.25 end")
                     .arg(a.nomeQualificato(Definizioni::Prodotti), Prodotti::PrezzoListino, Prodotti::Id));
        ImpostaOrologio(QDateTime(QDate(2011, 3, 5), QTime(9, 0)));
        if (prodotti.isEmpty()) m_amb->risposte.attendi(TTipoMessaggio::Attenzione, Nessuno);
        TfrmStampaListino s(nullptr);
        s.Prodotto = prodotto;
        s.Produttore = produttore;
        s.IdProduttore = idProduttore;
        s.CampoOrdine = CampoOrdineListino(voce);
        s.InvertiOrdine = inverti;
        s.CarattereStampa = 9;
        const TDocumentoReport& d = s.report().genera();
        QCOMPARE(d.titoloLavoro, QStringLiteral("Stampa del listino"));
        QCOMPARE(Testi(d, QStringLiteral("QRLabel1")), QStringList{titolo});
        QCOMPARE(Codici(d), prodotti);
        if (prodotti.size() == 4 && voce == 1) {
            QCOMPARE(Testi(d, QStringLiteral("QRDBprezzolistino")), (QStringList{"0,25 €", "7,50 €", "1.234,50 €"}));
            QCOMPARE(Testi(d, QStringLiteral("LabGeneProduttore")), (QStringList{" ", "Anna Bianchi", "Zeno Rossi"}));
            QCOMPARE(Testi(d, QStringLiteral("QRDBdescrizione")).first(), QStringLiteral("Naturale"));
            QVERIFY(d.testi(0).contains(QStringLiteral("Prezzo listino")));
        }
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    // The producers on one or two lines, with the double or the short
    // headings; a postal code is a whole number and loses its leading zero.
    void produttori_data() {
        QTest::addColumn<bool>("secondaRiga");
        QTest::addColumn<QStringList>("intestazioni");
        QTest::newRow("due righe") << false << QStringList{"Nome / telefono", "Cognome / p.iva", "Via / Descrizione"};
        QTest::newRow("una riga") << true << QStringList{"Nome", "Cognome", "Via"};
    }
    void produttori() {
        QFETCH(bool, secondaRiga);
        QFETCH(QStringList, intestazioni);
        ScriviProdotti();
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("update %1 set %2 = ?, %3 = ?, %4 = ?, %5 = ?, %6 = ?, %7 = ? where %8 = 2")
                     .arg(a.nomeQualificato(Definizioni::Produttori), Produttori::Via, Produttori::Cap,
                          Produttori::Citta, Produttori::Provincia, Produttori::Telefono, Produttori::Piva)
                     .arg(Produttori::Id),
                 {QStringLiteral("Via Roma 1"), QStringLiteral("00184"), QStringLiteral("Roma"), QStringLiteral("RM"),
                  QStringLiteral("06 123"), QStringLiteral("IT0123")});
        TfrmStampaProduttori s(nullptr);
        s.CampoOrdine = CampoOrdineProduttori(2);  // Cognome
        s.InvertiOrdine = true;
        s.NonStampaSecondaRiga = secondaRiga;
        s.CarattereStampa = 8;
        const TDocumentoReport& d = s.report().genera();
        QCOMPARE(d.titoloLavoro, QStringLiteral("Stampa riepilogativa produttori"));
        QCOMPARE(Testi(d, QStringLiteral("QRLabTitolo")), QStringList{"Elenco produttori"});
        QCOMPARE(Testi(d, QStringLiteral("QRDBcognome")), (QStringList{"Verdi", "Rossi", "Bianchi"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBid")), (QStringList{"3", "1", "2"}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBcap")), QStringList{"184"});
        QCOMPARE(Testi(d, QStringLiteral("QRDBprovincia")), QStringList{"RM"});
        QCOMPARE(Testi(d, QStringLiteral("QRLabel2")) + Testi(d, QStringLiteral("QRLabel3")) +
                     Testi(d, QStringLiteral("QRLabel4")),
                 intestazioni);
        QCOMPARE(Testi(d, QStringLiteral("QRDBtelefono")), secondaRiga ? QStringList{} : QStringList{"06 123"});
        QCOMPARE(Testi(d, QStringLiteral("QRDBpiva")), secondaRiga ? QStringList{} : QStringList{"IT0123"});
        const auto righe = d.elementiDi(QStringLiteral("QRDBid"));
        QCOMPARE(righe[1].area.y() - righe[0].area.y(), secondaRiga ? 5.0 : 9.5);
        // The flag taken off again: the second line is back.
        s.NonStampaSecondaRiga = !secondaRiga;
        QCOMPARE(Testi(s.report().genera(), QStringLiteral("QRDBtelefono")).isEmpty(), !secondaRiga);
    }

    void produttori_nessuno() {
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Nessun produttore da stampare."));
        TfrmStampaProduttori s(nullptr);
        s.CampoOrdine = CampoOrdineProduttori(0);
        s.CarattereStampa = 8;
        const TDocumentoReport& d = s.report().genera();
        QCOMPARE(d.numeroPagine(), 1);
        QVERIFY(d.testi(0).contains(QStringLiteral("Elenco produttori")));
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    // An ordering field outside the fixed ones never reaches the SQL.
    void ordineNonAmmesso() {
        QVERIFY_THROWS_EXCEPTION(ErroreArchivio, QueryProdottiStampa({}, 0, 0, QStringLiteral("nome; drop table x"), false));
        QVERIFY_THROWS_EXCEPTION(ErroreArchivio, QueryListino({}, 0, Produttori::Cap, false));
        QVERIFY_THROWS_EXCEPTION(ErroreArchivio, QueryProduttori(Prodotti::Quantita, false));
        QCOMPARE(QueryProduttori(QStringLiteral("cap"), true).testo.right(12), QStringLiteral(" by CAP desc"));
    }

    // The tabs hand their choices over: the picked product, producer and
    // category reach the report; each tab previews its report.
    void schede_anteprima() {
        ScriviProdotti();
        ImpostaImpostazione(Impostazioni::CarStampaProdotti, 8);
        ImpostaImpostazione(Impostazioni::CarStampaListino, 9);
        ImpostaImpostazione(Impostazioni::CarStampaProduttori, 10);
        TfrmSetStampe w;
        Mostra(w);
        SelezioneCorrente().IdProduttoreScelto = 1;
        SelezioneCorrente().NomeProduttoreScelto = QStringLiteral("Zeno");
        SelezioneCorrente().NomeProdottoScelto = QStringLiteral("L'ORO");
        SelezioneCorrente().IdCategoriaScelta = 2;
        SelezioneCorrente().CategoriaScelta = QStringLiteral("Dolci");
        w.ui()->PageControl->setCurrentWidget(w.ui()->TabProdotti);
        w.ui()->EditCategoriaTab3->setText(QStringLiteral("Dolci"));
        w.ui()->cbNonStampaProduttore->setChecked(true);
        w.ui()->cbSecondaRigaProdotti->setChecked(true);
        w.scegliVoce(QStringLiteral("rgOrdinaPerProdotti"), 0);
        TfrmStampaProdotti p(&w);
        w.PreparaProdotti(p);
        QCOMPARE(p.Prodotto, QStringLiteral("L'ORO"));
        QCOMPARE(p.Produttore, QStringLiteral("Zeno"));
        QCOMPARE(p.IdProduttore, 1);
        QCOMPARE(p.IdCategoria, 2);
        QCOMPARE(p.Categoria, QStringLiteral("Dolci"));
        QVERIFY(p.NonStampaProduttore && p.NonStampaSecondaRiga);
        QCOMPARE(p.CampoOrdine, QString());
        QCOMPARE(p.CarattereStampa, 8);
        QCOMPARE(Codici(p.report().genera()), QStringList{"L'ORO"});
        QVERIFY(Anteprima(w.ui()->BTSstampa));

        w.ui()->PageControl->setCurrentWidget(w.ui()->TabListino);
        QCOMPARE(w.ui()->EditProdottoTab4->text(), QStringLiteral("L'ORO"));
        TfrmStampaListino l(&w);
        w.PreparaListino(l);
        QCOMPARE(l.IdProduttore, 1);
        QCOMPARE(l.CampoOrdine, Prodotti::Nome);
        QCOMPARE(l.CarattereStampa, 9);
        QCOMPARE(Codici(l.report().genera()), QStringList{"L'ORO"});
        QVERIFY(Anteprima(w.ui()->BTSstampa));

        w.ui()->PageControl->setCurrentWidget(w.ui()->TabProduttori);
        w.ui()->cbSecondaRiga->setChecked(true);
        w.scegliVoce(QStringLiteral("rgOrdina"), 1);
        TfrmStampaProduttori r(&w);
        w.PreparaProduttori(r);
        QVERIFY(r.NonStampaSecondaRiga);
        QCOMPARE(r.CampoOrdine, Produttori::Nome);
        QCOMPARE(r.CarattereStampa, 10);
        QCOMPARE(Testi(r.report().genera(), QStringLiteral("QRDBnome")), (QStringList{"Anna", "Bruno", "Zeno"}));
        QVERIFY(Anteprima(w.ui()->BTSstampa));
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    // A failing report: the producers and price-list tabs show their
    // message; the products tab has none and the failure goes on to the
    // general error display. The window stays usable.
    void schede_errore() {
        TfrmSetStampe w;
        Mostra(w);
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("drop table ") + a.nomeQualificato(Definizioni::Prodotti));
        a.esegui(QStringLiteral("drop table ") + a.nomeQualificato(Definizioni::Produttori));
        w.ui()->PageControl->setCurrentWidget(w.ui()->TabProduttori);
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral(
            "Errore irreversibile in fase di stampa elenco produttori contattare Vavori Rarovazazo."));
        QVERIFY(!Anteprima(w.ui()->BTSstampa));
        w.ui()->PageControl->setCurrentWidget(w.ui()->TabListino);
        m_amb->risposte.attendi(TTipoMessaggio::Errore,
                                QStringLiteral("Errore irreversibile in fase di stampa listino contattare Vavori Rarovazazo."));
        QVERIFY(!Anteprima(w.ui()->BTSstampa));
        w.ui()->PageControl->setCurrentWidget(w.ui()->TabProdotti);
        m_amb->risposte.attendi(TTipoMessaggio::ErroreGenerale, QStringLiteral("no such table"), true, true);
        QVERIFY(!Anteprima(w.ui()->BTSstampa));
        QVERIFY(w.isVisible());
        ZR_VERIFICA_RISPOSTE(*m_amb);
    }

    void prodotti_pdf() {
        ScriviProdotti();
        TfrmStampaProdotti s(nullptr);
        s.Prodotto = QStringLiteral("CAFFÈ");
        s.Produttore = QStringLiteral("Anna");
        s.IdProduttore = 2;
        s.CarattereStampa = 8;
        const QString pdf = m_amb->file(QStringLiteral("prodotti.pdf"));
        s.report().salvaPdf(pdf);
        const QString testo = Pdftotext(pdf);
        for (const char* atteso : {"Elenco prodotti, per produttore Anna, per prodotto CAFFÈ", "Pag.1", "Gg.giacenza",
                                   "Anna Bianchi", "Caffè in grani", "25,00", "45,00 €", "TOT.VEND: 100,00 €",
                                   "DIFFER: 45,00 €"})
            QVERIFY2(testo.contains(QString::fromUtf8(atteso)), atteso);
    }
};

QTEST_MAIN(TestStampeProdotti)
#include "test_stampeprodotti.moc"
