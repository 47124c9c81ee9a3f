#include "reports/Anteprima.h"

#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/LavoroLungo.h"
#include "gui/OperazioneInCorso.h"
#include "reports/engine/Report.h"
#include "reports/engine/Pittura.h"
#include "ui_Anteprima.h"

#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
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
#include <cstdio>

namespace {
const double DpiSchermo = 96;
// The layout's share of the event loop: steps of about this many
// milliseconds, so that the window answers between them.
const int PassoImpaginazioneMs = 25;
const int PausaAttesaRigheMs = 5;

// Gives a finished file its final name, in place of any file of that name.
bool SostituisciFile(const QString& da, const QString& a) {
    return std::rename(QFile::encodeName(da).constData(), QFile::encodeName(a).constData()) == 0;
}
}  // namespace

TAnteprimaReport::TAnteprimaReport(const TDocumentoReport& d, QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TAnteprimaReport>()), m_d(d) {
    prepara();
}

TAnteprimaReport::TAnteprimaReport(TReport& report, QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TAnteprimaReport>()), m_report(&report), m_d(report.documento()) {
    prepara();
    if (report.generazioneInCorso()) {
        m_passi.setInterval(0);
        connect(&m_passi, &QTimer::timeout, this, [this] { impagina(); });
        m_passi.start();
        aggiornaConteggio();
    }
}

void TAnteprimaReport::prepara() {
    m_ui->setupUi(this);
    const std::pair<QToolButton*, QStyle::StandardPixmap> icone[] = {
        {m_ui->sbPrimaPagina, QStyle::SP_MediaSkipBackward}, {m_ui->sbPaginaPrecedente, QStyle::SP_ArrowLeft},
        {m_ui->sbPaginaSuccessiva, QStyle::SP_ArrowRight},   {m_ui->sbUltimaPagina, QStyle::SP_MediaSkipForward},
        {m_ui->sbStampa, QStyle::SP_DialogSaveButton},       {m_ui->sbChiudi, QStyle::SP_DialogCloseButton}};
    for (const auto& [pulsante, icona] : icone) pulsante->setIcon(style()->standardIcon(icona));

    connect(m_ui->sbPrimaPagina, &QToolButton::clicked, this, Gestore([this] { vaiAPagina(0); }));
    connect(m_ui->sbPaginaPrecedente, &QToolButton::clicked, this, Gestore([this] { vaiAPagina(m_pagina - 1); }));
    connect(m_ui->NumeroPagina, &QSpinBox::valueChanged, this, Gestore([this](int n) { vaiAPagina(n - 1); }));
    connect(m_ui->sbPaginaSuccessiva, &QToolButton::clicked, this, Gestore([this] { vaiAPagina(m_pagina + 1); }));
    connect(m_ui->sbUltimaPagina, &QToolButton::clicked, this, Gestore([this] { vaiAPagina(ultimaPagina()); }));
    connect(m_ui->sbRiduci, &QToolButton::clicked, this, Gestore([this] { impostaZoom(m_zoom / 1.25); }));
    connect(m_ui->sbIngrandisci, &QToolButton::clicked, this, Gestore([this] { impostaZoom(m_zoom * 1.25); }));
    connect(m_ui->sbAdattaLarghezza, &QToolButton::clicked, this, Gestore([this] {
        const double disponibile = m_ui->Area->viewport()->width() - 20;
        impostaZoom(disponibile / (Pagina::Larghezza / 25.4 * DpiSchermo));
    }));
    connect(m_ui->sbStampa, &QToolButton::clicked, this, Gestore([this] { stampa(); }));
    connect(m_ui->sbChiudi, &QToolButton::clicked, this, Gestore(this, &QDialog::close));
    aggiornaConteggio();
    ridisegna();
}

TAnteprimaReport::~TAnteprimaReport() { fermaImpaginazione(); }

bool TAnteprimaReport::inImpaginazione() const { return m_passi.isActive(); }

int TAnteprimaReport::ultimaPagina() const { return qMax(0, m_d.numeroPagine() - 1); }

void TAnteprimaReport::done(int risultato) {
    fermaImpaginazione();
    QDialog::done(risultato);
}

void TAnteprimaReport::fermaImpaginazione() {
    if (!m_passi.isActive()) return;
    m_passi.stop();
    if (m_report) m_report->interrompiGenerazione();
    aggiornaConteggio();
}

