// The load / unload and the adjustment windows as a user drives them: the
// questions and messages in their order, what reaches the tables, the modes,
// colours, totals, the list with its search, category filter and navigator.

#include "AmbienteTest.h"
#include "Fixture.h"
#include "gui/ModelloElenco.h"
#include "gui/Selezione.h"
#include "movements/AggiustamentoResi.h"
#include "movements/CaricoScarico.h"
#include "movements/PannelloProdotti.h"
#include "ui_AggiustamentoResi.h"
#include "ui_CaricoScarico.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QFile>
#include <QTimer>
#include <sqlite3.h>

namespace {

// The shared panel's controls the tests drive, found by their names.
struct TControlliPannello {
    QLineEdit *DBEditNOME, *DBEditDATAOGGI, *DBEditCARICHI, *DBEditQUANTITA, *EdRicCategoria, *EdRicNome;
    QTableView* DBGrid1;
    QLabel *LabNumProdotti, *LabelDifferenza, *LabelMargine, *LabelRimanenzaTot;
    QPushButton *buttCategoria, *navAnnulla, *navConferma, *navPrecedente, *navSuccessivo, *sbFoto;
    QCheckBox* cbRicerca;
};

std::unique_ptr<TControlliPannello> Controlli(TPannelloProdotti* p) {
    const auto trova = [p]<class T>(T*& w, const char* nome) {
        w = p->findChild<T*>(QString::fromLatin1(nome));
        if (!w) qFatal("controllo %s assente", nome);
    };
    auto c = std::make_unique<TControlliPannello>();
    trova(c->DBEditNOME, "DBEditNOME");
    trova(c->DBEditDATAOGGI, "DBEditDATAOGGI");
    trova(c->DBEditCARICHI, "DBEditCARICHI");
    trova(c->DBEditQUANTITA, "DBEditQUANTITA");
    trova(c->EdRicCategoria, "EdRicCategoria");
    trova(c->EdRicNome, "EdRicNome");
    trova(c->DBGrid1, "DBGrid1");
    trova(c->LabNumProdotti, "LabNumProdotti");
    trova(c->LabelDifferenza, "LabelDifferenza");
    trova(c->LabelMargine, "LabelMargine");
    trova(c->LabelRimanenzaTot, "LabelRimanenzaTot");
    trova(c->buttCategoria, "buttCategoria");
    trova(c->navAnnulla, "navAnnulla");
    trova(c->navConferma, "navConferma");
    trova(c->navPrecedente, "navPrecedente");
    trova(c->navSuccessivo, "navSuccessivo");
    trova(c->sbFoto, "sbFoto");
    trova(c->cbRicerca, "cbRicerca");
    return c;
}

using Tipo = TTipoMessaggio;

QString RigheProdotti(const TAmbienteTest& amb, const QString& where = QStringLiteral("ID = 1")) {
    return Sqlite3(amb.file(QStringLiteral("prodotti.db")),
                   QStringLiteral("select CARICHI||'/'||SCARICHI||'/'||QUANTITA||' '||TOTALEACQUISTI||'/'||"
                                  "TOTALEVENDITE from prodotti where ") +
                       where);
}

QString RigheStorico(const TAmbienteTest& amb) {
    return Sqlite3(amb.file(QStringLiteral("storico.db")),
                   QStringLiteral("select ID, AZIONE, NOME, QUANTITA, IDCATEGORIA, PREZZOACQ, PREZZO, PREZZOCAR "
                                  "from storico order by ID"));
}

template <class F>
void Mostra(F& f) {
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QVERIFY(QTest::qWaitForWindowActive(&f));
}

QColor Sfondo(QWidget* w) { return w->palette().color(QPalette::Window); }
QColor Testo(QWidget* w) { return w->palette().color(QPalette::WindowText); }

const QColor Verde(0, 128, 0), Rosso(255, 0, 0), Grigio(128, 128, 128);

const QString Domanda5 = QStringLiteral("Caricare 5 unità del prodotto 'P1'?");

}  // namespace

