#pragma once
// How wide a text is in a report's font: the measures the layout and the
// painting share to tell whether a text fits its box, and to fit it.

#include <QFont>
#include <QFontMetricsF>
#include <QString>

class QPaintDevice;

// Fits a text that is too wide for a box of the given width in mm: the same
// font made just small enough, but never below three quarters of its size,
// and at that size the text cut with "…".
QFont AdattaAlRiquadro(const QFont& font, QString& testo, double larghezzaMm);
// The widths of a font's characters on a device, kept for the whole run.
struct TLarghezzeCaratteri;
TLarghezzeCaratteri* LarghezzeDi(const QFont& font, QPaintDevice* dispositivo);
// The exact width of a text in device units.
double LarghezzaTesto(TLarghezzeCaratteri& l, const QString& testo);
// The metrics the widths come from.
const QFontMetricsF& MetricheDi(const TLarghezzeCaratteri& l);
// Whether a text fits a width in device units.
bool StaNelRiquadro(TLarghezzeCaratteri& l, const QString& testo, double larghezza);
// Whether the sum of its characters' widths leaves a text clear of the
// width, so that it fits without measuring it whole (false: it may not).
bool EntraDiCerto(TLarghezzeCaratteri& l, const QString& testo, double larghezza);
// The device the layout measures texts on, and its units per mm.
QPaintDevice* DispositivoMisura();
constexpr double PuntiMisuraPerMm = 1200 / 25.4;
