// The producers registry: keys, the checks before a producer is stored,
// texts cut to their fields, the search by name or surname.

#include "AmbienteTest.h"
#include "Dati.h"
#include "gui/ModelloElenco.h"
#include "gui/Navigatore.h"
#include "data/engine/Tabella.h"
#include "registries/AnagProduttori.h"

#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

namespace {
QLineEdit* Box(QWidget* f, const char* nome) { return Controllo<QLineEdit>(f, nome); }
void Premi(QWidget* f, TNavigatore::Pulsante p) {
    QTest::mouseClick(Controllo<TNavigatore>(f, "DBNavigator1")->pulsante(p), Qt::LeftButton);
}
QString Db(const TAmbienteTest& amb, const QString& sql) { return Sqlite3(amb.file(QStringLiteral("produttori.db")), sql); }
QStringList Id(TFrmAnagProduttori& f) {
    QStringList l;
    for (int i = 0; i < f.listaProduttori()->conteggio(); ++i)
        l << f.listaProduttori()->valore(i, QStringLiteral("ID")).toString();
    return l;
}
}  // namespace

class TestAnagProduttori : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void nuovoProduttore_controlliETesti() {
        TFrmAnagProduttori f;
        QVERIFY(MostraAttiva(&f));
        QCOMPARE(f.windowTitle(), QStringLiteral("Anagrafica produttori"));
        Premi(&f, TNavigatore::Inserisci);
        QCOMPARE(Box(&f, "DBEditcodice")->text(), QStringLiteral("1"));
        QVERIFY(Box(&f, "DBEditNome")->hasFocus());
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Manca il nome del produttore!"));
        Premi(&f, TNavigatore::Conferma);
        Digita(Box(&f, "DBEditNome"), QStringLiteral("Seán"));
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Manca il cognome del produttore!"));
        Premi(&f, TNavigatore::Conferma);
        QVERIFY(Box(&f, "DBEditCognome")->hasFocus());
        QCOMPARE(f.tabellaProduttori()->stato(), TTabella::Stato::Inserimento);
        Digita(Box(&f, "DBEditCognome"), QStringLiteral("O'Brien"));
        Digita(Box(&f, "DBEdit7"), QStringLiteral("MIX"));
        Digita(Box(&f, "DBEdit5"), QStringLiteral("20100"));
        Digita(Box(&f, "DBEdit9"), QString(30, QLatin1Char('9')));
        Premi(&f, TNavigatore::Conferma);
        // The province keeps two characters, the VAT number twenty.
        QCOMPARE(Db(*m_amb, QStringLiteral("select ID, NOME, COGNOME, PROVINCIA, CAP, PIVA from produttori")),
                 QStringLiteral("1|Seán|O'Brien|MI|20100|") + QString(20, QLatin1Char('9')));
        QCOMPARE(Box(&f, "DBEdit7")->text(), QStringLiteral("MI"));
        // The e-mail address is kept as typed.
        QCOMPARE(f.findChild<QLabel*>(QStringLiteral("LabDBEditEmail"))->text(), QStringLiteral("E-mail"));
        Digita(Box(&f, "DBEditEmail"), QStringLiteral("ordini@obrien.example"));
        Premi(&f, TNavigatore::Conferma);
        QCOMPARE(Db(*m_amb, QStringLiteral("select EMAIL from produttori where ID = 1")),
                 QStringLiteral("ordini@obrien.example"));

