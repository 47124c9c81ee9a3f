#include "data/engine/Definizioni.h"

namespace {

TDefCampo I(const char* n, bool richiesto = false) { return {QString::fromLatin1(n), TTipoCampo::Integer, 0, richiesto}; }
TDefCampo F(const char* n) { return {QString::fromLatin1(n), TTipoCampo::Float, 0, false}; }
TDefCampo D(const char* n) { return {QString::fromLatin1(n), TTipoCampo::Date, 0, false}; }
TDefCampo B(const char* n) { return {QString::fromLatin1(n), TTipoCampo::Boolean, 0, false}; }
TDefCampo S(const char* n, int dim) { return {QString::fromLatin1(n), TTipoCampo::String, dim, false}; }
TDefCampo M(const char* n) { return {QString::fromLatin1(n), TTipoCampo::Memo, 0, false}; }

}  // namespace

namespace Definizioni {

QVector<TDefCampo> CampiProduttori() {
    return {I("ID", true), S("NOME", 100), S("COGNOME", 100), S("VIA", 100), I("CAP"),
            S("CITTA", 100), S("PROVINCIA", 2), S("TELEFONO", 50), S("PIVA", 20), S("DESCRIZIONE", 250)};
}

QVector<TDefCampo> CampiProdotti() {
    return {I("ID", true), S("NOME", 40), S("DESCRIZIONE", 250), F("PREZZOLISTINO"), F("PREZZO"),
            F("PREZZO2"), I("CARICHI"), I("SCARICHI"), F("TOTALEACQUISTI"), F("TOTALEVENDITE"),
            F("SCONTO1"), F("SCONTO2"), F("SCONTO3"), I("QUANTITA"), I("GIACENZAMAX"),
            D("DATAOGGI"), D("DATADISTINTA"), S("NUMDISTINTA", 5), I("IDPRODUTTORE"), S("FOTO", 110),
            B("SCADUTOTEMP"), I("IDCATEGORIA"), I("QTAALERT")};
}

QVector<TDefCampo> CampiStorico() {
    return {I("ID", true), S("AZIONE", 30), I("IDPROD"), S("NOME", 100), S("DESCRIZIONE", 250),
            I("QUANTITA"), I("GIACENZAMAX"), D("DATAOGGI"), D("DATADISTINTA"), S("NUMDISTINTA", 5),
            I("IDPRODUTTORE"), I("IDCATEGORIA"), F("PREZZO"), F("PREZZOACQ"), F("PREZZOCAR")};
}

QVector<TDefCampo> CampiImpostazioni() {
    return {I("CAR_STAMPA_STORICO"), I("CAR_STAMPA_PRODUTTORI"), I("CAR_STAMPA_PRODOTTI"),
            I("CAR_STAMPA_LISTINO"), I("CAR_STAMPA_GIACENZE"), I("CAR_STAMPA_INVENTARIO"),
            I("CAR_STAMPA_QTAALERT"), B("ORD_PRODOTTI_STANDARD"), B("CANC_AUTOMATICA"),
            B("DATAINGRESSO_AUTOMATICA"), B("PROPONI_INS_STORICO"), B("SOVRASCRIVI_PREZ_LISTINO")};
}

QVector<TDefCampo> CampiCategorie() { return {I("ID"), S("CATEGORIA", 30)}; }

QVector<TDefCampo> CampiTabExport() {
    return {I("PROGR", true), S("NOME", 20), S("DESCR", 40), M("CAMPI"), M("TABELLE"), M("CONDIZIONE"),
            S("ORDINAMENTO", 30), M("NOMEFILE"), M("NOMEFOGLIOEXCEL"), I("txtOxls"), M("FORMATTAZIONE"),
            B("CHIEDIDATA"), S("CAMPODATA", 20), B("FISSO")};
}

TDefIndice IndicePrimario(const QString& campo, bool soloPrimario) {
    return {QString(), {campo}, QString(), soloPrimario ? ixPrimario : (ixPrimario | ixUnico)};
}

TDefIndice IndiceSecondario(const QString& campo) { return {campo, {campo}, QString(), 0}; }

TDefinizioneTabella Definizione(const QString& nomeFile) {
    TDefinizioneTabella d;
    d.nomeFile = nomeFile;
    const QString n = nomeFile.toLower();
    if (n == Produttori) {
        d.struttura.campi = CampiProduttori();
        d.struttura.indici = {IndicePrimario(QStringLiteral("ID")), IndiceSecondario(QStringLiteral("NOME"))};
    } else if (n == Prodotti) {
        d.struttura.campi = CampiProdotti();
        d.struttura.indici = {IndicePrimario(QStringLiteral("ID")), IndiceSecondario(QStringLiteral("NOME"))};
    } else if (n == Storico) {
        d.struttura.campi = CampiStorico();
    } else if (n == Impostazioni) {
        d.struttura.campi = CampiImpostazioni();
    } else if (n == Categorie) {
        d.struttura.campi = CampiCategorie();
        d.struttura.indici = {IndicePrimario(QStringLiteral("ID")), IndiceSecondario(QStringLiteral("CATEGORIA"))};
    } else if (n == TabExport) {
        d.struttura.campi = CampiTabExport();
        d.struttura.indici = {IndicePrimario(QStringLiteral("PROGR"), true)};
    } else {
        throw ErroreArchivio(QStringLiteral("Tabella sconosciuta: %1").arg(nomeFile), ErroreArchivio::CtxStruttura);
    }
    return d;
}

}  // namespace Definizioni
