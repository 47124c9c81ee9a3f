// The update-check window against a local HTTP server on 127.0.0.1: the
// results it shows for each kind of page, the request it makes, the one
// question per opening, a second check, closing during the wait, the menu.

#include "AmbienteTest.h"

#include "app/Applicazione.h"
#include "data/Costanti.h"
#include "app/Main.h"
#include "online/ControllaVersione.h"
#include "ui_ControllaVersione.h"
#include "ui_Main.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

const QString Domanda =
    QStringLiteral("Per eseguire il controllo di evetuali nuove versioni bisogna essere connessi ad internet, continuo?");
const QString PercorsoAtteso = QStringLiteral("/index.php?show=ctrlvers&prg=Vovuru_Dazadaz");

// How the server answers.
enum TModo { Risponde, Tace, SenzaLunghezza };

struct TRispostaProva {
    QByteArray stato = "200 OK";
    QByteArray corpo;
    QByteArray tipo = "text/html";
    TModo modo = Risponde;
    QByteArray posizione;  // the Location header of a redirect
};

// A small HTTP server on 127.0.0.1, any free port, serving the answers in
// order (the last one again when they run out) and recording each request
// target. It stops when it is destroyed.
class TServerProva : public QObject {
    Q_OBJECT
public:
    explicit TServerProva(QList<TRispostaProva> risposte) : m_risposte(std::move(risposte)) {
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                auto* ricevuto = new QByteArray;
                connect(s, &QObject::destroyed, [ricevuto] { delete ricevuto; });
                connect(s, &QTcpSocket::readyRead, this, [this, s, ricevuto] {
                    *ricevuto += s->readAll();
                    if (!ricevuto->contains("\r\n\r\n") || ricevuto->isEmpty()) return;
                    const QList<QByteArray> riga = ricevuto->left(ricevuto->indexOf("\r\n")).split(' ');
                    ricevuto->clear();
                    richieste << QString::fromLatin1(riga.value(0) + ' ' + riga.value(1));
                    emit richiestaRicevuta();
                    Rispondi(s, m_risposte.value(qMin(richieste.size(), m_risposte.size()) - 1));
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString sito() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }
    void impostaRisposte(QList<TRispostaProva> risposte) { m_risposte = std::move(risposte); }
    QStringList richieste;  // "GET /path?query"

signals:
    void richiestaRicevuta();

private:
    static void Rispondi(QTcpSocket* s, const TRispostaProva& r) {
        if (r.modo == Tace) return;
        QByteArray testa = "HTTP/1.1 " + r.stato + "\r\nContent-Type: " + r.tipo + "\r\nConnection: close\r\n";
        if (!r.posizione.isEmpty()) testa += "Location: " + r.posizione + "\r\n";
        if (r.modo == Risponde) testa += "Content-Length: " + QByteArray::number(r.corpo.size()) + "\r\n";
        s->write(testa + "\r\n" + r.corpo);
        s->disconnectFromHost();
    }
    QTcpServer m_server;
    QList<TRispostaProva> m_risposte;
};

QByteArray Pagina(const QByteArray& corpo) {
    return "<html><head><title>Vavori</title></head><body><p>" + corpo + "</p></body></html>";
}

QColor ColoreGrande(TFrmControllaVersione& f) {
    return f.ui()->LabMessaggioGrande->palette().color(QPalette::WindowText);
}

bool RisultatoMostrato(TFrmControllaVersione& f) {
    const QString t = f.ui()->LabMessaggioGrande->text();
    return f.ui()->sbControlla->isEnabled() &&
           (t == QLatin1String("Disponibile una nuove versione!!") || t == QLatin1String("Nessuna nuova versione disponibile."));
}

// A port on which nothing listens.
quint16 PortaChiusa() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    const quint16 p = s.serverPort();
    s.close();
    return p;
}

}  // namespace

Q_DECLARE_METATYPE(TRispostaProva)

class TestControllaVersione : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void aspetto();
    void controllo_data();
    void controllo();
    void portaRifiutata();
    void rinvii_data();
    void rinvii();
    void rispostaNo();
    void unaDomandaPerApertura();
    void secondoControllo();
    void chiusuraDuranteAttesa();
    void menu();
};

