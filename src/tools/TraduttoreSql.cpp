#include "tools/TraduttoreSql.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>

namespace {

enum class TTipoToken { Spazio, Commento, Parola, Numero, Stringa, Identificatore, Simbolo, Tabella, Colonna };

struct TToken {
    TTipoToken tipo;
    QString testo;   // as written
    QString valore;  // a literal's text, an identifier's name, a table's name
    QString tabella; // a column's qualifying table (lower case) or empty
    QString uscita;  // what goes into the translated text
};

bool InizioParola(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool InternoParola(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

QString TestoTra(const QString& s, int inizio, QChar quota, int* fine) {
    QString v;
    int i = inizio + 1;
    while (i < s.size()) {
        if (s[i] == quota) {
            if (i + 1 < s.size() && s[i + 1] == quota) {
                v += quota;
                i += 2;
                continue;
            }
            *fine = i + 1;
            return v;
        }
        v += s[i++];
    }
    throw ErroreTraduzione(QStringLiteral("Testo tra virgolette non chiuso: %1").arg(s.mid(inizio, 30)));
}

QVector<TToken> Scomponi(const QString& s) {
    QVector<TToken> t;
    int i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        TToken k;
        int fine = i + 1;
        if (c.isSpace()) {
            while (fine < s.size() && s[fine].isSpace()) ++fine;
            k.tipo = TTipoToken::Spazio;
        } else if (c == QLatin1Char('-') && i + 1 < s.size() && s[i + 1] == QLatin1Char('-')) {
            while (fine < s.size() && s[fine] != QLatin1Char('\n')) ++fine;
            k.tipo = TTipoToken::Commento;
        } else if (c == QLatin1Char('/') && i + 1 < s.size() && s[i + 1] == QLatin1Char('*')) {
            const int f = s.indexOf(QLatin1String("*/"), i + 2);
            if (f < 0) throw ErroreTraduzione(QStringLiteral("Commento non chiuso."));
            fine = f + 2;
            k.tipo = TTipoToken::Commento;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            k.valore = TestoTra(s, i, c, &fine);
            // A double-quoted text is a string, unless the context makes it a
            // name (after a qualifier or AS): decided below.
            k.tipo = c == QLatin1Char('\'') ? TTipoToken::Stringa : TTipoToken::Identificatore;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < s.size() && s[i + 1].isDigit())) {
            while (fine < s.size() && (s[fine].isDigit() || s[fine] == QLatin1Char('.'))) ++fine;
            if (fine < s.size() && (s[fine] == QLatin1Char('e') || s[fine] == QLatin1Char('E'))) {
                int f = fine + 1;
                if (f < s.size() && (s[f] == QLatin1Char('+') || s[f] == QLatin1Char('-'))) ++f;
                if (f < s.size() && s[f].isDigit()) {
                    while (f < s.size() && s[f].isDigit()) ++f;
                    fine = f;
                }
            }
            k.tipo = TTipoToken::Numero;
        } else if (InizioParola(c)) {
            while (fine < s.size() && InternoParola(s[fine])) ++fine;
            k.tipo = TTipoToken::Parola;
        } else {
            static const QStringList doppi = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">="),
                                              QStringLiteral("!="), QStringLiteral("=="), QStringLiteral("||")};
            if (doppi.contains(s.mid(i, 2))) fine = i + 2;
            k.tipo = TTipoToken::Simbolo;
        }
        k.testo = s.mid(i, fine - i);
        if (k.tipo == TTipoToken::Parola) k.valore = k.testo;
        k.uscita = k.testo;
        t << k;
        i = fine;
    }
    return t;
}

QString Quota(const QString& nome) { return QLatin1Char('"') + QString(nome).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"'); }
QString Letterale(const QString& v) { return QLatin1Char('\'') + QString(v).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\''); }

bool Parola(const TToken& k, const char* p) {
    return k.tipo == TTipoToken::Parola && k.testo.compare(QLatin1String(p), Qt::CaseInsensitive) == 0;
}
bool Simbolo(const TToken& k, const char* p) { return k.tipo == TTipoToken::Simbolo && k.testo == QLatin1String(p); }
bool Confronto(const TToken& k) {
    static const QSet<QString> op = {QStringLiteral("="), QStringLiteral("=="), QStringLiteral("<>"), QStringLiteral("!="),
                                     QStringLiteral("<"), QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};
    return k.tipo == TTipoToken::Simbolo && op.contains(k.testo);
}

