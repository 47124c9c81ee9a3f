#pragma once
// The preview of a laid-out report: one page at a time, painted when it is
// shown (never the whole document up front), with page navigation, zoom and
// printing (Qt's print dialog, which also writes a PDF file).
//
// Given a report whose layout is under way, the preview goes on laying it out
// in short steps between the window's events: the page box counts the pages
// ready ("1 di 37…") and then shows the total; paging and zoom work over the
// pages ready meanwhile, and closing the window stops the layout.

#include <QDialog>
#include <QTimer>
#include <exception>
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
    // The preview of a report; when its layout is under way (started with
    // TReport::iniziaGenerazione) the window completes it step by step.
    explicit TAnteprimaReport(TReport& report, QWidget* genitore = nullptr);
    ~TAnteprimaReport() override;

    // True while pages are still being laid out.
    bool inImpaginazione() const;
    // The failure that ended the layout, if one did (the window closes).
    std::exception_ptr errore() const { return m_errore; }

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
    // in its page order, as many copies as it asks, collated or not. The
    // pages are painted beside the window with their progress and "Stop";
    // false when stopped (a PDF file then is not written at all).
    bool stampaSu(QPrinter& stampante);

protected:
    void done(int risultato) override;

private:
    void prepara();
    void ridisegna();
    void aggiornaConteggio();
    void aggiornaPulsanti();
    void impagina();
    void fermaImpaginazione();
    int ultimaPagina() const;
    std::unique_ptr<Ui::TAnteprimaReport> m_ui;
    TReport* m_report = nullptr;
    const TDocumentoReport& m_d;
    QTimer m_passi;
    std::exception_ptr m_errore;
    int m_pagina = 0;
    double m_zoom = 1.0;
    int m_dipinte = 0;
    bool m_paginaVuota = true;
    bool m_inStampa = false;  // the sheet shown is blank: its page was not ready
};

// Lays out the report's first page and shows it in a preview, centred, that
// lays out the rest while the user looks at it and from which the user prints
// or saves a PDF; returns when the preview is closed. A failure before the
// first page reaches the caller and no preview is shown; one later closes the
// preview and reaches the caller too. The window's title is the given one or
// the report's job title.
void MostraAnteprima(TReport& report, QWidget* genitore, const QString& titoloFinestra = {});
