#pragma once
// The translation step of a window.

#include <QList>

class QObject;

// The captions of the controls, in order (a window's title, labels, buttons,
// group boxes, actions), translated with Traduci into the language of the
// settings. Nothing happens without lingua.db or with the language "Italiano"
// or empty; an error ends the step, is shown by the general error display,
// and the captions translated so far stay.
void TraduciControlli(const QList<QObject*>& controlli);
