#pragma once
// Desktop services: documents and mail through the desktop seam, and outside
// programs.

#include <QString>
#include <QStringList>
#include <QUrl>

// Opens a file path or a web address with its default application; the
// outcome is ignored.
void ApriDocumento(const QString& testo);
// The mailto link for an address, a subject and a body: every value
// percent-encoded (a blank as %20), so that decoding gives them back exactly.
QUrl LinkMail(const QString& indirizzo, const QString& oggetto, const QString& corpo);
// Opens a new mail in the user's mail program.
void InviaMail(const QString& indirizzo, const QString& oggetto, const QString& corpo);
// Runs a program with its arguments (no shell), waits for it without
// processing events, and gives its exit code as a signed number: an exit
// status of 254 reads as -2. Raises ErroreArchivio with "Error during
// CreateProcess" when it cannot start.
int EseguiEAttendi(const QString& programma, const QStringList& argomenti);
