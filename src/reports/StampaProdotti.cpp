#include "reports/StampaProdotti.h"

#include "reports/Anteprima.h"

#include "data/Convenzioni.h"
#include "data/engine/Definizioni.h"
#include "reports/StampaComune.h"

#include <QWidget>

namespace {
const double CarattereLayout = 7;
const double AltezzaDettaglio = 5;   // a thin rule, then the first line
const double AltezzaFiglia = 4.5;
const double AltezzaRiepilogo = 6;
const double IntestazioneUnaRiga = 10;
const double IntestazioneDueRighe = 15.5;
const QStringList CampiPrimaRiga = {QStringLiteral("LabGeneProduttore"), QStringLiteral("QRDBnome"),
                                    QStringLiteral("QRDBdescrizione"),   QStringLiteral("QRDBscarichi"),
                                    QStringLiteral("QRDBcarichi"),       QStringLiteral("QRDBquantita")};
const QStringList CampiSecondaRiga = {
    QStringLiteral("QRDBgiacenzamax"),    QStringLiteral("QRDBdataoggi"),       QStringLiteral("QRDBdatadistinta"),
    QStringLiteral("QRDBnumdistinta"),    QStringLiteral("QRDBprezzo2"),        QStringLiteral("QRDBprezzo"),
    QStringLiteral("QRDBtotalevendite"),  QStringLiteral("QRDBtotaleacquisti"), QStringLiteral("QRLabRimanenzeTot"),
    QStringLiteral("QRLABdifferenza")};
const QStringList CampiRiepilogo = {QStringLiteral("QRLABtottotvendite"), QStringLiteral("QRLABtottotacquisti"),
                                    QStringLiteral("QRLABtottotrimanenze"), QStringLiteral("QRLABtottotdifferenza")};
}  // namespace

