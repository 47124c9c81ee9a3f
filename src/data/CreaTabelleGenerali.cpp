#include "data/CreaTabelleGenerali.h"

#include "data/CreaTabelle.h"

#include "app/Fx.h"

void CreaTabelleGenerali() {
    TCursoreOccupato cursore;
    TDefinizioneTabella d = Definizioni::Definizione(Definizioni::TabExport);
    AggiornaStrutturaTabella(d);
}