void TestControllaVersione::aspetto() {
    TFrmControllaVersione f(nullptr, "http://127.0.0.1:1/");
    QCOMPARE(f.windowTitle(), QStringLiteral("Controllo eventuali aggiornamenti disponibili"));
    QCOMPARE(f.ui()->Label1->text(), QStringLiteral("Versione attuale"));
    QCOMPARE(f.ui()->Label2->text(), QStringLiteral("Versione disponibile su internet"));
    QVERIFY(f.ui()->Label1->font().bold() && f.ui()->Label2->font().bold());
    QCOMPARE(f.ui()->LabMessaggioGrande->text(), QStringLiteral("Controllo versione in corso..."));
    QVERIFY(f.ui()->LabMessaggioGrande->font().bold());
    QCOMPARE(f.ui()->sbControlla->text(), QStringLiteral("Controlla"));
    QCOMPARE(f.ui()->sbControlla->toolTip(), QStringLiteral("Controlla versione"));
    QCOMPARE(f.ui()->sbScarica->text(), QStringLiteral("Scarica"));
    QVERIFY(!f.ui()->sbScarica->isEnabled());
    QCOMPARE(f.ui()->sbScarica->toolTip(), QStringLiteral("http://127.0.0.1:1/prg/rudeve.exe"));
    QCOMPARE(f.ui()->Editurl->text(), QStringLiteral("http://127.0.0.1:1/prg/rudeve.exe"));
    QCOMPARE(f.ui()->sbEsci->toolTip(), QStringLiteral("Esci senza salvare le modifiche"));
    QCOMPARE(f.ui()->ListURL->toolTip(), QStringLiteral("Lista URL..."));
    QCOMPARE(f.IndirizzoControllo(), QStringLiteral("http://127.0.0.1:1") + PercorsoAtteso);
    // The real program asks the maker's example site.
    TFrmControllaVersione reale;
    QCOMPARE(QUrl(reale.IndirizzoControllo()).host(), QUrl(Costanti::SitoProduttore).host());
    QVERIFY(QUrl(Costanti::SitoProduttore).host().endsWith(QLatin1String(".example.com")));
    // The page text is never read as rich text.
    QCOMPARE(f.ui()->LabVerInternet->textFormat(), Qt::PlainText);
    QCOMPARE(f.ui()->LabMessaggioGrande->textFormat(), Qt::PlainText);
}

