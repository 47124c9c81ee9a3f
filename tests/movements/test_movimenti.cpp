// The data work of the movements without a window: the history row, the
// arithmetic of loads, unloads and adjustments, the checks of the typed
// numbers, the movement as one transaction, a locked or damaged table, and a
// process killed at every write of a load, an unload and an adjustment.

#include "AmbienteTest.h"
#include "Fixture.h"
#include "data/CreaTabelle.h"
#include "data/Orologio.h"
#include "data/engine/Definizioni.h"
#include "movements/Azzeramenti.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <sqlite3.h>

// ---------------------------------------------------------------------------
// The child process of the kill test: a file layer over SQLite's own that
// counts every write, sync, truncate and delete, and kills the process at
// the n-th one.

namespace {

sqlite3_vfs* g_vfsReale = nullptr;
long g_punti = 0;
long g_limite = 0;

void PuntoDiScrittura() {
    ++g_punti;
    if (g_limite > 0 && g_punti >= g_limite) std::raise(SIGKILL);
}

struct TFileContato {
    sqlite3_file base;
    sqlite3_file* reale;
};

sqlite3_file* Reale(sqlite3_file* f) { return reinterpret_cast<TFileContato*>(f)->reale; }

int Chiudi(sqlite3_file* f) { return Reale(f)->pMethods->xClose(Reale(f)); }
int Leggi(sqlite3_file* f, void* b, int n, sqlite3_int64 o) { return Reale(f)->pMethods->xRead(Reale(f), b, n, o); }
int Scrivi(sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
    PuntoDiScrittura();
    return Reale(f)->pMethods->xWrite(Reale(f), b, n, o);
}
int Tronca(sqlite3_file* f, sqlite3_int64 n) {
    PuntoDiScrittura();
    return Reale(f)->pMethods->xTruncate(Reale(f), n);
}
int Sincronizza(sqlite3_file* f, int flag) {
    PuntoDiScrittura();
    return Reale(f)->pMethods->xSync(Reale(f), flag);
}
int Dimensione(sqlite3_file* f, sqlite3_int64* n) { return Reale(f)->pMethods->xFileSize(Reale(f), n); }
int Blocca(sqlite3_file* f, int l) { return Reale(f)->pMethods->xLock(Reale(f), l); }
int Sblocca(sqlite3_file* f, int l) { return Reale(f)->pMethods->xUnlock(Reale(f), l); }
int Riservato(sqlite3_file* f, int* r) { return Reale(f)->pMethods->xCheckReservedLock(Reale(f), r); }
int Controllo(sqlite3_file* f, int op, void* a) { return Reale(f)->pMethods->xFileControl(Reale(f), op, a); }
int Settore(sqlite3_file* f) { return Reale(f)->pMethods->xSectorSize(Reale(f)); }
int Caratteristiche(sqlite3_file* f) { return Reale(f)->pMethods->xDeviceCharacteristics(Reale(f)); }

const sqlite3_io_methods MetodiContati = {1, Chiudi, Leggi, Scrivi, Tronca, Sincronizza, Dimensione, Blocca,
                                          Sblocca, Riservato, Controllo, Settore, Caratteristiche};

int Apri(sqlite3_vfs*, sqlite3_filename nome, sqlite3_file* f, int flag, int* uscita) {
    auto* c = reinterpret_cast<TFileContato*>(f);
    c->reale = reinterpret_cast<sqlite3_file*>(c + 1);
    const int rc = g_vfsReale->xOpen(g_vfsReale, nome, c->reale, flag, uscita);
    c->base.pMethods = c->reale->pMethods ? &MetodiContati : nullptr;
    return rc;
}

int Elimina(sqlite3_vfs*, const char* nome, int sincronizza) {
    PuntoDiScrittura();
    return g_vfsReale->xDelete(g_vfsReale, nome, sincronizza);
}

sqlite3_vfs g_vfsContato;

void InstallaVfsContato(long limite) {
    g_vfsReale = sqlite3_vfs_find(nullptr);
    g_vfsContato = *g_vfsReale;
    g_vfsContato.iVersion = std::min(g_vfsReale->iVersion, 3);
    g_vfsContato.zName = "zr_contato";
    g_vfsContato.szOsFile = static_cast<int>(sizeof(TFileContato)) + g_vfsReale->szOsFile;
    g_vfsContato.xOpen = Apri;
    g_vfsContato.xDelete = Elimina;
    g_limite = limite;
    sqlite3_vfs_register(&g_vfsContato, 1);
}

// The three movements of the kill test, on product 1 (10/4/6, 50/30).
void TreMovimenti() {
    TDatiMovimento carico;
    carico.quantita = 3;
    carico.prezzoAcq = 2.5;
    carico.prezzoVen = 8;
    EseguiMovimento(Azioni::Carico, 1, carico, {});
    TDatiMovimento scarico = carico;
    scarico.quantita = 2;
    EseguiMovimento(Azioni::Scarico, 1, scarico, {});
    TDatiMovimento aggiusta = carico;
    aggiusta.quantita = 1;
    aggiusta.tipoAggiustamento = AggiustaRimanenze;
    EseguiMovimento(Azioni::Aggiustamento, 1, aggiusta, {});
}

int Figlio(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    InstallaVfsContato(QString::fromLocal8Bit(argv[3]).toLong());
    ImpostaOrologio(QDateTime(QDate(2004, 3, 15), QTime(10, 30)));
    TArchivio::apriCorrente(QString::fromLocal8Bit(argv[2]));
    g_punti = 0;  // only the writes of the movements count
    TreMovimenti();
    std::printf("PUNTI %ld\n", g_punti);
    std::fflush(stdout);
    TArchivio::chiudiCorrente();
    return 0;
}

// The product's counters after 0, 1, 2 and 3 of the kill test's movements.
struct TStato {
    int carichi, scarichi, quantita;
    double totAcq, totVen;
};
const TStato StatiAttesi[] = {{10, 4, 6, 50, 30}, {13, 4, 9, 57.5, 30}, {13, 6, 7, 57.5, 46}, {12, 6, 6, 55, 46}};

TRecord Movimento(const QString& azione, int q, double pa, double pv, int tipo = AggiustaNessuno,
                  const TOpzioniMovimento& o = {}) {
    TDatiMovimento d;
    d.quantita = q;
    d.prezzoAcq = pa;
    d.prezzoVen = pv;
    d.tipoAggiustamento = tipo;
    return EseguiMovimento(azione, 1, d, o);
}

}  // namespace

