#include "data/LetturaImpostazioni.h"

#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"

#include <algorithm>
#include <limits>

TRecord LeggiImpostazioni() {
    TTabella impostazioni(TArchivio::corrente(), Definizioni::Impostazioni);
    impostazioni.apri();
    if (impostazioni.vuota()) return TRecord();
    impostazioni.primo();
    TRecord r = impostazioni.record();
    impostazioni.chiudi();
    return r;
}

QString TestoImpostazione(const QString& nome) {
    const TRecord impostazioni = LeggiImpostazioni();
    if (impostazioni.campi().isEmpty())
        throw ErroreArchivio(QStringLiteral("Nessun record di impostazione"), ErroreArchivio::CtxStato);
    return impostazioni.comeTesto(nome);
}

int ImpostazioneIntera(const QString& testo) {
    bool ok = false;
    const int v = testo.trimmed().toInt(&ok);
    if (!ok) throw ErroreArchivio(QStringLiteral("'%1' non è un valore intero valido").arg(testo), ErroreArchivio::CtxConversione);
    return v;
}

int DimensioneCarattereStampa(const QString& campo, const QString& letto) {
    QString testo = letto;
    // The stored text itself: a text the whole-number field cannot hold reads
    // back blank through the record, and the message shows what is stored.
    try {
        TArchivio& a = TArchivio::corrente();
        const QVariant grezzo = a.valoreSingolo(
            QStringLiteral("select \"%1\" from %2 limit 1").arg(campo, a.nomeQualificato(Definizioni::Impostazioni)));
        if (!grezzo.isNull()) testo = grezzo.toString();
    } catch (const ErroreArchivio&) {
        // A failed read was already reported by whoever read the text.
    }
    bool ok = false;
    const qlonglong n = testo.trimmed().toLongLong(&ok);
    if (!ok) throw ErroreArchivio(QStringLiteral("'%1' non è un valore intero valido").arg(testo), ErroreArchivio::CtxConversione);
    // A size beyond any int is the largest: the report then takes its bound.
    return static_cast<int>(std::clamp<qlonglong>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int GiorniPreavvisoScadenza() {
    const TRecord impostazioni = LeggiImpostazioni();
    if (!impostazioni.haCampo(Impostazioni::GiorniPreavvisoScadenza) ||
        impostazioni.nullo(Impostazioni::GiorniPreavvisoScadenza))
        return 0;
    return std::max(0, impostazioni.intero(Impostazioni::GiorniPreavvisoScadenza));
}
