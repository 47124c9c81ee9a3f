#pragma once
// The part the load / unload and the adjustment windows share: the product
// list with its search and category filter, the navigator, the details of
// the highlighted product, its margin and totals. The product a movement
// works on is always the one of the list's current row: the navigator moves
// the list, and the product record is read again from the table each time
// the row changes (the windows' product cursor).

#include "data/engine/Tabella.h"

#include <QWidget>
#include <memory>

namespace Ui {
class TPannelloProdotti;
}
class TModelloElenco;
struct TSqlLista;

class QEvent;
class QLineEdit;

class TPannelloProdotti : public QWidget {
    Q_OBJECT
public:
    explicit TPannelloProdotti(QWidget* genitore = nullptr);
    ~TPannelloProdotti() override;

    // How the two windows differ: unticking "Attiva ricerca" restores the
    // whole list (load / unload) or does nothing (adjustments); the stock value
    // shows with two decimals (load / unload) or in its general form.
    void impostaVarianti(bool ripristinaSenzaRicerca, bool rimanenzaInFormaGenerale);

    // The window's quantity and price boxes: they take only what a number
    // may hold; leaving the quantity box for another control of the window
    // with less than one unit shows the error given and goes back to it; on
    // each row the price boxes start from the product's stored prices.
    void collegaCaselle(QLineEdit* quantita, QLineEdit* prezzoAcquisto, QLineEdit* prezzoVendita,
                        const QString& erroreQuantita);

    // Opening: the whole list in the order of the settings, its count, focus
    // to the code search box.
    void apriLista(bool ordineStandard);
    // The code search box takes the focus.
    void focusRicerca();
    // Re-runs the list in place: same text, same row number.
    void AggiornaLista();
    // After a movement that left the product with the given balance: with
    // automatic deletion on and the balance at 0, offers to delete the
    // product; then the list is run again in place.
    void DopoMovimento(int idProdotto, int quantita, bool cancAutomatica);

    bool vuota() const;
    int rigaCorrente() const { return m_riga; }
    int righe() const;
    TModelloElenco* lista() const { return m_lista; }
    // Moves the list to the row (0-based) and shows its product.
    void vaiARiga(int riga);
    // The product of the current row as stored (no fields on an empty list).
    const TRecord& prodotto() const { return m_prodotto; }
    int idProdotto() const;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    // Handlers of the shared controls.
    void CercaProdotti();
    void EdRicNomeKeyUp();
    void cbRicercaClick();
    void buttCategoriaClick();
    void QueryListaProdottiAfterScroll();
    void sbFotoClick();
    void AggiornaTotali();
    void CalcolaMargine();
    void edNumScarExit();
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
    QLineEdit* m_quantita = nullptr;
    QLineEdit* m_prezzoAcquisto = nullptr;
    QLineEdit* m_prezzoVendita = nullptr;
    QString m_erroreQuantita;
};
