#include "reports/engine/Report.h"

#include "data/engine/Archivio.h"
#include "reports/engine/Pittura.h"

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

void TReport::salvaPdf(const QString& file) {
    genera();
    if (!ScriviPdf(m_documento, file))
        throw ErroreArchivio(QStringLiteral("Impossibile scrivere il file %1").arg(file), ErroreArchivio::CtxFile);
}
