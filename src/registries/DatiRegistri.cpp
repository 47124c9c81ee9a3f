#include "registries/DatiRegistri.h"

#include "data/Convenzioni.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Record.h"

#include <cmath>

namespace {
QString Tab(const QString& nome) { return TArchivio::corrente().nomeQualificato(nome); }

int NuovoId(const QString& tabella, const QString& campoId) { return ProssimaChiave(TArchivio::corrente(), tabella, campoId); }
}  // namespace

int NuovoIdProdotto() { return NuovoId(Definizioni::Prodotti, Prodotti::Id); }
int NuovoIdProduttore() { return NuovoId(Definizioni::Produttori, Produttori::Id); }
int NuovoIdCategoria() { return NuovoId(Definizioni::Categorie, Cat::Id); }

bool EsisteProdotto(const QString& nome) {
    return TArchivio::corrente()
        .valoreSingolo(QStringLiteral("select count(*) from %1 where %2 = ?").arg(Tab(Definizioni::Prodotti), Prodotti::Nome), {nome})
        .toInt() > 0;
}

bool EsisteIdProduttore(const QVariant& id) {
    return TArchivio::corrente()
        .valoreSingolo(QStringLiteral("select count(*) from %1 where %2 = ?").arg(Tab(Definizioni::Produttori), Produttori::Id), {id})
        .toInt() > 0;
}

bool EsisteCategoria(const QString& categoria, const QVariant& escludiId) {
    QString sql = QStringLiteral("select count(*) from %1 where %2 = ?").arg(Tab(Definizioni::Categorie), Cat::Categoria);
    QVariantList p{categoria};
    if (escludiId.isValid() && !escludiId.isNull()) {
        sql += QStringLiteral(" and %1 <> ?").arg(Cat::Id);
        p << escludiId;
    }
    return TArchivio::corrente().valoreSingolo(sql, p).toInt() > 0;
}

int ContaProdottiCategoria(const QVariant& idCategoria) {
    return TArchivio::corrente()
        .valoreSingolo(QStringLiteral("select count(*) from %1 where %2 = ?").arg(Tab(Definizioni::Prodotti), Prodotti::IdCategoria),
                       {idCategoria})
        .toInt();
}

void EliminaCategoriaEProdotti(const QVariant& idCategoria, bool conProdotti) {
    TArchivio& a = TArchivio::corrente();
    TTransazione t(a);
    if (conProdotti)
        a.esegui(QStringLiteral("delete from %1 where %2 = ?").arg(Tab(Definizioni::Prodotti), Prodotti::IdCategoria), {idCategoria});
    a.esegui(QStringLiteral("delete from %1 where %2 = ?").arg(Tab(Definizioni::Categorie), Cat::Id), {idCategoria});
    t.conferma();
}

double PrezzoScontato(double listino, double sconto1, double sconto2, double sconto3, int passi) {
    double prezzo = listino - listino / 100 * sconto1;
    if (passi >= 2) prezzo = prezzo - prezzo / 100 * sconto2;
    if (passi >= 3) prezzo = prezzo - prezzo / 100 * sconto3;
    return prezzo;
}

QString TestoMargine(double prezzoAcquisto, double prezzoVendita) {
    if (!(prezzoAcquisto > 0)) return QStringLiteral("N.D.");
    const double m = (prezzoVendita - prezzoAcquisto) / prezzoAcquisto * 100;
    if (!std::isfinite(m)) return QStringLiteral("N.D.");
    return FormattaNumero(m, 0);
}
