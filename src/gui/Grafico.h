#pragma once
// The chart window: the stock of one product (balance, loads, unloads and
// other changes per week or month) or the cash flow of a period (purchases,
// sales and their difference per day, week or month, with the period's
// totals as the cash-flow report prints them). The figures come grouped from
// DatiGrafici; the window only draws them, prints them and saves them as PNG
// or PDF. Opened by the products registry, the load / unload window and the
// reports' selection window.

#include "data/DatiGrafici.h"

#include <QDate>
#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TFrmGrafico;
}
class QChart;
class QChartView;
class QLineSeries;
class QPainter;
class QPrinter;

struct TParametriGrafico {
    enum class Tipo { Prodotto, Flussi };
    Tipo tipo = Tipo::Prodotto;
    qint64 idProdotto = 0;       // Prodotto
    QDate da, a;                 // Flussi: the period, both days included
    QString azione;              // Flussi: one action, or empty for all of them
    QString descrizioneAzioni;   // Flussi: "Tutti", "Carichi", ... as the report's title names them
};

// What a chart draws, as read from the history.
struct TDatiGrafico {
    QVector<TFlussiGiorno> flussi;  // Flussi: the days of the period
    TAndamentoProdotto prodotto;    // Prodotto
};
TDatiGrafico LeggiDatiGrafico(TArchivio& archivio, const TParametriGrafico& parametri);
// The same read in a worker thread on a connection of its own, the event
// loop running meanwhile (a large history takes about a second); the owner
// takes no input until it ends.
TDatiGrafico LeggiDatiGraficoInDisparte(QWidget* proprietario, const TParametriGrafico& parametri);

class TFrmGrafico : public QDialog {
    Q_OBJECT
public:
    // Reads the figures from the program's store, then draws them.
    TFrmGrafico(const TParametriGrafico& parametri, QWidget* genitore = nullptr);
    // Draws figures already read.
    TFrmGrafico(const TParametriGrafico& parametri, TDatiGrafico dati, QWidget* genitore = nullptr);
    ~TFrmGrafico() override;
    Ui::TFrmGrafico* ui() const { return m_ui.get(); }

    TRaggruppamento raggruppamento() const { return m_raggruppamento; }
    void impostaRaggruppamento(TRaggruppamento r);
    // The chart on screen and one of its series by name ("Acquisti",
    // "Vendite", "Differenza"; "Giacenza", "Carichi", "Scarichi", "Rettifiche").
    QChart* grafico() const;
    QLineSeries* serie(const QString& nome) const;
    QString titolo() const { return m_titolo; }
    QString testoTotali() const;

    // Paints the title, the chart and the totals into the area (in the
    // device's pixels): the one drawing of the printout, the PDF and the PNG.
    void dipingi(QPainter& pittore, const QRectF& area) const;
    // Writes the chart; false when the file could not be written.
    bool salvaPng(const QString& file) const;
    bool salvaPdf(const QString& file) const;
    // Prints on a printer already set up.
    void stampaSu(QPrinter& stampante) const;

private:
    void cbRaggruppamentoChange();
    void BTStampaClick();
    void BTSalvaPngClick();
    void BTSalvaPdfClick();
    void sbEsciClick();

    void prepara();
    void aggiorna();
    // A new chart of the figures grouped as chosen, for the screen or a page.
    QChart* creaGrafico() const;
    QString nomeFileProposto(const QString& estensione) const;

    std::unique_ptr<Ui::TFrmGrafico> m_ui;
    QChartView* m_vista = nullptr;
    TParametriGrafico m_parametri;
    TRaggruppamento m_raggruppamento = TRaggruppamento::Giorno;
    QString m_titolo;
    // Read once; regrouped when the choice changes.
    TDatiGrafico m_dati;
};

// Opens the chart as a modal window of the owner, centred; returns when it closes.
void MostraGraficoProdotto(QWidget* proprietario, qint64 idProdotto);
void MostraGraficoFlussi(QWidget* proprietario, const QDate& da, const QDate& a, const QString& azione,
                         const QString& descrizioneAzioni);
