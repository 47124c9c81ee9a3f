#pragma once
// The count sheet of a stocktake: the count's products in shelf order, each
// with its category, code and description and an empty box where the
// counted quantity is written by hand.

#include "movements/StampeControlli.h"
#include "reports/engine/DatiReport.h"
#include "reports/engine/Report.h"

#include <QObject>

class QWidget;

class TfrmStampaFoglioConteggio : public QObject, public TStampaFoglioConteggioRif {
    Q_OBJECT
public:
    explicit TfrmStampaFoglioConteggio(QWidget* proprietario);
    ~TfrmStampaFoglioConteggio() override;

    // The count's date, what it covers (e.g. "Categoria: Ferramenta") and
    // its products in the order they are printed.
    void impostaFoglio(const QDate& data, const QString& ambito, const QVector<TRigaFoglioConteggio>& righe);
    TReport& report() { return m_report; }
    void Anteprima(const QDate& data, const QString& ambito, const QVector<TRigaFoglioConteggio>& righe) override;

private:
    QWidget* m_proprietario;
    TDatiMemoria m_dati;
    TReport m_report;
    QDate m_data;
    QString m_ambito;
};
