#include "reports/engine/Pittura.h"

#include "reports/engine/MisuraTesti.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <vector>

namespace {

// Whether a text is drawn from its baseline exactly as a box would place it:
// one line of left-to-right text without control characters.
bool TestoSemplice(const QString& testo) {
    for (const QChar c : testo) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u < 0xa0) || u >= 0x0590) return false;
    }
    return true;
}

// A text that fits its box, drawn from its baseline where the box's
// alignment puts it: the same place QPainter's boxed drawText gives a single
// line that fits (no clipping then), without the line layout that costs as
// much as the drawing. A text taller or wider than its box is drawn boxed.
void DisegnaNelRiquadro(QPainter& p, TLarghezzeCaratteri& l, const QRectF& r, int allineamento, const QString& testo) {
    const QFontMetricsF& m = MetricheDi(l);
    const double alto = m.ascent() + m.descent();
    if (alto > r.height() || !TestoSemplice(testo)) {
        p.drawText(r, allineamento | Qt::TextSingleLine, testo);
        return;
    }
    double x = r.x();
    if (allineamento & (Qt::AlignRight | Qt::AlignHCenter)) {
        const double largo = LarghezzaTesto(l, testo);
        if (largo > r.width()) {
            p.drawText(r, allineamento | Qt::TextSingleLine, testo);
            return;
        }
        x += allineamento & Qt::AlignRight ? r.width() - largo : (r.width() - largo) / 2;
    }
    double y = r.y();
    if (allineamento & Qt::AlignBottom) y += r.height() - alto;
    else if (allineamento & Qt::AlignVCenter) y += (r.height() - alto) / 2;
    p.drawText(QPointF(x, y + m.ascent()), testo);
}

}  // namespace

void DipingiPagina(QPainter& p, const TDocumentoReport& d, int pagina) {
    if (pagina < 0 || pagina >= d.pagine.size()) return;
    DipingiPagina(p, d, d.pagine[pagina]);
}

void DipingiPagina(QPainter& p, const TDocumentoReport& d, const TPaginaReport& pag) {
    const double k = p.device()->logicalDpiX() / 25.4;  // device units per mm
    const double ky = p.device()->logicalDpiY() / 25.4;
    int fontCorrente = -1;
    std::vector<TLarghezzeCaratteri*> larghezze(d.font.size(), nullptr);
    QPen penna(Qt::black);
    p.setPen(penna);
    p.setBrush(Qt::NoBrush);
    for (const TElementoPagina& e : pag.elementi) {
        const QRectF r(e.area.x() * k, e.area.y() * ky, e.area.width() * k, e.area.height() * ky);
        switch (e.tipo) {
        case TElementoPagina::Testo: {
            if (e.font != fontCorrente) {
                p.setFont(d.font[e.font]);
                fontCorrente = e.font;
            }
            TLarghezzeCaratteri*& l = larghezze[e.font];
            if (!l) l = LarghezzeDi(d.font[e.font], p.device());
            if (StaNelRiquadro(*l, e.testo, r.width())) {
                DisegnaNelRiquadro(p, *l, r, e.allineamento, e.testo);
            } else {
                // The layout fitted the text; a device whose glyphs come out a
                // little wider gets it a little smaller, then back.
                p.setFont(FontCheEntra(d.font[e.font], e.testo, r.width(), p.device(), d.font[e.font].pointSizeF() * 0.9));
                fontCorrente = -1;
                p.drawText(r, e.allineamento | Qt::TextSingleLine, e.testo);
            }
            break;
        }
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

bool DipingiDocumento(QPagedPaintDevice& dispositivo, const TDocumentoReport& d, const QList<int>& pagine,
                      const std::function<bool(int fatte)>& avanti) {
    QPainter p;
    if (!p.begin(&dispositivo)) return false;
    bool prima = true;
    int fatte = 0;
    for (const int i : pagine) {
        if (i >= 0 && i < d.pagine.size()) {
            if (!prima) dispositivo.newPage();
            prima = false;
            DipingiPagina(p, d, i);
        }
        ++fatte;
        if (avanti && !avanti(fatte)) {
            p.end();
            return false;
        }
    }
    p.end();
    return true;
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
