#include "data/engine/Valori.h"

#include "data/engine/Errore.h"

#include <QDate>
#include <QRegularExpression>
#include <cmath>
#include <cstdint>

QString TDefCampo::tipoDichiarato() const {
    switch (tipo) {
    case TTipoCampo::Integer: return QStringLiteral("INTEGER");
    case TTipoCampo::Float: return QStringLiteral("FLOAT");
    case TTipoCampo::Date: return QStringLiteral("DATE");
    case TTipoCampo::Boolean: return QStringLiteral("BOOLEAN");
    case TTipoCampo::String: return QStringLiteral("VARCHAR(%1)").arg(dimensione);
    case TTipoCampo::Memo: return QStringLiteral("MEMO TEXT");
    }
    return {};
}

TDefCampo TDefCampo::daDichiarazione(const QString& nome, const QString& dichiarato, bool richiesto) {
    TDefCampo c;
    c.nome = nome;
    c.richiesto = richiesto;
    const QString t = dichiarato.trimmed().toUpper();
    static const QRegularExpression dim(QStringLiteral("\\(\\s*(\\d+)"));
    if (t.contains(QLatin1String("MEMO")) || t == QLatin1String("TEXT") || t.contains(QLatin1String("CLOB"))) {
        c.tipo = TTipoCampo::Memo;
    } else if (t.contains(QLatin1String("CHAR")) || t.isEmpty() || t.contains(QLatin1String("TEXT"))) {
        c.tipo = TTipoCampo::String;
        const auto m = dim.match(t);
        c.dimensione = m.hasMatch() ? m.captured(1).toInt() : 0;
    } else if (t.startsWith(QLatin1String("BOOL"))) {
        c.tipo = TTipoCampo::Boolean;
    } else if (t.startsWith(QLatin1String("DATE"))) {
        c.tipo = TTipoCampo::Date;
    } else if (t.contains(QLatin1String("INT"))) {
        c.tipo = TTipoCampo::Integer;
    } else {
        c.tipo = TTipoCampo::Float;
    }
    return c;
}

int TStrutturaTabella::indiceCampo(const QString& nome) const {
    for (int i = 0; i < campi.size(); ++i)
        if (campi[i].nome.compare(nome, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

// ---------------------------------------------------------------------------
// Values

QString TestoNumeroGenerale(double valore) {
    return QString::number(valore, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}

bool LeggiNumero(const QString& testo, double* risultato, bool soloVirgola) {
    const QString t = testo.trimmed();
    if (t.isEmpty()) return false;
    QString normale;
    normale.reserve(t.size());
    int separatori = 0, cifre = 0;
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            normale += c;
            ++cifre;
        } else if (c == QLatin1Char(',') || (!soloVirgola && c == QLatin1Char('.'))) {
            if (++separatori > 1) return false;
            normale += QLatin1Char('.');
        } else if (c == QLatin1Char('-') && i == 0) {
            normale += c;
        } else if (!soloVirgola && (c == QLatin1Char('e') || c == QLatin1Char('E')) && cifre > 0) {
            // Stored reals written by SQLite may carry an exponent (1.0e+15).
            bool ok = false;
            const double v = t.toDouble(&ok);
            if (!ok) return false;
            if (risultato) *risultato = v;
            return true;
        } else {
            return false;
        }
    }
    if (cifre == 0) return false;
    bool ok = false;
    const double v = normale.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    if (risultato) *risultato = v;
    return true;
}

QString PrimiCaratteri(const QString& testo, int n) {
    if (n <= 0) return QString();
    if (testo.size() <= n) return testo;  // fewer code units than n: fewer characters too
    qsizetype i = 0;
    for (int contati = 0; i < testo.size() && contati < n; ++contati)
        i += (testo[i].isHighSurrogate() && i + 1 < testo.size() && testo[i + 1].isLowSurrogate()) ? 2 : 1;
    return testo.left(i);
}

QString UltimiCaratteri(const QString& testo, int n) {
    if (n <= 0) return QString();
    if (testo.size() <= n) return testo;
    qsizetype i = testo.size();
    for (int contati = 0; i > 0 && contati < n; ++contati)
        i -= (testo[i - 1].isLowSurrogate() && i >= 2 && testo[i - 2].isHighSurrogate()) ? 2 : 1;
    return testo.mid(i);
}

namespace {

// A surrogate without its other half cannot be written as UTF-8: SQLite would
// store bytes that are no text. It becomes the replacement character.
QString SenzaSurrogatiIsolati(QString t) {
    if (t.isValidUtf16()) return t;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i].isHighSurrogate() && i + 1 < t.size() && t[i + 1].isLowSurrogate()) ++i;
        else if (t[i].isSurrogate()) t[i] = QChar::ReplacementCharacter;
    }
    return t;
}

QString NomeTipo(TTipoCampo t) {
    switch (t) {
    case TTipoCampo::Integer: return QStringLiteral("intero");
    case TTipoCampo::Float: return QStringLiteral("numero");
    case TTipoCampo::Date: return QStringLiteral("data");
    case TTipoCampo::Boolean: return QStringLiteral("logico");
    case TTipoCampo::String: return QStringLiteral("testo");
    case TTipoCampo::Memo: return QStringLiteral("memo");
    }
    return {};
}

[[noreturn]] void ValoreNonValido(const TDefCampo& campo, const QVariant& v) {
    throw ErroreArchivio(QStringLiteral("'%1' non è un valore %2 valido per il campo %3")
                             .arg(v.toString(), NomeTipo(campo.tipo), campo.nome),
                         ErroreArchivio::CtxConversione);
}

