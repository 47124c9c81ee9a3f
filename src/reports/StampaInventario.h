#pragma once
// The inventory: every product (or one code, one producer's, one category's)
// with its producer, list price, quantity on hand and value at list price,
// the sums at the end, under a title with the date the user typed.

#include "reports/DatiStampe.h"
#include "reports/engine/Report.h"

#include <QObject>
#include <QSqlQuery>

class TfrmStampaInventario : public QObject {
    Q_OBJECT
public:
    explicit TfrmStampaInventario(QWidget* proprietario);
    ~TfrmStampaInventario() override;

    QString CampoOrdine;     // a field of CampoOrdineInventario
    bool InvertiOrdine = false;
    int CarattereStampa = 0;
    QString DataInventario;  // printed as typed
    QString Prodotto;
    int IdProduttore = 0;
    int IdCategoria = 0;
    bool NonStampaPrezzoListino = false;
    bool NonStampaTotale = false;

    QString caption() const { return QStringLiteral("Stampa inventario di magazzino"); }
    void Anteprima();
    TReport& report() { return m_report; }
    const TNomiAnagrafiche& nomi() const { return m_nomi; }

private:
    void QuickRepBeforePrint();
    void DettaglioBeforePrint();
    void RiepilogoBeforePrint();

    QWidget* m_proprietario;
    QSqlQuery m_query;
    TDatiQueryAvanti m_dati;
    TReport m_report;
    TNomiAnagrafiche m_nomi;
    // The labels each product sets, found once.
    TControllo* m_cProduttore = nullptr;
    TControllo* m_cTot = nullptr;
    double m_sommaListino = 0, m_sommaQuantita = 0, m_sommaValore = 0;
    int m_iProduttore = -1, m_iPrezzoListino = -1, m_iQuantita = -1;
};
