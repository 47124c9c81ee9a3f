#pragma once
// The producer list: picks one producer, or none, into the current
// selection; the highlighted producer's details beside the grid.

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmListaProduttori;
}
class TModelloElenco;

class TFrmListaProduttori : public QDialog {
    Q_OBJECT
public:
    explicit TFrmListaProduttori(QWidget* genitore = nullptr);
    ~TFrmListaProduttori() override;
    Ui::TFrmListaProduttori* ui() const { return m_ui.get(); }
    TModelloElenco* modello() const { return m_modello; }

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void FormShow();
    void EdNomeKeyUp();
    void rgRicercaPerClick();
    void sbEsciClick();
    void sbConfermaClick();
    void DBGrid1DblClick();
    void SpeedButton1Click();
    void MostraDettagli();

    std::unique_ptr<Ui::TFrmListaProduttori> m_ui;
    TModelloElenco* m_modello;
    bool m_mostrata = false;
};
