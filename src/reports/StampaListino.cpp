#include "reports/StampaListino.h"

#include "reports/Anteprima.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "data/engine/Definizioni.h"
#include "reports/StampaComune.h"

#include <QWidget>

namespace {
const double CarattereLayout = 9;
const double AltezzaDettaglio = 5;
const QStringList CampiDettaglio = {QStringLiteral("LabGeneProduttore"), QStringLiteral("QRDBnome"),
                                    QStringLiteral("QRDBdescrizione"), QStringLiteral("QRDBprezzolistino")};
}  // namespace

TfrmStampaListino::TfrmStampaListino(QWidget* proprietario)
    : QObject(proprietario), m_proprietario(proprietario), m_dati(&m_query, Definizioni::CampiProdotti()) {
    setObjectName(QStringLiteral("frmStampaListino"));
    TReport& r = m_report;
    PreparaReport(r, &m_dati, CarattereLayout, [this] { QuickRepBeforePrint(); });
    r.titoloLavoro = caption();
    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;

    TBanda& titolo = r.banda(TTipoBanda::Titolo, 10);
    titolo.etichetta(QStringLiteral("QRLabel1"), {0, 0, 190, 8}, QStringLiteral("Listino prodotti")).dimensione(12).grassetto();

    TBanda& intestazione = BandaIntestazione(r, 11, QStringLiteral("Pag."));
    intestazione.etichetta(QStringLiteral("QRLabel2"), {0, 5, 45, 5}, QStringLiteral("Produttore")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel3"), {46, 5, 35, 5}, QStringLiteral("Codice prodotto")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel4"), {82, 5, 78, 5}, QStringLiteral("Descrizione prodotto")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel5"), {161, 5, 29, 5}, QStringLiteral("Prezzo listino"))
        .grassetto()
        .allinea(destra);
    intestazione.forma(QStringLiteral("QRShape1"), {0, 10.5, 190, 0.2}, TTipoForma::LineaOrizzontale);

    TBanda& dettaglio = r.banda(TTipoBanda::Dettaglio, AltezzaDettaglio);
    dettaglio.etichetta(QStringLiteral("LabGeneProduttore"), {0, 0, 45, AltezzaDettaglio}, QString());
    dettaglio.campoDati(QStringLiteral("QRDBnome"), {46, 0, 35, AltezzaDettaglio}, Prodotti::Nome);
    dettaglio.campoDati(QStringLiteral("QRDBdescrizione"), {82, 0, 78, AltezzaDettaglio}, Prodotti::Descrizione);
    dettaglio.campoDati(QStringLiteral("QRDBprezzolistino"), {161, 0, 29, AltezzaDettaglio}, Prodotti::PrezzoListino)
        .allinea(destra);

    // Dated today, then the producer and the product it is restricted to.
    r.controllo(QStringLiteral("QRLabel1"))->allaStampa = [this](QString& t) {
        t = Oggi().toString(FormatoData) + QLatin1Char(' ') + t;
        if (!Produttore.isEmpty()) t += QStringLiteral(", per produttore ") + Produttore;
        if (!Prodotto.isEmpty()) t += QStringLiteral(", per prodotto ") + Prodotto;
    };
    r.controllo(QStringLiteral("QRDBprezzolistino"))->allaStampa = [this](QString& t) {
        t = TestoMoneta(m_query.value(m_iPrezzoListino).toDouble());
    };
    m_cProduttore = r.controllo(QStringLiteral("LabGeneProduttore"));
    dettaglio.primaDiStampare = [this](bool&) { DettaglioBeforePrint(); };
}

TfrmStampaListino::~TfrmStampaListino() = default;

void TfrmStampaListino::QuickRepBeforePrint() {
    m_nomi.svuota();
    ApriDatiStampa(m_query, m_dati, QueryListino(Prodotto, IdProduttore, CampoOrdine, InvertiOrdine),
                   QStringLiteral("Nessun prodotto da stampare."));
    m_iProduttore = m_dati.indice(Prodotti::IdProduttore);
    m_iPrezzoListino = m_dati.indice(Prodotti::PrezzoListino);
    ApplicaCarattereStampa(m_report, CarattereStampa, CampiDettaglio, CarattereLayout,
                           m_report.banda(TTipoBanda::Dettaglio), AltezzaDettaglio);
}

void TfrmStampaListino::DettaglioBeforePrint() {
    m_cProduttore->testo = ProduttoreDellaRiga(m_nomi, m_query.value(m_iProduttore));
}

void TfrmStampaListino::Anteprima() { MostraAnteprima(m_report, m_proprietario, caption()); }
