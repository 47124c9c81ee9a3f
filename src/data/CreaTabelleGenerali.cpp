#include "data/CreaTabelleGenerali.h"

#include "data/CreaTabelle.h"

#include "gui/OperazioneInCorso.h"

void CreaTabelleGenerali() {
    TCursoreOccupato cursore;
    TDefinizioneTabella d = Definizioni::Definizione(Definizioni::TabExport);
    AggiornaStrutturaTabella(d);
}
