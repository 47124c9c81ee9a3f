#pragma once
// The cash-flow report: for each day of a period with movements, the moved
// quantity, the purchase and sale amounts and their difference, with the
// period's totals, difference and revenue percentage.

#include "reports/DatiStampe.h"
#include "reports/engine/DatiQueryParallela.h"
#include "reports/engine/Report.h"

#include <QObject>

class TfrmStampaFlussi : public QObject {
    Q_OBJECT
public:
    explicit TfrmStampaFlussi(QWidget* proprietario);
    ~TfrmStampaFlussi() override;

    bool NonStampaPrezzi = false;
    bool NonStampaQta = false;
    int CarattereStampa = 0;
    QString DataDa;  // MM/DD/YYYY
    QString DataA;
    // The text of QueryFlussi and its bound values.
    TQueryStampa QueryFlussi;

    TControllo* QRLabTipo() const { return m_report.controllo(QStringLiteral("QRLabTipo")); }
    void Anteprima();
    TReport& report() { return m_report; }
    double totaleAcquisti() const { return m_totAcq; }
    double totaleVendite() const { return m_totVen; }

private:
    void QuickRepBeforePrint();
    void DettaglioBeforePrint();
    void RiepilogoBeforePrint(bool& stampa);

    QWidget* m_proprietario;
    // The days' sums are read beside the layout: the group-by of a long
    // period does not hold the window.
    TDatiQueryParallela m_dati;
    TReport m_report;
    double m_totAcq = 0;
    double m_totVen = 0;
    bool m_vuoto = false;
    int m_iVen = -1, m_iAcq = -1, m_iQta = -1;
};
