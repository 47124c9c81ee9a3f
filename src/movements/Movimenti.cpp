#include "movements/Movimenti.h"

#include "data/Convenzioni.h"
#include "data/LetturaImpostazioni.h"
#include "data/Orologio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Record.h"
#include "data/Ricerche.h"

#include <QSqlQuery>
#include <cmath>
#include <optional>

TImpostazioniMovimenti LeggiImpostazioniMovimenti() {
    TImpostazioniMovimenti s;
    const TRecord t = LeggiImpostazioni();
    if (t.campi().isEmpty()) return s;
    s.ordineStandard = t.booleano(Impostazioni::OrdProdottiStandard);
    s.cancAutomatica = t.booleano(Impostazioni::CancAutomatica);
    s.dataIngresso = t.booleano(Impostazioni::DataIngressoAutomatica);
    s.proponiStorico = t.booleano(Impostazioni::ProponiInsStorico);
    s.sovrascriviPrezzi = t.booleano(Impostazioni::SovrascriviPrezListino);
    return s;
}

// ---------------------------------------------------------------------------
// Typed numbers

bool LeggiQuantita(const QString& testo, int* quantita) {
    const QString t = testo.trimmed();
    if (t.isEmpty() || t.size() > 10) return false;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    const qint64 n = t.toLongLong();
    if (n > MassimoContatore) return false;
    if (quantita) *quantita = static_cast<int>(n);
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
    return TestoNumeroGenerale(valore.toDouble());
}

// ---------------------------------------------------------------------------
// Totals

TTotaliProdotto CalcolaTotali(const TRecord& p) {
    TTotaliProdotto t;
    t.rimanenza = p.intero(Prodotti::Quantita) * p.reale(Prodotti::Prezzo);
    if (t.rimanenza < 0) t.rimanenza = 0;
    t.differenza = p.reale(Prodotti::TotaleVendite) - p.reale(Prodotti::TotaleAcquisti) + t.rimanenza;
    return t;
}

QString CalcolaMargine(const TRecord& p) {
    const double acq = p.reale(Prodotti::Prezzo);
    if (!(acq > 0)) return QStringLiteral("N.D.");
    const double m = (p.reale(Prodotti::Prezzo2) - acq) / acq * 100;
    if (!std::isfinite(m)) return QStringLiteral("N.D.");
    return FormattaNumero(m, 0);
}

TSqlLista SqlListaProdotti(bool ordineStandard) {
    return {QString(), {}, ordineStandard ? QString() : Prodotti::Nome};
}

TSqlLista SqlRicercaProdotti(const QString& codice, const QString& descrizione, const QString& categoria,
                             bool ordineStandard) {
    TSqlLista l = SqlListaProdotti(ordineStandard);
    l.ricerche = RicercaProdotti(codice, descrizione);
    if (!categoria.trimmed().isEmpty()) {
        l.condizione = QStringLiteral("%1 = ?").arg(Prodotti::IdCategoria);
        l.parametri << categoria.trimmed().toInt();
    }
    return l;
}
