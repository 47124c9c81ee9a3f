// The expiry and quantity-alert reports, printed from their check windows as
// the main window sets them up: texts on the page list and in the PDF, the
// font-size setting, the warnings, and two previews in a row.

#include "AmbienteTest.h"
#include "DatiProva.h"
#include "ProveStampe.h"
#include "app/Main.h"
#include "data/engine/Archivio.h"
#include "movements/CtrlGiacenze.h"
#include "movements/CtrlQta.h"
#include "reports/StampaGiacenze.h"
#include "reports/StampaQtaAlert.h"
#include "reports/engine/Pittura.h"
#include "ui_CtrlGiacenze.h"
#include "ui_CtrlQta.h"
#include "ui_Main.h"

#include "reports/Anteprima.h"
#include <QProcess>
#include <QtTest>

namespace {

void Esegui(const QString& sql) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QString(sql).replace(QLatin1String("$P"), a.nomeQualificato(QStringLiteral("prodotti")))
                 .replace(QLatin1String("$I"), a.nomeQualificato(QStringLiteral("impostazioni"))));
}

void ScriviProdotti() {
    InserisciProdotto({.id = 1, .nome = QStringLiteral("CAFFÈ"), .descrizione = QStringLiteral("Caffè in grani qualità oro"),
                       .quantita = 3, .prezzo = 2.5, .dataOggi = QStringLiteral("2004-03-01"), .giacenzaMax = 10, .qtaAlert = 5});
    InserisciProdotto({.id = 2, .nome = QStringLiteral("TÈ"), .descrizione = QStringLiteral("Tè verde"),
                       .quantita = 5, .prezzo = 1234.5, .dataOggi = QStringLiteral("2004-03-10"), .giacenzaMax = 30, .qtaAlert = 5});
    InserisciProdotto({.id = 3, .nome = QStringLiteral("ZUCCHERO"), .descrizione = QStringLiteral("Zucchero di canna"),
                       .quantita = 0, .dataOggi = QStringLiteral("2003-12-01"), .giacenzaMax = 400, .qtaAlert = 2});
}


}  // namespace

class TestStampeControlli : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void stampaGiacenze() {
        ScriviProdotti();
        Esegui(QStringLiteral("update $I set CAR_STAMPA_GIACENZE = 12"));
        TfrmStampaGiacenze s(nullptr);
        TFrmCtrlGiacenze f(nullptr, &s);
        Mostra(f);
        f.ui()->EdData->setText(QStringLiteral("11/03/2004"));
        f.ui()->ButtonControlla->click();
        QVERIFY(Anteprima(f.ui()->BTSstampa));

