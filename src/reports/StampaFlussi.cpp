#include "reports/StampaFlussi.h"

#include "reports/Anteprima.h"

#include "data/engine/Definizioni.h"
#include "gui/Messaggi.h"
#include "reports/StampaComune.h"

#include <QWidget>

namespace {
const double AltezzaDettaglio = 4.5;
const double CarattereLayout = 8;
const QString Titolo = QStringLiteral("Stampa riepilogativa giornaliera flussi da storico");
// QRLabelDiffGiorn keeps the layout's size.
const QStringList CampiDettaglio = {QStringLiteral("QRDBdataoggi"), QStringLiteral("QRLabelQta"),
                                    QStringLiteral("QRLabelPrezzo"), QStringLiteral("QRLabelPrezzoAcq")};
const QStringList CampiRiepilogo = {QStringLiteral("LabTotAcq"), QStringLiteral("LabTotVen"),
                                    QStringLiteral("QRlabDifferenza"), QStringLiteral("QRlabRicavo")};
}  // namespace

TfrmStampaFlussi::TfrmStampaFlussi(QWidget* proprietario)
    : QObject(proprietario), m_proprietario(proprietario), m_dati(Definizioni::CampiStorico()) {
    setObjectName(QStringLiteral("frmStampaFlussi"));
    TReport& r = m_report;
    PreparaReport(r, &m_dati, CarattereLayout, [this] { QuickRepBeforePrint(); });
    r.titoloLavoro = Titolo;
    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;

    TBanda& titolo = r.banda(TTipoBanda::Titolo, 16);
    titolo.etichetta(QStringLiteral("QRLabTitolo"), {0, 0, 140, 8}, Titolo).dimensione(12).grassetto();
    titolo.etichetta(QStringLiteral("QRLabTipo"), {141, 0, 49, 8}, QString()).dimensione(12).grassetto();
    titolo.etichetta(QStringLiteral("QRLabelData"), {0, 9, 190, 6}, QStringLiteral("Intervallo periodo")).dimensione(9);

    TBanda& intestazione = BandaIntestazione(r, 11, QStringLiteral("Pag."));
    intestazione.etichetta(QStringLiteral("QRLabel1"), {0, 5, 25, 5}, QStringLiteral("Data riferim.")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabQta"), {27, 5, 30, 5}, QStringLiteral("Q.tà movimentate"))
        .grassetto().allinea(destra);
    intestazione.etichetta(QStringLiteral("QRLabAcq"), {60, 5, 38, 5}, QStringLiteral("Totale acq.")).grassetto().allinea(destra);
    intestazione.etichetta(QStringLiteral("QRLabVen"), {100, 5, 38, 5}, QStringLiteral("Totale ven.")).grassetto().allinea(destra);
    intestazione.etichetta(QStringLiteral("QRLabDiff"), {140, 5, 50, 5}, QStringLiteral("Differenza giorn."))
        .grassetto().allinea(destra);
    intestazione.forma(QStringLiteral("QRShape2"), {0, 10.5, 190, 0.2}, TTipoForma::LineaOrizzontale);

    TBanda& dettaglio = r.banda(TTipoBanda::Dettaglio, AltezzaDettaglio);
    dettaglio.campoDati(QStringLiteral("QRDBdataoggi"), {0, 0, 25, AltezzaDettaglio}, Storico::DataOggi);
    dettaglio.etichetta(QStringLiteral("QRLabelQta"), {27, 0, 30, AltezzaDettaglio}, QString()).allinea(destra);
    dettaglio.etichetta(QStringLiteral("QRLabelPrezzoAcq"), {60, 0, 38, AltezzaDettaglio}, QString()).allinea(destra);
    dettaglio.etichetta(QStringLiteral("QRLabelPrezzo"), {100, 0, 38, AltezzaDettaglio}, QString()).allinea(destra);
    dettaglio.etichetta(QStringLiteral("QRLabelDiffGiorn"), {140, 0, 50, AltezzaDettaglio}, QString()).allinea(destra);

    TBanda& riepilogo = r.banda(TTipoBanda::Riepilogo, 16);
    riepilogo.forma(QStringLiteral("QRShape1"), {60, 0.5, 130, 0.2}, TTipoForma::LineaOrizzontale);
    riepilogo.etichetta(QStringLiteral("LabTotAcq"), {60, 1, 38, 4.5}, QString()).allinea(destra);
    riepilogo.etichetta(QStringLiteral("LabTotVen"), {100, 1, 38, 4.5}, QString()).allinea(destra);
    riepilogo.etichetta(QStringLiteral("QRlabDifferenza"), {100, 6, 90, 4.5}, QString()).allinea(destra);
    riepilogo.etichetta(QStringLiteral("QRlabRicavo"), {100, 11, 90, 4.5}, QString()).allinea(destra);

    titolo.primaDiStampare = [this](bool&) {
        m_report.controllo(QStringLiteral("QRLabelData"))->testo = TestoIntervalloPeriodo(DataDa, DataA);
    };
    dettaglio.primaDiStampare = [this](bool&) { DettaglioBeforePrint(); };
    riepilogo.primaDiStampare = [this](bool& stampa) { RiepilogoBeforePrint(stampa); };
}

TfrmStampaFlussi::~TfrmStampaFlussi() = default;

void TfrmStampaFlussi::QuickRepBeforePrint() {
    m_totAcq = 0;
    m_totVen = 0;
    m_vuoto = false;
    m_dati.avvia(QueryFlussi.testo, QueryFlussi.parametri, {Definizioni::Storico});
    m_dati.primo();
    m_iVen = m_dati.indice(SommaPrezzo);
    m_iAcq = m_dati.indice(SommaPrezzoAcq);
    m_iQta = m_dati.indice(SommaQuantita);
    const bool righe = EsistonoRighe(QueryFlussi);
    if (righe && (m_iVen < 0 || m_iAcq < 0 || m_iQta < 0))
        throw ErroreArchivio(QStringLiteral("Somme dei flussi non trovate nella query"));
    if (!righe) {
        MostraAttenzione(QStringLiteral("Nessuna operazione effettuata nel periodo di intervallo selezionato, cambiare "
                                        "i parametri e riprovare."));
        m_vuoto = true;
    }
    ApplicaCarattereStampa(m_report, CarattereStampa, CampiDettaglio, CarattereLayout,
                           m_report.banda(TTipoBanda::Dettaglio), AltezzaDettaglio);
    m_report.controllo(QStringLiteral("QRLabelDiffGiorn"))->area.setHeight(m_report.banda(TTipoBanda::Dettaglio)->altezza);
    DisponiRiepilogo(m_report, CarattereStampa, CarattereLayout, CampiRiepilogo);

    for (const char* n : {"QRLabAcq", "QRLabVen", "QRLabDiff", "QRLabelPrezzoAcq", "QRLabelPrezzo", "QRLabelDiffGiorn"})
        m_report.controllo(QString::fromLatin1(n))->visibile = !NonStampaPrezzi;
    for (const char* n : {"QRLabQta", "QRLabelQta"}) m_report.controllo(QString::fromLatin1(n))->visibile = !NonStampaQta;
}

void TfrmStampaFlussi::DettaglioBeforePrint() {
    const QVariant ven = m_dati.grezzo(m_iVen);
    const QVariant acq = m_dati.grezzo(m_iAcq);
    const QVariant qta = m_dati.grezzo(m_iQta);
    // A sum over empty fields is empty and prints blank.
    auto moneta = [](const QVariant& v) { return v.isNull() ? QString() : TestoMoneta(v.toDouble()); };
    m_report.controllo(QStringLiteral("QRLabelPrezzo"))->testo = moneta(ven);
    m_report.controllo(QStringLiteral("QRLabelPrezzoAcq"))->testo = moneta(acq);
    m_report.controllo(QStringLiteral("QRLabelQta"))->testo = TestoVisualizzato(qta);
    m_report.controllo(QStringLiteral("QRLabelDiffGiorn"))->testo = TestoMoneta(ven.toDouble() - acq.toDouble());
    m_totVen += ven.toDouble();
    m_totAcq += acq.toDouble();
}

void TfrmStampaFlussi::RiepilogoBeforePrint(bool& stampa) {
    if (m_vuoto) {
        stampa = false;
        return;
    }
    ScriviRiepilogo(m_report, CampiRiepilogo, QStringLiteral("QRShape1"), 130, NonStampaPrezzi, m_totAcq, m_totVen);
}

void TfrmStampaFlussi::Anteprima() { MostraAnteprima(m_report, m_proprietario, Titolo); }