const QSet<QString>& ParoleChiave() {
    static const QSet<QString> p = {
        QStringLiteral("select"), QStringLiteral("from"), QStringLiteral("where"), QStringLiteral("and"),
        QStringLiteral("or"), QStringLiteral("not"), QStringLiteral("in"), QStringLiteral("between"),
        QStringLiteral("like"), QStringLiteral("is"), QStringLiteral("null"), QStringLiteral("as"),
        QStringLiteral("order"), QStringLiteral("by"), QStringLiteral("group"), QStringLiteral("having"),
        QStringLiteral("asc"), QStringLiteral("desc"), QStringLiteral("distinct"), QStringLiteral("all"),
        QStringLiteral("on"), QStringLiteral("join"), QStringLiteral("left"), QStringLiteral("inner"),
        QStringLiteral("outer"), QStringLiteral("cross"), QStringLiteral("union"), QStringLiteral("except"),
        QStringLiteral("intersect"), QStringLiteral("limit"), QStringLiteral("offset"), QStringLiteral("case"),
        QStringLiteral("when"), QStringLiteral("then"), QStringLiteral("else"), QStringLiteral("end"),
        QStringLiteral("escape"), QStringLiteral("exists"), QStringLiteral("true"), QStringLiteral("false"),
        QStringLiteral("upper"), QStringLiteral("lower"), QStringLiteral("with"), QStringLiteral("recursive"),
        QStringLiteral("materialized")};
    return p;
}

bool Aggregato(const QString& nome) {
    static const QSet<QString> a = {QStringLiteral("SUM"), QStringLiteral("MAX"), QStringLiteral("MIN"),
                                    QStringLiteral("AVG"), QStringLiteral("COUNT")};
    return a.contains(nome.toUpper());
}

class TTraduttore {
public:
    TTraduttore(const QString& testo, const TCatalogoCampi& catalogo) : m_t(Scomponi(testo)), m_catalogo(catalogo) {}

    TSqlTradotto traduci() {
        unisciNomi();
        for (int i = 0; i < m_t.size(); ++i)
            if (m_t[i].tipo != TTipoToken::Spazio && m_t[i].tipo != TTipoToken::Commento) m_s << i;
        for (int i = 0; i < m_s.size(); ++i) {
            TToken& k = tok(i);
            if (k.tipo == TTipoToken::Stringa) traduciLetterale(i);
            else if (Parola(k, "true")) k.uscita = QStringLiteral("1");
            else if (Parola(k, "false")) k.uscita = QStringLiteral("0");
        }
        TSqlTradotto r;
        r.colonne = nominaColonne();
        for (const TToken& k : m_t) r.sql += k.uscita;
        return r;
    }

private:
    TToken& tok(int i) { return m_t[m_s[i]]; }

    // Joins "prodotti.db" into one table token and "prodotti.db"."NOME",
    // prodotti."NOME" or "NOME" into one column token; decides which double
    // quoted texts are names and which are strings.
    void unisciNomi() {
        QVector<TToken> r;
        for (int i = 0; i < m_t.size(); ++i) {
            TToken k = m_t[i];
            if (k.tipo == TTipoToken::Parola && i + 2 < m_t.size() && Simbolo(m_t[i + 1], ".") &&
                Parola(m_t[i + 2], "db")) {
                k.tipo = TTipoToken::Tabella;
                k.valore = k.testo.toLower();
                k.testo += m_t[i + 1].testo + m_t[i + 2].testo;
                k.uscita = k.valore;
                i += 2;
                m_tabelle << k.valore;
            }
            const bool qualificatore = k.tipo == TTipoToken::Tabella || k.tipo == TTipoToken::Parola;
            if (qualificatore && i + 2 < m_t.size() && Simbolo(m_t[i + 1], ".") &&
                (m_t[i + 2].tipo == TTipoToken::Identificatore || m_t[i + 2].tipo == TTipoToken::Parola)) {
                TToken c;
                c.tipo = TTipoToken::Colonna;
                c.tabella = k.valore.toLower();
                c.valore = m_t[i + 2].valore;
                c.testo = k.testo + QLatin1Char('.') + m_t[i + 2].testo;
                c.uscita = c.tabella + QLatin1Char('.') + Quota(c.valore);
                r << c;
                i += 2;
                continue;
            }
            if (k.tipo == TTipoToken::Parola && !ParoleChiave().contains(k.testo.toLower())) {
                // A bare word not followed by "(" is a field (or a table name,
                // which no field lookup will find).
                int j = i + 1;
                while (j < m_t.size() && m_t[j].tipo == TTipoToken::Spazio) ++j;
                if (j >= m_t.size() || !Simbolo(m_t[j], "(")) {
                    k.tipo = TTipoToken::Colonna;
                    k.uscita = Quota(k.valore);
                }
            }
            if (k.tipo == TTipoToken::Identificatore) {
                int j = r.size() - 1;
                while (j >= 0 && (r[j].tipo == TTipoToken::Spazio || r[j].tipo == TTipoToken::Commento)) --j;
                if (j >= 0 && Parola(r[j], "as")) {
                    k.uscita = Quota(k.valore);
                } else {
                    k.tipo = TTipoToken::Stringa;
                    k.uscita = Letterale(k.valore);
                }
            } else if (k.tipo == TTipoToken::Stringa) {
                k.uscita = Letterale(k.valore);
            }
            r << k;
        }
        m_t = r;
    }

