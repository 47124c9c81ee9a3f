#include "gui/LeggiImpostazione.h"

#include "data/LetturaImpostazioni.h"
#include "gui/Messaggi.h"

#include <exception>

QString LeggiImpostazione(const QString& nome) {
    try {
        return TestoImpostazione(nome);
    } catch (const std::exception&) {
        MostraErrore(QStringLiteral("Errore di lettura in parametri di impostazione, campo: ") + nome);
        return QString();
    }
}

int LeggiCarattereStampa(const QString& campo) {
    return DimensioneCarattereStampa(campo, LeggiImpostazione(campo));
}
