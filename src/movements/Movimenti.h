#pragma once
// The data work of the movement windows, without any window: the checks of
// the typed numbers, the settings they follow, the totals shown beside a
// product and the product list. The movement itself (history row and product
// change as one transaction) is shared with other folders and lives in
// data/MovimentoMagazzino.h.

#include "data/MovimentoMagazzino.h"
#include "data/Ricerche.h"
#include "data/engine/Archivio.h"
#include "data/engine/Tabella.h"

#include <QDate>
#include <QString>
#include <QVariant>

// The switches of the movement windows, read from the settings record.
struct TImpostazioniMovimenti {
    bool ordineStandard = false;      // ORD_PRODOTTI_STANDARD
    bool cancAutomatica = false;      // CANC_AUTOMATICA
    bool dataIngresso = false;        // DATAINGRESSO_AUTOMATICA
    bool proponiStorico = false;      // PROPONI_INS_STORICO
    bool sovrascriviPrezzi = false;   // SOVRASCRIVI_PREZ_LISTINO
};
TImpostazioniMovimenti LeggiImpostazioniMovimenti();

// ---------------------------------------------------------------------------
// The typed numbers

// A whole number of units: digits only (blanks around are ignored), at most
// 2.147.483.647, the largest the counters hold.
bool LeggiQuantita(const QString& testo, int* quantita);
// A price typed with the comma as decimal separator; no minus, no point, at
// most one comma.
bool LeggiPrezzo(const QString& testo, double* prezzo);
// Checks the three boxes of a movement before anything is written and fills
// the numbers. The disabled price box may be blank. Returns the message to
// show, or an empty text when every box holds a valid number. With
// quantitaZero a quantity of 0 is accepted ("Scarica tutte" on a balance of 0).
QString ControllaCaselle(const QString& quantita, const QString& prezzoAcq, bool prezzoAcqAttivo,
                         const QString& prezzoVen, bool prezzoVenAttivo, TDatiMovimento* dati,
                         bool quantitaZero = false);

// A number in its general decimal form with the comma: 2,5, 10, blank for null.
QString TestoNumero(const QVariant& valore);

// ---------------------------------------------------------------------------
// What the windows show beside a product

struct TTotaliProdotto {
    double rimanenza = 0;   // QUANTITA x PREZZO, never below 0
    double differenza = 0;  // TOTALEVENDITE - TOTALEACQUISTI + rimanenza
    bool positiva() const { return differenza >= 1; }  // green from 1 up, red below
};
TTotaliProdotto CalcolaTotali(const TRecord& prodotto);
// (PREZZO2 - PREZZO) / PREZZO x 100 as a whole number, "N.D." without a purchase price.
QString CalcolaMargine(const TRecord& prodotto);

// The product list: the whole table, or the search (code from its start,
// description anywhere, regardless of case, filtered in memory as each key
// is typed) among the products of an optional category (a condition with
// its value bound); ordered by code unless the settings ask for the order of
// insertion.
struct TSqlLista {
    QString condizione;
    QVariantList parametri;
    QString ordine;
    QVector<TRicerca> ricerche;  // empty: the whole list
};
TSqlLista SqlListaProdotti(bool ordineStandard);
TSqlLista SqlRicercaProdotti(const QString& codice, const QString& descrizione, const QString& categoria,
                             bool ordineStandard);
