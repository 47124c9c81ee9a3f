#include "data/MovimentoMagazzino.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Record.h"

#include <QSqlQuery>
#include <cmath>
#include <optional>

namespace {

QString TabProdotti() { return TArchivio::corrente().nomeQualificato(Definizioni::Prodotti); }

// The fields a movement may change on a product, in the order of the UPDATE.
const QStringList& CampiMovimento() {
    static const QStringList c = {Prodotti::Carichi,        Prodotti::Scarichi,
                                  Prodotti::Quantita,       Prodotti::TotaleAcquisti,
                                  Prodotti::TotaleVendite,  Prodotti::Prezzo,
                                  Prodotti::Prezzo2,        Prodotti::DataOggi};
    return c;
}

void ScriviProdotto(const TRecord& p) {
    AggiornaRecord(TArchivio::corrente(), Definizioni::Prodotti, p, CampiMovimento(), Prodotti::Id);
}

QVariant Prezzo(double valore, bool vuoto) { return vuoto ? QVariant() : QVariant(valore); }

}  // namespace

double Arrotonda15(double valore) { return QString::number(valore, 'g', 15).toDouble(); }

// ---------------------------------------------------------------------------
// History

int NuovoIdStorico() { return ProssimaChiave(TArchivio::corrente(), Definizioni::Storico, Storico::Id) - 1; }

TRecord RigaStorico(const QString& azione, const TRecord& p, const TDatiMovimento& d, const QDate& oggi) {
    TRecord r(Definizioni::CampiStorico());
    const int q = d.quantita;
    r.imposta(Storico::Azione, azione);
    r.imposta(Storico::IdProd, p.intero(Prodotti::Id));
    r.imposta(Storico::Nome, p.testo(Prodotti::Nome));
    r.imposta(Storico::Descrizione, p.testo(Prodotti::Descrizione));
    r.imposta(Storico::Quantita, q);
    r.imposta(Storico::GiacenzaMax, p.intero(Prodotti::GiacenzaMax));
    r.imposta(Storico::DataOggi, oggi);
    // Copied through their text form: a blank stays blank.
    r.imposta(Storico::DataDistinta, p.valore(Prodotti::DataDistinta));
    r.imposta(Storico::NumDistinta, p.valore(Prodotti::NumDistinta));
    r.imposta(Storico::IdProduttore, p.valore(Prodotti::IdProduttore));
    if (azione != Azioni::Aggiustamento) r.imposta(Storico::IdCategoria, p.intero(Prodotti::IdCategoria));
    if (azione == Azioni::Carico) {
        r.imposta(Storico::PrezzoAcq, Arrotonda15(q * d.prezzoAcq));
    } else if (azione == Azioni::Scarico) {
        r.imposta(Storico::Prezzo, Arrotonda15(q * d.prezzoVen));
        r.imposta(Storico::PrezzoCar, Arrotonda15(q * d.prezzoAcq));
    } else if (azione == Azioni::Aggiustamento) {
        if (d.tipoAggiustamento == AggiustaVendite) r.imposta(Storico::Prezzo, Arrotonda15(q * d.prezzoVen * -1));
        r.imposta(Storico::PrezzoAcq, Arrotonda15(q * d.prezzoAcq * -1));
    }
    return r;
}

void RegistraStorico(const QString& azione, const TRecord& prodotto, const TDatiMovimento& dati) {
    TRecord r = RigaStorico(azione, prodotto, dati, Oggi());
    TArchivio& a = TArchivio::corrente();
    r.imposta(Storico::Id, ProssimaChiave(a, Definizioni::Storico, Storico::Id));
    InserisciRecord(a, Definizioni::Storico, r);
}

// ---------------------------------------------------------------------------
// Arithmetic

