#include "tools/EsportazioneTesto.h"

#include "data/CartellaProgramma.h"
#include "data/Convenzioni.h"
#include "tools/ConnessioneLettura.h"
#include "tools/CopiaDati.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <QSaveFile>
#include <cmath>

namespace {

QString MessaggioFormato(const QString& colonna, const QString& formato, const QString& motivo) {
    return QStringLiteral("Il formato \"%1\" della colonna %2 non è utilizzabile: %3").arg(formato, colonna, motivo);
}

// The Italian separators, fixed whatever the machine's locale.
const QChar Decimale = QLatin1Char(',');
const QChar Migliaia = QLatin1Char('.');

QString ConMigliaia(const QString& cifre) {
    QString r;
    const int n = static_cast<int>(cifre.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) r += Migliaia;
        r += cifre[i];
    }
    return r;
}

// Fixed notation with the decimal comma, optionally with thousands separators.
QString Fisso(double v, int decimali, bool migliaia) {
    QString s = QString::number(std::fabs(v), 'f', decimali);
    QString intera = s, fraz;
    const int p = static_cast<int>(s.indexOf(QLatin1Char('.')));
    if (p >= 0) {
        intera = s.left(p);
        fraz = s.mid(p + 1);
    }
    if (migliaia) intera = ConMigliaia(intera);
    QString r = intera;
    if (!fraz.isEmpty()) r += Decimale + fraz;
    // A value that prints as zero takes no minus sign. Checked by hand: this
    // runs for every number of an export.
    const bool zero = std::all_of(r.cbegin(), r.cend(), [](QChar c) {
        return c == QLatin1Char('0') || c == QLatin1Char('.') || c == QLatin1Char(',');
    });
    return (v < 0 && !zero ? QStringLiteral("-") : QString()) + r;
}

// Scientific notation as the old print routine wrote it: precision digits in
// all, a signed exponent of at least three digits.
QString Scientifico(double v, int precisione) {
    if (precisione < 1) precisione = 1;
    QString s = QString::number(v, 'e', precisione - 1);  // d.ddde+XX
    const int e = static_cast<int>(s.indexOf(QLatin1Char('e')));
    QString mantissa = s.left(e).replace(QLatin1Char('.'), Decimale);
    const int esponente = s.mid(e + 1).toInt();
    return mantissa + QStringLiteral("E") + (esponente < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1").arg(std::abs(esponente), 3, 10, QLatin1Char('0'));
}

// The text cut or padded with blanks to n characters, a character being a
// whole code point as the single-byte file writes it: an emoji counts one.
QString Colonna(const QString& t, int n) {
    const int unita = static_cast<int>(t.size());
    bool coppie = false;
    for (int i = 0; i < unita && i <= n; ++i)
        if (t[i].isHighSurrogate()) {
            coppie = true;
            break;
        }
    if (!coppie) return unita >= n ? t.left(n) : t.leftJustified(n);
    int i = 0, caratteri = 0;
    while (i < unita && caratteri < n) {
        i += t[i].isHighSurrogate() && i + 1 < unita && t[i + 1].isLowSurrogate() ? 2 : 1;
        ++caratteri;
    }
    return t.left(i) + QString(n - caratteri, QLatin1Char(' '));
}

// Windows-1252 for the characters outside Latin-1's printable range: the
// bytes 0x80-0x9F. 0x81, 0x8D, 0x8F, 0x90 and 0x9D stand for the control
// characters of the same code, as the system's converter has them.
char Byte1252(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
    switch (u) {
    case 0x81: case 0x8D: case 0x8F: case 0x90: case 0x9D: return static_cast<char>(u);
    case 0x20AC: return '\x80';
    case 0x201A: return '\x82';
    case 0x0192: return '\x83';
    case 0x201E: return '\x84';
    case 0x2026: return '\x85';
    case 0x2020: return '\x86';
    case 0x2021: return '\x87';
    case 0x02C6: return '\x88';
    case 0x2030: return '\x89';
    case 0x0160: return '\x8A';
    case 0x2039: return '\x8B';
    case 0x0152: return '\x8C';
    case 0x017D: return '\x8E';
    case 0x2018: return '\x91';
    case 0x2019: return '\x92';
    case 0x201C: return '\x93';
    case 0x201D: return '\x94';
    case 0x2022: return '\x95';
    case 0x2013: return '\x96';
    case 0x2014: return '\x97';
    case 0x02DC: return '\x98';
    case 0x2122: return '\x99';
    case 0x0161: return '\x9A';
    case 0x203A: return '\x9B';
    case 0x0153: return '\x9C';
    case 0x017E: return '\x9E';
    case 0x0178: return '\x9F';
    default: return 0;
    }
}

void Aggiungi1252(const QString& testo, QByteArray& uscita, qint64* sostituiti) {
    const qsizetype n = testo.size();
    const qsizetype base = uscita.size();
    uscita.resize(base + n);
    char* p = uscita.data() + base;
    const char16_t* u = reinterpret_cast<const char16_t*>(testo.utf16());
    for (qsizetype i = 0; i < n; ++i) {
        const char b = Byte1252(u[i]);
        if (b != 0 || u[i] == 0) {
            *p++ = b;
            continue;
        }
        // A pair of surrogates is one character: one "?".
        if (QChar::isHighSurrogate(u[i]) && i + 1 < n && QChar::isLowSurrogate(u[i + 1])) ++i;
        *p++ = '?';
        if (sostituiti) ++*sostituiti;
    }
    uscita.truncate(p - uscita.constData());
}

}  // namespace

