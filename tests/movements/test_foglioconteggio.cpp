// The count sheet of a stocktake: the window hands the count's products in
// shelf order to the sheet, which is read back from its PDF.

#include "AmbienteTest.h"
#include "DatiProva.h"
#include "Fixture.h"
#include "data/Orologio.h"
#include "movements/InventarioFisicoFinestra.h"
#include "reports/StampaFoglioConteggio.h"
#include "reports/engine/Pittura.h"
#include "ui_InventarioFisico.h"

#include <QApplication>

namespace {

// The sheet written to a PDF instead of the preview.
class TFoglioInPdf : public TfrmStampaFoglioConteggio {
public:
    explicit TFoglioInPdf(const QString& pdf) : TfrmStampaFoglioConteggio(nullptr), m_pdf(pdf) {}
    void Anteprima(const QDate& data, const QString& ambito, const QVector<TRigaFoglioConteggio>& righe) override {
        ++volte;
        impostaFoglio(data, ambito, righe);
        QVERIFY(ScriviPdf(report().genera(), m_pdf));
    }
    int volte = 0;

private:
    QString m_pdf;
};

}  // namespace

class TestFoglioConteggio : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void foglioInOrdineDiScaffale();
    void moltePagine();
};

// Products entered out of order, one of another category left out by the
// count's filter: the sheet lists the rest by category, then code, each with
// its box, and the button waits for a count to be started.
void TestFoglioConteggio::foglioInOrdineDiScaffale() {
    InserisciCategoria(1, QStringLiteral("Viteria"));
    InserisciCategoria(2, QStringLiteral("Attrezzi"));
    InserisciCategoria(3, QStringLiteral("Vernici"));
    ScriviProdotto({.id = 1, .nome = QStringLiteral("V20"), .descrizione = QStringLiteral("Viti da legno 20 mm"), .idCategoria = 1});
    ScriviProdotto({.id = 2, .nome = QStringLiteral("M01"), .descrizione = QStringLiteral("Martello da carpentiere"), .idCategoria = 2});
    ScriviProdotto({.id = 3, .nome = QStringLiteral("V10"), .descrizione = QStringLiteral("Viti da legno 10 mm"), .idCategoria = 1});
    ScriviProdotto({.id = 4, .nome = QStringLiteral("B05"), .descrizione = QStringLiteral("Bulloni M5"), .idCategoria = 1});
    ScriviProdotto({.id = 5, .nome = QStringLiteral("S01"), .descrizione = QStringLiteral("Smalto bianco"), .idCategoria = 3});
    ImpostaOrologio(QDateTime(QDate(2026, 12, 31), QTime(18, 0)));
    const QString pdf = m_amb->file(QStringLiteral("foglio.pdf"));
    TFoglioInPdf foglio(pdf);
    TfrmInventarioFisico f(nullptr, {}, &foglio);
    Mostra(f);
    QVERIFY(!f.ui()->btnFoglio->isEnabled());
    f.ui()->cbProduttore->setCurrentIndex(0);
    const int senzaVernici = f.ui()->cbCategoria->findText(QStringLiteral("Viteria"));
    f.ui()->cbCategoria->setCurrentIndex(senzaVernici);
    QTest::mouseClick(f.ui()->btnInizia, Qt::LeftButton);
    QVERIFY(f.ui()->btnFoglio->isEnabled());
    QTest::mouseClick(f.ui()->btnFoglio, Qt::LeftButton);
    QCOMPARE(foglio.volte, 1);

    const QString testo = Pdftotext(pdf);
    for (const char* atteso : {"Foglio di conteggio", "Inventario del 31/12/2026", "Categoria: Viteria", "Categoria", "Codice",
                               "Descrizione", "Contato", "Prodotti da contare: 3"})
        QVERIFY2(testo.contains(QString::fromUtf8(atteso)), atteso);
    QVERIFY(!testo.contains(QStringLiteral("Martello")));
    QVERIFY(!testo.contains(QStringLiteral("Smalto")));
    // Each product on its own line, category, code and description in their
    // columns and in shelf order.
    QStringList righe;
    for (const QString& r : testo.split(QLatin1Char('\n')))
        if (r.contains(QStringLiteral("Viteria")) && !r.contains(QStringLiteral("Categoria:"))) righe << r.simplified();
    QCOMPARE(righe, (QStringList{QStringLiteral("Viteria B05 Bulloni M5"), QStringLiteral("Viteria V10 Viti da legno 10 mm"),
                                 QStringLiteral("Viteria V20 Viti da legno 20 mm")}));
    // Each line has its empty box.
    const QVector<TElementoPagina> caselle = foglio.report().genera().elementiDi(QStringLiteral("QRShapeConta"));
    QCOMPARE(caselle.size(), 3);
    for (const TElementoPagina& e : caselle) QCOMPARE(e.tipo, TElementoPagina::Rettangolo);
}

// A count of every product runs over several pages, each with its header.
void TestFoglioConteggio::moltePagine() {
    QVector<TRigaFoglioConteggio> righe;
    for (int i = 1; i <= 120; ++i)
        righe.append({QStringLiteral("Cat"), QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("Prodotto %1").arg(i)});
    const QString pdf = m_amb->file(QStringLiteral("molte.pdf"));
    TFoglioInPdf foglio(pdf);
    foglio.Anteprima(QDate(2026, 6, 30), QStringLiteral("Tutti i prodotti"), righe);
    const QString testo = Pdftotext(pdf);
    const TDocumentoReport& d = foglio.report().genera();
    QVERIFY(d.numeroPagine() >= 3);
    for (int p = 0; p < d.numeroPagine(); ++p) QVERIFY(d.testi(p).contains(QStringLiteral("Contato")));
    QVERIFY(testo.contains(QStringLiteral("C001")));
    QVERIFY(testo.contains(QStringLiteral("C120")));
    QVERIFY(testo.indexOf(QStringLiteral("C001")) < testo.indexOf(QStringLiteral("C120")));
    QVERIFY(testo.contains(QStringLiteral("Prodotti da contare: 120")));
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TestFoglioConteggio t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_foglioconteggio.moc"
