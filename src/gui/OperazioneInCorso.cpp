#include "gui/OperazioneInCorso.h"

#include <QCursor>
#include <QEvent>
#include <QApplication>
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
    // A control that is disabled while it has the focus hands it to the next
    // one, and a list that gets it that way picks its first row (a table's
    // fields shown in the middle of a run): the window holds the focus for
    // the run and gives it back to that control at the end.
    QWidget* fuoco = QApplication::focusWidget();
    if (fuoco && finestra->isAncestorOf(fuoco)) {
        for (QWidget* w : bloccati)
            if (w == fuoco || w->isAncestorOf(fuoco)) {
                m_fuoco = fuoco;
                m_finestra = finestra;
                finestra->setFocus(Qt::OtherFocusReason);
                break;
            }
    }
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
    if (m_fuoco && m_finestra && QApplication::focusWidget() == m_finestra && m_fuoco->isEnabled())
        m_fuoco->setFocus(Qt::OtherFocusReason);
    if (m_allaFine) m_allaFine();
}

void TOperazioneInCorso::quandoRifiutaChiusura(std::function<void()> azione) { m_rifiuto = std::move(azione); }
