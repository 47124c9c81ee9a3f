// The main window's commands that open the settings, the help page, the
// repair tool and the bug report, and the maker's links.

#include "AmbienteTest.h"

#include "app/Applicazione.h"
#include "app/Fx.h"
#include "app/Main.h"
#include "data/Impostazioni.h"
#include "ui_Impostazioni.h"
#include "ui_Main.h"

class TestComandi : public QObject {
    Q_OBJECT
private slots:
    void impostazioni();
};

void TestComandi::impostazioni() {
    TAmbienteTest amb;
    TfrmMain m;
    QVERIFY(m.ui()->Impostazioni1->isEnabled());
    bool aperta = false;
    QuandoSiApre([&](QWidget* w) {
        aperta = qobject_cast<TFrmImpostazioni*>(w) != nullptr && w->parentWidget() == &m;
        QTest::mouseClick(qobject_cast<TFrmImpostazioni*>(w)->ui()->sbEsci, Qt::LeftButton);
    });
    m.ui()->Impostazioni1->trigger();
    QVERIFY(aperta);
    // The window was destroyed when it closed.
    QVERIFY(m.findChildren<TFrmImpostazioni*>().isEmpty());
    ZR_VERIFICA_RISPOSTE(amb);
}

QTEST_MAIN(TestComandi)
#include "test_comandi.moc"
