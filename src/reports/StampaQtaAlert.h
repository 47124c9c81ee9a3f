#pragma once
// The quantity-alert report: the list of the quantity check window as it
// stands, with the view's name, the count, each product's quantities and
// price, and an empty box per row for the quantity to order.

#include "reports/engine/Report.h"
#include "movements/StampeControlli.h"

#include <QObject>

class TModelloElenco;

class TfrmStampaQtaAlert : public QObject, public TStampaQtaAlertRif {
    Q_OBJECT
public:
    explicit TfrmStampaQtaAlert(QWidget* proprietario);
    ~TfrmStampaQtaAlert() override;

    QString caption() const { return QStringLiteral("Stampa riepilogativa quantità di magazzino"); }
    void Anteprima(TModelloElenco* lista) override;
    TReport& report() { return m_report; }

private:
    void QuickRepBeforePrint();
    void TitleBand1BeforePrint(bool& stampa);
    QWidget* m_proprietario;
    TDatiModello m_dati;
    TReport m_report;
};