QByteArray CodificaTesto(const QString& testo, TCodificaTesto codifica, qint64* sostituiti) {
    if (codifica == TCodificaTesto::Utf8) return testo.toUtf8();
    QByteArray r;
    r.reserve(testo.size());
    Aggiungi1252(testo, r, sostituiti);
    return r;
}

TFormattazioneColonna LeggiFormattazione(const QString& testo, const QString& colonna) {
    TFormattazioneColonna f;
    bool lunghezza = false, formato = false, sepdec = false;
    static const QRegularExpression fineRiga(QStringLiteral("\r\n|\r|\n"));
    for (const QString& riga : testo.split(fineRiga)) {
        const int uguale = static_cast<int>(riga.indexOf(QLatin1Char('=')));
        if (uguale < 0) continue;
        const QString sinistra = riga.left(uguale).trimmed();
        const QString destra = riga.mid(uguale + 1);
        auto e = [&](const char* chiave) {
            return sinistra.compare(QLatin1String(chiave) + QLatin1Char(' ') + colonna, Qt::CaseInsensitive) == 0;
        };
        if (!lunghezza && e("LUNGHEZZA")) {
            lunghezza = true;
            const QString v = destra.trimmed();
            static const QRegularExpression intero(QStringLiteral("^([+-]?)0*(\\d+)$"));
            const auto m = intero.match(v);
            if (!m.hasMatch())
                throw ErroreEsportazione(QStringLiteral("La lunghezza \"%1\" della colonna %2 non è un numero intero.").arg(v, colonna));
            const QString cifre = m.captured(2);
            if (m.captured(1) == QLatin1String("-") && cifre != QLatin1String("0"))
                throw ErroreEsportazione(QStringLiteral("La lunghezza \"%1\" della colonna %2 non può essere negativa.").arg(v, colonna));
            f.lunghezza = cifre.size() > 6 ? LunghezzaMassima : qMin(cifre.toInt(), LunghezzaMassima);
        } else if (!formato && e("FORMATO")) {
            formato = true;
            f.formato = destra.trimmed();
        } else if (!sepdec && e("SEPDEC")) {
            sepdec = true;
            if (!destra.isEmpty() && destra[0] != QLatin1Char(' ')) f.sepdec = destra.left(1);
            else f.sepdec = destra.mid(1, 1);
        }
    }
    return f;
}

