#pragma once
// Helpers for placing and colouring windows and controls.

class QColor;
class QWidget;

// Places a window in the middle of the desktop it is on, shrunk to fit it;
// a window not yet shown is placed again when it is shown, after its layout
// has given it its size.
void CentraSulloSchermo(QWidget* finestra);
// The text colour of a label or button, in the active and inactive states
// only: a disabled control keeps the disabled look.
void ColoraTesto(QWidget* w, const QColor& colore);
