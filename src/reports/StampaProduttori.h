#pragma once
// The producers list: code, name, surname, street, postal code, town and
// province on the first line; telephone, VAT number and description on the
// second, which may be left out.

#include "reports/DatiStampe.h"
#include "reports/engine/Report.h"

#include <QObject>
#include <QSqlQuery>

class TfrmStampaProduttori : public QObject {
    Q_OBJECT
public:
    explicit TfrmStampaProduttori(QWidget* proprietario);
    ~TfrmStampaProduttori() override;

    QString CampoOrdine;  // a field of CampoOrdineProduttori, empty for no ordering
    bool InvertiOrdine = false;
    bool NonStampaSecondaRiga = false;
    int CarattereStampa = 0;

    QString caption() const { return QStringLiteral("Stampa riepilogativa produttori"); }
    void Anteprima();
    TReport& report() { return m_report; }

private:
    void QuickRepBeforePrint();

    QWidget* m_proprietario;
    QSqlQuery m_query;
    TDatiQueryAvanti m_dati;
    TReport m_report;
};
