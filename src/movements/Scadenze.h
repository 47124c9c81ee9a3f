#pragma once
// The expiry rule and the expiry run of the expiry check window: a product
// may stay in the warehouse GIACENZAMAX days from its entry date DATAOGGI;
// on the check date C it is expired ("da rendere") when DATAOGGI +
// GIACENZAMAX <= C, in whole days. The run stores the outcome in SCADUTOTEMP.

#include "data/engine/Archivio.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <functional>

// The entry date of a stored DATAOGGI; an empty one counts as day 0,
// 30 December 1899, so that such a product is always expired.
QDate DataEntrataProdotto(const QVariant& dataOggi);
bool ProdottoScaduto(const QDate& entrata, int giorniMax, const QDate& controllo);
// Entry date + days allowed - check date, in whole days (negative once expired).
qint64 GiorniRimanenti(const QDate& entrata, int giorniMax, const QDate& controllo);
// The check date typed in the window (d/M/yyyy); a text that is not a date
// raises the conversion error.
QDate LeggiDataControllo(const QString& testo);

// The list's condition (a WHERE expression, empty for every product) for the
// three views "Tutti", "Scaduti", "Non", and the
// one the window opens with.
QString CondizioneVisioneScadenze(int voce);
QString CondizioneInizialeScadenze();

// The state text of the current row and whether it reads as expired.
QString TestoStatoScadenza(bool scaduto, qint64 giorniRimanenti);

struct TEsitoScadenze {
    int trovati = 0;   // rows of the list
    int trattati = 0;  // products evaluated before the end or the stop
    int scaduti = 0;   // of those, the expired ones
    bool fermato = false;
};

// Evaluates the products of the list (prodotti under the condition, in the
// list's order) on the check date and stores each outcome in SCADUTOTEMP.
// Before each product primaDelProdotto(i, n) runs (i from 1); false stops the
// run there. The run is one transaction, committed at its end, at a stop and
// when a write fails (the products handled until then keep their new value,
// the others their old one); the failure then reaches the caller.
TEsitoScadenze ControllaScadenze(TArchivio& archivio, const QString& condizione, const QDate& controllo,
                                 const std::function<bool(int i, int n)>& primaDelProdotto);

// Expiring soon: the products that the rule above does not count as expired
// on "oggi" and does count as expired "giorni" days later, i.e. with
// oggi < DATAOGGI + GIACENZAMAX <= oggi + giorni. None when giorni is 0 or
// less. The same products as the expiry check sees (ID <> 0), whatever their
// stock.
struct TProdottoInScadenza {
    qint64 id = 0;
    QString nome;
    QString descrizione;
    qint64 quantita = 0;
    QDate scadenza;  // the first day on which the product is expired
};
int ContaProdottiInScadenza(TArchivio& archivio, const QDate& oggi, int giorni);
// The same products, by expiry date, then code.
QVector<TProdottoInScadenza> ProdottiInScadenza(TArchivio& archivio, const QDate& oggi, int giorni);
