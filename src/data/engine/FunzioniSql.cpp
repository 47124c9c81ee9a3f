#include "data/engine/FunzioniSql.h"

#include "data/engine/Errore.h"
#include "data/engine/Valori.h"

#include <QByteArray>
#include <sqlite3.h>

namespace {

// Unicode-aware lower(): SQLite's own folds ASCII only. Works on the UTF-8
// text the files hold; pure ASCII, the common case, is folded byte by byte
// without going through QString, which keeps a search over 100,000 rows as
// fast as the engine's own lower().
void FunzioneLower(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const unsigned char* p = sqlite3_value_text(argv[0]);
    const int n = sqlite3_value_bytes(argv[0]);
    bool ascii = true;
    for (int i = 0; i < n && ascii; ++i) ascii = p[i] < 0x80;
    if (ascii) {
        char corto[256];
        QByteArray lungo;
        char* r = corto;
        if (n > static_cast<int>(sizeof corto)) {
            lungo.resize(n);
            r = lungo.data();
        }
        for (int i = 0; i < n; ++i) r[i] = (p[i] >= 'A' && p[i] <= 'Z') ? static_cast<char>(p[i] + 32) : static_cast<char>(p[i]);
        sqlite3_result_text(ctx, r, n, SQLITE_TRANSIENT);
        return;
    }
    const QByteArray s = QString::fromUtf8(reinterpret_cast<const char*>(p), n).toLower().toUtf8();
    sqlite3_result_text(ctx, s.constData(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

// zr_conv(value, type, size): the store's conversion of a value to a field's
// type, failing the statement on a value that does not convert. Used by the
// bulk copy of a rebuild.
void FunzioneConverti(sqlite3_context* ctx, int, sqlite3_value** argv) {
    QVariant v;
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL: break;
    case SQLITE_INTEGER: v = static_cast<qlonglong>(sqlite3_value_int64(argv[0])); break;
    case SQLITE_FLOAT: v = sqlite3_value_double(argv[0]); break;
    default:
        v = QString::fromUtf16(static_cast<const char16_t*>(sqlite3_value_text16(argv[0])),
                               sqlite3_value_bytes16(argv[0]) / 2);
    }
    TDefCampo c;
    c.nome = QStringLiteral("?");
    c.tipo = static_cast<TTipoCampo>(sqlite3_value_int(argv[1]));
    c.dimensione = sqlite3_value_int(argv[2]);
    try {
        const QVariant r = ConvertiPerCampo(c, v);
        if (r.isNull()) sqlite3_result_null(ctx);
        else if (r.typeId() == QMetaType::Int || r.typeId() == QMetaType::LongLong) sqlite3_result_int64(ctx, r.toLongLong());
        else if (r.typeId() == QMetaType::Double) sqlite3_result_double(ctx, r.toDouble());
        else {
            const QString s = r.toString();
            sqlite3_result_text16(ctx, s.utf16(), static_cast<int>(s.size() * 2), SQLITE_TRANSIENT);
        }
    } catch (const ErroreArchivio& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    }
}

}  // namespace

void RegistraLowerUnicode(sqlite3* h) {
    sqlite3_create_function_v2(h, "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, FunzioneLower,
                               nullptr, nullptr, nullptr);
}

void RegistraFunzioniArchivio(sqlite3* h) {
    RegistraLowerUnicode(h);
    sqlite3_create_function_v2(h, "zr_conv", 3, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, FunzioneConverti,
                               nullptr, nullptr, nullptr);
}
