// The compressed page store of a laid-out report: each page packed into one
// byte array as it is laid out, unpacked when it is read.

#include "reports/engine/Report.h"

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
}  // namespace

void TElencoPagine::append(const TPaginaReport& pagina) {
    QByteArray b;
    b.reserve(pagina.elementi.size() * 40);
    Scrivi(b, static_cast<quint32>(pagina.elementi.size()));
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
        Scrivi(b, i);
        Scrivi(b, e.area.y());
        Scrivi(b, static_cast<quint32>(e.testo.size()));
        b.append(reinterpret_cast<const char*>(e.testo.utf16()), e.testo.size() * 2);
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
    const quint32 n = Leggi<quint32>(q);
    p.elementi.resize(n);
    for (TElementoPagina& e : p.elementi) {
        const Modello& m = m_modelli[Leggi<quint32>(q)];
        const double y = Leggi<double>(q);
        const quint32 lunghezza = Leggi<quint32>(q);
        e.tipo = static_cast<TElementoPagina::Tipo>(m.tipo);
        e.banda = static_cast<TTipoBanda>(m.banda);
        e.font = m.font;
        e.allineamento = m.allineamento;
        e.spessore = m.spessore;
        e.area = QRectF(m.x, y, m.larghezza, m.altezza);
        e.nome = m.nome;
        e.testo = QString(reinterpret_cast<const QChar*>(q), lunghezza);
        q += lunghezza * 2;
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
