#pragma once
// The data work of the history and cash-flow reports, without any window:
// their queries (period and action bound as values, the ordering column from
// a fixed table), the proposed period, the revenue texts, and the producer
// and category names of the history lines, read once per distinct ID.

#include "data/engine/Definizioni.h"

#include <QDate>
#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// A query text and the values bound to it, in order.
struct TQueryStampa {
    QString testo;
    QVariantList parametri;
    // A query of one value, with the same bound values, telling whether the
    // report has any row at less cost than running the report's own (a
    // group-by); empty: the report's query inside EXISTS.
    QString esistenza;
};

// The items of the "Stampa:" groups, in order.
enum TQualiStampa : int { StampaCarichi = 0, StampaScarichi = 1, StampaAggiustamenti = 2, StampaTutti = 3 };
// The items of the history's "Ordina per" group, in order.
enum TOrdineStorico : int {
    OrdinaNome = 0,
    OrdinaDescrizione = 1,
    OrdinaQuantita = 2,
    OrdinaData = 3,
    OrdinaPrezzoAcq = 4,
    OrdinaPrezzoVen = 5
};

// The caption of an item of the "Stampa:" groups ("Carichi" ... "Tutti").
QString TestoQuali(int quali);
// The AZIONE of an item of the "Stampa:" groups; empty for "Tutti".
QString AzioneQuali(int quali);
// The history field an "Ordina per" item orders by; the date for an unknown item.
QString CampoOrdineStorico(int ordine);

// The history rows of the period, both days included, of one action unless
// quali is StampaTutti, in the chosen order (descending with inverti).
TQueryStampa QueryStorico(const QDate& da, const QDate& a, int quali, int ordine, bool inverti);
// One row per day of the period with the day's sums, named "SUM OF PREZZO",
// "SUM OF PREZZOACQ" and "SUM OF QUANTITA" beside DATAOGGI, by date.
TQueryStampa QueryFlussi(const QDate& da, const QDate& a, int quali, bool inverti);
inline const QString SommaPrezzo = QStringLiteral("SUM OF ") + Storico::Prezzo;
inline const QString SommaPrezzoAcq = QStringLiteral("SUM OF ") + Storico::PrezzoAcq;
inline const QString SommaQuantita = QStringLiteral("SUM OF ") + Storico::Quantita;

// Prepares and runs the query on the store, forward only.
void EseguiQueryStampa(QSqlQuery& query, const TQueryStampa& q);
// Whether the query gives any row, asked of the store's connection: the
// engine leaves out the query's order inside EXISTS, so the first matching
// row answers without sorting the period; a query with its own test of
// existence (esistenza) is asked that.
bool EsistonoRighe(const TQueryStampa& q);

// The summary texts of both reports: the difference and the revenue
// percentage ("ERR." when the purchase total is 0: the division has no result).
QString TestoDifferenza(double totaleAcquisti, double totaleVendite);
QString TestoRicavo(double totaleAcquisti, double totaleVendite);

// An MM/DD/YYYY text of the period printed as DD/MM/YYYY.
QString DataDaPeriodo(const QString& mmddyyyy);

// Producer and category names of the report lines: each distinct ID is read
// once through the shared lookups (NomeCognomeProduttore, NomeCategoria) and
// kept for the rest of the report, so a report of any length runs one
// statement per distinct ID, never one per line.
class TNomiAnagrafiche {
public:
    // NOME + " " + COGNOME; a single space for an ID that matches no producer.
    QString produttore(qint64 id);
    // CATEGORIA; empty for an ID that matches no category.
    QString categoria(qint64 id);
    void svuota();
    int letture() const { return m_letture; }  // statements run so far

private:
    QHash<qint64, QString> m_produttori;
    QHash<qint64, QString> m_categorie;
    int m_letture = 0;
};

// The queries of the products, inventory, price-list and producers reports.
// Every value is bound; the ordering column is one of the few fields that the
// report's "Ordina per" group offers (letter case ignored), anything else is
// refused with an error, so that no text of the user ever becomes SQL.

// The field each item of a group orders by; empty for "Nessuno".
QString CampoOrdineProdotti(int voce);     // Nessuno, Codice, Descrizione, Carichi, Scarichi, Quantità, Produttore
QString CampoOrdineListino(int voce);      // Nessuno, Codice, Descrizione, Prezzo Lis., Produttore
QString CampoOrdineProduttori(int voce);   // Codice, Nome, Cognome, Via, Cap, Provincia
QString CampoOrdineInventario(int voce);   // Codice, Quantità, Descrizione

// The products with a code (NOME not empty), restricted to one code when
// prodotto is not empty, to one producer and one category when their ID is
// above 0; ordered by campoOrdine unless it is empty. The products report
// and the inventory.
TQueryStampa QueryProdottiStampa(const QString& prodotto, int idProduttore, int idCategoria, const QString& campoOrdine,
                                 bool inverti);
// The price list: every product, or one code, one producer's, or both.
TQueryStampa QueryListino(const QString& prodotto, int idProduttore, const QString& campoOrdine, bool inverti);
// Every producer, in the given order (none when empty).
TQueryStampa QueryProduttori(const QString& campoOrdine, bool inverti);
