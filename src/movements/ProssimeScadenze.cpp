#include "movements/ProssimeScadenze.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "ui_ProssimeScadenze.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidgetItem>

TFrmProssimeScadenze::TFrmProssimeScadenze(QWidget* genitore, int giorni)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmProssimeScadenze>()), m_giorni(giorni) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    connect(m_ui->sbEsci, &QPushButton::clicked, this, [this] { EseguiMostrandoErrori([this] { sbEsciClick(); }); });
    EseguiMostrandoErrori([this] { FormCreate(); });
    CentraSulloSchermo(this);
}

TFrmProssimeScadenze::~TFrmProssimeScadenze() = default;

void TFrmProssimeScadenze::FormCreate() {
    const QDate oggi = Oggi();
    const QVector<TProdottoInScadenza> elenco = ProdottiInScadenza(TArchivio::corrente(), oggi, m_giorni);
    m_ui->LabPeriodo->setText(QStringLiteral("Prodotti che scadono entro %1 giorni (dal %2 al %3)")
                                  .arg(m_giorni)
                                  .arg(oggi.addDays(1).toString(FormatoData), oggi.addDays(m_giorni).toString(FormatoData)));
    QTableWidget* g = m_ui->GrigliaScadenze;
    g->setColumnCount(5);
    g->setHorizontalHeaderLabels({QStringLiteral("Codice"), QStringLiteral("Descrizione"), QStringLiteral("Quantità"),
                                  QStringLiteral("Scade il"), QStringLiteral("Giorni")});
    g->setRowCount(static_cast<int>(elenco.size()));
    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;
    for (int r = 0; r < elenco.size(); ++r) {
        const TProdottoInScadenza& p = elenco[r];
        auto cella = [&](int c, const QString& testo, Qt::Alignment allineamento = Qt::AlignLeft | Qt::AlignVCenter) {
            auto* i = new QTableWidgetItem(testo);
            i->setTextAlignment(allineamento);
            g->setItem(r, c, i);
        };
        cella(0, p.nome);
        cella(1, p.descrizione);
        cella(2, QString::number(p.quantita), destra);
        cella(3, p.scadenza.toString(FormatoData));
        cella(4, QString::number(oggi.daysTo(p.scadenza)), destra);
    }
    g->verticalHeader()->setVisible(false);
    g->resizeColumnsToContents();
    g->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_ui->LabTotale->setText(elenco.size() == 1 ? QStringLiteral("1 prodotto")
                                                : QStringLiteral("%1 prodotti").arg(elenco.size()));
}

void TFrmProssimeScadenze::sbEsciClick() { close(); }
