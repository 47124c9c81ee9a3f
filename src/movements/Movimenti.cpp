#include "movements/Movimenti.h"

#include "app/Fx.h"
#include "data/engine/Definizioni.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>
#include <optional>

namespace {

QString TabProdotti() { return TArchivio::corrente().nomeQualificato(QStringLiteral("prodotti")); }
QString TabStorico() { return TArchivio::corrente().nomeQualificato(QStringLiteral("storico")); }

// The fields a movement may change on a product, in the order of the UPDATE.
const QStringList& CampiMovimento() {
    static const QStringList c = {QStringLiteral("CARICHI"),        QStringLiteral("SCARICHI"),
                                  QStringLiteral("QUANTITA"),       QStringLiteral("TOTALEACQUISTI"),
                                  QStringLiteral("TOTALEVENDITE"),  QStringLiteral("PREZZO"),
                                  QStringLiteral("PREZZO2"),        QStringLiteral("DATAOGGI")};
    return c;
}

void ScriviProdotto(const TRecord& p) {
    QStringList assegna;
    QVariantList valori;
    for (const QString& n : CampiMovimento()) {
        assegna << QStringLiteral("\"%1\" = ?").arg(n);
        valori << ConvertiPerCampo(p.campi()[p.indice(n)], p.valore(n));
    }
    valori << p.intero(QStringLiteral("ID"));
    TArchivio::corrente().esegui(
        QStringLiteral("UPDATE %1 SET %2 WHERE ID = ?").arg(TabProdotti(), assegna.join(QStringLiteral(", "))), valori);
}

QVariant Prezzo(double valore, bool vuoto) { return vuoto ? QVariant() : QVariant(valore); }

}  // namespace

TImpostazioniMovimenti LeggiImpostazioniMovimenti() {
    TImpostazioniMovimenti s;
    TTabella t(TArchivio::corrente(), Definizioni::Impostazioni);
    t.apri();
    if (t.vuota()) return s;
    s.ordineStandard = t.booleano(QStringLiteral("ORD_PRODOTTI_STANDARD"));
    s.cancAutomatica = t.booleano(QStringLiteral("CANC_AUTOMATICA"));
    s.dataIngresso = t.booleano(QStringLiteral("DATAINGRESSO_AUTOMATICA"));
    s.proponiStorico = t.booleano(QStringLiteral("PROPONI_INS_STORICO"));
    s.sovrascriviPrezzi = t.booleano(QStringLiteral("SOVRASCRIVI_PREZ_LISTINO"));
    return s;
}

// ---------------------------------------------------------------------------
// Typed numbers

bool LeggiQuantita(const QString& testo, int* quantita) {
    const QString t = testo.trimmed();
    if (t.isEmpty() || t.size() > 9) return false;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    if (quantita) *quantita = t.toInt();
    return true;
}

bool LeggiPrezzo(const QString& testo, double* prezzo) {
    const QString t = testo.trimmed();
    if (t.startsWith(QLatin1Char('-'))) return false;
    return LeggiNumero(t, prezzo, true);
}

QString ControllaCaselle(const QString& quantita, const QString& prezzoAcq, bool prezzoAcqAttivo,
                         const QString& prezzoVen, bool prezzoVenAttivo, TDatiMovimento* dati, bool quantitaZero) {
    TDatiMovimento d = dati ? *dati : TDatiMovimento();
    if (!LeggiQuantita(quantita, &d.quantita) || (d.quantita < 1 && !quantitaZero))
        return QStringLiteral("La quantità indicata non è valida: inserire un numero intero di unità, almeno 1.");
    const auto prezzo = [](const QString& testo, bool attivo, double* valore, bool* vuoto) {
        *vuoto = false;
        *valore = 0;
        if (!attivo && testo.trimmed().isEmpty()) {
            *vuoto = true;
            return true;
        }
        return LeggiPrezzo(testo, valore);
    };
    if (!prezzo(prezzoAcq, prezzoAcqAttivo, &d.prezzoAcq, &d.prezzoAcqVuoto))
        return QStringLiteral("Il prezzo di acquisto (Prezzo A.) non è un numero valido: usare solo cifre e al "
                              "massimo una virgola per i decimali.");
    if (!prezzo(prezzoVen, prezzoVenAttivo, &d.prezzoVen, &d.prezzoVenVuoto))
        return QStringLiteral("Il prezzo di vendita (Prezzo V.) non è un numero valido: usare solo cifre e al "
                              "massimo una virgola per i decimali.");
    if (dati) *dati = d;
    return QString();
}

