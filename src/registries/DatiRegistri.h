#pragma once
// The data work of the registries, apart from their windows: new keys,
// duplicate checks, the discount cascade, the margin text and the deletion of a category.
//
// Typed texts are always bound as values or matched in memory as typed, so
// that % _ and \ match themselves.

#include "data/Ricerche.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

// Next keys: the largest key plus one, an empty table counting as 0.
int NuovoIdProdotto();
int NuovoIdProduttore();
int NuovoIdCategoria();

// A product with exactly this code exists.
bool EsisteProdotto(const QString& nome);
// A producer with this ID exists.
bool EsisteIdProduttore(const QVariant& id);
// A category with exactly this text exists, leaving out the given ID when valid.
bool EsisteCategoria(const QString& categoria, const QVariant& escludiId = {});
// The products of a category.
int ContaProdottiCategoria(const QVariant& idCategoria);
// Deletes a category and, with its products, every product of it, in one
// transaction: all or nothing.
void EliminaCategoriaEProdotti(const QVariant& idCategoria, bool conProdotti);

// The purchase price from the list price and the discounts applied in
// cascade; passi is how many discounts apply (1 to 3).
double PrezzoScontato(double listino, double sconto1, double sconto2, double sconto3, int passi);
// The margin label: (sale - purchase) / purchase * 100 as a whole number with
// thousands grouping, "N.D." when the purchase price is not above 0.
QString TestoMargine(double prezzoAcquisto, double prezzoVendita);
