#include "reports/PropostaOrdine.h"

#include "data/Convenzioni.h"
#include "data/FoglioLavoro.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/Messaggi.h"
#include "gui/ServiziDesktop.h"
#include "reports/StampaComune.h"
#include "reports/StampaOrdine.h"
#include "ui_PropostaOrdine.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidgetItem>

namespace {

enum Colonna { ColCodice, ColDescrizione, ColSaldo, ColAlert, ColObiettivo, ColProposta, ColPrezzo, NumColonne };

}  // namespace

TFrmPropostaOrdine::TFrmPropostaOrdine(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmPropostaOrdine>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // The multiple reads and shows a decimal comma whatever the machine's locale.
    m_ui->spMultiplo->setLocale(LocaleItaliano());
    QTableWidget* g = m_ui->GrigliaProposta;
    g->setColumnCount(NumColonne);
    g->setHorizontalHeaderLabels({QStringLiteral("Codice"), QStringLiteral("Descrizione"), QStringLiteral("Saldo"),
                                  QStringLiteral("Q.tà alert"), QStringLiteral("Scorta obiettivo"),
                                  QStringLiteral("Da ordinare"), QStringLiteral("Prezzo acq.")});
    g->verticalHeader()->setVisible(false);
    g->horizontalHeader()->setSectionResizeMode(ColDescrizione, QHeaderView::Stretch);
    connect(m_ui->sbRicalcola, &QPushButton::clicked, this, [this] { EseguiMostrandoErrori([this] { sbRicalcolaClick(); }); });
    connect(m_ui->sbStampa, &QPushButton::clicked, this, [this] { EseguiMostrandoErrori([this] { sbStampaClick(); }); });
    connect(m_ui->sbEsporta, &QPushButton::clicked, this, [this] { EseguiMostrandoErrori([this] { sbEsportaClick(); }); });
    connect(m_ui->sbMail, &QPushButton::clicked, this, [this] { EseguiMostrandoErrori([this] { sbMailClick(); }); });
    connect(m_ui->sbEsci, &QPushButton::clicked, this, [this] { EseguiMostrandoErrori([this] { sbEsciClick(); }); });
    connect(m_ui->cbProduttore, &QComboBox::currentIndexChanged, this,
            [this] { EseguiMostrandoErrori([this] { cbProduttoreChange(); }); });
    connect(g, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* c) { EseguiMostrandoErrori([this, c] { CellaCambiata(c); }); });
    EseguiMostrandoErrori([this] { sbRicalcolaClick(); });
    CentraSulloSchermo(this);
}

TFrmPropostaOrdine::~TFrmPropostaOrdine() = default;

int TFrmPropostaOrdine::gruppoCorrente() const { return m_ui->cbProduttore->currentIndex(); }

void TFrmPropostaOrdine::sbRicalcolaClick() {
    m_gruppi = PropostaOrdine(TArchivio::corrente(), m_ui->spMultiplo->value());
    m_mostrando = true;
    m_ui->cbProduttore->clear();
    for (const TGruppoProduttore& gr : m_gruppi)
        m_ui->cbProduttore->addItem(QStringLiteral("%1 (%2)").arg(gr.nome).arg(gr.righe.size()));
    m_mostrando = false;
    m_ui->sbEsporta->setEnabled(!m_gruppi.isEmpty());
    MostraGruppo();
}

void TFrmPropostaOrdine::cbProduttoreChange() {
    if (!m_mostrando) MostraGruppo();
}

void TFrmPropostaOrdine::MostraGruppo() {
    QTableWidget* g = m_ui->GrigliaProposta;
    m_mostrando = true;
    const int i = gruppoCorrente();
    const QVector<TRigaProposta> righe = i >= 0 && i < m_gruppi.size() ? m_gruppi[i].righe : QVector<TRigaProposta>();
    g->setRowCount(static_cast<int>(righe.size()));
    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;
    for (int r = 0; r < righe.size(); ++r) {
        const TRigaProposta& p = righe[r];
        auto cella = [&](int c, const QString& testo, bool modificabile, Qt::Alignment a) {
            auto* it = new QTableWidgetItem(testo);
            it->setTextAlignment(a);
            if (!modificabile) it->setFlags(it->flags() & ~Qt::ItemIsEditable);
            g->setItem(r, c, it);
        };
        cella(ColCodice, p.nome, false, Qt::AlignLeft | Qt::AlignVCenter);
        cella(ColDescrizione, p.descrizione, false, Qt::AlignLeft | Qt::AlignVCenter);
        cella(ColSaldo, QString::number(p.saldo), false, destra);
        cella(ColAlert, QString::number(p.qtaAlert), false, destra);
        cella(ColObiettivo, QString::number(p.obiettivo), true, destra);
        cella(ColProposta, QString::number(p.proposta), true, destra);
        cella(ColPrezzo, TestoMoneta(p.prezzo), false, destra);
    }
    g->resizeColumnToContents(ColCodice);
    m_mostrando = false;
    MostraTotale();
    AggiornaComandi();
}

