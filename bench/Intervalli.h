#pragma once
// The gap harness: how long the real window's event loop stood still during
// an operation. A zero-interval timer ticks whenever the loop runs; the
// longest interval between two ticks (the start and the end of the
// operation counting as ticks) is the longest time the window could neither
// paint nor answer. The operation is started from the event loop, as a click
// would be, and its boxes are answered through the message seam. One line:
//   GAP <name> max_ms=<x> total_ms=<y>

#include "gui/Interazione.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace Intervalli {

struct TEsito {
    double massimoMs = 0;
    double totaleMs = 0;
    double fineMassimoMs = 0;  // when the longest gap ended, from the start
};

// Runs the operation from the event loop and measures the gaps until it returns.
inline TEsito Misura(const std::function<void()>& operazione) {
    QElapsedTimer orologio;
    qint64 ultimo = 0, massimo = 0, fineMassimo = 0;
    auto battito = [&] {
        const qint64 ora = orologio.nsecsElapsed();
        if (ora - ultimo > massimo) {
            massimo = ora - ultimo;
            fineMassimo = ora;
        }
        ultimo = ora;
    };
    QTimer ticchettio;
    ticchettio.setInterval(0);
    QObject::connect(&ticchettio, &QTimer::timeout, battito);
    QEventLoop ciclo;
    qint64 totale = 0;
    QTimer::singleShot(0, &ciclo, [&] {
        orologio.start();
        ticchettio.start();
        operazione();
        battito();
        totale = orologio.nsecsElapsed();
        ticchettio.stop();
        ciclo.quit();
    });
    ciclo.exec();
    return {massimo / 1e6, totale / 1e6, fineMassimo / 1e6};
}

// Lets the event loop run for ms milliseconds, as a user's pause would.
inline void Attendi(int ms) {
    QEventLoop ciclo;
    QTimer::singleShot(ms, &ciclo, &QEventLoop::quit);
    ciclo.exec();
}

inline void Riga(const char* nome, const TEsito& e) {
    std::printf("GAP %s max_ms=%.1f total_ms=%.1f\n", nome, e.massimoMs, e.totaleMs);
    std::fflush(stdout);
    // Where the longest gap fell, to find what held the loop.
    std::fprintf(stderr, "GAP %s: the longest gap ended %.1f ms after the start\n", nome, e.fineMassimoMs);
}

// Answers every box with OK / Yes and every other request as a user who
// accepts what is proposed; each box is written to the error output.
class TRisposteSi : public TInterazione {
public:
    bool messaggio(TTipoMessaggio, const QString& titolo, const QString& testo) override {
        std::fprintf(stderr, "[box] %s: %s\n", qPrintable(titolo), qPrintable(testo));
        return true;
    }
    bool apriUrl(const QUrl&) override { return true; }
    QString scegliFile(const QString&, const QString&, const QString&) override { return {}; }
    QString scegliFileDaSalvare(const QString&, const QString&, const QString&) override { return {}; }
    QString scegliCartella(const QString&, const QString&) override { return {}; }
    bool chiediTesto(const QString&, const QString&, QString*) override { return false; }
};

}  // namespace Intervalli
