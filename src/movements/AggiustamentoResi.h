#pragma once
// The adjustment / returns window: takes units back out of a product's
// books, either out of the stock on hand (as if never loaded) or out of the
// sales made (as if neither bought nor sold). The product list, search,
// details and totals are those of the load / unload window.

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmAggiustamentoResi;
}
class TPannelloProdotti;

class TFrmAggiustamentoResi : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAggiustamentoResi(QWidget* genitore = nullptr);
    ~TFrmAggiustamentoResi() override;
    Ui::TFrmAggiustamentoResi* ui() const { return m_ui.get(); }
    TPannelloProdotti* pannello() const;
    // The selected kind: 0 stock on hand, 1 sales, -1 none.
    int tipoAggiustamento() const;

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void FormShow();
    void sbEsciClick();
    void sbAggiustamentoClick();

    std::unique_ptr<Ui::TFrmAggiustamentoResi> m_ui;
    bool m_mostrata = false;
    bool m_cancAutomatica = false;  // read at opening
};