void TFrmPropostaOrdine::CellaCambiata(QTableWidgetItem* cella) {
    if (m_mostrando) return;
    const int i = gruppoCorrente();
    if (i < 0 || i >= m_gruppi.size() || cella->row() >= m_gruppi[i].righe.size()) return;
    TRigaProposta& p = m_gruppi[i].righe[cella->row()];
    bool ok = false;
    const qlonglong v = cella->text().trimmed().toLongLong(&ok);
    if (cella->column() == ColObiettivo && ok && v >= 0) {
        p.obiettivo = v;
        p.proposta = QuantitaProposta(p.saldo, p.obiettivo);
    } else if (cella->column() == ColProposta && ok && v >= 0) {
        p.proposta = v;
    } else if (cella->column() == ColObiettivo || cella->column() == ColProposta) {
        MostraAttenzione(QStringLiteral("'%1' non è una quantità valida: indicare un numero intero di pezzi, 0 o più.")
                             .arg(cella->text()));
    }
    // The row shows the values kept, also after a refused text.
    m_mostrando = true;
    m_ui->GrigliaProposta->item(cella->row(), ColObiettivo)->setText(QString::number(p.obiettivo));
    m_ui->GrigliaProposta->item(cella->row(), ColProposta)->setText(QString::number(p.proposta));
    m_mostrando = false;
    MostraTotale();
}

void TFrmPropostaOrdine::MostraTotale() {
    const int i = gruppoCorrente();
    if (i < 0 || i >= m_gruppi.size()) {
        m_ui->LabTotale->setText(QStringLiteral("Nessun prodotto da riordinare."));
        return;
    }
    qint64 pezzi = 0;
    double totale = 0;
    for (const TRigaProposta& p : m_gruppi[i].righe) {
        pezzi += p.proposta;
        totale += p.prezzo * static_cast<double>(p.proposta);
    }
    m_ui->LabTotale->setText(QStringLiteral("Pezzi da ordinare: %1 - Totale: %2").arg(pezzi).arg(TestoMoneta(totale)));
}

void TFrmPropostaOrdine::sbStampaClick() {
    const int i = gruppoCorrente();
    if (i < 0 || i >= m_gruppi.size()) return;
    TfrmStampaOrdine stampa(this);
    stampa.impostaOrdine(m_gruppi[i], Oggi());
    if (stampa.righeDaOrdinare() == 0) {
        MostraAttenzione(QStringLiteral("Nessuna quantità da ordinare per questo produttore."));
        return;
    }
    stampa.Anteprima();
}

void TFrmPropostaOrdine::AggiornaComandi() {
    const int i = gruppoCorrente();
    const bool c = i >= 0 && i < m_gruppi.size();
    m_ui->sbStampa->setEnabled(c);
    m_ui->sbMail->setEnabled(c && !m_gruppi[i].email.isEmpty());
    m_ui->sbMail->setToolTip(!c || !m_gruppi[i].email.isEmpty()
                                 ? QStringLiteral("Prepara un messaggio al produttore scelto con le righe da ordinare")
                                 : QStringLiteral("Il produttore non ha un indirizzo e-mail nell'anagrafica produttori"));
}

void TFrmPropostaOrdine::sbEsportaClick() {
    if (m_gruppi.isEmpty()) return;
    ApriDocumento(EsportaPropostaFoglio(m_gruppi, CartellaFogli()));
}

void TFrmPropostaOrdine::sbMailClick() {
    const int i = gruppoCorrente();
    if (i < 0 || i >= m_gruppi.size() || m_gruppi[i].email.isEmpty()) return;
    const TGruppoProduttore& g = m_gruppi[i];
    bool qualcosa = false;
    for (const TRigaProposta& r : g.righe) qualcosa = qualcosa || r.proposta > 0;
    if (!qualcosa) {
        MostraAttenzione(QStringLiteral("Nessuna quantità da ordinare per questo produttore."));
        return;
    }
    const QDate oggi = Oggi();
    InviaMail(g.email, OggettoMailOrdine(oggi), CorpoMailOrdine(g, oggi));
}

void TFrmPropostaOrdine::sbEsciClick() { close(); }