QString TestoNumero(const QVariant& valore) {
    if (valore.isNull() || !valore.isValid()) return QString();
    return QString::number(valore.toDouble(), 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}

double Arrotonda15(double valore) { return QString::number(valore, 'g', 15).toDouble(); }

// ---------------------------------------------------------------------------
// History

int NuovoIdStorico() {
    // Served by the history's index on its key: one step, whatever its size.
    return TArchivio::corrente()
        .valoreSingolo(QStringLiteral("select max(%1) from %2").arg(Storico::Id, TabStorico()))
        .toInt();
}

TRecord RigaStorico(const QString& azione, const TRecord& p, const TDatiMovimento& d, const QDate& oggi) {
    TRecord r(Definizioni::CampiStorico());
    const int q = d.quantita;
    r.imposta(QStringLiteral("AZIONE"), azione);
    r.imposta(QStringLiteral("IDPROD"), p.intero(QStringLiteral("ID")));
    r.imposta(QStringLiteral("NOME"), p.testo(QStringLiteral("NOME")));
    r.imposta(QStringLiteral("DESCRIZIONE"), p.testo(QStringLiteral("DESCRIZIONE")));
    r.imposta(QStringLiteral("QUANTITA"), q);
    r.imposta(QStringLiteral("GIACENZAMAX"), p.intero(QStringLiteral("GIACENZAMAX")));
    r.imposta(QStringLiteral("DATAOGGI"), oggi);
    // Copied through their text form: a blank stays blank.
    r.imposta(QStringLiteral("DATADISTINTA"), p.valore(QStringLiteral("DATADISTINTA")));
    r.imposta(QStringLiteral("NUMDISTINTA"), p.valore(QStringLiteral("NUMDISTINTA")));
    r.imposta(QStringLiteral("IDPRODUTTORE"), p.valore(QStringLiteral("IDPRODUTTORE")));
    if (azione != Azioni::Aggiustamento) r.imposta(QStringLiteral("IDCATEGORIA"), p.intero(QStringLiteral("IDCATEGORIA")));
    if (azione == Azioni::Carico) {
        r.imposta(QStringLiteral("PREZZOACQ"), Arrotonda15(q * d.prezzoAcq));
    } else if (azione == Azioni::Scarico) {
        r.imposta(QStringLiteral("PREZZO"), Arrotonda15(q * d.prezzoVen));
        r.imposta(QStringLiteral("PREZZOCAR"), Arrotonda15(q * d.prezzoAcq));
    } else if (azione == Azioni::Aggiustamento) {
        if (d.tipoAggiustamento == AggiustaVendite) r.imposta(QStringLiteral("PREZZO"), Arrotonda15(q * d.prezzoVen * -1));
        r.imposta(QStringLiteral("PREZZOACQ"), Arrotonda15(q * d.prezzoAcq * -1));
    }
    return r;
}

void RegistraStorico(const QString& azione, const TRecord& prodotto, const TDatiMovimento& dati) {
    TRecord r = RigaStorico(azione, prodotto, dati, Oggi());
    r.imposta(QStringLiteral("ID"), NuovoIdStorico() + 1);
    QStringList nomi, segnaposto;
    QVariantList valori;
    for (int i = 0; i < r.campi().size(); ++i) {
        nomi << QLatin1Char('"') + r.campi()[i].nome + QLatin1Char('"');
        segnaposto << QStringLiteral("?");
        valori << ConvertiPerCampo(r.campi()[i], r.valoreA(i));
    }
    TArchivio::corrente().esegui(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                     .arg(TabStorico(), nomi.join(QLatin1Char(',')), segnaposto.join(QLatin1Char(','))),
                                 valori);
}

// ---------------------------------------------------------------------------
// Arithmetic

void ApplicaCarico(TRecord& p, const TDatiMovimento& d, const TOpzioniMovimento& o, const QDate& oggi) {
    const int q = d.quantita;
    if (o.aggiornaDataIngresso) p.imposta(QStringLiteral("DATAOGGI"), oggi);
    p.imposta(QStringLiteral("CARICHI"), p.intero(QStringLiteral("CARICHI")) + q);
    p.imposta(QStringLiteral("QUANTITA"), p.intero(QStringLiteral("CARICHI")) - p.intero(QStringLiteral("SCARICHI")));
    p.imposta(QStringLiteral("TOTALEACQUISTI"), q * d.prezzoAcq + p.reale(QStringLiteral("TOTALEACQUISTI")));
    if (o.sovrascriviPrezzi) {
        p.imposta(QStringLiteral("PREZZO"), Prezzo(d.prezzoAcq, d.prezzoAcqVuoto));
        p.imposta(QStringLiteral("PREZZO2"), Prezzo(d.prezzoVen, d.prezzoVenVuoto));
    }
}

void ApplicaScarico(TRecord& p, const TDatiMovimento& d, const TOpzioniMovimento& o) {
    const int q = d.quantita;
    p.imposta(QStringLiteral("SCARICHI"), p.intero(QStringLiteral("SCARICHI")) + q);
    p.imposta(QStringLiteral("QUANTITA"), p.intero(QStringLiteral("CARICHI")) - p.intero(QStringLiteral("SCARICHI")));
    p.imposta(QStringLiteral("TOTALEVENDITE"), q * d.prezzoVen + p.reale(QStringLiteral("TOTALEVENDITE")));
    if (o.sovrascriviPrezzi) {
        p.imposta(QStringLiteral("PREZZO"), Prezzo(d.prezzoAcq, d.prezzoAcqVuoto));
        p.imposta(QStringLiteral("PREZZO2"), Prezzo(d.prezzoVen, d.prezzoVenVuoto));
    }
}

void ApplicaAggiustamento(TRecord& p, const TDatiMovimento& d) {
    const int q = d.quantita;
    p.imposta(QStringLiteral("CARICHI"), p.intero(QStringLiteral("CARICHI")) - q);
    p.imposta(QStringLiteral("TOTALEACQUISTI"), p.reale(QStringLiteral("TOTALEACQUISTI")) - q * d.prezzoAcq);
    if (d.tipoAggiustamento == AggiustaRimanenze) {
        // Decremented, not recomputed: loads went down by q, the balance with them.
        p.imposta(QStringLiteral("QUANTITA"), p.intero(QStringLiteral("QUANTITA")) - q);
    } else {
        // Loads and unloads both went down by q: the balance stays.
        p.imposta(QStringLiteral("SCARICHI"), p.intero(QStringLiteral("SCARICHI")) - q);
        p.imposta(QStringLiteral("TOTALEVENDITE"), p.reale(QStringLiteral("TOTALEVENDITE")) - q * d.prezzoVen);
    }
}

QString ControllaLimiteAggiustamento(const TRecord& p, int tipo, int q) {
    if (tipo == AggiustaRimanenze && p.intero(QStringLiteral("QUANTITA")) < q)
        return QStringLiteral("La quantità da aggiustare non può essere superiore alla quantità effettivamente "
                              "presente in rimanenza di magazzino (") +
               QString::number(p.intero(QStringLiteral("QUANTITA"))) + QStringLiteral(")!");
    if (tipo == AggiustaVendite && p.intero(QStringLiteral("SCARICHI")) < q)
        return QStringLiteral("La quantità da aggiustare non può essere superiore alla quantità effettivamente "
                              "scaricata in magazzino (") +
               QString::number(p.intero(QStringLiteral("SCARICHI"))) + QStringLiteral(")!");
    return QString();
}

// ---------------------------------------------------------------------------
// Products

TRecord LeggiProdotto(int id) {
    QSqlQuery q = TArchivio::corrente().esegui(QStringLiteral("SELECT * FROM %1 WHERE ID = ?").arg(TabProdotti()), {id});
    if (!q.next()) return TRecord();
    TRecord r(Definizioni::CampiProdotti());
    const QSqlRecord colonne = q.record();
    for (int i = 0; i < r.campi().size(); ++i) {
        const int c = colonne.indexOf(r.campi()[i].nome);
        if (c >= 0) r.impostaGrezzo(i, LeggiDaCampo(r.campi()[i], q.value(c)));
    }
    return r;
}

void EliminaProdotto(int id) {
    TArchivio::corrente().esegui(QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(TabProdotti()), {id});
}

TRecord EseguiMovimento(const QString& azione, int idProdotto, const TDatiMovimento& dati,
                        const TOpzioniMovimento& opzioni) {
    TArchivio& a = TArchivio::corrente();
    std::optional<TTransazione> t;
    TRecord p;
    try {
        // Both files are attached before the transaction: a file cannot be
        // attached inside one, and the start locks every attached file.
        a.assicuraCollegata(QStringLiteral("prodotti"));
        a.assicuraCollegata(QStringLiteral("storico"));
        t.emplace(a);
        p = LeggiProdotto(idProdotto);
        if (p.campi().isEmpty())
            throw ErroreArchivio(QStringLiteral("Prodotto inesistente: %1").arg(idProdotto), ErroreArchivio::CtxStato);
        if (opzioni.registraStorico) RegistraStorico(azione, p, dati);
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

// ---------------------------------------------------------------------------
// Totals

TTotaliProdotto CalcolaTotali(const TRecord& p) {
    TTotaliProdotto t;
    t.rimanenza = p.intero(QStringLiteral("QUANTITA")) * p.reale(QStringLiteral("PREZZO"));
    if (t.rimanenza < 0) t.rimanenza = 0;
    t.differenza = p.reale(QStringLiteral("TOTALEVENDITE")) - p.reale(QStringLiteral("TOTALEACQUISTI")) + t.rimanenza;
    return t;
}

QString CalcolaMargine(const TRecord& p) {
    const double acq = p.reale(QStringLiteral("PREZZO"));
    if (!(acq > 0)) return QStringLiteral("N.D.");
    const double m = (p.reale(QStringLiteral("PREZZO2")) - acq) / acq * 100;
    if (!std::isfinite(m)) return QStringLiteral("N.D.");
    return FormattaNumero(m, 0);
}

TSqlLista SqlListaProdotti(bool ordineStandard) {
    return {QString(), {}, ordineStandard ? QString() : QStringLiteral("NOME")};
}

TSqlLista SqlRicercaProdotti(const QString& codice, const QString& descrizione, const QString& categoria,
                             bool ordineStandard) {
    TSqlLista l = SqlListaProdotti(ordineStandard);
    l.condizione = QStringLiteral("lower(NOME) LIKE ? ESCAPE '\\' and lower(DESCRIZIONE) LIKE ? ESCAPE '\\'");
    l.parametri << EscapeLike(codice.toLower()) + QLatin1Char('%')
                << QLatin1Char('%') + EscapeLike(descrizione.toLower()) + QLatin1Char('%');
    if (!categoria.trimmed().isEmpty()) {
        l.condizione += QStringLiteral(" and IDCATEGORIA = ?");
        l.parametri << categoria.trimmed().toInt();
    }
    return l;
}
