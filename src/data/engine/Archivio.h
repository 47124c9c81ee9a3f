#pragma once
// The table store: one SQLite file per table in the program folder, all
// attached to one connection whose main database is a plain file of that
// folder (never a .db, so backups and exports pass it by). Rollback journal
// only: a transaction that writes two table files is then atomic.
//
// This layer shows no message and knows nothing of windows: every failure is
// an ErroreArchivio (Errore.h). Fields and their values are in Valori.h.

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <stdexcept>

#include "data/engine/Errore.h"
#include "data/engine/Valori.h"

struct sqlite3;

class TArchivio {
public:
    // The store of the given folder (ends with a separator or not).
    explicit TArchivio(const QString& cartella);
    ~TArchivio();
    TArchivio(const TArchivio&) = delete;
    TArchivio& operator=(const TArchivio&) = delete;

    // The store of the running program, opened on the program folder by
    // ApriArchivio; tests open it on a temporary folder. In a worker thread
    // that opened a store of its own (TArchivioDelThread), that store; in any
    // other worker, an error: the program's connection serves its thread only.
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

// A connection of a worker thread's own on a program folder, which
// TArchivio::corrente() returns in that thread while the object lives, so
// that the routines written for the program's store run beside the interface
// unchanged (SQLite: one connection per thread). Created and destroyed in the
// worker. The folder's lock is the process's: the worker writes under it.
class TArchivioDelThread {
public:
    explicit TArchivioDelThread(const QString& cartella);
    ~TArchivioDelThread();
    TArchivioDelThread(const TArchivioDelThread&) = delete;
    TArchivioDelThread& operator=(const TArchivioDelThread&) = delete;
    TArchivio& archivio() { return *m_archivio; }

private:
    std::unique_ptr<TArchivio> m_archivio;
    TArchivio* m_precedente;
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
