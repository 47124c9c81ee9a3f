#include "data/Ricerche.h"

#include "data/engine/Definizioni.h"

QVector<TRicerca> RicercaInizia(const QString& campo, const QString& testo) { return {{campo, testo, false}}; }

QVector<TRicerca> RicercaProdotti(const QString& codice, const QString& descrizione) {
    return {{Prodotti::Nome, codice, false}, {Prodotti::Descrizione, descrizione, true}};
}
