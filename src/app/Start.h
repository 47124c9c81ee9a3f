#pragma once
// The splash window: shown modally over the main window for ten seconds at
// start, then it closes and the main window is usable.

#include <QDialog>
#include <QTimer>
#include <memory>

namespace Ui {
class TfrmStart;
}
class TFrmAbout;

class TfrmStart : public QDialog {
    Q_OBJECT
public:
    // The about box gives the program name of the caption, so it exists first.
    TfrmStart(TFrmAbout* about, QWidget* finestraPrincipale, QWidget* genitore = nullptr);
    ~TfrmStart() override;
    Ui::TfrmStart* ui() const { return m_ui.get(); }
    QTimer* TimerStart() { return &m_timer; }

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void FormCreate(TFrmAbout* about);
    void TimerStartTimer();
    void ImageLogoClick();
    std::unique_ptr<Ui::TfrmStart> m_ui;
    QTimer m_timer;
    QWidget* m_principale;
};