void TestControllaVersione::controllo_data() {
    QTest::addColumn<TRispostaProva>("risposta");
    QTest::addColumn<QString>("internet");  // LabVerInternet
    QTest::addColumn<bool>("nuova");
    QTest::addColumn<QString>("piccolo");
    const QString nessunaPiccolo = QStringLiteral("Impossibile scaricare la nuova versione.");
    const QString nonCaricata = QStringLiteral("Impossibile scaricare la nuova versione");
    QTest::newRow("41: nuova versione") << TRispostaProva{"200 OK", Pagina("Versione disponibile - 41")} << "41" << true
                                        << "Premi su scarica e chiudi il programma.";
    QTest::newRow("40: la stessa") << TRispostaProva{"200 OK", Pagina("Versione disponibile - 40")} << "40" << false
                                   << nessunaPiccolo;
    QTest::newRow("39: più vecchia") << TRispostaProva{"200 OK", Pagina("Versione disponibile - 39")} << "39" << false
                                     << nessunaPiccolo;
    QTest::newRow("100: confronto fra interi") << TRispostaProva{"200 OK", Pagina("Versione disponibile - 100")}
                                               << "100" << true << "Premi su scarica e chiudi il programma.";
    QTest::newRow("-5: conta 0, non mostrata") << TRispostaProva{"200 OK", Pagina("Versione - -5")} << "" << false
                                               << nessunaPiccolo;
    QTest::newRow("Versione senza trattino") << TRispostaProva{"200 OK", Pagina("Versione 41")} << "-1" << false
                                             << nessunaPiccolo;
    QTest::newRow("trattino senza minore") << TRispostaProva{"200 OK", "Versione - 41", "text/plain"} << "-1" << false
                                           << nessunaPiccolo;
    QTest::newRow("numero nella head e un altro nel corpo")
        << TRispostaProva{"200 OK", "<html><head><title>Versione - 99</title></head><body>Versione - 39</body></html>"}
        << "39" << false << nessunaPiccolo;
    QTest::newRow("204 senza contenuto") << TRispostaProva{"204 No Content", ""} << "-1" << false << nessunaPiccolo;
    QTest::newRow("404 con un numero") << TRispostaProva{"404 Not Found", Pagina("Versione - 41")} << "Non disponibile"
                                       << false << nonCaricata;
    QTest::newRow("500 con un numero") << TRispostaProva{"500 Internal Server Error", Pagina("Versione - 41")}
                                       << "Non disponibile" << false << nonCaricata;
    QTest::newRow("tempo scaduto") << TRispostaProva{"200 OK", "", "text/html", Tace} << "Non disponibile" << false
                                   << nonCaricata;
    QByteArray spazzatura;
    for (int i = 0; i < 4096; ++i) spazzatura += char((i * 7919 + 13) % 256);
    QTest::newRow("spazzatura binaria") << TRispostaProva{"200 OK", spazzatura, "application/octet-stream"} << "-1"
                                        << false << nessunaPiccolo;
    const QByteArray grande = Pagina("Versione - 41" + QByteArray(TFrmControllaVersione::DimensioneMassima, ' '));
    QTest::newRow("oltre il limite, lunghezza dichiarata")
        << TRispostaProva{"200 OK", grande} << "Non disponibile" << false << nonCaricata;
    QTest::newRow("oltre il limite, lunghezza non dichiarata")
        << TRispostaProva{"200 OK", grande, "text/html", SenzaLunghezza} << "Non disponibile" << false << nonCaricata;
    QTest::newRow("al limite, lunghezza non dichiarata")
        << TRispostaProva{"200 OK", "Versione - 41<" + QByteArray(TFrmControllaVersione::DimensioneMassima - 14, ' '),
                          "text/plain", SenzaLunghezza}
        << "41" << true << "Premi su scarica e chiudi il programma.";
}

void TestControllaVersione::controllo() {
    QFETCH(TRispostaProva, risposta);
    QFETCH(QString, internet);
    QFETCH(bool, nuova);
    QFETCH(QString, piccolo);
    TServerProva server({risposta});
    TFrmControllaVersione f(nullptr, server.sito());
    f.ImpostaLimiteAttesa(400);
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, Domanda, true);
    EseguiModale(&f, [&] {
        QTRY_VERIFY_WITH_TIMEOUT(RisultatoMostrato(f), 10000);
        QCOMPARE(f.ui()->LabVerAttuale->text(), QStringLiteral("40"));
        QCOMPARE(f.ui()->LabVerInternet->text(), internet);
        QCOMPARE(f.ui()->LabMessaggioPiccolo->text(), piccolo);
        QCOMPARE(f.ui()->sbScarica->isEnabled(), nuova);
        if (nuova) {
            QCOMPARE(f.ui()->LabMessaggioGrande->text(), QStringLiteral("Disponibile una nuove versione!!"));
            QCOMPARE(ColoreGrande(f), QColor(0, 128, 0));
            QTest::mouseClick(f.ui()->sbScarica, Qt::LeftButton);
            QVERIFY(!f.ui()->sbScarica->isEnabled());
            QCOMPARE(m_amb->risposte.urlAperti, QVector<QUrl>({QUrl(server.sito() + "prg/rudeve.exe")}));
        } else {
            QCOMPARE(f.ui()->LabMessaggioGrande->text(), QStringLiteral("Nessuna nuova versione disponibile."));
            QCOMPARE(ColoreGrande(f), QColor(255, 0, 0));
            QVERIFY(m_amb->risposte.urlAperti.isEmpty());
        }
    });
    // One request, for the check page with the title's capitals.
    QCOMPARE(server.richieste, QStringList{QStringLiteral("GET ") + PercorsoAtteso});
}

void TestControllaVersione::portaRifiutata() {
    TFrmControllaVersione f(nullptr, QStringLiteral("http://127.0.0.1:%1/").arg(PortaChiusa()));
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, Domanda, true);
    EseguiModale(&f, [&] {
        QTRY_VERIFY_WITH_TIMEOUT(RisultatoMostrato(f), 10000);
        QCOMPARE(f.ui()->LabVerInternet->text(), QStringLiteral("Non disponibile"));
        QCOMPARE(f.ui()->LabMessaggioPiccolo->text(), QStringLiteral("Impossibile scaricare la nuova versione"));
        QVERIFY(!f.ui()->sbScarica->isEnabled());
    });
}

