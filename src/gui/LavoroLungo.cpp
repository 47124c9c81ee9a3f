#include "gui/LavoroLungo.h"

#include "data/Convenzioni.h"
#include "gui/Avanzamento.h"
#include "ui_Avanzamento.h"

#include <QAbstractButton>
#include <QEventLoop>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <exception>

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

void TLavoroLungo::chiediStop() {
    if (!m_stopConsentito || !m_contesto || m_contesto->fermato()) return;
    m_contesto->richiediStop();
    if (m_box) m_box->mostraInterruzione();
    for (const auto& p : m_stop)
        if (p) p->setEnabled(false);
}

void TLavoroLungo::aggiorna() {
    const qint64 fatti = m_contesto->fatti(), totale = m_contesto->totale();
    // Bars count in thousandths: a total of bytes does not fit an int.
    const int valore = totale > 0 ? static_cast<int>(qBound<qint64>(0, fatti * 1000 / totale, qint64(1000))) : 0;
    for (const auto& b : m_barre) {
        if (!b) continue;
        b->setRange(0, totale >= 0 ? 1000 : 0);
        b->setValue(valore);
    }
    if (!m_box) return;
    Ui::TFrmAvanzamento* ui = m_box->ui();
    ui->PrgBar->setRange(0, totale >= 0 ? 1000 : 0);
    ui->PrgBar->setValue(valore);
    const QString fase = m_contesto->testoFase();
    ui->LabelOperazione->setText(fase.isEmpty() ? m_titolo : m_titolo + QLatin1Char('\n') + fase);
    if (!m_contesto->fermato()) ui->LabelAvanzamento->setText(TestoAvanzamento(m_unita, fatti, totale));
}

void TLavoroLungo::esegui(const std::function<void(TContestoLavoro&)>& lavoro) {
    m_contesto = std::make_unique<TContestoLavoro>();
    TContestoLavoro& contesto = *m_contesto;
    std::exception_ptr errore;

    delete m_box.data();
    m_box = new TFrmAvanzamento(m_finestra);
    m_box->setWindowTitle(m_titolo);
    m_box->suStop = [this] { chiediStop(); };
    m_box->ui()->sbFerma->setVisible(m_stopConsentito);
    QList<QMetaObject::Connection> collegamenti;
    for (const auto& p : m_stop)
        if (p) {
            p->setEnabled(m_stopConsentito);
            collegamenti << QObject::connect(p, &QAbstractButton::clicked, m_box, [this] { chiediStop(); });
        }

    QEventLoop ciclo;
    QThread* lavoratore = QThread::create([&contesto, &lavoro, &errore] {
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
    QTimer aggiornamento;
    aggiornamento.setInterval(50);
    QObject::connect(&aggiornamento, &QTimer::timeout, &ciclo, [this] { aggiorna(); });
    QTimer comparsa;
    comparsa.setSingleShot(true);
    comparsa.setInterval(RitardoBoxMs);
    QObject::connect(&comparsa, &QTimer::timeout, &ciclo, [this] {
        aggiorna();
        m_box->show();
    });
    aggiorna();
    lavoratore->start();
    aggiornamento.start();
    comparsa.start();
    ciclo.exec(QEventLoop::AllEvents);
    // The loop may also end because the application is quitting: the work
    // is asked to stop and waited for.
    if (!terminato) contesto.richiediStop();
    lavoratore->wait();
    delete lavoratore;
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
    m_box->chiudiAllaFine();
    if (errore) std::rethrow_exception(errore);
}
