#pragma once
// Shared by the report benchmarks: the anchor they compare against, the plain painting of a laid-out page list straight
// to a QPdfWriter, written here without the engine's painting.

#include "reports/engine/Report.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

// The plain painting of a laid-out page list, written here without the engine.
inline void PitturaDiretta(const TDocumentoReport& d, const QString& file) {
    QPdfWriter w(file);
    w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                QPageLayout::Millimeter));
    w.setResolution(300);
    QPainter p(&w);
    const double k = 300 / 25.4;
    int font = -1;
    for (int i = 0; i < d.pagine.size(); ++i) {
        if (i > 0) w.newPage();
        for (const TElementoPagina& e : d.pagine[i].elementi) {
            const QRectF r(e.area.x() * k, e.area.y() * k, e.area.width() * k, e.area.height() * k);
            if (e.tipo == TElementoPagina::Testo) {
                if (e.font != font) p.setFont(d.font[font = e.font]);
                p.drawText(r, e.allineamento | Qt::TextSingleLine, e.testo);
            } else if (e.tipo == TElementoPagina::Rettangolo) {
                p.drawRect(r);
            } else {
                p.drawLine(r.topLeft(), r.bottomRight());
            }
        }
    }
}

}  // namespace
