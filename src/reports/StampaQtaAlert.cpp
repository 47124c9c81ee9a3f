#include "reports/StampaQtaAlert.h"

#include "reports/Anteprima.h"
#include "gui/ModelloElenco.h"

#include "data/engine/Definizioni.h"
#include "gui/Messaggi.h"
#include "reports/StampaComune.h"

#include <QWidget>

namespace {
const double AltezzaDettaglio = 6;
const double CarattereLayout = 9;
const QStringList CampiDettaglio = {QStringLiteral("QRDBnome"), QStringLiteral("QRDBdescrizione"),
                                    QStringLiteral("QRDBquantita"), QStringLiteral("QRDBqtaalert"),
                                    QStringLiteral("QRDBprezzo")};
}  // namespace

TfrmStampaQtaAlert::TfrmStampaQtaAlert(QWidget* proprietario)
    : QObject(proprietario), m_proprietario(proprietario), m_dati(Definizioni::CampiProdotti()) {
    setObjectName(QStringLiteral("frmStampaQtaAlert"));
    TReport& r = m_report;
    PreparaReport(r, &m_dati, CarattereLayout, [this] { QuickRepBeforePrint(); });

    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;
    TBanda& titolo = r.banda(TTipoBanda::Titolo, 24);
    titolo.etichetta(QStringLiteral("QRLabTitolo"), {0, 0, 190, 8}, QStringLiteral("Stampa riepilogativa quantità di magazzino"))
        .dimensione(14)
        .grassetto();
    titolo.dataCorrente(QStringLiteral("QRSysData2"), {0, 9, 80, 6}, QStringLiteral("Data: ")).dimensione(10);
    titolo.etichetta(QStringLiteral("QRLabel7"), {0, 15, 35, 6}, QStringLiteral("Totale prodotti:")).dimensione(10);
    titolo.etichetta(QStringLiteral("QRLabTotProd"), {35, 15, 40, 6}, QString()).dimensione(10);
    titolo.primaDiStampare = [this](bool& stampa) { TitleBand1BeforePrint(stampa); };

    TBanda& intestazione = BandaIntestazione(r, 13, QString());
    struct Colonna {
        const char* titolo;
        const char* controllo;
        QString campo;
        double x, larghezza;
        bool aDestra;
    };
    const Colonna colonne[] = {{"Codice prodotto", "QRDBnome", Prodotti::Nome, 0, 30, false},
                               {"Descrizione prodotto", "QRDBdescrizione", Prodotti::Descrizione, 31, 70, false},
                               {"Q.tà", "QRDBquantita", Prodotti::Quantita, 102, 12, true},
                               {"Q.tà alert", "QRDBqtaalert", Prodotti::QtaAlert, 116, 18, true},
                               {"Prezzo", "QRDBprezzo", Prodotti::Prezzo, 136, 26, true},
                               {"Q.ta da ordin.", nullptr, QString(), 165, 25, false}};
    TBanda& dettaglio = r.banda(TTipoBanda::Dettaglio, AltezzaDettaglio);
    int i = 0;
    for (const Colonna& c : colonne) {
        intestazione
            .etichetta(QStringLiteral("QRLabel%1").arg(++i), {c.x, 6, c.larghezza, 6}, QString::fromUtf8(c.titolo))
            .grassetto()
            .dimensione(8)
            .allinea(c.aDestra ? destra : Qt::AlignLeft | Qt::AlignVCenter);
        if (c.controllo)
            dettaglio
                .campoDati(QString::fromLatin1(c.controllo), {c.x, 0, c.larghezza, AltezzaDettaglio}, c.campo)
                .allinea(c.aDestra ? destra : Qt::AlignLeft | Qt::AlignVCenter);
    }
    intestazione.forma(QStringLiteral("QRShape2"), {0, 12.5, 190, 0.2}, TTipoForma::LineaOrizzontale);
    // The box where the quantity to order is written by hand.
    dettaglio.forma(QStringLiteral("QRShape1"), {167, 0.8, 18, AltezzaDettaglio - 1.6});

    r.controllo(QStringLiteral("QRDBprezzo"))->allaStampa = [this](QString& t) {
        t = TestoMoneta(m_dati.valore(Prodotti::Prezzo).toDouble());
    };
}

TfrmStampaQtaAlert::~TfrmStampaQtaAlert() = default;

void TfrmStampaQtaAlert::QuickRepBeforePrint() {
    if (NumeroProdotti == 0) MostraAttenzione(QStringLiteral("Nessun prodotto, cambiare parametri e riprovare."));
    ApplicaCarattereStampa(m_report, CarattereStampa, CampiDettaglio, CarattereLayout,
                           m_report.banda(TTipoBanda::Dettaglio), AltezzaDettaglio);
    // The box follows the line's height.
    const double h = m_report.banda(TTipoBanda::Dettaglio)->altezza;
    m_report.controllo(QStringLiteral("QRShape1"))->impostaDimensioni(18, h - 1.6);
}

void TfrmStampaQtaAlert::TitleBand1BeforePrint(bool&) {
    m_report.controllo(QStringLiteral("QRLabTotProd"))->testo = QString::number(NumeroProdotti);
    m_report.controllo(QStringLiteral("QRLabTitolo"))->testo =
        QStringLiteral("Stampa riepilogativa quantità di magazzino (") + Visione + QLatin1Char(')');
}

void TfrmStampaQtaAlert::Anteprima(TModelloElenco* lista) {
    m_dati.impostaModello(lista);
    MostraAnteprima(m_report, m_proprietario, caption());
}
