// Every task window opens whole and in the middle of a 1024x768 screen, over
// the main window as the program opens it: the windows whose size comes from
// their layout only when they are shown, the large ones, and the report preview.

#include "AmbienteTest.h"
#include "app/Main.h"
#include "data/Impostazioni.h"
#include "movements/AggiustamentoResi.h"
#include "movements/AzzeraScarichi.h"
#include "movements/CaricoScarico.h"
#include "movements/SetCancStorico.h"
#include "online/Bug.h"
#include "registries/AnagProdotti.h"
#include "registries/AnagProduttori.h"
#include "registries/Categorie.h"
#include "registries/ListaCategorie.h"
#include "registries/ListaProdotti.h"
#include "registries/ListaProduttori.h"
#include "reports/SetStampaInventario.h"
#include "reports/SetStampe.h"
#include "reports/engine/Report.h"
#include "tools/EsportazioneTabelle.h"
#include "tools/InputDate.h"
#include "tools/InvioDatiCasaMadre.h"
#include "tools/RecuperoDati.h"
#include "tools/SalvataggioDati.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryFile>

using TCreaFinestra = std::function<QDialog*(QWidget*)>;
Q_DECLARE_METATYPE(TCreaFinestra)

namespace {

// The window must lie within the screen's free area and its centre within a
// few pixels of the area's centre (the window system's frame, unknown to an
// unmapped window, may shift it by half its size).
void VerificaCentrata(QWidget* finestra) {
    const QRect area = finestra->screen()->availableGeometry();
    const QRect g = finestra->frameGeometry();
    QVERIFY2(area.contains(g), qPrintable(QStringLiteral("%1: %2,%3 %4x%5 fuori da %6x%7")
                                              .arg(finestra->metaObject()->className())
                                              .arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())
                                              .arg(area.width()).arg(area.height())));
    const QPoint scarto = g.center() - area.center();
    QVERIFY2(qAbs(scarto.x()) <= 20 && qAbs(scarto.y()) <= 20,
             qPrintable(QStringLiteral("%1: centro spostato di %2,%3 (%4,%5 %6x%7)")
                            .arg(finestra->metaObject()->className())
                            .arg(scarto.x()).arg(scarto.y())
                            .arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())));
}

}  // namespace

class TestFinestre : public QObject {
    Q_OBJECT
private slots:
    void schermo();
    void centrateEIntere_data();
    void centrateEIntere();
    void anteprimaDelReport();
};

void TestFinestre::schermo() {
    // The tests below mean something only on the screen they were written for.
    QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), QSize(1024, 768));
}

void TestFinestre::centrateEIntere_data() {
    QTest::addColumn<TCreaFinestra>("crea");
    auto riga = [](const char* nome, TCreaFinestra crea) { QTest::newRow(nome) << crea; };
    riga("salvataggio", [](QWidget* g) { return new TFrmSalvataggioDati(g); });
    riga("ripristino", [](QWidget* g) { return new TFrmRecuperoDati(g); });
    riga("invio dati", [](QWidget* g) { return new TFrmInvioDatiCasaMadre(g); });
    riga("esportazione", [](QWidget* g) { return new TfrmEsportazioneTabelle(g); });
    riga("periodo dell'esportazione", [](QWidget* g) { return new TInputDate(g); });
    riga("impostazioni", [](QWidget* g) { return new TFrmImpostazioni(g); });
    riga("carico / scarico", [](QWidget* g) { return new TFrmCaricoScarico(g); });
    riga("aggiustamenti e resi", [](QWidget* g) { return new TFrmAggiustamentoResi(g); });
    riga("azzera scarichi", [](QWidget* g) { return new TfrmAzzeraScarichi(g); });
    riga("cancella storico", [](QWidget* g) { return new TfrmSetCancStorico(g); });
    riga("segnala bug", [](QWidget* g) { return new TfrmBug(g); });
    riga("anagrafica prodotti", [](QWidget* g) { return new TFrmAnagProdotti(g); });
    riga("anagrafica produttori", [](QWidget* g) { return new TFrmAnagProduttori(g); });
    riga("categorie", [](QWidget* g) { return new TFrmCategorie(g); });
    riga("lista categorie", [](QWidget* g) { return new TFrmListaCategorie(g); });
    riga("lista prodotti", [](QWidget* g) { return new TFrmListaProdotti(g); });
    riga("lista produttori", [](QWidget* g) { return new TFrmListaProduttori(g); });
    riga("visioni e stampe", [](QWidget* g) { return new TfrmSetStampe(g); });
    riga("stampa inventario", [](QWidget* g) { return new TFrmSetStampaInventario(g); });
}

void TestFinestre::centrateEIntere() {
    QFETCH(TCreaFinestra, crea);
    TAmbienteTest amb;
    TfrmMain principale;
    principale.show();
    QVERIFY(QTest::qWaitForWindowExposed(&principale));
    std::unique_ptr<QDialog> f(crea(&principale));
    // Shown as the main window shows it, modally; looked at once on screen.
    bool esposta = false;
    QTimer::singleShot(0, f.get(), [&] {
        esposta = QTest::qWaitForWindowExposed(f.get());
        f->reject();
    });
    f->exec();
    QVERIFY(esposta);
    VerificaCentrata(f.get());
}

void TestFinestre::anteprimaDelReport() {
    TAmbienteTest amb;
    TfrmMain principale;
    principale.show();
    QVERIFY(QTest::qWaitForWindowExposed(&principale));
    TReport r;
    r.titoloLavoro = QStringLiteral("Prova");
    r.banda(TTipoBanda::Titolo, 20);
    QRect g;
    QRect area;
    QuandoSiApre([&](QWidget* anteprima) {
        g = anteprima->frameGeometry();
        area = anteprima->screen()->availableGeometry();
        anteprima->close();
    }, &principale);
    r.anteprima(&principale);
    QVERIFY(!g.isNull());
    QVERIFY2(area.contains(g), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())));
    QVERIFY(qAbs(g.center().x() - area.center().x()) <= 20 && qAbs(g.center().y() - area.center().y()) <= 20);
}

int main(int argc, char** argv) {
    // An offscreen screen of 1024x768, the smallest the program is made for.
    QTemporaryFile schermo;
    if (!schermo.open()) return 1;
    schermo.write(R"({"screens": [{"name": "prova", "x": 0, "y": 0, "width": 1024, "height": 768,)"
                  R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    schermo.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(schermo.fileName()));
    QApplication app(argc, argv);
    TestFinestre t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_finestre.moc"
