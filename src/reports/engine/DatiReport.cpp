#include "reports/engine/DatiReport.h"

#include "data/engine/Tabella.h"

#include <QDate>
#include <QDateTime>
#include <QSqlRecord>
#include <cmath>

QVariant TDatiReport::valore(const QString& campo) const {
    const int i = indice(campo);
    if (i < 0) throw ErroreArchivio(QStringLiteral("Campo inesistente: %1").arg(campo), ErroreArchivio::CtxStruttura);
    return valoreA(i);
}

namespace {

// General form of a number, as a display text shows it: up to 15 significant
// digits, "," for decimals, an exponent written as 1E-5 / 1E20.
QString NumeroGenerale(double d) {
    if (std::isnan(d) || std::isinf(d)) return QString::number(d);
    QString t = TestoNumeroGenerale(d);
    const int e = t.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        QString mantissa = t.left(e);
        QString esponente = t.mid(e + 1);
        const bool negativo = esponente.startsWith(QLatin1Char('-'));
        if (esponente.startsWith(QLatin1Char('+')) || negativo) esponente.remove(0, 1);
        while (esponente.size() > 1 && esponente.startsWith(QLatin1Char('0'))) esponente.remove(0, 1);
        t = mantissa + QLatin1Char('E') + (negativo ? QStringLiteral("-") : QString()) + esponente;
    }
    return t;
}

}  // namespace

QString TestoVisualizzato(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QString();
    switch (v.typeId()) {
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime: return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::Long: return QString::number(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float: return NumeroGenerale(v.toDouble());
    default: return v.toString();
    }
}

// ---------------------------------------------------------------------------

void TTipizzatore::impostaCampi(const QVector<TDefCampo>& campi) {
    m_campi.clear();
    for (const TDefCampo& c : campi) m_campi.insert(c.nome.toUpper(), c);
}

const TDefCampo* TTipizzatore::campo(const QString& nomeColonna) const {
    if (m_campi.isEmpty()) return nullptr;
    auto it = m_campi.constFind(nomeColonna.toUpper());
    return it == m_campi.constEnd() ? nullptr : &it.value();
}

QVariant TTipizzatore::tipizza(const QString& nomeColonna, const QVariant& grezzo) const {
    const TDefCampo* c = campo(nomeColonna);
    return c ? LeggiDaCampo(*c, grezzo) : grezzo;
}

// ---------------------------------------------------------------------------

TDatiModello::TDatiModello(const QVector<TDefCampo>& campi) { m_tipi.impostaCampi(campi); }

void TDatiModello::primo() {
    const QStringList campi = m_modello ? m_modello->campi() : QStringList();
    m_campoColonna.resize(campi.size());
    for (int i = 0; i < campi.size(); ++i) m_campoColonna[i] = m_tipi.campo(campi[i]);
    m_riga = 0;
}

bool TDatiModello::fine() const { return m_riga >= conteggio(); }
void TDatiModello::successivo() { ++m_riga; }
int TDatiModello::conteggio() const { return m_modello ? m_modello->conteggio() : 0; }
int TDatiModello::indice(const QString& campo) const { return m_modello ? m_modello->indiceCampo(campo) : -1; }

QVariant TDatiModello::valoreA(int indice) const {
    if (!m_modello) return {};
    const QVariant grezzo = m_modello->valoreA(m_riga, indice);
    const TDefCampo* c = indice >= 0 && indice < m_campoColonna.size() ? m_campoColonna[indice] : nullptr;
    return c ? LeggiDaCampo(*c, grezzo) : grezzo;
}

// ---------------------------------------------------------------------------

TDatiQuery::TDatiQuery(QSqlQuery* query, const QVector<TDefCampo>& campi) : m_query(query) {
    m_tipi.impostaCampi(campi);
}

void TDatiQuery::primo() {
    const QSqlRecord r = m_query->record();
    m_campoColonna.resize(r.count());
    for (int i = 0; i < r.count(); ++i) m_campoColonna[i] = m_tipi.campo(r.fieldName(i));
    m_fine = !m_query->isActive() || !m_query->first();
}

bool TDatiQuery::fine() const { return m_fine; }
void TDatiQuery::successivo() { m_fine = !m_query->next(); }

int TDatiQuery::indice(const QString& campo) const {
    const QSqlRecord r = m_query->record();
    for (int i = 0; i < r.count(); ++i)
        if (r.fieldName(i).compare(campo, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant TDatiQuery::valoreA(int indice) const {
    const QVariant grezzo = m_query->value(indice);
    const TDefCampo* c = indice < m_campoColonna.size() ? m_campoColonna[indice] : nullptr;
    return c ? LeggiDaCampo(*c, grezzo) : grezzo;
}

// ---------------------------------------------------------------------------

TDatiTabella::TDatiTabella(TTabella* tabella) : m_tabella(tabella) {}
void TDatiTabella::primo() { m_tabella->primo(); }
bool TDatiTabella::fine() const { return m_tabella->vuota() || m_tabella->fine(); }
void TDatiTabella::successivo() { m_tabella->successivo(); }
int TDatiTabella::indice(const QString& campo) const { return m_tabella->record().indice(campo); }
QVariant TDatiTabella::valoreA(int indice) const { return m_tabella->record().valoreA(indice); }

// ---------------------------------------------------------------------------

int TDatiMemoria::indice(const QString& campo) const {
    for (int i = 0; i < m_campi.size(); ++i)
        if (m_campi[i].compare(campo, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant TDatiMemoria::valoreA(int indice) const {
    const QVector<QVariant>& r = m_righe[m_riga];
    return indice < r.size() ? r[indice] : QVariant();
}

// ---------------------------------------------------------------------------

TDatiQueryAvanti::TDatiQueryAvanti(QSqlQuery* query, const QVector<TDefCampo>& campi) : m_query(query) {
    m_tipi.impostaCampi(campi);
}

void TDatiQueryAvanti::primo() {
    if (!m_query->isActive()) {
        m_fine = true;
        return;
    }
    if (m_query->at() == QSql::BeforeFirstRow) {
        const QSqlRecord r = m_query->record();
        m_nomi.clear();
        m_campoColonna.resize(r.count());
        for (int i = 0; i < r.count(); ++i) {
            m_nomi << r.fieldName(i);
            m_campoColonna[i] = m_tipi.campo(r.fieldName(i));
        }
        m_fine = !m_query->next();
    } else if (m_query->at() != 0 && !(m_fine && m_query->at() == QSql::AfterLastRow)) {
        throw ErroreArchivio(QStringLiteral("La query del report non si può rileggere dall'inizio"));
    }
}

int TDatiQueryAvanti::indice(const QString& campo) const {
    for (int i = 0; i < m_nomi.size(); ++i)
        if (m_nomi[i].compare(campo, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant TDatiQueryAvanti::valoreA(int indice) const {
    const QVariant grezzo = m_query->value(indice);
    const TDefCampo* c = indice < m_campoColonna.size() ? m_campoColonna[indice] : nullptr;
    return c ? LeggiDaCampo(*c, grezzo) : grezzo;
}