        const TDocumentoReport& d = s.report().documento();
        QCOMPARE(d.numeroPagine(), 1);
        QCOMPARE(d.testi(0).mid(0, 9),
                 (QStringList{QStringLiteral("Stampa riepilogativa giacenze di magazzino"),
                              QStringLiteral("Data di controllo: 11/03/2004"), QStringLiteral("Pag.1"),
                              QStringLiteral("Codice prodotto"), QStringLiteral("Descrizione prodotto"), QStringLiteral("Q.tà"),
                              QStringLiteral("Giac. max"), QStringLiteral("Prezzo"), QStringLiteral("Da rendere")}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBnome")), (QStringList{QStringLiteral("CAFFÈ"), QStringLiteral("TÈ"), QStringLiteral("ZUCCHERO")}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBscadutotemp")), (QStringList{QStringLiteral("Si"), QStringLiteral("No"), QStringLiteral("No")}));
        // The price as the field's plain text; an empty one prints blank.
        QCOMPARE(Testi(d, QStringLiteral("QRDBprezzo")), (QStringList{QStringLiteral("2,5"), QStringLiteral("1234,5")}));
        QCOMPARE(Testi(d, QStringLiteral("QRDBgiacenzamax")),
                 (QStringList{QStringLiteral("10"), QStringLiteral("30"), QStringLiteral("400")}));
        // The setting's size for the six detail fields; headings keep theirs.
        QCOMPARE(d.font[d.elementiDi(QStringLiteral("QRDBdescrizione"))[0].font].pointSizeF(), 12.0);
        QCOMPARE(d.font[d.elementiDi(QStringLiteral("QRLabel1"))[0].font].pointSizeF(), 8.0);

        // A product never evaluated prints blank under "Da rendere".
        Esegui(QStringLiteral("update $P set SCADUTOTEMP = NULL where ID = 3"));
        f.ui()->rgVisual1->click();
        f.ui()->rgVisual0->click();
        QVERIFY(Anteprima(f.ui()->BTSstampa));
        QCOMPARE(Testi(s.report().documento(), QStringLiteral("QRDBscadutotemp")), (QStringList{QStringLiteral("Si"), QStringLiteral("No")}));
    }

    void stampaGiacenzeSenzaCarattere() {
        // An empty size setting ends the command with the conversion error,
        // shown in the general error display, before any preview.
        ScriviProdotti();
        Esegui(QStringLiteral("update $I set CAR_STAMPA_GIACENZE = NULL"));
        TfrmStampaGiacenze s(nullptr);
        TFrmCtrlGiacenze f(nullptr, &s);
        Mostra(f);
        m_amb->risposte.attendi(TTipoMessaggio::ErroreGenerale, QStringLiteral("'' non è un valore intero valido"));
        const bool aperta = Anteprima(f.ui()->BTSstampa);
        ZR_VERIFICA_RISPOSTE(*m_amb);
        QVERIFY(!aperta);
    }

    void stampaQtaAlertInPdf() {
        ScriviProdotti();
        TfrmStampaQtaAlert s(nullptr);
        TFrmCtrlQta f(nullptr, &s);
        Mostra(f);
        QVERIFY(Anteprima(f.ui()->BTSstampa));
        const TDocumentoReport& d = s.report().documento();
        QCOMPARE(Testi(d, QStringLiteral("QRLabTitolo")), QStringList{QStringLiteral("Stampa riepilogativa quantità di magazzino (Fine scorta)")});
        QCOMPARE(Testi(d, QStringLiteral("QRSysData2")), QStringList{QStringLiteral("Data: 15/03/2004")});
        QCOMPARE(Testi(d, QStringLiteral("QRLabTotProd")), QStringList{QStringLiteral("2")});
        QCOMPARE(Testi(d, QStringLiteral("QRSysData1")), QStringList{QStringLiteral("1")});  // the bare page number
        QCOMPARE(Testi(d, QStringLiteral("QRDBprezzo")), (QStringList{QStringLiteral("2,50 €"), QStringLiteral("1.234,50 €")}));
        QCOMPARE(d.elementiDi(QStringLiteral("QRShape1")).size(), 2);  // one empty box per row
        QCOMPARE(d.elementiDi(QStringLiteral("QRShape1"))[0].tipo, TElementoPagina::Rettangolo);

        // The same page list as a PDF file, read back.
        const QString pdf = m_amb->file(QStringLiteral("qtaalert.pdf"));
        QVERIFY(ScriviPdf(d, pdf));
        const QString testo = Pdftotext(pdf);
        for (const char* atteso : {"Stampa riepilogativa quantità di magazzino (Fine scorta)", "Totale prodotti:", "Q.ta da ordin.",
                                   "CAFFÈ", "Caffè in grani qualità oro", "Tè verde", "2,50 €", "1.234,50 €"})
            QVERIFY2(testo.contains(QString::fromUtf8(atteso)), atteso);
    }

    void dueAnteprimeCambiandoVisione() {
        ScriviProdotti();
        TfrmStampaQtaAlert s(nullptr);
        TFrmCtrlQta f(nullptr, &s);
        Mostra(f);
        f.ui()->rgVisual1->click();  // "Esauriti"
        QVERIFY(Anteprima(f.ui()->BTSstampa));
        QCOMPARE(Testi(s.report().documento(), QStringLiteral("QRLabTitolo")),
                 QStringList{QStringLiteral("Stampa riepilogativa quantità di magazzino (Esauriti)")});
        QCOMPARE(Testi(s.report().documento(), QStringLiteral("QRDBnome")), QStringList{QStringLiteral("ZUCCHERO")});
        QCOMPARE(Testi(s.report().documento(), QStringLiteral("QRLabTotProd")), QStringList{QStringLiteral("1")});
        f.ui()->rgVisual4->click();  // "Tutti"
        QVERIFY(Anteprima(f.ui()->BTSstampa));
        QCOMPARE(Testi(s.report().documento(), QStringLiteral("QRLabTitolo")),
                 QStringList{QStringLiteral("Stampa riepilogativa quantità di magazzino (Tutti)")});
        QCOMPARE(Testi(s.report().documento(), QStringLiteral("QRDBnome")),
                 (QStringList{QStringLiteral("CAFFÈ"), QStringLiteral("TÈ"), QStringLiteral("ZUCCHERO")}));
        QCOMPARE(Testi(s.report().documento(), QStringLiteral("QRLabTotProd")), QStringList{QStringLiteral("3")});
    }

    void listaVuotaECarattereZero() {
        Esegui(QStringLiteral("update $I set CAR_STAMPA_QTAALERT = 0"));
        TfrmStampaQtaAlert s(nullptr);
        TFrmCtrlQta f(nullptr, &s);
        Mostra(f);
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Nessun prodotto, cambiare parametri e riprovare."));
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione, QStringLiteral("Parametro di carattere di stampa inferiore a 0"));
        QVERIFY(Anteprima(f.ui()->BTSstampa));
        const TDocumentoReport& d = s.report().documento();
        QCOMPARE(d.numeroPagine(), 1);
        QCOMPARE(d.testi(0), (QStringList{QStringLiteral("Stampa riepilogativa quantità di magazzino (Fine scorta)"),
                                          QStringLiteral("Data: 15/03/2004"), QStringLiteral("Totale prodotti:"), QStringLiteral("0"),
                                          QStringLiteral("1"), QStringLiteral("Codice prodotto"), QStringLiteral("Descrizione prodotto"),
                                          QStringLiteral("Q.tà"), QStringLiteral("Q.tà alert"), QStringLiteral("Prezzo"),
                                          QStringLiteral("Q.ta da ordin.")}));
    }

    void carattereQtaAlertVuotoRifiutato() {
        ScriviProdotti();
        Esegui(QStringLiteral("update $I set CAR_STAMPA_QTAALERT = NULL"));
        TfrmStampaQtaAlert s(nullptr);
        TFrmCtrlQta f(nullptr, &s);
        Mostra(f);
        m_amb->risposte.attendi(TTipoMessaggio::Attenzione,
                                QStringLiteral("Carattere stampa non inizializzato. Scegliere un valore dal menù: Utilita - "
                                               "Impostazioni - Stampe - Stampa q.ta alert"));
        QVERIFY(!Anteprima(f.ui()->BTSstampa));
        QCOMPARE(s.report().documento().numeroPagine(), 0);
    }

    void finestreCreateDallaPrincipale() {
        // The main window hands each check window its report window, owned
        // by the main window while the check window is open; both gone
        // afterwards.
        ScriviProdotti();
        TfrmMain m;
        for (QAction* voce : {m.ui()->Controllagiacenze1, m.ui()->ControloQuantit1}) {
            QVERIFY(voce->isEnabled());
            QString titolo;
            bool riferimento = false;
            QuandoSiApre([&](QWidget* w) {
                titolo = w->windowTitle();
                riferimento = !m.findChildren<QObject*>(voce == m.ui()->Controllagiacenze1 ? QStringLiteral("frmStampaGiacenze")
                                                                                           : QStringLiteral("frmStampaQtaAlert"))
                                    .isEmpty();
                w->close();
            });
            voce->trigger();
            QVERIFY(riferimento);
            QCOMPARE(titolo, voce == m.ui()->Controllagiacenze1 ? QStringLiteral("Gestione controllo scadenze")
                                                                : QStringLiteral("Gestione controllo quantità"));
        }
        QVERIFY(m.findChildren<QObject*>(QStringLiteral("frmStampaGiacenze")).isEmpty());
        QVERIFY(m.findChildren<QObject*>(QStringLiteral("frmStampaQtaAlert")).isEmpty());
        QVERIFY(m.ui()->LabUrl5->isEnabled() && m.ui()->LabUrl8->isEnabled());
    }
};

QTEST_MAIN(TestStampeControlli)
#include "test_stampecontrolli.moc"
