#pragma once
// "Invio dati a Vavori Rarovazazo": packs one day folder of `backup` into the
// data package and opens the mail to the maker that asks to attach it.

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmInvioDatiCasaMadre;
}

class TFrmInvioDatiCasaMadre : public QDialog {
    Q_OBJECT
public:
    explicit TFrmInvioDatiCasaMadre(QWidget* genitore = nullptr);
    ~TFrmInvioDatiCasaMadre() override;
    Ui::TFrmInvioDatiCasaMadre* ui() const { return m_ui.get(); }

private:
    void FormCreate();
    void ListBoxCartelleChange();
    void ButtonOkClick();
    void sbEsciClick();
    QString nomeScelto() const;
    std::unique_ptr<Ui::TFrmInvioDatiCasaMadre> m_ui;
    bool m_inCorso = false;
};
