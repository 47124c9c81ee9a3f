#include "reports/StampaOrdine.h"

#include "data/Convenzioni.h"
#include "reports/Anteprima.h"
#include "reports/StampaComune.h"

#include <QWidget>

namespace {
const double AltezzaDettaglio = 5;
const double CarattereLayout = 9;
const QString Titolo = QStringLiteral("Ordine al produttore");
}  // namespace

TfrmStampaOrdine::TfrmStampaOrdine(QWidget* proprietario)
    : QObject(proprietario),
      m_proprietario(proprietario),
      m_dati(QStringList{QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE"), QStringLiteral("SALDO"),
                         QStringLiteral("QUANTITA"), QStringLiteral("PREZZO"), QStringLiteral("IMPORTO")}) {
    setObjectName(QStringLiteral("frmStampaOrdine"));
    TReport& r = m_report;
    PreparaReport(r, &m_dati, CarattereLayout, [] {});
    r.titoloLavoro = Titolo;
    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;

    TBanda& titolo = r.banda(TTipoBanda::Titolo, 36);
    titolo.etichetta(QStringLiteral("LabTitolo"), {0, 0, 130, 8}, Titolo).dimensione(14).grassetto();
    titolo.etichetta(QStringLiteral("LabData"), {130, 0, 60, 8}, QString()).dimensione(10).allinea(destra);
    titolo.etichetta(QStringLiteral("LabProduttore"), {0, 10, 190, 7}, QString()).dimensione(12).grassetto();
    titolo.etichetta(QStringLiteral("LabIndirizzo"), {0, 17, 190, 6}, QString()).dimensione(10);
    titolo.etichetta(QStringLiteral("LabTelefono"), {0, 23, 95, 6}, QString()).dimensione(10);
    titolo.etichetta(QStringLiteral("LabPiva"), {95, 23, 95, 6}, QString()).dimensione(10);

    TBanda& intestazione = BandaIntestazione(r, 11, QStringLiteral("Pag."));
    struct Colonna {
        const char* titolo;
        const char* controllo;
        const char* campo;
        double x, larghezza;
        bool aDestra;
    };
    const Colonna colonne[] = {{"Codice", "QRDBcodice", "CODICE", 0, 30, false},
                               {"Descrizione", "QRDBdescrizione", "DESCRIZIONE", 31, 69, false},
                               {"Saldo", "QRDBsaldo", "SALDO", 101, 15, true},
                               {"Da ordinare", "QRDBquantita", "QUANTITA", 117, 20, true},
                               {"Prezzo acq.", "QRDBprezzo", "PREZZO", 138, 24, true},
                               {"Importo", "QRDBimporto", "IMPORTO", 163, 27, true}};
    TBanda& dettaglio = r.banda(TTipoBanda::Dettaglio, AltezzaDettaglio);
    int i = 0;
    for (const Colonna& c : colonne) {
        const Qt::Alignment a = c.aDestra ? destra : Qt::AlignLeft | Qt::AlignVCenter;
        intestazione.etichetta(QStringLiteral("QRLabel%1").arg(++i), {c.x, 5, c.larghezza, 5}, QString::fromUtf8(c.titolo))
            .grassetto()
            .allinea(a);
        dettaglio.campoDati(QString::fromLatin1(c.controllo), {c.x, 0, c.larghezza, AltezzaDettaglio},
                            QString::fromLatin1(c.campo))
            .allinea(a);
    }
    intestazione.forma(QStringLiteral("QRShape1"), {0, 10.5, 190, 0.2}, TTipoForma::LineaOrizzontale);
    r.controllo(QStringLiteral("QRDBprezzo"))->allaStampa = [this](QString& t) {
        t = TestoMoneta(m_dati.valore(QStringLiteral("PREZZO")).toDouble());
    };
    r.controllo(QStringLiteral("QRDBimporto"))->allaStampa = [this](QString& t) {
        t = TestoMoneta(m_dati.valore(QStringLiteral("IMPORTO")).toDouble());
    };

    TBanda& riepilogo = r.banda(TTipoBanda::Riepilogo, 8);
    riepilogo.forma(QStringLiteral("QRShape2"), {117, 0.5, 73, 0.2}, TTipoForma::LineaOrizzontale);
    riepilogo.etichetta(QStringLiteral("LabTotQuant"), {101, 1.5, 36, 5}, QString()).grassetto().allinea(destra);
    riepilogo.etichetta(QStringLiteral("LabTotale"), {138, 1.5, 52, 5}, QString()).grassetto().allinea(destra);

    titolo.primaDiStampare = [this](bool&) {
        m_report.controllo(QStringLiteral("LabData"))->testo = QStringLiteral("Data: ") + m_data.toString(FormatoData);
        m_report.controllo(QStringLiteral("LabProduttore"))->testo = m_gruppo.nome;
        m_report.controllo(QStringLiteral("LabIndirizzo"))->testo = m_gruppo.indirizzo;
        m_report.controllo(QStringLiteral("LabTelefono"))->testo =
            m_gruppo.telefono.isEmpty() ? QString() : QStringLiteral("Tel. ") + m_gruppo.telefono;
        m_report.controllo(QStringLiteral("LabPiva"))->testo =
            m_gruppo.piva.isEmpty() ? QString() : QStringLiteral("P. IVA ") + m_gruppo.piva;
    };
    riepilogo.primaDiStampare = [this](bool&) {
        qint64 pezzi = 0;
        for (const TRigaProposta& riga : m_gruppo.righe)
            if (riga.proposta > 0) pezzi += riga.proposta;
        m_report.controllo(QStringLiteral("LabTotQuant"))->testo = QStringLiteral("Pezzi: ") + QString::number(pezzi);
        m_report.controllo(QStringLiteral("LabTotale"))->testo = QStringLiteral("Totale: ") + TestoMoneta(m_totale);
    };
}

TfrmStampaOrdine::~TfrmStampaOrdine() = default;

void TfrmStampaOrdine::impostaOrdine(const TGruppoProduttore& gruppo, const QDate& data) {
    m_gruppo = gruppo;
    m_data = data;
    m_dati.svuota();
    m_totale = 0;
    for (const TRigaProposta& riga : gruppo.righe) {
        if (riga.proposta <= 0) continue;
        const double importo = riga.prezzo * static_cast<double>(riga.proposta);
        m_totale += importo;
        m_dati.aggiungi({riga.nome, riga.descrizione, riga.saldo, riga.proposta, riga.prezzo, importo});
    }
}

void TfrmStampaOrdine::Anteprima() { MostraAnteprima(m_report, m_proprietario, Titolo); }
