#include "reports/engine/Report.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "gui/Finestre.h"
#include "reports/engine/Anteprima.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <algorithm>
#include <cstring>
#include <vector>
#include <memory>
#include <array>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

QString NomeBanda(TTipoBanda tipo) {
    switch (tipo) {
    case TTipoBanda::Titolo: return QStringLiteral("titolo");
    case TTipoBanda::IntestazioneColonne: return QStringLiteral("intestazione");
    case TTipoBanda::Dettaglio: return QStringLiteral("dettaglio");
    case TTipoBanda::Figlia: return QStringLiteral("figlia");
    case TTipoBanda::Riepilogo: return QStringLiteral("riepilogo");
    }
    return {};
}

namespace {
// Fits a text that is too wide for a box of the given width in mm: the same
// font made just small enough, but never below three quarters of its size,
// and at that size the text cut with "…".
QFont AdattaAlRiquadro(const QFont& font, QString& testo, double larghezzaMm);
// The widths of a font's characters on a device, kept for the whole run.
struct TLarghezzeCaratteri;
TLarghezzeCaratteri* LarghezzeDi(const QFont& font, QPaintDevice* dispositivo);
// Whether a text fits a width in device units.
bool StaNelRiquadro(TLarghezzeCaratteri& l, const QString& testo, double larghezza);
// The device the layout measures texts on, and its units per mm.
QPaintDevice* DispositivoMisura();
constexpr double PuntiMisuraPerMm = 1200 / 25.4;
}  // namespace

// ---------------------------------------------------------------------------

TControllo::TControllo(TTipoControllo tipo, const QString& nome, const QRectF& a)
    : area(a), m_tipo(tipo), m_nome(nome) {}

void TControllo::impostaDimensioni(double larghezza, double altezza) {
    area.setWidth(larghezza);
    area.setHeight(altezza);
}

TBanda::TBanda(TTipoBanda tipo, double h, const QFont& font) : altezza(h), m_tipo(tipo), m_font(font) {}

TControllo& TBanda::aggiungi(TTipoControllo tipo, const QString& nome, const QRectF& area) {
    m_controlli.push_back(std::make_unique<TControllo>(tipo, nome, area));
    m_controlli.back()->font = m_font;
    return *m_controlli.back();
}

TControllo& TBanda::etichetta(const QString& nome, const QRectF& area, const QString& testo) {
    TControllo& c = aggiungi(TTipoControllo::Etichetta, nome, area);
    c.testo = testo;
    return c;
}

TControllo& TBanda::campoDati(const QString& nome, const QRectF& area, const QString& campo) {
    TControllo& c = aggiungi(TTipoControllo::CampoDati, nome, area);
    c.campo = campo;
    return c;
}

TControllo& TBanda::numeroPagina(const QString& nome, const QRectF& area, const QString& prefisso) {
    TControllo& c = aggiungi(TTipoControllo::NumeroPagina, nome, area);
    c.testo = prefisso;
    return c;
}

TControllo& TBanda::dataCorrente(const QString& nome, const QRectF& area, const QString& prefisso) {
    TControllo& c = aggiungi(TTipoControllo::DataCorrente, nome, area);
    c.testo = prefisso;
    return c;
}

TControllo& TBanda::forma(const QString& nome, const QRectF& area, TTipoForma forma) {
    TControllo& c = aggiungi(TTipoControllo::Forma, nome, area);
    c.forma = forma;
    return c;
}

TControllo* TBanda::controllo(const QString& nome) const {
    for (const auto& c : m_controlli)
        if (c->nome().compare(nome, Qt::CaseInsensitive) == 0) return c.get();
    return nullptr;
}

// ---------------------------------------------------------------------------

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

// ---------------------------------------------------------------------------
// Layout

class TReport::Impaginatore {
public:
    Impaginatore(TReport& r, TDocumentoReport& d) : m_r(r), m_d(d), m_oggi(Oggi().toString(FormatoData)) {}

