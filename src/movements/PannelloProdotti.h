#pragma once
// The part the load / unload and the adjustment windows share: the product
// list with its search and category filter, the navigator, the details of
// the highlighted product, its margin and totals. The product a movement
// works on is always the one of the list's current row: the navigator moves
// the list, and the product record is read again from the table each time
// the row changes (the windows' product cursor).

#include "data/engine/Tabella.h"

#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class TPannelloProdotti;
}
class TModelloElenco;
struct TSqlLista;

class QEvent;

// The number boxes of the movement windows: true when a key press is one
// FiltraTastoNumerico swallows (editing and navigation keys pass).
bool TastoDaScartare(QEvent* evento);
// True when a focus-out event is the focus leaving the box for another
// control of the window (not the window losing the focus to a message box).
bool UscitaVersoAltroControllo(QEvent* evento);

class TPannelloProdotti : public QWidget {
    Q_OBJECT
public:
    explicit TPannelloProdotti(QWidget* genitore = nullptr);
    ~TPannelloProdotti() override;
    Ui::TPannelloProdotti* ui() const { return m_ui.get(); }

    // How the two windows differ: unticking "Attiva ricerca" restores the
    // whole list (load / unload) or does nothing (adjustments); the stock value
    // shows with two decimals (load / unload) or in its general form.
    void impostaVarianti(bool ripristinaSenzaRicerca, bool rimanenzaInFormaGenerale);

    // Opening: the whole list in the order of the settings, its count, focus
    // to the code search box.
    void apriLista(bool ordineStandard);
    void CercaProdotti();
    // Re-runs the list in place: same text, same row number.
    void AggiornaLista();

    bool vuota() const;
    int rigaCorrente() const { return m_riga; }
    int righe() const;
    TModelloElenco* lista() const { return m_lista; }
    // Moves the list to the row (0-based) and shows its product.
    void vaiARiga(int riga);
    // The product of the current row as stored (no fields on an empty list).
    const TRecord& prodotto() const { return m_prodotto; }
    int idProdotto() const;

    // Called each time the product cursor moves, after the shared details are
    // shown and before the totals: the window resets its price boxes there.
    std::function<void()> dopoScorrimentoProdotto;

    // Handlers of the shared controls.
    void EdRicNomeKeyUp();
    void cbRicercaClick();
    void buttCategoriaClick();
    void QueryListaProdottiAfterScroll();
    void sbFotoClick();
    void AggiornaTotali();
    void CalcolaMargine();

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void apriQuery(const TSqlLista& lista);
    void mostraProdotto();
    void mostraConteggio();
    void rigaCambiata(int riga);

    std::unique_ptr<Ui::TPannelloProdotti> m_ui;
    TModelloElenco* m_lista = nullptr;  // QueryListaProdotti
    TRecord m_prodotto;
    int m_riga = -1;
    bool m_ordineStandard = false;
    bool m_ripristinaSenzaRicerca = true;
    bool m_rimanenzaGenerale = false;
    bool m_posizionando = false;
};
