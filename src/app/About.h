#pragma once
// The about box: program name and version, the maker's links. Created once
// at start and shown modally from the "?" menu.

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmAbout;
}

class TFrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAbout(QWidget* genitore = nullptr);
    ~TFrmAbout() override;
    Ui::TFrmAbout* ui() const { return m_ui.get(); }
    QString captionPrg() const;
    QString captionVers() const;

private:
    void sbEsciClick();
    void lblLinkClick();
    void Label13Click();
    std::unique_ptr<Ui::TFrmAbout> m_ui;
};
