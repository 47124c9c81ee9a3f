#pragma once
// The history as the window "Movimenti di magazzino" reads it, a screen at a
// time, newest first; the running balance of one product; and the reversal
// of a wrong load, unload or adjustment. No window here.

#include "data/engine/Archivio.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVector>

// What the user filters by. An empty text, an invalid date or an empty kind
// does not filter.
struct TFiltroStorico {
    QString prodotto;  // a product's code (exact, regardless of case) or part of a code or description
    QDate da, a;
    QString azione;    // Azioni::Carico, ...
};

struct TRigaMovimento {
    int id = 0;
    QString azione;
    QDate data;
    int idProdotto = 0;
    QString nome, descrizione;
    int quantita = 0;
    QVariant prezzoAcq, prezzoVen, prezzoCar;
    QVariant storna, stornatoDa;  // the IDs of the reversed row, of the reversal
    QVariant saldo;               // the product's balance after this row, with one product chosen
};

// The change a history row made to its product's balance: +q for a load and
// a count difference, -q for an unload and a stock adjustment, 0 for an
// adjustment of sales (loads and unloads both went down). A reversal row
// carries the opposite quantity of its kind, so it gives the opposite change.
int EffettoSulSaldo(const QString& azione, int quantita, bool prezzoVenVuoto);

// Reads the filtered history a screen at a time, newest first (by ID, the
// history's only index, so the first screen costs the same on any size of
// history). When the text names one product by its code, only its rows are
// read and each carries the balance after it, computed back from the
// product's balance as it stands.
class TLettoreStorico {
public:
    TLettoreStorico(TArchivio& a, const TFiltroStorico& filtro);
    // The next rows, at most quanti; empty at the end.
    QVector<TRigaMovimento> prossime(int quanti);
    bool finito() const { return m_finito; }
    // The product the text named by its code, 0 when none.
    int idProdotto() const { return m_idProdotto; }
    QString nomeProdotto() const { return m_nomeProdotto; }

private:
    QVector<TRigaMovimento> leggi(int quanti, bool tuttiDelProdotto);
    bool passa(const TRigaMovimento& r) const;
    TArchivio& m_a;
    TFiltroStorico m_filtro;
    int m_idProdotto = 0;
    QString m_nomeProdotto;
    qint64 m_saldo = 0;
    qint64 m_ultimoId = -1;  // keyset: rows below this ID come next; -1 before the first
    bool m_finito = false;
};

// A reversal refused: the text says why; nothing was written.
class ErroreStorno : public ErroreArchivio {
public:
    explicit ErroreStorno(const QString& testo) : ErroreArchivio(testo, CtxStato) {}
};

// The question asked before a reversal, naming the movement:
// "Stornare il carico n. 12 del 03/02/2026: 5 x 'P1' (Primo prodotto)?"
QString DomandaStorno(const TRigaMovimento& r);

// The movement with that ID, or a row with id 0 when there is none.
TRigaMovimento LeggiMovimento(TArchivio& a, int id);

// Why the row idRiga cannot be reversed (the texts StornaMovimento refuses
// with), or an empty text when it can.
QString ControllaStorno(TArchivio& a, int idRiga);

// Reverses the history row idRiga in one transaction: a new row of the same
// kind and date with the opposite quantity and amounts, marked as the
// reversal of idRiga (which is marked as reversed by it), and the product's
// counters and totals brought back to what they would be without it. Refused
// with ErroreStorno for a row that is missing, not a load, unload or
// adjustment, a reversal itself, already reversed, of a product deleted
// since, or older than the last reset of the unloads; with
// ErroreLimiteContatori when a counter would leave its field. Returns the ID
// of the reversal row.
int StornaMovimento(TArchivio& a, int idRiga);

// Notes, in the history's file, that the unloads were reset today after the
// history row with the largest ID; part of the reset's transaction.
void RegistraAzzeramento(TArchivio& a, const QDate& oggi);
