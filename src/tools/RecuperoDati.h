#pragma once
// "Recupero dati": lists the day folders of `backup`, restores one over the
// program folder (all files or none) and deletes a day folder. After a
// restore the program ends, so that it starts again on the restored tables.

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmRecuperoDati;
}

class TFrmRecuperoDati : public QDialog {
    Q_OBJECT
public:
    explicit TFrmRecuperoDati(QWidget* genitore = nullptr);
    ~TFrmRecuperoDati() override;
    Ui::TFrmRecuperoDati* ui() const { return m_ui.get(); }
    // Tables were replaced in this opening: the program must end.
    bool recuperoEseguito() const { return m_recuperato; }
    // After a restore it says that the program ends.
    void done(int risultato) override;

private:
    void FormCreate();
    void ListBoxCartelleChange();
    void ButtonOkClick();
    void ButtonEliminaClick();
    void sbEsciClick();
    void riempiCartelle();
    QString nomeScelto() const;
    std::unique_ptr<Ui::TFrmRecuperoDati> m_ui;
    bool m_inCorso = false;
    bool m_recuperato = false;
    bool m_avvisato = false;
};
