#include "reports/Anteprima.h"

#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "reports/engine/Report.h"
#include "reports/engine/Pittura.h"
#include "ui_Anteprima.h"

#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace {
const double DpiSchermo = 96;
}

TAnteprimaReport::TAnteprimaReport(const TDocumentoReport& d, QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TAnteprimaReport>()), m_d(d) {
    m_ui->setupUi(this);
    const std::pair<QToolButton*, QStyle::StandardPixmap> icone[] = {
        {m_ui->sbPrimaPagina, QStyle::SP_MediaSkipBackward}, {m_ui->sbPaginaPrecedente, QStyle::SP_ArrowLeft},
        {m_ui->sbPaginaSuccessiva, QStyle::SP_ArrowRight},   {m_ui->sbUltimaPagina, QStyle::SP_MediaSkipForward},
        {m_ui->sbStampa, QStyle::SP_DialogSaveButton},       {m_ui->sbChiudi, QStyle::SP_DialogCloseButton}};
    for (const auto& [pulsante, icona] : icone) pulsante->setIcon(style()->standardIcon(icona));
    m_ui->NumeroPagina->setRange(1, qMax(1, m_d.numeroPagine()));
    m_ui->lblTotalePagine->setText(QStringLiteral(" di %1 ").arg(m_d.numeroPagine()));

    connect(m_ui->sbPrimaPagina, &QToolButton::clicked, this, Gestore([this] { vaiAPagina(0); }));
    connect(m_ui->sbPaginaPrecedente, &QToolButton::clicked, this, Gestore([this] { vaiAPagina(m_pagina - 1); }));
    connect(m_ui->NumeroPagina, &QSpinBox::valueChanged, this, Gestore([this](int n) { vaiAPagina(n - 1); }));
    connect(m_ui->sbPaginaSuccessiva, &QToolButton::clicked, this, Gestore([this] { vaiAPagina(m_pagina + 1); }));
    connect(m_ui->sbUltimaPagina, &QToolButton::clicked, this, Gestore([this] { vaiAPagina(m_d.numeroPagine() - 1); }));
    connect(m_ui->sbRiduci, &QToolButton::clicked, this, Gestore([this] { impostaZoom(m_zoom / 1.25); }));
    connect(m_ui->sbIngrandisci, &QToolButton::clicked, this, Gestore([this] { impostaZoom(m_zoom * 1.25); }));
    connect(m_ui->sbAdattaLarghezza, &QToolButton::clicked, this, Gestore([this] {
        const double disponibile = m_ui->Area->viewport()->width() - 20;
        impostaZoom(disponibile / (Pagina::Larghezza / 25.4 * DpiSchermo));
    }));
    connect(m_ui->sbStampa, &QToolButton::clicked, this, Gestore([this] { stampa(); }));
    connect(m_ui->sbChiudi, &QToolButton::clicked, this, Gestore(this, &QDialog::close));
    ridisegna();
}

TAnteprimaReport::~TAnteprimaReport() = default;

void TAnteprimaReport::vaiAPagina(int pagina) {
    pagina = qBound(0, pagina, qMax(0, m_d.numeroPagine() - 1));
    if (pagina == m_pagina && !m_ui->Foglio->pixmap().isNull()) return;
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
    m_ui->Foglio->setPixmap(QPixmap::fromImage(foglio));
    m_ui->Foglio->resize(foglio.size());
    {
        const QSignalBlocker blocco(m_ui->NumeroPagina);
        m_ui->NumeroPagina->setValue(m_pagina + 1);
    }
    const bool inizio = m_pagina == 0, fine = m_pagina >= m_d.numeroPagine() - 1;
    m_ui->sbPrimaPagina->setEnabled(!inizio);
    m_ui->sbPaginaPrecedente->setEnabled(!inizio);
    m_ui->sbPaginaSuccessiva->setEnabled(!fine);
    m_ui->sbUltimaPagina->setEnabled(!fine);
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

void MostraAnteprima(TReport& report, QWidget* genitore, const QString& titoloFinestra) {
    const TDocumentoReport& documento = report.genera();
    TAnteprimaReport anteprima(documento, genitore);
    anteprima.setWindowTitle(titoloFinestra.isEmpty() ? report.titoloLavoro : titoloFinestra);
    CentraSulloSchermo(&anteprima);
    anteprima.exec();
}
