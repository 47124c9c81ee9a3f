#include "app/Applicazione.h"

#include "app/Costanti.h"
#include "app/Fx.h"
#include "data/Archivio.h"
#include "data/Tabella.h"

#include <functional>

TApplicazione::TApplicazione(int& argc, char** argv) : QApplication(argc, argv) {
    // The pictures live in the static library, whose resources are not
    // registered by themselves.
    Q_INIT_RESOURCE(risorse);
    setApplicationName(Costanti::TitoloApplicazione);
    setApplicationDisplayName(Costanti::TitoloApplicazione);
    setApplicationVersion(Costanti::Versione);
}

bool TApplicazione::notify(QObject* destinatario, QEvent* evento) {
    bool risultato = false;
    EseguiMostrandoErrori([&] { risultato = QApplication::notify(destinatario, evento); });
    return risultato;
}

bool EseguiMostrandoErrori(const std::function<void()>& azione) {
    try {
        azione();
        return true;
    } catch (const InterrompiOperazione&) {
        return false;  // abandoned by a hook; nothing to show
    } catch (const ErroreArchivio& e) {
        QApplication::restoreOverrideCursor();
        MostraErroreGenerale(e.testo());
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        MostraErroreGenerale(QString::fromUtf8(e.what()));
    }
    return false;
}
