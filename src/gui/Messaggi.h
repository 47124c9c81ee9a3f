#pragma once
// The message boxes, all through the desktop seam (gui/Interazione.h).

#include <QString>

void MostraMessaggio(const QString& testo);   // "Messaggio.", information
void MostraAttenzione(const QString& testo);  // "Attenzione.", warning
void MostraErrore(const QString& testo);      // "Errore", error
bool ChiediConferma(const QString& testo);    // "Richiesta.", Yes / No; true for Yes
// The plain notice: no icon, the application title as caption.
void MostraAvviso(const QString& testo);
// The general error display: application title, stop icon, the error's text.
void MostraErroreGenerale(const QString& testo);