// One step of the layout: pages until the step's time is up or the report
// is complete; then the page box, and the page shown if it was waiting.
void TAnteprimaReport::impagina() {
    QElapsedTimer tempo;
    tempo.start();
    bool finito = false;
    try {
        do {
            finito = m_report->avanzaGenerazione(1);
        } while (!finito && !m_report->generazioneInAttesa() && tempo.elapsed() < PassoImpaginazioneMs);
    } catch (...) {
        // The report's pages are gone with the failure: the window closes
        // and whoever opened it hears of the failure.
        m_errore = std::current_exception();
        m_passi.stop();
        reject();
        return;
    }
    if (finito) m_passi.stop();
    // While the rows read beside the layout have not come, the next step
    // waits a little instead of asking again at once.
    else m_passi.setInterval(m_report->generazioneInAttesa() ? PausaAttesaRigheMs : 0);
    aggiornaConteggio();
    if (m_paginaVuota && m_pagina < m_d.numeroPagine()) ridisegna();
    else aggiornaPulsanti();
}

// The page box: the pages ready so far with "…" while the layout goes on,
// the total once it is complete.
void TAnteprimaReport::aggiornaConteggio() {
    const int pronte = m_d.numeroPagine();
    {
        const QSignalBlocker blocco(m_ui->NumeroPagina);
        m_ui->NumeroPagina->setRange(1, qMax(1, pronte));
        m_ui->NumeroPagina->setValue(m_pagina + 1);
    }
    // Printing takes the whole report: it waits for the last page.
    m_ui->sbStampa->setEnabled(!m_passi.isActive());
    // Before its first page (the rows of a long period still being sorted)
    // the layout has no count to show yet.
    m_ui->lblTotalePagine->setText(!m_passi.isActive() ? QStringLiteral(" di %1 ").arg(pronte)
                                   : pronte > 0        ? QStringLiteral(" di %1… ").arg(pronte)
                                                       : QStringLiteral(" di … "));
}

void TAnteprimaReport::vaiAPagina(int pagina) {
    pagina = qBound(0, pagina, ultimaPagina());
    if (pagina == m_pagina && !m_ui->Foglio->pixmap().isNull() && !m_paginaVuota) return;
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
    m_paginaVuota = m_pagina >= m_d.numeroPagine();
    if (!m_paginaVuota) {
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
    aggiornaPulsanti();
}

void TAnteprimaReport::aggiornaPulsanti() {
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

bool TAnteprimaReport::stampaSu(QPrinter& stampante) {
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

    // A PDF file is written under a name of its own beside the one chosen and
    // takes that name only when complete: a stopped or failed run leaves no
    // file behind, and an earlier file of that name stays as it was.
    const QString finale = stampante.outputFormat() == QPrinter::PdfFormat ? stampante.outputFileName() : QString();
    const QString provvisorio = finale.isEmpty() ? QString() : finale + QStringLiteral(".incompleto");
    if (!provvisorio.isEmpty()) stampante.setOutputFileName(provvisorio);
    const auto ripristina = qScopeGuard([&] {
        if (provvisorio.isEmpty()) return;
        QFile::remove(provvisorio);
        stampante.setOutputFileName(finale);
    });

    // The pages are painted beside the window, which keeps answering; the
    // layout is complete and nothing changes the pages meanwhile.
    const TOperazioneInCorso operazione(this, m_inStampa,
                                        {m_ui->sbPrimaPagina, m_ui->sbPaginaPrecedente, m_ui->NumeroPagina,
                                         m_ui->sbPaginaSuccessiva, m_ui->sbUltimaPagina, m_ui->sbRiduci,
                                         m_ui->sbIngrandisci, m_ui->sbAdattaLarghezza, m_ui->sbStampa, m_ui->sbChiudi},
                                        [this] {
                                            // The buttons back as the page shown has them.
                                            aggiornaConteggio();
                                            aggiornaPulsanti();
                                        });
    TLavoroLungo lavoro(this, QStringLiteral("Stampa in corso"), TUnitaAvanzamento::Pagine);
    const bool completa = lavoro.calcola<bool>([&](TContestoLavoro& c) {
        c.avanzamento(0, sequenza.size());
        const bool finita = DipingiDocumento(stampante, m_d, sequenza, [&c](int fatte) {
            c.avanzamento(fatte);
            return !c.fermato();
        });
        // A printer's job stopped halfway is withdrawn where the printer
        // allows it.
        if (!finita && provvisorio.isEmpty()) stampante.abort();
        return finita;
    });
    if (!completa || provvisorio.isEmpty()) return completa;
    if (!SostituisciFile(provvisorio, finale))
        throw ErroreArchivio(QStringLiteral("Impossibile scrivere il file %1").arg(finale), ErroreArchivio::CtxFile);
    stampante.setOutputFileName(finale);
    return true;
}

void MostraAnteprima(TReport& report, QWidget* genitore, const QString& titoloFinestra) {
    report.iniziaGenerazione();
    report.avanzaGenerazione(1);
    TAnteprimaReport anteprima(report, genitore);
    anteprima.setWindowTitle(titoloFinestra.isEmpty() ? report.titoloLavoro : titoloFinestra);
    CentraSulloSchermo(&anteprima);
    anteprima.exec();
    if (anteprima.errore()) std::rethrow_exception(anteprima.errore());
}
