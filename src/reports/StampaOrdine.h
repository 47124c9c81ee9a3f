#pragma once
// The order sheet of the reorder proposal: one producer's details at the top,
// then each product to order with its code, description, balance, quantity,
// purchase price and amount, and the order's total. Lines with nothing to
// order are left out.

#include "reports/DatiProposta.h"
#include "reports/engine/DatiReport.h"
#include "reports/engine/Report.h"

#include <QDate>
#include <QObject>

class QWidget;

class TfrmStampaOrdine : public QObject {
    Q_OBJECT
public:
    explicit TfrmStampaOrdine(QWidget* proprietario);
    ~TfrmStampaOrdine() override;

    // The producer and lines of the sheet, and the date printed on it.
    void impostaOrdine(const TGruppoProduttore& gruppo, const QDate& data);
    // The lines that will be printed (quantity above 0).
    int righeDaOrdinare() const { return m_dati.conteggio(); }
    double totale() const { return m_totale; }
    TReport& report() { return m_report; }
    void Anteprima();

private:
    QWidget* m_proprietario;
    TDatiMemoria m_dati;
    TReport m_report;
    TGruppoProduttore m_gruppo;
    QDate m_data;
    double m_totale = 0;
};
