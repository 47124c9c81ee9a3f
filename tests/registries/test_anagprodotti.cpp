// The products registry as a user drives it: the navigator, the checks before
// a product is stored, the discount cascade, the picks through the lists, the
// picture, the search and the exit question.

#include "AmbienteTest.h"
#include "Dati.h"
#include "data/Convenzioni.h"
#include "data/engine/Tabella.h"
#include "gui/ModelloElenco.h"
#include "gui/Navigatore.h"
#include "gui/Selezione.h"
#include "registries/AnagProdotti.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

namespace {
QLineEdit* Box(QWidget* f, const char* nome) { return Controllo<QLineEdit>(f, nome); }
void Premi(QWidget* f, TNavigatore::Pulsante p) {
    QTest::mouseClick(Controllo<TNavigatore>(f, "DBNavigator1")->pulsante(p), Qt::LeftButton);
}
QString Db(const TAmbienteTest& amb, const QString& sql) { return Sqlite3(amb.file(QStringLiteral("prodotti.db")), sql); }
QStringList Codici(TFrmAnagProdotti& f) {
    QStringList l;
    for (int i = 0; i < f.listaProdotti()->conteggio(); ++i) l << f.listaProdotti()->valore(i, QStringLiteral("NOME")).toString();
    return l;
}
// A new product typed and confirmed through the window.
void NuovoProdotto(TFrmAnagProdotti& f, const QString& codice, const QString& descrizione) {
    Premi(&f, TNavigatore::Inserisci);
    Digita(Box(&f, "DBEditCodice"), codice);
    Digita(Box(&f, "DBEditDescrizione"), descrizione);
    Premi(&f, TNavigatore::Conferma);
}
}  // namespace

class TestAnagProdotti : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void nuovoProdotto_idEValori() {
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        QCOMPARE(f.windowTitle(), QStringLiteral("Anagrafica prodotti"));
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProdotti")->text(), QStringLiteral("Prodotti trovati: 0"));
        Premi(&f, TNavigatore::Inserisci);
        QCOMPARE(f.tabellaProdotti()->intero(QStringLiteral("ID")), 1);
        QVERIFY(Box(&f, "DBEditCodice")->hasFocus());
        QCOMPARE(Box(&f, "DBEdit4")->text(), QStringLiteral("15/03/2004"));
        Digita(Box(&f, "DBEditCodice"), QStringLiteral("O'Brien \"1\""));
        Digita(Box(&f, "DBEditDescrizione"), QStringLiteral("Caffè d'orzo"));
        Premi(&f, TNavigatore::Conferma);
        // Blank prices are stored as 0, counters as 0, the entry date as today.
        QCOMPARE(Db(*m_amb, QStringLiteral("select ID, NOME, DESCRIZIONE, PREZZO, PREZZO2, CARICHI, SCARICHI, QUANTITA, "
                                           "GIACENZAMAX, DATAOGGI from prodotti")),
                 QStringLiteral("1|O'Brien \"1\"|Caffè d'orzo|0.0|0.0|0|0|0|0|2004-03-15"));
        QCOMPARE(Controllo<QLabel>(&f, "LabelMargine")->text(), QStringLiteral("N.D."));
        // The list is refreshed; its count label is not.
        QCOMPARE(Codici(f), QStringList{QStringLiteral("O'Brien \"1\"")});
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProdotti")->text(), QStringLiteral("Prodotti trovati: 0"));

