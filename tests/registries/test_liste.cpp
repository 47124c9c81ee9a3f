// The three selection lists: what they list, how they search, and what they
// leave in the current selection.

#include "AmbienteTest.h"
#include "Dati.h"
#include "gui/ModelloElenco.h"
#include "gui/Selezione.h"
#include "gui/ListaCategorie.h"
#include "gui/ListaProdotti.h"
#include "gui/ListaProduttori.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

namespace {
QStringList Colonna(const TModelloElenco* m, const QString& campo) {
    QStringList l;
    for (int i = 0; i < m->conteggio(); ++i) l << m->valore(i, campo).toString();
    return l;
}

}  // namespace

class TestListe : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void categorie_ricercaEScelta() {
        InserisciCategoria(1, QStringLiteral("Bevande"));
        InserisciCategoria(2, QStringLiteral("Caffè"));
        InserisciCategoria(3, QStringLiteral("CAFFÈ D'ORZO"));
        InserisciCategoria(4, QStringLiteral("Biscotti"));
        TFrmListaCategorie f;
        Mostra(f);
        QCOMPARE(Controllo<QLabel>(&f, "LabNumCategorie")->text(), QStringLiteral("Categorie presenti: 4"));
        QCOMPARE(f.windowTitle(), QStringLiteral("Lista categorie"));
        QVERIFY(Controllo<QLineEdit>(&f, "EdRicCategorie")->hasFocus());
        // Typed upper case turns lower; the start of the text matches, accents folded too.
        Digita(Controllo<QLineEdit>(&f, "EdRicCategorie"), QStringLiteral("CAFFÈ"));
        QCOMPARE(Controllo<QLineEdit>(&f, "EdRicCategorie")->text(), QStringLiteral("caffè"));
        QCOMPARE(Colonna(f.modello(), QStringLiteral("CATEGORIA")),
                 (QStringList{QStringLiteral("Caffè"), QStringLiteral("CAFFÈ D'ORZO")}));
        QCOMPARE(Controllo<QLabel>(&f, "LabNumCategorie")->text(), QStringLiteral("Categorie presenti: 4"));
        SelezionaRigaGriglia(Controllo<QTableView>(&f, "DBGrid1"), 1);
        QTest::mouseClick(Controllo<QPushButton>(&f, "sbConferma"), Qt::LeftButton);
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(SelezioneCorrente().IdCategoriaScelta, 3);
        QCOMPARE(SelezioneCorrente().CategoriaScelta, QStringLiteral("CAFFÈ D'ORZO"));

