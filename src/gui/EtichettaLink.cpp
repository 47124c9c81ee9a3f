#include "gui/EtichettaLink.h"

#include <QMouseEvent>

TEtichettaLink::TEtichettaLink(QWidget* genitore) : QLabel(genitore) {
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
}

void TEtichettaLink::mouseReleaseEvent(QMouseEvent* evento) {
    QLabel::mouseReleaseEvent(evento);
    if (evento->button() == Qt::LeftButton && isEnabled() && rect().contains(evento->position().toPoint()))
        emit cliccato();
}

void TEtichettaLink::changeEvent(QEvent* evento) {
    QLabel::changeEvent(evento);
    if (evento->type() == QEvent::EnabledChange) setCursor(isEnabled() ? Qt::PointingHandCursor : Qt::ArrowCursor);
}
