#pragma once
// The products report: each product on two lines, its movements, prices and
// balance (sales − purchases + stock value = difference), with the four
// totals at the end. It builds its own query from the parameters that the
// report selection hands it.

#include "reports/DatiStampe.h"
#include "reports/engine/Report.h"

#include <QObject>
#include <QSqlQuery>

class TfrmStampaProdotti : public QObject {
    Q_OBJECT
public:
    explicit TfrmStampaProdotti(QWidget* proprietario);
    ~TfrmStampaProdotti() override;

    QString CampoOrdine;  // a field of CampoOrdineProdotti, empty for no ordering
    bool InvertiOrdine = false;
    bool NonStampaSecondaRiga = false;
    bool NonStampaProduttore = false;
    QString Prodotto;    // one product code, or empty for all
    QString Produttore;  // the producer's name for the title
    int IdProduttore = 0;
    int IdCategoria = 0;
    QString Categoria;
    int CarattereStampa = 0;

    QString caption() const { return QStringLiteral("Stampa riepilogativa prodotti"); }
    // Generates the report and shows its preview; a failure reaches the caller.
    void Anteprima();
    TReport& report() { return m_report; }
    const TNomiAnagrafiche& nomi() const { return m_nomi; }

private:
    void QuickRepBeforePrint();
    void DettaglioBeforePrint();
    void FigliaBeforePrint(bool& stampa);
    void RiepilogoBeforePrint();
    double valore(int indice) const { return m_query.value(indice).toDouble(); }

    QWidget* m_proprietario;
    QSqlQuery m_query;
    TDatiQueryAvanti m_dati;
    TReport m_report;
    TNomiAnagrafiche m_nomi;
    // The labels each product sets, found once.
    TControllo* m_cProduttore = nullptr;
    TControllo* m_cRimanenze = nullptr;
    TControllo* m_cDifferenza = nullptr;
    double m_totVendite = 0, m_totAcquisti = 0, m_totRimanenze = 0;
    int m_iProduttore = -1, m_iQuantita = -1, m_iPrezzo = -1, m_iPrezzo2 = -1, m_iVendite = -1, m_iAcquisti = -1;
};