TfrmStampaProdotti::TfrmStampaProdotti(QWidget* proprietario)
    : QObject(proprietario), m_proprietario(proprietario), m_dati(&m_query, Definizioni::CampiProdotti()) {
    setObjectName(QStringLiteral("frmStampaProdotti"));
    TReport& r = m_report;
    PreparaReport(r, &m_dati, CarattereLayout, [this] { QuickRepBeforePrint(); });
    r.titoloLavoro = caption();
    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;

    TBanda& titolo = r.banda(TTipoBanda::Titolo, 10);
    titolo.etichetta(QStringLiteral("QRLabTitolo"), {0, 0, 190, 8}, QStringLiteral("Elenco prodotti"))
        .dimensione(12)
        .grassetto();

    TBanda& intestazione = BandaIntestazione(r, IntestazioneDueRighe, QStringLiteral("Pag."));
    intestazione.etichetta(QStringLiteral("QRLabel1"), {0, 5, 35, 5}, QStringLiteral("Produttore")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel2"), {36, 5, 30, 5}, QStringLiteral("Codice prodotto")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel3"), {67, 5, 63, 5}, QStringLiteral("Descrizione prodotto")).grassetto();
    intestazione.etichetta(QStringLiteral("QRLabel4"), {131, 5, 34, 5}, QStringLiteral("Scarichi/carichi"))
        .grassetto()
        .allinea(destra);
    intestazione.etichetta(QStringLiteral("QRLabel5"), {166, 5, 24, 5}, QStringLiteral("Saldo")).grassetto().allinea(destra);
    intestazione.etichetta(QStringLiteral("QRLabel6"), {0, 10, 16, 5}, QStringLiteral("Gg.giacenza")).grassetto();
    intestazione
        .etichetta(QStringLiteral("QRLabel7"), {17, 10, 79, 5},
                   QStringLiteral("Data entrata / data e num. distinta / prezzo vend. / acq."))
        .grassetto();
    intestazione
        .etichetta(QStringLiteral("QRLabel8"), {96, 10, 94, 5},
                   QStringLiteral("Ricavi  -      costi +   riman = differenza"))
        .grassetto()
        .allinea(destra);
    intestazione.forma(QStringLiteral("QRShape2"), {0, IntestazioneDueRighe - 0.3, 190, 0.2},
                       TTipoForma::LineaOrizzontale);

    TBanda& dettaglio = r.banda(TTipoBanda::Dettaglio, AltezzaDettaglio);
    dettaglio.forma(QStringLiteral("QRShape1"), {0, 0.2, 190, 0.2}, TTipoForma::LineaOrizzontale).spessore = 0.1;
    const double y = 0.5, h = AltezzaDettaglio - y;
    dettaglio.etichetta(QStringLiteral("LabGeneProduttore"), {0, y, 35, h}, QString());
    dettaglio.campoDati(QStringLiteral("QRDBnome"), {36, y, 30, h}, Prodotti::Nome);
    dettaglio.campoDati(QStringLiteral("QRDBdescrizione"), {67, y, 63, h}, Prodotti::Descrizione);
    dettaglio.campoDati(QStringLiteral("QRDBscarichi"), {131, y, 16, h}, Prodotti::Scarichi).allinea(destra);
    dettaglio.campoDati(QStringLiteral("QRDBcarichi"), {148, y, 17, h}, Prodotti::Carichi).allinea(destra);
    dettaglio.campoDati(QStringLiteral("QRDBquantita"), {166, y, 24, h}, Prodotti::Quantita).allinea(destra);

    TBanda& figlia = r.banda(TTipoBanda::Figlia, AltezzaFiglia);
    const double hf = AltezzaFiglia;
    figlia.campoDati(QStringLiteral("QRDBgiacenzamax"), {0, 0, 10, hf}, Prodotti::GiacenzaMax);
    figlia.campoDati(QStringLiteral("QRDBdataoggi"), {11, 0, 21, hf}, Prodotti::DataOggi);
    figlia.campoDati(QStringLiteral("QRDBdatadistinta"), {33, 0, 21, hf}, Prodotti::DataDistinta);
    figlia.campoDati(QStringLiteral("QRDBnumdistinta"), {55, 0, 10, hf}, Prodotti::NumDistinta);
    figlia.campoDati(QStringLiteral("QRDBprezzo2"), {66, 0, 15, hf}, Prodotti::Prezzo2).allinea(destra);
    figlia.campoDati(QStringLiteral("QRDBprezzo"), {82, 0, 14, hf}, Prodotti::Prezzo).allinea(destra);
    figlia.campoDati(QStringLiteral("QRDBtotalevendite"), {97, 0, 20, hf}, Prodotti::TotaleVendite).allinea(destra);
    figlia.etichetta(QStringLiteral("QRLabMeno"), {118, 0, 3, hf}, QStringLiteral("-"));
    figlia.campoDati(QStringLiteral("QRDBtotaleacquisti"), {121, 0, 20, hf}, Prodotti::TotaleAcquisti).allinea(destra);
    figlia.etichetta(QStringLiteral("QRLabPiu"), {142, 0, 3, hf}, QStringLiteral("+"));
    figlia.etichetta(QStringLiteral("QRLabRimanenzeTot"), {145, 0, 19, hf}, QString()).allinea(destra);
    figlia.etichetta(QStringLiteral("QRLabUguale"), {165, 0, 3, hf}, QStringLiteral("="));
    figlia.etichetta(QStringLiteral("QRLABdifferenza"), {168, 0, 22, hf}, QString()).allinea(destra);

    TBanda& riepilogo = r.banda(TTipoBanda::Riepilogo, AltezzaRiepilogo);
    riepilogo.forma(QStringLiteral("QRShape3"), {0, 0.5, 190, 0.2}, TTipoForma::LineaOrizzontale);
    // Four boxes side by side with 2 mm between them, so that totals that
    // fill their boxes never run into each other.
    for (int i = 0; i < CampiRiepilogo.size(); ++i)
        riepilogo.etichetta(CampiRiepilogo[i], {i * 47.5 + 2, 1, 45.5, AltezzaRiepilogo - 1}, QString()).allinea(destra);

    // Prices and amounts with two decimals and grouping, no currency sign.
    for (const auto& [nome, indice] : {std::pair{"QRDBprezzo2", &m_iPrezzo2}, std::pair{"QRDBprezzo", &m_iPrezzo},
                                       std::pair{"QRDBtotalevendite", &m_iVendite},
                                       std::pair{"QRDBtotaleacquisti", &m_iAcquisti}})
        r.controllo(QString::fromLatin1(nome))->allaStampa = [this, indice](QString& t) {
            t = FormattaNumero(valore(*indice), 2);
        };
    r.controllo(QStringLiteral("QRLabTitolo"))->allaStampa = [this](QString& t) {
        if (!Produttore.isEmpty()) t += QStringLiteral(", per produttore ") + Produttore;
        if (!Prodotto.isEmpty()) t += QStringLiteral(", per prodotto ") + Prodotto;
        if (IdCategoria > 0) t += QStringLiteral(", per categoria ") + Categoria;
    };
    intestazione.primaDiStampare = [this](bool&) {
        // Without the second line the headings keep their first line only.
        const double altezza = NonStampaSecondaRiga ? IntestazioneUnaRiga : IntestazioneDueRighe;
        TBanda* b = m_report.banda(TTipoBanda::IntestazioneColonne);
        b->impostaAltezza(altezza);
        m_report.controllo(QStringLiteral("QRShape2"))->area.moveTop(altezza - 0.3);
    };
    m_cProduttore = r.controllo(QStringLiteral("LabGeneProduttore"));
    m_cRimanenze = r.controllo(QStringLiteral("QRLabRimanenzeTot"));
    m_cDifferenza = r.controllo(QStringLiteral("QRLABdifferenza"));
    dettaglio.primaDiStampare = [this](bool&) { DettaglioBeforePrint(); };
    figlia.primaDiStampare = [this](bool& stampa) { FigliaBeforePrint(stampa); };
    riepilogo.primaDiStampare = [this](bool&) { RiepilogoBeforePrint(); };
}

