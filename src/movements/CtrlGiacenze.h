#pragma once
// The expiry check window: marks every product of the list whose time in the
// warehouse is up on the check date, lists all, the expired or the other
// products, and hands the list to its report window.

#include "gui/ModelloElenco.h"
#include "data/engine/Tabella.h"
#include "movements/StampeControlli.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmCtrlGiacenze;
class TLavoroLungo;
}

class TFrmCtrlGiacenze : public QDialog {
    Q_OBJECT
public:
    // The report window prints the list on "Anteprima"; it outlives this
    // window. Without one "Anteprima" stays disabled.
    explicit TFrmCtrlGiacenze(QWidget* proprietario, TStampaGiacenzeRif* stampa = nullptr);
    ~TFrmCtrlGiacenze() override;

    Ui::TFrmCtrlGiacenze* ui() const { return m_ui.get(); }
    // The displayed list, which the report prints.
    TModelloElenco* QueryListaProdotti() { return &m_lista; }
    TTabella* TableProdotti() const { return m_tabella.get(); }
    bool inCorso() const { return m_inCorso; }
    // Stops a running check before its next product, as "Stop" does.
    void fermaControllo();

protected:
    void showEvent(QShowEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void EdDataExit();
    void ButtonControllaClick();
    void SbFermaControlloClick();
    void rgVisualClick();
    void BTSstampaClick();
    void sbEsciClick();
    void QueryListaProdottiAfterScroll();
    void TableProdottiAfterScroll();
    void ControllaScadenze();
    void ApriLista(const QString& condizione);
    int voceVisione() const;

    std::unique_ptr<Ui::TFrmCtrlGiacenze> m_ui;
    TModelloElenco m_lista;
    TStampaGiacenzeRif* m_stampa;
    std::unique_ptr<TTabella> m_tabella;
    QString m_condizione;
    int m_righe = 0;
    bool m_mostrata = false;
    bool m_inCorso = false;
    bool m_chiusuraRichiesta = false;
    TLavoroLungo* m_lavoro = nullptr;  // the run under way
};
