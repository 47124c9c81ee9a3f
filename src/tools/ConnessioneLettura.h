#pragma once
// The connection on which the export runs the user's query. The user writes
// SQL freely, so it is fenced: the table files of the program folder are
// opened read-only, one statement only, that statement must be read-only for
// the engine, and an authorizer refuses ATTACH, DETACH, PRAGMA, writes,
// schema changes and transactions. Double-quoted strings are off (the
// translator has turned the old dialect's into single-quoted ones) and the
// connection is in defensive mode. lower() folds Unicode as the store's does.

#include "data/engine/Istruzione.h"
#include "tools/TraduttoreSql.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;

// A column of the user's result: its name (the grid's header) and the type of
// the field it comes from (for an aggregate: what the aggregate yields).
struct TColonnaRisultato {
    QString nome;
    TDefCampo campo;
    bool tipoNoto = false;  // false: an expression whose type the engine does not tell
};

// A refused or failed query; testo() is an Italian message for the user.
class ErroreInterrogazione : public ErroreArchivio {
public:
    using ErroreArchivio::ErroreArchivio;
};

// A query stopped by the user (the check of impostaControllo said no).
class ErroreInterrotta : public ErroreInterrogazione {
public:
    using ErroreInterrogazione::ErroreInterrogazione;
};

class TConnessioneLettura {
public:
    // Opens the table files (*.db) of the folder read-only. A file whose name
    // cannot name a table (prodotti-2003.db), or that cannot be attached, is
    // left out and listed in saltati() with the reason.
    explicit TConnessioneLettura(const QString& cartella);
    ~TConnessioneLettura();
    TConnessioneLettura(const TConnessioneLettura&) = delete;
    TConnessioneLettura& operator=(const TConnessioneLettura&) = delete;

    // The fields of every table of the folder, by table name in lower case.
    const TCatalogoCampi& catalogo() const { return m_catalogo; }
    // The files left out, by file name, with an Italian reason.
    const QHash<QString, QString>& saltati() const { return m_saltati; }

    // While the engine works, the check is called every few thousand of its
    // steps; when it returns false the work stops and prossima() raises
    // ErroreInterrotta. The check may process the window's events, but must
    // not use this connection. An empty function removes it.
    void impostaControllo(std::function<bool()> controllo);

    // Translates the text of the old dialect and prepares it; raises
    // ErroreTraduzione or ErroreInterrogazione.
    void prepara(const QString& testoUtente);
    const QVector<TColonnaRisultato>& colonne() const { return m_colonne; }
    // How many rows the text's query gives, counted by the engine before the
    // rows are read (the progress of an export needs its total); -1 when the
    // engine cannot count it that way. The check set with impostaControllo
    // runs meanwhile, and a stop raises ErroreInterrotta.
    qint64 contaRighe(const QString& testoUtente);
    // Steps to the next row; false at the end. A value is null, or of its
    // column's type: qlonglong, double, QString, QDate or bool.
    bool prossima();
    QVariant valore(int colonna) const;
    // The raw statement, for code that reads the values itself.
    sqlite3_stmt* istruzione() const { return m_stmt.handle(); }
    void chiudi();

private:
    sqlite3* m_db = nullptr;
    TIstruzione m_stmt;
    TCatalogoCampi m_catalogo;
    QHash<QString, QString> m_saltati;
    QVector<TColonnaRisultato> m_colonne;
    std::function<bool()> m_controllo;
};

// The Italian message for a statement the fence refuses.
QString TestoIstruzioneRifiutata();
