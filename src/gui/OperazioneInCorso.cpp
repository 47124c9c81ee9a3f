#include "gui/OperazioneInCorso.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>

TCursoreOccupato::TCursoreOccupato() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
TCursoreOccupato::~TCursoreOccupato() { QGuiApplication::restoreOverrideCursor(); }

namespace {

// Sits on the window for the run: its close events are ignored, and an
// Escape that reaches it (no control used it) stops there instead of
// rejecting the dialog. Installed last, it sees the window's events before
// the window's other filters.
class TFiltroChiusura : public QObject {
public:
    TFiltroChiusura(QWidget* finestra, const std::function<void()>& rifiuto) : QObject(finestra), m_rifiuto(rifiuto) {}

protected:
    bool eventFilter(QObject*, QEvent* evento) override {
        if (evento->type() == QEvent::Close) {
            evento->ignore();
        } else if (evento->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(evento)->key() == Qt::Key_Escape) {
            evento->accept();
        } else {
            return false;
        }
        if (m_rifiuto) m_rifiuto();
        return true;
    }

private:
    const std::function<void()>& m_rifiuto;
};

}  // namespace

TOperazioneInCorso::TOperazioneInCorso(QWidget* finestra, bool& inCorso, QList<QWidget*> bloccati,
                                       std::function<void()> allaFine)
    : m_inCorso(inCorso), m_allaFine(std::move(allaFine)) {
    m_inCorso = true;
    for (QWidget* w : bloccati) {
        w->setEnabled(false);
        m_bloccati << w;
    }
    auto* filtro = new TFiltroChiusura(finestra, m_rifiuto);
    finestra->installEventFilter(filtro);
    m_filtro = filtro;
}

TOperazioneInCorso::~TOperazioneInCorso() {
    delete m_filtro.data();  // the window closes again as it did before the run
    m_inCorso = false;
    for (const QPointer<QWidget>& w : m_bloccati)
        if (w) w->setEnabled(true);
    if (m_allaFine) m_allaFine();
}

void TOperazioneInCorso::quandoRifiutaChiusura(std::function<void()> azione) { m_rifiuto = std::move(azione); }
