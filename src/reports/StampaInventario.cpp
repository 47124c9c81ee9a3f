#include "reports/StampaInventario.h"

#include "reports/Anteprima.h"

#include "data/engine/Definizioni.h"
#include "reports/StampaComune.h"

#include <QWidget>

namespace {
const double CarattereLayout = 8;
const double AltezzaDettaglio = 4.5;
const double AltezzaRiepilogo = 5.5;
const QString Titolo = QStringLiteral("Stampa inventario di magazzino al");
const QStringList CampiDettaglio = {QStringLiteral("LabGeneProduttore"), QStringLiteral("QRDBnome"),
                                    QStringLiteral("QRDBdescrizione"),   QStringLiteral("QRDBprezzolistino"),
                                    QStringLiteral("QRDBquantita"),      QStringLiteral("QRLabelTot")};
const QStringList CampiRiepilogo = {QStringLiteral("QRLabTotali"), QStringLiteral("LabTotListino"),
                                    QStringLiteral("LabTotQuant"), QStringLiteral("LabTotTot")};
}  // namespace

TfrmStampaInventario::TfrmStampaInventario(QWidget* proprietario)
    : QObject(proprietario), m_proprietario(proprietario), m_dati(&m_query, Definizioni::CampiProdotti()) {
    setObjectName(QStringLiteral("frmStampaInventario"));
    TReport& r = m_report;
    PreparaReport(r, &m_dati, CarattereLayout, [this] { QuickRepBeforePrint(); });
    r.titoloLavoro = caption();
    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;

    TBanda& titolo = r.banda(TTipoBanda::Titolo, 10);
    titolo.etichetta(QStringLiteral("QRLabTitolo"), {0, 0, 190, 8}, Titolo).dimensione(12).grassetto();

    TBanda& intestazione = BandaIntestazione(r, 11, QStringLiteral("Pag."));
    intestazione.etichetta(QStringLiteral("QRLabel1"), {0, 5, 40, 5}, QStringLiteral("Produttore")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel2"), {41, 5, 30, 5}, QStringLiteral("Codice prodotto")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel3"), {72, 5, 58, 5}, QStringLiteral("Descrizione")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabPrezzoListino"), {131, 5, 22, 5}, QStringLiteral("Prezzo listino"))
        .grassetto()
        .allinea(destra);
    intestazione.etichetta(QStringLiteral("QRLabel5"), {154, 5, 12, 5}, QStringLiteral("Q.ta")).grassetto().allinea(destra);
    intestazione.etichetta(QStringLiteral("QRLabTotale"), {167, 5, 23, 5}, QStringLiteral("Totale")).grassetto().allinea(destra);
    intestazione.forma(QStringLiteral("QRShape1"), {0, 10.5, 190, 0.2}, TTipoForma::LineaOrizzontale);

    TBanda& dettaglio = r.banda(TTipoBanda::Dettaglio, AltezzaDettaglio);
    const double h = AltezzaDettaglio;
    dettaglio.etichetta(QStringLiteral("LabGeneProduttore"), {0, 0, 40, h}, QString());
    dettaglio.campoDati(QStringLiteral("QRDBnome"), {41, 0, 30, h}, Prodotti::Nome);
    dettaglio.campoDati(QStringLiteral("QRDBdescrizione"), {72, 0, 58, h}, Prodotti::Descrizione);
    dettaglio.campoDati(QStringLiteral("QRDBprezzolistino"), {131, 0, 22, h}, Prodotti::PrezzoListino).allinea(destra);
    dettaglio.campoDati(QStringLiteral("QRDBquantita"), {154, 0, 12, h}, Prodotti::Quantita).allinea(destra);
    dettaglio.etichetta(QStringLiteral("QRLabelTot"), {167, 0, 23, h}, QString()).allinea(destra);

    TBanda& riepilogo = r.banda(TTipoBanda::Riepilogo, AltezzaRiepilogo);
    riepilogo.forma(QStringLiteral("QRShape2"), {0, 0.5, 190, 0.2}, TTipoForma::LineaOrizzontale);
    const double hr = AltezzaRiepilogo - 1;
    riepilogo.etichetta(QStringLiteral("QRLabTotali"), {0, 1, 40, hr}, QStringLiteral("TOTALI:")).grassetto();
    riepilogo.etichetta(QStringLiteral("LabTotListino"), {121, 1, 32, hr}, QString()).allinea(destra);
    riepilogo.etichetta(QStringLiteral("LabTotQuant"), {154, 1, 12, hr}, QString()).allinea(destra);
    riepilogo.etichetta(QStringLiteral("LabTotTot"), {167, 1, 23, hr}, QString()).allinea(destra);

    r.controllo(QStringLiteral("QRLabTitolo"))->allaStampa = [this](QString& t) { t += QLatin1Char(' ') + DataInventario; };
    r.controllo(QStringLiteral("QRDBprezzolistino"))->allaStampa = [this](QString& t) {
        t = TestoMoneta(m_query.value(m_iPrezzoListino).toDouble());
    };
    m_cProduttore = r.controllo(QStringLiteral("LabGeneProduttore"));
    m_cTot = r.controllo(QStringLiteral("QRLabelTot"));
    dettaglio.primaDiStampare = [this](bool&) { DettaglioBeforePrint(); };
    riepilogo.primaDiStampare = [this](bool&) { RiepilogoBeforePrint(); };
}