bool EIntero(const QVariant& v) {
    const int id = v.typeId();
    return id == QMetaType::Int || id == QMetaType::LongLong || id == QMetaType::UInt ||
           id == QMetaType::ULongLong || id == QMetaType::Short || id == QMetaType::Long;
}

QDate DataDaTesto(const QString& s) {
    const QString t = s.trimmed();
    QDate d = QDate::fromString(t.left(10), Qt::ISODate);
    if (d.isValid()) return d;
    d = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
    if (d.isValid()) return d;
    d = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    return d;
}

}  // namespace

QVariant ConvertiPerCampo(const TDefCampo& campo, const QVariant& valore) {
    if (valore.isNull() || !valore.isValid()) return QVariant();
    const bool testo = valore.typeId() == QMetaType::QString;
    if (testo && campo.tipo != TTipoCampo::String && campo.tipo != TTipoCampo::Memo &&
        valore.toString().trimmed().isEmpty())
        return QVariant();
    switch (campo.tipo) {
    case TTipoCampo::Integer: {
        double d = 0;
        if (valore.typeId() == QMetaType::Bool) return valore.toBool() ? 1 : 0;
        if (EIntero(valore)) {
            const qlonglong n = valore.toLongLong();
            if (n < INT32_MIN || n > INT32_MAX) ValoreNonValido(campo, valore);
            return static_cast<int>(n);
        }
        if (valore.typeId() == QMetaType::Double) d = valore.toDouble();
        else if (!LeggiNumero(valore.toString(), &d, false)) ValoreNonValido(campo, valore);
        if (!std::isfinite(d) || d < INT32_MIN || d > INT32_MAX || d != std::trunc(d)) ValoreNonValido(campo, valore);
        return static_cast<int>(d);
    }
    case TTipoCampo::Float: {
        if (valore.typeId() == QMetaType::Bool) return valore.toBool() ? 1.0 : 0.0;
        if (valore.typeId() == QMetaType::Double || EIntero(valore)) {
            const double d = valore.toDouble();
            if (!std::isfinite(d)) ValoreNonValido(campo, valore);
            return d;
        }
        double d = 0;
        if (!LeggiNumero(valore.toString(), &d, false)) ValoreNonValido(campo, valore);
        return d;
    }
    case TTipoCampo::Date: {
        QDate d;
        if (valore.typeId() == QMetaType::QDate) d = valore.toDate();
        else if (valore.typeId() == QMetaType::QDateTime) d = valore.toDateTime().date();
        else d = DataDaTesto(valore.toString());
        if (!d.isValid()) ValoreNonValido(campo, valore);
        return d.toString(Qt::ISODate);
    }
    case TTipoCampo::Boolean: {
        if (valore.typeId() == QMetaType::Bool || EIntero(valore) || valore.typeId() == QMetaType::Double)
            return valore.toDouble() != 0 ? 1 : 0;
        const QString t = valore.toString().trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("1") || t == QLatin1String("si") || t == QLatin1String("vero"))
            return 1;
        if (t == QLatin1String("false") || t == QLatin1String("0") || t == QLatin1String("no") || t == QLatin1String("falso"))
            return 0;
        ValoreNonValido(campo, valore);
    }
    case TTipoCampo::String: {
        QString t;
        if (valore.typeId() == QMetaType::QDate) t = valore.toDate().toString(QStringLiteral("dd/MM/yyyy"));
        else if (valore.typeId() == QMetaType::Double)
            t = TestoNumeroGenerale(valore.toDouble());
        else if (valore.typeId() == QMetaType::Bool) t = valore.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        else t = valore.toString();
        if (campo.dimensione > 0) t = PrimiCaratteri(t, campo.dimensione);
        return SenzaSurrogatiIsolati(t);
    }
    case TTipoCampo::Memo:
        if (valore.typeId() == QMetaType::Double) return QString::number(valore.toDouble(), 'g', 15);
        return SenzaSurrogatiIsolati(valore.toString());
    }
    return valore;
}

QVariant LeggiDaCampo(const TDefCampo& campo, const QVariant& grezzo) {
    if (grezzo.isNull() || !grezzo.isValid()) return QVariant();
    switch (campo.tipo) {
    case TTipoCampo::Integer: {
        if (EIntero(grezzo)) return static_cast<int>(grezzo.toLongLong());
        double d = 0;
        if (grezzo.typeId() == QMetaType::Double) return static_cast<int>(grezzo.toDouble());
        if (LeggiNumero(grezzo.toString(), &d, false)) return static_cast<int>(d);
        return QVariant();
    }
    case TTipoCampo::Float: {
        double d = 0;
        if (grezzo.typeId() == QMetaType::Double || EIntero(grezzo)) return grezzo.toDouble();
        if (LeggiNumero(grezzo.toString(), &d, false)) return d;
        return QVariant();
    }
    case TTipoCampo::Date: {
        const QDate d = DataDaTesto(grezzo.toString());
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case TTipoCampo::Boolean: {
        if (grezzo.typeId() == QMetaType::QString) {
            const QString t = grezzo.toString().trimmed().toLower();
            return t == QLatin1String("true") || t == QLatin1String("1");
        }
        return grezzo.toDouble() != 0;
    }
    case TTipoCampo::String:
    case TTipoCampo::Memo:
        if (grezzo.typeId() == QMetaType::Double) return QString::number(grezzo.toDouble(), 'g', 15);
        return grezzo.toString();
    }
    return grezzo;
}

QString EscapeLike(const QString& testo) {
    QString r;
    r.reserve(testo.size() + 4);
    for (const QChar c : testo) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\')) r += QLatin1Char('\\');
        r += c;
    }
    return r;
}