TFormatoNumero LeggiFormatoNumero(const QString& formato, TTipoCampo tipo, const QString& colonna) {
    TFormatoNumero f;
    int conversioni = 0;
    QString* letterale = &f.prima;
    for (int i = 0; i < formato.size(); ++i) {
        const QChar c = formato[i];
        if (c != QLatin1Char('%')) {
            *letterale += c;
            continue;
        }
        if (i + 1 < formato.size() && formato[i + 1] == QLatin1Char('%')) {
            *letterale += c;
            ++i;
            continue;
        }
        if (++conversioni > 1)
            throw ErroreEsportazione(MessaggioFormato(colonna, formato, QStringLiteral("contiene più di una conversione.")));
        ++i;
        if (i < formato.size() && formato[i] == QLatin1Char('-')) {
            f.sinistra = true;
            ++i;
        }
        auto numero = [&](int* dest) {
            QString cifre;
            while (i < formato.size() && formato[i].isDigit()) cifre += formato[i++];
            if (cifre.isEmpty()) return;
            if (cifre.size() > 3 || cifre.toInt() > LarghezzaFormatoMassima)
                throw ErroreEsportazione(MessaggioFormato(
                    colonna, formato, QStringLiteral("la larghezza supera %1 caratteri.").arg(LarghezzaFormatoMassima)));
            *dest = cifre.toInt();
        };
        numero(&f.larghezza);
        if (i < formato.size() && formato[i] == QLatin1Char('.')) {
            ++i;
            f.precisione = 0;
            numero(&f.precisione);
        }
        if (i >= formato.size())
            throw ErroreEsportazione(MessaggioFormato(colonna, formato, QStringLiteral("manca la lettera della conversione.")));
        const char l = formato[i].toLower().toLatin1();
        if (!QByteArray("duxfegnm").contains(l) || l == 0)
            throw ErroreEsportazione(MessaggioFormato(
                colonna, formato, QStringLiteral("la conversione \"%%1\" non è ammessa (d, u, x, f, e, g, n, m).").arg(formato[i])));
        f.conversione = l;
        letterale = &f.dopo;
    }
    if (conversioni == 0)
        throw ErroreEsportazione(MessaggioFormato(colonna, formato, QStringLiteral("non contiene nessuna conversione.")));
    const bool intero = tipo == TTipoCampo::Integer;
    if (intero != f.intera())
        throw ErroreEsportazione(MessaggioFormato(
            colonna, formato,
            intero ? QStringLiteral("la colonna contiene numeri interi (d, u, x).")
                   : QStringLiteral("la colonna contiene numeri con decimali (f, e, g, n, m).")));
    return f;
}

QString ApplicaFormatoNumero(const TFormatoNumero& f, const QVariant& valore) {
    QString s;
    switch (f.conversione) {
    case 'd': {
        const qlonglong v = valore.toLongLong();
        s = QString::number(v < 0 ? -v : v);
        if (f.precisione > s.size()) s = s.rightJustified(f.precisione, QLatin1Char('0'));
        if (v < 0) s.prepend(QLatin1Char('-'));
        break;
    }
    case 'u':
        s = QString::number(static_cast<quint32>(valore.toLongLong()));
        if (f.precisione > s.size()) s = s.rightJustified(f.precisione, QLatin1Char('0'));
        break;
    case 'x':
        s = QString::number(static_cast<quint32>(valore.toLongLong()), 16).toUpper();
        if (f.precisione > s.size()) s = s.rightJustified(f.precisione, QLatin1Char('0'));
        break;
    case 'f': s = Fisso(valore.toDouble(), f.precisione < 0 ? 2 : f.precisione, false); break;
    case 'n': s = Fisso(valore.toDouble(), f.precisione < 0 ? 2 : f.precisione, true); break;
    case 'm': s = QStringLiteral("€ ") + Fisso(valore.toDouble(), f.precisione < 0 ? 2 : f.precisione, true); break;
    case 'e': s = Scientifico(valore.toDouble(), f.precisione < 0 ? 15 : f.precisione); break;
    case 'g': {
        s = QString::number(valore.toDouble(), 'g', f.precisione <= 0 ? 15 : f.precisione);
        s.replace(QLatin1Char('.'), Decimale).replace(QLatin1Char('e'), QLatin1Char('E'));
        break;
    }
    }
    if (s.size() < f.larghezza) s = f.sinistra ? s.leftJustified(f.larghezza) : s.rightJustified(f.larghezza);
    return f.prima + s + f.dopo;
}

