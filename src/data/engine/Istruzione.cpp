#include "data/engine/Istruzione.h"

#include "data/engine/Errore.h"

#include <sqlite3.h>
#include <utility>

TIstruzione::TIstruzione(sqlite3* h, const QString& sql) {
    const int rc = prepara(h, sql.toUtf8());
    if (rc != SQLITE_OK) {
        const ErroreArchivio e = ErroreDelMotore(h, rc);
        chiudi();
        throw e;
    }
}

TIstruzione::~TIstruzione() { chiudi(); }

TIstruzione::TIstruzione(TIstruzione&& altra) noexcept
    : m_h(std::exchange(altra.m_h, nullptr)), m_s(std::exchange(altra.m_s, nullptr)) {}

TIstruzione& TIstruzione::operator=(TIstruzione&& altra) noexcept {
    if (this != &altra) {
        chiudi();
        m_h = std::exchange(altra.m_h, nullptr);
        m_s = std::exchange(altra.m_s, nullptr);
    }
    return *this;
}

int TIstruzione::prepara(sqlite3* h, const QByteArray& sql, const char** coda) {
    chiudi();
    m_h = h;
    return sqlite3_prepare_v2(h, sql.constData(), static_cast<int>(sql.size()), &m_s, coda);
}

void TIstruzione::chiudi() {
    sqlite3_finalize(m_s);  // a null statement is a harmless no-op
    m_s = nullptr;
}

void TIstruzione::lega(const QVariantList& valori) {
    for (int i = 0; i < valori.size(); ++i) {
        const QVariant& v = valori[i];
        if (v.isNull()) sqlite3_bind_null(m_s, i + 1);
        else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Bool)
            sqlite3_bind_int64(m_s, i + 1, v.toLongLong());
        else if (v.typeId() == QMetaType::Double) sqlite3_bind_double(m_s, i + 1, v.toDouble());
        else {
            // The files keep UTF-8: text bound as UTF-8 is stored without the engine translating it.
            const QByteArray t = v.toString().toUtf8();
            sqlite3_bind_text(m_s, i + 1, t.constData(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
        }
    }
}

bool TIstruzione::riga() {
    const int rc = sqlite3_step(m_s);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const ErroreArchivio e = ErroreDelMotore(m_h, rc);
    sqlite3_reset(m_s);
    throw e;
}

QString TIstruzione::testo(int colonna) const {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(m_s, colonna));
    return t ? QString::fromUtf8(t, sqlite3_column_bytes(m_s, colonna)) : QString();
}

void TIstruzione::esegui() {
    while (riga()) {
    }
    sqlite3_reset(m_s);
}

void TIstruzione::azzera() { sqlite3_reset(m_s); }
