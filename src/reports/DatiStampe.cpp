#include "reports/DatiStampe.h"

#include "data/Convenzioni.h"
#include "data/NomiAnagrafiche.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Definizioni.h"

#include <cmath>

QString TestoQuali(int quali) {
    switch (quali) {
    case StampaCarichi: return QStringLiteral("Carichi");
    case StampaScarichi: return QStringLiteral("Scarichi");
    case StampaAggiustamenti: return QStringLiteral("Aggiustamenti");
    default: return QStringLiteral("Tutti");
    }
}

QString AzioneQuali(int quali) {
    switch (quali) {
    case StampaCarichi: return Azioni::Carico;
    case StampaScarichi: return Azioni::Scarico;
    case StampaAggiustamenti: return Azioni::Aggiustamento;
    default: return {};
    }
}

QString CampoOrdineStorico(int ordine) {
    switch (ordine) {
    case OrdinaNome: return Storico::Nome;
    case OrdinaDescrizione: return Storico::Descrizione;
    case OrdinaQuantita: return Storico::Quantita;
    case OrdinaPrezzoAcq: return Storico::PrezzoAcq;
    case OrdinaPrezzoVen: return Storico::Prezzo;
    default: return Storico::DataOggi;
    }
}

namespace {

// The period as ISO texts, as the dates are stored, and the action when one is chosen.
void Condizioni(TQueryStampa& q, const QDate& da, const QDate& a, int quali) {
    q.testo += QStringLiteral(" where %1 >= ? and %1 <= ?").arg(Storico::DataOggi);
    q.parametri << da.toString(Qt::ISODate) << a.toString(Qt::ISODate);
    const QString azione = AzioneQuali(quali);
    if (!azione.isEmpty()) {
        q.testo += QStringLiteral(" and %1 = ?").arg(Storico::Azione);
        q.parametri << azione;
    }
}

QString Direzione(bool inverti) { return inverti ? QStringLiteral(" desc") : QString(); }

}  // namespace

TQueryStampa QueryStorico(const QDate& da, const QDate& a, int quali, int ordine, bool inverti) {
    TQueryStampa q;
    q.testo = QStringLiteral("select * from ") + TArchivio::corrente().nomeQualificato(Definizioni::Storico);
    Condizioni(q, da, a, quali);
    q.testo += QStringLiteral(" order by ") + CampoOrdineStorico(ordine) + Direzione(inverti);
    return q;
}

TQueryStampa QueryFlussi(const QDate& da, const QDate& a, int quali, bool inverti) {
    TQueryStampa q;
    q.testo = QStringLiteral("select %1, sum(%2) as \"%3\", sum(%4) as \"%5\", sum(%6) as \"%7\" from ")
                  .arg(Storico::DataOggi, Storico::Prezzo, SommaPrezzo, Storico::PrezzoAcq, SommaPrezzoAcq,
                       Storico::Quantita, SommaQuantita) +
              TArchivio::corrente().nomeQualificato(Definizioni::Storico);
    const qsizetype inizioCondizioni = q.testo.size();
    Condizioni(q, da, a, quali);
    // The period has a day when it has a row: no sums needed to know it.
    q.esistenza = QStringLiteral("select exists (select 1 from ") +
                  TArchivio::corrente().nomeQualificato(Definizioni::Storico) + q.testo.mid(inizioCondizioni) +
                  QLatin1Char(')');
    q.testo += QStringLiteral(" group by %1 order by %1").arg(Storico::DataOggi) + Direzione(inverti);
    return q;
}

void EseguiQueryStampa(QSqlQuery& query, const TQueryStampa& q) {
    query = QSqlQuery(TArchivio::corrente().db());
    query.setForwardOnly(true);
    if (!query.prepare(q.testo)) TArchivio::sollevaErrore(query);
    for (int i = 0; i < q.parametri.size(); ++i) query.bindValue(i, q.parametri[i]);
    if (!query.exec()) TArchivio::sollevaErrore(query);
}

bool EsistonoRighe(const TQueryStampa& q) {
    QSqlQuery query(TArchivio::corrente().db());
    query.setForwardOnly(true);
    const QString testo = q.esistenza.isEmpty() ? QStringLiteral("select exists (") + q.testo + QLatin1Char(')') : q.esistenza;
    if (!query.prepare(testo)) TArchivio::sollevaErrore(query);
    for (int i = 0; i < q.parametri.size(); ++i) query.bindValue(i, q.parametri[i]);
    if (!query.exec() || !query.next()) TArchivio::sollevaErrore(query);
    return query.value(0).toBool();
}

QString TestoDifferenza(double totaleAcquisti, double totaleVendite) {
    return FormattaNumero(totaleVendite - totaleAcquisti, 2);
}

QString TestoRicavo(double totaleAcquisti, double totaleVendite) {
    // A division of doubles by 0 raises nothing: it gives an infinity or NaN.
    if (totaleAcquisti == 0) return QStringLiteral("ERR.");
    const double r = (totaleVendite - totaleAcquisti) / totaleAcquisti * 100;
    if (!std::isfinite(r)) return QStringLiteral("ERR.");
    return FormattaNumero(r, 2);
}

