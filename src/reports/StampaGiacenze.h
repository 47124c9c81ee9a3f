#pragma once
// The expiry report: the list of the expiry check window as it stands, with
// the check date, each product's quantity, days allowed, price and whether it
// is to be returned.

#include "reports/engine/Report.h"
#include "reports/engine/StampeControlli.h"

#include <QObject>

class QSqlQueryModel;

class TfrmStampaGiacenze : public QObject, public TStampaGiacenzeRif {
    Q_OBJECT
public:
    // Bound to the check window's list, which outlives this window.
    TfrmStampaGiacenze(QWidget* proprietario, QSqlQueryModel* lista);
    ~TfrmStampaGiacenze() override;

    QString caption() const { return QStringLiteral("Stampa riepilogativa giacenze di magazzino"); }
    void Anteprima() override;
    TReport& report() { return m_report; }

private:
    void QuickRepBeforePrint();
    QWidget* m_proprietario;
    TDatiModello m_dati;
    TReport m_report;
};
