#include "reports/Riepilogo.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/OperazioneInCorso.h"
#include "reports/DatiRiepilogo.h"
#include "reports/StampaComune.h"
#include "ui_Riepilogo.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidgetItem>

namespace {

QString TestoQuantita(qint64 q) { return FormattaNumero(static_cast<double>(q), 0); }

}  // namespace

TFrmRiepilogo::TFrmRiepilogo(QWidget* genitore) : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmRiepilogo>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    connect(m_ui->sbAggiorna, &QPushButton::clicked, this, [this] { EseguiMostrandoErrori([this] { sbAggiornaClick(); }); });
    connect(m_ui->sbEsci, &QPushButton::clicked, this, [this] { EseguiMostrandoErrori([this] { sbEsciClick(); }); });
    QTableWidget* g = m_ui->GrigliaPiuVenduti;
    g->setColumnCount(4);
    g->setHorizontalHeaderLabels(
        {QStringLiteral("Codice"), QStringLiteral("Descrizione"), QStringLiteral("Q.tà venduta"), QStringLiteral("Vendite")});
    g->verticalHeader()->setVisible(false);
    g->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    EseguiMostrandoErrori([this] { FormCreate(); });
    CentraSulloSchermo(this);
}

TFrmRiepilogo::~TFrmRiepilogo() = default;

void TFrmRiepilogo::FormCreate() {
    TCursoreOccupato occupato;
    TArchivio& a = TArchivio::corrente();
    const QDate oggi = Oggi();
    const TMovimentiPeriodo giorno = MovimentiPeriodo(a, oggi, oggi);
    const TMovimentiPeriodo mese = MovimentiPeriodo(a, InizioMese(oggi), oggi);
    m_ui->LabTitoloOggi->setText(QStringLiteral("Oggi ") + oggi.toString(FormatoData));
    m_ui->LabTitoloMese->setText(QStringLiteral("Mese ") + oggi.toString(QStringLiteral("MM/yyyy")));
    m_ui->LabCarichiOggi->setText(TestoQuantita(giorno.carichi));
    m_ui->LabCarichiMese->setText(TestoQuantita(mese.carichi));
    m_ui->LabScarichiOggi->setText(TestoQuantita(giorno.scarichi));
    m_ui->LabScarichiMese->setText(TestoQuantita(mese.scarichi));
    m_ui->LabAcquistiOggi->setText(TestoMoneta(giorno.acquisti));
    m_ui->LabAcquistiMese->setText(TestoMoneta(mese.acquisti));
    m_ui->LabVenditeOggi->setText(TestoMoneta(giorno.vendite));
    m_ui->LabVenditeMese->setText(TestoMoneta(mese.vendite));
    m_ui->LabMargineOggi->setText(TestoMoneta(giorno.margine()));
    m_ui->LabMargineMese->setText(TestoMoneta(mese.margine()));
    m_ui->LabPeriodi->setText(QStringLiteral("Il mese va dal %1 a oggi; acquisti e vendite comprendono gli aggiustamenti, "
                                             "come nella stampa dei flussi.")
                                  .arg(InizioMese(oggi).toString(FormatoData)));

    const QDate inizio = InizioTrentaGiorni(oggi);
    m_ui->GBPiuVenduti->setTitle(QStringLiteral("I dieci prodotti più venduti negli ultimi 30 giorni (dal %1 al %2)")
                                     .arg(inizio.toString(FormatoData), oggi.toString(FormatoData)));
    const QVector<TProdottoVenduto> venduti = ProdottiPiuVenduti(a, inizio, oggi, 10);
    QTableWidget* g = m_ui->GrigliaPiuVenduti;
    g->setRowCount(static_cast<int>(venduti.size()));
    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;
    for (int r = 0; r < venduti.size(); ++r) {
        auto cella = [&](int c, const QString& testo, Qt::Alignment allineamento = Qt::AlignLeft | Qt::AlignVCenter) {
            auto* i = new QTableWidgetItem(testo);
            i->setTextAlignment(allineamento);
            g->setItem(r, c, i);
        };
        cella(0, venduti[r].nome);
        cella(1, venduti[r].descrizione);
        cella(2, TestoQuantita(venduti[r].quantita), destra);
        cella(3, TestoMoneta(venduti[r].vendite), destra);
    }
    g->resizeColumnToContents(0);
    g->resizeColumnToContents(2);
    g->resizeColumnToContents(3);

    const TValoreMagazzino valore = ValoreMagazzino(a);
    m_ui->LabValoreAcquisto->setText(TestoMoneta(valore.acquisto));
    m_ui->LabValoreVendita->setText(TestoMoneta(valore.vendita));
}

void TFrmRiepilogo::sbAggiornaClick() { FormCreate(); }

void TFrmRiepilogo::sbEsciClick() { close(); }