// Redirects. The maker's site is the scheme, host and port of the address
// the window is given: here http://127.0.0.1 on the test server's port. A
// second server on another port of 127.0.0.1 stands for another site (another
// origin): a redirect there, a fourth redirect in a row and a redirect loop
// all end as a page that could not be loaded, and the requests the servers
// received are counted.
void TestControllaVersione::rinvii_data() {
    QTest::addColumn<QStringList>("percorsi");  // where each answer of the maker's server sends the next request
    QTest::addColumn<bool>("altroSito");        // the last redirect points to the other server
    QTest::addColumn<QString>("internet");
    QTest::addColumn<int>("richieste");         // received by the maker's server
    QTest::newRow("tre rinvii nello stesso sito") << QStringList{"/a", "b", "/c?x=1"} << false << "41" << 4;
    QTest::newRow("quarto rinvio rifiutato") << QStringList{"/a", "/b", "/c", "/d"} << false << "Non disponibile" << 4;
    QTest::newRow("rinvio circolare") << QStringList{"*"} << false << "Non disponibile" << 4;
    QTest::newRow("rinvio a un altro sito") << QStringList{"/a", "/altro"} << true << "Non disponibile" << 2;
}

void TestControllaVersione::rinvii() {
    QFETCH(QStringList, percorsi);
    QFETCH(bool, altroSito);
    QFETCH(QString, internet);
    QFETCH(int, richieste);
    TServerProva server({});
    TServerProva altro({{"200 OK", Pagina("Versione disponibile - 41")}});
    QList<TRispostaProva> risposte;
    const auto rinvio = [](const QByteArray& dove) { return TRispostaProva{"302 Found", "", "text/html", Risponde, dove}; };
    if (percorsi == QStringList{"*"}) {
        risposte << rinvio(PercorsoAtteso.toUtf8());  // the same page, forever
    } else {
        for (const QString& p : percorsi) risposte << rinvio(p.toUtf8());
        if (altroSito) risposte.last().posizione = (altro.sito() + QStringLiteral("versione")).toUtf8();
        risposte << TRispostaProva{"200 OK", Pagina("Versione disponibile - 41")};
    }
    server.impostaRisposte(risposte);
    TFrmControllaVersione f(nullptr, server.sito());
    f.ImpostaLimiteAttesa(2000);
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, Domanda, true);
    EseguiModale(&f, [&] {
        QTRY_VERIFY_WITH_TIMEOUT(RisultatoMostrato(f), 10000);
        QTest::qWait(200);  // a request made after the result would still be counted
        QCOMPARE(f.ui()->LabVerInternet->text(), internet);
        const bool nuova = internet == QLatin1String("41");
        QCOMPARE(f.ui()->sbScarica->isEnabled(), nuova);
        if (!nuova)
            QCOMPARE(f.ui()->LabMessaggioPiccolo->text(), QStringLiteral("Impossibile scaricare la nuova versione"));
    });
    QVERIFY2(server.richieste.size() == richieste, qPrintable(server.richieste.join(QStringLiteral(", "))));
    QCOMPARE(altro.richieste.size(), 0);
    if (internet == QLatin1String("41"))
        QCOMPARE(server.richieste, (QStringList{QStringLiteral("GET ") + PercorsoAtteso, "GET /a", "GET /b", "GET /c?x=1"}));
}

void TestControllaVersione::rispostaNo() {
    TServerProva server({{"200 OK", Pagina("Versione - 41")}});
    TFrmControllaVersione f(nullptr, server.sito());
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, Domanda, false);
    EseguiModale(&f, [&] {
        QTRY_COMPARE(m_amb->risposte.mostrati.size(), 1);
        QTest::qWait(200);
        QVERIFY(f.ui()->LabMessaggioGrande->text().isEmpty());
        QCOMPARE(f.ui()->LabVerAttuale->text(), QStringLiteral("40"));
        QVERIFY(f.ui()->LabVerInternet->text().isEmpty());
        QCOMPARE(ColoreGrande(f), QColor(Qt::black));
        QVERIFY(f.ui()->sbControlla->isEnabled());
        QVERIFY(!f.ui()->sbScarica->isEnabled());
    });
    QVERIFY(server.richieste.isEmpty());
    QVERIFY(f.TestiPagine().isEmpty());
}

