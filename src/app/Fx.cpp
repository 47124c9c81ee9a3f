#include "app/Fx.h"

#include "app/Costanti.h"
#include "app/Interazione.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>

namespace {
QString g_cartella;
QDateTime g_orologio;
qint64 g_scostamentoMs = 0;
}  // namespace

void MostraMessaggio(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::Messaggio, QStringLiteral("Messaggio."), testo);
}

void MostraAttenzione(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::Attenzione, QStringLiteral("Attenzione."), testo);
}

void MostraErrore(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::Errore, QStringLiteral("Errore"), testo);
}

bool ChiediConferma(const QString& testo) {
    return Interazione().messaggio(TTipoMessaggio::Domanda, QStringLiteral("Richiesta."), testo);
}

void MostraAvviso(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::Avviso, Costanti::TitoloApplicazione, testo);
}

void MostraErroreGenerale(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::ErroreGenerale, Costanti::TitoloApplicazione, testo);
}

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

QDateTime Adesso() {
    if (g_orologio.isValid()) return QDateTime::currentDateTime().addMSecs(g_scostamentoMs);
    return QDateTime::currentDateTime();
}

QDate Oggi() { return Adesso().date(); }

void ImpostaOrologio(const QDateTime& momento) {
    g_orologio = momento;
    g_scostamentoMs = momento.isValid() ? QDateTime::currentDateTime().msecsTo(momento) : 0;
}

const QLocale& LocaleItaliano() {
    static const QLocale l(QLocale::Italian, QLocale::Italy);
    return l;
}

QString FormattaNumero(double valore, int decimali) {
    return LocaleItaliano().toString(valore, 'f', decimali);
}

TCursoreOccupato::TCursoreOccupato() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
TCursoreOccupato::~TCursoreOccupato() { QGuiApplication::restoreOverrideCursor(); }