QString ApplicaFormatoData(const QString& formato, const QDate& data) {
    if (!data.isValid()) return QString(formato.size(), QLatin1Char(' '));
    const QLocale& it = LocaleItaliano();
    QString r;
    for (int i = 0; i < formato.size();) {
        const QChar c = formato[i].toLower();
        int n = 1;
        while (i + n < formato.size() && formato[i + n].toLower() == c) ++n;
        if (c == QLatin1Char('d')) {
            if (n == 1) r += QString::number(data.day());
            else if (n == 2) r += QStringLiteral("%1").arg(data.day(), 2, 10, QLatin1Char('0'));
            else if (n == 3) r += it.dayName(data.dayOfWeek(), QLocale::ShortFormat);
            else r += it.dayName(data.dayOfWeek(), QLocale::LongFormat);
        } else if (c == QLatin1Char('m')) {
            if (n == 1) r += QString::number(data.month());
            else if (n == 2) r += QStringLiteral("%1").arg(data.month(), 2, 10, QLatin1Char('0'));
            else if (n == 3) r += it.monthName(data.month(), QLocale::ShortFormat);
            else r += it.monthName(data.month(), QLocale::LongFormat);
        } else if (c == QLatin1Char('y')) {
            r += n <= 2 ? QStringLiteral("%1").arg(data.year() % 100, 2, 10, QLatin1Char('0'))
                        : QStringLiteral("%1").arg(data.year(), 4, 10, QLatin1Char('0'));
        } else {
            r += formato.mid(i, n);
        }
        i += n;
    }
    return r;
}

TPezzoColonna::TPezzoColonna(const TColonnaRisultato& colonna, const QString& formattazione)
    : m_tipo(colonna.campo.tipo) {
    const TFormattazioneColonna f = LeggiFormattazione(formattazione, colonna.nome);
    m_sepdec = f.sepdec;
    // A column whose type the engine does not tell is left out, as a memo is.
    m_escluso = !colonna.tipoNoto || m_tipo == TTipoCampo::Memo;
    switch (m_tipo) {
    case TTipoCampo::String: m_lunghezza = f.lunghezza != 0 ? f.lunghezza : qMin(colonna.campo.dimensione, LunghezzaMassima); break;
    case TTipoCampo::Integer:
        m_numero = LeggiFormatoNumero(f.formato.isEmpty() ? QStringLiteral("%14d") : f.formato, m_tipo, colonna.nome);
        break;
    case TTipoCampo::Float:
        m_numero = LeggiFormatoNumero(f.formato.isEmpty() ? QStringLiteral("%14.3f") : f.formato, m_tipo, colonna.nome);
        break;
    case TTipoCampo::Date: m_formatoData = f.formato.isEmpty() ? QStringLiteral("dd/mm/yyyy") : f.formato; break;
    default: break;
    }
}

QString TPezzoColonna::pezzo(const QVariant& valore) const {
    if (m_escluso) return {};
    switch (m_tipo) {
    case TTipoCampo::String: {
        return Colonna(valore.toString(), m_lunghezza);
    }
    case TTipoCampo::Integer: return ApplicaFormatoNumero(m_numero, valore.isNull() ? QVariant(0) : valore);
    case TTipoCampo::Boolean:
        if (valore.isNull()) return QStringLiteral("     ");
        return valore.toBool() ? QStringLiteral("True ") : QStringLiteral("False");
    case TTipoCampo::Float: {
        QString s = ApplicaFormatoNumero(m_numero, valore.isNull() ? QVariant(0.0) : valore);
        const int virgola = static_cast<int>(s.indexOf(QLatin1Char(',')));
        if (virgola >= 0 && m_sepdec != QLatin1String(",")) {
            if (m_sepdec.isEmpty()) s = QLatin1Char(' ') + s.remove(virgola, 1);
            else s.replace(virgola, 1, m_sepdec);
        }
        return s;
    }
    case TTipoCampo::Date: return ApplicaFormatoData(m_formatoData, valore.toDate());
    default: return {};
    }
}

QString PercorsoEsportazione(const QString& cartella, const QString& nome) {
    if (cartella.isEmpty()) return nome;
    return cartella.endsWith(QLatin1Char('/')) || cartella.endsWith(QLatin1Char('\\')) ? cartella + nome
                                                                                          : cartella + QLatin1Char('/') + nome;
}