    const TDefCampo* campo(const TToken& c) const {
        auto cerca = [&](const QString& tabella) -> const TDefCampo* {
            auto it = m_catalogo.constFind(tabella);
            if (it == m_catalogo.constEnd()) return nullptr;
            for (const TDefCampo& d : *it)
                if (d.nome.compare(c.valore, Qt::CaseInsensitive) == 0) return &d;
            return nullptr;
        };
        if (!c.tabella.isEmpty()) return cerca(c.tabella);
        for (const QString& t : m_tabelle)
            if (const TDefCampo* d = cerca(t)) return d;
        for (auto it = m_catalogo.constBegin(); it != m_catalogo.constEnd(); ++it)
            if (const TDefCampo* d = cerca(it.key())) return d;
        return nullptr;
    }

    // The field a literal is compared with: X op L, L op X, X [NOT] BETWEEN L
    // AND L, X [NOT] IN (L, L, ...).
    const TDefCampo* soggetto(int i) {
        auto colonna = [&](int j) -> const TDefCampo* {
            if (j < 0 || j >= m_s.size() || tok(j).tipo != TTipoToken::Colonna) return nullptr;
            return campo(tok(j));
        };
        auto primaDiNot = [&](int j) { return j >= 0 && Parola(tok(j), "not") ? j - 1 : j; };
        if (i + 2 < m_s.size() && Confronto(tok(i + 1)))
            if (const TDefCampo* d = colonna(i + 2)) return d;
        const int j = i - 1;
        if (j < 0) return nullptr;
        if (Confronto(tok(j))) return colonna(j - 1);
        if (Parola(tok(j), "between")) return colonna(primaDiNot(j - 1));
        if (Parola(tok(j), "and") && j >= 2 && tok(j - 1).tipo == TTipoToken::Stringa && Parola(tok(j - 2), "between"))
            return colonna(primaDiNot(j - 3));
        if (Simbolo(tok(j), "(") || Simbolo(tok(j), ",")) {
            int k = j;
            while (k >= 0 && (Simbolo(tok(k), ",") || tok(k).tipo == TTipoToken::Stringa ||
                              tok(k).tipo == TTipoToken::Numero))
                --k;
            if (k >= 1 && Simbolo(tok(k), "(") && Parola(tok(k - 1), "in")) return colonna(primaDiNot(k - 2));
        }
        return nullptr;
    }

