#include "reports/engine/Anteprima.h"

#include "reports/engine/Report.h"

#include <QAction>
#include <algorithm>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const double DpiSchermo = 96;
}

TAnteprimaReport::TAnteprimaReport(const TDocumentoReport& d, QWidget* genitore) : QDialog(genitore), m_d(d) {
    setObjectName(QStringLiteral("AnteprimaReport"));
    setWindowTitle(QStringLiteral("Anteprima di stampa"));
    auto* strati = new QVBoxLayout(this);
    strati->setContentsMargins(0, 0, 0, 0);
    auto* barra = new QToolBar(this);
    strati->addWidget(barra);
    auto azione = [&](QStyle::StandardPixmap icona, const QString& suggerimento, auto funzione) {
        QAction* a = barra->addAction(style()->standardIcon(icona), suggerimento);
        a->setToolTip(suggerimento);
        connect(a, &QAction::triggered, this, funzione);
        return a;
    };
    m_prima = azione(QStyle::SP_MediaSkipBackward, QStringLiteral("Prima pagina"), [this] { vaiAPagina(0); });
    m_precedente = azione(QStyle::SP_ArrowLeft, QStringLiteral("Pagina precedente"), [this] { vaiAPagina(m_pagina - 1); });
    m_numero = new QSpinBox(barra);
    m_numero->setObjectName(QStringLiteral("NumeroPagina"));
    m_numero->setToolTip(QStringLiteral("Pagina mostrata"));
    m_numero->setRange(1, qMax(1, m_d.numeroPagine()));
    m_numero->setKeyboardTracking(false);
    barra->addWidget(m_numero);
    m_totale = new QLabel(QStringLiteral(" di %1 ").arg(m_d.numeroPagine()), barra);
    barra->addWidget(m_totale);
    connect(m_numero, &QSpinBox::valueChanged, this, [this](int n) { vaiAPagina(n - 1); });
    m_successiva = azione(QStyle::SP_ArrowRight, QStringLiteral("Pagina successiva"), [this] { vaiAPagina(m_pagina + 1); });
    m_ultima = azione(QStyle::SP_MediaSkipForward, QStringLiteral("Ultima pagina"),
                      [this] { vaiAPagina(m_d.numeroPagine() - 1); });
    barra->addSeparator();
    QAction* riduci = barra->addAction(QStringLiteral("−"));
    riduci->setToolTip(QStringLiteral("Riduci"));
    connect(riduci, &QAction::triggered, this, [this] { impostaZoom(m_zoom / 1.25); });
    QAction* ingrandisci = barra->addAction(QStringLiteral("+"));
    ingrandisci->setToolTip(QStringLiteral("Ingrandisci"));
    connect(ingrandisci, &QAction::triggered, this, [this] { impostaZoom(m_zoom * 1.25); });
    QAction* larghezza = barra->addAction(QStringLiteral("↔"));
    larghezza->setToolTip(QStringLiteral("Adatta alla larghezza"));
    connect(larghezza, &QAction::triggered, this, [this] {
        const double disponibile = m_area->viewport()->width() - 20;
        impostaZoom(disponibile / (Pagina::Larghezza / 25.4 * DpiSchermo));
    });
    barra->addSeparator();
    azione(QStyle::SP_DialogSaveButton, QStringLiteral("Stampa (anche su file PDF)"), [this] { stampa(); });
    azione(QStyle::SP_DialogCloseButton, QStringLiteral("Chiudi l'anteprima"), [this] { close(); });

    m_area = new QScrollArea(this);
    m_area->setAlignment(Qt::AlignHCenter);
    m_area->setBackgroundRole(QPalette::Dark);
    m_foglio = new QLabel;
    m_foglio->setObjectName(QStringLiteral("Foglio"));
    m_area->setWidget(m_foglio);
    strati->addWidget(m_area);
    resize(900, 1000);
    ridisegna();
}

void TAnteprimaReport::vaiAPagina(int pagina) {
    pagina = qBound(0, pagina, qMax(0, m_d.numeroPagine() - 1));
    if (pagina == m_pagina && !m_foglio->pixmap().isNull()) return;
    m_pagina = pagina;
    ridisegna();
}

void TAnteprimaReport::impostaZoom(double zoom) {
    m_zoom = qBound(0.2, zoom, 4.0);
    ridisegna();
}

void TAnteprimaReport::ridisegna() {
    // The shown page only, painted at the zoom's resolution.
    const double dpi = DpiSchermo * m_zoom;
    QImage foglio(qRound(Pagina::Larghezza / 25.4 * dpi), qRound(Pagina::Altezza / 25.4 * dpi), QImage::Format_RGB32);
    foglio.setDotsPerMeterX(qRound(dpi / 0.0254));
    foglio.setDotsPerMeterY(qRound(dpi / 0.0254));
    foglio.fill(Qt::white);
    if (m_d.numeroPagine() > 0) {
        QPainter p(&foglio);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        DipingiPagina(p, m_d, m_pagina);
        ++m_dipinte;
    }
    m_foglio->setPixmap(QPixmap::fromImage(foglio));
    m_foglio->resize(foglio.size());
    {
        const QSignalBlocker blocco(m_numero);
        m_numero->setValue(m_pagina + 1);
    }
    const bool inizio = m_pagina == 0, fine = m_pagina >= m_d.numeroPagine() - 1;
    m_prima->setEnabled(!inizio);
    m_precedente->setEnabled(!inizio);
    m_successiva->setEnabled(!fine);
    m_ultima->setEnabled(!fine);
}

void TAnteprimaReport::stampa() {
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                        QPageLayout::Millimeter));
    stampante.setFullPage(true);
    stampante.setDocName(m_d.titoloLavoro.isEmpty() ? windowTitle() : m_d.titoloLavoro);
    QPrintDialog dialogo(&stampante, this);
    dialogo.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialogo.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    dialogo.setMinMax(1, qMax(1, m_d.numeroPagine()));
    stampante.setFromTo(1, qMax(1, m_d.numeroPagine()));
    if (dialogo.exec() != QDialog::Accepted) return;
    stampaSu(stampante);
}

void TAnteprimaReport::stampaSu(QPrinter& stampante) {
    const int ultima = m_d.numeroPagine() - 1;
    int da = 0, a = ultima;
    if (stampante.printRange() == QPrinter::PageRange) {
        // fromPage() and toPage() are 1-based; 0 means no bound.
        if (stampante.fromPage() > 0) da = stampante.fromPage() - 1;
        if (stampante.toPage() > 0) a = qMin(stampante.toPage() - 1, ultima);
    } else if (stampante.printRange() == QPrinter::CurrentPage) {
        da = a = m_pagina;
    }
    QList<int> pagine;
    for (int i = da; i <= a; ++i) pagine << i;
    if (stampante.pageOrder() == QPrinter::LastPageFirst) std::reverse(pagine.begin(), pagine.end());
    // A printer that makes the copies itself gets the pages once; for one
    // that does not (a PDF file) every copy is painted here, the whole set
    // again when collated, each page again otherwise.
    const int copie = stampante.supportsMultipleCopies() ? 1 : qMax(1, stampante.copyCount());
    QList<int> sequenza;
    if (stampante.collateCopies()) {
        for (int c = 0; c < copie; ++c) sequenza += pagine;
    } else {
        for (const int i : pagine)
            for (int c = 0; c < copie; ++c) sequenza << i;
    }
    DipingiDocumento(stampante, m_d, sequenza);
}
