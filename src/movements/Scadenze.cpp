#include "movements/Scadenze.h"

#include "app/Fx.h"
#include "data/engine/Definizioni.h"

#include <QSqlQuery>
#include <vector>

namespace {

const qint64 GiornoZero = QDate(1899, 12, 30).toJulianDay();

// DATAOGGI as stored (ISO text yyyy-mm-dd) to a julian day; GiornoZero when
// empty or unreadable.
qint64 GiornoDaTesto(const QString& t) {
    if (t.size() >= 10 && t[4] == u'-' && t[7] == u'-') {
        auto cifre = [&](int da, int n) {
            int v = 0;
            for (int i = da; i < da + n; ++i) {
                const QChar c = t[i];
                if (c < u'0' || c > u'9') return -1;
                v = v * 10 + (c.unicode() - '0');
            }
            return v;
        };
        const int a = cifre(0, 4), m = cifre(5, 2), g = cifre(8, 2);
        if (a >= 0 && m >= 0 && g >= 0) {
            const QDate d(a, m, g);
            if (d.isValid()) return d.toJulianDay();
        }
    }
    const QDate d = DataEntrataProdotto(t);
    return d.toJulianDay();
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
    const QString P = a.nomeQualificato(Definizioni::Prodotti);
    struct Prodotto {
        qint64 riga;      // rowid: the write finds the row in one step
        qint64 scadenza;  // julian day of entry + days allowed
    };
    std::vector<Prodotto> prodotti;
    {
        QSqlQuery q(a.db());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("select rowid, %1, %2 from ").arg(Prodotti::DataOggi, Prodotti::GiacenzaMax) + P +
                    (condizione.isEmpty() ? QString() : QStringLiteral(" where ") + condizione))) TArchivio::sollevaErrore(q);
        while (q.next())
            prodotti.push_back({q.value(0).toLongLong(),
                                (q.isNull(1) ? GiornoZero : GiornoDaTesto(q.value(1).toString())) + q.value(2).toLongLong()});
    }
    TEsitoScadenze esito;
    esito.trovati = static_cast<int>(prodotti.size());
    const qint64 c = controllo.toJulianDay();

    // The outcomes are written in groups: one statement per group and value,
    // the keys handed over as a JSON array.
    QSqlQuery scrivi(a.db());
    if (!scrivi.prepare(QStringLiteral("update ") + P +
                        QStringLiteral(" set %1 = ? where rowid in (select value from json_each(?))").arg(Prodotti::ScadutoTemp)))
        TArchivio::sollevaErrore(scrivi);
    QByteArray chiavi[2];
    int inAttesa = 0;
    auto registra = [&] {
        for (int valore = 0; valore < 2; ++valore) {
            if (chiavi[valore].isEmpty()) continue;
            scrivi.bindValue(0, valore);
            scrivi.bindValue(1, QString::fromLatin1('[' + chiavi[valore] + ']'));
            if (!scrivi.exec()) TArchivio::sollevaErrore(scrivi);
            chiavi[valore].clear();
        }
        inAttesa = 0;
    };

    TTransazione t(a);
    try {
        const int n = esito.trovati;
        for (int i = 0; i < n; ++i) {
            if (primaDelProdotto && !primaDelProdotto(i + 1, n)) {
                esito.fermato = true;
                break;
            }
            const bool scaduto = prodotti[i].scadenza <= c;
            QByteArray& k = chiavi[scaduto ? 1 : 0];
            if (!k.isEmpty()) k += ',';
            k += QByteArray::number(prodotti[i].riga);
            ++esito.trattati;
            if (scaduto) ++esito.scaduti;
            if (++inAttesa >= 2000) registra();
        }
        registra();
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
