#include "data/ErroreProgramma.h"

void Verifica(bool condizione, const QString& testo) {
    if (!condizione) throw ErroreProgramma(testo);
}
