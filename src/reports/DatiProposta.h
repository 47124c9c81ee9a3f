#pragma once
// The reorder proposal without any window: the products at or under their
// alert quantity, grouped by producer, each with the quantity that brings it
// back to a target stock. The target is the alert quantity times a multiple
// the user states in the window; a line's target or quantity may then be
// changed by hand. A product whose alert quantity is empty or 0 has no alert
// set and is never proposed.

#include "data/engine/Archivio.h"

#include <QDate>
#include <QString>
#include <QUrl>
#include <QVector>

struct TRigaProposta {
    qint64 id = 0;
    QString nome;
    QString descrizione;
    qint64 idProduttore = 0;  // 0: no producer (or one that no longer exists)
    qint64 saldo = 0;         // QUANTITA, negative when more was unloaded than loaded
    qint64 qtaAlert = 0;
    double prezzo = 0;        // purchase price (PREZZO)
    qint64 obiettivo = 0;     // target stock
    qint64 proposta = 0;      // quantity to order
};

struct TGruppoProduttore {
    qint64 idProduttore = 0;
    QString nome;       // "NOME COGNOME"; "Senza produttore" for 0
    QString indirizzo;  // VIA, CAP CITTA (PROVINCIA), on one line
    QString telefono;
    QString piva;
    QString email;      // empty: no mail can be prepared
    QVector<TRigaProposta> righe;
};

// The target for an alert quantity and a multiple: rounded up to a whole
// piece, never below the alert quantity itself.
qint64 ObiettivoDaMultiplo(qint64 qtaAlert, double multiplo);
// The quantity that brings the balance up to the target; 0 when it is there.
qint64 QuantitaProposta(qint64 saldo, qint64 obiettivo);

// The products with an alert quantity above 0 and a balance at or under it,
// grouped by producer (producers by name, the products without one last),
// each group's lines by code; target and quantity from the multiple.
QVector<TGruppoProduttore> PropostaOrdine(TArchivio& archivio, double multiplo);

// The prepared mail of one producer's order: the subject names the day, the
// body greets the producer and lists each line with something to order as
// "quantity x code - description", one a line. The lines with 0 are left out.
QString OggettoMailOrdine(const QDate& data);
QString CorpoMailOrdine(const TGruppoProduttore& gruppo, const QDate& data);

// Writes the whole proposal as shown (every producer, every line, the
// quantities as changed) into a new workbook in the folder and returns its
// path; ErroreEsportazione when it cannot be written.
QString EsportaPropostaFoglio(const QVector<TGruppoProduttore>& gruppi, const QString& cartella);
