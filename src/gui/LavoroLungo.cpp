#include "gui/LavoroLungo.h"

#include "data/Convenzioni.h"
#include "gui/Avanzamento.h"
#include "ui_Avanzamento.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <exception>
#include <limits>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// How many steps of niceness the worker stands below the GUI thread.
constexpr int PrecedenzaInterfaccia = 5;
}  // namespace

void TContestoLavoro::controlla() const {
    if (fermato()) throw ErroreLavoroFermato();
}

void TContestoLavoro::avanzamento(qint64 fatti, qint64 totale) {
    if (totale >= 0) m_totale.store(totale);
    m_fatti.store(fatti);
}

void TContestoLavoro::fase(const QString& testo) {
    const std::lock_guard<std::mutex> blocco(m_mutex);
    m_fase = testo;
}

QString TContestoLavoro::testoFase() const {
    const std::lock_guard<std::mutex> blocco(m_mutex);
    return m_fase;
}

QString TestoAvanzamento(TUnitaAvanzamento unita, qint64 fatti, qint64 totale) {
    const QLocale& l = LocaleItaliano();
    if (unita == TUnitaAvanzamento::Record || unita == TUnitaAvanzamento::Pagine) {
        const QString cosa = unita == TUnitaAvanzamento::Record ? QStringLiteral("record") : QStringLiteral("pagine");
        if (totale < 0) return QStringLiteral("%1 %2").arg(l.toString(fatti), cosa);
        return QStringLiteral("%1 di %2 %3").arg(l.toString(fatti), l.toString(totale), cosa);
    }
    const auto mb = [&l](qint64 byte) { return l.toString(byte / (1024.0 * 1024.0), 'f', 1); };
    if (totale < 0) return QStringLiteral("%1 MB").arg(mb(fatti));
    return QStringLiteral("%1 di %2 MB").arg(mb(fatti), mb(totale));
}

TLavoroLungo::TLavoroLungo(QWidget* finestra, const QString& titolo, TUnitaAvanzamento unita)
    : m_finestra(finestra), m_titolo(titolo), m_unita(unita) {}

TLavoroLungo::~TLavoroLungo() { delete m_box.data(); }

TFrmAvanzamento* TLavoroLungo::box() const { return m_box.data(); }

void TLavoroLungo::aggiungiStop(QAbstractButton* pulsante) { m_stop << pulsante; }

void TLavoroLungo::aggiungiBarra(QProgressBar* barra) { m_barre << barra; }

void TLavoroLungo::aggiungiEtichetta(QLabel* etichetta) { m_etichette << etichetta; }

void TLavoroLungo::chiediStop() {
    if (!m_stopConsentito || !m_contesto || m_contesto->fermato()) return;
    m_contesto->richiediStop();
    if (m_box) m_box->mostraInterruzione();
    for (const auto& p : m_stop)
        if (p) p->setEnabled(false);
}

void TLavoroLungo::aggiorna() {
    const qint64 fatti = m_contesto->fatti(), totale = m_contesto->totale();
    // Bars count in thousandths: a total of bytes does not fit an int. A
    // window's bar counts records, as it did when the window drove it.
    const int valore = totale > 0 ? static_cast<int>(qBound<qint64>(0, fatti * 1000 / totale, qint64(1000))) : 0;
    const bool inRecord = m_unita == TUnitaAvanzamento::Record && totale >= 0 && totale <= std::numeric_limits<int>::max();
    for (const auto& b : m_barre) {
        if (!b) continue;
        if (inRecord) {
            b->setRange(0, static_cast<int>(totale));
            b->setValue(static_cast<int>(qBound<qint64>(0, fatti, totale)));
            continue;
        }
        b->setRange(0, totale >= 0 ? 1000 : 0);
        b->setValue(valore);
    }
    const QString fase = m_contesto->testoFase();
    const QString operazione = fase.isEmpty() ? m_titolo : m_titolo + QLatin1Char('\n') + fase;
    // The window's labels speak, as the box appears, only when the run lasts.
    for (const auto& e : m_etichette)
        if (e && m_inVista) e->setText(operazione + QLatin1Char('\n') + TestoAvanzamento(m_unita, fatti, totale));
    if (!m_box) return;
    Ui::TFrmAvanzamento* ui = m_box->ui();
    ui->PrgBar->setRange(0, totale >= 0 ? 1000 : 0);
    ui->PrgBar->setValue(valore);
    ui->LabelOperazione->setText(operazione);
    if (!m_contesto->fermato()) ui->LabelAvanzamento->setText(TestoAvanzamento(m_unita, fatti, totale));
}