class TestFinestre : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    // Opening in load mode, then the switch to unload mode and back.
    void modi() {
        ScriviProdotto({});
        TFrmCaricoScarico f;
        Mostra(f);
        auto* u = f.ui();
        QCOMPARE(f.windowTitle(), QStringLiteral("Gestione carico / scarico magazzino"));
        QVERIFY(u->rgcaricoVoce->isChecked() && !u->rgscaricoVoce->isChecked());
        QCOMPARE(Testo(u->rgcarico), Rosso);
        QCOMPARE(Testo(u->rgscarico), Grigio);
        QVERIFY(u->EditPrezzoAcq->isEnabled() && !u->EditPrezzoVen->isEnabled());
        QVERIFY(u->ButtCarica->isEnabled() && !u->ButtScaricaUnita->isEnabled() && !u->ButtScaricaTutto->isEnabled());
        QCOMPARE(u->LabelAzione->text(), QString());
        QCOMPARE(u->edNumScar->text(), QStringLiteral("1"));
        QCOMPARE(u->EditPrezzoAcq->text(), QStringLiteral("2"));
        QCOMPARE(u->EditPrezzoVen->text(), QStringLiteral("8"));
        QCOMPARE(Controlli(f.pannello())->LabNumProdotti->text(), QStringLiteral("Prodotti: 1"));
        QVERIFY(!Controlli(f.pannello())->cbRicerca->isChecked());
        QTest::mouseClick(u->rgscaricoVoce, Qt::LeftButton);
        QVERIFY(!u->rgcaricoVoce->isChecked() && u->rgscaricoVoce->isChecked());
        QCOMPARE(Testo(u->rgcarico), Grigio);
        QCOMPARE(Testo(u->rgscarico), Verde);
        QVERIFY(!u->EditPrezzoAcq->isEnabled() && u->EditPrezzoVen->isEnabled());
        QVERIFY(!u->ButtCarica->isEnabled() && u->ButtScaricaUnita->isEnabled() && u->ButtScaricaTutto->isEnabled());
        QVERIFY(Controlli(f.pannello())->EdRicNome->hasFocus());
        QTest::mouseClick(u->rgcaricoVoce, Qt::LeftButton);
        QVERIFY(u->rgcaricoVoce->isChecked() && !u->rgscaricoVoce->isChecked());
        QVERIFY(u->ButtCarica->isEnabled() && !u->ButtScaricaUnita->isEnabled());
        // The details of the highlighted product.
        auto p = Controlli(f.pannello());
        QCOMPARE(p->DBEditNOME->text(), QStringLiteral("P1"));
        QCOMPARE(p->DBEditDATAOGGI->text(), QStringLiteral("10/01/2004"));
        QCOMPARE(p->LabelMargine->text(), QStringLiteral("300"));
        QCOMPARE(p->LabelRimanenzaTot->text(), QStringLiteral("12,00"));
        QCOMPARE(p->LabelDifferenza->text(), QStringLiteral("-8,00"));
        QCOMPARE(Testo(p->sbFoto), Rosso);
    }

    // Loads and unloads of the examples, through the window.
    void caricoEScarico_data() {
        QTest::addColumn<bool>("carico");
        QTest::addColumn<QString>("q");
        QTest::addColumn<QString>("prezzo");  // typed in the enabled price box
        QTest::addColumn<QString>("domanda");
        QTest::addColumn<bool>("si");
        QTest::addColumn<QString>("prodotto");
        QTest::addColumn<QString>("storico");
        QTest::addColumn<QString>("rimanenza");
        QTest::newRow("carico 5 a 2") << true << "5" << "2" << Domanda5 << true << "15/4/11 60.0/30.0"
                                      << "1|CARICO|P1|5|3|10.0||" << "22,00";
        QTest::newRow("scarico 2 a 8") << false << "2" << "8" << "Scaricare 2 unità del prodotto 'P1'?" << true
                                       << "10/6/4 50.0/46.0" << "1|SCARICO|P1|2|3||16.0|6.0" << "12,00";
        QTest::newRow("scarico oltre il saldo") << false << "8" << "1" << "Scaricare 8 unità del prodotto 'P1'?" << true
                                                << "10/12/-2 50.0/38.0" << "1|SCARICO|P1|8|3||8.0|24.0" << "0,00";
        QTest::newRow("No non scrive") << true << "5" << "2" << Domanda5 << false << "10/4/6 50.0/30.0" << "" << "18,00";
    }
    void caricoEScarico() {
        QFETCH(bool, carico);
        QFETCH(QString, q);
        QFETCH(QString, prezzo);
        QFETCH(QString, domanda);
        QFETCH(bool, si);
        QFETCH(QString, prodotto);
        QFETCH(QString, storico);
        QFETCH(QString, rimanenza);
        TProdottoProva p;
        p.prezzo = 3.0;
        ScriviProdotto(p);
        TFrmCaricoScarico f;
        Mostra(f);
        auto* u = f.ui();
        if (!carico) QTest::mouseClick(u->rgscaricoVoce, Qt::LeftButton);
        u->edNumScar->setText(q);
        (carico ? u->EditPrezzoAcq : u->EditPrezzoVen)->setText(prezzo);
        m_amb->risposte.attendi(Tipo::Domanda, domanda, si);
        QTest::mouseClick(carico ? u->ButtCarica : u->ButtScaricaUnita, Qt::LeftButton);
        QCOMPARE(RigheProdotti(*m_amb), prodotto);
        QCOMPARE(RigheStorico(*m_amb), storico);
        QCOMPARE(Controlli(f.pannello())->LabelRimanenzaTot->text(), rimanenza);
        QCOMPARE(Controlli(f.pannello())->DBEditQUANTITA->text(), prodotto.section(QLatin1Char('/'), 2, 2).section(QLatin1Char(' '), 0, 0));
        if (si) {
            QCOMPARE(u->LabelAzione->text(), QStringLiteral("Eseguito %1 di %2 unità del prodotto 'P1' (Primo prodotto)")
                                                 .arg(carico ? QStringLiteral("CARICO") : QStringLiteral("SCARICO"), q));
            QCOMPARE(Testo(u->LabelAzione), carico ? Rosso : Verde);
            QVERIFY(f.Timer1->isActive());
        } else {
            QCOMPARE(u->LabelAzione->text(), QString());
        }
        QVERIFY(Controlli(f.pannello())->EdRicNome->hasFocus());
    }

    // "Scarica tutte" on a balance of 6 and of 0, with the delete proposal on.
    void scaricaTutte_data() {
        QTest::addColumn<int>("saldo");
        QTest::addColumn<bool>("elimina");
        QTest::addColumn<QString>("storico");
        QTest::newRow("saldo 6, eliminato") << 6 << true << "1|SCARICO|P1|6|3||48.0|12.0";
        QTest::newRow("saldo 0, tenuto") << 0 << false << "1|SCARICO|P1|0|3||0.0|0.0";
    }
    void scaricaTutte() {
        QFETCH(int, saldo);
        QFETCH(bool, elimina);
        QFETCH(QString, storico);
        ImpostaImpostazione("CANC_AUTOMATICA", true);
        TProdottoProva p;
        p.scarichi = p.carichi - saldo;
        p.quantita = saldo;
        ScriviProdotto(p);
        TFrmCaricoScarico f;
        Mostra(f);
        QTest::mouseClick(f.ui()->rgscaricoVoce, Qt::LeftButton);
        m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Scaricare %1 unità del prodotto 'P1'?").arg(saldo));
        m_amb->risposte.attendi(Tipo::Domanda,
                                QStringLiteral("Il saldo del prodotto è 0, procedere all'eliminazione del prodotto in magazzino?"),
                                elimina);
        QTest::mouseClick(f.ui()->ButtScaricaTutto, Qt::LeftButton);
        QCOMPARE(f.ui()->edNumScar->text(), QString::number(saldo));
        QCOMPARE(RigheStorico(*m_amb), storico);
        QCOMPARE(RigheProdotti(*m_amb), elimina ? QString() : QStringLiteral("10/10/0 50.0/30.0"));
        QCOMPARE(Controlli(f.pannello())->LabNumProdotti->text(), QStringLiteral("Prodotti: 1"));
        QCOMPARE(f.pannello()->vuota(), elimina);
    }

    // The entry-date question only on a balance of 0, before the load is written.
    void dataIngresso() {
        TProdottoProva zero;
        zero.carichi = zero.scarichi = 4;
        zero.quantita = 0;
        ScriviProdotto(zero);
        TProdottoProva tre;
        tre.id = 2;
        tre.nome = QStringLiteral("P2");
        tre.carichi = 7;
        tre.quantita = 3;
        ScriviProdotto(tre);
        TFrmCaricoScarico f;
        Mostra(f);
        const QString data = QStringLiteral(
            "La quantità in magazzino era 0, procedere all'aggiornamento della data di ingresso in magazzino?");
        m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Caricare 1 unità del prodotto 'P1'?"));
        m_amb->risposte.attendi(Tipo::Domanda, data, false);
        f.ui()->ButtCarica->click();
        QCOMPARE(LeggiProdotto(1).data(QStringLiteral("DATAOGGI")), QDate(2004, 1, 10));
        QCOMPARE(LeggiProdotto(1).intero(QStringLiteral("QUANTITA")), 1);
        // Back to 0 with an unload, then a load answered Yes.
        QTest::mouseClick(f.ui()->rgscaricoVoce, Qt::LeftButton);
        m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Scaricare 1 unità del prodotto 'P1'?"));
        f.ui()->ButtScaricaUnita->click();
        QTest::mouseClick(f.ui()->rgcaricoVoce, Qt::LeftButton);
        m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Caricare 1 unità del prodotto 'P1'?"));
        m_amb->risposte.attendi(Tipo::Domanda, data, true);
        f.ui()->ButtCarica->click();
        QCOMPARE(LeggiProdotto(1).data(QStringLiteral("DATAOGGI")), QDate(2004, 3, 15));
        QCOMPARE(Controlli(f.pannello())->DBEditDATAOGGI->text(), QStringLiteral("15/03/2004"));
        // A balance of 3 is not asked.
        Controlli(f.pannello())->navSuccessivo->click();
        m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Caricare 1 unità del prodotto 'P2'?"));
        f.ui()->ButtCarica->click();
        QCOMPARE(LeggiProdotto(2).intero(QStringLiteral("QUANTITA")), 4);
        QCOMPARE(LeggiProdotto(2).data(QStringLiteral("DATAOGGI")), QDate(2004, 1, 10));
    }

    void sovrascriviPrezzi_data() {
        QTest::addColumn<bool>("attivo");
        QTest::addColumn<double>("prezzo");
        QTest::addColumn<QString>("casella");
        QTest::newRow("attivo") << true << 2.5 << "2,5";
        QTest::newRow("spento") << false << 2.0 << "2";
    }
    void sovrascriviPrezzi() {
        QFETCH(bool, attivo);
        QFETCH(double, prezzo);
        QFETCH(QString, casella);
        ImpostaImpostazione("SOVRASCRIVI_PREZ_LISTINO", attivo);
        ScriviProdotto({});
        TFrmCaricoScarico f;
        Mostra(f);
        f.ui()->EditPrezzoAcq->setText(QStringLiteral("2,5"));
        m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Caricare 1 unità del prodotto 'P1'?"));
        f.ui()->ButtCarica->click();
        QCOMPARE(LeggiProdotto(1).reale(QStringLiteral("PREZZO")), prezzo);
        QCOMPARE(LeggiProdotto(1).reale(QStringLiteral("PREZZO2")), 8.0);
        QCOMPARE(LeggiProdotto(1).reale(QStringLiteral("TOTALEACQUISTI")), 52.5);
        QCOMPARE(f.ui()->EditPrezzoAcq->text(), casella);
    }

    void differenza_data() {
        QTest::addColumn<double>("totVen");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QColor>("colore");
        // QUANTITA 6 x PREZZO 2 = 12 in stock, 50 spent.
        QTest::newRow("0,5 rosso") << 38.5 << "0,50" << Rosso;
        QTest::newRow("1 verde") << 39.0 << "1,00" << Verde;
        QTest::newRow("-3 rosso") << 35.0 << "-3,00" << Rosso;
    }
    void differenza() {
        QFETCH(double, totVen);
        QFETCH(QString, testo);
        QFETCH(QColor, colore);
        TProdottoProva p;
        p.totVen = totVen;
        ScriviProdotto(p);
        TFrmAggiustamentoResi f;  // the same totals as the load / unload window
        Mostra(f);
        QLabel* l = Controlli(f.pannello())->LabelDifferenza;
        QCOMPARE(l->text(), testo);
        QCOMPARE(Sfondo(l), colore);
        QCOMPARE(Testo(l), QColor(Qt::white));
        QVERIFY(l->autoFillBackground());
        QCOMPARE(Controlli(f.pannello())->LabelRimanenzaTot->text(), QStringLiteral("12"));
    }

    // Boxes that do not hold a valid number: a clear message, nothing written, no question.
    void caselleNonValide_data() {
        QTest::addColumn<QString>("q");
        QTest::addColumn<QString>("prezzo");
        QTest::addColumn<QString>("messaggio");
        const QString quantita = QStringLiteral("La quantità indicata non è valida");
        const QString prezzo = QStringLiteral("Il prezzo di acquisto (Prezzo A.) non è un numero valido");
        QTest::newRow("quantita 0") << "0" << "2" << quantita;
        QTest::newRow("quantita 1,5") << "1,5" << "2" << quantita;
        QTest::newRow("quantita vuota") << "" << "2" << quantita;
        QTest::newRow("due virgole") << "1" << "1,,2" << prezzo;
        QTest::newRow("prezzo vuoto") << "1" << "" << prezzo;
        QTest::newRow("1.234 incollato") << "1" << "1.234" << prezzo;
    }
    void caselleNonValide() {
        QFETCH(QString, q);
        QFETCH(QString, prezzo);
        QFETCH(QString, messaggio);
        ScriviProdotto({});
        TFrmCaricoScarico f;
        Mostra(f);
        f.ui()->edNumScar->setText(q);
        f.ui()->EditPrezzoAcq->setText(prezzo);
        m_amb->risposte.attendi(Tipo::Attenzione, messaggio, true, true);
        f.ui()->ButtCarica->click();
        QCOMPARE(RigheProdotti(*m_amb), QStringLiteral("10/4/6 50.0/30.0"));
        QCOMPARE(RigheStorico(*m_amb), QString());
    }

    // Keys the number boxes swallow.
    void filtroTasti() {
        ScriviProdotto({});
        TFrmCaricoScarico f;
        Mostra(f);
        QLineEdit* e = f.ui()->EditPrezzoAcq;
        e->clear();
        e->setFocus();
        QTest::keyClicks(e, QStringLiteral("1.2-a,5"));
        QCOMPARE(e->text(), QStringLiteral("12,5"));
        QTest::keyClick(e, Qt::Key_Backspace);
        QCOMPARE(e->text(), QStringLiteral("12,"));
    }

    // The history table held by another process: the history message, both tables as they were.
    void storicoBloccato() {
        ScriviProdotto({});
        TFrmCaricoScarico f;
        Mostra(f);
        sqlite3* altro = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(m_amb->file(QStringLiteral("storico.db"))).constData(), &altro), SQLITE_OK);
        QCOMPARE(sqlite3_exec(altro, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        f.ui()->edNumScar->setText(QStringLiteral("5"));
        m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Caricare 5 unità del prodotto 'P1'?"));
        m_amb->risposte.attendi(Tipo::Errore, MsgErroreStorico);
        f.ui()->ButtCarica->click();
        sqlite3_exec(altro, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(altro);
        QCOMPARE(RigheProdotti(*m_amb), QStringLiteral("10/4/6 50.0/30.0"));
        QCOMPARE(RigheStorico(*m_amb), QString());
        QCOMPARE(f.ui()->LabelAzione->text(), QString());
    }

    // The navigator moves the list: the product changed is the one the question names.
    void navigatore() {
        ScriviProdotto({});
        TProdottoProva b;
        b.id = 2;
        b.nome = QStringLiteral("P2");
        b.descrizione = QStringLiteral("Secondo");
        ScriviProdotto(b);
        TFrmCaricoScarico f;
        Mostra(f);
        auto p = Controlli(f.pannello());
        p->navSuccessivo->click();
        QCOMPARE(p->DBEditNOME->text(), QStringLiteral("P2"));
        QCOMPARE(f.pannello()->rigaCorrente(), 1);
        QCOMPARE(p->DBGrid1->currentIndex().row(), 1);
        p->navSuccessivo->click();  // already on the last row
        QCOMPARE(f.pannello()->rigaCorrente(), 1);
        m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Caricare 1 unità del prodotto 'P2'?"));
        f.ui()->ButtCarica->click();
        QCOMPARE(RigheProdotti(*m_amb, QStringLiteral("ID = 2")), QStringLiteral("11/4/7 52.0/30.0"));
        QCOMPARE(RigheProdotti(*m_amb), QStringLiteral("10/4/6 50.0/30.0"));
        QCOMPARE(p->DBEditNOME->text(), QStringLiteral("P2"));  // the list stays on its row
        p->navPrecedente->click();
        QCOMPARE(p->DBEditNOME->text(), QStringLiteral("P1"));
        QVERIFY(!p->navConferma->isEnabled() && !p->navAnnulla->isEnabled());
    }

    // Search by code and category, "Nessuna categoria", unticking "Attiva ricerca".
    void ricercaECategoria() {
        InserisciCategoria(1, QStringLiteral("Bevande"));
        InserisciCategoria(2, QStringLiteral("Dolci"));
        const struct {
            int id;
            const char* nome;
            int cat;
        } righe[] = {{1, "AB1", 1}, {2, "AB2", 2}, {3, "CD1", 1}};
        for (const auto& r : righe) {
            TProdottoProva p;
            p.id = r.id;
            p.nome = QString::fromLatin1(r.nome);
            p.idCategoria = r.cat;
            ScriviProdotto(p);
        }
        TFrmCaricoScarico f;
        Mostra(f);
        auto p = Controlli(f.pannello());
        const auto codici = [&] {
            QStringList l;
            for (int i = 0; i < f.pannello()->righe(); ++i) l << f.pannello()->lista()->valore(i, QStringLiteral("NOME")).toString();
            return l.join(QLatin1Char(','));
        };
        QTest::keyClicks(p->EdRicNome, QStringLiteral("AB"));  // nothing happens until the search is on
        QCOMPARE(codici(), QStringLiteral("AB1,AB2,CD1"));
        QCOMPARE(p->EdRicNome->text(), QStringLiteral("ab"));
        QTest::mouseClick(p->cbRicerca, Qt::LeftButton);
        QCOMPARE(codici(), QStringLiteral("AB1,AB2"));
        QCOMPARE(p->LabNumProdotti->text(), QStringLiteral("Prodotti: 2"));
        QuandoSiApre([](QWidget* lista) {
            auto* g = lista->findChild<QTableView*>(QStringLiteral("DBGrid1"));
            g->setCurrentIndex(g->model()->index(0, 0));
            lista->findChild<QPushButton*>(QStringLiteral("sbConferma"))->click();
        }, &f);
        p->buttCategoria->click();
        QCOMPARE(p->EdRicCategoria->text(), QStringLiteral("1"));
        QCOMPARE(p->EdRicCategoria->toolTip(), QStringLiteral("Categoria selezionata: Bevande"));
        QCOMPARE(codici(), QStringLiteral("AB1"));
        QCOMPARE(p->LabNumProdotti->text(), QStringLiteral("Prodotti: 1"));
        // Typed text that would break a concatenated query finds nothing and breaks nothing.
        QTest::keyClicks(p->EdRicNome, QStringLiteral("\"%"));
        QCOMPARE(codici(), QString());
        p->EdRicNome->clear();
        QuandoSiApre([](QWidget* lista) { lista->findChild<QPushButton*>(QStringLiteral("SpeedButton1"))->click(); }, &f);
        p->buttCategoria->click();
        QCOMPARE(p->EdRicCategoria->text(), QString());
        QCOMPARE(p->EdRicCategoria->toolTip(), QStringLiteral("Categoria selezionata: nessuna"));
        QCOMPARE(codici(), QStringLiteral("AB1,AB2,CD1"));
        QTest::keyClicks(p->EdRicNome, QStringLiteral("c"));
        QCOMPARE(codici(), QStringLiteral("CD1"));
        // A load on the searched list: the same rows, the new balance shown;
        // the next key still searches.
        const int saldo = f.pannello()->lista()->valore(0, QStringLiteral("QUANTITA")).toInt();
        m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Caricare 1 unità del prodotto 'CD1'?"));
        f.ui()->ButtCarica->click();
        QCOMPARE(codici(), QStringLiteral("CD1"));
        QCOMPARE(f.pannello()->lista()->valore(0, QStringLiteral("QUANTITA")).toInt(), saldo + 1);
        QCOMPARE(p->DBEditQUANTITA->text(), QString::number(saldo + 1));
        QTest::keyClick(p->EdRicNome, Qt::Key_Backspace);
        QCOMPARE(codici(), QStringLiteral("AB1,AB2,CD1"));
        QTest::mouseClick(p->cbRicerca, Qt::LeftButton);  // unticked: the whole list, the count stays
        QCOMPARE(codici(), QStringLiteral("AB1,AB2,CD1"));
        QCOMPARE(p->LabNumProdotti->text(), QStringLiteral("Prodotti: 3"));
    }

    // Leaving the quantity box below 1: the message and the focus back in the box.
    void uscitaQuantita() {
        ScriviProdotto({});
        TFrmCaricoScarico f;
        Mostra(f);
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.ui()->edNumScar->setFocus();
        f.ui()->edNumScar->setText(QStringLiteral("0"));
        m_amb->risposte.attendi(Tipo::Errore, QStringLiteral("La quantità da scaricare deve essere almeno superiore a 0."));
        f.ui()->EditPrezzoAcq->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(f.ui()->edNumScar->hasFocus());
        // A valid quantity leaves without a message.
        f.ui()->edNumScar->setText(QStringLiteral("3"));
        f.ui()->EditPrezzoAcq->setFocus(Qt::TabFocusReason);
        QVERIFY(f.ui()->EditPrezzoAcq->hasFocus());
    }

    // The movement line goes when the timer fires.
    void rigaMovimento() {
        ScriviProdotto({});
        TFrmCaricoScarico f;
        Mostra(f);
        f.Timer1->setInterval(50);
        m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Caricare 1 unità del prodotto 'P1'?"));
        f.ui()->ButtCarica->click();
        QVERIFY(!f.ui()->LabelAzione->text().isEmpty());
        QTRY_COMPARE(f.ui()->LabelAzione->text(), QString());
        QVERIFY(!f.Timer1->isActive());
    }

    void nessunProdotto() {
        TFrmCaricoScarico f;
        Mostra(f);
        m_amb->risposte.attendi(Tipo::Attenzione, QStringLiteral("Nessun prodotto selezionato!"));
        f.ui()->ButtCarica->click();
        QTest::mouseClick(f.ui()->rgscaricoVoce, Qt::LeftButton);
        m_amb->risposte.attendi(Tipo::Attenzione, QStringLiteral("Nessun prodotto selezionato!"));
        f.ui()->ButtScaricaTutto->click();
        m_amb->risposte.attendi(Tipo::Attenzione, QStringLiteral("Nessuna foto selezionata per il prodotto"));
        Controlli(f.pannello())->sbFoto->click();
        QCOMPARE(RigheStorico(*m_amb), QString());
    }

    // Counters at the edge of their whole-number fields (-2.147.483.648 to
    // 2.147.483.647): a movement whose result would not fit is refused before
    // the question, with nothing written; one that just fits goes through.
    void limitiContatori_data() {
        QTest::addColumn<QString>("movimento");  // carico, scarico, tutte, rimanenze, vendite
        QTest::addColumn<int>("carichi");
        QTest::addColumn<int>("scarichi");
        QTest::addColumn<int>("quantita");
        QTest::addColumn<QString>("q");
        QTest::addColumn<QString>("rifiuto");  // empty: accepted
        QTest::addColumn<QString>("dopo");     // CARICHI/SCARICHI/QUANTITA after
        const int max = 2147483647;
        QTest::newRow("carico oltre il massimo")
            << "carico" << 1999999998 << 0 << 1999999998 << "999999999"
            << "Carico non eseguito: i carichi del prodotto 'P1' diventerebbero 2.999.999.997, oltre il massimo di "
               "2.147.483.647."
            << "1999999998/0/1999999998";
        QTest::newRow("carico fino al massimo") << "carico" << max - 1 << 0 << max - 1 << "1" << "" << "2147483647/0/2147483647";
        QTest::newRow("scarico oltre il massimo")
            << "scarico" << 0 << max << -max << "1"
            << "Scarico non eseguito: gli scarichi del prodotto 'P1' diventerebbero 2.147.483.648, oltre il massimo di "
               "2.147.483.647."
            << "0/2147483647/-2147483647";
        QTest::newRow("scarico, saldo sotto il minimo")
            << "scarico" << -10 << 2147483640 << -2147483647 << "1"
            << "Scarico non eseguito: il saldo del prodotto 'P1' diventerebbe -2.147.483.651, sotto il minimo di "
               "-2.147.483.648."
            << "-10/2147483640/-2147483647";
        QTest::newRow("scarico fino al minimo del saldo") << "scarico" << -1 << 2147483646 << -2147483647 << "1" << ""
                                                          << "-1/2147483647/-2147483648";
        QTest::newRow("scarica tutte un miliardo") << "tutte" << 1000000000 << 0 << 1000000000 << "" << ""
                                                   << "1000000000/1000000000/0";
        QTest::newRow("scarica tutte il massimo") << "tutte" << max << 0 << max << "" << "" << "2147483647/2147483647/0";
        QTest::newRow("scarica tutte, saldo non allineato ai contatori")
            << "tutte" << 2000000000 << 1000000000 << 1500000000 << ""
            << "Scarico non eseguito: gli scarichi del prodotto 'P1' diventerebbero 2.500.000.000, oltre il massimo di "
               "2.147.483.647."
            << "2000000000/1000000000/1500000000";
        QTest::newRow("aggiustamento rimanenze, carichi sotto il minimo")
            << "rimanenze" << -2147483647 - 1 << 0 << 5 << "1"
            << "Aggiustamento non eseguito: i carichi del prodotto 'P1' diventerebbero -2.147.483.649, sotto il minimo "
               "di -2.147.483.648."
            << "-2147483648/0/5";
        QTest::newRow("aggiustamento vendite, carichi sotto il minimo")
            << "vendite" << -2147483647 << 5 << 0 << "2"
            << "Aggiustamento non eseguito: i carichi del prodotto 'P1' diventerebbero -2.147.483.649, sotto il minimo "
               "di -2.147.483.648."
            << "-2147483647/5/0";
        QTest::newRow("aggiustamento rimanenze di 2 miliardi") << "rimanenze" << max << 0 << max << "2000000000" << ""
                                                               << "147483647/0/147483647";
    }
    void limitiContatori() {
        QFETCH(QString, movimento);
        QFETCH(int, carichi);
        QFETCH(int, scarichi);
        QFETCH(int, quantita);
        QFETCH(QString, q);
        QFETCH(QString, rifiuto);
        QFETCH(QString, dopo);
        TProdottoProva p;
        p.carichi = carichi;
        p.scarichi = scarichi;
        p.quantita = quantita;
        ScriviProdotto(p);
        const QString prima = RigheProdotti(*m_amb);
        const QString domandaQ = q.isEmpty() ? QString::number(quantita) : q;
        if (!rifiuto.isEmpty()) m_amb->risposte.attendi(Tipo::Attenzione, rifiuto);
        if (movimento == QLatin1String("rimanenze") || movimento == QLatin1String("vendite")) {
            TFrmAggiustamentoResi f;
            Mostra(f);
            (movimento == QLatin1String("rimanenze") ? f.ui()->rgTipoAggiustamento0 : f.ui()->rgTipoAggiustamento1)->click();
            f.ui()->edNumScar->setText(q);
            if (rifiuto.isEmpty())
                m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Eseguire l'aggiustamento di magazzino pari a ") +
                                                           q + QStringLiteral(" unità del prodotto 'P1'?"));
            f.ui()->sbAggiustamento->click();
        } else {
            TFrmCaricoScarico f;
            Mostra(f);
            const bool carico = movimento == QLatin1String("carico");
            if (!carico) QTest::mouseClick(f.ui()->rgscaricoVoce, Qt::LeftButton);
            if (!q.isEmpty()) f.ui()->edNumScar->setText(q);
            if (rifiuto.isEmpty())
                m_amb->risposte.attendi(Tipo::Domanda, (carico ? QStringLiteral("Caricare ") : QStringLiteral("Scaricare ")) +
                                                           domandaQ + QStringLiteral(" unità del prodotto 'P1'?"));
            QTest::mouseClick(carico ? f.ui()->ButtCarica
                                     : movimento == QLatin1String("tutte") ? f.ui()->ButtScaricaTutto
                                                                           : f.ui()->ButtScaricaUnita,
                              Qt::LeftButton);
        }
        ZR_VERIFICA_RISPOSTE(*m_amb);
        QCOMPARE(RigheProdotti(*m_amb).section(QLatin1Char(' '), 0, 0), dopo);
        const QString storico = Sqlite3(m_amb->file(QStringLiteral("storico.db")), QStringLiteral("select count(*) from storico"));
        if (rifiuto.isEmpty()) {
            QCOMPARE(storico, QStringLiteral("1"));
        } else {
            QCOMPARE(storico, QStringLiteral("0"));
            QCOMPARE(RigheProdotti(*m_amb), prima);
        }
    }

    // ---------------------------------------------------------------------
    // Adjustments

    void aggiustamento_data() {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("q");
        QTest::addColumn<QString>("pa");
        QTest::addColumn<QString>("pv");
        QTest::addColumn<QString>("avviso");  // the refusal, empty when accepted
        QTest::addColumn<QString>("prodotto");
        QTest::addColumn<QString>("storico");
        QTest::newRow("rimanenze 2 a 5") << 0 << "2" << "5" << "8" << "" << "8/4/4 40.0/30.0"
                                         << "1|AGGIUSTAMENTO|P1|2||-10.0||";
        QTest::newRow("rimanenze 7 rifiutato") << 0 << "7" << "5" << "8"
                                               << "La quantità da aggiustare non può essere superiore alla quantità "
                                                  "effettivamente presente in rimanenza di magazzino (6)!"
                                               << "10/4/6 50.0/30.0" << "";
        QTest::newRow("rimanenze 6 accettato") << 0 << "6" << "5" << "8" << "" << "4/4/0 20.0/30.0"
                                               << "1|AGGIUSTAMENTO|P1|6||-30.0||";
        QTest::newRow("vendite 1 a 5 / 8") << 1 << "1" << "5" << "8" << "" << "9/3/6 45.0/22.0"
                                           << "1|AGGIUSTAMENTO|P1|1||-5.0|-8.0|";
        QTest::newRow("vendite 5 rifiutato") << 1 << "5" << "5" << "8"
                                             << "La quantità da aggiustare non può essere superiore alla quantità "
                                                "effettivamente scaricata in magazzino (4)!"
                                             << "10/4/6 50.0/30.0" << "";
    }
    void aggiustamento() {
        QFETCH(int, tipo);
        QFETCH(QString, q);
        QFETCH(QString, pa);
        QFETCH(QString, pv);
        QFETCH(QString, avviso);
        QFETCH(QString, prodotto);
        QFETCH(QString, storico);
        ImpostaImpostazione("CANC_AUTOMATICA", true);
        ScriviProdotto({});
        TFrmAggiustamentoResi f;
        Mostra(f);
        auto* u = f.ui();
        QCOMPARE(f.windowTitle(), QStringLiteral("Aggiustamento magazzino / resi di magazzino"));
        QVERIFY(u->cbInserisciSuStorico->isChecked());
        QVERIFY(u->EditPrezzoAcq->isEnabled() && u->EditPrezzoVen->isEnabled());
        (tipo == 0 ? u->rgTipoAggiustamento0 : u->rgTipoAggiustamento1)->click();
        u->edNumScar->setText(q);
        u->EditPrezzoAcq->setText(pa);
        u->EditPrezzoVen->setText(pv);
        if (!avviso.isEmpty()) {
            m_amb->risposte.attendi(Tipo::Attenzione, avviso);
        } else {
            m_amb->risposte.attendi(Tipo::Domanda,
                                    QStringLiteral("Eseguire l'aggiustamento di magazzino pari a %1 unità del prodotto 'P1'?").arg(q));
            if (prodotto.contains(QStringLiteral("/0 ")))
                m_amb->risposte.attendi(
                    Tipo::Domanda,
                    QStringLiteral("Il saldo del prodotto è 0, procedere all'eliminazione del prodotto in magazzino?"), false);
        }
        u->sbAggiustamento->click();
        QCOMPARE(RigheProdotti(*m_amb), prodotto);
        QCOMPARE(RigheStorico(*m_amb), storico);
        QCOMPARE(f.tipoAggiustamento(), tipo);  // the kind stays for the next adjustment
        QCOMPARE(Controlli(f.pannello())->DBEditCARICHI->text(), prodotto.section(QLatin1Char('/'), 0, 0));
    }

    // A product without a sale price: each movement checks only the price
    // boxes it uses. An adjustment of the stock on hand and a load whose
    // prices are not written into the product go through with "Prezzo V."
    // empty (or left unreadable by an earlier unload); an adjustment of the
    // sales, or a load that overwrites the prices, needs it.
    void senzaPrezzoDiVendita_data() {
        QTest::addColumn<QString>("movimento");
        QTest::addColumn<QString>("pv");            // the sale box as the movement finds it
        QTest::addColumn<bool>("sovrascrivi");
        QTest::addColumn<QString>("prodotto");
        QTest::addColumn<QString>("storico");       // empty: refused with the sale-price warning
        QTest::newRow("aggiustamento rimanenze") << "rimanenze" << "" << false << "8/4/4 46.0/30.0"
                                                 << "1|AGGIUSTAMENTO|P1|2||-4.0||";
        QTest::newRow("aggiustamento vendite: rifiutato") << "vendite" << "" << false << "10/4/6 50.0/30.0" << "";
        QTest::newRow("carico, prezzi non sovrascritti") << "carico" << "" << false << "12/4/8 54.0/30.0"
                                                         << "1|CARICO|P1|2|3|4.0||";
        QTest::newRow("carico, Prezzo V. illeggibile non usato") << "carico" << "1,,5" << false << "12/4/8 54.0/30.0"
                                                                 << "1|CARICO|P1|2|3|4.0||";
        QTest::newRow("carico, prezzi sovrascritti") << "carico" << "" << true << "12/4/8 54.0/30.0"
                                                     << "1|CARICO|P1|2|3|4.0||";
        QTest::newRow("carico sovrascrivendo Prezzo V. illeggibile: rifiutato")
            << "carico" << "1,,5" << true << "10/4/6 50.0/30.0" << "";
    }
    void senzaPrezzoDiVendita() {
        QFETCH(QString, movimento);
        QFETCH(QString, pv);
        QFETCH(bool, sovrascrivi);
        QFETCH(QString, prodotto);
        QFETCH(QString, storico);
        ImpostaImpostazione("SOVRASCRIVI_PREZ_LISTINO", sovrascrivi);
        TProdottoProva p;
        p.prezzo2 = QVariant();
        ScriviProdotto(p);
        const QString rifiuto = QStringLiteral("Il prezzo di vendita (Prezzo V.) non è un numero valido: usare solo "
                                               "cifre e al massimo una virgola per i decimali.");
        if (movimento == QStringLiteral("carico")) {
            TFrmCaricoScarico f;
            Mostra(f);
            auto* u = f.ui();
            QCOMPARE(u->EditPrezzoVen->text(), QString());
            // What an unload left in the sale box stays there, disabled, in load mode.
            QTest::mouseClick(u->rgscaricoVoce, Qt::LeftButton);
            u->EditPrezzoVen->setText(pv);
            QTest::mouseClick(u->rgcaricoVoce, Qt::LeftButton);
            QVERIFY(!u->EditPrezzoVen->isEnabled());
            u->edNumScar->setText(QStringLiteral("2"));
            if (storico.isEmpty()) m_amb->risposte.attendi(Tipo::Attenzione, rifiuto);
            else m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Caricare 2 unità del prodotto 'P1'?"));
            QTest::mouseClick(u->ButtCarica, Qt::LeftButton);
        } else {
            TFrmAggiustamentoResi f;
            Mostra(f);
            auto* u = f.ui();
            QCOMPARE(u->EditPrezzoVen->text(), QString());
            (movimento == QStringLiteral("rimanenze") ? u->rgTipoAggiustamento0 : u->rgTipoAggiustamento1)->click();
            u->edNumScar->setText(QStringLiteral("2"));
            if (storico.isEmpty())
                m_amb->risposte.attendi(Tipo::Attenzione, rifiuto);
            else
                m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Eseguire l'aggiustamento di magazzino pari a 2 "
                                                                      "unità del prodotto 'P1'?"));
            u->sbAggiustamento->click();
        }
        QCOMPARE(RigheProdotti(*m_amb), prodotto);
        QCOMPARE(RigheStorico(*m_amb), storico);
        // The product still has no sale price.
        QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral("select PREZZO2 is null from prodotti")),
                 QStringLiteral("1"));
    }

    // The warnings in their order: an empty list first, then the missing kind.
    void aggiustamentoAvvisi() {
        {
            TFrmAggiustamentoResi f;
            Mostra(f);
            QCOMPARE(f.tipoAggiustamento(), -1);
            m_amb->risposte.attendi(Tipo::Attenzione, QStringLiteral("Nessun prodotto selezionato!"));
            f.ui()->sbAggiustamento->click();
        }
        ScriviProdotto({});
        TFrmAggiustamentoResi f;
        Mostra(f);
        m_amb->risposte.attendi(
            Tipo::Attenzione,
            QStringLiteral("Selezionare da dove avverrà l'aggiustamento dalla parte scarichi (rimanenze o vendite)?"));
        f.ui()->sbAggiustamento->click();
        f.ui()->rgTipoAggiustamento1->click();
        f.ui()->EditPrezzoVen->setText(QStringLiteral("1,,"));
        m_amb->risposte.attendi(Tipo::Attenzione, QStringLiteral("Il prezzo di vendita (Prezzo V.)"), true, true);
        f.ui()->sbAggiustamento->click();
        QCOMPARE(RigheProdotti(*m_amb), QStringLiteral("10/4/6 50.0/30.0"));
        // Leaving the quantity box at 0 has the adjustment's own text.
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.ui()->edNumScar->setFocus();
        f.ui()->edNumScar->setText(QStringLiteral("0"));
        m_amb->risposte.attendi(Tipo::Errore, QStringLiteral("La quantità deve essere almeno superiore a 0."));
        f.ui()->EditPrezzoAcq->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(f.ui()->edNumScar->hasFocus());
    }

    // The history box starts from PROPONI_INS_STORICO; unticked, only the product changes.
    void aggiustamentoSenzaStorico() {
        ImpostaImpostazione("PROPONI_INS_STORICO", false);
        ScriviProdotto({});
        TFrmAggiustamentoResi f;
        Mostra(f);
        QVERIFY(!f.ui()->cbInserisciSuStorico->isChecked());
        f.ui()->rgTipoAggiustamento0->click();
        m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Eseguire l'aggiustamento di magazzino pari a 1 unità del prodotto 'P1'?"));
        f.ui()->sbAggiustamento->click();
        QCOMPARE(RigheProdotti(*m_amb), QStringLiteral("9/4/5 48.0/30.0"));
        QCOMPARE(RigheStorico(*m_amb), QString());
        f.ui()->cbInserisciSuStorico->click();
        m_amb->risposte.attendi(Tipo::Domanda, QStringLiteral("Eseguire l'aggiustamento di magazzino pari a 1 unità del prodotto 'P1'?"));
        f.ui()->sbAggiustamento->click();
        QCOMPARE(RigheStorico(*m_amb), QStringLiteral("1|AGGIUSTAMENTO|P1|1||-2.0||"));
    }

};

QTEST_MAIN(TestFinestre)
#include "test_finestre.moc"
