// Every task window opens whole and in the middle of a 1024x768 screen, as
// the main window's menu opens it, with no control covering another: the
// windows whose size comes from their layout only when they are shown, the
// large ones, the lists and dialogs other windows open, and the report preview.

#include "AmbienteTest.h"
#include "app/Main.h"
#include "gui/ListaCategorie.h"
#include "gui/ListaProdotti.h"
#include "gui/ListaProduttori.h"
#include "movements/ProssimeScadenze.h"
#include "reports/Anteprima.h"
#include "reports/engine/Report.h"
#include "tools/InputDate.h"

#include <QAction>
#include <QApplication>
#include <QLayout>
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

// No two controls side by side cover each other: a window smaller than its
// content squeezes its layout until boxes overlap. Gives the pairs that do.
QStringList Sovrapposizioni(QWidget* finestra) {
    QStringList trovate;
    QList<QWidget*> padri = finestra->findChildren<QWidget*>();
    padri << finestra;
    for (QWidget* padre : padri) {
        if (!padre->isVisible() || !padre->layout()) continue;
        QList<QWidget*> figli;
        for (QWidget* w : padre->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isVisible() && !w->isWindow()) figli << w;
        for (int i = 0; i < figli.size(); ++i)
            for (int j = i + 1; j < figli.size(); ++j)
                if (figli[i]->geometry().intersects(figli[j]->geometry()))
                    trovate << figli[i]->objectName() + QStringLiteral(" e ") + figli[j]->objectName();
    }
    return trovate;
}

}  // namespace

class TestFinestre : public QObject {
    Q_OBJECT
private slots:
    void schermo();
    void dalMenu_data();
    void dalMenu();
    void centrateEIntere_data();
    void centrateEIntere();
    void anteprimaDelReport();
};

void TestFinestre::schermo() {
    // The tests below mean something only on the screen they were written for.
    QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), QSize(1024, 768));
}

void TestFinestre::dalMenu_data() {
    QTest::addColumn<QString>("voce");
    for (const char* voce : {"Prodotti", "Produttori", "Categorie", "Carico / scarico", "Aggiustamento / resi",
                             "Controllo scadenze", "Controllo quantità", "Elimina operazioni storico", "Azzera scarichi",
                             "Visioni e stampe", "Stampa inventario", "Impostazioni", "Segnala bug", "Salvataggio dati",
                             "Recupero dati", "Invio dati a Vavori Rarovazazo", "Esportazione ascii / excel", "Riepilogo",
                             "Proposta d'ordine", "Importazione dati"})
        QTest::newRow(voce) << QString::fromUtf8(voce);
}

void TestFinestre::dalMenu() {
    // The window the menu entry opens, as the user opens it.
    QFETCH(QString, voce);
    TAmbienteTest amb;
    TfrmMain principale;
    principale.show();
    QVERIFY(QTest::qWaitForWindowExposed(&principale));
    QAction* azione = nullptr;
    for (QAction* a : principale.findChildren<QAction*>())
        if (a->text() == voce) azione = a;
    QVERIFY(azione);
    QRect g;
    QRect area;
    QString classe;
    QStringList sovrapposte;
    QuandoSiApre([&](QWidget* f) {
        QVERIFY(QTest::qWaitForWindowExposed(f));
        g = f->frameGeometry();
        area = f->screen()->availableGeometry();
        classe = QString::fromLatin1(f->metaObject()->className());
        sovrapposte = Sovrapposizioni(f);
        // Ended as its own exit button ends it; some windows refuse a plain close.
        if (auto* d = qobject_cast<QDialog*>(f)) d->done(QDialog::Rejected);
        else f->close();
    }, &principale);
    azione->trigger();
    QVERIFY(!g.isNull());
    QVERIFY2(area.contains(g), qPrintable(QStringLiteral("%1: %2,%3 %4x%5").arg(classe).arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())));
    QVERIFY2(qAbs(g.center().x() - area.center().x()) <= 20 && qAbs(g.center().y() - area.center().y()) <= 20,
             qPrintable(QStringLiteral("%1: %2,%3 %4x%5").arg(classe).arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())));
    QVERIFY2(sovrapposte.isEmpty(), qPrintable(classe + QStringLiteral(": si sovrappongono ") + sovrapposte.join(", ")));
}

void TestFinestre::centrateEIntere_data() {
    // Windows that other windows open: the selection lists and the export's
    // period dialog.
    QTest::addColumn<TCreaFinestra>("crea");
    auto riga = [](const char* nome, TCreaFinestra crea) { QTest::newRow(nome) << crea; };
    riga("periodo dell'esportazione", [](QWidget* g) { return new TInputDate(g); });
    riga("lista categorie", [](QWidget* g) { return new TFrmListaCategorie(g); });
    riga("lista prodotti", [](QWidget* g) { return new TFrmListaProdotti(g); });
    riga("lista produttori", [](QWidget* g) { return new TFrmListaProduttori(g); });
    riga("prodotti in scadenza", [](QWidget* g) { return new TFrmProssimeScadenze(g, 7); });
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
    QStringList sovrapposte;
    QTimer::singleShot(0, f.get(), [&] {
        esposta = QTest::qWaitForWindowExposed(f.get());
        sovrapposte = Sovrapposizioni(f.get());
        f->reject();
    });
    f->exec();
    QVERIFY(esposta);
    VerificaCentrata(f.get());
    QVERIFY2(sovrapposte.isEmpty(), qPrintable(QStringLiteral("si sovrappongono: ") + sovrapposte.join(", ")));
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
    MostraAnteprima(r, &principale);
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
