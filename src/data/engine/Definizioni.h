#pragma once
// The program's tables, each declared once: file name, fields in order with
// type, size and required flag, and indexes.

#include "data/engine/Archivio.h"

// A table definition as the creation routines use it: the file it names, the
// database name (always empty: tables are found by file name in the program
// folder), its fields and its indexes.
struct TDefinizioneTabella {
    QString nomeFile;
    QString database;
    TStrutturaTabella struttura;
};

namespace Definizioni {
// File names, as the program writes them.
inline const QString Produttori = QStringLiteral("produttori.db");
inline const QString Prodotti = QStringLiteral("prodotti.db");
inline const QString Storico = QStringLiteral("storico.db");
inline const QString Impostazioni = QStringLiteral("impostazioni.db");
inline const QString Categorie = QStringLiteral("cat.db");
inline const QString TabExport = QStringLiteral("tabexport.db");

// The fields of each table, in order.
QVector<TDefCampo> CampiProduttori();
QVector<TDefCampo> CampiProdotti();
QVector<TDefCampo> CampiStorico();
QVector<TDefCampo> CampiImpostazioni();
QVector<TDefCampo> CampiCategorie();
QVector<TDefCampo> CampiTabExport();

// The primary index on a key field; primary and unique unless soloPrimario.
TDefIndice IndicePrimario(const QString& campo, bool soloPrimario = false);
// A secondary index named after its field, neither unique nor primary.
TDefIndice IndiceSecondario(const QString& campo);

// The whole definition of a table by file name (one of the six above).
TDefinizioneTabella Definizione(const QString& nomeFile);
}  // namespace Definizioni
