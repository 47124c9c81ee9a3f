#pragma once
// The load / unload window: a product picked in the shared list, a number of
// units and a unit price, then "Carica unità", "Scarica unità" or
// "Scarica tutte". Each confirmed movement is one transaction: its history
// row and the product's new counters, totals, prices and entry date.

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmCaricoScarico;
}
class QTimer;
class TPannelloProdotti;

class TFrmCaricoScarico : public QDialog {
    Q_OBJECT
public:
    explicit TFrmCaricoScarico(QWidget* genitore = nullptr);
    ~TFrmCaricoScarico() override;
    Ui::TFrmCaricoScarico* ui() const { return m_ui.get(); }
    TPannelloProdotti* pannello() const;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void FormShow();
    void sbEsciClick();
    void BTGraficoClick();
    void rgcaricoClick();
    void rgscaricoClick();
    void ButtCaricaClick();
    void ButtScaricaUnitaClick();
    void ButtScaricaTuttoClick();
    void Timer1Timer();
    // The load of "Carica unità", the unload of "Scarica unità" and
    // "Scarica tutte": checks, question, the movement and what follows it.
    void Movimenta(bool carico, bool quantitaZeroAmmessa);
    // The movement line of the last movement, for 3 seconds.
    void MostraAzione(const QString& quantita, const QString& nome, const QString& descrizione);
    bool modoCarico() const;

    std::unique_ptr<Ui::TFrmCaricoScarico> m_ui;
    bool m_mostrata = false;
    // The three switches, read at opening.
    bool m_cancAutomatica = false;
    bool m_dataIngresso = false;
    bool m_sovrascriviPrezzi = false;
};
