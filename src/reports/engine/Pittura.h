#pragma once
// Painting of a laid-out document: a page on a painter whose device has the
// page's full paper as its area, or the whole document on a paged device
// (a printer, a QPdfWriter).

#include "reports/engine/Report.h"

#include <QList>
#include <functional>

class QPainter;
class QPagedPaintDevice;
class QPaintDevice;

// The font a text is painted with in a box of the given width (device units):
// the element's own font, or the same font made just small enough when the
// text would not fit, but not below puntiMinimi. The layout fits every text
// to its box this way with three quarters of the control's size as the
// floor, and cuts with "…" what is still too wide at the floor.
QFont FontCheEntra(const QFont& font, const QString& testo, double larghezza, QPaintDevice* dispositivo,
                   double puntiMinimi = 0);

void DipingiPagina(QPainter& pittore, const TDocumentoReport& documento, int pagina);
// A page of the document given whole (one just laid out).
void DipingiPagina(QPainter& pittore, const TDocumentoReport& documento, const TPaginaReport& pagina);
// The given pages (0-based, in the order given, a page may come again) on a
// paged device; a number outside the document is passed over. After each
// page, avanti (when given) hears how many are done and answers whether to
// go on; false when it stopped the painting or the device could not start.
bool DipingiDocumento(QPagedPaintDevice& dispositivo, const TDocumentoReport& documento, const QList<int>& pagine,
                      const std::function<bool(int fatte)>& avanti = {});
// Writes the document as an A4 PDF file; false when the file cannot be written.
bool ScriviPdf(const TDocumentoReport& documento, const QString& file);
