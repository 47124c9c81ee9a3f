#pragma once
// The expiry report: the list of the expiry check window as it stands, with
// the check date, each product's quantity, days allowed, price and whether it
// is to be returned.

#include "reports/engine/Report.h"
#include "movements/StampeControlli.h"

#include <QObject>

class TModelloElenco;

class TfrmStampaGiacenze : public QObject, public TStampaGiacenzeRif {
    Q_OBJECT
public:
    explicit TfrmStampaGiacenze(QWidget* proprietario);
    ~TfrmStampaGiacenze() override;

    QString caption() const { return QStringLiteral("Stampa riepilogativa giacenze di magazzino"); }
    void Anteprima(TModelloElenco* lista) override;
    TReport& report() { return m_report; }

private:
    void QuickRepBeforePrint();
    QWidget* m_proprietario;
    TDatiModello m_dati;
    TReport m_report;
};
