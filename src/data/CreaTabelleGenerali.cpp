#include "data/CreaTabelleGenerali.h"

#include "data/CreaTabelle.h"

void CreaTabelleGenerali(TResocontoTabelle* resoconto) {
    TDefinizioneTabella d = Definizioni::Definizione(Definizioni::TabExport);
    AggiornaStrutturaTabella(d, resoconto);
}
