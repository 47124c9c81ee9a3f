#pragma once
// The wrapper every handler's body runs through: an error it raises is shown
// in the general error display and goes no further, so nothing is thrown
// through Qt's signal and event frames.

#include <functional>

// Runs an action, showing any error it raises in the general error display;
// false when it raised one (or a hook abandoned the operation).
bool EseguiMostrandoErrori(const std::function<void()>& azione);
