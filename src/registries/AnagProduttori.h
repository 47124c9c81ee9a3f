#pragma once
// The producers registry: producers created, edited and deleted through the
// record cursor bound to the boxes; a list searched by name or surname.

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmAnagProduttori;
}
class TModelloElenco;
class TTabella;
class TCampiCollegati;

class TFrmAnagProduttori : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAnagProduttori(QWidget* genitore = nullptr);
    ~TFrmAnagProduttori() override;  // FormDestroy
    Ui::TFrmAnagProduttori* ui() const { return m_ui.get(); }
    TTabella* tabellaProduttori() const { return m_tabella.get(); }
    TModelloElenco* listaProduttori() const { return m_lista; }

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void FormShow();
    void sbEsciClick();
    void EdRicNomeCognomeKeyUp();
    void QueryListaProduttoriAfterScroll();
    void TableCaricoAfterInsert();
    void TableCaricoBeforePost();
    void TableCaricoAfterPost();
    void TableCaricoAfterDelete();
    void AggiornaLista();

    std::unique_ptr<Ui::TFrmAnagProduttori> m_ui;
    std::unique_ptr<TTabella> m_tabella;  // TableCarico
    std::unique_ptr<TCampiCollegati> m_campi;
    TModelloElenco* m_lista;
    bool m_mostrata = false;
};
