#pragma once
// Guards of a long operation: the hourglass cursor and the window's
// operation flag with its blocked controls.

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

// The hourglass cursor for as long as the object lives.
class TCursoreOccupato {
public:
    TCursoreOccupato();
    ~TCursoreOccupato();
    TCursoreOccupato(const TCursoreOccupato&) = delete;
    TCursoreOccupato& operator=(const TCursoreOccupato&) = delete;
};

// A long operation of a window, from its start to its end however it ends
// (a return, a failure): the window's flag is set and the controls that
// could start a second run or close the window are disabled, so that a
// second run does not start inside the first nor the window close under it;
// the window itself refuses to close (title-bar close, Alt+F4, close()) and
// ignores Escape. At the end the flag is cleared, those controls are enabled
// again and the window's own clean-up runs (a label hidden, a list shown
// again).
class TOperazioneInCorso {
public:
    TOperazioneInCorso(QWidget* finestra, bool& inCorso, QList<QWidget*> bloccati, std::function<void()> allaFine = {});
    ~TOperazioneInCorso();
    TOperazioneInCorso(const TOperazioneInCorso&) = delete;
    TOperazioneInCorso& operator=(const TOperazioneInCorso&) = delete;

    // Runs each time a close or an Escape is refused (a window that closes
    // once the run has ended notes the request here).
    void quandoRifiutaChiusura(std::function<void()> azione);

private:
    bool& m_inCorso;
    QList<QPointer<QWidget>> m_bloccati;
    std::function<void()> m_allaFine;
    QPointer<QObject> m_filtro;
    QPointer<QWidget> m_finestra, m_fuoco;  // the control that had the focus
    std::function<void()> m_rifiuto;
};
