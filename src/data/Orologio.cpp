#include "data/Orologio.h"

namespace {
QDateTime g_orologio;
qint64 g_scostamentoMs = 0;
}  // namespace

QDateTime Adesso() {
    if (g_orologio.isValid()) return QDateTime::currentDateTime().addMSecs(g_scostamentoMs);
    return QDateTime::currentDateTime();
}

QDate Oggi() { return Adesso().date(); }

void ImpostaOrologio(const QDateTime& momento) {
    g_orologio = momento;
    g_scostamentoMs = momento.isValid() ? QDateTime::currentDateTime().msecsTo(momento) : 0;
}
