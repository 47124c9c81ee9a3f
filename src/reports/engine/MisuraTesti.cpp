#include "reports/engine/MisuraTesti.h"

#include "reports/engine/Pittura.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <algorithm>
#include <array>
#include <memory>

QFont FontCheEntra(const QFont& font, const QString& testo, double larghezza, QPaintDevice* dispositivo,
                   double puntiMinimi) {
    const double occupata = QFontMetricsF(font, dispositivo).horizontalAdvance(testo);
    if (occupata <= larghezza || occupata <= 0 || larghezza <= 0) return font;
    QFont ridotto(font);
    double punti = std::max(puntiMinimi, font.pointSizeF() * larghezza / occupata);
    // Glyph widths do not scale exactly with the size: step down until it fits.
    for (int i = 0; i < 8; ++i) {
        ridotto.setPointSizeF(punti);
        if (punti <= puntiMinimi || QFontMetricsF(ridotto, dispositivo).horizontalAdvance(testo) <= larghezza) break;
        punti = std::max(puntiMinimi, punti * 0.97);
    }
    return ridotto;
}

// The advances of the characters of one font on one kind of device, taken
// once each and kept for the whole program: summing them tells whether a text
// fits its box without shaping the text, which would cost as much as painting it.
// Beside them, the exact widths of short texts measured whole (amounts,
// quantities, dates and names come back row after row), up to a bound.
struct TLarghezzeCaratteri {
    TLarghezzeCaratteri(const QFont& font, QPaintDevice* dispositivo) : metriche(font, dispositivo) {
        latino.fill(-1);
    }
    QFontMetricsF metriche;
    std::array<double, 256> latino;
    QHash<QString, double> misurati;
};

namespace {
constexpr qsizetype TestoCorto = 32;
constexpr qsizetype MassimoMisurati = 1 << 14;
}  // namespace

// Each thread keeps its own: the layout and the preview in the GUI thread,
// printing in a worker.
TLarghezzeCaratteri* LarghezzeDi(const QFont& font, QPaintDevice* dispositivo) {
    static thread_local QHash<QString, std::shared_ptr<TLarghezzeCaratteri>> archivio;
    const QString chiave =
        font.key() + QLatin1Char('@') + QString::number(dispositivo->logicalDpiX()) + QLatin1Char('x') +
        QString::number(dispositivo->logicalDpiY());
    auto& l = archivio[chiave];
    if (!l) l = std::make_shared<TLarghezzeCaratteri>(font, dispositivo);
    return l.get();
}

const QFontMetricsF& MetricheDi(const TLarghezzeCaratteri& l) { return l.metriche; }

double LarghezzaTesto(TLarghezzeCaratteri& l, const QString& testo) {
    if (testo.size() > TestoCorto) return l.metriche.horizontalAdvance(testo);
    const auto trovata = l.misurati.constFind(testo);
    if (trovata != l.misurati.constEnd()) return *trovata;
    const double larghezza = l.metriche.horizontalAdvance(testo);
    if (l.misurati.size() >= MassimoMisurati) l.misurati.clear();
    l.misurati.insert(testo, larghezza);
    return larghezza;
}

bool StaNelRiquadro(TLarghezzeCaratteri& l, const QString& testo, double larghezza) {
    return EntraDiCerto(l, testo, larghezza) || LarghezzaTesto(l, testo) <= larghezza;
}

bool EntraDiCerto(TLarghezzeCaratteri& l, const QString& testo, double larghezza) {
    double stima = 0;
    for (const QChar c : testo) {
        const char16_t u = c.unicode();
        if (u < 256) {
            if (l.latino[u] < 0) l.latino[u] = l.metriche.horizontalAdvance(c);
            stima += l.latino[u];
        } else {
            stima += l.metriche.horizontalAdvance(c);
        }
    }
    // The sum ignores kerning: close to the edge the text is measured whole.
    return stima <= larghezza * 0.95;
}

// The device the layout measures texts on: fine enough (1200 dpi) that the
// widths it gives hold on paper, in a PDF and on screen alike.
QPaintDevice* DispositivoMisura() {
    static QImage foglio = [] {
        QImage f(8, 8, QImage::Format_RGB32);
        f.setDotsPerMeterX(qRound(1200 / 0.0254));
        f.setDotsPerMeterY(qRound(1200 / 0.0254));
        return f;
    }();
    return &foglio;
}

QFont AdattaAlRiquadro(const QFont& font, QString& testo, double larghezzaMm) {
    if (larghezzaMm <= 0 || testo.isEmpty()) return font;
    QPaintDevice* misura = DispositivoMisura();
    const double larghezza = larghezzaMm * PuntiMisuraPerMm;
    const double minimo = font.pointSizeF() * 0.75;
    const QFont ridotto = FontCheEntra(font, testo, larghezza, misura, minimo);
    const QFontMetricsF m(ridotto, misura);
    if (m.horizontalAdvance(testo) > larghezza) testo = m.elidedText(testo, Qt::ElideRight, larghezza);
    return ridotto;
}
