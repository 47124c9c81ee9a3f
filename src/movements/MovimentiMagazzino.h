#pragma once
// "Movimenti di magazzino": the history, newest first, filtered by product,
// period and kind, with the running balance of a product named by its code;
// "Storna movimento" reverses the chosen load, unload or adjustment.

#include "movements/StoricoMovimenti.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <memory>

namespace Ui {
class TfrmMovimentiMagazzino;
}

// The rows of the history a screen at a time: the view asks for more as it
// scrolls, so only the rows shown are read.
class TModelloMovimenti : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Colonna { ColId, ColData, ColTipo, ColCodice, ColDescrizione, ColQuantita, ColAcquisto, ColVendita, ColSaldo,
                   ColNote, NumColonne };
    explicit TModelloMovimenti(QObject* genitore = nullptr) : QAbstractTableModel(genitore) {}
    void imposta(TArchivio& a, const TFiltroStorico& filtro);
    void svuota();
    int rowCount(const QModelIndex& genitore = {}) const override;
    int columnCount(const QModelIndex& genitore = {}) const override;
    QVariant data(const QModelIndex& indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento, int ruolo = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& genitore) const override;
    void fetchMore(const QModelIndex& genitore) override;
    const TRigaMovimento& riga(int i) const { return m_righe[i]; }
    const TLettoreStorico* lettore() const { return m_lettore.get(); }
    // The first read fills the grid at the window's size (a screen at
    // 1024×768 shows fewer rows); each further read as the view scrolls
    // brings a larger block.
    static constexpr int PrimaSchermata = 40;
    static constexpr int RighePerVolta = 200;

private:
    std::unique_ptr<TLettoreStorico> m_lettore;
    QVector<TRigaMovimento> m_righe;
};

class TfrmMovimentiMagazzino : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMovimentiMagazzino(QWidget* genitore = nullptr);
    ~TfrmMovimentiMagazzino() override;
    Ui::TfrmMovimentiMagazzino* ui() const { return m_ui.get(); }
    TModelloMovimenti* modello() const { return m_modello; }

private:
    void btnCercaClick();
    void btnStornaClick();
    void btnEsciClick();
    void AggiornaPulsanti();
    std::unique_ptr<Ui::TfrmMovimentiMagazzino> m_ui;
    TModelloMovimenti* m_modello = nullptr;
};
