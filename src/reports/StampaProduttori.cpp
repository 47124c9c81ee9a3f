#include "reports/StampaProduttori.h"

#include "reports/Anteprima.h"

#include "data/engine/Definizioni.h"
#include "reports/StampaComune.h"

#include <QWidget>

namespace {
const double CarattereLayout = 8;
const double AltezzaDettaglio = 5;  // a thin rule, then the first line
const double AltezzaFiglia = 4.5;
const QStringList CampiPrimaRiga = {QStringLiteral("QRDBid"),  QStringLiteral("QRDBnome"),  QStringLiteral("QRDBcognome"),
                                    QStringLiteral("QRDBvia"), QStringLiteral("QRDBcap"),   QStringLiteral("QRDBcitta"),
                                    QStringLiteral("QRDBprovincia")};
const QStringList CampiSecondaRiga = {QStringLiteral("QRDBtelefono"), QStringLiteral("QRDBpiva"),
                                      QStringLiteral("QRDBdescrizione")};

// The three headings over two fields each, and their short form for one line.
struct Intestazione {
    const char* controllo;
    const char* doppia;
    const char* corta;
};
const Intestazione Doppie[] = {{"QRLabel2", "Nome / telefono", "Nome"},
                               {"QRLabel3", "Cognome / p.iva", "Cognome"},
                               {"QRLabel4", "Via / Descrizione", "Via"}};
}  // namespace

TfrmStampaProduttori::TfrmStampaProduttori(QWidget* proprietario)
    : QObject(proprietario), m_proprietario(proprietario), m_dati(&m_query, Definizioni::CampiProduttori()) {
    setObjectName(QStringLiteral("frmStampaProduttori"));
    TReport& r = m_report;
    PreparaReport(r, &m_dati, CarattereLayout, [this] { QuickRepBeforePrint(); });
    r.titoloLavoro = caption();
    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;

    TBanda& titolo = r.banda(TTipoBanda::Titolo, 10);
    titolo.etichetta(QStringLiteral("QRLabTitolo"), {0, 0, 190, 8}, QStringLiteral("Elenco produttori")).dimensione(12).grassetto();

    TBanda& intestazione = BandaIntestazione(r, 11, QStringLiteral("Pag."));
    intestazione.etichetta(QStringLiteral("QRLabel1"), {0, 5, 12, 5}, QStringLiteral("Cod")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel2"), {13, 5, 35, 5}, QString()).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel3"), {49, 5, 35, 5}, QString()).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel4"), {85, 5, 50, 5}, QString()).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel5"), {136, 5, 14, 5}, QStringLiteral("Cap")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel6"), {151, 5, 30, 5}, QStringLiteral("Città")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel7"), {182, 5, 8, 5}, QStringLiteral("Pr.")).grassetto();
    intestazione.forma(QStringLiteral("QRShape2"), {0, 10.5, 190, 0.2}, TTipoForma::LineaOrizzontale);

    TBanda& dettaglio = r.banda(TTipoBanda::Dettaglio, AltezzaDettaglio);
    dettaglio.forma(QStringLiteral("QRShape1"), {0, 0.2, 190, 0.2}, TTipoForma::LineaOrizzontale).spessore = 0.1;
    const double y = 0.5, h = AltezzaDettaglio - y;
    dettaglio.campoDati(QStringLiteral("QRDBid"), {0, y, 11, h}, Produttori::Id).allinea(destra);
    dettaglio.campoDati(QStringLiteral("QRDBnome"), {13, y, 35, h}, Produttori::Nome);
    dettaglio.campoDati(QStringLiteral("QRDBcognome"), {49, y, 35, h}, Produttori::Cognome);
    dettaglio.campoDati(QStringLiteral("QRDBvia"), {85, y, 50, h}, Produttori::Via);
    dettaglio.campoDati(QStringLiteral("QRDBcap"), {136, y, 14, h}, Produttori::Cap);
    dettaglio.campoDati(QStringLiteral("QRDBcitta"), {151, y, 30, h}, Produttori::Citta);
    dettaglio.campoDati(QStringLiteral("QRDBprovincia"), {182, y, 8, h}, Produttori::Provincia);

    TBanda& figlia = r.banda(TTipoBanda::Figlia, AltezzaFiglia);
    figlia.campoDati(QStringLiteral("QRDBtelefono"), {13, 0, 35, AltezzaFiglia}, Produttori::Telefono);
    figlia.campoDati(QStringLiteral("QRDBpiva"), {49, 0, 35, AltezzaFiglia}, Produttori::Piva);
    figlia.campoDati(QStringLiteral("QRDBdescrizione"), {85, 0, 105, AltezzaFiglia}, Produttori::Descrizione);

    intestazione.primaDiStampare = [this](bool&) {
        for (const Intestazione& i : Doppie)
            m_report.controllo(QString::fromLatin1(i.controllo))->testo =
                QString::fromUtf8(NonStampaSecondaRiga ? i.corta : i.doppia);
    };
    // One line per producer: the second takes no height and is hidden.
    figlia.primaDiStampare = [this](bool&) {
        if (!NonStampaSecondaRiga) return;
        TBanda* b = m_report.banda(TTipoBanda::Figlia);
        b->impostaAltezza(0);
        b->impostaVisibile(false);
    };
}

TfrmStampaProduttori::~TfrmStampaProduttori() = default;

void TfrmStampaProduttori::QuickRepBeforePrint() {
    // A previous generation may have hidden the second line.
    m_report.banda(TTipoBanda::Figlia)->impostaVisibile(true);
    ApriDatiStampa(m_query, m_dati, QueryProduttori(CampoOrdine, InvertiOrdine),
                   QStringLiteral("Nessun produttore da stampare."));
    ApplicaCarattereStampaRighe(m_report, CarattereStampa, CarattereLayout,
                                {{TTipoBanda::Dettaglio, AltezzaDettaglio, CampiPrimaRiga},
                                 {TTipoBanda::Figlia, AltezzaFiglia, CampiSecondaRiga}});
}

void TfrmStampaProduttori::Anteprima() { MostraAnteprima(m_report, m_proprietario, caption()); }