namespace {

// The counters and totals of a product after a movement, computed in 64 bits
// so that a result beyond the fields' range is seen, not wrapped around.
struct TContatoriNuovi {
    qint64 carichi = 0, scarichi = 0, quantita = 0;
    double totaleAcquisti = 0, totaleVendite = 0;
};

TContatoriNuovi ContatoriDopo(const QString& azione, const TRecord& p, const TDatiMovimento& d) {
    const qint64 q = d.quantita;
    TContatoriNuovi c;
    c.carichi = p.intero(Prodotti::Carichi);
    c.scarichi = p.intero(Prodotti::Scarichi);
    c.quantita = p.intero(Prodotti::Quantita);
    c.totaleAcquisti = p.reale(Prodotti::TotaleAcquisti);
    c.totaleVendite = p.reale(Prodotti::TotaleVendite);
    if (azione == Azioni::Carico) {
        c.carichi += q;
        c.quantita = c.carichi - c.scarichi;
        c.totaleAcquisti = q * d.prezzoAcq + c.totaleAcquisti;
    } else if (azione == Azioni::Scarico) {
        c.scarichi += q;
        c.quantita = c.carichi - c.scarichi;
        c.totaleVendite = q * d.prezzoVen + c.totaleVendite;
    } else {
        c.carichi -= q;
        c.totaleAcquisti = c.totaleAcquisti - q * d.prezzoAcq;
        if (d.tipoAggiustamento == AggiustaRimanenze) {
            // Decremented, not recomputed: loads went down by q, the balance with them.
            c.quantita -= q;
        } else {
            // Loads and unloads both went down by q: the balance stays.
            c.scarichi -= q;
            c.totaleVendite = c.totaleVendite - q * d.prezzoVen;
        }
    }
    return c;
}

QString OperazioneDi(const QString& azione) {
    if (azione == Azioni::Carico) return QStringLiteral("Carico");
    if (azione == Azioni::Scarico) return QStringLiteral("Scarico");
    return QStringLiteral("Aggiustamento");
}

}  // namespace

QString ControllaContatore(const QString& operazione, const QString& nome, const QString& campo, qint64 valore) {
    if (valore >= MinimoContatore && valore <= MassimoContatore) return QString();
    QString soggetto = QStringLiteral("il saldo"), verbo = QStringLiteral("diventerebbe");
    if (campo == Prodotti::Carichi) soggetto = QStringLiteral("i carichi"), verbo = QStringLiteral("diventerebbero");
    else if (campo == Prodotti::Scarichi) soggetto = QStringLiteral("gli scarichi"), verbo = QStringLiteral("diventerebbero");
    const bool sopra = valore > MassimoContatore;
    return operazione + QStringLiteral(" non eseguito: ") + soggetto + QStringLiteral(" del prodotto '") + nome +
           QStringLiteral("' ") + verbo + QLatin1Char(' ') + FormattaNumero(double(valore), 0) +
           (sopra ? QStringLiteral(", oltre il massimo di ") : QStringLiteral(", sotto il minimo di ")) +
           FormattaNumero(double(sopra ? MassimoContatore : MinimoContatore), 0) + QLatin1Char('.');
}

QString ControllaImporto(const QString& operazione, const QString& nome, const QString& campo, double valore) {
    if (std::isfinite(valore)) return QString();
    return operazione + QStringLiteral(" non eseguito: ") +
           (campo == Prodotti::TotaleVendite ? QStringLiteral("il totale vendite") : QStringLiteral("il totale acquisti")) +
           QStringLiteral(" del prodotto '") + nome + QStringLiteral("' supererebbe il massimo rappresentabile.");
}

QString ControllaLimitiMovimento(const QString& azione, const TRecord& p, const TDatiMovimento& d) {
    const TContatoriNuovi c = ContatoriDopo(azione, p, d);
    const QString op = OperazioneDi(azione), nome = p.testo(Prodotti::Nome);
    for (const QString& t : {ControllaContatore(op, nome, Prodotti::Carichi, c.carichi),
                             ControllaContatore(op, nome, Prodotti::Scarichi, c.scarichi),
                             ControllaContatore(op, nome, Prodotti::Quantita, c.quantita),
                             ControllaImporto(op, nome, Prodotti::TotaleAcquisti, c.totaleAcquisti),
                             ControllaImporto(op, nome, Prodotti::TotaleVendite, c.totaleVendite)})
        if (!t.isEmpty()) return t;
    return QString();
}

// The movement's prices become the product's list prices (a blank box blanks
// the field), when the user asked for it.
static void SovrascriviPrezzi(TRecord& p, const TDatiMovimento& d) {
    p.imposta(Prodotti::Prezzo, Prezzo(d.prezzoAcq, d.prezzoAcqVuoto));
    p.imposta(Prodotti::Prezzo2, Prezzo(d.prezzoVen, d.prezzoVenVuoto));
}