    void traduciLetterale(int i) {
        TToken& k = tok(i);
        const TDefCampo* d = soggetto(i);
        if (!d) return;
        if (d->tipo == TTipoCampo::Date) {
            static const QRegularExpression data(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{1,4})\\s*$"));
            const auto m = data.match(k.valore);
            if (!m.hasMatch()) return;
            const QDate g(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
            if (!g.isValid())
                throw ErroreTraduzione(QStringLiteral("La data \"%1\" non è valida (mese/giorno/anno).").arg(k.valore));
            k.uscita = Letterale(QStringLiteral("%1-%2-%3")
                                     .arg(g.year(), 4, 10, QLatin1Char('0'))
                                     .arg(g.month(), 2, 10, QLatin1Char('0'))
                                     .arg(g.day(), 2, 10, QLatin1Char('0')));
        } else if (d->tipo == TTipoCampo::Boolean) {
            const QString v = k.valore.trimmed().toLower();
            if (v == QLatin1String("true")) k.uscita = QStringLiteral("1");
            else if (v == QLatin1String("false")) k.uscita = QStringLiteral("0");
        }
    }

    // Every select item that is a field or an aggregate over one gets an AS:
    // the field's name, or "SUM OF PREZZO" for an unnamed aggregate.
    QVector<TOrigineColonna> nominaColonne() {
        QVector<TOrigineColonna> r;
        // The select of the statement itself: outside the parentheses of a
        // common table expression (WITH t AS (SELECT ...) SELECT ...).
        int inizio = -1;
        for (int i = 0, livello = 0; i < m_s.size(); ++i) {
            if (Simbolo(tok(i), "(")) ++livello;
            else if (Simbolo(tok(i), ")")) --livello;
            else if (livello == 0 && Parola(tok(i), "select")) {
                inizio = i + 1;
                break;
            }
        }
        if (inizio < 0) return r;
        if (inizio < m_s.size() && (Parola(tok(inizio), "distinct") || Parola(tok(inizio), "all"))) ++inizio;
        int profondita = 0;
        int a = inizio;
        for (int i = inizio; i <= m_s.size(); ++i) {
            const bool finito = i == m_s.size();
            if (!finito) {
                if (Simbolo(tok(i), "(")) ++profondita;
                else if (Simbolo(tok(i), ")")) --profondita;
            }
            if (finito || (profondita == 0 && (Simbolo(tok(i), ",") || Parola(tok(i), "from")))) {
                if (i > a) r << nomina(a, i - 1);
                if (finito || Parola(tok(i), "from")) break;
                a = i + 1;
            }
        }
        r.removeIf([](const TOrigineColonna& o) { return o.campo == QLatin1String("*") && o.aggregato.isEmpty(); });
        return r;
    }

    TOrigineColonna nomina(int a, int b) {
        TOrigineColonna o;
        for (int i = a; i <= b; ++i)
            if (Parola(tok(i), "as") && i + 1 <= b) {
                o.nome = tok(i + 1).valore;
                if (a + 1 == i && tok(a).tipo == TTipoToken::Colonna) {
                    o.tabella = tok(a).tabella;
                    o.campo = tok(a).valore;
                }
                return o;
            }
        if (a == b && tok(a).tipo == TTipoToken::Colonna) {
            o.tabella = tok(a).tabella;
            o.campo = o.nome = tok(a).valore;
        } else if (a == b && Simbolo(tok(a), "*")) {
            o.campo = QStringLiteral("*");
            return o;
        } else if (b == a + 2 && (tok(a).tipo == TTipoToken::Colonna || tok(a).tipo == TTipoToken::Tabella) &&
                   Simbolo(tok(a + 1), ".") && Simbolo(tok(b), "*")) {
            // tabella.* arrives as a name, a full stop and a star.
            o.campo = QStringLiteral("*");
            return o;
        } else if (b == a + 3 && tok(a).tipo == TTipoToken::Parola && Aggregato(tok(a).testo) && Simbolo(tok(a + 1), "(") &&
                   Simbolo(tok(b), ")") && (tok(a + 2).tipo == TTipoToken::Colonna || Simbolo(tok(a + 2), "*"))) {
            o.aggregato = tok(a).testo.toUpper();
            o.tabella = tok(a + 2).tabella;
            o.campo = tok(a + 2).tipo == TTipoToken::Colonna ? tok(a + 2).valore : QStringLiteral("*");
            o.nome = o.aggregato + QStringLiteral(" OF ") + o.campo.toUpper();
        } else {
            return o;
        }
        tok(b).uscita += QStringLiteral(" AS ") + Quota(o.nome);
        return o;
    }

    QVector<TToken> m_t;
    QVector<int> m_s;  // the significant tokens
    QStringList m_tabelle;
    const TCatalogoCampi& m_catalogo;
};

}  // namespace

TSqlTradotto TraduciSql(const QString& testo, const TCatalogoCampi& catalogo) {
    return TTraduttore(testo, catalogo).traduci();
}
