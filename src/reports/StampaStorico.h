#pragma once
// The history report: the movements of a period, one line each, with the
// period's purchase and sale totals, their difference and the revenue
// percentage. The report selection hands it its flags, the period and its
// query, then asks for the preview.

#include "reports/DatiStampe.h"
#include "reports/engine/DatiQueryParallela.h"
#include "reports/engine/Report.h"

#include <QObject>

class TfrmStampaStorico : public QObject {
    Q_OBJECT
public:
    explicit TfrmStampaStorico(QWidget* proprietario);
    ~TfrmStampaStorico() override;

    bool NonStampaProduttore = false;
    bool NonStampaCategoria = false;
    bool NonStampaPrezzi = false;
    bool NonStampaPrezzoCarico = false;
    int CarattereStampa = 0;
    QString DataDa;  // MM/DD/YYYY
    QString DataA;
    // The text of QueryStorico and its bound values.
    TQueryStampa QueryStorico;

    TControllo* QRLabTipo() const { return m_report.controllo(QStringLiteral("QRLabTipo")); }
    // Generates the report and shows its preview; a failure reaches the caller.
    void Anteprima();
    TReport& report() { return m_report; }
    double totaleAcquisti() const { return m_totAcq; }
    double totaleVendite() const { return m_totVen; }
    const TNomiAnagrafiche& nomi() const { return m_nomi; }

private:
    void QuickRepBeforePrint();
    void DettaglioBeforePrint();
    void RiepilogoBeforePrint(bool& stampa);
    double valore(int indice) const;

    QWidget* m_proprietario;
    // The rows are read beside the layout: the sort of a long period by date
    // does not hold the window.
    TDatiQueryParallela m_dati;
    TReport m_report;
    TNomiAnagrafiche m_nomi;
    double m_totAcq = 0;
    double m_totVen = 0;
    bool m_vuoto = false;
    int m_iAcq = -1, m_iVen = -1, m_iCar = -1, m_iProduttore = -1, m_iCategoria = -1;
};
