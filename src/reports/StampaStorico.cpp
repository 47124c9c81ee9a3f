#include "reports/StampaStorico.h"

#include "reports/Anteprima.h"

#include "data/engine/Definizioni.h"
#include "gui/Messaggi.h"
#include "data/engine/Definizioni.h"
#include "reports/StampaComune.h"

#include <QWidget>

namespace {
const double AltezzaDettaglio = 4;
const double CarattereLayout = 7;
const QString Titolo = QStringLiteral("Stampa riepilogativa storico operazioni effettuate");
const QStringList CampiDettaglio = {
    QStringLiteral("QRDBazione"),       QStringLiteral("QRDBdataoggi"),     QStringLiteral("QRDBquantita"),
    QStringLiteral("QRDBnome"),         QStringLiteral("QRDBDescrizione"),  QStringLiteral("QRDBidproduttore"),
    QStringLiteral("QRDBidcategoria"),  QStringLiteral("QRDBPrezzoAcq"),    QStringLiteral("QRDBPrezzoVen"),
    QStringLiteral("QRDBPrezzoCar")};
const QStringList CampiRiepilogo = {QStringLiteral("LabTotAcq"), QStringLiteral("LabTotVen"),
                                    QStringLiteral("QRlabDifferenza"), QStringLiteral("QRLabRicavo")};

struct Colonna {
    const char* intestazione;
    const char* etichetta;
    const char* controllo;
    const QString* campo;
    double x, larghezza;
    bool aDestra;
};
}  // namespace

TfrmStampaStorico::TfrmStampaStorico(QWidget* proprietario)
    : QObject(proprietario), m_proprietario(proprietario), m_dati(Definizioni::CampiStorico()) {
    setObjectName(QStringLiteral("frmStampaStorico"));
    TReport& r = m_report;
    PreparaReport(r, &m_dati, CarattereLayout, [this] { QuickRepBeforePrint(); });
    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment sinistra = Qt::AlignLeft | Qt::AlignVCenter;

    TBanda& titolo = r.banda(TTipoBanda::Titolo, 16);
    titolo.etichetta(QStringLiteral("QRLabTitolo"), {0, 0, 140, 8}, Titolo).dimensione(12).grassetto();
    titolo.etichetta(QStringLiteral("QRLabTipo"), {141, 0, 49, 8}, QString()).dimensione(12).grassetto();
    titolo.etichetta(QStringLiteral("QRLabelData"), {0, 9, 190, 6}, QStringLiteral("Intervallo periodo")).dimensione(9);

    TBanda& intestazione = BandaIntestazione(r, 11, QStringLiteral("Pag."));
    const Colonna colonne[] = {
        {"A", "QRLabel1", "QRDBazione", &Storico::Azione, 0, 5, false},
        {"Data op.", "QRLabel2", "QRDBdataoggi", &Storico::DataOggi, 6, 18, false},
        {"Qtà", "QRLabel3", "QRDBquantita", &Storico::Quantita, 25, 8, true},
        {"Nome", "QRLabel4", "QRDBnome", &Storico::Nome, 35, 22, false},
        {"Descrizione", "QRLabel5", "QRDBDescrizione", &Storico::Descrizione, 58, 39, false},
        {"Produttore", "QRLabProduttore", "QRDBidproduttore", &Storico::IdProduttore, 98, 23, false},
        {"Categoria", "QRLabCategoria", "QRDBidcategoria", &Storico::IdCategoria, 122, 17, false},
        {"Prezzo a.", "QRLabPrezzoAcq", "QRDBPrezzoAcq", &Storico::PrezzoAcq, 140, 16, true},
        {"Prezzo v.", "QRLabPrezzoVen", "QRDBPrezzoVen", &Storico::Prezzo, 157, 16, true},
        {"Prez.c.", "QRLabPrezzoCar", "QRDBPrezzoCar", &Storico::PrezzoCar, 174, 16, true}};
    TBanda& dettaglio = r.banda(TTipoBanda::Dettaglio, AltezzaDettaglio);
    for (const Colonna& c : colonne) {
        intestazione.etichetta(QString::fromLatin1(c.etichetta), {c.x, 5, c.larghezza, 5}, QString::fromUtf8(c.intestazione))
            .grassetto()
            .allinea(c.aDestra ? destra : sinistra);
        dettaglio.campoDati(QString::fromLatin1(c.controllo), {c.x, 0, c.larghezza, AltezzaDettaglio}, *c.campo)
            .allinea(c.aDestra ? destra : sinistra);
    }
    intestazione.forma(QStringLiteral("QRShape2"), {0, 10.5, 190, 0.2}, TTipoForma::LineaOrizzontale);

    TBanda& riepilogo = r.banda(TTipoBanda::Riepilogo, 16);
    riepilogo.forma(QStringLiteral("QRShape1"), {140, 0.5, 33, 0.2}, TTipoForma::LineaOrizzontale);
    riepilogo.etichetta(QStringLiteral("LabTotAcq"), {120, 1, 36, 4.5}, QString()).allinea(destra);
    // The sale total has the "Prezzo v." column only: the purchase total ends
    // where that column starts, and a wider box would let the two run into
    // each other (a total too wide for its box is painted smaller).
    riepilogo.etichetta(QStringLiteral("LabTotVen"), {157, 1, 16, 4.5}, QString()).allinea(destra);
    riepilogo.etichetta(QStringLiteral("QRlabDifferenza"), {100, 6, 90, 4.5}, QString()).allinea(destra);
    riepilogo.etichetta(QStringLiteral("QRLabRicavo"), {100, 11, 90, 4.5}, QString()).allinea(destra);

    // "C", "S", "A" for the three actions, "I" for a count difference; any
    // other value as stored.
    r.controllo(QStringLiteral("QRDBazione"))->allaStampa = [](QString& t) {
        if (t == Azioni::Carico) t = QStringLiteral("C");
        else if (t == Azioni::Scarico) t = QStringLiteral("S");
        else if (t == Azioni::Aggiustamento) t = QStringLiteral("A");
        else if (t == Azioni::Inventario) t = QStringLiteral("I");
    };
    r.controllo(QStringLiteral("QRDBidproduttore"))->allaStampa = [this](QString& t) {
        const qint64 id = m_dati.grezzo(m_iProduttore).toLongLong();
        t = id == 0 ? QString() : m_nomi.produttore(id);
    };
    r.controllo(QStringLiteral("QRDBidcategoria"))->allaStampa = [this](QString& t) {
        const qint64 id = m_dati.grezzo(m_iCategoria).toLongLong();
        t = id == 0 ? QString() : m_nomi.categoria(id);
    };
    r.controllo(QStringLiteral("QRDBPrezzoAcq"))->allaStampa = [this](QString& t) { t = TestoMoneta(valore(m_iAcq)); };
    r.controllo(QStringLiteral("QRDBPrezzoVen"))->allaStampa = [this](QString& t) { t = TestoMoneta(valore(m_iVen)); };
    r.controllo(QStringLiteral("QRDBPrezzoCar"))->allaStampa = [this](QString& t) { t = TestoMoneta(valore(m_iCar)); };
    titolo.primaDiStampare = [this](bool&) {
        m_report.controllo(QStringLiteral("QRLabelData"))->testo = TestoIntervalloPeriodo(DataDa, DataA);
    };
    dettaglio.primaDiStampare = [this](bool&) { DettaglioBeforePrint(); };
    riepilogo.primaDiStampare = [this](bool& stampa) { RiepilogoBeforePrint(stampa); };
}

