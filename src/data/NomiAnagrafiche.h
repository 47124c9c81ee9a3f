#pragma once
// Lookups in the registries by ID: a producer's name, a category's name.

#include <QString>
#include <QVariant>

// NOME + " " + COGNOME of the producer with the given ID (a single space when
// there is none); one statement per call.
QString NomeCognomeProduttore(const QVariant& idProduttore);
// The producer line of the product windows: "Dettagli: " + NomeCognomeProduttore;
// "Dettagli:" for an empty ID.
QString TestoDettagliProduttore(const QVariant& idProduttore);
// The name of the category with the given ID; empty when there is none.
QString NomeCategoria(const QVariant& idCategoria);
