#include "data/Convenzioni.h"

#include "data/Orologio.h"
#include "data/engine/Archivio.h"

const QLocale& LocaleItaliano() {
    static const QLocale l(QLocale::Italian, QLocale::Italy);
    return l;
}

QString FormattaNumero(double valore, int decimali) {
    return LocaleItaliano().toString(valore, 'f', decimali);
}

QChar FiltraTastoNumerico(QChar carattere) {
    const char16_t c = carattere.unicode();
    if ((c >= u'0' && c <= u'9') || c == 8 || c == 13 || c == u',') return carattere;
    return QChar(0);
}

bool TestoNumericoAmmesso(const QString& testo) {
    for (const QChar c : testo)
        if (FiltraTastoNumerico(c).isNull() || c.unicode() == 8 || c.unicode() == 13) return false;
    return true;
}

QString TestoSinistro(const QString& testo, int n) { return PrimiCaratteri(testo, n); }

QString DataCompletata(const QString& testo) {
    const QString s = QStringLiteral("/");
    const QString t = Oggi().toString(FormatoData);
    const QString m = t.mid(3, 2);
    const QString y = t.mid(6, 4);
    QString d;
    for (const QChar c : testo)
        if (c >= u'0' && c <= u'9') d += c;
    QString candidato;
    switch (d.size()) {
    case 0: candidato = t; break;
    case 1: candidato = QStringLiteral("0") + d + s + m + s + y; break;
    case 2: candidato = d + s + m + s + y; break;
    case 3: candidato = d.left(2) + s + QStringLiteral("0") + d.mid(2, 1) + s + y; break;
    case 4: candidato = d.left(2) + s + d.mid(2, 2) + s + y; break;
    case 5: candidato = d.left(2) + s + d.mid(2, 2) + s + y.left(3) + d.mid(4, 1); break;
    case 6: candidato = d.left(2) + s + d.mid(2, 2) + s + y.left(2) + d.mid(4, 2); break;
    case 7: candidato = d.left(2) + s + d.mid(2, 2) + s + y.left(1) + d.mid(4, 3); break;
    case 8:
    case 9:
    case 10: candidato = d.left(2) + s + d.mid(2, 2) + s + d.mid(4, 4); break;
    default: candidato = d; break;
    }
    // A day or month out of range is refused, never carried over (31/04 does
    // not become 01/05).
    const QDate data = QDate::fromString(candidato, FormatoData);
    if (!data.isValid() || data.toString(FormatoData) != candidato) return QString();
    return data.toString(FormatoData);
}

namespace {

QDate LeggiData(const QString& testo) {
    const QString t = testo.trimmed();
    QDate data = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    if (!data.isValid()) throw ErroreArchivio(QStringLiteral("'%1' non è una data valida").arg(testo));
    return data;
}

QString TestoSQL(const QDate& data) {
    return UltimiCaratteri(QStringLiteral("0") + QString::number(data.month()), 2) + QLatin1Char('/') +
           UltimiCaratteri(QStringLiteral("0") + QString::number(data.day()), 2) + QLatin1Char('/') +
           QString::number(data.year());
}

}  // namespace

TPeriodoSQL PeriodoSQL(const QString& primo, const QString& secondo) {
    TPeriodoSQL p;
    p.dataPrimo = LeggiData(primo);
    p.dataSecondo = LeggiData(secondo);
    p.primo = TestoSQL(p.dataPrimo);
    p.secondo = TestoSQL(p.dataSecondo);
    return p;
}
