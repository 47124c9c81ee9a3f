#pragma once
// The product list: picks one product (by its code), or none, into the
// current selection.

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmListaProdotti;
}
class TModelloElenco;

class TFrmListaProdotti : public QDialog {
    Q_OBJECT
public:
    explicit TFrmListaProdotti(QWidget* genitore = nullptr);
    ~TFrmListaProdotti() override;
    Ui::TFrmListaProdotti* ui() const { return m_ui.get(); }
    TModelloElenco* modello() const { return m_modello; }

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void FormShow();
    void EdRicNomeKeyUp();
    void sbEsciClick();
    void sbConfermaClick();
    void DBGrid1DblClick();
    void SpeedButton1Click();

    std::unique_ptr<Ui::TFrmListaProdotti> m_ui;
    TModelloElenco* m_modello;
    bool m_mostrata = false;
};