    void esegui() {
        TDatiReport* dati = m_r.m_dati;
        TBanda* titolo = m_r.banda(TTipoBanda::Titolo);
        TBanda* dettaglio = m_r.banda(TTipoBanda::Dettaglio);
        TBanda* figlia = m_r.banda(TTipoBanda::Figlia);
        TBanda* riepilogo = m_r.banda(TTipoBanda::Riepilogo);

        if (dati) {
            dati->primo();
            risolviCampi();
        }
        nuovaPagina(false);
        if (titolo) stampa(*titolo, false);
        stampaIntestazione();

        if (dati && dettaglio) {
            while (!dati->fine()) {
                if (stampa(*dettaglio, true) && figlia) stampa(*figlia, true);
                dati->successivo();
            }
        }
        if (riepilogo) stampa(*riepilogo, true);
        chiudiPagina();
    }

private:
    // Prints a band when it is visible and its hook lets it; with interruzione
    // a band that does not fit on the rest of the page goes on a new one.
    bool stampa(TBanda& b, bool interruzione) {
        if (!b.visibile) return false;
        bool siStampa = true;
        if (b.primaDiStampare) b.primaDiStampare(siStampa);
        if (!siStampa || !b.visibile) return false;
        const double h = b.altezza;
        if (h <= 0) return true;
        if (interruzione && m_y + h > Pagina::AltezzaUtile + 1e-9 && m_y > m_inizioCorpo + 1e-9) {
            nuovaPagina(true);
            stampaIntestazione();
        }
        posa(b, h);
        m_y += h;
        return true;
    }

    void stampaIntestazione() {
        if (TBanda* i = m_r.banda(TTipoBanda::IntestazioneColonne)) stampa(*i, false);
        m_inizioCorpo = m_y;
    }

    // A finished page goes to the compact store; only the page being laid
    // out is held whole.
    void chiudiPagina() {
        m_d.pagine.append(m_corrente);
        m_corrente.elementi.clear();
    }

    void nuovaPagina(bool successiva) {
        if (successiva) {
            chiudiPagina();
            ++m_r.m_paginaCorrente;
        } else {
            m_r.m_paginaCorrente = 1;
        }
        m_pagina = &m_corrente;
        m_y = 0;
        m_inizioCorpo = 0;
    }

    void risolviCampi() {
        m_indici.clear();
        for (const auto& b : m_r.m_bande) {
            if (!b) continue;
            for (const auto& c : b->controlli())
                if (c->tipo() == TTipoControllo::CampoDati) m_indici.insert(c.get(), m_r.m_dati->indice(c->campo));
        }
    }

    QString testoDi(const TControllo& c) {
        switch (c.tipo()) {
        case TTipoControllo::Etichetta: return c.testo;
        case TTipoControllo::NumeroPagina: return c.testo + QString::number(m_r.m_paginaCorrente);
        case TTipoControllo::DataCorrente: return c.testo + m_oggi;
        case TTipoControllo::CampoDati: {
            TDatiReport* dati = m_r.m_dati;
            if (!dati) return QString();
            int i = m_indici.value(&c, -2);
            if (i == -2) i = dati->indice(c.campo);
            // After the last row (an empty dataset, the summary) a data text
            // prints blank.
            if (dati->fine()) return QString();
            if (i < 0)
                throw ErroreArchivio(QStringLiteral("%1: campo '%2' non trovato").arg(c.nome(), c.campo),
                                     ErroreArchivio::CtxStruttura);
            return TestoVisualizzato(dati->valoreA(i));
        }
        case TTipoControllo::Forma: return QString();
        }
        return QString();
    }

    quint16 indiceFont(const QFont& f) {
        // The key holds what painting uses of a font.
        const QString chiave = f.key();
        auto it = m_font.constFind(chiave);
        if (it != m_font.constEnd()) return it.value();
        const quint16 i = static_cast<quint16>(m_d.font.size());
        m_d.font.append(f);
        m_font.insert(chiave, i);
        return i;
    }

