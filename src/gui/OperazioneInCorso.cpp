#include "gui/OperazioneInCorso.h"

#include <QCursor>
#include <QGuiApplication>

TCursoreOccupato::TCursoreOccupato() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
TCursoreOccupato::~TCursoreOccupato() { QGuiApplication::restoreOverrideCursor(); }

TOperazioneInCorso::TOperazioneInCorso(bool& inCorso, QList<QWidget*> bloccati, std::function<void()> allaFine)
    : m_inCorso(inCorso), m_allaFine(std::move(allaFine)) {
    m_inCorso = true;
    for (QWidget* w : bloccati) {
        w->setEnabled(false);
        m_bloccati << w;
    }
}

TOperazioneInCorso::~TOperazioneInCorso() {
    m_inCorso = false;
    for (const QPointer<QWidget>& w : m_bloccati)
        if (w) w->setEnabled(true);
    if (m_allaFine) m_allaFine();
}
