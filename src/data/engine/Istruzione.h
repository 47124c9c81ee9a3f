#pragma once
// A statement run through the engine's C interface (on the store's
// connection or on another one), finalised when it goes out of scope, also
// when an error leaves the scope: the paths where the Qt layer costs too much
// (lists of 100,000 keys, bulk updates) and the connections Qt does not hold.

#include <QByteArray>
#include <QString>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

class TIstruzione {
public:
    TIstruzione() = default;
    // Prepares the statement; the store's error (ErroreDelMotore) when the
    // engine refuses it.
    TIstruzione(sqlite3* h, const QString& sql);
    ~TIstruzione();
    TIstruzione(TIstruzione&& altra) noexcept;
    TIstruzione& operator=(TIstruzione&& altra) noexcept;
    TIstruzione(const TIstruzione&) = delete;
    TIstruzione& operator=(const TIstruzione&) = delete;

    // Prepares a statement in place of the one held, for callers that read a
    // refusal themselves: the engine's result code, nothing raised. With coda,
    // where the text after the first statement starts (inside sql, which
    // must outlive its use).
    int prepara(sqlite3* h, const QByteArray& sql, const char** coda = nullptr);
    // Finalises the statement now; the object then holds none.
    void chiudi();

    sqlite3_stmt* handle() const { return m_s; }
    explicit operator bool() const { return m_s != nullptr; }

    // Binds values from the first parameter on: null, whole numbers and
    // booleans as integers, doubles as reals, anything else as text.
    void lega(const QVariantList& valori);
    // One step: true with a row, false at the end. A failure resets the
    // statement and raises the store's error.
    bool riga();
    // The text of a column of the current row, read as stored (UTF-8); a
    // null QString for a null value.
    QString testo(int colonna) const;
    // Runs to the end and resets, ready to run again.
    void esegui();
    // Back to the start, bound values kept.
    void azzera();

private:
    sqlite3* m_h = nullptr;
    sqlite3_stmt* m_s = nullptr;
};
