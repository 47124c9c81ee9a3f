#include "gui/Finestre.h"

#include <QColor>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// Fits a window to the desktop's free area and puts it in the middle: a
// window larger than the area is shrunk to it (its layout's minimum
// permitting), one smaller keeps its size.
void Centra(QWidget* finestra) {
    const QScreen* s = finestra->screen() ? finestra->screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect area = s->availableGeometry();
    // The frame the window system adds is known only once the window is
    // mapped; before that, leave room for a title bar and borders.
    const QRect cornice = finestra->frameGeometry();
    const QSize bordo = finestra->isVisible() ? cornice.size() - finestra->size() : QSize(8, 32);
    // Never smaller than its content: a size or minimum written in the form
    // may be below what the layout needs, and a label that wraps its words
    // needs more height at the window's width than the layout's minimum says.
    QSize dimensione = finestra->size().expandedTo(finestra->minimumSizeHint());
    if (const QLayout* l = finestra->layout(); l && l->hasHeightForWidth())
        dimensione.setHeight(std::max(dimensione.height(), l->totalMinimumHeightForWidth(dimensione.width())));
    if (dimensione != finestra->size()) finestra->resize(dimensione);
    const QSize massimo = (area.size() - bordo).expandedTo(finestra->minimumSize());
    if (finestra->width() > massimo.width() || finestra->height() > massimo.height())
        finestra->resize(finestra->size().boundedTo(massimo));
    const QSize tutta = finestra->size() + bordo;
    QPoint angolo(area.x() + (area.width() - tutta.width()) / 2, area.y() + (area.height() - tutta.height()) / 2);
    angolo.setX(std::max(angolo.x(), area.x()));
    angolo.setY(std::max(angolo.y(), area.y()));
    finestra->move(angolo);
}

// Centres a window once, when it is shown: a window built in its
// constructor gets its final size from its layout only then.
class TCentraAlloShow : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        if (evento->type() == QEvent::Show && oggetto == parent()) {
            Centra(static_cast<QWidget*>(oggetto));
            deleteLater();
            oggetto->removeEventFilter(this);
        }
        return false;
    }
};

}  // namespace

void CentraSulloSchermo(QWidget* finestra) {
    Centra(finestra);
    if (!finestra->isVisible()) finestra->installEventFilter(new TCentraAlloShow(finestra));
}

void ColoraTesto(QWidget* w, const QColor& colore) {
    QPalette p = w->palette();
    for (const QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::WindowText, colore);
        p.setColor(g, QPalette::ButtonText, colore);
    }
    w->setPalette(p);
}
