#include "movements/Scadenze.h"

#include "data/engine/Definizioni.h"
#include "data/engine/Errore.h"
#include "data/engine/Istruzione.h"

#include <algorithm>
#include <limits>
#include <sqlite3.h>
#include <vector>

namespace {

const qint64 GiornoZero = QDate(1899, 12, 30).toJulianDay();

// A stored value as the SQL driver hands it to the program: the engine's
// storage class decides the type.
QVariant ValoreLetto(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return QVariant(static_cast<qlonglong>(sqlite3_value_int64(v)));
    case SQLITE_FLOAT: return QVariant(sqlite3_value_double(v));
    case SQLITE_NULL: return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB: {
        const char* b = static_cast<const char*>(sqlite3_value_blob(v));
        return QByteArray(b, sqlite3_value_bytes(v));
    }
    default: {
        const QChar* t = static_cast<const QChar*>(sqlite3_value_text16(v));
        return QString(t, sqlite3_value_bytes16(v) / static_cast<int>(sizeof(QChar)));
    }
    }
}

// The julian day of a stored DATAOGGI: the usual ISO text is read from its
// bytes, anything else as the program reads the field.
qint64 GiornoEntrata(sqlite3_value* v) {
    const int tipo = sqlite3_value_type(v);
    if (tipo == SQLITE_NULL) return GiornoZero;
    if (tipo == SQLITE_TEXT && sqlite3_value_bytes(v) >= 10) {
        const unsigned char* t = sqlite3_value_text(v);
        auto cifre = [&](int da, int n) {
            int r = 0;
            for (int i = da; i < da + n; ++i) {
                if (t[i] < '0' || t[i] > '9') return -1;
                r = r * 10 + (t[i] - '0');
            }
            return r;
        };
        if (t[4] == '-' && t[7] == '-') {
            const int a = cifre(0, 4), m = cifre(5, 2), g = cifre(8, 2);
            if (a >= 0 && m >= 0 && g >= 0) {
                const QDate d(a, m, g);
                if (d.isValid()) return d.toJulianDay();
            }
        }
    }
    return DataEntrataProdotto(ValoreLetto(v)).toJulianDay();
}

// GIACENZAMAX as a whole number of days, as the program reads the field
// (empty: 0).
qint64 GiorniConcessi(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return sqlite3_value_int64(v);
    case SQLITE_NULL: return 0;
    default: return ValoreLetto(v).toLongLong();
    }
}

// zr_scadenza(DATAOGGI, GIACENZAMAX): the julian day of entry + days allowed,
// the day from which the product is expired.
constexpr char NomeFunzioneScadenza[] = "zr_scadenza";

void FunzioneScadenza(sqlite3_context* contesto, int, sqlite3_value** argomenti) {
    sqlite3_result_int64(contesto, GiornoEntrata(argomenti[0]) + GiorniConcessi(argomenti[1]));
}

// Registered once on the store's connection, when the first run needs it.
void RegistraFunzioneScadenza(sqlite3* h) {
    if (!h) throw ErroreArchivio(QStringLiteral("Motore SQLite non disponibile"), ErroreArchivio::CtxApertura);
    TIstruzione prova;
    if (prova.prepara(h, QByteArray("select ") + NomeFunzioneScadenza + "(null, null)") == SQLITE_OK) return;
    const int rc = sqlite3_create_function_v2(h, NomeFunzioneScadenza, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                              FunzioneScadenza, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throw ErroreDelMotore(h, rc);
}

}  // namespace

QDate DataEntrataProdotto(const QVariant& dataOggi) {
    if (dataOggi.isNull() || !dataOggi.isValid()) return QDate::fromJulianDay(GiornoZero);
    if (dataOggi.typeId() == QMetaType::QDate) return dataOggi.toDate();
    const QString t = dataOggi.toString().trimmed();
    QDate d = QDate::fromString(t.left(10), Qt::ISODate);
    if (!d.isValid()) d = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    return d.isValid() ? d : QDate::fromJulianDay(GiornoZero);
}

