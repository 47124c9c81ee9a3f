#pragma once
// The runner of long work (exports, copies, resets, checks, rebuilds): the
// work runs in a worker thread while the window's event loop keeps running,
// a progress box shows how far it has come and offers "Stop", and whatever
// the work raises is raised again in the GUI thread, where the window's
// handler reports it once as it would any failure.
//
// The work runs on connections of its own, opened in the worker thread on
// the program folder (SQLite: one connection per thread; the store's
// connection, TArchivio::corrente(), is never touched from the worker). The
// folder's lock stays with the process, so the worker writes under it. What
// needs the store's connection (detaching tables, a rename of table files)
// is done by the caller in the GUI thread, before or after esegui().
//
// The window that starts a run holds its TOperazioneInCorso guard around
// esegui(): while the loop turns, its controls stay disabled and it refuses
// Close and Escape.
//
//     TLavoroLungo lavoro(this, QStringLiteral("Salvataggio dati in corso"), TUnitaAvanzamento::Byte);
//     lavoro.esegui([&](TContestoLavoro& c) { ... c.avanzamento(fatti, totale); c.controlla(); ... });

#include "data/engine/Errore.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class QAbstractButton;
class QLabel;
class QProgressBar;
class QWidget;
class TFrmAvanzamento;

// How the progress is counted.
enum class TUnitaAvanzamento {
    Record,  // "N di M record"
    Byte,    // "x,y di z,w MB"
    Pagine,  // "N di M pagine"
};

// A run ended by "Stop" at a point where the work checked for it.
class ErroreLavoroFermato : public ErroreArchivio {
public:
    ErroreLavoroFermato() : ErroreArchivio(QStringLiteral("Operazione interrotta.")) {}
};

// What the work sees of its run; every member may be called from the worker.
class TContestoLavoro {
public:
    // The user asked to stop.
    bool fermato() const { return m_stop.load(std::memory_order_relaxed); }
    // Raises ErroreLavoroFermato when the user asked to stop.
    void controlla() const;
    // A check for code that polls (TConnessioneLettura::impostaControllo):
    // false once the user asked to stop.
    std::function<bool()> controllo() const {
        return [this] { return !fermato(); };
    }
    // Work done so far, and the total when known (negative: unchanged).
    void avanzamento(qint64 fatti, qint64 totale = -1);
    // Work run in the window's thread (TLavoroLungo::eseguiQui) lets the
    // event loop run here, between two of its steps; in a worker, nothing.
    void cedi();
    // A line that says what the work is doing now (the file being copied,
    // "Compressione del foglio di lavoro…"); the box shows it.
    void fase(const QString& testo);

    // For the runner and its tests.
    void richiediStop() { m_stop.store(true); }
    qint64 fatti() const { return m_fatti.load(); }
    qint64 totale() const { return m_totale.load(); }
    QString testoFase() const;

private:
    friend class TLavoroLungo;
    std::function<void()> m_cedi;
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_fatti{0};
    std::atomic<qint64> m_totale{-1};
    mutable std::mutex m_mutex;
    QString m_fase;
};

class TLavoroLungo {
public:
    // finestra: the window that starts the run (owner of the progress box).
    TLavoroLungo(QWidget* finestra, const QString& titolo, TUnitaAvanzamento unita = TUnitaAvanzamento::Record);
    ~TLavoroLungo();
    TLavoroLungo(const TLavoroLungo&) = delete;
    TLavoroLungo& operator=(const TLavoroLungo&) = delete;

    // A "Stop" of the window itself: it asks the same stop as the box's.
    void aggiungiStop(QAbstractButton* pulsante);
    // A bar of the window that follows the progress as the box's does.
    void aggiungiBarra(QProgressBar* barra);
    // A label of the window that says what the box says: the work, what it
    // does now and how far it has come (the splash during a rebuild).
    void aggiungiEtichetta(QLabel* etichetta);
    // The total of the work when the window knows it before the run: the
    // bars and the box show it from the start.
    void totaleNoto(qint64 totale) { m_totaleNoto = totale; }
    // Without Stop: for work that cannot be left halfway.
    void senzaStop() { m_stopConsentito = false; }
    // Without the progress box: for work whose window shows its own state
    // and must keep the keyboard (a search read while keys are typed).
    void senzaBox() { m_conBox = false; }
    // Asks the running work to stop, as "Stop" does (e.g. a newer search
    // replaces the one running); nothing when no work runs.
    void ferma() { chiediStop(); }

    // Runs the work in a worker thread and returns when it has ended, the
    // event loop running meanwhile. What the work raises is raised here.
    void esegui(const std::function<void(TContestoLavoro&)>& lavoro);
    // Runs the work here, in the window's thread and on the store's own
    // connection, for work cut into steps each shorter than a frame: the
    // event loop runs where the work calls TContestoLavoro::cedi(). For work
    // that must see what the program's connection sees (its temporary
    // objects, its open transaction). The same box, Stop and bars.
    void eseguiQui(const std::function<void(TContestoLavoro&)>& lavoro);
    // The same, handing back what the work computes.
    template <class R>
    R calcola(const std::function<R(TContestoLavoro&)>& lavoro) {
        R risultato{};
        esegui([&](TContestoLavoro& c) { risultato = lavoro(c); });
        return risultato;
    }

    // The user asked to stop during the last run.
    bool stopRichiesto() const { return m_contesto && m_contesto->fermato(); }
    // The progress box of the running work (null before it is shown).
    TFrmAvanzamento* box() const;

    // Delay before the box appears: a short run shows none.
    static constexpr int RitardoBoxMs = 200;

private:
    void avvia(const std::function<void(TContestoLavoro&)>& lavoro, bool nelThread);
    void aggiorna();
    void chiediStop();

    QPointer<QWidget> m_finestra;
    QString m_titolo;
    TUnitaAvanzamento m_unita;
    bool m_stopConsentito = true;
    bool m_conBox = true;
    qint64 m_totaleNoto = -1;
    bool m_inVista = false;  // the run has lasted long enough to be shown
    std::unique_ptr<TContestoLavoro> m_contesto;
    QPointer<TFrmAvanzamento> m_box;
    QList<QPointer<QAbstractButton>> m_stop;
    QList<QPointer<QProgressBar>> m_barre;
    QList<QPointer<QLabel>> m_etichette;
};

// The text of the progress: "1.234 di 5.678 record", "12,5 di 80,0 MB";
// without a known total only what is done.
QString TestoAvanzamento(TUnitaAvanzamento unita, qint64 fatti, qint64 totale);
