#pragma once
// The one seam between the program and the user's desktop: message boxes,
// the file and folder choosers, input boxes, and the shell's open-document
// and mail services. The program installs the real desktop; tests install a
// responder that records every request and answers it from a script.

#include <QString>
#include <QUrl>
#include <memory>

class QMessageBox;

enum class TTipoMessaggio {
    Messaggio,       // information icon, OK
    Attenzione,      // warning icon, OK
    Errore,          // error icon, OK
    Domanda,         // question icon, Yes / No
    Avviso,          // plain notice: no icon, OK
    ErroreGenerale,  // the general error display: stop icon, OK
};

class TInterazione {
public:
    virtual ~TInterazione() = default;
    // Shows a box and waits; true for OK or Yes.
    virtual bool messaggio(TTipoMessaggio tipo, const QString& titolo, const QString& testo) = 0;
    // Opens a file or address with its default application; false when no
    // application could be started for it.
    virtual bool apriUrl(const QUrl& url) = 0;
    // A file to open; empty when the user cancels.
    virtual QString scegliFile(const QString& titolo, const QString& cartella, const QString& filtro) = 0;
    // A file to write, proposed as nomeProposto; empty when the user cancels.
    virtual QString scegliFileDaSalvare(const QString& titolo, const QString& nomeProposto, const QString& filtro) = 0;
    // A folder; empty when the user cancels.
    virtual QString scegliCartella(const QString& titolo, const QString& cartella) = 0;
    // A line of text; false when the user cancels.
    virtual bool chiediTesto(const QString& titolo, const QString& etichetta, QString* testo) = 0;
};

// The desktop's message box for a request, ready to be shown.
std::unique_ptr<QMessageBox> CreaBoxMessaggio(TTipoMessaggio tipo, const QString& titolo, const QString& testo);

// The seam in use; the desktop one unless a test installed another.
TInterazione& Interazione();
// Installs another seam (nullptr puts the desktop back). Not owned.
void ImpostaInterazione(TInterazione* interazione);
// On the offscreen platform, where nobody can answer a box, the program's
// boxes are written to the error output and answered with what changes
// nothing; elsewhere the desktop stays.
void UsaInterazioneSenzaSchermo();