bool ProdottoScaduto(const QDate& entrata, int giorniMax, const QDate& controllo) {
    return GiorniRimanenti(entrata, giorniMax, controllo) <= 0;
}

qint64 GiorniRimanenti(const QDate& entrata, int giorniMax, const QDate& controllo) {
    const qint64 e = entrata.isValid() ? entrata.toJulianDay() : GiornoZero;
    return e + giorniMax - controllo.toJulianDay();
}

QDate LeggiDataControllo(const QString& testo) {
    const QDate d = QDate::fromString(testo.trimmed(), QStringLiteral("d/M/yyyy"));
    if (!d.isValid()) throw ErroreArchivio(QStringLiteral("'%1' non è una data valida").arg(testo), ErroreArchivio::CtxConversione);
    return d;
}

QString CondizioneVisioneScadenze(int voce) {
    switch (voce) {
    case 1: return Prodotti::ScadutoTemp + QStringLiteral(" = true");
    case 2: return Prodotti::ScadutoTemp + QStringLiteral(" = false");
    default: return QString();
    }
}

QString CondizioneInizialeScadenze() { return Prodotti::Id + QStringLiteral(" <> 0"); }

QString TestoStatoScadenza(bool scaduto, qint64 giorniRimanenti) {
    if (scaduto) return QStringLiteral("DA RENDERE");
    return QStringLiteral("GIACENZA DI ") + QString::number(giorniRimanenti) + QStringLiteral(" GIORNI");
}

TEsitoScadenze ControllaScadenze(TArchivio& a, const QString& condizione, const QDate& controllo,
                                 const std::function<bool(int, int)>& primaDelProdotto) {
    sqlite3* h = a.handle();
    RegistraFunzioneScadenza(h);
    const QString P = a.nomeQualificato(Definizioni::Prodotti);
    const QString scadenza = QStringLiteral("%1(%2, %3)").arg(QLatin1String(NomeFunzioneScadenza), Prodotti::DataOggi,
                                                              Prodotti::GiacenzaMax);
    const QString eCondizione = condizione.isEmpty() ? QString() : QStringLiteral(" and (") + condizione + QLatin1Char(')');
    const qint64 c = controllo.toJulianDay();
    TEsitoScadenze esito;

    // One transaction: the products are counted, then read and written a group
    // at a time in the list's order (by rowid), so that a group's rows are
    // still in the engine's page cache when they are written. Through the
    // engine's C interface, without a QVariant for each value read.
    TTransazione t(a);
    try {
        TIstruzione conta(h, QStringLiteral("select count(*) from ") + P + QStringLiteral(" where 1") + eCondizione);
        const int n = conta.riga() ? sqlite3_column_int(conta.handle(), 0) : 0;
        esito.trovati = n;

        TIstruzione leggi(h, QStringLiteral("select rowid, ") + scadenza + QStringLiteral(" <= ?1 from ") + P +
                                 QStringLiteral(" where rowid >= ?2") + eCondizione +
                                 QStringLiteral(" order by rowid limit ?3"));
        // The engine evaluates each row of the range by the same rule; the
        // list's condition keeps the rows between them that are not listed.
        TIstruzione scrivi(h, QStringLiteral("update ") + P + QStringLiteral(" set %1 = (").arg(Prodotti::ScadutoTemp) +
                                  scadenza + QStringLiteral(" <= ?1) where rowid between ?2 and ?3") + eCondizione);
        constexpr int Gruppo = 2000;
        struct Prodotto {
            qint64 riga;  // rowid
            bool scaduto;
        };
        std::vector<Prodotto> gruppo;
        gruppo.reserve(Gruppo);
        qint64 da = std::numeric_limits<qint64>::min();
        int i = 0;
        while (i < n && !esito.fermato) {
            gruppo.clear();
            sqlite3_bind_int64(leggi.handle(), 1, c);
            sqlite3_bind_int64(leggi.handle(), 2, da);
            sqlite3_bind_int(leggi.handle(), 3, std::min(Gruppo, n - i));
            while (leggi.riga()) gruppo.push_back({sqlite3_column_int64(leggi.handle(), 0), sqlite3_column_int(leggi.handle(), 1) != 0});
            leggi.azzera();
            if (gruppo.empty()) break;
            int trattati = 0;
            for (const Prodotto& p : gruppo) {
                if (primaDelProdotto && !primaDelProdotto(i + 1, n)) {
                    esito.fermato = true;
                    break;
                }
                ++i;
                ++trattati;
                if (p.scaduto) ++esito.scaduti;
            }
            esito.trattati = i;
            if (trattati > 0) {
                sqlite3_bind_int64(scrivi.handle(), 1, c);
                sqlite3_bind_int64(scrivi.handle(), 2, gruppo.front().riga);
                sqlite3_bind_int64(scrivi.handle(), 3, gruppo[trattati - 1].riga);
                scrivi.esegui();
            }
            if (gruppo.back().riga == std::numeric_limits<qint64>::max()) break;
            da = gruppo.back().riga + 1;
        }
    } catch (...) {
        // What was written before the failure stays.
        try {
            t.conferma();
        } catch (...) {
        }
        throw;
    }
    t.conferma();
    return esito;
}

