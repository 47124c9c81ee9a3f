// The layout: runs the report's bands over its dataset and lays them out
// once into pages of positioned texts and shapes.

#include "reports/engine/Report.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "reports/engine/MisuraTesti.h"

#include <QFontMetricsF>
#include <algorithm>
#include <limits>

class TReport::Impaginatore {
public:
    Impaginatore(TReport& r, TDocumentoReport& d) : m_r(r), m_d(d), m_oggi(Oggi().toString(FormatoData)) {}

    // Runs the dataset to its first row and lays out the title and the
    // first column header; with a dataset read beside the layout whose first
    // row has not come yet, the title waits for it in the first step.
    void inizia() {
        TDatiReport* dati = m_r.m_dati;
        if (dati) {
            dati->primo();
            risolviCampi();
        }
        nuovaPagina(false);
        if (pronti()) stampaTitolo();
    }

    // Lays out rows until `pagine` more pages are finished or the rows end;
    // after the last row, the summary and the last page. True at the end.
    // A step also ends where the rows read beside it have not come yet
    // (false, m_inAttesa), unless the layout waits for them.
    bool avanza(int pagine) {
        if (m_finito) return true;
        if (!pronti()) return false;
        if (!m_titolo) stampaTitolo();
        TDatiReport* dati = m_r.m_dati;
        TBanda* dettaglio = m_r.banda(TTipoBanda::Dettaglio);
        TBanda* figlia = m_r.banda(TTipoBanda::Figlia);
        const qint64 meta = static_cast<qint64>(m_d.pagine.size()) + qMax(1, pagine);
        if (dati && dettaglio) {
            while (true) {
                if (!pronti()) return false;
                if (dati->fine()) break;
                if (m_d.pagine.size() >= meta) return false;
                if (stampa(*dettaglio, true) && figlia) stampa(*figlia, true);
                dati->successivo();
            }
        }
        if (TBanda* riepilogo = m_r.banda(TTipoBanda::Riepilogo)) stampa(*riepilogo, true);
        chiudiPagina();
        m_finito = true;
        return true;
    }

    // The whole layout waits for rows read beside it instead of ending its
    // step (genera()).
    bool attende = false;
    // The last step ended waiting for rows.
    bool inAttesa() const { return m_inAttesa; }

private:
    // The dataset's current row (or its end) is there; waits for it when
    // the layout waits.
    bool pronti() {
        TDatiReport* dati = m_r.m_dati;
        m_inAttesa = false;
        if (!dati || dati->pronto()) return true;
        if (attende) {
            dati->attendi();
            return true;
        }
        m_inAttesa = true;
        return false;
    }

    void stampaTitolo() {
        m_titolo = true;
        if (TBanda* titolo = m_r.banda(TTipoBanda::Titolo)) stampa(*titolo, false);
        stampaIntestazione();
    }

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
    // A text that may not fit its box is measured, and fitted when it does
    // not, once: the same text in the same box comes out the same (a
    // producer's name on each of its rows), so the outcome is kept by text,
    // up to a bound.
    struct TAdattato {
        quint16 font;
        QString testo;
    };
    struct TFontControllo {
        QFont font;
        quint16 indice;
        TLarghezzeCaratteri* larghezze;
        double larghezzaAdattati = -1;
        QHash<QString, TAdattato> adattati;
    };
    static constexpr qsizetype MassimoAdattati = 1 << 16;
    TFontControllo& fontDi(const TControllo& c) {
        auto it = m_fontControlli.find(&c);
        if (it == m_fontControlli.end() || !(it->font == c.font))
            it = m_fontControlli.insert(&c, {c.font, indiceFont(c.font), LarghezzeDi(c.font, DispositivoMisura())});
        return *it;
    }
    // The font index a text that may not fit its box is painted with; a
    // text that does not fit may come back cut with "…".
    quint16 adatta(const TControllo& c, TFontControllo& f, QString& testo) {
        if (f.larghezzaAdattati != c.area.width()) {
            f.adattati.clear();
            f.larghezzaAdattati = c.area.width();
        }
        const auto trovato = f.adattati.constFind(testo);
        if (trovato != f.adattati.constEnd()) {
            testo = trovato->testo;
            return trovato->font;
        }
        const QString originale = testo;
        const quint16 indice = StaNelRiquadro(*f.larghezze, testo, c.area.width() * PuntiMisuraPerMm)
                                   ? f.indice
                                   : indiceFont(AdattaAlRiquadro(c.font, testo, c.area.width()));
        if (f.adattati.size() >= MassimoAdattati) f.adattati.clear();
        f.adattati.insert(originale, {indice, testo});
        return indice;
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
            TFontControllo& f = fontDi(c);
            if (c.area.width() <= 0 || EntraDiCerto(*f.larghezze, t, c.area.width() * PuntiMisuraPerMm))
                e.font = f.indice;
            else
                e.font = adatta(c, f, t);
            e.testo = std::move(t);
            e.allineamento = static_cast<int>(c.allineamento);
            m_pagina->elementi.append(std::move(e));
        }
    }

    TReport& m_r;
    TDocumentoReport& m_d;
    bool m_finito = false;
    bool m_titolo = false;
    bool m_inAttesa = false;
    TPaginaReport m_corrente;
    TPaginaReport* m_pagina = nullptr;
    double m_y = 0;            // from the top margin, mm
    double m_inizioCorpo = 0;  // where the rows of the current page start
    QString m_oggi;
    QHash<QString, quint16> m_font;
    QHash<const TControllo*, TFontControllo> m_fontControlli;
    QHash<const TControllo*, int> m_indici;
};

// Built and destroyed here, where the layout's state is a complete type.
TReport::TReport() : fontBase(QStringLiteral("DejaVu Sans"), 9) {}
TReport::~TReport() = default;

void TReport::iniziaGenerazione() {
    m_impaginatore.reset();
    m_documento.svuota();
    m_documento.titoloLavoro = titoloLavoro;
    m_paginaCorrente = 0;
    try {
        if (primaDiGenerare) primaDiGenerare();
        m_impaginatore = std::make_unique<Impaginatore>(*this, m_documento);
        m_impaginatore->inizia();
    } catch (...) {
        m_impaginatore.reset();
        m_documento.svuota();
        if (m_dati) m_dati->interrompi();
        throw;
    }
}

bool TReport::avanzaGenerazione(int pagine) {
    if (!m_impaginatore) return true;
    try {
        if (!m_impaginatore->avanza(pagine)) return false;
    } catch (...) {
        m_impaginatore.reset();
        m_documento.svuota();
        if (m_dati) m_dati->interrompi();
        throw;
    }
    m_impaginatore.reset();
    return true;
}

void TReport::interrompiGenerazione() {
    if (!m_impaginatore) return;
    m_impaginatore.reset();
    if (m_dati) m_dati->interrompi();
}

bool TReport::generazioneInAttesa() const { return m_impaginatore && m_impaginatore->inAttesa(); }

const TDocumentoReport& TReport::genera() {
    iniziaGenerazione();
    if (m_impaginatore) m_impaginatore->attende = true;
    while (!avanzaGenerazione(std::numeric_limits<int>::max())) {
    }
    return m_documento;
}
