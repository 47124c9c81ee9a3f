#pragma once
// "Cancellazione storico": deletes the history rows of a period, both days
// included. The products' counters are not touched.

#include <QDialog>
#include <memory>

namespace Ui {
class TfrmSetCancStorico;
}
class QLineEdit;

class TfrmSetCancStorico : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSetCancStorico(QWidget* genitore = nullptr);
    ~TfrmSetCancStorico() override;
    Ui::TfrmSetCancStorico* ui() const { return m_ui.get(); }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void FormCreate();
    void EDdaDataExit(QLineEdit* edit);
    void ButCancClick();
    void BTSesciClick();
    std::unique_ptr<Ui::TfrmSetCancStorico> m_ui;
    bool m_chiusura = false;
};