        // With producers 1 to 4 the next gets 5; overwriting the code with a used one is refused.
        for (int id = 2; id <= 4; ++id) InserisciProduttore(id, QStringLiteral("N%1").arg(id), QStringLiteral("C"));
        Premi(&f, TNavigatore::Inserisci);
        QCOMPARE(Box(&f, "DBEditcodice")->text(), QStringLiteral("5"));
        Digita(Box(&f, "DBEditNome"), QStringLiteral("Nuovo"));
        Digita(Box(&f, "DBEditCognome"), QStringLiteral("Doppio"));
        Svuota(Box(&f, "DBEditcodice"));
        Digita(Box(&f, "DBEditcodice"), QStringLiteral("3"));
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Codice di prodotto già esistente, modificarlo."));
        Premi(&f, TNavigatore::Conferma);
        QVERIFY(Box(&f, "DBEditcodice")->hasFocus());
        Svuota(Box(&f, "DBEditcodice"));
        Digita(Box(&f, "DBEditcodice"), QStringLiteral("12"));
        Premi(&f, TNavigatore::Conferma);
        QCOMPARE(Db(*m_amb, QStringLiteral("select COGNOME from produttori where ID = 12")), QStringLiteral("Doppio"));
    }

    void capNonNumerico_nonRegistrato() {
        InserisciProduttore(1, QStringLiteral("A"), QStringLiteral("B"));
        TFrmAnagProduttori f;
        QVERIFY(MostraAttiva(&f));
        QLineEdit* cap = Box(&f, "DBEdit5");
        cap->setText(QStringLiteral("20,5"));  // pasted
        emit cap->textEdited(cap->text());
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("non è un numero intero"), true, true);
        Premi(&f, TNavigatore::Conferma);
        QVERIFY(cap->hasFocus());
        QCOMPARE(Db(*m_amb, QStringLiteral("select CAP is null from produttori")), QStringLiteral("1"));
    }

    void capSoloCifre() {
        InserisciProduttore(1, QStringLiteral("A"), QStringLiteral("B"));
        TFrmAnagProduttori f;
        QVERIFY(MostraAttiva(&f));
        QLineEdit* cap = Box(&f, "DBEdit5");
        cap->setFocus();
        Digita(cap, QStringLiteral("2a0-1.0x0"));
        QCOMPARE(cap->text(), QStringLiteral("20100"));
        QGuiApplication::clipboard()->setText(QStringLiteral("Milano"));
        m_amb->risposte.attendi(TTipoMessaggio::Errore,
                                QStringLiteral("Il testo \"Milano\" non è un numero: nel campo CAP si possono inserire "
                                               "solo cifre e la virgola."));
        QTest::keySequence(cap, QKeySequence::Paste);
        QCOMPARE(cap->text(), QStringLiteral("20100"));
        Premi(&f, TNavigatore::Conferma);
        QCOMPARE(Db(*m_amb, QStringLiteral("select CAP from produttori")), QStringLiteral("20100"));
    }

    void eliminaLasciaIProdotti() {
        InserisciProduttore(1, QStringLiteral("A"), QStringLiteral("B"));
        InserisciProdotto(1, QStringLiteral("P"), QStringLiteral("d"), 0, 1);
        TFrmAnagProduttori f;
        QVERIFY(MostraAttiva(&f));
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("Delete record?"));
        Premi(&f, TNavigatore::Elimina);
        QCOMPARE(Db(*m_amb, QStringLiteral("select count(*) from produttori")), QStringLiteral("0"));
        QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral("select IDPRODUTTORE from prodotti")),
                 QStringLiteral("1"));
        QCOMPARE(Id(f), QStringList());
    }

    void ricercaNomeCognome() {
        InserisciProduttore(1, QStringLiteral("Rosa"), QStringLiteral("Bianchi"));
        InserisciProduttore(2, QStringLiteral("Marco"), QStringLiteral("ROSSI"));
        InserisciProduttore(3, QStringLiteral("Luca"), QStringLiteral("Rosati"));
        InserisciProduttore(4, QStringLiteral("Anna"), QStringLiteral("Verdi"));
        TFrmAnagProduttori f;
        QVERIFY(MostraAttiva(&f));
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProduttori")->text(), QStringLiteral("Produttori trovati: 4"));
        QLineEdit* ricerca = Box(&f, "EdRicNomeCognome");
        Digita(ricerca, QStringLiteral("RoS"));
        QCOMPARE(ricerca->text(), QStringLiteral("ros"));
        QCOMPARE(Id(f), QStringList{"1"});
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProduttori")->text(), QStringLiteral("Produttori trovati: 1"));
        // The radio group does not search by itself; the next key does.
        Controllo<QRadioButton>(&f, "rbCognome")->click();
        QCOMPARE(Id(f), QStringList{"1"});
        Digita(ricerca, QStringLiteral("s"));
        QCOMPARE(Id(f), (QStringList{"2"}));
        QTest::keyClick(ricerca, Qt::Key_Backspace);
        QCOMPARE(Id(f), (QStringList{"2", "3"}));
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProduttori")->text(), QStringLiteral("Produttori trovati: 2"));
        QCOMPARE(f.tabellaProduttori()->testo(QStringLiteral("COGNOME")), QStringLiteral("ROSSI"));
    }

    void ricercaTestiOstili_data() {
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<QStringList>("trovati");
        QTest::newRow("percento") << "5%" << QStringList{"1"};
        QTest::newRow("sottolineato") << "a_" << QStringList{"3"};
        QTest::newRow("apostrofo") << "o'b" << QStringList{"5"};
        QTest::newRow("virgolette") << "\"" << QStringList{"6"};
        QTest::newRow("barra") << "c\\" << QStringList{"7"};
        QTest::newRow("sql") << "' or ''='" << QStringList{};
    }
    void ricercaTestiOstili() {
        QFETCH(QString, digitato);
        QFETCH(QStringList, trovati);
        const QStringList testi = {"5%", "50", "a_b", "axb", "O'Brien", "\"X\"", "c\\d", "cd"};
        for (int i = 0; i < testi.size(); ++i) InserisciProduttore(i + 1, testi[i], testi[i]);
        TFrmAnagProduttori f;
        QVERIFY(MostraAttiva(&f));
        Digita(Box(&f, "EdRicNomeCognome"), digitato);
        QCOMPARE(Id(f), trovati);
    }

    // "Esci" and Escape pressed in the box being typed into ask the same.
    void esciChiedeDuranteLaModifica_data() {
        QTest::addColumn<bool>("tastoEsc");
        QTest::newRow("pulsante Esci") << false;
        QTest::newRow("tasto Esc") << true;
    }
    void esciChiedeDuranteLaModifica() {
        QFETCH(bool, tastoEsc);
        InserisciProduttore(1, QStringLiteral("A"), QStringLiteral("B"));
        TFrmAnagProduttori f;
        QVERIFY(MostraAttiva(&f));
        Box(&f, "DBEditNome")->setFocus();
        Digita(Box(&f, "DBEditNome"), QStringLiteral("x"));
        const auto esci = [&] {
            if (tastoEsc) QTest::keyClick(Box(&f, "DBEditNome"), Qt::Key_Escape);
            else QTest::mouseClick(Controllo<QPushButton>(&f, "sbEsci"), Qt::LeftButton);
        };
        const QString domanda = QStringLiteral(
            "E' in corso un operazione di immissione o modifica dati, uscendo si annullerà tale operazione, si è sicuri "
            "di voler uscire?");
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, domanda, false);
        esci();
        QVERIFY(f.isVisible());
        QVERIFY(f.tabellaProduttori()->inModifica());
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, domanda, true);
        esci();
        QVERIFY(!f.isVisible());
        QCOMPARE(Db(*m_amb, QStringLiteral("select NOME from produttori")), QStringLiteral("A"));
    }

    // Tab goes down the left column of the details, then down the right one.
    void ordineDiTabulazione() {
        TFrmAnagProduttori f;
        QVERIFY(MostraAttiva(&f));
        QWidget* w = Box(&f, "DBEditcodice");
        w->setFocus(Qt::TabFocusReason);
        QStringList visitati{w->objectName()};
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visitati << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visitati, (QStringList{"DBEditcodice", "DBEditCognome", "DBEdit4", "DBEdit6", "DBEdit8", "DBEditNome",
                                        "DBEdit3", "DBEdit5", "DBEdit7", "DBEdit9"}));
        // Each column is one above the other, the right one beside the left.
        for (int i = 1; i < visitati.size(); ++i) {
            const QPoint prima = Box(&f, qPrintable(visitati[i - 1]))->mapTo(&f, QPoint());
            const QPoint dopo = Box(&f, qPrintable(visitati[i]))->mapTo(&f, QPoint());
            if (i == 5) QVERIFY(dopo.x() > prima.x());
            else QVERIFY(dopo.y() > prima.y() && dopo.x() == prima.x());
        }
    }
};

QTEST_MAIN(TestAnagProduttori)
#include "test_anagproduttori.moc"
