#pragma once
// "Stampa inventario": the date printed in the title, the order, the product,
// producer or category to restrict to, the two columns that may be left out,
// and the preview of the inventory.

#include <QDate>
#include <QDialog>
#include <memory>

namespace Ui {
class TFrmSetStampaInventario;
}
class TfrmStampaInventario;

class TFrmSetStampaInventario : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSetStampaInventario(QWidget* genitore = nullptr);
    ~TFrmSetStampaInventario() override;
    Ui::TFrmSetStampaInventario* ui() const { return m_ui.get(); }

    // The selected item of "Ordina per" (0-based), -1 for none.
    int voceScelta() const;
    void scegliVoce(int voce);
    // Hands the report the parameters, as "Anteprima" does.
    void PreparaInventario(TfrmStampaInventario& stampa) const;
    // The date the window opens with in place of today (the day of a count).
    void impostaData(const QDate& data) { m_data = data; }
    // Whether "Anteprima" showed the inventory since the window was opened.
    bool anteprimaMostrata() const { return m_anteprimaMostrata; }

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void FormShow();
    void SpeedButton2Click();
    void SpeedButton1Click();
    void SpeedButton3Click();
    void BTSstampaClick();
    void BTSesciClick();

    std::unique_ptr<Ui::TFrmSetStampaInventario> m_ui;
    bool m_mostrata = false;
    bool m_anteprimaMostrata = false;
    QDate m_data;
};
