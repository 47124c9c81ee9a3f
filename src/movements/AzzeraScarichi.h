#pragma once
// "Azzera scarichi": folds every product's unloads into its loads, with a
// progress bar that moves product by product.

#include <QDialog>
#include <memory>

namespace Ui {
class TfrmAzzeraScarichi;
}

class TfrmAzzeraScarichi : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAzzeraScarichi(QWidget* genitore = nullptr);
    ~TfrmAzzeraScarichi() override;
    Ui::TfrmAzzeraScarichi* ui() const { return m_ui.get(); }

private:
    void BitBtn1Click();
    void BitBtn2Click();
    std::unique_ptr<Ui::TfrmAzzeraScarichi> m_ui;
    bool m_inCorso = false;
};
