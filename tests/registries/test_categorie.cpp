// The categories window: keys taken when stored, duplicate names, typing in
// the grid, and the deletion of a category with its products.

#include "AmbienteTest.h"
#include "Dati.h"
#include "gui/Navigatore.h"
#include "data/engine/Tabella.h"
#include "registries/Categorie.h"
#include "registries/DatiRegistri.h"

#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

namespace {
QLineEdit* EditCat(QWidget* f) { return Controllo<QLineEdit>(f, "DBEditCat"); }
void Premi(QWidget* f, TNavigatore::Pulsante p) {
    QTest::mouseClick(Controllo<TNavigatore>(f, "DBNavigator1")->pulsante(p), Qt::LeftButton);
}
QString Categorie(const TAmbienteTest& amb) {
    return Sqlite3(amb.file(QStringLiteral("cat.db")),
                   QStringLiteral("select group_concat(ID || '=' || CATEGORIA, ',') from (select * from cat order by ID)"));
}
QString RigheProdotti(const TAmbienteTest& amb) {
    return Sqlite3(amb.file(QStringLiteral("prodotti.db")),
                   QStringLiteral("select group_concat(NOME, ',') from (select NOME from prodotti order by ID)"));
}
const QString Uscita = QStringLiteral(
    "Alcune modifiche non sono ancora state salvate, uscendo tali modifiche verranno perse, uscire comunque?");
}  // namespace

