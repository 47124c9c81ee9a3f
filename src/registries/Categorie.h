#pragma once
// The categories window: categories typed in the box or straight in the
// grid, both bound to the category cursor. Deleting a category deletes its
// products with it. Left only through "Esci".

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmCategorie;
}
class TTabella;
class TCampiCollegati;
class TModelloCategorie;

class TFrmCategorie : public QDialog {
    Q_OBJECT
public:
    explicit TFrmCategorie(QWidget* genitore = nullptr);
    ~TFrmCategorie() override;  // FormDestroy
    Ui::TFrmCategorie* ui() const { return m_ui.get(); }
    TTabella* tabellaCategorie() const { return m_tabella.get(); }

protected:
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void FormCreate();
    void DBNavigator1Click(int pulsante);
    void TableCategorieBeforePost();
    void TableCategorieBeforeDelete();
    void sbEsciClick();
    void Seguito();  // grid and buttons follow the cursor
    void DBGrid1RigaCambiata(int riga);

    std::unique_ptr<Ui::TFrmCategorie> m_ui;
    std::unique_ptr<TTabella> m_tabella;  // TableCategorie
    std::unique_ptr<TCampiCollegati> m_campi;
    TModelloCategorie* m_modello;
    bool m_uscita = false;
    bool m_seguendo = false;
};