TfrmStampaStorico::~TfrmStampaStorico() = default;

double TfrmStampaStorico::valore(int indice) const { return m_dati.grezzo(indice).toDouble(); }

void TfrmStampaStorico::QuickRepBeforePrint() {
    m_totAcq = 0;
    m_totVen = 0;
    m_vuoto = false;
    m_nomi.svuota();
    m_dati.avvia(QueryStorico.testo, QueryStorico.parametri, {Definizioni::Storico});
    m_dati.primo();
    m_iAcq = m_dati.indice(Storico::PrezzoAcq);
    m_iVen = m_dati.indice(Storico::Prezzo);
    m_iCar = m_dati.indice(Storico::PrezzoCar);
    m_iProduttore = m_dati.indice(Storico::IdProduttore);
    m_iCategoria = m_dati.indice(Storico::IdCategoria);
    if (!EsistonoRighe(QueryStorico)) {
        MostraAttenzione(QStringLiteral("Nessuna operazione effettuata nel periodo di intervallo selezionato, cambiare "
                                        "i parametri e riprovare."));
        m_vuoto = true;
    }
    ApplicaCarattereStampa(m_report, CarattereStampa, CampiDettaglio, CarattereLayout,
                           m_report.banda(TTipoBanda::Dettaglio), AltezzaDettaglio);
    DisponiRiepilogo(m_report, CarattereStampa, CarattereLayout, CampiRiepilogo);

    const bool prezzi = !NonStampaPrezzi;
    const bool carico = prezzi && !NonStampaPrezzoCarico;
    for (const auto& [nomi, visibile] :
         {std::pair{QStringList{QStringLiteral("QRLabProduttore"), QStringLiteral("QRDBidproduttore")}, !NonStampaProduttore},
          std::pair{QStringList{QStringLiteral("QRLabCategoria"), QStringLiteral("QRDBidcategoria")}, !NonStampaCategoria},
          std::pair{QStringList{QStringLiteral("QRLabPrezzoAcq"), QStringLiteral("QRDBPrezzoAcq"),
                                QStringLiteral("QRLabPrezzoVen"), QStringLiteral("QRDBPrezzoVen")},
                    prezzi},
          std::pair{QStringList{QStringLiteral("QRLabPrezzoCar"), QStringLiteral("QRDBPrezzoCar")}, carico}})
        for (const QString& n : nomi) m_report.controllo(n)->visibile = visibile;
}

void TfrmStampaStorico::DettaglioBeforePrint() {
    m_totAcq += valore(m_iAcq);
    m_totVen += valore(m_iVen);
}

void TfrmStampaStorico::RiepilogoBeforePrint(bool& stampa) {
    if (m_vuoto) {
        stampa = false;
        return;
    }
    ScriviRiepilogo(m_report, CampiRiepilogo, QStringLiteral("QRShape1"), 33, NonStampaPrezzi, m_totAcq, m_totVen);
}

void TfrmStampaStorico::Anteprima() { MostraAnteprima(m_report, m_proprietario, Titolo); }