    // A control's font, its index in the document and its widths on the
    // measuring device, looked up once per control rather than once per
    // text (a font's key is a string built anew at each call); a hook that
    // changes the control's font gets the new one.
    struct TFontControllo {
        QFont font;
        quint16 indice;
        TLarghezzeCaratteri* larghezze;
    };
    const TFontControllo& fontDi(const TControllo& c) {
        auto it = m_fontControlli.find(&c);
        if (it == m_fontControlli.end() || !(it->font == c.font))
            it = m_fontControlli.insert(&c, {c.font, indiceFont(c.font), LarghezzeDi(c.font, DispositivoMisura())});
        return *it;
    }

    void posa(const TBanda& b, double h) {
        const double x0 = Pagina::Margine, y0 = Pagina::Margine + m_y;
        for (const auto& pc : b.controlli()) {
            const TControllo& c = *pc;
            if (!c.visibile || c.area.top() >= h) continue;
            TElementoPagina e;
            e.banda = b.tipo();
            e.nome = c.nome();
            e.area = c.area.translated(x0, y0);
            if (c.tipo() == TTipoControllo::Forma) {
                if (c.area.width() <= 0 || c.area.height() <= 0) continue;
                e.tipo = c.forma == TTipoForma::Rettangolo ? TElementoPagina::Rettangolo : TElementoPagina::Linea;
                if (c.forma == TTipoForma::LineaOrizzontale) e.area.setHeight(0);
                if (c.forma == TTipoForma::LineaVerticale) e.area.setWidth(0);
                e.spessore = static_cast<float>(c.spessore);
                m_pagina->elementi.append(std::move(e));
                continue;
            }
            QString t = testoDi(c);
            if (t.isEmpty()) continue;  // an empty text prints blank; its hook does not run
            if (c.allaStampa) {
                c.allaStampa(t);
                if (t.isEmpty()) continue;
            }
            e.tipo = TElementoPagina::Testo;
            // A text wider than its box is fitted here, once, so that the
            // pages hold what every output paints.
            const TFontControllo& f = fontDi(c);
            if (c.area.width() <= 0 || StaNelRiquadro(*f.larghezze, t, c.area.width() * PuntiMisuraPerMm))
                e.font = f.indice;
            else
                e.font = indiceFont(AdattaAlRiquadro(c.font, t, c.area.width()));
            e.testo = std::move(t);
            e.allineamento = static_cast<int>(c.allineamento);
            m_pagina->elementi.append(std::move(e));
        }
    }

    TReport& m_r;
    TDocumentoReport& m_d;
    TPaginaReport m_corrente;
    TPaginaReport* m_pagina = nullptr;
    double m_y = 0;            // from the top margin, mm
    double m_inizioCorpo = 0;  // where the rows of the current page start
    QString m_oggi;
    QHash<QString, quint16> m_font;
    QHash<const TControllo*, TFontControllo> m_fontControlli;
    QHash<const TControllo*, int> m_indici;
};

// ---------------------------------------------------------------------------

TReport::TReport() : fontBase(QStringLiteral("DejaVu Sans"), 9) {}
TReport::~TReport() = default;

TBanda& TReport::banda(TTipoBanda tipo, double altezza) {
    auto& b = m_bande[static_cast<int>(tipo)];
    if (!b) b = std::make_unique<TBanda>(tipo, altezza, fontBase);
    return *b;
}

TBanda* TReport::banda(TTipoBanda tipo) const { return m_bande[static_cast<int>(tipo)].get(); }

TControllo* TReport::controllo(const QString& nome) const {
    for (const auto& b : m_bande)
        if (b)
            if (TControllo* c = b->controllo(nome)) return c;
    return nullptr;
}

