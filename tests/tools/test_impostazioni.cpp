// The settings window on a real impostazioni.db: extra records repaired,
// "Annulla", "Esci" and "Ok", font sizes outside the lists.

#include "AmbienteTest.h"

#include "data/engine/Archivio.h"
#include "tools/Impostazioni.h"
#include "ui_Impostazioni.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>

namespace {

QString Campo(const TAmbienteTest& amb, const QString& campo) {
    return Sqlite3(amb.file("impostazioni.db"), QStringLiteral("select %1 from impostazioni").arg(campo));
}

QByteArray Contenuto(const TAmbienteTest& amb) {
    QFile f(amb.file("impostazioni.db"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString DomandaEsci = QStringLiteral(
    "E' in corso un'operazione di modifica dati, uscendo tali modifiche andranno perse, sei sicuro di voler uscire?");

}  // namespace

class TestImpostazioni : public QObject {
    Q_OBJECT
private slots:
    void mostraIlRecord();
    void treRecord();
    void annulla();
    void esci_data();
    void esci();
    void escSenzaModifiche();
    void ok();
    void okSenzaModifiche();
    void carattereFuoriLista();
    void chiusuraDallaBarra();
    void giorniPreavviso();
};

void TestImpostazioni::mostraIlRecord() {
    TAmbienteTest amb;
    TFrmImpostazioni f;
    auto* ui = f.ui();
    QCOMPARE(f.windowTitle(), QStringLiteral("Impostazioni"));
    QCOMPARE(ui->PageControl1->currentWidget(), ui->Generale);
    QCOMPARE(ui->PageControl1->count(), 2);
    // The defaults of the record.
    QVERIFY(!ui->dbordinaProdSequenza->isChecked());
    QVERIFY(!ui->DBCheckBox1->isChecked());
    QVERIFY(ui->DBCheckBox3->isChecked());
    QVERIFY(ui->DBCheckBox4->isChecked());
    QVERIFY(ui->DBCheckBox2->isChecked());
    for (QComboBox* c : {ui->DBComboBox1, ui->DBComboBox2, ui->DBComboBox3, ui->DBComboBox4, ui->DBComboBox5,
                         ui->DBComboBox6, ui->DBComboBox7}) {
        QCOMPARE(c->currentText(), QStringLiteral("10"));
        QVERIFY(!c->isEditable());
        QStringList voci;
        for (int i = 0; i < c->count(); ++i) voci << c->itemText(i);
        QCOMPARE(voci, QStringList({"8", "9", "10", "11", "12", "14", "16"}));
    }
    QCOMPARE(ui->sbEsci->toolTip(), QStringLiteral("Esci da questa maschera senza salvare le modifiche"));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestImpostazioni::treRecord() {
    TAmbienteTest amb;
    Sqlite3(amb.file("impostazioni.db"),
            "insert into impostazioni (CAR_STAMPA_STORICO, CANC_AUTOMATICA) values (12, 0);"
            "insert into impostazioni (CAR_STAMPA_STORICO, CANC_AUTOMATICA) values (14, 1);");
    QCOMPARE(Sqlite3(amb.file("impostazioni.db"), "select count(*) from impostazioni"), QStringLiteral("3"));
    amb.risposte.attendi(TTipoMessaggio::Attenzione,
                         QStringLiteral("Sono state rilevate incoerenze nel file di configurazione, la situazione verrà "
                                        "corretta automaticamente, se si riscontrano ancora problemi contattare Vavori "
                                        "Rarovazazo."));
    TFrmImpostazioni f;
    ZR_VERIFICA_RISPOSTE(amb);
    QCOMPARE(amb.risposte.mostrati.size(), 1);
    QCOMPARE(Sqlite3(amb.file("impostazioni.db"), "select count(*) from impostazioni"), QStringLiteral("1"));
    QCOMPARE(Campo(amb, "CAR_STAMPA_STORICO"), QStringLiteral("14"));
    // The third record is the one shown.
    QCOMPARE(f.ui()->DBComboBox1->currentText(), QStringLiteral("14"));
    QVERIFY(f.ui()->DBCheckBox1->isChecked());
    QCOMPARE(f.ui()->PageControl1->currentWidget(), f.ui()->Generale);
}

void TestImpostazioni::annulla() {
    TAmbienteTest amb;
    TFrmImpostazioni f;
    const QByteArray prima = Contenuto(amb);
    EseguiModale(&f, [&] {
        QTest::mouseClick(f.ui()->DBCheckBox1, Qt::LeftButton);
        QVERIFY(f.ui()->DBCheckBox1->isChecked());
        QVERIFY(f.TblImpostazioni().inModifica());
        QTest::mouseClick(f.ui()->sbAnnulla, Qt::LeftButton);
        QVERIFY(f.isVisible());
        QVERIFY(!f.TblImpostazioni().inModifica());
        QVERIFY(!f.ui()->DBCheckBox1->isChecked());
        QTest::mouseClick(f.ui()->sbEsci, Qt::LeftButton);  // nothing pending: no question
    });
    QCOMPARE(Contenuto(amb), prima);
    QCOMPARE(Campo(amb, "CANC_AUTOMATICA"), QStringLiteral("0"));
    ZR_VERIFICA_RISPOSTE(amb);
}

// "Esci" and Escape (pressed where the focus is, on the box just ticked) go
// the same way: the question, No keeps the change, Yes discards it.
void TestImpostazioni::esci_data() {
    QTest::addColumn<bool>("tastoEsc");
    QTest::newRow("pulsante Esci") << false;
    QTest::newRow("tasto Esc") << true;
}

void TestImpostazioni::esci() {
    QFETCH(bool, tastoEsc);
    TAmbienteTest amb;
    TFrmImpostazioni f;
    const QByteArray prima = Contenuto(amb);
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaEsci, false);
    amb.risposte.attendi(TTipoMessaggio::Domanda, DomandaEsci, true);
    const auto esci = [&] {
        if (tastoEsc) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else QTest::mouseClick(f.ui()->sbEsci, Qt::LeftButton);
    };
    const int esito = EseguiModale(&f, [&] {
        f.ui()->dbordinaProdSequenza->setFocus();
        QTest::mouseClick(f.ui()->dbordinaProdSequenza, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), f.ui()->dbordinaProdSequenza);
        esci();
        // No: the window stays with the change pending.
        QVERIFY(f.isVisible());
        QVERIFY(f.TblImpostazioni().inModifica());
        QVERIFY(f.ui()->dbordinaProdSequenza->isChecked());
        esci();
        QVERIFY(!f.isVisible());
    });
    QCOMPARE(esito, int(QDialog::Rejected));
    QVERIFY(!f.TblImpostazioni().inModifica());
    QCOMPARE(Contenuto(amb), prima);
    QCOMPARE(Campo(amb, "ORD_PRODOTTI_STANDARD"), QStringLiteral("0"));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestImpostazioni::escSenzaModifiche() {
    TAmbienteTest amb;
    TFrmImpostazioni f;
    const int esito = EseguiModale(&f, [&] {
        f.ui()->DBCheckBox1->setFocus();
        QTest::keyClick(f.ui()->DBCheckBox1, Qt::Key_Escape);
        QVERIFY(!f.isVisible());
    });
    QCOMPARE(esito, int(QDialog::Rejected));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestImpostazioni::ok() {
    TAmbienteTest amb;
    TFrmImpostazioni f;
    EseguiModale(&f, [&] {
        QTest::mouseClick(f.ui()->dbordinaProdSequenza, Qt::LeftButton);
        QTest::mouseClick(f.ui()->DBCheckBox3, Qt::LeftButton);
        f.ui()->PageControl1->setCurrentWidget(f.ui()->tsStampe);
        f.ui()->DBComboBox7->setFocus();
        QTest::keyClick(f.ui()->DBComboBox7, Qt::Key_End);  // 16
        f.ui()->DBComboBox2->setFocus();
        QTest::keyClick(f.ui()->DBComboBox2, Qt::Key_Up);  // 9
        QTest::mouseClick(f.ui()->sbOK, Qt::LeftButton);
        QVERIFY(!f.isVisible());
    });
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(Sqlite3(amb.file("impostazioni.db"),
                     "select ORD_PRODOTTI_STANDARD, DATAINGRESSO_AUTOMATICA, CAR_STAMPA_QTAALERT, "
                     "CAR_STAMPA_PRODUTTORI, CAR_STAMPA_STORICO, count(*) from impostazioni"),
             QStringLiteral("1|0|16|9|10|1"));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestImpostazioni::okSenzaModifiche() {
    TAmbienteTest amb;
    TFrmImpostazioni f;
    const QByteArray prima = Contenuto(amb);
    EseguiModale(&f, [&] { QTest::mouseClick(f.ui()->sbOK, Qt::LeftButton); });
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(Contenuto(amb), prima);
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestImpostazioni::carattereFuoriLista() {
    TAmbienteTest amb;
    Sqlite3(amb.file("impostazioni.db"), "update impostazioni set CAR_STAMPA_STORICO = 13, CAR_STAMPA_LISTINO = null");
    TFrmImpostazioni f;
    QCOMPARE(f.ui()->DBComboBox1->currentIndex(), -1);
    QCOMPARE(f.ui()->DBComboBox4->currentIndex(), -1);
    EseguiModale(&f, [&] {
        QTest::mouseClick(f.ui()->DBCheckBox4, Qt::LeftButton);
        QTest::mouseClick(f.ui()->sbOK, Qt::LeftButton);
    });
    QCOMPARE(Sqlite3(amb.file("impostazioni.db"),
                     "select CAR_STAMPA_STORICO, ifnull(CAR_STAMPA_LISTINO, 'null'), SOVRASCRIVI_PREZ_LISTINO from impostazioni"),
             QStringLiteral("13|null|0"));
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestImpostazioni::chiusuraDallaBarra() {
    TAmbienteTest amb;
    TFrmImpostazioni f;
    const QByteArray prima = Contenuto(amb);
    EseguiModale(&f, [&] {
        QTest::mouseClick(f.ui()->DBCheckBox2, Qt::LeftButton);
        QVERIFY(f.TblImpostazioni().inModifica());
        f.close();
    });
    QVERIFY(!f.TblImpostazioni().inModifica());
    QCOMPARE(Contenuto(amb), prima);
    ZR_VERIFICA_RISPOSTE(amb);
}

void TestImpostazioni::giorniPreavviso() {
    TAmbienteTest amb;
    // A book from before the setting has it empty: shown as 0, no warning.
    Sqlite3(amb.file("impostazioni.db"), "update impostazioni set GIORNI_PREAVVISO_SCADENZA = NULL");
    TFrmImpostazioni f;
    QCOMPARE(f.ui()->spGiorniPreavviso->value(), 0);
    f.ui()->spGiorniPreavviso->setValue(7);
    QVERIFY(f.TblImpostazioni().inModifica());
    QCOMPARE(Campo(amb, "GIORNI_PREAVVISO_SCADENZA"), QString());
    QTest::mouseClick(f.ui()->sbOK, Qt::LeftButton);
    QCOMPARE(Campo(amb, "GIORNI_PREAVVISO_SCADENZA"), QStringLiteral("7"));
    ZR_VERIFICA_RISPOSTE(amb);
}

QTEST_MAIN(TestImpostazioni)
#include "test_impostazioni.moc"