class TestCategorie : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void nuoveCategorieEDoppioni() {
        TFrmCategorie f;
        QVERIFY(MostraAttiva(&f));
        QCOMPARE(f.windowTitle(), QStringLiteral("Elenco categorie"));
        QVERIFY(!(f.windowFlags() & Qt::WindowSystemMenuHint));
        // Left through "Esci": Escape without a pending change does not close it.
        QTest::keyClick(EditCat(&f), Qt::Key_Escape);
        QVERIFY(f.isVisible());
        Premi(&f, TNavigatore::Inserisci);
        QVERIFY(EditCat(&f)->hasFocus());
        Digita(EditCat(&f), QStringLiteral("Caffè d'orzo"));
        Premi(&f, TNavigatore::Conferma);
        InserisciCategoria(7, QStringLiteral("Vini"));
        f.tabellaCategorie()->aggiorna();
        Premi(&f, TNavigatore::Inserisci);
        // The grid shows the new row, current, with what is typed in the box.
        auto* griglia = Controllo<QTableView>(&f, "DBGrid1");
        QCOMPARE(griglia->model()->rowCount(), 3);
        QCOMPARE(griglia->currentIndex().row(), 2);
        Digita(EditCat(&f), QStringLiteral("Pane"));
        QCOMPARE(griglia->model()->index(2, 0).data().toString(), QStringLiteral("Pane"));
        Premi(&f, TNavigatore::Conferma);
        QCOMPARE(Categorie(*m_amb), QStringLiteral("1=Caffè d'orzo,7=Vini,8=Pane"));
        QCOMPARE(griglia->model()->rowCount(), 3);
        // The same text again is refused; another case is a different text.
        Premi(&f, TNavigatore::Inserisci);
        Digita(EditCat(&f), QStringLiteral("Vini"));
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Categoria già esistente, immettere un nome diverso!"));
        Premi(&f, TNavigatore::Conferma);
        QCOMPARE(f.tabellaCategorie()->stato(), TTabella::Stato::Inserimento);
        Premi(&f, TNavigatore::Annulla);
        // Renaming to its own text is accepted, to another's refused.
        QVERIFY(f.tabellaCategorie()->trova(QStringLiteral("ID"), 7));
        Svuota(EditCat(&f));
        Digita(EditCat(&f), QStringLiteral("Vini"));
        Premi(&f, TNavigatore::Conferma);
        QCOMPARE(f.tabellaCategorie()->stato(), TTabella::Stato::Consultazione);
        Svuota(EditCat(&f));
        Digita(EditCat(&f), QStringLiteral("Pane"));
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Categoria già esistente, immettere un nome diverso!"));
        Premi(&f, TNavigatore::Conferma);
        QVERIFY(EditCat(&f)->hasFocus());
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, Uscita, false);
        QTest::mouseClick(Controllo<QPushButton>(&f, "sbEsci"), Qt::LeftButton);
        QVERIFY(f.isVisible());
        // Escape with the change pending asks what "Esci" asks.
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, Uscita, false);
        QTest::keyClick(EditCat(&f), Qt::Key_Escape);
        QVERIFY(f.isVisible());
        QCOMPARE(f.tabellaCategorie()->stato(), TTabella::Stato::Modifica);
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, Uscita, true);
        QTest::keyClick(EditCat(&f), Qt::Key_Escape);
        QVERIFY(!f.isVisible());
        QCOMPARE(Categorie(*m_amb), QStringLiteral("1=Caffè d'orzo,7=Vini,8=Pane"));
    }

    void scrittaNellaGriglia() {
        InserisciCategoria(1, QStringLiteral("Vini"));
        InserisciCategoria(2, QStringLiteral("Pane"));
        TFrmCategorie f;
        QVERIFY(MostraAttiva(&f));
        auto* griglia = Controllo<QTableView>(&f, "DBGrid1");
        griglia->setFocus();
        QCOMPARE(griglia->currentIndex().row(), 0);
        // Typing in the cell edits the record; leaving the row stores it.
        QTest::keyClick(griglia, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClicks(editor, QStringLiteral(" rossi"));
        QTest::keyClick(editor, Qt::Key_Return);  // the grid stores the cell's text when the event loop runs
        QTRY_COMPARE(f.tabellaCategorie()->stato(), TTabella::Stato::Modifica);
        QCOMPARE(EditCat(&f)->text(), QStringLiteral("Vini rossi"));
        QTest::keyClick(griglia, Qt::Key_Down);
        QCOMPARE(f.tabellaCategorie()->stato(), TTabella::Stato::Consultazione);
        QCOMPARE(EditCat(&f)->text(), QStringLiteral("Pane"));
        QCOMPARE(Categorie(*m_amb), QStringLiteral("1=Vini rossi,2=Pane"));
    }

    void eliminazione_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("risposta");
        QTest::addColumn<QString>("domanda");
        QTest::addColumn<QString>("categorie");
        QTest::addColumn<QString>("prodotti");
        const QString d = QStringLiteral("Questa operazione causerà la cancellazione della categoria e di tutti i prodotti "
                                         "ad essa collegati (%1), continuare?");
        QTest::newRow("tre prodotti, sì") << 1 << true << d.arg(3) << "2=Pane,3=Vuota" << "P2,P4,P6";
        QTest::newRow("tre prodotti, no") << 1 << false << d.arg(3) << "1=Vini,2=Pane,3=Vuota" << "P1,P2,P3,P4,P5,P6";
        QTest::newRow("nessun prodotto, sì") << 3 << true << d.arg(0) << "1=Vini,2=Pane" << "P1,P2,P3,P4,P5,P6";
    }
    void eliminazione() {
        QFETCH(int, id);
        QFETCH(bool, risposta);
        QFETCH(QString, domanda);
        QFETCH(QString, categorie);
        QFETCH(QString, prodotti);
        InserisciCategoria(1, QStringLiteral("Vini"));
        InserisciCategoria(2, QStringLiteral("Pane"));
        InserisciCategoria(3, QStringLiteral("Vuota"));
        const int cat[] = {1, 2, 1, 0, 1, 2};
        for (int i = 0; i < 6; ++i) InserisciProdotto(i + 1, QStringLiteral("P%1").arg(i + 1), QStringLiteral("d"), cat[i]);
        TFrmCategorie f;
        QVERIFY(MostraAttiva(&f));
        QVERIFY(f.tabellaCategorie()->trova(QStringLiteral("ID"), id));
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("Delete record?"));
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, domanda, risposta);
        Premi(&f, TNavigatore::Elimina);
        QCOMPARE(Categorie(*m_amb), categorie);
        QCOMPARE(RigheProdotti(*m_amb), prodotti);
        QCOMPARE(f.tabellaCategorie()->conteggio(), categorie.count(QLatin1Char('=')));
    }

    void eliminazioneDallaGriglia() {
        InserisciCategoria(1, QStringLiteral("Vini"));
        InserisciProdotto(1, QStringLiteral("P1"), QStringLiteral("d"), 1);
        TFrmCategorie f;
        QVERIFY(MostraAttiva(&f));
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("Delete record?"));
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("(1), continuare?"), true, true);
        QTest::keyClick(Controllo<QTableView>(&f, "DBGrid1"), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(Categorie(*m_amb), QString());
        QCOMPARE(RigheProdotti(*m_amb), QString());
    }

    // A failure while the category goes leaves its products in place.
    void eliminazioneTuttoONiente() {
        InserisciCategoria(1, QStringLiteral("Vini"));
        InserisciProdotto(1, QStringLiteral("P1"), QStringLiteral("d"), 1);
        InserisciProdotto(2, QStringLiteral("P2"), QStringLiteral("d"), 1);
        TArchivio::corrente().esegui(
            QStringLiteral("create trigger \"cat\".blocca before delete on cat begin select raise(abort, 'bloccato'); end"));
        QVERIFY_THROWS_EXCEPTION(ErroreArchivio, EliminaCategoriaEProdotti(1, true));
        QCOMPARE(RigheProdotti(*m_amb), QStringLiteral("P1,P2"));
        QCOMPARE(Categorie(*m_amb), QStringLiteral("1=Vini"));
    }
};

QTEST_MAIN(TestCategorie)
#include "test_categorie.moc"