const TDocumentoReport& TReport::genera() {
    m_documento.svuota();
    m_documento.titoloLavoro = titoloLavoro;
    m_paginaCorrente = 0;
    try {
        if (primaDiGenerare) primaDiGenerare();
        Impaginatore(*this, m_documento).esegui();
    } catch (...) {
        m_documento.svuota();
        throw;
    }
    return m_documento;
}

void TReport::anteprima(QWidget* genitore, const QString& titoloFinestra) {
    genera();
    TAnteprimaReport anteprima(m_documento, genitore);
    anteprima.setWindowTitle(titoloFinestra.isEmpty() ? titoloLavoro : titoloFinestra);
    CentraSulloSchermo(&anteprima);
    anteprima.exec();
}

void TReport::salvaPdf(const QString& file) {
    genera();
    if (!ScriviPdf(m_documento, file))
        throw ErroreArchivio(QStringLiteral("Impossibile scrivere il file %1").arg(file), ErroreArchivio::CtxFile);
}

// ---------------------------------------------------------------------------
// Painting

QFont FontCheEntra(const QFont& font, const QString& testo, double larghezza, QPaintDevice* dispositivo,
                   double puntiMinimi) {
    const double occupata = QFontMetricsF(font, dispositivo).horizontalAdvance(testo);
    if (occupata <= larghezza || occupata <= 0 || larghezza <= 0) return font;
    QFont ridotto(font);
    double punti = std::max(puntiMinimi, font.pointSizeF() * larghezza / occupata);
    // Glyph widths do not scale exactly with the size: step down until it fits.
    for (int i = 0; i < 8; ++i) {
        ridotto.setPointSizeF(punti);
        if (punti <= puntiMinimi || QFontMetricsF(ridotto, dispositivo).horizontalAdvance(testo) <= larghezza) break;
        punti = std::max(puntiMinimi, punti * 0.97);
    }
    return ridotto;
}

namespace {

// The advances of the characters of one font on one kind of device, taken
// once each and kept for the whole program: summing them tells whether a text
// fits its box without shaping the text, which would cost as much as painting it.
struct TLarghezzeCaratteri {
    TLarghezzeCaratteri(const QFont& font, QPaintDevice* dispositivo) : metriche(font, dispositivo) {
        latino.fill(-1);
    }
    QFontMetricsF metriche;
    std::array<double, 256> latino;
};

TLarghezzeCaratteri* LarghezzeDi(const QFont& font, QPaintDevice* dispositivo) {
    static QHash<QString, std::shared_ptr<TLarghezzeCaratteri>> archivio;
    const QString chiave =
        font.key() + QLatin1Char('@') + QString::number(dispositivo->logicalDpiX()) + QLatin1Char('x') +
        QString::number(dispositivo->logicalDpiY());
    auto& l = archivio[chiave];
    if (!l) l = std::make_shared<TLarghezzeCaratteri>(font, dispositivo);
    return l.get();
}

bool StaNelRiquadro(TLarghezzeCaratteri& l, const QString& testo, double larghezza) {
    double stima = 0;
    for (const QChar c : testo) {
        const char16_t u = c.unicode();
        if (u < 256) {
            if (l.latino[u] < 0) l.latino[u] = l.metriche.horizontalAdvance(c);
            stima += l.latino[u];
        } else {
            stima += l.metriche.horizontalAdvance(c);
        }
    }
    // The sum ignores kerning: close to the edge the text is measured whole.
    if (stima <= larghezza * 0.95) return true;
    return l.metriche.horizontalAdvance(testo) <= larghezza;
}

// The device the layout measures texts on: fine enough (1200 dpi) that the
// widths it gives hold on paper, in a PDF and on screen alike.
QPaintDevice* DispositivoMisura() {
    static QImage foglio = [] {
        QImage f(8, 8, QImage::Format_RGB32);
        f.setDotsPerMeterX(qRound(1200 / 0.0254));
        f.setDotsPerMeterY(qRound(1200 / 0.0254));
        return f;
    }();
    return &foglio;
}

QFont AdattaAlRiquadro(const QFont& font, QString& testo, double larghezzaMm) {
    if (larghezzaMm <= 0 || testo.isEmpty()) return font;
    QPaintDevice* misura = DispositivoMisura();
    const double larghezza = larghezzaMm * PuntiMisuraPerMm;
    const double minimo = font.pointSizeF() * 0.75;
    const QFont ridotto = FontCheEntra(font, testo, larghezza, misura, minimo);
    const QFontMetricsF m(ridotto, misura);
    if (m.horizontalAdvance(testo) > larghezza) testo = m.elidedText(testo, Qt::ElideRight, larghezza);
    return ridotto;
}

}  // namespace

