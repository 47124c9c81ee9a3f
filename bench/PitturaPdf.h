#pragma once
// Shared by the report benchmarks: the peak resident memory, and the anchor
// they compare against, the plain painting of a laid-out page list straight
// to a QPdfWriter, written here without the engine's painting.

#include "reports/engine/Report.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

inline double PiccoMemoriaMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& riga : f.readAll().split('\n'))
        if (riga.startsWith("VmHWM:")) return riga.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// Starts the peak over again from the memory resident now, so that the next
// peak read is the peak of what runs after this call (building the large
// book in this same process must not count as the report's memory).
inline void AzzeraPiccoMemoria() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

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
