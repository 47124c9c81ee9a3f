#include "app/ModelloElenco.h"

#include "app/Fx.h"
#include "data/engine/Archivio.h"

#include <QSqlQuery>
#include <sqlite3.h>

namespace {
constexpr int RighePagina = 128;
constexpr int PagineInMemoria = 64;

QString Virgolette(const QString& campo) { return QLatin1Char('"') + campo + QLatin1Char('"'); }
}  // namespace

TModelloElenco::TModelloElenco(QObject* genitore) : QAbstractTableModel(genitore) {}

void TModelloElenco::impostaColonne(const QVector<Colonna>& colonne) {
    beginResetModel();
    m_colonne = colonne;
    m_pagine.clear();
    endResetModel();
}

void TModelloElenco::esegui(const QString& tabella, const QString& condizione, const QVariantList& parametri,
                            const QString& ordine) {
    m_tabella = tabella;
    m_condizione = condizione;
    m_parametri = parametri;
    m_ordine = ordine;
    riesegui();
}

void TModelloElenco::riesegui() {
    if (m_tabella.isEmpty()) return;
    TArchivio& a = TArchivio::corrente();
    QString sql = QStringLiteral("SELECT rowid FROM ") + a.nomeQualificato(m_tabella);
    if (!m_condizione.isEmpty()) sql += QStringLiteral(" WHERE ") + m_condizione;
    sql += QStringLiteral(" ORDER BY ") + (m_ordine.isEmpty() ? QStringLiteral("rowid") : m_ordine);
    // The keys straight from the engine: on 100,000 rows the Qt layer costs
    // as much again as the query itself.
    QVector<qint64> chiavi;
    sqlite3* h = a.handle();
    sqlite3_stmt* s = nullptr;
    const QByteArray testo = sql.toUtf8();
    if (sqlite3_prepare_v2(h, testo.constData(), static_cast<int>(testo.size()), &s, nullptr) != SQLITE_OK)
        throw ErroreArchivio(QString::fromUtf8(sqlite3_errmsg(h)), ErroreArchivio::CtxStruttura);
    for (int i = 0; i < m_parametri.size(); ++i) {
        const QVariant& v = m_parametri[i];
        if (v.isNull()) sqlite3_bind_null(s, i + 1);
        else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Bool)
            sqlite3_bind_int64(s, i + 1, v.toLongLong());
        else if (v.typeId() == QMetaType::Double) sqlite3_bind_double(s, i + 1, v.toDouble());
        else {
            const QString t = v.toString();
            sqlite3_bind_text16(s, i + 1, t.utf16(), static_cast<int>(t.size() * 2), SQLITE_TRANSIENT);
        }
    }
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) chiavi << sqlite3_column_int64(s, 0);
    if (rc != SQLITE_DONE) {
        const QString errore = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_finalize(s);
        throw ErroreArchivio(errore, (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED
                                         ? ErroreArchivio::CtxBloccato
                                         : ErroreArchivio::CtxGenerico);
    }
    sqlite3_finalize(s);
    beginResetModel();
    m_chiavi = std::move(chiavi);
    m_pagine.clear();
    endResetModel();
}

void TModelloElenco::svuota() {
    beginResetModel();
    m_tabella.clear();
    m_chiavi.clear();
    m_pagine.clear();
    endResetModel();
}

int TModelloElenco::indiceCampo(const QString& campo) const {
    for (int i = 0; i < m_colonne.size(); ++i)
        if (m_colonne[i].campo.compare(campo, Qt::CaseInsensitive) == 0) return i;
    for (int i = 0; i < m_extra.size(); ++i)
        if (m_extra[i].compare(campo, Qt::CaseInsensitive) == 0) return static_cast<int>(m_colonne.size()) + i;
    return -1;
}

void TModelloElenco::leggiPagina(int pagina) const {
    if (m_pagine.size() >= PagineInMemoria) m_pagine.clear();
    const int da = pagina * RighePagina;
    const int a = std::min(da + RighePagina, static_cast<int>(m_chiavi.size()));
    QStringList campi, segnaposto;
    campi << QStringLiteral("rowid");
    for (const Colonna& c : m_colonne) campi << Virgolette(c.campo);
    for (const QString& c : m_extra) campi << Virgolette(c);
    QVariantList chiavi;
    for (int i = da; i < a; ++i) {
        segnaposto << QStringLiteral("?");
        chiavi << m_chiavi[i];
    }
    QVector<QVector<QVariant>> righe(a - da);
    if (!chiavi.isEmpty()) {
        TArchivio& arc = TArchivio::corrente();
        QSqlQuery q = arc.esegui(QStringLiteral("SELECT %1 FROM %2 WHERE rowid IN (%3)")
                                     .arg(campi.join(QLatin1Char(',')), arc.nomeQualificato(m_tabella),
                                          segnaposto.join(QLatin1Char(','))),
                                 chiavi);
        QHash<qint64, QVector<QVariant>> perChiave;
        const int n = static_cast<int>(campi.size());
        while (q.next()) {
            QVector<QVariant> r(n - 1);
            for (int i = 1; i < n; ++i) r[i - 1] = q.value(i);
            perChiave.insert(q.value(0).toLongLong(), r);
        }
        for (int i = da; i < a; ++i) righe[i - da] = perChiave.value(m_chiavi[i], QVector<QVariant>(n - 1));
    }
    m_pagine.insert(pagina, righe);
}

QStringList TModelloElenco::campi() const {
    QStringList l;
    for (const Colonna& c : m_colonne) l << c.campo;
    return l + m_extra;
}

QVariant TModelloElenco::valore(int riga, const QString& campo) const { return valoreA(riga, indiceCampo(campo)); }

QVariant TModelloElenco::valoreA(int riga, int c) const {
    if (riga < 0 || riga >= m_chiavi.size() || c < 0) return {};
    const int pagina = riga / RighePagina;
    if (!m_pagine.contains(pagina)) leggiPagina(pagina);
    const QVector<QVariant>& r = m_pagine[pagina][riga % RighePagina];
    return c < r.size() ? r[c] : QVariant();
}

int TModelloElenco::rowCount(const QModelIndex& genitore) const {
    return genitore.isValid() ? 0 : static_cast<int>(m_chiavi.size());
}

int TModelloElenco::columnCount(const QModelIndex& genitore) const {
    return genitore.isValid() ? 0 : static_cast<int>(m_colonne.size());
}

QVariant TModelloElenco::data(const QModelIndex& indice, int ruolo) const {
    if (!indice.isValid() || ruolo != Qt::DisplayRole) return {};
    const QVariant v = valore(indice.row(), m_colonne[indice.column()].campo);
    if (v.typeId() == QMetaType::Double) return TestoNumeroGenerale(v.toDouble());
    return v;
}

QVariant TModelloElenco::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const {
    if (ruolo != Qt::DisplayRole) return {};
    if (orientamento == Qt::Horizontal && sezione >= 0 && sezione < m_colonne.size()) return m_colonne[sezione].titolo;
    return {};
}
