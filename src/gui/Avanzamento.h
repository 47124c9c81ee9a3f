#pragma once
// The progress box of a long run: what runs, how far it has come ("N di M
// record", or megabytes for a copy) and "Stop". The box never closes on its
// own account: Escape and the title-bar close ask the stop, as "Stop" does,
// and the runner closes it when the work has ended.

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TFrmAvanzamento;
}

class TFrmAvanzamento : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAvanzamento(QWidget* genitore = nullptr);
    ~TFrmAvanzamento() override;
    Ui::TFrmAvanzamento* ui() const { return m_ui.get(); }

    // Called when the user asks to stop (button, Escape, close).
    std::function<void()> suStop;
    // The run is ending on the user's request: "Stop" is spent.
    void mostraInterruzione();
    // The run has ended: the box may close.
    void chiudiAllaFine();

    void reject() override;

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    void sbFermaClick();
    std::unique_ptr<Ui::TFrmAvanzamento> m_ui;
    bool m_finito = false;
};