void ApplicaCarico(TRecord& p, const TDatiMovimento& d, const TOpzioniMovimento& o, const QDate& oggi) {
    const TContatoriNuovi c = ContatoriDopo(Azioni::Carico, p, d);
    if (o.aggiornaDataIngresso) p.imposta(Prodotti::DataOggi, oggi);
    // A value beyond the field is refused by imposta, never wrapped around.
    p.imposta(Prodotti::Carichi, c.carichi);
    p.imposta(Prodotti::Quantita, c.quantita);
    p.imposta(Prodotti::TotaleAcquisti, c.totaleAcquisti);
    if (o.sovrascriviPrezzi) SovrascriviPrezzi(p, d);
}

void ApplicaScarico(TRecord& p, const TDatiMovimento& d, const TOpzioniMovimento& o) {
    const TContatoriNuovi c = ContatoriDopo(Azioni::Scarico, p, d);
    p.imposta(Prodotti::Scarichi, c.scarichi);
    p.imposta(Prodotti::Quantita, c.quantita);
    p.imposta(Prodotti::TotaleVendite, c.totaleVendite);
    if (o.sovrascriviPrezzi) SovrascriviPrezzi(p, d);
}

void ApplicaAggiustamento(TRecord& p, const TDatiMovimento& d) {
    const TContatoriNuovi c = ContatoriDopo(Azioni::Aggiustamento, p, d);
    p.imposta(Prodotti::Carichi, c.carichi);
    p.imposta(Prodotti::TotaleAcquisti, c.totaleAcquisti);
    if (d.tipoAggiustamento == AggiustaRimanenze) {
        p.imposta(Prodotti::Quantita, c.quantita);
    } else {
        p.imposta(Prodotti::Scarichi, c.scarichi);
        p.imposta(Prodotti::TotaleVendite, c.totaleVendite);
    }
}

QString ControllaLimiteAggiustamento(const TRecord& p, int tipo, int q) {
    if (tipo == AggiustaRimanenze && p.intero(Prodotti::Quantita) < q)
        return QStringLiteral("La quantità da aggiustare non può essere superiore alla quantità effettivamente "
                              "presente in rimanenza di magazzino (") +
               QString::number(p.intero(Prodotti::Quantita)) + QStringLiteral(")!");
    if (tipo == AggiustaVendite && p.intero(Prodotti::Scarichi) < q)
        return QStringLiteral("La quantità da aggiustare non può essere superiore alla quantità effettivamente "
                              "scaricata in magazzino (") +
               QString::number(p.intero(Prodotti::Scarichi)) + QStringLiteral(")!");
    return QString();
}

// ---------------------------------------------------------------------------
// Products

TRecord LeggiProdotto(int id) {
    return LeggiRecord(TArchivio::corrente(), Definizioni::Prodotti, Definizioni::CampiProdotti(), Prodotti::Id, id);
}

void EliminaProdotto(int id) {
    TArchivio::corrente().esegui(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(TabProdotti(), Prodotti::Id), {id});
}

TRecord EseguiMovimento(const QString& azione, int idProdotto, const TDatiMovimento& dati,
                        const TOpzioniMovimento& opzioni) {
    TArchivio& a = TArchivio::corrente();
    std::optional<TTransazione> t;
    TRecord p;
    try {
        // Both files are attached before the transaction: a file cannot be
        // attached inside one, and the start locks every attached file.
        a.assicuraCollegata(Definizioni::Prodotti);
        a.assicuraCollegata(Definizioni::Storico);
        t.emplace(a);
        p = LeggiProdotto(idProdotto);
        if (p.campi().isEmpty())
            throw ErroreArchivio(QStringLiteral("Prodotto inesistente: %1").arg(idProdotto), ErroreArchivio::CtxStato);
        // Checked on the product as read inside the transaction, before the
        // history row: a refused movement writes nothing.
        const QString limite = ControllaLimitiMovimento(azione, p, dati);
        if (!limite.isEmpty()) throw ErroreLimiteContatori(limite);
        if (opzioni.registraStorico) RegistraStorico(azione, p, dati);
    } catch (const ErroreLimiteContatori&) {
        throw;
    } catch (const ErroreArchivio& e) {
        // The transaction rolls back on the way out.
        if (opzioni.registraStorico) throw ErroreStorico(e.testo());
        throw;
    }
    if (azione == Azioni::Carico) ApplicaCarico(p, dati, opzioni, Oggi());
    else if (azione == Azioni::Scarico) ApplicaScarico(p, dati, opzioni);
    else ApplicaAggiustamento(p, dati);
    ScriviProdotto(p);
    t->conferma();
    return p;
}
