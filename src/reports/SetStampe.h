#pragma once
// "Selezione stampe": one tab per report (history, cash flow, producers,
// products, price list) with its ordering, filters and period, and the
// preview of the visible tab's report.

#include <QDialog>
#include <memory>

namespace Ui {
class TfrmSetStampe;
}
class QButtonGroup;
class QLineEdit;
class TfrmStampaStorico;
class TfrmStampaFlussi;
class TfrmStampaProdotti;
class TfrmStampaListino;
class TfrmStampaProduttori;

class TfrmSetStampe : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSetStampe(QWidget* genitore = nullptr);
    ~TfrmSetStampe() override;
    Ui::TfrmSetStampe* ui() const { return m_ui.get(); }

    // The selected item of a radio group of the window (0-based), -1 for none.
    int voceScelta(const QString& gruppo) const;
    void scegliVoce(const QString& gruppo, int voce);

    // Hand a report window the parameters of its tab, as "Anteprima" does.
    void PreparaStorico(TfrmStampaStorico& stampa) const;
    void PreparaFlussi(TfrmStampaFlussi& stampa) const;
    void PreparaProdotti(TfrmStampaProdotti& stampa) const;
    void PreparaListino(TfrmStampaListino& stampa) const;
    void PreparaProduttori(TfrmStampaProduttori& stampa) const;

protected:
    void showEvent(QShowEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void FormShow();
    void EDdaDataExit(QLineEdit* edit);
    void rgQualiClick();
    void cbSecondaRigaProdottiClick();
    void PageControlChange();
    void SpeedButtonProdottoClick(QLineEdit* edit);
    void SpeedButtonProduttoreClick(QLineEdit* edit);
    void SpeedButton5Click();
    void BTSstampaClick();
    void BTSgraficoClick();
    void BTSesciClick();

    std::unique_ptr<Ui::TfrmSetStampe> m_ui;
    bool m_mostrata = false;
};
