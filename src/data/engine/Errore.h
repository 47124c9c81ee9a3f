#pragma once
// The program's one error type: every failure of a store operation or of a
// shared routine is one of these, carrying the Italian text the user reads, a
// help-context number and, when the engine or the disk failed, the engine's
// result code. Its text reaches the general error display when the caller
// does not handle it. The store shows no message and knows nothing of windows.

#include <QString>
#include <stdexcept>

struct sqlite3;

// A failing operation.
class ErroreArchivio : public std::runtime_error {
public:
    explicit ErroreArchivio(const QString& testo, int contestoAiuto = 0, int codiceMotore = 0);
    QString testo() const { return m_testo; }
    int contestoAiuto() const { return m_contesto; }
    // The engine's result code (SQLITE_FULL, SQLITE_BUSY, ...; for a failed
    // file operation the code of the same kind), 0 when the error is the
    // store's own (a value that does not convert, a missing field).
    int codiceMotore() const { return m_codice; }
    // A failure of the engine or of the disk (full, read-only, in use by
    // another program, an I/O error, a damaged file), as opposed to a record
    // that the table refuses for its own content.
    bool guasto() const;

    // Help-context numbers, grouped the way the messages are.
    enum : int {
        CtxGenerico = 10000,
        CtxApertura = 10001,     // a file that cannot be opened or read
        CtxStruttura = 10002,    // a table or field that does not exist
        CtxConversione = 10003,  // a value that does not fit its field's type
        CtxVincolo = 10004,      // a duplicate key or a required field left empty
        CtxBloccato = 10005,     // the file is held by another process
        CtxStato = 10006,        // an operation not allowed in the cursor's state
        CtxFile = 10007,         // delete, rename, sync of a table file
    };

private:
    QString m_testo;
    int m_contesto;
    int m_codice;
};

// Raises ErroreArchivio with the text when the condition is false.
void Verifica(bool condizione, const QString& testo);

// The Italian text of an engine result code (SQLITE_FULL, SQLITE_CORRUPT, ...),
// with the engine's own detail in brackets when there is one: what the user
// reads when a table cannot be read, written or copied.
QString TestoErroreMotore(int codiceMotore, const QString& dettaglio);
// The same failure as a lower-case phrase naming the cause, for use inside a
// sentence ("disco pieno", "tabella in uso da un altro programma").
QString CausaErroreMotore(int codiceMotore);

// The store's error for a statement the engine refused, for code that runs
// statements through the engine's C interface on the store's connection:
// the same text and help context as for a statement run through Qt. From the
// result code the engine returned (kept as the error's engine code) and the
// engine's own words.
ErroreArchivio ErroreDelMotore(int codiceMotore, const QString& testo);
// The same with the connection's words for its last failure.
ErroreArchivio ErroreDelMotore(sqlite3* h, int codiceMotore);