namespace {

// The products' table, the expiry day and the window's condition, with the
// two bounds as ?1 (today) and ?2 (the last day of the warning).
QString DaProdottiInScadenza(TArchivio& a) {
    return QStringLiteral(" from %1 where %2 <> 0 and %3(%4, %5) > ?1 and %3(%4, %5) <= ?2")
        .arg(a.nomeQualificato(Definizioni::Prodotti), Prodotti::Id, QLatin1String(NomeFunzioneScadenza),
             Prodotti::DataOggi, Prodotti::GiacenzaMax);
}

}  // namespace

int ContaProdottiInScadenza(TArchivio& a, const QDate& oggi, int giorni) {
    if (giorni <= 0) return 0;
    sqlite3* h = a.handle();
    RegistraFunzioneScadenza(h);
    TIstruzione conta(h, QStringLiteral("select count(*)") + DaProdottiInScadenza(a));
    sqlite3_bind_int64(conta.handle(), 1, oggi.toJulianDay());
    sqlite3_bind_int64(conta.handle(), 2, oggi.toJulianDay() + giorni);
    return conta.riga() ? sqlite3_column_int(conta.handle(), 0) : 0;
}

QVector<TProdottoInScadenza> ProdottiInScadenza(TArchivio& a, const QDate& oggi, int giorni) {
    QVector<TProdottoInScadenza> elenco;
    if (giorni <= 0) return elenco;
    sqlite3* h = a.handle();
    RegistraFunzioneScadenza(h);
    TIstruzione leggi(h, QStringLiteral("select %1, %2, %3, %4, %5(%6, %7) as giorno")
                             .arg(Prodotti::Id, Prodotti::Nome, Prodotti::Descrizione, Prodotti::Quantita,
                                  QLatin1String(NomeFunzioneScadenza), Prodotti::DataOggi, Prodotti::GiacenzaMax) +
                             DaProdottiInScadenza(a) + QStringLiteral(" order by giorno, %1, %2").arg(Prodotti::Nome, Prodotti::Id));
    sqlite3_bind_int64(leggi.handle(), 1, oggi.toJulianDay());
    sqlite3_bind_int64(leggi.handle(), 2, oggi.toJulianDay() + giorni);
    auto testo = [&](int colonna) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(leggi.handle(), colonna));
        return t ? QString::fromUtf8(t) : QString();
    };
    while (leggi.riga()) {
        TProdottoInScadenza p;
        p.id = sqlite3_column_int64(leggi.handle(), 0);
        p.nome = testo(1);
        p.descrizione = testo(2);
        p.quantita = sqlite3_column_int64(leggi.handle(), 3);
        p.scadenza = QDate::fromJulianDay(sqlite3_column_int64(leggi.handle(), 4));
        elenco << p;
    }
    return elenco;
}
