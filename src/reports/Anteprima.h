#pragma once
// The preview of a laid-out report: one page at a time, painted when it is
// shown (never the whole document up front), with page navigation, zoom and
// printing (Qt's print dialog, which also writes a PDF file).

#include <QDialog>
#include <memory>

struct TDocumentoReport;
class TReport;
class QPrinter;

namespace Ui {
class TAnteprimaReport;
}

class TAnteprimaReport : public QDialog {
    Q_OBJECT
public:
    TAnteprimaReport(const TDocumentoReport& documento, QWidget* genitore = nullptr);
    ~TAnteprimaReport() override;

    Ui::TAnteprimaReport* ui() const { return m_ui.get(); }
    int pagina() const { return m_pagina; }  // 0-based
    void vaiAPagina(int pagina);
    double zoom() const { return m_zoom; }
    void impostaZoom(double zoom);
    // How many pages have been painted since the window opened.
    int pagineDipinte() const { return m_dipinte; }
    // Asks for the printer and the pages in Qt's print dialog (all, a range
    // "from … to", or the page shown), then prints them.
    void stampa();
    // Prints on a printer already set up: the pages its print range names,
    // in its page order, as many copies as it asks, collated or not.
    void stampaSu(QPrinter& stampante);

private:
    void ridisegna();
    std::unique_ptr<Ui::TAnteprimaReport> m_ui;
    const TDocumentoReport& m_d;
    int m_pagina = 0;
    double m_zoom = 1.0;
    int m_dipinte = 0;
};

// Generates the report and shows it in a preview from which the user prints
// or saves a PDF, centred; returns when the preview is closed. A failure while
// generating reaches the caller and no preview is shown. The window's title is
// the given one or the report's job title.
void MostraAnteprima(TReport& report, QWidget* genitore, const QString& titoloFinestra = {});
