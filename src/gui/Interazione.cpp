#include "gui/Interazione.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <cstdio>

namespace {

class TInterazioneDesktop : public TInterazione {
public:
    bool messaggio(TTipoMessaggio tipo, const QString& titolo, const QString& testo) override {
        const std::unique_ptr<QMessageBox> box = CreaBoxMessaggio(tipo, titolo, testo);
        QApplication::restoreOverrideCursor();
        return box->exec() == (tipo == TTipoMessaggio::Domanda ? QMessageBox::Yes : QMessageBox::Ok);
    }

    bool apriUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }

    QString scegliFile(const QString& titolo, const QString& cartella, const QString& filtro) override {
        return QFileDialog::getOpenFileName(QApplication::activeWindow(), titolo, cartella, filtro);
    }

    QString scegliFileDaSalvare(const QString& titolo, const QString& nomeProposto, const QString& filtro) override {
        return QFileDialog::getSaveFileName(QApplication::activeWindow(), titolo, nomeProposto, filtro);
    }

    QString scegliCartella(const QString& titolo, const QString& cartella) override {
        return QFileDialog::getExistingDirectory(QApplication::activeWindow(), titolo, cartella);
    }

    bool chiediTesto(const QString& titolo, const QString& etichetta, QString* testo) override {
        bool ok = false;
        const QString r = QInputDialog::getText(QApplication::activeWindow(), titolo, etichetta, QLineEdit::Normal,
                                                testo ? *testo : QString(), &ok);
        if (ok && testo) *testo = r;
        return ok;
    }
};

// The program run where nobody can see or answer a box (the offscreen
// platform, an unattended run): a box's caption and text go to the error
// output and it gets the answer that changes nothing.
class TInterazioneSenzaSchermo : public TInterazioneDesktop {
public:
    bool messaggio(TTipoMessaggio tipo, const QString& titolo, const QString& testo) override {
        std::fprintf(stderr, "%s\n%s\n", qUtf8Printable(titolo), qUtf8Printable(testo));
        return tipo != TTipoMessaggio::Domanda;
    }
};

TInterazioneDesktop g_desktop;
TInterazioneSenzaSchermo g_senzaSchermo;
TInterazione* g_attuale = nullptr;

}  // namespace

std::unique_ptr<QMessageBox> CreaBoxMessaggio(TTipoMessaggio tipo, const QString& titolo, const QString& testo) {
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(titolo);
    box->setTextFormat(Qt::PlainText);
    // A box never grows past the screen: a long text shows its beginning,
    // and the whole of it stays readable under the details button.
    const int maxRighe = 20, maxCaratteri = 1000;
    QString visibile = testo;
    const QStringList righe = testo.split(QLatin1Char('\n'));
    if (righe.size() > maxRighe) visibile = righe.mid(0, maxRighe).join(QLatin1Char('\n'));
    if (visibile.size() > maxCaratteri) visibile = visibile.left(maxCaratteri);
    if (visibile != testo) {
        box->setText(visibile + QStringLiteral("\n") + QChar(0x2026));
        box->setDetailedText(testo);
    } else {
        box->setText(testo);
    }
    switch (tipo) {
    case TTipoMessaggio::Messaggio: box->setIcon(QMessageBox::Information); break;
    case TTipoMessaggio::Attenzione: box->setIcon(QMessageBox::Warning); break;
    case TTipoMessaggio::Errore:
    case TTipoMessaggio::ErroreGenerale: box->setIcon(QMessageBox::Critical); break;
    case TTipoMessaggio::Domanda: box->setIcon(QMessageBox::Question); break;
    case TTipoMessaggio::Avviso: box->setIcon(QMessageBox::NoIcon); break;
    }
    if (tipo == TTipoMessaggio::Domanda) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
        box->setButtonText(QMessageBox::Yes, QStringLiteral("&Sì"));
        box->setButtonText(QMessageBox::No, QStringLiteral("&No"));
    } else {
        box->setStandardButtons(QMessageBox::Ok);
    }
    return box;
}

TInterazione& Interazione() { return g_attuale ? *g_attuale : g_desktop; }

void ImpostaInterazione(TInterazione* interazione) { g_attuale = interazione; }

void UsaInterazioneSenzaSchermo() {
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) ImpostaInterazione(&g_senzaSchermo);
}
