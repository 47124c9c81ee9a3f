#include "gui/ServiziDesktop.h"

#include "data/engine/Errore.h"
#include "gui/Interazione.h"

#include <QProcess>

void ApriDocumento(const QString& testo) {
    if (testo.isEmpty()) return;
    // A web or mail address keeps its scheme; anything else is a file path.
    const QUrl url(testo, QUrl::StrictMode);
    const bool indirizzo = url.isValid() && url.scheme().size() > 1 &&
                           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
                            url.scheme() == QLatin1String("mailto") || url.scheme() == QLatin1String("ftp") ||
                            url.scheme() == QLatin1String("file"));
    Interazione().apriUrl(indirizzo ? url : QUrl::fromLocalFile(testo));
}

QUrl LinkMail(const QString& indirizzo, const QString& oggetto, const QString& corpo) {
    // toPercentEncoding leaves only the unreserved characters as they are:
    // "&", "#", "%", "?", "=", "+", blanks and line breaks are all encoded.
    const QByteArray link = QByteArrayLiteral("mailto:") + QUrl::toPercentEncoding(indirizzo, "@") +
                            QByteArrayLiteral("?subject=") + QUrl::toPercentEncoding(oggetto) +
                            QByteArrayLiteral("&body=") + QUrl::toPercentEncoding(corpo);
    return QUrl::fromEncoded(link, QUrl::StrictMode);
}

void InviaMail(const QString& indirizzo, const QString& oggetto, const QString& corpo) {
    Interazione().apriUrl(LinkMail(indirizzo, oggetto, corpo));
}

int EseguiEAttendi(const QString& programma, const QStringList& argomenti) {
    QProcess processo;
    processo.setProcessChannelMode(QProcess::ForwardedChannels);
    processo.setStandardInputFile(QProcess::nullDevice());
    processo.start(programma, argomenti);
    Verifica(processo.waitForStarted(-1), QStringLiteral("Error during CreateProcess"));
    // The window waits without processing events until the tool ends.
    Verifica(processo.waitForFinished(-1), QStringLiteral("Error in WaitForSingleObject"));
    // A program that crashed has no exit code of its own.
    Verifica(processo.exitStatus() == QProcess::NormalExit, QStringLiteral("Error in GetExitCodeProcess"));
    // An exit status is one byte: 254 is the -2 the program passed to exit().
    return static_cast<int>(static_cast<qint8>(processo.exitCode() & 0xFF));
}