        // "Annulla ed esci" leaves the earlier choice; "Nessuna categoria" gives -1.
        TFrmListaCategorie g;
        Mostra(g);
        QTest::mouseClick(Controllo<QPushButton>(&g, "sbEsci"), Qt::LeftButton);
        QCOMPARE(SelezioneCorrente().IdCategoriaScelta, 3);
        TFrmListaCategorie h;
        Mostra(h);
        QTest::mouseClick(Controllo<QPushButton>(&h, "SpeedButton1"), Qt::LeftButton);
        QCOMPARE(SelezioneCorrente().IdCategoriaScelta, -1);
        QCOMPARE(SelezioneCorrente().CategoriaScelta, QString());
    }

    void categorie_doppioClicEListaVuota() {
        InserisciCategoria(5, QStringLiteral("Vini"));
        TFrmListaCategorie f;
        Mostra(f);
        const QRect r = Controllo<QTableView>(&f, "DBGrid1")->visualRect(f.modello()->index(0, 0));
        QTest::mouseClick(Controllo<QTableView>(&f, "DBGrid1")->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(Controllo<QTableView>(&f, "DBGrid1")->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(SelezioneCorrente().IdCategoriaScelta, 5);
        QCOMPARE(SelezioneCorrente().CategoriaScelta, QStringLiteral("Vini"));
        // "Scegli" on a list the search emptied hands back 0 and an empty text.
        TFrmListaCategorie g;
        Mostra(g);
        Digita(Controllo<QLineEdit>(&g, "EdRicCategorie"), QStringLiteral("zz"));
        QCOMPARE(g.modello()->conteggio(), 0);
        QTest::mouseClick(Controllo<QPushButton>(&g, "sbConferma"), Qt::LeftButton);
        QCOMPARE(SelezioneCorrente().IdCategoriaScelta, 0);
        QCOMPARE(SelezioneCorrente().CategoriaScelta, QString());
    }

    void produttori_nomeCognome() {
        InserisciProduttore(3, QStringLiteral("Mario"), QStringLiteral("Rossi"));
        InserisciProduttore(7, QStringLiteral("Luca"), QStringLiteral("Marini"));
        InserisciProduttore(9, QStringLiteral("Maria"), QStringLiteral("MANCINI"));
        InserisciProduttore(11, QStringLiteral("Anna"), QStringLiteral("Bianchi"));
        TFrmListaProduttori f;
        Mostra(f);
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProduttori")->text(), QStringLiteral("Produttori presenti: 4"));
        QCOMPARE(Controllo<QRadioButton>(&f, "rbNome")->isChecked(), true);
        Controllo<QRadioButton>(&f, "rbCognome")->click();
        Digita(Controllo<QLineEdit>(&f, "EdNome"), QStringLiteral("MA"));
        QCOMPARE(Colonna(f.modello(), QStringLiteral("ID")), (QStringList{QStringLiteral("7"), QStringLiteral("9")}));
        // Switching to "Nome" lists at once those whose name begins with ma.
        Controllo<QRadioButton>(&f, "rbNome")->click();
        QCOMPARE(Colonna(f.modello(), QStringLiteral("ID")), (QStringList{QStringLiteral("3"), QStringLiteral("9")}));
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProduttori")->text(), QStringLiteral("Produttori presenti: 4"));
        // The details follow the highlighted row.
        QCOMPARE(Controllo<QLineEdit>(&f, "EdCOGNOME")->text(), QStringLiteral("Rossi"));
        SelezionaRigaGriglia(Controllo<QTableView>(&f, "DBGrid1"), 1);
        QCOMPARE(Controllo<QLineEdit>(&f, "EdCOGNOME")->text(), QStringLiteral("MANCINI"));
        QTest::mouseClick(Controllo<QPushButton>(&f, "sbConferma"), Qt::LeftButton);
        QCOMPARE(SelezioneCorrente().IdProduttoreScelto, 9);
        QCOMPARE(SelezioneCorrente().NomeProduttoreScelto, QStringLiteral("Maria"));
        QCOMPARE(SelezioneCorrente().CognomeProduttoreScelto, QStringLiteral("MANCINI"));

        TFrmListaProduttori g;
        Mostra(g);
        QTest::mouseClick(Controllo<QPushButton>(&g, "SpeedButton1"), Qt::LeftButton);
        QCOMPARE(SelezioneCorrente().IdProduttoreScelto, -1);
        QCOMPARE(SelezioneCorrente().NomeProduttoreScelto, QString());
        QCOMPARE(SelezioneCorrente().CognomeProduttoreScelto, QString());
        QCOMPARE(SelezioneCorrente().IdCategoriaScelta, 0);
    }

    void prodotti_ricercaENessuno() {
        InserisciProdotto(1, QStringLiteral("AB100"), QStringLiteral("Vino rosso"));
        InserisciProdotto(2, QStringLiteral("ab200"), QStringLiteral("Bianco frizzante"));
        InserisciProdotto(3, QStringLiteral("XAB"), QStringLiteral("Acqua ROSSA"));
        InserisciProdotto(4, QStringLiteral("CD"), QStringLiteral("Pane"));
        TFrmListaProdotti f;
        Mostra(f);
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProdotti")->text(), QStringLiteral("Prodotti presenti: 4"));
        QCOMPARE(Colonna(f.modello(), QStringLiteral("NOME")).first(), QStringLiteral("AB100"));
        Digita(Controllo<QLineEdit>(&f, "EdRicNome"), QStringLiteral("Ab"));
        QCOMPARE(Colonna(f.modello(), QStringLiteral("NOME")), (QStringList{QStringLiteral("AB100"), QStringLiteral("ab200")}));
        Svuota(Controllo<QLineEdit>(&f, "EdRicNome"));
        Digita(Controllo<QLineEdit>(&f, "EdRicDescrizione"), QStringLiteral("ROS"));
        QCOMPARE(Colonna(f.modello(), QStringLiteral("NOME")), (QStringList{QStringLiteral("AB100"), QStringLiteral("XAB")}));
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProdotti")->text(), QStringLiteral("Prodotti presenti: 4"));
        QTest::mouseClick(Controllo<QPushButton>(&f, "sbConferma"), Qt::LeftButton);
        QCOMPARE(SelezioneCorrente().NomeProdottoScelto, QStringLiteral("AB100"));

        // "Nessun prodotto" clears the product and leaves a producer chosen earlier.
        SelezioneCorrente().IdProduttoreScelto = 7;
        TFrmListaProdotti g;
        Mostra(g);
        QTest::mouseClick(Controllo<QPushButton>(&g, "SpeedButton1"), Qt::LeftButton);
        QCOMPARE(SelezioneCorrente().NomeProdottoScelto, QString());
        QCOMPARE(SelezioneCorrente().IdProduttoreScelto, 7);
    }

    // A real number shows in its general form with a comma: no thousands
    // separator, up to 15 significant digits, an exponent only when needed.
    void grigliaNumeri_data() {
        QTest::addColumn<double>("prezzo");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("decimali con la virgola") << 2.5 << "2,5";
        QTest::newRow("intero senza decimali") << 1234.0 << "1234";
        QTest::newRow("migliaia senza punto") << 1234567.25 << "1234567,25";
        QTest::newRow("negativo") << -0.75 << "-0,75";
        QTest::newRow("15 cifre significative") << 0.1 + 0.2 << "0,3";
        QTest::newRow("esponente") << 1e20 << "1e+20";
    }
    void grigliaNumeri() {
        QFETCH(double, prezzo);
        QFETCH(QString, atteso);
        InserisciProdotto({.id = 1, .nome = QStringLiteral("P1"), .prezzo = prezzo});
        TModelloElenco m;
        m.impostaColonne({{QStringLiteral("NOME"), QStringLiteral("Nome")}, {QStringLiteral("PREZZO"), QStringLiteral("Prezzo")}});
        m.esegui(QStringLiteral("prodotti"));
        QCOMPARE(m.data(m.index(0, 1)).toString(), atteso);
        QCOMPARE(m.data(m.index(0, 0)).toString(), QStringLiteral("P1"));
    }

    // Texts that would break a query built by pasting, or match too much
    // as LIKE wildcards, match only themselves.
    void testiOstili_data() {
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<QString>("trovato");
        QTest::newRow("percento") << QStringLiteral("5%") << QStringLiteral("5%");
        QTest::newRow("sottolineato") << QStringLiteral("a_") << QStringLiteral("a_b");
        QTest::newRow("apostrofo") << QStringLiteral("o'b") << QStringLiteral("O'Brien");
        QTest::newRow("virgolette") << QStringLiteral("\"x") << QStringLiteral("\"X\"");
        QTest::newRow("barra") << QStringLiteral("c\\") << QStringLiteral("c\\d");
        QTest::newRow("sql") << QStringLiteral("\" or 1=1 --") << QString();
    }
    void testiOstili() {
        QFETCH(QString, digitato);
        QFETCH(QString, trovato);
        const QStringList testi = {QStringLiteral("5%"), QStringLiteral("50"), QStringLiteral("a_b"),
                                   QStringLiteral("axb"), QStringLiteral("O'Brien"), QStringLiteral("\"X\""),
                                   QStringLiteral("c\\d"), QStringLiteral("cd")};
        for (int i = 0; i < testi.size(); ++i) {
            InserisciCategoria(i + 1, testi[i]);
            InserisciProduttore(i + 1, testi[i], testi[i]);
            InserisciProdotto(i + 1, testi[i], QStringLiteral("d ") + testi[i]);
        }
        const QStringList atteso = trovato.isEmpty() ? QStringList() : QStringList{trovato};
        TFrmListaCategorie c;
        Mostra(c);
        Digita(Controllo<QLineEdit>(&c, "EdRicCategorie"), digitato);
        QCOMPARE(Colonna(c.modello(), QStringLiteral("CATEGORIA")), atteso);
        TFrmListaProduttori p;
        Mostra(p);
        Digita(Controllo<QLineEdit>(&p, "EdNome"), digitato);
        QCOMPARE(Colonna(p.modello(), QStringLiteral("NOME")), atteso);
        Controllo<QRadioButton>(&p, "rbCognome")->click();
        QCOMPARE(Colonna(p.modello(), QStringLiteral("COGNOME")), atteso);
        TFrmListaProdotti d;
        Mostra(d);
        Digita(Controllo<QLineEdit>(&d, "EdRicNome"), digitato);
        QCOMPARE(Colonna(d.modello(), QStringLiteral("NOME")), atteso);
        Svuota(Controllo<QLineEdit>(&d, "EdRicNome"));
        Digita(Controllo<QLineEdit>(&d, "EdRicDescrizione"), digitato);
        QCOMPARE(Colonna(d.modello(), QStringLiteral("NOME")), atteso);
    }

    // Enter chooses the highlighted row as "Scegli" does, pressed in the
    // search box or in the grid.
    void invioSceglie_data() {
        QTest::addColumn<QString>("lista");
        QTest::addColumn<QString>("ricerca");
        QTest::addColumn<bool>("dallaGriglia");
        QTest::addColumn<QString>("scelta");
        const QString c = QStringLiteral("2 Vini"), r = QStringLiteral("7 Luca Marini"), p = QStringLiteral("CD");
        QTest::newRow("categorie, Invio nella ricerca") << "categorie" << "EdRicCategorie" << false << c;
        QTest::newRow("categorie, Invio nella griglia") << "categorie" << "EdRicCategorie" << true << c;
        QTest::newRow("produttori, Invio nella ricerca") << "produttori" << "EdNome" << false << r;
        QTest::newRow("produttori, Invio nella griglia") << "produttori" << "EdNome" << true << r;
        QTest::newRow("prodotti, Invio nella ricerca") << "prodotti" << "EdRicNome" << false << p;
        QTest::newRow("prodotti, Invio nella griglia") << "prodotti" << "EdRicNome" << true << p;
    }
    void invioSceglie() {
        QFETCH(QString, lista);
        QFETCH(QString, ricerca);
        QFETCH(bool, dallaGriglia);
        QFETCH(QString, scelta);
        InserisciCategoria(1, QStringLiteral("Bevande"));
        InserisciCategoria(2, QStringLiteral("Vini"));
        InserisciProduttore(3, QStringLiteral("Mario"), QStringLiteral("Rossi"));
        InserisciProduttore(7, QStringLiteral("Luca"), QStringLiteral("Marini"));
        InserisciProdotto(1, QStringLiteral("AB100"), QStringLiteral("Vino rosso"));
        InserisciProdotto(2, QStringLiteral("CD"), QStringLiteral("Pane"));
        std::unique_ptr<QDialog> f;
        if (lista == QStringLiteral("categorie")) f = std::make_unique<TFrmListaCategorie>();
        else if (lista == QStringLiteral("produttori")) f = std::make_unique<TFrmListaProduttori>();
        else f = std::make_unique<TFrmListaProdotti>();
        QVERIFY(MostraAttiva(f.get()));
        auto* griglia = Controllo<QTableView>(f.get(), "DBGrid1");
        SelezionaRigaGriglia(griglia, 1);
        QWidget* dove = dallaGriglia ? static_cast<QWidget*>(griglia)
                                     : Controllo<QLineEdit>(f.get(), ricerca.toLatin1().constData());
        dove->setFocus();
        QTest::keyClick(dove, Qt::Key_Return);
        QVERIFY(!f->isVisible());
        QCOMPARE(f->result(), int(QDialog::Accepted));
        const TSelezioneCorrente& s = SelezioneCorrente();
        const QString letta =
            lista == QStringLiteral("categorie")    ? QStringLiteral("%1 %2").arg(s.IdCategoriaScelta).arg(s.CategoriaScelta)
            : lista == QStringLiteral("produttori") ? QStringLiteral("%1 %2 %3")
                                                          .arg(s.IdProduttoreScelto)
                                                          .arg(s.NomeProduttoreScelto, s.CognomeProduttoreScelto)
                                                    : s.NomeProdottoScelto;
        QCOMPARE(letta, scelta);
    }

private:
    static void SelezionaRigaGriglia(QTableView* g, int riga) {
        const QRect r = g->visualRect(g->model()->index(riga, 0));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    }
};

QTEST_MAIN(TestListe)
#include "test_liste.moc"
