#pragma once
// Settings read for a window: a failed read shows its error box.

#include <QString>

// One field of the settings record as text ("10", "True", "" for an empty
// field); on failure the error box names the field and the text is empty.
QString LeggiImpostazione(const QString& nome);
// A report's font size from its CAR_STAMPA_* setting: read with
// LeggiImpostazione, then as a whole number (a failed read shows its box and
// then raises the conversion error, as an empty or non-numeric field does).
int LeggiCarattereStampa(const QString& campo);