void TestControllaVersione::unaDomandaPerApertura() {
    TServerProva server({{"200 OK", Pagina("Versione - 41")}});
    TFrmControllaVersione f(nullptr, server.sito());
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, Domanda, true);
    EseguiModale(&f, [&] {
        QTRY_VERIFY_WITH_TIMEOUT(RisultatoMostrato(f), 10000);
        // A box that closes gives the activation back to the window.
        QDialog altra(&f);
        QTimer::singleShot(50, &altra, &QDialog::accept);
        altra.exec();
        QEvent attiva(QEvent::WindowActivate);
        QApplication::sendEvent(&f, &attiva);
        QTest::qWait(200);
    });
    QCOMPARE(m_amb->risposte.mostrati.size(), 1);
    QCOMPARE(server.richieste.size(), 1);
}

void TestControllaVersione::secondoControllo() {
    // The second check appends its page; the first extracted value stays the one used.
    TServerProva server({{"200 OK", Pagina("Versione - 41")}, {"200 OK", Pagina("Versione - 39")}});
    TFrmControllaVersione f(nullptr, server.sito());
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, Domanda, true);
    EseguiModale(&f, [&] {
        QTRY_VERIFY_WITH_TIMEOUT(RisultatoMostrato(f), 10000);
        QCOMPARE(f.ui()->LabVerInternet->text(), QStringLiteral("41"));
        QTest::mouseClick(f.ui()->sbControlla, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(RisultatoMostrato(f), 10000);
        QCOMPARE(server.richieste.size(), 2);
        QCOMPARE(f.TestiPagine().size(), 2);
        QVERIFY(f.TestiPagine()[1].contains(QLatin1String("Versione - 39")));
        QCOMPARE(f.ui()->ListURL->count(), 3);  // 41 and 39 from the two pages, after 41 of the first check
        QCOMPARE(f.ui()->ListURL->item(0)->text(), QStringLiteral(" 41"));
        QCOMPARE(f.ui()->LabVerInternet->text(), QStringLiteral("41"));
        QCOMPARE(f.ui()->LabMessaggioGrande->text(), QStringLiteral("Disponibile una nuove versione!!"));
    });
}

void TestControllaVersione::chiusuraDuranteAttesa() {
    // A server that never answers, the full 15 s limit: closing the window
    // drops the request at once.
    TServerProva server({{"200 OK", "", "text/html", Tace}});
    auto* f = new TFrmControllaVersione(nullptr, server.sito());
    QPointer<TFrmControllaVersione> guardia(f);
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, Domanda, true);
    connect(&server, &TServerProva::richiestaRicevuta, f, [f] {
        QVERIFY(!f->ui()->sbControlla->isEnabled());
        QTest::mouseClick(f->ui()->sbEsci, Qt::LeftButton);
    });
    QElapsedTimer t;
    t.start();
    f->exec();
    QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(server.richieste.size(), 1);
    QVERIFY(!f->isVisible());
    QCOMPARE(f->ui()->LabMessaggioGrande->text(), QStringLiteral("Controllo versione in corso..."));
    delete f;
    QTest::qWait(50);
    QVERIFY(guardia.isNull());
}

void TestControllaVersione::menu() {
    TfrmMain m;
    QVERIFY(m.ui()->AggiornaVersione1->isEnabled());
    m_amb->risposte.attendi(TTipoMessaggio::Domanda, Domanda, false);
    bool aperta = false;
    QuandoSiApre([&](QWidget* w) {
        aperta = qobject_cast<TFrmControllaVersione*>(w) != nullptr && w->parentWidget() == &m;
        QTRY_COMPARE(m_amb->risposte.mostrati.size(), 1);
        w->close();
    });
    m.ui()->AggiornaVersione1->trigger();
    QVERIFY(aperta);
    QVERIFY(m.findChildren<TFrmControllaVersione*>().isEmpty());
}

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    TestControllaVersione t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_controllaversione.moc"