void DividiPercorso(const QString& percorso, QString* cartella, QString* nome) {
    const int p = static_cast<int>(qMax(percorso.lastIndexOf(QLatin1Char('/')), percorso.lastIndexOf(QLatin1Char('\\'))));
    *nome = percorso.mid(p + 1);
    QString c = p >= 0 ? percorso.left(p + 1) : QString();
    // The folder without its final separator, except for a root ("/", "C:\").
    if (c.size() > 1 && !c.endsWith(QLatin1String(":\\")) && !c.endsWith(QLatin1String(":/"))) c.chop(1);
    *cartella = c;
}

bool FileDelProgramma(const QString& percorso) {
    const QFileInfo f(percorso);
    QString cartella = f.absolutePath();
    const QString canonica = QFileInfo(cartella).canonicalFilePath();
    if (!canonica.isEmpty()) cartella = canonica;
    const QString programma = QFileInfo(CartellaProgramma()).canonicalFilePath();
    if (programma.isEmpty()) return false;
    QString backup = QFileInfo(CopiaDati::CartellaBackup(CartellaProgramma())).absoluteFilePath();
    if (backup.endsWith(QLatin1Char('/'))) backup.chop(1);
    if (const QString b = QFileInfo(backup).canonicalFilePath(); !b.isEmpty()) backup = b;
    const QString nomeBackup = QFileInfo(backup).fileName().toLower();
    auto riservato = [&](const QString& dir, const QString& nome) {
        // Anything inside the backup folder is a copy of the user's data.
        if (dir == backup || dir.startsWith(backup + QLatin1Char('/'))) return true;
        if (dir != programma) return false;
        const QString n = nome.toLower();
        for (const QString& spedito : FileSpeditiConIlProgramma())
            if (n == spedito.toLower()) return true;
        static const QStringList giornali = {QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm"),
                                             QStringLiteral("-mj")};
        for (const QString& g : giornali)
            if (n.contains(g)) return true;
        return n.endsWith(QLatin1String(".db")) || n.startsWith(QLatin1String("zerired.")) ||
               n == QLatin1String("dberrori.log") || n == nomeBackup;
    };
    if (riservato(cartella, f.fileName())) return true;
    // A link that points at such a file is refused as well.
    if (f.isSymLink()) {
        const QFileInfo t(f.canonicalFilePath());
        if (t.exists() && riservato(QFileInfo(t.absolutePath()).canonicalFilePath(), t.fileName())) return true;
    }
    return false;
}

TEsitoTesto EsportaTesto(TConnessioneLettura& c, const QString& formattazione, const QString& percorso,
                         TCodificaTesto codifica, const std::function<void(qint64)>& avanzamento) {
    if (FileDelProgramma(percorso))
        throw ErroreEsportazione(QStringLiteral("Il file %1 è un archivio del programma: scegliere un altro nome o percorso.")
                                     .arg(QDir::toNativeSeparators(percorso)));
    // Every column's settings are checked before the file is touched.
    QVector<TPezzoColonna> pezzi;
    for (const TColonnaRisultato& col : c.colonne()) pezzi << TPezzoColonna(col, formattazione);

    QSaveFile file(percorso);
    if (!file.open(QIODevice::WriteOnly))
        throw ErroreEsportazione(QStringLiteral("Non riesco a scrivere l'archivio nel percorso indicato! Controllare e ripetere l'operazione."));
    TEsitoTesto esito;
    qint64& righe = esito.righe;
    QString riga;
    QByteArray blocco;
    const int n = static_cast<int>(pezzi.size());
    while (c.prossima()) {
        riga.clear();
        for (int i = 0; i < n; ++i) riga += pezzi[i].pezzo(c.valore(i));
        riga += QLatin1String("\r\n");
        if (codifica == TCodificaTesto::Utf8) blocco += riga.toUtf8();
        else Aggiungi1252(riga, blocco, &esito.sostituiti);
        if (blocco.size() > (1 << 20)) {
            file.write(blocco);
            blocco.clear();
        }
        ++righe;
        if (avanzamento && righe % 1000 == 0) avanzamento(righe);
    }
    file.write(blocco);
    if (!file.commit())
        throw ErroreEsportazione(QStringLiteral("Non riesco a scrivere l'archivio nel percorso indicato! Controllare e ripetere l'operazione.\n%1")
                                     .arg(file.errorString()));
    if (avanzamento) avanzamento(righe);
    return esito;
}
