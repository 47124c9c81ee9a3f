#pragma once
// The preview of a laid-out report: one page at a time, painted when it is
// shown (never the whole document up front), with page navigation, zoom and
// printing (Qt's print dialog, which also writes a PDF file).

#include <QDialog>
#include <QImage>

struct TDocumentoReport;
class QLabel;
class QScrollArea;
class QSpinBox;
class QAction;
class QPrinter;

class TAnteprimaReport : public QDialog {
    Q_OBJECT
public:
    TAnteprimaReport(const TDocumentoReport& documento, QWidget* genitore = nullptr);

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
    const TDocumentoReport& m_d;
    QScrollArea* m_area;
    QLabel* m_foglio;
    QSpinBox* m_numero;
    QLabel* m_totale;
    QAction* m_prima;
    QAction* m_precedente;
    QAction* m_successiva;
    QAction* m_ultima;
    int m_pagina = 0;
    double m_zoom = 1.0;
    int m_dipinte = 0;
};
