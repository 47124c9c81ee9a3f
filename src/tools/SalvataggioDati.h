#pragma once
// "Salvataggio dati": copies the tables of the program folder, each with its
// companion files, into today's folder of `backup`, every copy checked.

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmSalvataggioDati;
}

class TFrmSalvataggioDati : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSalvataggioDati(QWidget* genitore = nullptr);
    ~TFrmSalvataggioDati() override;
    Ui::TFrmSalvataggioDati* ui() const { return m_ui.get(); }

private:
    void FormCreate();
    void BitBtn2Click();
    void sbEsciClick();
    std::unique_ptr<Ui::TFrmSalvataggioDati> m_ui;
    bool m_inCorso = false;
};
