#include "data/CartellaProgramma.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString g_cartella;
}  // namespace

QString CartellaProgramma() {
    if (g_cartella.isEmpty()) {
        const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
        g_cartella = QDir::cleanPath(dir) + QLatin1Char('/');
    }
    return g_cartella;
}

void ImpostaCartellaProgramma(const QString& cartella) {
    g_cartella = cartella.isEmpty() ? QString() : QDir::cleanPath(cartella) + QLatin1Char('/');
}
