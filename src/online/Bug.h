#pragma once
// The bug report: opens a mail to the maker's support address with the
// program's name and version in the subject, and links to the maker's site,
// whose forum answers the faults already reported.

#include <QDialog>
#include <memory>

namespace Ui {
class TfrmBug;
}

class TfrmBug : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBug(QWidget* genitore = nullptr);
    ~TfrmBug() override;
    Ui::TfrmBug* ui() const { return m_ui.get(); }

    // The mail's subject and body.
    static QString OggettoMail();
    static QString CorpoMail();

private:
    void FormCreate();
    void ButSegnalaClick();
    void lblLinkClick();
    void ButEsciClick();
    std::unique_ptr<Ui::TfrmBug> m_ui;
};