QString DataDaPeriodo(const QString& t) { return t.mid(3, 3) + t.mid(0, 3) + t.mid(6, 4); }

QString TNomiAnagrafiche::produttore(qint64 id) {
    auto it = m_produttori.constFind(id);
    if (it != m_produttori.constEnd()) return it.value();
    const QString nome = NomeCognomeProduttore(id);
    ++m_letture;
    m_produttori.insert(id, nome);
    return nome;
}

QString TNomiAnagrafiche::categoria(qint64 id) {
    auto it = m_categorie.constFind(id);
    if (it != m_categorie.constEnd()) return it.value();
    const QString nome = NomeCategoria(id);
    ++m_letture;
    m_categorie.insert(id, nome);
    return nome;
}

void TNomiAnagrafiche::svuota() {
    m_produttori.clear();
    m_categorie.clear();
}

namespace {

QString Voce(const QStringList& campi, int voce) { return voce >= 0 && voce < campi.size() ? campi[voce] : QString(); }

const QStringList& OrdiniProdotti() {
    static const QStringList l = {QString(),          Prodotti::Nome,     Prodotti::Descrizione, Prodotti::Carichi,
                                  Prodotti::Scarichi, Prodotti::Quantita, Prodotti::IdProduttore};
    return l;
}
const QStringList& OrdiniListino() {
    static const QStringList l = {QString(), Prodotti::Nome, Prodotti::Descrizione, Prodotti::PrezzoListino,
                                  Prodotti::IdProduttore};
    return l;
}
const QStringList& OrdiniProduttori() {
    static const QStringList l = {Produttori::Id,  Produttori::Nome, Produttori::Cognome,
                                  Produttori::Via, Produttori::Cap,  Produttori::Provincia};
    return l;
}
const QStringList& OrdiniInventario() {
    static const QStringList l = {Prodotti::Nome, Prodotti::Quantita, Prodotti::Descrizione};
    return l;
}

// " order by FIELD [desc]" for a field of the allowed ones, nothing for an
// empty one; any other text is refused.
QString Ordinamento(const QString& campo, bool inverti, const QStringList& ammessi) {
    if (campo.isEmpty()) return QString();
    for (const QString& a : ammessi)
        if (!a.isEmpty() && a.compare(campo, Qt::CaseInsensitive) == 0)
            return QStringLiteral(" order by ") + a + Direzione(inverti);
    throw ErroreArchivio(QStringLiteral("Campo di ordinamento non ammesso: %1").arg(campo));
}

// Each restriction as " and FIELD = ?" with its value.
void Restrizioni(TQueryStampa& q, const QString& prodotto, int idProduttore, int idCategoria) {
    if (!prodotto.isEmpty()) {
        q.testo += QStringLiteral(" and %1 = ?").arg(Prodotti::Nome);
        q.parametri << prodotto;
    }
    if (idProduttore > 0) {
        q.testo += QStringLiteral(" and %1 = ?").arg(Prodotti::IdProduttore);
        q.parametri << idProduttore;
    }
    if (idCategoria > 0) {
        q.testo += QStringLiteral(" and %1 = ?").arg(Prodotti::IdCategoria);
        q.parametri << idCategoria;
    }
}

}  // namespace

QString CampoOrdineProdotti(int voce) { return Voce(OrdiniProdotti(), voce); }
QString CampoOrdineListino(int voce) { return Voce(OrdiniListino(), voce); }
QString CampoOrdineProduttori(int voce) { return Voce(OrdiniProduttori(), voce); }
QString CampoOrdineInventario(int voce) { return Voce(OrdiniInventario(), voce); }

TQueryStampa QueryProdottiStampa(const QString& prodotto, int idProduttore, int idCategoria, const QString& campoOrdine,
                                 bool inverti) {
    TQueryStampa q;
    // Products without a code are left out: NOME compared with the empty text.
    q.testo = QStringLiteral("select * from ") + TArchivio::corrente().nomeQualificato(Definizioni::Prodotti) +
              QStringLiteral(" where %1 <> ?").arg(Prodotti::Nome);
    q.parametri << QString(QLatin1String(""));
    Restrizioni(q, prodotto, idProduttore, idCategoria);
    QStringList ammessi = OrdiniProdotti();
    ammessi << OrdiniInventario();
    q.testo += Ordinamento(campoOrdine, inverti, ammessi);
    return q;
}

TQueryStampa QueryListino(const QString& prodotto, int idProduttore, const QString& campoOrdine, bool inverti) {
    TQueryStampa q;
    q.testo = QStringLiteral("select * from ") + TArchivio::corrente().nomeQualificato(Definizioni::Prodotti) +
              QStringLiteral(" where 1 = 1");
    Restrizioni(q, prodotto, idProduttore, 0);
    q.testo += Ordinamento(campoOrdine, inverti, OrdiniListino());
    return q;
}

TQueryStampa QueryProduttori(const QString& campoOrdine, bool inverti) {
    TQueryStampa q;
    q.testo = QStringLiteral("select * from ") + TArchivio::corrente().nomeQualificato(Definizioni::Produttori) +
              Ordinamento(campoOrdine, inverti, OrdiniProduttori());
    return q;
}
