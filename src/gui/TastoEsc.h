#pragma once
// Escape in a window that edits records: Qt's dialog would reject at once and
// throw a pending change away. Here Escape takes the window's own "Esci" road
// instead, so the user gets the same question and the same outcome.

#include <functional>

class QDialog;

// Escape pressed anywhere in the window (and not used by the control that has
// the focus, such as an open drop-down list or a cell being edited) runs esci
// in place of the dialog's reject. With an empty esci Escape does nothing.
void EscComeEsci(QDialog* finestra, std::function<void()> esci);
