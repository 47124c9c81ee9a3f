// The compressed page store of a laid-out report: each page packed into one
// byte array as it is laid out, unpacked when it is read.

#include "reports/engine/Report.h"

#include <QVarLengthArray>

#include <cstring>

namespace {
template <class T>
void Scrivi(QByteArray& b, const T& v) {
    b.append(reinterpret_cast<const char*>(&v), sizeof v);
}
template <class T>
T Leggi(const char*& p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    p += sizeof v;
    return v;
}
void ScriviNumero(QByteArray& b, quint32 n) {
    while (n >= 0x80) {
        b.append(static_cast<char>((n & 0x7f) | 0x80));
        n >>= 7;
    }
    b.append(static_cast<char>(n));
}
quint32 LeggiNumero(const char*& p) {
    quint32 n = 0;
    for (int spostamento = 0;; spostamento += 7) {
        const quint8 c = static_cast<quint8>(*p++);
        n |= static_cast<quint32>(c & 0x7f) << spostamento;
        if (!(c & 0x80)) return n;
    }
}
bool SoloLatino(const QString& t) {
    for (const QChar c : t)
        if (c.unicode() > 0xff) return false;
    return true;
}

// What each element of a packed page says of itself, beside its kind.
enum : quint8 {
    StessaY = 1,      // at the height of the element before it
    StessoTesto = 2,  // the text of the element of the same kind before it on the page
    Latino = 4,       // a text of one byte per character (Latin-1)
};
}  // namespace

// A page is packed before it is compressed: each element as the index of
// what it shares with others of its control, a flag byte, its height when it
// differs from the one before (a row's elements share it), and its text when
// it differs from the last one of its kind on the page, in one byte a
// character when it can. Rows repeat most of that, so the page compresses to
// a few bytes a row in a fraction of the time the plain record took.
void TElencoPagine::append(const TPaginaReport& pagina) {
    QByteArray b;
    b.reserve(pagina.elementi.size() * 24 + 8);
    ScriviNumero(b, static_cast<quint32>(pagina.elementi.size()));
    double yPrecedente = -1;
    QVarLengthArray<const QString*, 64> ultimoTesto;
    for (const TElementoPagina& e : pagina.elementi) {
        const Modello m{static_cast<quint8>(e.tipo), static_cast<quint8>(e.banda), e.font, e.allineamento, e.spessore,
                        e.area.x(), e.area.width(), e.area.height(), e.nome};
        auto it = m_indiceModelli.constFind(m);
        quint32 i;
        if (it != m_indiceModelli.constEnd()) {
            i = it.value();
        } else {
            i = static_cast<quint32>(m_modelli.size());
            m_modelli.append(m);
            m_indiceModelli.insert(m, i);
        }
        if (static_cast<qsizetype>(i) >= ultimoTesto.size()) ultimoTesto.resize(i + 1, nullptr);
        quint8 segni = 0;
        const double y = e.area.y();
        if (y == yPrecedente) segni |= StessaY;
        const QString*& ultimo = ultimoTesto[i];
        if (ultimo && *ultimo == e.testo) segni |= StessoTesto;
        else if (SoloLatino(e.testo)) segni |= Latino;
        ScriviNumero(b, i);
        b.append(static_cast<char>(segni));
        if (!(segni & StessaY)) Scrivi(b, y);
        yPrecedente = y;
        if (segni & StessoTesto) continue;
        ultimo = &e.testo;
        ScriviNumero(b, static_cast<quint32>(e.testo.size()));
        if (segni & Latino) {
            const qsizetype inizio = b.size();
            b.resize(inizio + e.testo.size());
            char* q = b.data() + inizio;
            for (const QChar c : e.testo) *q++ = static_cast<char>(c.unicode());
        } else {
            b.append(reinterpret_cast<const char*>(e.testo.utf16()), e.testo.size() * 2);
        }
    }
    // qCompress leaves its buffer at the size of the worst case (more than
    // the page uncompressed): only the compressed bytes are kept.
    QByteArray compressa = qCompress(b, 1);
    compressa.squeeze();
    m_byte += compressa.size();
    m_pagine.append(std::move(compressa));
}

TPaginaReport TElencoPagine::operator[](int i) const {
    TPaginaReport p;
    if (i < 0 || i >= m_pagine.size()) return p;
    const QByteArray b = qUncompress(m_pagine[i]);
    const char* q = b.constData();
    const quint32 n = LeggiNumero(q);
    p.elementi.resize(n);
    double y = 0;
    QVarLengthArray<const QString*, 64> ultimoTesto;
    for (TElementoPagina& e : p.elementi) {
        const quint32 indice = LeggiNumero(q);
        const Modello& m = m_modelli[indice];
        const quint8 segni = static_cast<quint8>(*q++);
        if (!(segni & StessaY)) y = Leggi<double>(q);
        e.tipo = static_cast<TElementoPagina::Tipo>(m.tipo);
        e.banda = static_cast<TTipoBanda>(m.banda);
        e.font = m.font;
        e.allineamento = m.allineamento;
        e.spessore = m.spessore;
        e.area = QRectF(m.x, y, m.larghezza, m.altezza);
        e.nome = m.nome;
        if (static_cast<qsizetype>(indice) >= ultimoTesto.size()) ultimoTesto.resize(indice + 1, nullptr);
        const QString*& ultimo = ultimoTesto[indice];
        if (segni & StessoTesto) {
            e.testo = *ultimo;
            continue;
        }
        const quint32 lunghezza = LeggiNumero(q);
        if (segni & Latino) {
            e.testo = QString::fromLatin1(q, lunghezza);
            q += lunghezza;
        } else {
            e.testo = QString(reinterpret_cast<const QChar*>(q), lunghezza);
            q += lunghezza * 2;
        }
        ultimo = &e.testo;
    }
    return p;
}

void TElencoPagine::clear() {
    m_pagine.clear();
    m_modelli.clear();
    m_indiceModelli.clear();
    m_byte = 0;
}

QStringList TDocumentoReport::testi(int pagina) const {
    QStringList l;
    if (pagina < 0 || pagina >= pagine.size()) return l;
    for (const TElementoPagina& e : pagine[pagina].elementi)
        if (e.tipo == TElementoPagina::Testo) l << e.testo;
    return l;
}

QStringList TDocumentoReport::tuttiITesti() const {
    QStringList l;
    for (int i = 0; i < pagine.size(); ++i) l << testi(i);
    return l;
}

QVector<TElementoPagina> TDocumentoReport::elementiDi(const QString& nomeControllo) const {
    QVector<TElementoPagina> v;
    for (int i = 0; i < pagine.size(); ++i)
        for (const TElementoPagina& e : pagine[i].elementi)
            if (e.nome.compare(nomeControllo, Qt::CaseInsensitive) == 0) v << e;
    return v;
}

void TDocumentoReport::svuota() {
    font.clear();
    pagine.clear();
}
