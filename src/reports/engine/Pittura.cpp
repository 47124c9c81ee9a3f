#include "reports/engine/Pittura.h"

#include "reports/engine/MisuraTesti.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <vector>

void DipingiPagina(QPainter& p, const TDocumentoReport& d, int pagina) {
    if (pagina < 0 || pagina >= d.pagine.size()) return;
    const double k = p.device()->logicalDpiX() / 25.4;  // device units per mm
    const double ky = p.device()->logicalDpiY() / 25.4;
    int fontCorrente = -1;
    std::vector<TLarghezzeCaratteri*> larghezze(d.font.size(), nullptr);
    QPen penna(Qt::black);
    p.setPen(penna);
    p.setBrush(Qt::NoBrush);
    const TPaginaReport pag = d.pagine[pagina];
    for (const TElementoPagina& e : pag.elementi) {
        const QRectF r(e.area.x() * k, e.area.y() * ky, e.area.width() * k, e.area.height() * ky);
        switch (e.tipo) {
        case TElementoPagina::Testo:
            if (e.font != fontCorrente) {
                p.setFont(d.font[e.font]);
                fontCorrente = e.font;
            }
            if (!larghezze[e.font]) larghezze[e.font] = LarghezzeDi(d.font[e.font], p.device());
            if (!StaNelRiquadro(*larghezze[e.font], e.testo, r.width())) {
                // The layout fitted the text; a device whose glyphs come out a
                // little wider gets it a little smaller, then back.
                p.setFont(FontCheEntra(d.font[e.font], e.testo, r.width(), p.device(), d.font[e.font].pointSizeF() * 0.9));
                fontCorrente = -1;
            }
            p.drawText(r, e.allineamento | Qt::TextSingleLine, e.testo);
            break;
        case TElementoPagina::Rettangolo:
        case TElementoPagina::Linea: {
            // The pen changes only when the width does: each change is a
            // state change in the PDF stream.
            const double larghezza = qMax(1.0, e.spessore * k);
            if (larghezza != penna.widthF()) {
                penna.setWidthF(larghezza);
                p.setPen(penna);
            }
            if (e.tipo == TElementoPagina::Rettangolo) p.drawRect(r);
            else p.drawLine(r.topLeft(), r.bottomRight());
            break;
        }
        }
    }
}

void DipingiDocumento(QPagedPaintDevice& dispositivo, const TDocumentoReport& d, const QList<int>& pagine) {
    QPainter p;
    if (!p.begin(&dispositivo)) return;
    bool prima = true;
    for (const int i : pagine) {
        if (i < 0 || i >= d.pagine.size()) continue;
        if (!prima) dispositivo.newPage();
        prima = false;
        DipingiPagina(p, d, i);
    }
    p.end();
}

bool ScriviPdf(const TDocumentoReport& d, const QString& file) {
    QPdfWriter w(file);
    w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                QPageLayout::Millimeter));
    w.setResolution(300);
    w.setTitle(d.titoloLavoro);
    w.setCreator(QStringLiteral("Vovuru_Dazadaz"));
    QPainter p;
    if (!p.begin(&w)) return false;
    for (int i = 0; i < d.pagine.size(); ++i) {
        if (i > 0) w.newPage();
        DipingiPagina(p, d, i);
    }
    return p.end();
}