void DipingiPagina(QPainter& p, const TDocumentoReport& d, int pagina) {
    if (pagina < 0 || pagina >= d.pagine.size()) return;
    const double k = p.device()->logicalDpiX() / 25.4;  // device units per mm
    const double ky = p.device()->logicalDpiY() / 25.4;
    int fontCorrente = -1;
    std::vector<TLarghezzeCaratteri*> larghezze(d.font.size(), nullptr);
    QPen penna(Qt::black);
    p.setPen(penna);
    p.setBrush(Qt::NoBrush);
    const TPaginaReport pag = d.pagine[pagina];
    for (const TElementoPagina& e : pag.elementi) {
        const QRectF r(e.area.x() * k, e.area.y() * ky, e.area.width() * k, e.area.height() * ky);
        switch (e.tipo) {
        case TElementoPagina::Testo:
            if (e.font != fontCorrente) {
                p.setFont(d.font[e.font]);
                fontCorrente = e.font;
            }
            if (!larghezze[e.font]) larghezze[e.font] = LarghezzeDi(d.font[e.font], p.device());
            if (!StaNelRiquadro(*larghezze[e.font], e.testo, r.width())) {
                // The layout fitted the text; a device whose glyphs come out a
                // little wider gets it a little smaller, then back.
                p.setFont(FontCheEntra(d.font[e.font], e.testo, r.width(), p.device(), d.font[e.font].pointSizeF() * 0.9));
                fontCorrente = -1;
            }
            p.drawText(r, e.allineamento | Qt::TextSingleLine, e.testo);
            break;
        case TElementoPagina::Rettangolo:
        case TElementoPagina::Linea: {
            // The pen changes only when the width does: each change is a
            // state change in the PDF stream.
            const double larghezza = qMax(1.0, e.spessore * k);
            if (larghezza != penna.widthF()) {
                penna.setWidthF(larghezza);
                p.setPen(penna);
            }
            if (e.tipo == TElementoPagina::Rettangolo) p.drawRect(r);
            else p.drawLine(r.topLeft(), r.bottomRight());
            break;
        }
        }
    }
}

void DipingiDocumento(QPagedPaintDevice& dispositivo, const TDocumentoReport& d, const QList<int>& pagine) {
    QPainter p;
    if (!p.begin(&dispositivo)) return;
    bool prima = true;
    for (const int i : pagine) {
        if (i < 0 || i >= d.pagine.size()) continue;
        if (!prima) dispositivo.newPage();
        prima = false;
        DipingiPagina(p, d, i);
    }
    p.end();
}

bool ScriviPdf(const TDocumentoReport& d, const QString& file) {
    QPdfWriter w(file);
    w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                QPageLayout::Millimeter));
    w.setResolution(300);
    w.setTitle(d.titoloLavoro);
    w.setCreator(QStringLiteral("Vovuru_Dazadaz"));
    QPainter p;
    if (!p.begin(&w)) return false;
    for (int i = 0; i < d.pagine.size(); ++i) {
        if (i > 0) w.newPage();
        DipingiPagina(p, d, i);
    }
    return p.end();
}