class TestMovimenti : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    // The typed numbers: what passes and what is refused before anything is written.
    void caselle_data() {
        QTest::addColumn<QString>("q");
        QTest::addColumn<QString>("pa");
        QTest::addColumn<bool>("paAttivo");
        QTest::addColumn<QString>("pv");
        QTest::addColumn<bool>("pvAttivo");
        QTest::addColumn<QString>("errore");  // part of the message, empty when accepted
        QTest::newRow("validi") << "3" << "2,5" << true << "10" << false << "";
        QTest::newRow("quantita zero") << "0" << "1" << true << "1" << false << "quantità";
        QTest::newRow("quantita vuota") << "" << "1" << true << "1" << false << "quantità";
        QTest::newRow("quantita decimale") << "1,5" << "1" << true << "1" << false << "quantità";
        QTest::newRow("quantita negativa") << "-2" << "1" << true << "1" << false << "quantità";
        QTest::newRow("due virgole") << "1" << "1,,2" << true << "1" << false << "Prezzo A.";
        QTest::newRow("prezzo vuoto") << "1" << "" << true << "1" << false << "Prezzo A.";
        QTest::newRow("punto incollato") << "1" << "1.234" << true << "1" << false << "Prezzo A.";
        QTest::newRow("lettere") << "1" << "abc" << true << "1" << false << "Prezzo A.";
        QTest::newRow("vendita disattivata con testo errato") << "1" << "1" << true << "1,2,3" << false << "Prezzo V.";
        QTest::newRow("vendita disattivata vuota") << "1" << "1" << true << "" << false << "";
        QTest::newRow("vendita attiva vuota") << "1" << "1" << false << "" << true << "Prezzo V.";
    }
    void caselle() {
        QFETCH(QString, q);
        QFETCH(QString, pa);
        QFETCH(bool, paAttivo);
        QFETCH(QString, pv);
        QFETCH(bool, pvAttivo);
        QFETCH(QString, errore);
        TDatiMovimento d;
        const QString m = ControllaCaselle(q, pa, paAttivo, pv, pvAttivo, &d);
        if (errore.isEmpty()) {
            QVERIFY2(m.isEmpty(), qPrintable(m));
        } else {
            QVERIFY2(m.contains(errore), qPrintable(m));
        }
        if (QTest::currentDataTag() == QByteArray("validi")) {
            QCOMPARE(d.quantita, 3);
            QCOMPARE(d.prezzoAcq, 2.5);
            QCOMPARE(d.prezzoVen, 10.0);
        }
    }

    // A code cut to its field's 40 characters ends on a whole character,
    // whatever its length in UTF-8, and the history row copies it exactly.
    void codiceTagliatoAlCarattere_data() {
        QTest::addColumn<QString>("lettera");
        QTest::newRow("1 byte: b") << QStringLiteral("b");
        QTest::newRow("2 byte: è") << QStringLiteral("è");
        QTest::newRow("3 byte: €") << QStringLiteral("€");
        QTest::newRow("4 byte: emoji") << QString::fromUtf8("\xF0\x9F\x98\x80");
    }
    void codiceTagliatoAlCarattere() {
        QFETCH(QString, lettera);
        const QString atteso = QString(39, QLatin1Char('a')) + lettera;
        ScriviProdotto({});
        {
            TTabella p(TArchivio::corrente(), QStringLiteral("prodotti.db"));
            p.apri();
            p.modifica();
            p.imposta(QStringLiteral("NOME"), atteso + lettera + QStringLiteral("z"));
            p.registra();
        }
        const QString prodotti = m_amb->file(QStringLiteral("prodotti.db"));
        const QString esadecimale = QString::fromLatin1(atteso.toUtf8().toHex().toUpper());
        QCOMPARE(Sqlite3(prodotti, QStringLiteral("select hex(NOME), length(NOME) from prodotti")),
                 esadecimale + QStringLiteral("|40"));
        Movimento(Azioni::Carico, 1, 2.0, 8.0);
        QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("storico.db")), QStringLiteral("select hex(NOME) from storico")), esadecimale);
    }

    // The history row of each kind: money fields are totals, blank where nothing applies.
    void rigaStorico_data() {
        QTest::addColumn<QString>("azione");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<int>("q");
        QTest::addColumn<double>("pa");
        QTest::addColumn<double>("pv");
        QTest::addColumn<QVariant>("prezzoAcq");
        QTest::addColumn<QVariant>("prezzo");
        QTest::addColumn<QVariant>("prezzoCar");
        QTest::addColumn<bool>("categoria");
        const QVariant vuoto;
        QTest::newRow("carico 3 a 2,5") << Azioni::Carico << -1 << 3 << 2.5 << 9.0 << QVariant(7.5) << vuoto << vuoto << true;
        QTest::newRow("scarico 2 a 10, acquisto 6") << Azioni::Scarico << -1 << 2 << 6.0 << 10.0 << vuoto << QVariant(20.0)
                                                    << QVariant(12.0) << true;
        QTest::newRow("aggiustamento rimanenze") << Azioni::Aggiustamento << 0 << 4 << 6.0 << 10.0 << QVariant(-24.0)
                                                 << vuoto << vuoto << false;
        QTest::newRow("aggiustamento vendite") << Azioni::Aggiustamento << 1 << 4 << 6.0 << 10.0 << QVariant(-24.0)
                                               << QVariant(-40.0) << vuoto << false;
        QTest::newRow("15 cifre: 3 x 0,1") << Azioni::Carico << -1 << 3 << 0.1 << 1.0 << QVariant(0.3) << vuoto << vuoto
                                          << true;
    }
    void rigaStorico() {
        QFETCH(QString, azione);
        QFETCH(int, tipo);
        QFETCH(int, q);
        QFETCH(double, pa);
        QFETCH(double, pv);
        QFETCH(QVariant, prezzoAcq);
        QFETCH(QVariant, prezzo);
        QFETCH(QVariant, prezzoCar);
        QFETCH(bool, categoria);
        TProdottoProva p;
        p.dataDistinta = QDate(2004, 2, 1);
        p.numDistinta = QStringLiteral("A12");
        ScriviProdotto(p);
        TDatiMovimento d;
        d.quantita = q;
        d.prezzoAcq = pa;
        d.prezzoVen = pv;
        d.tipoAggiustamento = tipo;
        RegistraStorico(azione, LeggiProdotto(1), d);
        const QString riga = Sqlite3(m_amb->file(QStringLiteral("storico.db")),
                                     QStringLiteral("select ID, AZIONE, IDPROD, NOME, DESCRIZIONE, QUANTITA, GIACENZAMAX, "
                                                    "DATAOGGI, DATADISTINTA, NUMDISTINTA, IDPRODUTTORE, IDCATEGORIA, "
                                                    "PREZZOACQ, PREZZO, PREZZOCAR from storico"));
        // sqlite3 prints reals with a decimal point: -24.0, 7.5.
        const auto testo = [](const QVariant& v) {
            if (v.isNull()) return QString();
            QString t = QString::number(v.toDouble());
            return t.contains(QLatin1Char('.')) ? t : t + QStringLiteral(".0");
        };
        QCOMPARE(riga, QStringLiteral("1|%1|1|P1|Primo prodotto|%2|30|2004-03-15|2004-02-01|A12||%3|%4|%5|%6")
                           .arg(azione, QString::number(q), categoria ? QStringLiteral("3") : QString(),
                                testo(prezzoAcq), testo(prezzo), testo(prezzoCar)));
    }

    // Each movement's history key is the largest key plus one, whatever
    // happened to the history before: emptied, its newest rows deleted
    // (their numbers are given again), rows deleted by period, edited by
    // hand with sqlite3 (a gap and a repeated key), or written by the
    // previous version without the key's index (rebuilt at start-up with
    // every row). Two loads follow; each key is new and appears once.
    void chiaveStorico_data() {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<int>("primo");  // key of the first of the two loads
        QTest::newRow("storico vuoto") << "vuoto" << 1;
        QTest::newRow("cancellate le ultime righe") << "ultime" << 4;
        QTest::newRow("cancellate per periodo le più recenti") << "periodoRecenti" << 4;
        QTest::newRow("cancellate per periodo le più vecchie") << "periodoVecchie" << 7;
        QTest::newRow("modificato a mano: buco e doppione") << "aMano" << 13;
        QTest::newRow("scritto dalla versione precedente") << "precedente" << 11;
    }
    void chiaveStorico() {
        QFETCH(QString, caso);
        QFETCH(int, primo);
        ScriviProdotto({});
        TArchivio& a = TArchivio::corrente();
        const QString file = m_amb->file(Definizioni::Storico);
        const QString S = a.nomeQualificato(Definizioni::Storico);
        // Six rows, one a month from January 2004.
        const auto seiRighe = [&] {
            for (int i = 1; i <= 6; ++i)
                a.esegui(QStringLiteral("insert into %1 (ID, AZIONE, DATAOGGI) values (?, 'CARICO', ?)").arg(S),
                         {i, QDate(2004, i, 1).toString(Qt::ISODate)});
        };
        if (caso == QLatin1String("ultime")) {
            seiRighe();
            a.esegui(QStringLiteral("delete from %1 where ID >= 4").arg(S));
        } else if (caso == QLatin1String("periodoRecenti")) {
            seiRighe();
            CancellaStoricoPeriodo(QDate(2004, 4, 1), QDate(2004, 6, 30));
        } else if (caso == QLatin1String("periodoVecchie")) {
            seiRighe();
            CancellaStoricoPeriodo(QDate(2004, 1, 1), QDate(2004, 3, 31));
        } else if (caso == QLatin1String("aMano")) {
            a.scollegaTutte();
            Sqlite3(file, QStringLiteral("insert into storico (ID, AZIONE) values (1, 'CARICO'), (2, 'CARICO'), "
                                         "(12, 'SCARICO'), (12, 'SCARICO'), (5, 'CARICO');"));
            QCOMPARE(Sqlite3(file, QStringLiteral("select count(*) from storico")), QStringLiteral("5"));
        } else if (caso == QLatin1String("precedente")) {
            // The previous version's history: the same fields, no index.
            a.eliminaTabella(Definizioni::Storico);
            TStrutturaTabella vecchia = Definizioni::Definizione(Definizioni::Storico).struttura;
            vecchia.indici.clear();
            a.creaTabella(Definizioni::Storico, vecchia);
            a.esegui(QStringLiteral("insert into %1 (ID, AZIONE) values (3, 'CARICO'), (1, 'CARICO'), (10, 'SCARICO'), "
                                    "(3, 'CARICO')").arg(S));
            m_amb->riapriArchivio();
            CreaTabelle();
            QCOMPARE(Sqlite3(file, QStringLiteral("select group_concat(name) from pragma_index_list('storico')")),
                     QStringLiteral("ID"));
            QCOMPARE(Sqlite3(file, QStringLiteral("select group_concat(ID) from (select ID from storico order by rowid)")),
                     QStringLiteral("3,1,10,3"));
        }
        QCOMPARE(NuovoIdStorico(), primo - 1);
        TDatiMovimento d;
        d.quantita = 1;
        EseguiMovimento(Azioni::Carico, 1, d, {});
        EseguiMovimento(Azioni::Scarico, 1, d, {});
        QCOMPARE(Sqlite3(file, QStringLiteral("select group_concat(ID || ':' || AZIONE) from storico where ID >= %1")
                                   .arg(primo)),
                 QStringLiteral("%1:CARICO,%2:SCARICO").arg(primo).arg(primo + 1));
        // The largest key is read from the index, not from the rows.
        QVERIFY2(Sqlite3(file, QStringLiteral("explain query plan select max(ID) from storico")).contains(QStringLiteral("INDEX ID")),
                 qPrintable(Sqlite3(file, QStringLiteral("explain query plan select max(ID) from storico"))));
    }

    // Two movements inside one outer transaction: the second sees the first
    // one's key, and both go when the outer transaction is rolled back.
    void dueMovimentiAnnullatiInsieme() {
        ScriviProdotto({});
        TArchivio& a = TArchivio::corrente();
        a.esegui(QStringLiteral("insert into %1 (ID, AZIONE) values (7, 'CARICO')").arg(a.nomeQualificato(Definizioni::Storico)));
        const QString storicoPrima = Sqlite3(m_amb->file(Definizioni::Storico), QStringLiteral("select * from storico"));
        const QString prodottiPrima = Sqlite3(m_amb->file(Definizioni::Prodotti), QStringLiteral("select * from prodotti"));
        TDatiMovimento d;
        d.quantita = 2;
        {
            TTransazione t(a);
            EseguiMovimento(Azioni::Carico, 1, d, {});
            EseguiMovimento(Azioni::Carico, 1, d, {});
            QCOMPARE(a.valoreSingolo(QStringLiteral("select group_concat(ID) from %1").arg(a.nomeQualificato(Definizioni::Storico)))
                         .toString(),
                     QStringLiteral("7,8,9"));
            QCOMPARE(LeggiProdotto(1).intero(Prodotti::Carichi), 14);
        }
        a.scollegaTutte();
        QCOMPARE(Sqlite3(m_amb->file(Definizioni::Storico), QStringLiteral("select * from storico")), storicoPrima);
        QCOMPARE(Sqlite3(m_amb->file(Definizioni::Prodotti), QStringLiteral("select * from prodotti")), prodottiPrima);
    }

    // Loads, unloads and adjustments on the product of the examples (10/4/6, 50/30).
    void aritmetica_data() {
        QTest::addColumn<QString>("azione");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<int>("q");
        QTest::addColumn<double>("pa");
        QTest::addColumn<double>("pv");
        QTest::addColumn<QList<double>>("atteso");  // CARICHI SCARICHI QUANTITA TOTALEACQUISTI TOTALEVENDITE
        QTest::newRow("carico 5 a 2") << Azioni::Carico << -1 << 5 << 2.0 << 8.0 << QList<double>{15, 4, 11, 60, 30};
        QTest::newRow("scarico 2 a 8") << Azioni::Scarico << -1 << 2 << 3.0 << 8.0 << QList<double>{10, 6, 4, 50, 46};
        QTest::newRow("scarico oltre il saldo") << Azioni::Scarico << -1 << 8 << 3.0 << 1.0
                                                << QList<double>{10, 12, -2, 50, 38};
        QTest::newRow("rimanenze 2 a 5") << Azioni::Aggiustamento << 0 << 2 << 5.0 << 8.0
                                         << QList<double>{8, 4, 4, 40, 30};
        QTest::newRow("vendite 1 a 5 / 8") << Azioni::Aggiustamento << 1 << 1 << 5.0 << 8.0
                                           << QList<double>{9, 3, 6, 45, 22};
    }
    void aritmetica() {
        QFETCH(QString, azione);
        QFETCH(int, tipo);
        QFETCH(int, q);
        QFETCH(double, pa);
        QFETCH(double, pv);
        QFETCH(QList<double>, atteso);
        ScriviProdotto({});
        Movimento(azione, q, pa, pv, tipo);
        QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")),
                         QStringLiteral("select CARICHI, SCARICHI, QUANTITA, TOTALEACQUISTI, TOTALEVENDITE from prodotti")),
                 QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(atteso[0])
                     .arg(atteso[1])
                     .arg(atteso[2])
                     .arg(QString::number(atteso[3], 'f', 1), QString::number(atteso[4], 'f', 1)));
        QCOMPARE(ContaStorico(), 1);
    }

    // Price overwrite and entry date; an adjustment without history writes only the product.
    void opzioni() {
        TProdottoProva p;
        p.quantita = 0;
        ScriviProdotto(p);
        TOpzioniMovimento o;
        o.aggiornaDataIngresso = true;
        o.sovrascriviPrezzi = true;
        Movimento(Azioni::Carico, 1, 2.5, 8, -1, o);
        TRecord r = LeggiProdotto(1);
        QCOMPARE(r.reale(QStringLiteral("PREZZO")), 2.5);
        QCOMPARE(r.reale(QStringLiteral("PREZZO2")), 8.0);
        QCOMPARE(r.data(QStringLiteral("DATAOGGI")), QDate(2004, 3, 15));
        Movimento(Azioni::Carico, 1, 3, 9, -1, {});
        r = LeggiProdotto(1);
        QCOMPARE(r.reale(QStringLiteral("PREZZO")), 2.5);
        QCOMPARE(r.reale(QStringLiteral("PREZZO2")), 8.0);
        TOpzioniMovimento senzaStorico;
        senzaStorico.registraStorico = false;
        Movimento(Azioni::Aggiustamento, 1, 1, 1, AggiustaRimanenze, senzaStorico);
        QCOMPARE(ContaStorico(), 2);
        QCOMPARE(LeggiProdotto(1).intero(QStringLiteral("CARICHI")), 11);
    }

    void limitiAggiustamento() {
        TProdottoProva p;
        ScriviProdotto(p);
        const TRecord r = LeggiProdotto(1);
        QVERIFY(ControllaLimiteAggiustamento(r, AggiustaRimanenze, 7).endsWith(QStringLiteral("magazzino (6)!")));
        QVERIFY(ControllaLimiteAggiustamento(r, AggiustaRimanenze, 6).isEmpty());
        QCOMPARE(ControllaLimiteAggiustamento(r, AggiustaVendite, 5),
                 QStringLiteral("La quantità da aggiustare non può essere superiore alla quantità effettivamente "
                                "scaricata in magazzino (4)!"));
        QVERIFY(ControllaLimiteAggiustamento(r, AggiustaVendite, 4).isEmpty());
    }

    void totaliEMargine_data() {
        QTest::addColumn<int>("quantita");
        QTest::addColumn<double>("prezzo");
        QTest::addColumn<double>("prezzo2");
        QTest::addColumn<double>("totAcq");
        QTest::addColumn<double>("totVen");
        QTest::addColumn<double>("rimanenza");
        QTest::addColumn<double>("differenza");
        QTest::addColumn<bool>("verde");
        QTest::addColumn<QString>("margine");
        QTest::newRow("differenza 0,5") << 0 << 2.0 << 3.0 << 10.0 << 10.5 << 0.0 << 0.5 << false << "50";
        QTest::newRow("differenza 1") << 1 << 2.0 << 2.0 << 10.0 << 9.0 << 2.0 << 1.0 << true << "0";
        QTest::newRow("differenza -3") << 1 << 2.0 << 1.0 << 10.0 << 5.0 << 2.0 << -3.0 << false << "-50";
        QTest::newRow("saldo negativo") << -2 << 3.0 << 6.0 << 0.0 << 0.0 << 0.0 << 0.0 << false << "100";
        QTest::newRow("senza prezzo di acquisto") << 1 << 0.0 << 6.0 << 0.0 << 0.0 << 0.0 << 0.0 << false << "N.D.";
    }
    void totaliEMargine() {
        QFETCH(int, quantita);
        QFETCH(double, prezzo);
        QFETCH(double, prezzo2);
        QFETCH(double, totAcq);
        QFETCH(double, totVen);
        QFETCH(double, rimanenza);
        QFETCH(double, differenza);
        QFETCH(bool, verde);
        QFETCH(QString, margine);
        TProdottoProva p;
        p.quantita = quantita;
        p.prezzo = prezzo;
        p.prezzo2 = prezzo2;
        p.totAcq = totAcq;
        p.totVen = totVen;
        ScriviProdotto(p);
        const TRecord r = LeggiProdotto(1);
        const TTotaliProdotto t = CalcolaTotali(r);
        QCOMPARE(t.rimanenza, rimanenza);
        QCOMPARE(t.differenza, differenza);
        QCOMPARE(t.positiva(), verde);
        QCOMPARE(CalcolaMargine(r), margine);
    }

    // A history row stays readable after its product is deleted.
    void storicoDopoEliminazione() {
        ScriviProdotto({});
        Movimento(Azioni::Scarico, 6, 2, 8);
        EliminaProdotto(1);
        QVERIFY(LeggiProdotto(1).campi().isEmpty());
        QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("storico.db")), QStringLiteral("select NOME, DESCRIZIONE from storico")),
                 QStringLiteral("P1|Primo prodotto"));
    }

    // A table held by another process, or a damaged history file: the history
    // error, and both tables exactly as they were.
    void tabellaBloccataODanneggiata_data() {
        QTest::addColumn<QString>("caso");
        QTest::newRow("storico bloccato") << "storico.db";
        QTest::newRow("prodotti bloccato") << "prodotti.db";
        QTest::newRow("storico danneggiato") << "danneggiato";
    }
    void tabellaBloccataODanneggiata() {
        QFETCH(QString, caso);
        ScriviProdotto({});
        Movimento(Azioni::Carico, 1, 2, 8);
        const QString storicoPrima = Sqlite3(m_amb->file(QStringLiteral("storico.db")), QStringLiteral("select * from storico"));
        const QString prodottiPrima = Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral("select * from prodotti"));
        sqlite3* altro = nullptr;
        if (caso == QLatin1String("danneggiato")) {
            TArchivio::chiudiCorrente();
            QFile f(m_amb->file(QStringLiteral("storico.db")));
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(0);
            f.write(QByteArray(100, 'x'));
            f.close();
            TArchivio::apriCorrente(m_amb->cartella());
        } else {
            QCOMPARE(sqlite3_open(QFile::encodeName(m_amb->file(caso)).constData(), &altro), SQLITE_OK);
            QCOMPARE(sqlite3_exec(altro, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        bool errore = false;
        try {
            Movimento(Azioni::Carico, 5, 2, 8);
        } catch (const ErroreStorico& e) {
            errore = true;
            QCOMPARE(e.testo(), MsgErroreStorico);
        }
        QVERIFY(errore);
        if (altro) {
            sqlite3_exec(altro, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(altro);
            QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("storico.db")), QStringLiteral("select * from storico")), storicoPrima);
        }
        QCOMPARE(Sqlite3(m_amb->file(QStringLiteral("prodotti.db")), QStringLiteral("select * from prodotti")), prodottiPrima);
        QVERIFY(!TArchivio::corrente().inTransazione());
    }

    // A process killed at each write of a load, an unload and an adjustment:
    // after every kill the history and the product agree, the whole movement
    // or none of it.
    void processoUccisoAOgniScrittura() {
        ScriviProdotto({});
        const QString cartella = m_amb->cartella();
        TArchivio::chiudiCorrente();
        const auto figlio = [&](long limite, QString* uscita) {
            QProcess p;
            p.setProgram(QCoreApplication::applicationFilePath());
            p.setArguments({QStringLiteral("--figlio"), cartella, QString::number(limite)});
            p.start();
            if (!p.waitForFinished(30000)) return false;
            if (uscita) *uscita = QString::fromUtf8(p.readAllStandardOutput());
            return p.exitStatus() == QProcess::CrashExit;
        };
        // A first run counts the write points of the three movements, on a copy.
        const QString copia = cartella + QStringLiteral("copia/");
        QDir().mkpath(copia);
        for (const QString& f : QDir(cartella).entryList({QStringLiteral("*.db")}, QDir::Files))
            QFile::copy(cartella + f, copia + f);
        {
            QProcess p;
            p.setProgram(QCoreApplication::applicationFilePath());
            p.setArguments({QStringLiteral("--figlio"), copia, QStringLiteral("0")});
            p.start();
            QVERIFY(p.waitForFinished(30000));
            const QString out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
            QVERIFY2(out.startsWith(QStringLiteral("PUNTI ")), qPrintable(out));
            m_puntiTotali = out.mid(6).toLong();
        }
        QVERIFY2(m_puntiTotali >= 15, qPrintable(QString::number(m_puntiTotali)));

        // About thirty kills spread over every write of the three movements.
        const long passo = std::max(1L, m_puntiTotali / 30);
        int conteggi[4] = {0, 0, 0, 0};
        int uccisi = 0;
        for (long n = 1; n <= m_puntiTotali; n += passo) {
            // Each kill starts again from the product before the movements.
            TArchivio::apriCorrente(cartella);
            TArchivio& a = TArchivio::corrente();
            a.esegui(QStringLiteral("delete from %1").arg(a.nomeQualificato(QStringLiteral("storico"))));
            a.esegui(QStringLiteral("delete from %1").arg(a.nomeQualificato(QStringLiteral("prodotti"))));
            ScriviProdotto({});
            TArchivio::chiudiCorrente();

            // A run that ends before its n-th write has done all three movements.
            const bool ucciso = figlio(n, nullptr);
            if (ucciso) ++uccisi;

            TArchivio::apriCorrente(cartella);
            const QVector<TRecord> righe = RigheStorico();
            const TRecord p = LeggiProdotto(1);
            const int k = static_cast<int>(righe.size());
            QVERIFY2(k <= 3 && (ucciso || k == 3), qPrintable(QString::number(k)));
            const TStato& s = StatiAttesi[k];
            const QString stato = QStringLiteral("%1/%2/%3 %4/%5")
                                      .arg(p.intero(QStringLiteral("CARICHI")))
                                      .arg(p.intero(QStringLiteral("SCARICHI")))
                                      .arg(p.intero(QStringLiteral("QUANTITA")))
                                      .arg(p.reale(QStringLiteral("TOTALEACQUISTI")))
                                      .arg(p.reale(QStringLiteral("TOTALEVENDITE")));
            const QString atteso = QStringLiteral("%1/%2/%3 %4/%5")
                                       .arg(s.carichi)
                                       .arg(s.scarichi)
                                       .arg(s.quantita)
                                       .arg(s.totAcq)
                                       .arg(s.totVen);
            QVERIFY2(stato == atteso, qPrintable(QStringLiteral("punto %1: %2 righe di storico, prodotto %3 invece di %4")
                                                     .arg(n)
                                                     .arg(k)
                                                     .arg(stato, atteso)));
            const QStringList azioni = {Azioni::Carico, Azioni::Scarico, Azioni::Aggiustamento};
            for (int i = 0; i < k; ++i) QCOMPARE(righe[i].testo(QStringLiteral("AZIONE")), azioni[i]);
            ++conteggi[k];
            TArchivio::chiudiCorrente();
        }
        // The kills fell inside each of the three movements, not only between them.
        QVERIFY(uccisi >= 25 || uccisi >= m_puntiTotali - 2);
        QVERIFY(conteggi[0] > 0 && conteggi[1] > 0 && conteggi[2] > 0);
        qInfo("punti di scrittura: %ld; processi uccisi: %d; stati dopo l'uccisione: 0=%d 1=%d 2=%d 3=%d",
              m_puntiTotali, uccisi, conteggi[0], conteggi[1], conteggi[2], conteggi[3]);
        TArchivio::apriCorrente(cartella);
    }

private:
    long m_puntiTotali = 0;
};

int main(int argc, char** argv) {
    if (argc >= 4 && qstrcmp(argv[1], "--figlio") == 0) return Figlio(argc, argv);
    QApplication app(argc, argv);
    TestMovimenti t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_movimenti.moc"