TfrmStampaInventario::~TfrmStampaInventario() = default;

void TfrmStampaInventario::QuickRepBeforePrint() {
    m_sommaListino = 0;
    m_sommaQuantita = 0;
    m_sommaValore = 0;
    m_nomi.svuota();
    ApriDatiStampa(m_query, m_dati, QueryProdottiStampa(Prodotto, IdProduttore, IdCategoria, CampoOrdine, InvertiOrdine),
                   QStringLiteral("Nessun prodotto da stampare."));
    m_iProduttore = m_dati.indice(Prodotti::IdProduttore);
    m_iPrezzoListino = m_dati.indice(Prodotti::PrezzoListino);
    m_iQuantita = m_dati.indice(Prodotti::Quantita);
    ApplicaCarattereStampaRighe(m_report, CarattereStampa, CarattereLayout,
                                {{TTipoBanda::Dettaglio, AltezzaDettaglio, CampiDettaglio},
                                 {TTipoBanda::Riepilogo, AltezzaRiepilogo, CampiRiepilogo}});

    // The list price column goes with its flag, the value column with its own.
    for (const char* n : {"QRLabPrezzoListino", "QRDBprezzolistino", "LabTotListino"})
        m_report.controllo(QString::fromLatin1(n))->visibile = !NonStampaPrezzoListino;
    for (const char* n : {"QRLabTotale", "QRLabelTot"}) m_report.controllo(QString::fromLatin1(n))->visibile = !NonStampaTotale;
}

void TfrmStampaInventario::DettaglioBeforePrint() {
    m_cProduttore->testo = ProduttoreDellaRiga(m_nomi, m_query.value(m_iProduttore));
    const double prezzo = m_query.value(m_iPrezzoListino).toDouble();
    const double quantita = m_query.value(m_iQuantita).toDouble();
    m_cTot->testo = TestoMoneta(prezzo * quantita);
    m_sommaQuantita += quantita;
    m_sommaListino += prezzo;
    m_sommaValore += prezzo * quantita;
}

void TfrmStampaInventario::RiepilogoBeforePrint() {
    m_report.controllo(QStringLiteral("LabTotListino"))->testo = TestoMoneta(m_sommaListino);
    // The value total goes with either flag: without list prices, or without values.
    m_report.controllo(QStringLiteral("LabTotTot"))->testo =
        NonStampaPrezzoListino || NonStampaTotale ? QString() : TestoMoneta(m_sommaValore);
    m_report.controllo(QStringLiteral("LabTotQuant"))->testo = TestoVisualizzato(m_sommaQuantita);
}

void TfrmStampaInventario::Anteprima() { MostraAnteprima(m_report, m_proprietario, caption()); }
