#pragma once
// The quantity check window: lists the products running out, sold out, in
// stock, with a negative balance, or all; tells for the current product how
// many pieces to order or how many are in excess; hands the list to its
// report window. It changes no data.

#include "gui/ModelloElenco.h"
#include "data/engine/Tabella.h"
#include "movements/StampeControlli.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmCtrlQta;
}

class TFrmCtrlQta : public QDialog {
    Q_OBJECT
public:
    // The report window prints the list on "Anteprima"; it outlives this
    // window. Without one "Anteprima" stays disabled.
    explicit TFrmCtrlQta(QWidget* proprietario, TStampaQtaAlertRif* stampa = nullptr);
    ~TFrmCtrlQta() override;

    Ui::TFrmCtrlQta* ui() const { return m_ui.get(); }
    TModelloElenco* QueryListaProdotti() { return &m_lista; }
    TTabella* TableProdotti() const { return m_tabella.get(); }

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void FormShow();
    void FormDestroy();
    void rgVisualClick();
    void BTSstampaClick();
    void sbEsciClick();
    void QueryListaProdottiAfterScroll();
    void TableProdottiAfterScroll();
    void ApriLista(const QString& condizione);
    int voceVisione() const;
    QString captionVisione() const;

    std::unique_ptr<Ui::TFrmCtrlQta> m_ui;
    TModelloElenco m_lista;
    TStampaQtaAlertRif* m_stampa;
    std::unique_ptr<TTabella> m_tabella;
    int m_righe = 0;
    bool m_mostrata = false;
};
