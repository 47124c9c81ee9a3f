#include "gui/TastoEsc.h"

#include "gui/Gestori.h"

#include <QDialog>
#include <QEvent>
#include <QKeyEvent>

namespace {

// Watches the window's own key events: a key that a child control ignored
// reaches the window, and Escape stops there.
class TFiltroEsc : public QObject {
public:
    TFiltroEsc(QDialog* finestra, std::function<void()> esci) : QObject(finestra), m_esci(std::move(esci)) {}

protected:
    bool eventFilter(QObject*, QEvent* evento) override {
        if (evento->type() != QEvent::KeyPress) return false;
        const auto* tasto = static_cast<QKeyEvent*>(evento);
        if (tasto->key() != Qt::Key_Escape || (tasto->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        evento->accept();
        if (m_esci) EseguiMostrandoErrori(m_esci);
        return true;
    }

private:
    std::function<void()> m_esci;
};

}  // namespace

void EscComeEsci(QDialog* finestra, std::function<void()> esci) {
    finestra->installEventFilter(new TFiltroEsc(finestra, std::move(esci)));
}
