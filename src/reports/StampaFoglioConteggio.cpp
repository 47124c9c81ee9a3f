#include "reports/StampaFoglioConteggio.h"

#include "data/Convenzioni.h"
#include "reports/Anteprima.h"
#include "reports/StampaComune.h"

#include <QWidget>

namespace {
// Tall enough to write a number in the box by hand.
const double AltezzaDettaglio = 8;
const double CarattereLayout = 9;
const QString Titolo = QStringLiteral("Foglio di conteggio");
}  // namespace

TfrmStampaFoglioConteggio::TfrmStampaFoglioConteggio(QWidget* proprietario)
    : QObject(proprietario),
      m_proprietario(proprietario),
      m_dati(QStringList{QStringLiteral("CATEGORIA"), QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE")}) {
    setObjectName(QStringLiteral("frmStampaFoglioConteggio"));
    TReport& r = m_report;
    PreparaReport(r, &m_dati, CarattereLayout, [] {});
    r.titoloLavoro = Titolo;

    TBanda& titolo = r.banda(TTipoBanda::Titolo, 18);
    titolo.etichetta(QStringLiteral("LabTitolo"), {0, 0, 130, 8}, Titolo).dimensione(14).grassetto();
    titolo.etichetta(QStringLiteral("LabData"), {130, 0, 60, 8}, QString()).dimensione(10).allinea(Qt::AlignRight | Qt::AlignVCenter);
    titolo.etichetta(QStringLiteral("LabAmbito"), {0, 10, 190, 6}, QString()).dimensione(10);

    TBanda& intestazione = BandaIntestazione(r, 11, QStringLiteral("Pag."));
    struct Colonna {
        const char* titolo;
        const char* controllo;
        const char* campo;
        double x, larghezza;
    };
    const Colonna colonne[] = {{"Categoria", "QRDBcategoria", "CATEGORIA", 0, 40},
                               {"Codice", "QRDBcodice", "CODICE", 41, 32},
                               {"Descrizione", "QRDBdescrizione", "DESCRIZIONE", 74, 86}};
    TBanda& dettaglio = r.banda(TTipoBanda::Dettaglio, AltezzaDettaglio);
    int i = 0;
    for (const Colonna& c : colonne) {
        intestazione.etichetta(QStringLiteral("QRLabel%1").arg(++i), {c.x, 5, c.larghezza, 5}, QString::fromUtf8(c.titolo))
            .grassetto();
        dettaglio.campoDati(QString::fromLatin1(c.controllo), {c.x, 0, c.larghezza, AltezzaDettaglio},
                            QString::fromLatin1(c.campo));
    }
    intestazione.etichetta(QStringLiteral("QRLabel%1").arg(++i), {162, 5, 28, 5}, QStringLiteral("Contato"))
        .grassetto()
        .allinea(Qt::AlignHCenter | Qt::AlignVCenter);
    intestazione.forma(QStringLiteral("QRShape1"), {0, 10.5, 190, 0.2}, TTipoForma::LineaOrizzontale);
    // The empty box of the counted quantity.
    dettaglio.forma(QStringLiteral("QRShapeConta"), {162, 1, 28, AltezzaDettaglio - 2}, TTipoForma::Rettangolo);

    TBanda& riepilogo = r.banda(TTipoBanda::Riepilogo, 16);
    riepilogo.forma(QStringLiteral("QRShape2"), {0, 0.5, 190, 0.2}, TTipoForma::LineaOrizzontale);
    riepilogo.etichetta(QStringLiteral("LabTotale"), {0, 2, 90, 5}, QString()).grassetto();
    riepilogo.etichetta(QStringLiteral("LabFirma"), {95, 9, 95, 5}, QStringLiteral("Contato da: ______________________"));

    titolo.primaDiStampare = [this](bool&) {
        m_report.controllo(QStringLiteral("LabData"))->testo = QStringLiteral("Inventario del ") + m_data.toString(FormatoData);
        m_report.controllo(QStringLiteral("LabAmbito"))->testo = m_ambito;
    };
    riepilogo.primaDiStampare = [this](bool&) {
        m_report.controllo(QStringLiteral("LabTotale"))->testo = QStringLiteral("Prodotti da contare: ") + QString::number(m_dati.conteggio());
    };
}

TfrmStampaFoglioConteggio::~TfrmStampaFoglioConteggio() = default;

void TfrmStampaFoglioConteggio::impostaFoglio(const QDate& data, const QString& ambito, const QVector<TRigaFoglioConteggio>& righe) {
    m_data = data;
    m_ambito = ambito;
    m_dati.svuota();
    for (const TRigaFoglioConteggio& riga : righe) m_dati.aggiungi({riga.categoria, riga.codice, riga.descrizione});
}

void TfrmStampaFoglioConteggio::Anteprima(const QDate& data, const QString& ambito, const QVector<TRigaFoglioConteggio>& righe) {
    impostaFoglio(data, ambito, righe);
    MostraAnteprima(m_report, m_proprietario, Titolo);
}
