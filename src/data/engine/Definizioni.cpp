#include "data/engine/Definizioni.h"

namespace {

TDefCampo I(const QString& n, bool richiesto = false) { return {n, TTipoCampo::Integer, 0, richiesto}; }
TDefCampo F(const QString& n) { return {n, TTipoCampo::Float, 0, false}; }
TDefCampo D(const QString& n) { return {n, TTipoCampo::Date, 0, false}; }
TDefCampo B(const QString& n) { return {n, TTipoCampo::Boolean, 0, false}; }
TDefCampo S(const QString& n, int dim) { return {n, TTipoCampo::String, dim, false}; }
TDefCampo M(const QString& n) { return {n, TTipoCampo::Memo, 0, false}; }

}  // namespace

namespace Definizioni {

QVector<TDefCampo> CampiProduttori() {
    using namespace ::Produttori;
    return {I(Id, true), S(Nome, 100), S(Cognome, 100), S(Via, 100), I(Cap),
            S(Citta, 100), S(Provincia, 2), S(Telefono, 50), S(Piva, 20), S(Descrizione, 250),
            S(Email, 100)};
}

QVector<TDefCampo> CampiProdotti() {
    using namespace ::Prodotti;
    return {I(Id, true), S(Nome, 40), S(Descrizione, 250), F(PrezzoListino), F(Prezzo),
            F(Prezzo2), I(Carichi), I(Scarichi), F(TotaleAcquisti), F(TotaleVendite),
            F(Sconto1), F(Sconto2), F(Sconto3), I(Quantita), I(GiacenzaMax),
            D(DataOggi), D(DataDistinta), S(NumDistinta, 5), I(IdProduttore), S(Foto, 110),
            B(ScadutoTemp), I(IdCategoria), I(QtaAlert)};
}

QVector<TDefCampo> CampiStorico() {
    using namespace ::Storico;
    return {I(Id, true), S(Azione, 30), I(IdProd), S(Nome, 100), S(Descrizione, 250),
            I(Quantita), I(GiacenzaMax), D(DataOggi), D(DataDistinta), S(NumDistinta, 5),
            I(IdProduttore), I(IdCategoria), F(Prezzo), F(PrezzoAcq), F(PrezzoCar), I(Storna), I(StornatoDa)};
}

QVector<TDefCampo> CampiImpostazioni() {
    using namespace ::Impostazioni;
    return {I(CarStampaStorico), I(CarStampaProduttori), I(CarStampaProdotti),
            I(CarStampaListino), I(CarStampaGiacenze), I(CarStampaInventario),
            I(CarStampaQtaAlert), B(OrdProdottiStandard), B(CancAutomatica),
            B(DataIngressoAutomatica), B(ProponiInsStorico), B(SovrascriviPrezListino),
            I(GiorniPreavvisoScadenza)};
}

QVector<TDefCampo> CampiCategorie() { return {I(::Cat::Id), S(::Cat::Categoria, 30)}; }

QVector<TDefCampo> CampiTabExport() {
    using namespace ::TabExport;
    return {I(Progr, true), S(Nome, 20), S(Descr, 40), M(Campi), M(Tabelle), M(Condizione),
            S(Ordinamento, 250), M(NomeFile), M(NomeFoglioExcel), I(TxtOXls), M(Formattazione),
            B(ChiediData), S(CampoData, 100), B(Fisso)};
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
        d.struttura.indici = {IndicePrimario(::Produttori::Id), IndiceSecondario(::Produttori::Nome)};
    } else if (n == Prodotti) {
        d.struttura.campi = CampiProdotti();
        d.struttura.indici = {IndicePrimario(::Prodotti::Id), IndiceSecondario(::Prodotti::Nome)};
    } else if (n == Storico) {
        d.struttura.campi = CampiStorico();
        // Not unique: a hand-edited history may repeat a key and still opens.
        // It lets the engine find the largest key in one step, so that a
        // movement costs the same on any size of history; the dates stay
        // without index (the daily group-by and the deletion by period scan).
        d.struttura.indici = {IndiceSecondario(::Storico::Id)};
    } else if (n == Impostazioni) {
        d.struttura.campi = CampiImpostazioni();
    } else if (n == Categorie) {
        d.struttura.campi = CampiCategorie();
        d.struttura.indici = {IndicePrimario(::Cat::Id), IndiceSecondario(::Cat::Categoria)};
    } else if (n == TabExport) {
        d.struttura.campi = CampiTabExport();
        d.struttura.indici = {IndicePrimario(::TabExport::Progr, true)};
    } else {
        throw ErroreArchivio(QStringLiteral("Tabella sconosciuta: %1").arg(nomeFile), ErroreArchivio::CtxStruttura);
    }
    return d;
}

}  // namespace Definizioni
