#include "app/Applicazione.h"

#include "data/Costanti.h"
#include "data/engine/Archivio.h"
#include "data/engine/Tabella.h"
#include "gui/Messaggi.h"
#include "gui/Gestori.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <functional>

TApplicazione::TApplicazione(int& argc, char** argv) : QApplication(argc, argv) {
    // The pictures live in the static library, whose resources are not
    // registered by themselves.
    Q_INIT_RESOURCE(risorse);
    // No display name: on X11 Qt would append it to every window title and
    // message-box caption, which must read exactly as given.
    setApplicationName(Costanti::TitoloApplicazione);
    setApplicationVersion(Costanti::Versione);
    CaricaTraduzioniQt();
}

bool CaricaTraduzioniQt() {
    // Owned by the application object; cleared with it.
    static QPointer<QTranslator> traduttore;
    if (traduttore) return true;
    auto* t = new QTranslator(QCoreApplication::instance());
    // "qt_it" gathers the catalogues of every Qt module; "qtbase_it" alone
    // holds the widgets' and the print dialogs' texts.
    const QString cartella = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    if (!t->load(italiano, QStringLiteral("qt"), QStringLiteral("_"), cartella) &&
        !t->load(italiano, QStringLiteral("qtbase"), QStringLiteral("_"), cartella)) {
        qWarning("Traduzioni italiane di Qt non trovate in %s", qPrintable(cartella));
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    traduttore = t;
    return true;
}

bool TApplicazione::notify(QObject* destinatario, QEvent* evento) {
    bool risultato = false;
    EseguiMostrandoErrori([&] { risultato = QApplication::notify(destinatario, evento); });
    return risultato;
}
