#include "gui/Gestori.h"

#include "data/engine/Archivio.h"
#include "data/engine/Tabella.h"
#include "gui/Messaggi.h"

#include <QGuiApplication>
#include <exception>

bool EseguiMostrandoErrori(const std::function<void()>& azione) {
    try {
        azione();
        return true;
    } catch (const InterrompiOperazione&) {
        return false;  // abandoned by a hook; nothing to show
    } catch (const ErroreArchivio& e) {
        QGuiApplication::restoreOverrideCursor();
        MostraErroreGenerale(e.testo());
    } catch (const std::exception& e) {
        QGuiApplication::restoreOverrideCursor();
        MostraErroreGenerale(QString::fromUtf8(e.what()));
    }
    return false;
}
