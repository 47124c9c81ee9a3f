#pragma once
// The reorder proposal window: the products at or under their alert quantity,
// one producer at a time, with the target stock and the quantity to order
// that the user may change line by line; "Stampa ordine" prints the chosen
// producer's order sheet, "Prepara e-mail" opens a mail to a producer with an
// address, "Esporta .xlsx" writes the whole proposal into a workbook.

#include "reports/DatiProposta.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmPropostaOrdine;
}
class QTableWidgetItem;

class TFrmPropostaOrdine : public QDialog {
    Q_OBJECT
public:
    explicit TFrmPropostaOrdine(QWidget* genitore = nullptr);
    ~TFrmPropostaOrdine() override;
    Ui::TFrmPropostaOrdine* ui() const { return m_ui.get(); }
    // The proposal as shown, with the changes made in the grid.
    const QVector<TGruppoProduttore>& gruppi() const { return m_gruppi; }
    int gruppoCorrente() const;

private:
    void sbRicalcolaClick();
    void sbStampaClick();
    void sbEsportaClick();
    void sbMailClick();
    void sbEsciClick();
    void cbProduttoreChange();
    void CellaCambiata(QTableWidgetItem* cella);
    void MostraGruppo();
    void MostraTotale();
    void AggiornaComandi();

    std::unique_ptr<Ui::TFrmPropostaOrdine> m_ui;
    QVector<TGruppoProduttore> m_gruppi;
    bool m_mostrando = false;
};
