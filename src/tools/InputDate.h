#pragma once
// "Definire un periodo": the first and last day of an export's period. An
// edit left empty opens the period on that side (01/01/1000, 31/12/9999).
// The dialog checks no date itself: the run reads them.

#include <QDialog>
#include <memory>

namespace Ui {
class TInputDate;
}

class TInputDate : public QDialog {
    Q_OBJECT
public:
    explicit TInputDate(QWidget* genitore = nullptr);
    ~TInputDate() override;
    Ui::TInputDate* ui() const { return m_ui.get(); }
    QString dataInizio() const;
    QString dataFine() const;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void EDdaDataExit();
    void EDaDataExit();
    void bttOKClick();
    std::unique_ptr<Ui::TInputDate> m_ui;
};
