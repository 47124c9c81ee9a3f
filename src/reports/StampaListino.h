#pragma once
// The price list: one line per product with its producer, code, description
// and list price, under a title dated today. It builds its own query from the
// parameters that the report selection hands it.

#include "reports/DatiStampe.h"
#include "reports/engine/Report.h"

#include <QObject>
#include <QSqlQuery>

class TfrmStampaListino : public QObject {
    Q_OBJECT
public:
    explicit TfrmStampaListino(QWidget* proprietario);
    ~TfrmStampaListino() override;

    QString CampoOrdine;  // a field of CampoOrdineListino, empty for no ordering
    bool InvertiOrdine = false;
    QString Prodotto;
    QString Produttore;
    int IdProduttore = 0;
    int CarattereStampa = 0;

    QString caption() const { return QStringLiteral("Stampa del listino"); }
    void Anteprima();
    TReport& report() { return m_report; }
    const TNomiAnagrafiche& nomi() const { return m_nomi; }

private:
    void QuickRepBeforePrint();
    void DettaglioBeforePrint();

    QWidget* m_proprietario;
    QSqlQuery m_query;
    TDatiQueryAvanti m_dati;
    TReport m_report;
    TNomiAnagrafiche m_nomi;
    TControllo* m_cProduttore = nullptr;  // set on each line, found once
    int m_iProduttore = -1, m_iPrezzoListino = -1;
};
