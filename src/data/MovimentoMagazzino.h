#pragma once
// A warehouse movement without any window: the history row (RegistraStorico,
// NuovoIdStorico), the arithmetic of loads, unloads and adjustments, the
// limits of the counters, and the movement itself as one transaction
// (history row and product change, all or nothing). Shared by the movement
// windows and by the import, whose opening loads are ordinary loads.

#include "data/engine/Archivio.h"
#include "data/engine/Tabella.h"

#include <QDate>
#include <QString>
#include <QVariant>

// The two kinds of adjustment, as the items of rgTipoAggiustamento.
enum TTipoAggiustamento : int {
    AggiustaNessuno = -1,
    AggiustaRimanenze = 0,  // "Rimuovi q.tà dalle rimanenze di magazzino"
    AggiustaVendite = 1,    // "Rimuovi q.tà dalle vendite effettuate"
};

inline const QString MsgErroreStorico = QStringLiteral(
    "Impossibile eseguire la registrazione su storico, l'archivio potrebbe necessitare di una riparazione o essere "
    "bloccato.");

// The history row or the start of the movement failed: nothing was written.
class ErroreStorico : public ErroreArchivio {
public:
    explicit ErroreStorico(const QString& causa) : ErroreArchivio(MsgErroreStorico, CtxBloccato), m_causa(causa) {}
    QString causa() const { return m_causa; }

private:
    QString m_causa;
};

// A movement, adjustment or reset refused because a counter of the product
// would leave the range of its field; nothing was written. The text names
// the product, the counter and the value it would have reached.
class ErroreLimiteContatori : public ErroreArchivio {
public:
    explicit ErroreLimiteContatori(const QString& testo) : ErroreArchivio(testo, CtxConversione) {}
};

// The whole-number fields of the products (CARICHI, SCARICHI, QUANTITA) hold
// 32-bit values.
inline constexpr qint64 MinimoContatore = -2147483647LL - 1;
inline constexpr qint64 MassimoContatore = 2147483647LL;

// The refusal of a counter that would reach the value given, or an empty
// text when it fits: "Carico non eseguito: i carichi del prodotto 'P1'
// diventerebbero 2.999.999.997, oltre il massimo di 2.147.483.647."
// operazione: "Carico", "Scarico", "Aggiustamento", "Azzeramento"; campo:
// the field's name (Prodotti::Carichi, ...).
QString ControllaContatore(const QString& operazione, const QString& nomeProdotto, const QString& campo, qint64 valore);
// The same for an amount (TOTALEACQUISTI, TOTALEVENDITE): refused only when
// it is no finite number any more.
QString ControllaImporto(const QString& operazione, const QString& nomeProdotto, const QString& campo, double valore);

// The numbers of one movement as read from the three boxes. A price box that
// was left blank while disabled (a product without that price) counts as no
// price: 0 in the amounts, and the product's field stays blank.
struct TDatiMovimento {
    int quantita = 0;
    double prezzoAcq = 0;
    bool prezzoAcqVuoto = false;
    double prezzoVen = 0;
    bool prezzoVenVuoto = false;
    int tipoAggiustamento = AggiustaNessuno;
};

// What the user decided for one movement, besides its numbers.
struct TOpzioniMovimento {
    bool registraStorico = true;       // always for loads and unloads
    bool sovrascriviPrezzi = false;    // SOVRASCRIVI_PREZ_LISTINO (loads and unloads)
    bool aggiornaDataIngresso = false; // the user agreed to set DATAOGGI to today (loads)
};

// An amount as the history stores it: rounded to 15 significant digits.
double Arrotonda15(double valore);

// ---------------------------------------------------------------------------
// The history row

// "select max(id) from storico" as a whole number, 0 on an empty history;
// the history's index on ID answers it without reading the rows.
int NuovoIdStorico();
// The history row of a movement on the product as it was before the movement.
TRecord RigaStorico(const QString& azione, const TRecord& prodotto, const TDatiMovimento& dati, const QDate& oggi);
// Appends the history row with ID NuovoIdStorico() + 1; raises the store's
// error when it cannot be written.
void RegistraStorico(const QString& azione, const TRecord& prodotto, const TDatiMovimento& dati);

// ---------------------------------------------------------------------------
// The arithmetic of a movement on the product record

void ApplicaCarico(TRecord& prodotto, const TDatiMovimento& dati, const TOpzioniMovimento& opzioni, const QDate& oggi);
void ApplicaScarico(TRecord& prodotto, const TDatiMovimento& dati, const TOpzioniMovimento& opzioni);
void ApplicaAggiustamento(TRecord& prodotto, const TDatiMovimento& dati);
// The refusal of a movement (Azioni::Carico, Scarico, Aggiustamento) whose
// counters or totals would not fit their fields, computed on the product as
// it is before the movement; an empty text when every result fits.
QString ControllaLimitiMovimento(const QString& azione, const TRecord& prodotto, const TDatiMovimento& dati);
// The warning that refuses an adjustment above its limit, or an empty text.
QString ControllaLimiteAggiustamento(const TRecord& prodotto, int tipo, int quantita);

// ---------------------------------------------------------------------------
// Products

// The product with that ID; an empty record (no fields) when it does not exist.
TRecord LeggiProdotto(int id);
void EliminaProdotto(int id);
// Runs a movement as one transaction: reads the product, writes the history
// row (when asked), applies the movement and stores the product. Raises
// ErroreLimiteContatori, with nothing written, when a counter would not fit
// its field (ControllaLimitiMovimento); ErroreStorico, with nothing written,
// when the transaction cannot start or
// the history row cannot be written (the store's own error when no row was
// asked for); any later failure rolls everything back
// and raises the store's error. Returns the product as stored.
TRecord EseguiMovimento(const QString& azione, int idProdotto, const TDatiMovimento& dati,
                        const TOpzioniMovimento& opzioni);
