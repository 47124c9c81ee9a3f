#include "movements/Scadenze.h"

#include "app/Fx.h"
#include "data/engine/Definizioni.h"
#include "data/engine/ErroreMotore.h"

#include <QSqlQuery>
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
    sqlite3_stmt* s = nullptr;
    const QByteArray prova = QByteArray("select ") + NomeFunzioneScadenza + "(null, null)";
    if (sqlite3_prepare_v2(h, prova.constData(), -1, &s, nullptr) == SQLITE_OK) {
        sqlite3_finalize(s);
        return;
    }
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
    RegistraFunzioneScadenza(a.handle());
    const QString P = a.nomeQualificato(Definizioni::Prodotti);
    const QString scadenza = QStringLiteral("%1(%2, %3)").arg(QLatin1String(NomeFunzioneScadenza), Prodotti::DataOggi,
                                                              Prodotti::GiacenzaMax);
    const qint64 c = controllo.toJulianDay();
    TEsitoScadenze esito;

    // Read and written in one transaction: the rows written are exactly the
    // rows read, in the list's order (by rowid).
    TTransazione t(a);
    try {
        struct Prodotto {
            qint64 riga;  // rowid
            bool scaduto;
        };
        std::vector<Prodotto> prodotti;
        {
            // Straight from the engine: on 100,000 rows the Qt layer would
            // cost as much again as the reading itself.
            sqlite3* h = a.handle();
            const QByteArray sql = (QStringLiteral("select rowid, ") + scadenza + QStringLiteral(" <= ?1 from ") + P +
                                    (condizione.isEmpty() ? QString() : QStringLiteral(" where ") + condizione) +
                                    QStringLiteral(" order by rowid"))
                                       .toUtf8();
            sqlite3_stmt* s = nullptr;
            int rc = sqlite3_prepare_v2(h, sql.constData(), static_cast<int>(sql.size()), &s, nullptr);
            if (rc != SQLITE_OK) throw ErroreDelMotore(h, rc);
            sqlite3_bind_int64(s, 1, c);
            while ((rc = sqlite3_step(s)) == SQLITE_ROW)
                prodotti.push_back({sqlite3_column_int64(s, 0), sqlite3_column_int(s, 1) != 0});
            if (rc != SQLITE_DONE) {
                const ErroreArchivio e = ErroreDelMotore(h, rc);
                sqlite3_finalize(s);
                throw e;
            }
            sqlite3_finalize(s);
        }
        esito.trovati = static_cast<int>(prodotti.size());

        // The outcomes are written in groups of consecutive products of the
        // list: one statement per group, over the group's rowid range under
        // the list's condition, the engine evaluating each row by the same rule.
        QSqlQuery scrivi(a.db());
        if (!scrivi.prepare(QStringLiteral("update ") + P + QStringLiteral(" set %1 = (").arg(Prodotti::ScadutoTemp) +
                            scadenza + QStringLiteral(" <= ?) where rowid between ? and ?") +
                            (condizione.isEmpty() ? QString() : QStringLiteral(" and (") + condizione + QLatin1Char(')'))))
            TArchivio::sollevaErrore(scrivi);
        int primo = 0;  // the first product not written yet
        auto registra = [&](int fine) {
            if (fine <= primo) return;
            scrivi.bindValue(0, c);
            scrivi.bindValue(1, prodotti[primo].riga);
            scrivi.bindValue(2, prodotti[fine - 1].riga);
            if (!scrivi.exec()) TArchivio::sollevaErrore(scrivi);
            primo = fine;
        };

        const int n = esito.trovati;
        int i = 0;
        for (; i < n; ++i) {
            if (primaDelProdotto && !primaDelProdotto(i + 1, n)) {
                esito.fermato = true;
                break;
            }
            ++esito.trattati;
            if (prodotti[i].scaduto) ++esito.scaduti;
            if (i + 1 - primo >= 2000) registra(i + 1);
        }
        registra(i);
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