void TLavoroLungo::esegui(const std::function<void(TContestoLavoro&)>& lavoro) { avvia(lavoro, true); }

void TLavoroLungo::eseguiQui(const std::function<void(TContestoLavoro&)>& lavoro) { avvia(lavoro, false); }

void TContestoLavoro::cedi() {
    if (m_cedi) m_cedi();
}

void TLavoroLungo::avvia(const std::function<void(TContestoLavoro&)>& lavoro, bool nelThread) {
    m_contesto = std::make_unique<TContestoLavoro>();
    TContestoLavoro& contesto = *m_contesto;
    if (m_totaleNoto >= 0) contesto.avanzamento(0, m_totaleNoto);
    std::exception_ptr errore;

    delete m_box.data();
    if (m_conBox) {
        m_box = new TFrmAvanzamento(m_finestra);
        m_box->setWindowTitle(m_titolo);
        m_box->suStop = [this] { chiediStop(); };
        m_box->ui()->sbFerma->setVisible(m_stopConsentito);
    }
    QList<QMetaObject::Connection> collegamenti;
    for (const auto& p : m_stop)
        if (p) {
            p->setEnabled(m_stopConsentito);
            collegamenti << QObject::connect(p, &QAbstractButton::clicked, p, [this] { chiediStop(); });
        }

    QObject contestoTimer;
    QTimer aggiornamento;
    aggiornamento.setInterval(50);
    QObject::connect(&aggiornamento, &QTimer::timeout, &contestoTimer, [this] { aggiorna(); });
    QTimer comparsa;
    comparsa.setSingleShot(true);
    comparsa.setInterval(RitardoBoxMs);
    m_inVista = false;
    QObject::connect(&comparsa, &QTimer::timeout, &contestoTimer, [this] {
        m_inVista = true;
        aggiorna();
        if (m_box) m_box->show();
    });
    aggiorna();
    aggiornamento.start();
    comparsa.start();
    if (nelThread) {
        QEventLoop ciclo;
        QThread* lavoratore = QThread::create([&contesto, &lavoro, &errore] {
            // The worker yields to the interface: a few steps of niceness
            // below the GUI thread, so that on a busy machine the window's
            // turn comes first (Qt's thread priorities do nothing for
            // ordinary threads on Linux).
            const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
            ::setpriority(PRIO_PROCESS, tid, ::getpriority(PRIO_PROCESS, tid) + PrecedenzaInterfaccia);
            try {
                lavoro(contesto);
            } catch (...) {
                errore = std::current_exception();
            }
        });
        bool terminato = false;
        QObject::connect(
            lavoratore, &QThread::finished, &ciclo,
            [&] {
                terminato = true;
                ciclo.quit();
            },
            Qt::QueuedConnection);
        lavoratore->start();
        ciclo.exec(QEventLoop::AllEvents);
        // The loop may also end because the application is quitting: the work
        // is asked to stop and waited for.
        if (!terminato) contesto.richiediStop();
        lavoratore->wait();
        delete lavoratore;
    } else {
        // The work lets the loop run where it calls cedi().
        contesto.m_cedi = [] { QCoreApplication::processEvents(); };
        try {
            lavoro(contesto);
        } catch (...) {
            errore = std::current_exception();
        }
        contesto.m_cedi = nullptr;
    }
    aggiornamento.stop();
    comparsa.stop();
    for (const auto& c : collegamenti) QObject::disconnect(c);
    for (const auto& p : m_stop)
        if (p) p->setEnabled(false);
    for (const auto& b : m_barre)
        if (b) {
            b->setRange(0, 100);
            b->setValue(0);
        }
    for (const auto& e : m_etichette)
        if (e) e->clear();
    if (m_box) m_box->chiudiAllaFine();
    if (errore) std::rethrow_exception(errore);
}