        // max + 1 after deletions, the highest ID given again once deleted.
        for (int id = 2; id <= 5; ++id) InserisciProdotto(id, QStringLiteral("P%1").arg(id), QStringLiteral("d"));
        f.tabellaProdotti()->aggiorna();
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("Delete record?"));
        QVERIFY(f.tabellaProdotti()->trova(QStringLiteral("ID"), 3));
        Premi(&f, TNavigatore::Elimina);
        NuovoProdotto(f, QStringLiteral("P6"), QStringLiteral("d"));
        QCOMPARE(Db(*m_amb, QStringLiteral("select group_concat(ID) from (select ID from prodotti order by ID)")),
                 QStringLiteral("1,2,4,5,6"));
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("Delete record?"));
        QVERIFY(f.tabellaProdotti()->trova(QStringLiteral("ID"), 6));
        Premi(&f, TNavigatore::Elimina);
        NuovoProdotto(f, QStringLiteral("P6bis"), QStringLiteral("d"));
        QCOMPARE(Db(*m_amb, QStringLiteral("select ID from prodotti where NOME = 'P6bis'")), QStringLiteral("6"));
        // "No" to the navigator's question deletes nothing.
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("Delete record?"), false);
        Premi(&f, TNavigatore::Elimina);
        QCOMPARE(Db(*m_amb, QStringLiteral("select count(*) from prodotti")), QStringLiteral("5"));
    }

    void controlliPrimaDiRegistrare() {
        InserisciProdotto(1, QStringLiteral("AB1"), QStringLiteral("Primo"));
        InserisciProdotto(2, QStringLiteral("AB2"), QStringLiteral("Secondo"));
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        Premi(&f, TNavigatore::Inserisci);
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Manca il codice del prodotto!"));
        Premi(&f, TNavigatore::Conferma);
        QVERIFY(Box(&f, "DBEditCodice")->hasFocus());
        Digita(Box(&f, "DBEditCodice"), QStringLiteral("AB1"));
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Manca la descrizione del prodotto!"));
        Premi(&f, TNavigatore::Conferma);
        QVERIFY(Box(&f, "DBEditDescrizione")->hasFocus());
        Digita(Box(&f, "DBEditDescrizione"), QStringLiteral("Doppione"));
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("Codice di prodotto già esistente, modificarlo."));
        Premi(&f, TNavigatore::Conferma);
        QCOMPARE(f.tabellaProdotti()->stato(), TTabella::Stato::Inserimento);
        QVERIFY(Box(&f, "DBEditCodice")->hasFocus());
        Premi(&f, TNavigatore::Annulla);
        QCOMPARE(Db(*m_amb, QStringLiteral("select count(*) from prodotti")), QStringLiteral("2"));
        // Renaming an existing product to another's code is not looked for.
        QVERIFY(f.tabellaProdotti()->trova(QStringLiteral("ID"), 2));
        Svuota(Box(&f, "DBEditCodice"));
        Digita(Box(&f, "DBEditCodice"), QStringLiteral("AB1"));
        Premi(&f, TNavigatore::Conferma);
        QCOMPARE(Db(*m_amb, QStringLiteral("select count(*) from prodotti where NOME = 'AB1'")), QStringLiteral("2"));
    }

    void sconti_data() {
        QTest::addColumn<QString>("listino");
        QTest::addColumn<QStringList>("sconti");
        QTest::addColumn<QStringList>("prezzi");  // PREZZO after leaving each discount box
        QTest::newRow("200 con 50 poi 10") << QStringLiteral("200") << QStringList{"50", "10", ""}
                                           << QStringList{"100", "90", "90"};
        QTest::newRow("100 con 10, 5, 0") << QStringLiteral("100") << QStringList{"10", "5", "0"}
                                          << QStringList{"90", "85,5", "85,5"};
        QTest::newRow("decimali") << QStringLiteral("12,5") << QStringList{"20", "", ""}
                                  << QStringList{"10", "10", "10"};
    }
    void sconti() {
        QFETCH(QString, listino);
        QFETCH(QStringList, sconti);
        QFETCH(QStringList, prezzi);
        InserisciProdotto(1, QStringLiteral("A"), QStringLiteral("a"));
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        Digita(Box(&f, "DBEdit18"), listino);
        const char* boxSconti[] = {"DBEdit15", "DBEdit14", "DBEdit13"};
        for (int i = 0; i < 3; ++i) {
            QLineEdit* b = Box(&f, boxSconti[i]);
            b->setFocus(Qt::TabFocusReason);
            Digita(b, sconti[i]);
            QTest::keyClick(b, Qt::Key_Tab);
            QCOMPARE(Box(&f, "DBEdit12")->text(), prezzi[i]);
        }
        Premi(&f, TNavigatore::Conferma);
        QCOMPARE(LocaleItaliano().toString(Db(*m_amb, QStringLiteral("select PREZZO from prodotti")).toDouble()),
                 prezzi[2]);
    }

    void scontoAttraversato_mettemInModificaEdEsciChiede() {
        InserisciProdotto(1, QStringLiteral("A"), QStringLiteral("a"));
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        QCOMPARE(f.tabellaProdotti()->stato(), TTabella::Stato::Consultazione);
        Attraversa(Box(&f, "DBEdit14"));
        QCOMPARE(f.tabellaProdotti()->stato(), TTabella::Stato::Modifica);
        const QString domanda = QStringLiteral(
            "E' in corso un operazione di immissione o modifica dati, uscendo si annullerà tale operazione, si è sicuri "
            "di voler uscire?");
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, domanda, false);
        QTest::mouseClick(Controllo<QPushButton>(&f, "sbEsci"), Qt::LeftButton);
        QVERIFY(f.isVisible());
        QCOMPARE(f.tabellaProdotti()->stato(), TTabella::Stato::Modifica);
        m_amb->risposte.attendi(TTipoMessaggio::Domanda, domanda, true);
        QTest::mouseClick(Controllo<QPushButton>(&f, "sbEsci"), Qt::LeftButton);
        QVERIFY(!f.isVisible());
        QCOMPARE(Db(*m_amb, QStringLiteral("select PREZZO is null from prodotti")), QStringLiteral("1"));
    }

    // Escape pressed in a box takes the road of "Esci": with an insert or an
    // edit pending it asks, No keeps the change, Yes discards it and closes;
    // with nothing pending it closes without asking.
    void escComeEsci_data() {
        QTest::addColumn<QString>("pendente");
        QTest::addColumn<bool>("risposta");
        QTest::newRow("modifica, No") << "modifica" << false;
        QTest::newRow("modifica, Si") << "modifica" << true;
        QTest::newRow("inserimento, No") << "inserimento" << false;
        QTest::newRow("inserimento, Si") << "inserimento" << true;
        QTest::newRow("niente in sospeso") << "" << true;
    }
    void escComeEsci() {
        QFETCH(QString, pendente);
        QFETCH(bool, risposta);
        InserisciProdotto(1, QStringLiteral("A"), QStringLiteral("a"));
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        if (pendente == QStringLiteral("inserimento")) Premi(&f, TNavigatore::Inserisci);
        QLineEdit* box = Box(&f, "DBEditDescrizione");
        box->setFocus();
        if (!pendente.isEmpty()) {
            Digita(box, QStringLiteral("zz"));
            QVERIFY(f.tabellaProdotti()->inModifica());
            m_amb->risposte.attendi(TTipoMessaggio::Domanda,
                                    QStringLiteral("E' in corso un operazione di immissione o modifica dati, uscendo "
                                                   "si annullerà tale operazione, si è sicuri di voler uscire?"),
                                    risposta);
        }
        QTest::keyClick(box, Qt::Key_Escape);
        const bool resta = !pendente.isEmpty() && !risposta;
        QCOMPARE(f.isVisible(), resta);
        QCOMPARE(f.tabellaProdotti()->inModifica(), resta);
        if (resta) QVERIFY(box->text().contains(QStringLiteral("zz")));
        // Nothing was stored: the one product as it was, no new one.
        QCOMPARE(Db(*m_amb, QStringLiteral("select group_concat(ID || '=' || NOME) from prodotti")), QStringLiteral("1=A"));
        QCOMPARE(Db(*m_amb, QStringLiteral("select DESCRIZIONE from prodotti")), QStringLiteral("a"));
    }

    void margine_data() {
        QTest::addColumn<QString>("acquisto");
        QTest::addColumn<QString>("vendita");
        QTest::addColumn<QString>("margine");
        QTest::newRow("10 e 15") << "10" << "15" << "50";
        QTest::newRow("arrotondato") << "3" << "4" << "33";
        QTest::newRow("migliaia") << "1" << "20" << "1.900";
        QTest::newRow("acquisto 0") << "0" << "15" << "N.D.";
    }
    void margine() {
        QFETCH(QString, acquisto);
        QFETCH(QString, vendita);
        QFETCH(QString, margine);
        InserisciProdotto(1, QStringLiteral("A"), QStringLiteral("a"));
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        Box(&f, "DBEdit12")->setFocus(Qt::TabFocusReason);
        Digita(Box(&f, "DBEdit12"), acquisto);
        QTest::keyClick(Box(&f, "DBEdit12"), Qt::Key_Tab);
        Box(&f, "DBEdit8")->setFocus(Qt::TabFocusReason);
        Digita(Box(&f, "DBEdit8"), vendita);
        QTest::keyClick(Box(&f, "DBEdit8"), Qt::Key_Tab);
        QCOMPARE(Controllo<QLabel>(&f, "LabelMargine")->text(), margine);
    }

    void dateCompletateAllUscita() {
        InserisciProdotto(1, QStringLiteral("A"), QStringLiteral("a"));
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        QLineEdit* distinta = Box(&f, "DBEdit5");
        distinta->setFocus(Qt::TabFocusReason);
        Digita(distinta, QStringLiteral("0502"));
        QTest::keyClick(distinta, Qt::Key_Tab);
        QCOMPARE(distinta->text(), QStringLiteral("05/02/2004"));
        // Leaving an empty date box leaves it empty.
        Attraversa(Box(&f, "DBEdit4"));
        QCOMPARE(Box(&f, "DBEdit4")->text(), QString());
        Premi(&f, TNavigatore::Conferma);
        QCOMPARE(Db(*m_amb, QStringLiteral("select DATADISTINTA, DATAOGGI is null from prodotti")), QStringLiteral("2004-02-05|1"));
    }

    void testoNonNumerico_nonRegistrato() {
        InserisciProdotto(1, QStringLiteral("A"), QStringLiteral("a"));
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        Box(&f, "DBEdit18")->setText(QStringLiteral("dieci"));  // pasted
        emit Box(&f, "DBEdit18")->textEdited(QStringLiteral("dieci"));
        m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("\"dieci\""), true, true);
        Premi(&f, TNavigatore::Conferma);
        QCOMPARE(f.tabellaProdotti()->stato(), TTabella::Stato::Modifica);
        QVERIFY(Box(&f, "DBEdit18")->hasFocus());
        QCOMPARE(Db(*m_amb, QStringLiteral("select PREZZOLISTINO is null from prodotti")), QStringLiteral("1"));
    }

    void sceltaProduttore_data() {
        QTest::addColumn<QString>("azione");  // what the list is left with
        QTest::addColumn<int>("precedente");  // IdProduttoreScelto before the list opens
        QTest::addColumn<QString>("atteso");  // IDPRODUTTORE stored
        QTest::addColumn<QString>("dettagli");
        QTest::newRow("scegli") << "sbConferma" << 0 << "7" << "Dettagli: Luca Marini";
        QTest::newRow("nessun produttore") << "SpeedButton1" << 7 << "0" << "Dettagli:  ";
        QTest::newRow("annulla, mai scelto") << "sbEsci" << 0 << "4" << "Dettagli:";
        QTest::newRow("annulla, scelto prima") << "sbEsci" << 7 << "7" << "Dettagli: Luca Marini";
        QTest::newRow("annulla, nessuno prima") << "sbEsci" << -1 << "0" << "Dettagli:  ";
    }
    void sceltaProduttore() {
        QFETCH(QString, azione);
        QFETCH(int, precedente);
        QFETCH(QString, atteso);
        QFETCH(QString, dettagli);
        InserisciProduttore(7, QStringLiteral("Luca"), QStringLiteral("Marini"));
        InserisciProdotto(1, QStringLiteral("A"), QStringLiteral("a"), 0, 4);
        if (precedente == 7) SelezioneCorrente() = {7, QStringLiteral("Luca"), QStringLiteral("Marini"), 0, {}, {}};
        if (precedente == -1) SelezioneCorrente().IdProduttoreScelto = -1;
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        bool aperta = false;
        QuandoSiApre(
            [&](QWidget* lista) {
                aperta = lista->windowTitle() == QStringLiteral("Lista produttori");
                QTest::mouseClick(Controllo<QPushButton>(lista, qPrintable(azione)), Qt::LeftButton);
            },
            &f);
        QTest::mouseClick(Controllo<QPushButton>(&f, "SpeedButton1"), Qt::LeftButton);
        QVERIFY(aperta);
        QCOMPARE(Controllo<QLabel>(&f, "LabDettagli")->text(), dettagli);
        if (f.tabellaProdotti()->inModifica()) Premi(&f, TNavigatore::Conferma);
        QCOMPARE(Db(*m_amb, QStringLiteral("select IDPRODUTTORE from prodotti")), atteso);
    }

    void sceltaCategoria_data() {
        QTest::addColumn<QString>("azione");
        QTest::addColumn<int>("precedente");
        QTest::addColumn<QString>("atteso");
        QTest::addColumn<QString>("dettagli");
        QTest::newRow("scegli") << "sbConferma" << 0 << "2" << "Dettagli: Caffè";
        QTest::newRow("nessuna categoria") << "SpeedButton1" << 2 << "0" << "Dettagli: ";
        QTest::newRow("annulla, mai scelta") << "sbEsci" << 0 << "9" << "Dettagli:";
        QTest::newRow("annulla, scelta prima") << "sbEsci" << 2 << "2" << "Dettagli: Caffè";
    }
    void sceltaCategoria() {
        QFETCH(QString, azione);
        QFETCH(int, precedente);
        QFETCH(QString, atteso);
        QFETCH(QString, dettagli);
        InserisciCategoria(2, QStringLiteral("Caffè"));
        InserisciProdotto(1, QStringLiteral("A"), QStringLiteral("a"), 9, 0);
        if (precedente == 2) {
            SelezioneCorrente().IdCategoriaScelta = 2;
            SelezioneCorrente().CategoriaScelta = QStringLiteral("Caffè");
        }
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        QuandoSiApre([&](QWidget* lista) { QTest::mouseClick(Controllo<QPushButton>(lista, qPrintable(azione)), Qt::LeftButton); },
                     &f);
        QTest::mouseClick(Controllo<QPushButton>(&f, "SpeedButton2"), Qt::LeftButton);
        QCOMPARE(Controllo<QLabel>(&f, "LabDettagliCat")->text(), dettagli);
        if (f.tabellaProdotti()->inModifica()) Premi(&f, TNavigatore::Conferma);
        QCOMPARE(Db(*m_amb, QStringLiteral("select IDCATEGORIA from prodotti")), atteso);
    }

    void dettagliEFoto() {
        InserisciProduttore(3, QStringLiteral("Anna"), QStringLiteral("Bianchi"));
        InserisciCategoria(5, QStringLiteral("Vini"));
        InserisciProdotto(1, QStringLiteral("A"), QStringLiteral("a"), 5, 3);
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        QCOMPARE(Controllo<QLabel>(&f, "LabDettagli")->text(), QStringLiteral("Dettagli: Anna Bianchi"));
        QCOMPARE(Controllo<QLabel>(&f, "LabDettagliCat")->text(), QStringLiteral("Dettagli: Vini"));
        QPushButton* foto = Controllo<QPushButton>(&f, "SbFoto");
        QVERIFY(foto->styleSheet().contains(QStringLiteral("255,0,0")));
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Nessuna foto selezionata per il prodotto"));
        QTest::mouseClick(foto, Qt::LeftButton);
        QVERIFY(m_amb->risposte.urlAperti.isEmpty());

        // A chosen picture whose path is longer than the field keeps 110 characters.
        const QString lungo = m_amb->cartella() + QString(140, QLatin1Char('x')) + QStringLiteral(".jpg");
        m_amb->risposte.fileDaScegliere.enqueue(lungo);
        QTest::mouseClick(Controllo<QPushButton>(&f, "SpeedButton3"), Qt::LeftButton);
        QCOMPARE(f.tabellaProdotti()->stato(), TTabella::Stato::Modifica);
        Premi(&f, TNavigatore::Conferma);
        QCOMPARE(Db(*m_amb, QStringLiteral("select FOTO from prodotti")), lungo.left(110));
        QVERIFY(foto->styleSheet().contains(QStringLiteral("0,128,0")));
        QTest::mouseClick(foto, Qt::LeftButton);
        QCOMPARE(m_amb->risposte.urlAperti, QVector<QUrl>{QUrl::fromLocalFile(lungo.left(110))});
        // A cancelled chooser changes nothing.
        QTest::mouseClick(Controllo<QPushButton>(&f, "SpeedButton3"), Qt::LeftButton);
        QCOMPARE(f.tabellaProdotti()->stato(), TTabella::Stato::Consultazione);
    }

    void ricerca() {
        InserisciProdotto(1, QStringLiteral("AB100"), QStringLiteral("Vino rosso"));
        InserisciProdotto(2, QStringLiteral("aB200"), QStringLiteral("Pane"));
        InserisciProdotto(3, QStringLiteral("XAB"), QStringLiteral("Prosecco"));
        InserisciProdotto(4, QStringLiteral("CAFFÈ1"), QStringLiteral("CAFFÈ MACINATO"));
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProdotti")->text(), QStringLiteral("Prodotti trovati: 4"));
        QCOMPARE(Codici(f), (QStringList{"AB100", "CAFFÈ1", "XAB", "aB200"}));  // ordered by code
        QLineEdit* codice = Box(&f, "EdRicNome");
        QLineEdit* descrizione = Box(&f, "EdRicDescrizione");
        // Unticked: typing changes nothing.
        Digita(codice, QStringLiteral("ab"));
        QCOMPARE(f.listaProdotti()->conteggio(), 4);
        Controllo<QCheckBox>(&f, "cbRicerca")->click();
        QCOMPARE(Codici(f), (QStringList{"AB100", "aB200"}));
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProdotti")->text(), QStringLiteral("Prodotti trovati: 2"));
        // The product cursor follows the list.
        QCOMPARE(f.tabellaProdotti()->testo(QStringLiteral("NOME")), QStringLiteral("AB100"));
        Svuota(codice);
        Digita(descrizione, QStringLiteral("ROS"));
        QCOMPARE(Codici(f), (QStringList{"AB100", "XAB"}));
        Svuota(descrizione);
        Digita(descrizione, QStringLiteral("caffè"));
        QCOMPARE(Codici(f), QStringList{"CAFFÈ1"});
        QCOMPARE(f.tabellaProdotti()->testo(QStringLiteral("NOME")), QStringLiteral("CAFFÈ1"));
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProdotti")->text(), QStringLiteral("Prodotti trovati: 1"));
        // While a product is being edited the search waits.
        Digita(Box(&f, "DBEditDescrizione"), QStringLiteral("!"));
        Svuota(descrizione);
        QCOMPARE(Codici(f), QStringList{"CAFFÈ1"});
        // Unticking leaves the last search in place.
        Premi(&f, TNavigatore::Annulla);
        Controllo<QCheckBox>(&f, "cbRicerca")->click();
        Digita(codice, QStringLiteral("x"));
        QCOMPARE(Codici(f), QStringList{"CAFFÈ1"});
    }

    // "Ordina prodotti per sequenza di inserimento in tabella": the list and
    // its searches keep the order of insertion instead of the code's.
    void ordineDiInserimento() {
        InserisciProdotto(1, QStringLiteral("ZETA"), QStringLiteral("z"));
        InserisciProdotto(2, QStringLiteral("ALFA"), QStringLiteral("a"));
        InserisciProdotto(3, QStringLiteral("ZAINO"), QStringLiteral("z"));
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("update %1 set ORD_PRODOTTI_STANDARD = 1").arg(a.nomeQualificato(QStringLiteral("impostazioni"))));
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        QCOMPARE(Codici(f), (QStringList{"ZETA", "ALFA", "ZAINO"}));
        Controllo<QCheckBox>(&f, "cbRicerca")->click();
        Digita(Box(&f, "EdRicNome"), QStringLiteral("z"));
        QCOMPARE(Codici(f), (QStringList{"ZETA", "ZAINO"}));
    }

    void ricercaTestiOstili_data() {
        QTest::addColumn<QString>("codice");
        QTest::addColumn<QString>("descrizione");
        QTest::addColumn<QStringList>("trovati");
        QTest::newRow("percento nel codice") << "5%" << "" << QStringList{"5%"};
        QTest::newRow("sottolineato nel codice") << "a_" << "" << QStringList{"a_b"};
        QTest::newRow("apostrofo") << "o'b" << "" << QStringList{"O'Brien"};
        QTest::newRow("virgolette nella descrizione") << "" << "\"x" << QStringList{"\"X\""};
        QTest::newRow("barra nella descrizione") << "" << "c\\" << QStringList{"c\\d"};
        QTest::newRow("percento nella descrizione") << "" << "%" << QStringList{"5%"};
        QTest::newRow("sql") << "' or 1=1 --" << "\"); drop table prodotti; --" << QStringList{};
    }
    void ricercaTestiOstili() {
        QFETCH(QString, codice);
        QFETCH(QString, descrizione);
        QFETCH(QStringList, trovati);
        const QStringList testi = {"5%", "50", "a_b", "axb", "O'Brien", "\"X\"", "c\\d", "cd"};
        for (int i = 0; i < testi.size(); ++i) InserisciProdotto(i + 1, testi[i], QStringLiteral("d ") + testi[i]);
        TFrmAnagProdotti f;
        QVERIFY(MostraAttiva(&f));
        Controllo<QCheckBox>(&f, "cbRicerca")->click();
        Digita(Box(&f, "EdRicNome"), codice);
        Digita(Box(&f, "EdRicDescrizione"), descrizione);
        QCOMPARE(Codici(f), trovati);
        QCOMPARE(Controllo<QLabel>(&f, "LabNumProdotti")->text(),
                 QStringLiteral("Prodotti trovati: %1").arg(trovati.size()));
        QCOMPARE(Db(*m_amb, QStringLiteral("select count(*) from prodotti")), QString::number(testi.size()));
    }
};

QTEST_MAIN(TestAnagProdotti)
#include "test_anagprodotti.moc"
