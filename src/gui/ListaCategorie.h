#pragma once
// The category list: picks one category, or none, into the current selection.

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmListaCategorie;
}
class TModelloElenco;

class TFrmListaCategorie : public QDialog {
    Q_OBJECT
public:
    explicit TFrmListaCategorie(QWidget* genitore = nullptr);
    ~TFrmListaCategorie() override;
    Ui::TFrmListaCategorie* ui() const { return m_ui.get(); }
    TModelloElenco* modello() const { return m_modello; }

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void FormShow();
    void EdRicCategorieKeyUp();
    void sbEsciClick();
    void sbConfermaClick();
    void DBGrid1DblClick();
    void SpeedButton1Click();

    std::unique_ptr<Ui::TFrmListaCategorie> m_ui;
    TModelloElenco* m_modello;
    bool m_mostrata = false;
};