TfrmStampaProdotti::~TfrmStampaProdotti() = default;

void TfrmStampaProdotti::QuickRepBeforePrint() {
    m_totVendite = 0;
    m_totAcquisti = 0;
    m_totRimanenze = 0;
    m_nomi.svuota();
    ApriDatiStampa(m_query, m_dati, QueryProdottiStampa(Prodotto, IdProduttore, IdCategoria, CampoOrdine, InvertiOrdine),
                   QStringLiteral("Nessun prodotto da stampare."));
    m_iProduttore = m_dati.indice(Prodotti::IdProduttore);
    m_iQuantita = m_dati.indice(Prodotti::Quantita);
    m_iPrezzo = m_dati.indice(Prodotti::Prezzo);
    m_iPrezzo2 = m_dati.indice(Prodotti::Prezzo2);
    m_iVendite = m_dati.indice(Prodotti::TotaleVendite);
    m_iAcquisti = m_dati.indice(Prodotti::TotaleAcquisti);
    ApplicaCarattereStampaRighe(m_report, CarattereStampa, CarattereLayout,
                                {{TTipoBanda::Dettaglio, AltezzaDettaglio, CampiPrimaRiga},
                                 {TTipoBanda::Figlia, AltezzaFiglia, CampiSecondaRiga},
                                 {TTipoBanda::Riepilogo, AltezzaRiepilogo, CampiRiepilogo}});
    // The signs sit on the second line at its height.
    for (const char* n : {"QRLabMeno", "QRLabPiu", "QRLabUguale"})
        m_report.controllo(QString::fromLatin1(n))->area.setHeight(m_report.banda(TTipoBanda::Figlia)->altezza);
}

void TfrmStampaProdotti::DettaglioBeforePrint() {
    m_cProduttore->testo =
        NonStampaProduttore ? QString() : ProduttoreDellaRiga(m_nomi, m_query.value(m_iProduttore));
}

void TfrmStampaProdotti::FigliaBeforePrint(bool& stampa) {
    // Skipped without the second line, but its amounts still reach the totals.
    if (NonStampaSecondaRiga) stampa = false;
    const double rimanenze = valore(m_iQuantita) * valore(m_iPrezzo);
    const double vendite = valore(m_iVendite), acquisti = valore(m_iAcquisti);
    m_totVendite += vendite;
    m_totAcquisti += acquisti;
    m_totRimanenze += rimanenze;
    m_cRimanenze->testo = FormattaNumero(rimanenze, 2);
    m_cDifferenza->testo = TestoMoneta(vendite - acquisti + rimanenze);
}

void TfrmStampaProdotti::RiepilogoBeforePrint() {
    const double differenza = m_totVendite - m_totAcquisti + m_totRimanenze;
    const std::pair<const QString*, QString> testi[] = {
        {&CampiRiepilogo[0], QStringLiteral("TOT.VEND: ") + TestoMoneta(m_totVendite)},
        {&CampiRiepilogo[1], QStringLiteral("TOT.ACQ: ") + TestoMoneta(m_totAcquisti)},
        {&CampiRiepilogo[2], QStringLiteral("TOT.RIMAN: ") + TestoMoneta(m_totRimanenze)},
        {&CampiRiepilogo[3], QStringLiteral("DIFFER: ") + TestoMoneta(differenza)}};
    for (const auto& [nome, testo] : testi) m_report.controllo(*nome)->testo = testo;
}

void TfrmStampaProdotti::Anteprima() { MostraAnteprima(m_report, m_proprietario, caption()); }
