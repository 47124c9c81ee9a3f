#pragma once
// The table store: one SQLite file per table in the program folder, all
// attached to one connection whose main database is a plain file of that
// folder (never a .db, so backups and exports pass it by). Rollback journal
// only: a transaction that writes two table files is then atomic.
//
// This layer shows no message and knows nothing of windows: every failure is
// an ErroreArchivio carrying a text and a help-context number.

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <stdexcept>

struct sqlite3;

// A failing store operation.
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

enum class TTipoCampo { Integer, Float, Date, Boolean, String, Memo };

struct TDefCampo {
    QString nome;
    TTipoCampo tipo = TTipoCampo::String;
    int dimensione = 0;        // characters, for String only
    bool richiesto = false;

    QString tipoDichiarato() const;  // e.g. VARCHAR(40), INTEGER, MEMO TEXT
    static TDefCampo daDichiarazione(const QString& nome, const QString& dichiarato, bool richiesto);
    bool operator==(const TDefCampo&) const = default;
};

enum TOpzioneIndice : int { ixPrimario = 1, ixUnico = 2 };

struct TDefIndice {
    QString nome;              // empty for the primary index
    QStringList campi;
    QString espressione;       // never used by this program's tables; kept for the comparison
    int opzioni = 0;           // TOpzioneIndice flags
    bool operator==(const TDefIndice&) const = default;
};

struct TStrutturaTabella {
    QVector<TDefCampo> campi;
    QVector<TDefIndice> indici;
    int indiceCampo(const QString& nome) const;  // -1 when missing; letter case ignored
};

// The first (last) n characters of a text, a character being a whole Unicode
// code point: a letter outside the Basic Multilingual Plane (an emoji) counts
// as one and is never split. The size of a String field counts characters
// this way, as SQLite's length() and substr() do.
QString PrimiCaratteri(const QString& testo, int n);
QString UltimiCaratteri(const QString& testo, int n);

// The converted value a field stores, or an ErroreArchivio when the value does
// not fit the field's type. Texts are cut to the field's size in characters
// (PrimiCaratteri), and a lone surrogate becomes U+FFFD, so that what is
// stored is always valid UTF-8.
QVariant ConvertiPerCampo(const TDefCampo& campo, const QVariant& valore);
// The typed value read back from a stored one (null stays null).
QVariant LeggiDaCampo(const TDefCampo& campo, const QVariant& grezzo);
// A number typed or stored as text: digits with an optional leading minus and
// at most one decimal separator. With soloVirgola only "," separates decimals
// (what the user types); otherwise "." is accepted as well (stored texts).
bool LeggiNumero(const QString& testo, double* risultato, bool soloVirgola);
// A number in its general text form with a comma for decimals: up to 15
// significant digits, no thousands separator, an exponent when the number
// needs one ("2,5", "1234", "1e+20").
QString TestoNumeroGenerale(double valore);

// The Italian text of an engine result code (SQLITE_FULL, SQLITE_CORRUPT, ...),
// with the engine's own detail in brackets when there is one: what the user
// reads when a table cannot be read, written or copied.
QString TestoErroreMotore(int codiceMotore, const QString& dettaglio);

class TArchivio {
public:
    // The store of the given folder (ends with a separator or not).
    explicit TArchivio(const QString& cartella);
    ~TArchivio();
    TArchivio(const TArchivio&) = delete;
    TArchivio& operator=(const TArchivio&) = delete;

    // The store of the running program, opened on the program folder by
    // ApriArchivio; tests open it on a temporary folder.
    static TArchivio& corrente();
    static void apriCorrente(const QString& cartella);
    static void chiudiCorrente();
    static bool esisteCorrente();
    // Rolls back the journals a killed run left in the folder and removes the
    // main file's super-journals that no journal needs any more. Only for the
    // program that holds the folder's lock.
    static void recuperaAvanzi(const QString& cartella);

    QString cartella() const { return m_cartella; }
    QSqlDatabase db() const;
    sqlite3* handle() const;

    // Table names: "prodotti.db", "Prodotti.db" and "prodotti" all name the
    // schema "prodotti" and the file prodotti.db of the folder.
    static QString schemaDi(const QString& nomeTabella);
    // The path of a table's file; an existing file is found whatever its
    // letter case, a missing one is named in lower case. A table placed
    // elsewhere with collocaTabella is found there.
    QString percorsoFile(const QString& nomeTabella) const;
    bool esisteTabella(const QString& nomeTabella) const;
    // The file that holds a table's records: its file or, when that is a
    // symbolic link, the file the link finally points to.
    QString fileReale(const QString& nomeTabella) const;
    // Places a table's file at a path outside the folder; an empty path puts
    // it back. The temporary table of a rebuild of a linked table lives
    // beside the link's target, so that the swap replaces the target.
    void collocaTabella(const QString& nomeTabella, const QString& percorso);

    // Attaches the table file when it exists and is not attached yet. The
    // qualified name "schema"."table" for SQL text, or an error when the file
    // is missing.
    QString nomeQualificato(const QString& nomeTabella);
    void assicuraCollegata(const QString& nomeTabella);
    void scollega(const QString& nomeTabella);
    void scollegaTutte();
    // Grows at every attach and detach of a table file: what was read from a
    // table before may come from another file after (a table rebuilt or
    // restored on disk while detached).
    quint64 collegamenti() const { return m_collegamenti; }

    // Structure: read back from the file, create, delete, rename. Renaming
    // onto a table whose file is a symbolic link replaces the file the link
    // points to: the link stays a link.
    TStrutturaTabella leggiStruttura(const QString& nomeTabella);
    void creaTabella(const QString& nomeTabella, const TStrutturaTabella& s);
    void eliminaTabella(const QString& nomeTabella);
    void rinominaTabella(const QString& da, const QString& a);

    // SQL on the connection; user values are always bound, never pasted.
    QSqlQuery esegui(const QString& sql, const QVariantList& parametri = {});
    QVariant valoreSingolo(const QString& sql, const QVariantList& parametri = {});

    // Transactions nest: only the outermost one commits.
    void iniziaTransazione();
    void confermaTransazione();
    void annullaTransazione();
    bool inTransazione() const { return m_livello > 0; }

    // Raises the error of a failed statement, its text and help context.
    [[noreturn]] static void sollevaErrore(const QSqlQuery& q, const QString& contesto = {});

private:
    void registraFunzioni();
    bool mainLeggibile();
    QString m_cartella;
    QString m_nomeConnessione;
    QStringList m_collegate;
    quint64 m_collegamenti = 0;
    QHash<QString, QString> m_collocate;  // schema -> file outside the folder
    int m_livello = 0;
};

// One multi-step write: rolled back when it goes out of scope uncommitted.
class TTransazione {
public:
    explicit TTransazione(TArchivio& a);
    ~TTransazione();
    void conferma();
    TTransazione(const TTransazione&) = delete;
    TTransazione& operator=(const TTransazione&) = delete;

private:
    TArchivio& m_archivio;
    bool m_chiusa = false;
};

// Escapes a user's text for LIKE ... ESCAPE '\': % _ and \ match themselves.
QString EscapeLike(const QString& testo);
