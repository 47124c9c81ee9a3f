#include "reports/StampaGiacenze.h"

#include "reports/Anteprima.h"
#include "gui/ModelloElenco.h"

#include "data/engine/Definizioni.h"
#include "gui/Messaggi.h"
#include "reports/StampaComune.h"

#include <QWidget>

namespace {
const double AltezzaDettaglio = 5;
const double CarattereLayout = 9;
const QStringList CampiDettaglio = {QStringLiteral("QRDBnome"),        QStringLiteral("QRDBdescrizione"),
                                    QStringLiteral("QRDBquantita"),    QStringLiteral("QRDBgiacenzamax"),
                                    QStringLiteral("QRDBprezzo"),      QStringLiteral("QRDBscadutotemp")};
}  // namespace

TfrmStampaGiacenze::TfrmStampaGiacenze(QWidget* proprietario)
    : QObject(proprietario), m_proprietario(proprietario), m_dati(Definizioni::CampiProdotti()) {
    setObjectName(QStringLiteral("frmStampaGiacenze"));
    TReport& r = m_report;
    PreparaReport(r, &m_dati, CarattereLayout, [this] { QuickRepBeforePrint(); });

    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;
    TBanda& titolo = r.banda(TTipoBanda::Titolo, 18);
    titolo.etichetta(QStringLiteral("QRLabTitolo"), {0, 0, 190, 8}, QStringLiteral("Stampa riepilogativa giacenze di magazzino"))
        .dimensione(14)
        .grassetto();
    titolo.etichetta(QStringLiteral("QRLabDataControllo"), {0, 9, 190, 6}, QStringLiteral("Data di controllo: "))
        .dimensione(10);

    TBanda& intestazione = BandaIntestazione(r, 13, QStringLiteral("Pag."));
    struct Colonna {
        const char* titolo;
        const char* controllo;
        QString campo;
        double x, larghezza;
        bool aDestra;
    };
    const Colonna colonne[] = {{"Codice prodotto", "QRDBnome", Prodotti::Nome, 0, 30, false},
                               {"Descrizione prodotto", "QRDBdescrizione", Prodotti::Descrizione, 31, 80, false},
                               {"Q.tà", "QRDBquantita", Prodotti::Quantita, 112, 13, true},
                               {"Giac. max", "QRDBgiacenzamax", Prodotti::GiacenzaMax, 127, 19, true},
                               {"Prezzo", "QRDBprezzo", Prodotti::Prezzo, 148, 18, true},
                               {"Da rendere", "QRDBscadutotemp", Prodotti::ScadutoTemp, 169, 21, false}};
    TBanda& dettaglio = r.banda(TTipoBanda::Dettaglio, AltezzaDettaglio);
    int i = 0;
    for (const Colonna& c : colonne) {
        intestazione
            .etichetta(QStringLiteral("QRLabel%1").arg(++i), {c.x, 6, c.larghezza, 6}, QString::fromUtf8(c.titolo))
            .grassetto()
            .dimensione(8)
            .allinea(c.aDestra ? destra : Qt::AlignLeft | Qt::AlignVCenter);
        dettaglio.campoDati(QString::fromLatin1(c.controllo), {c.x, 0, c.larghezza, AltezzaDettaglio}, c.campo)
            .allinea(c.aDestra ? destra : Qt::AlignLeft | Qt::AlignVCenter);
    }
    intestazione.forma(QStringLiteral("QRShape1"), {0, 12.5, 190, 0.2}, TTipoForma::LineaOrizzontale);

    // "Si" for a product to return, "No" otherwise; an empty field prints blank.
    r.controllo(QStringLiteral("QRDBscadutotemp"))->allaStampa = [](QString& t) {
        t = t.toLower() == QLatin1String("true") ? QStringLiteral("Si") : QStringLiteral("No");
    };
    titolo.primaDiStampare = [this](bool&) {
        m_report.controllo(QStringLiteral("QRLabDataControllo"))->testo = QStringLiteral("Data di controllo: ") + DataControllo;
    };
}

TfrmStampaGiacenze::~TfrmStampaGiacenze() = default;

void TfrmStampaGiacenze::QuickRepBeforePrint() {
    if (NumeroProdotti == 0) MostraAttenzione(QStringLiteral("Nessun prodotto, cambiare parametri e riprovare."));
    ApplicaCarattereStampa(m_report, CarattereStampa, CampiDettaglio, CarattereLayout,
                           m_report.banda(TTipoBanda::Dettaglio), AltezzaDettaglio);
}

void TfrmStampaGiacenze::Anteprima(TModelloElenco* lista) {
    m_dati.impostaModello(lista);
    MostraAnteprima(m_report, m_proprietario, caption());
}
