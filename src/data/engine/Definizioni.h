#pragma once
// The program's tables, each declared once: file name, fields in order with
// type, size and required flag, and indexes.

#include "data/engine/Archivio.h"

// Field names, published once per table (the comment names the table's file).
// Code, and the SQL it builds, use these names; a field is never typed as bare text.
namespace Produttori {  // produttori.db
inline const QString Id = QStringLiteral("ID");
inline const QString Nome = QStringLiteral("NOME");
inline const QString Cognome = QStringLiteral("COGNOME");
inline const QString Via = QStringLiteral("VIA");
inline const QString Cap = QStringLiteral("CAP");
inline const QString Citta = QStringLiteral("CITTA");
inline const QString Provincia = QStringLiteral("PROVINCIA");
inline const QString Telefono = QStringLiteral("TELEFONO");
inline const QString Piva = QStringLiteral("PIVA");
inline const QString Descrizione = QStringLiteral("DESCRIZIONE");
inline const QString Email = QStringLiteral("EMAIL");
}  // namespace Produttori
namespace Prodotti {  // prodotti.db
inline const QString Id = QStringLiteral("ID");
inline const QString Nome = QStringLiteral("NOME");
inline const QString Descrizione = QStringLiteral("DESCRIZIONE");
inline const QString PrezzoListino = QStringLiteral("PREZZOLISTINO");
inline const QString Prezzo = QStringLiteral("PREZZO");
inline const QString Prezzo2 = QStringLiteral("PREZZO2");
inline const QString Carichi = QStringLiteral("CARICHI");
inline const QString Scarichi = QStringLiteral("SCARICHI");
inline const QString TotaleAcquisti = QStringLiteral("TOTALEACQUISTI");
inline const QString TotaleVendite = QStringLiteral("TOTALEVENDITE");
inline const QString Sconto1 = QStringLiteral("SCONTO1");
inline const QString Sconto2 = QStringLiteral("SCONTO2");
inline const QString Sconto3 = QStringLiteral("SCONTO3");
inline const QString Quantita = QStringLiteral("QUANTITA");
inline const QString GiacenzaMax = QStringLiteral("GIACENZAMAX");
inline const QString DataOggi = QStringLiteral("DATAOGGI");
inline const QString DataDistinta = QStringLiteral("DATADISTINTA");
inline const QString NumDistinta = QStringLiteral("NUMDISTINTA");
inline const QString IdProduttore = QStringLiteral("IDPRODUTTORE");
inline const QString Foto = QStringLiteral("FOTO");
inline const QString ScadutoTemp = QStringLiteral("SCADUTOTEMP");
inline const QString IdCategoria = QStringLiteral("IDCATEGORIA");
inline const QString QtaAlert = QStringLiteral("QTAALERT");
}  // namespace Prodotti
namespace Storico {  // storico.db
inline const QString Id = QStringLiteral("ID");
inline const QString Azione = QStringLiteral("AZIONE");
inline const QString IdProd = QStringLiteral("IDPROD");
inline const QString Nome = QStringLiteral("NOME");
inline const QString Descrizione = QStringLiteral("DESCRIZIONE");
inline const QString Quantita = QStringLiteral("QUANTITA");
inline const QString GiacenzaMax = QStringLiteral("GIACENZAMAX");
inline const QString DataOggi = QStringLiteral("DATAOGGI");
inline const QString DataDistinta = QStringLiteral("DATADISTINTA");
inline const QString NumDistinta = QStringLiteral("NUMDISTINTA");
inline const QString IdProduttore = QStringLiteral("IDPRODUTTORE");
inline const QString IdCategoria = QStringLiteral("IDCATEGORIA");
inline const QString Prezzo = QStringLiteral("PREZZO");
inline const QString PrezzoAcq = QStringLiteral("PREZZOACQ");
inline const QString PrezzoCar = QStringLiteral("PREZZOCAR");
// On a reversal row: the ID of the row it reverses. On a reversed row: the ID
// of its reversal. Empty on every other row.
inline const QString Storna = QStringLiteral("STORNA");
inline const QString StornatoDa = QStringLiteral("STORNATODA");
}  // namespace Storico
// The AZIONE texts of the history.
namespace Azioni {
inline const QString Carico = QStringLiteral("CARICO");
inline const QString Scarico = QStringLiteral("SCARICO");
inline const QString Aggiustamento = QStringLiteral("AGGIUSTAMENTO");
// A difference found by a stocktake (counted - book, with its sign); no
// purchase and no sale, so it carries no amount.
inline const QString Inventario = QStringLiteral("INVENTARIO");
}  // namespace Azioni
namespace Impostazioni {  // impostazioni.db
inline const QString CarStampaStorico = QStringLiteral("CAR_STAMPA_STORICO");
inline const QString CarStampaProduttori = QStringLiteral("CAR_STAMPA_PRODUTTORI");
inline const QString CarStampaProdotti = QStringLiteral("CAR_STAMPA_PRODOTTI");
inline const QString CarStampaListino = QStringLiteral("CAR_STAMPA_LISTINO");
inline const QString CarStampaGiacenze = QStringLiteral("CAR_STAMPA_GIACENZE");
inline const QString CarStampaInventario = QStringLiteral("CAR_STAMPA_INVENTARIO");
inline const QString CarStampaQtaAlert = QStringLiteral("CAR_STAMPA_QTAALERT");
inline const QString OrdProdottiStandard = QStringLiteral("ORD_PRODOTTI_STANDARD");
inline const QString CancAutomatica = QStringLiteral("CANC_AUTOMATICA");
inline const QString DataIngressoAutomatica = QStringLiteral("DATAINGRESSO_AUTOMATICA");
inline const QString ProponiInsStorico = QStringLiteral("PROPONI_INS_STORICO");
inline const QString SovrascriviPrezListino = QStringLiteral("SOVRASCRIVI_PREZ_LISTINO");
// Days ahead that the main window warns of products about to expire (0: no warning).
inline const QString GiorniPreavvisoScadenza = QStringLiteral("GIORNI_PREAVVISO_SCADENZA");
// The interface language: not created by the program, present only in a
// settings table that a translated installation brings.
inline const QString Lingua = QStringLiteral("LINGUA");
}  // namespace Impostazioni
namespace Cat {  // cat.db
inline const QString Id = QStringLiteral("ID");
inline const QString Categoria = QStringLiteral("CATEGORIA");
}  // namespace Cat
namespace TabExport {  // tabexport.db
inline const QString Progr = QStringLiteral("PROGR");
inline const QString Nome = QStringLiteral("NOME");
inline const QString Descr = QStringLiteral("DESCR");
inline const QString Campi = QStringLiteral("CAMPI");
inline const QString Tabelle = QStringLiteral("TABELLE");
inline const QString Condizione = QStringLiteral("CONDIZIONE");
inline const QString Ordinamento = QStringLiteral("ORDINAMENTO");
inline const QString NomeFile = QStringLiteral("NOMEFILE");
inline const QString NomeFoglioExcel = QStringLiteral("NOMEFOGLIOEXCEL");
inline const QString TxtOXls = QStringLiteral("txtOxls");
inline const QString Formattazione = QStringLiteral("FORMATTAZIONE");
inline const QString ChiediData = QStringLiteral("CHIEDIDATA");
inline const QString CampoData = QStringLiteral("CAMPODATA");
inline const QString Fisso = QStringLiteral("FISSO");
}  // namespace TabExport
namespace Lingua {  // lingua.db: one column per language, optional and never created by the program
inline const QString Italiano = QStringLiteral("ITALIANO");
}  // namespace Lingua

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
// The optional translation table (see Lingua above); it has no definition here.
inline const QString Lingua = QStringLiteral("lingua.db");

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
