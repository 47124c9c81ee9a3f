#include "online/Estrazione.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <array>

QString invertiTesto(const QString& testo) {
    QString r = testo;
    std::reverse(r.begin(), r.end());
    return r;
}

namespace {

// The position of the key in the text, -1 when absent; an empty key is
// never found (a lookup without criteria must extract nothing).
qsizetype Trova(const QString& testo, const QString& chiave) {
    if (chiave.isEmpty()) return -1;
    return testo.indexOf(chiave, 0, Qt::CaseSensitive);
}

struct TChiavi {
    QString prima, seconda, inizio, fine;
    void inverti() {
        prima = invertiTesto(prima);
        seconda = invertiTesto(seconda);
        inizio = invertiTesto(inizio);
        fine = invertiTesto(fine);
    }
};

}  // namespace

void EstraiURLConCriterio(const QStringList& pagine, QStringList& uscita, const TCriterioEstrazione& c) {
    if (pagine.isEmpty()) return;
    QStringList lavoro;
    if (c.ricercaInversa) {
        for (auto it = pagine.crbegin(); it != pagine.crend(); ++it) lavoro << invertiTesto(*it);
    } else {
        lavoro = pagine;
    }
    const qsizetype n = lavoro.size();
    for (qsizetype i = 0; i < n; ++i) {
        // Backwards the keys are searched reversed in each working text; a
        // match turns them back for the rest of that text's examination.
        TChiavi chiavi{c.primaChiave, c.secondaChiave, c.marcatoreInizio, c.marcatoreFine};
        if (c.ricercaInversa) chiavi.inverti();

        const qsizetype pos = Trova(lavoro[i], chiavi.prima);
        if (pos < 0) continue;
        const QString primo = lavoro[i].mid(pos);
        int conteggio = 0;
        for (qsizetype k = i; k < n; ++k) {
            QString t = (k == i) ? primo : lavoro[k];
            const qsizetype p = Trova(t, chiavi.seconda);
            if (p < 0) continue;
            ++conteggio;
            if (conteggio <= c.occorrenza) continue;
            if (c.ricercaInversa) {
                t = invertiTesto(t.left(p + chiavi.seconda.size()));
                chiavi.inverti();
            } else {
                t = t.mid(p);
            }
            const qsizetype b = Trova(t, chiavi.inizio);
            if (b < 0) continue;
            t = t.mid(c.mantieniInizio ? b : b + chiavi.inizio.size());
            const qsizetype e = Trova(t, chiavi.fine);
            if (e < 0) continue;
            t = t.left(c.mantieniFine ? e + chiavi.fine.size() : e);
            while (!t.isEmpty() && c.caratteriFinali.contains(t.back())) t.chop(1);
            uscita << t;
            i = k;  // the outer loop goes on after text k
            break;
        }
    }
}

TCriterioEstrazione CriterioPerProgramma(const QString& titolo) {
    // One row for each of the maker's programs that share the update check.
    struct TRiga {
        const char* programma;
        TCriterioEstrazione criterio;
    };
    static const std::array<TRiga, 1> tabella{{
        {"vovuru_dazadaz", {QStringLiteral("Versione"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("<"),
                            QString(), 0, false, false, false}},
    }};
    const QString chiave = titolo.toLower();
    for (const TRiga& r : tabella)
        if (chiave == QLatin1String(r.programma)) return r.criterio;
    return {};
}

namespace {

QString Decodifica(const QByteArray& pagina, const QByteArray& tipoContenuto) {
    static const QRegularExpression daIntestazione(QStringLiteral("charset\\s*=\\s*\"?([A-Za-z0-9_.:-]+)"),
                                                   QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression daMeta(QStringLiteral("<meta[^>]*charset\\s*=\\s*[\"']?([A-Za-z0-9_.:-]+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    QString nome = daIntestazione.match(QString::fromLatin1(tipoContenuto)).captured(1);
    if (nome.isEmpty()) nome = daMeta.match(QString::fromLatin1(pagina.left(4096))).captured(1);
    if (!nome.isEmpty()) {
        QStringDecoder dec(nome.toLatin1().constData());
        if (dec.isValid()) return dec.decode(pagina);
    }
    return QString::fromUtf8(pagina);
}

}  // namespace

QString CorpoPagina(const QByteArray& pagina, const QByteArray& tipoContenuto) {
    const QString testo = Decodifica(pagina, tipoContenuto);
    const qsizetype inizio = testo.indexOf(QLatin1String("<body"), 0, Qt::CaseInsensitive);
    if (inizio < 0) return testo;
    const QLatin1String chiusura("</body>");
    const qsizetype fine = testo.indexOf(chiusura, inizio, Qt::CaseInsensitive);
    if (fine < 0) return testo.mid(inizio);
    return testo.mid(inizio, fine + chiusura.size() - inizio);
}

int NumeroVersione(const QString& versione) { return versione.mid(8).toInt(); }

int NumeroDisponibile(const QStringList& valori) {
    if (valori.isEmpty()) return -1;
    // Blanks may lead the number; nothing else may surround it.
    static const QRegularExpression intero(QStringLiteral("^[ \\t\\r\\n]*([+-]?[0-9]+)$"));
    const QRegularExpressionMatch m = intero.match(valori.first());
    if (!m.hasMatch()) return -1;
    bool ok = false;
    const int n = m.captured(1).toInt(&ok);
    return ok ? n : -1;
}
