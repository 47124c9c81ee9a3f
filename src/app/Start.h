#pragma once
// The splash window: shown modally over the main window for ten seconds at
// start, then it closes and the main window is usable. The program shows it
// already while the tables are checked, so that a rebuild of a large table
// shows its progress there.

#include <QDialog>
#include <QTimer>
#include <memory>

namespace Ui {
class TfrmStart;
}
class TFrmAbout;
class QLabel;

class TfrmStart : public QDialog {
    Q_OBJECT
public:
    // The about box gives the program name of the caption, so it exists first.
    TfrmStart(TFrmAbout* about, QWidget* finestraPrincipale, QWidget* genitore = nullptr);
    ~TfrmStart() override;
    Ui::TfrmStart* ui() const { return m_ui.get(); }
    QTimer* TimerStart() { return &m_timer; }
    // Shown while the main window creates the tables: its timer does not
    // close it until fineCaricamento() names the main window.
    void mostraCaricamento();
    void fineCaricamento(QWidget* finestraPrincipale);
    // Where a long start-up step writes its progress.
    QLabel* etichettaAvanzamento() const;

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void FormCreate(TFrmAbout* about);
    void TimerStartTimer();
    void ImageLogoClick();
    std::unique_ptr<Ui::TfrmStart> m_ui;
    QTimer m_timer;
    QWidget* m_principale;
    bool m_caricamento = false;
};
