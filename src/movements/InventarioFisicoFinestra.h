#pragma once
// "Inventario fisico": starts a count (date, optional category and
// producer), takes the counted quantities from a barcode scanner or the
// keyboard (a code and Enter adds one, or sets the quantity typed beside it)
// or from the grid, keeps them as a draft at every change, shows the
// differences by value and posts them in one transaction. After posting the
// valued inventory at the count's date is offered through the routine the
// shell hands over.

#include "movements/InventarioFisico.h"
#include "movements/StampeControlli.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TfrmInventarioFisico;
}

class TModelloConteggio : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Colonna { ColCategoria, ColCodice, ColDescrizione, ColLibro, ColContato, ColDifferenza, ColValore, NumColonne };
    explicit TModelloConteggio(QObject* genitore = nullptr) : QAbstractTableModel(genitore) {}
    void imposta(QVector<TRigaConteggio> righe);
    int rowCount(const QModelIndex& g = {}) const override { return g.isValid() ? 0 : int(m_righe.size()); }
    int columnCount(const QModelIndex& g = {}) const override { return g.isValid() ? 0 : NumColonne; }
    QVariant data(const QModelIndex& i, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int s, Qt::Orientation o, int ruolo = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& i) const override;
    bool setData(const QModelIndex& i, const QVariant& v, int ruolo = Qt::EditRole) override;
    int rigaDi(int idProdotto) const;
    const TRigaConteggio& riga(int i) const { return m_righe[i]; }
    void aggiornaConteggio(int riga, bool contato, qint64 quantita);
    // A count typed in the grid: the product and its quantity (-1 clears it).
    std::function<void(int idProdotto, qint64 quantita)> contatoModificato;

private:
    QVector<TRigaConteggio> m_righe;
};

class TfrmInventarioFisico : public QDialog {
    Q_OBJECT
public:
    // stampaInventario prints the valued inventory at a date; without it the
    // offer after posting is not made.
    // foglio prints the count sheet; without it "Stampa foglio di conteggio"
    // stays disabled.
    explicit TfrmInventarioFisico(QWidget* genitore = nullptr, std::function<void(const QDate&)> stampaInventario = {},
                                  TStampaFoglioConteggioRif* foglio = nullptr);
    ~TfrmInventarioFisico() override;
    Ui::TfrmInventarioFisico* ui() const { return m_ui.get(); }
    TModelloConteggio* modello() const { return m_modello; }
    // A count was posted (or closed with nothing to post) while the window was open.
    bool conteggioRegistrato() const { return m_registrato; }

private:
    void btnIniziaClick();
    void edCodiceInvio();
    void btnFoglioClick();
    void btnDifferenzeClick();
    void btnRegistraClick();
    void btnStopClick();
    void btnAnnullaClick();
    void btnEsciClick();
    void ContatoModificato(int idProdotto, qint64 quantita);
    void CaricaElenco();
    void AggiornaStato();
    void Salva();

    std::unique_ptr<Ui::TfrmInventarioFisico> m_ui;
    TModelloConteggio* m_modello = nullptr;
    std::function<void(const QDate&)> m_stampaInventario;
    TStampaFoglioConteggioRif* m_foglio = nullptr;
    TBozzaInventario m_bozza;
    bool m_attivo = false;  // a count is open
    bool m_inCorso = false;
    bool m_stop = false;
    bool m_registrato = false;
};
