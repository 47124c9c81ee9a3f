#include "gui/Messaggi.h"

#include "data/Costanti.h"
#include "gui/Interazione.h"

void MostraMessaggio(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::Messaggio, QStringLiteral("Messaggio."), testo);
}

void MostraAttenzione(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::Attenzione, QStringLiteral("Attenzione."), testo);
}

void MostraErrore(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::Errore, QStringLiteral("Errore"), testo);
}

bool ChiediConferma(const QString& testo) {
    return Interazione().messaggio(TTipoMessaggio::Domanda, QStringLiteral("Richiesta."), testo);
}

void MostraAvviso(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::Avviso, Costanti::TitoloApplicazione, testo);
}

void MostraErroreGenerale(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::ErroreGenerale, Costanti::TitoloApplicazione, testo);
}
