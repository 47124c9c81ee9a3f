#include "tools/ConnessioneLettura.h"

#include "data/engine/FunzioniSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>

namespace {

// Reading the table files and calling functions is all a query needs; reads
// of the engine's pragma tables (pragma_table_info and the like) are refused
// with the pragmas themselves.
int Autorizza(void*, int azione, const char* a, const char*, const char*, const char*) {
    switch (azione) {
    case SQLITE_SELECT:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_READ:
        return a && qstrnicmp(a, "pragma_", 7) == 0 ? SQLITE_DENY : SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

int Controllo(void* dati) {
    // Nothing may be thrown through the engine's frames: a failure stops.
    try {
        const auto* c = static_cast<const std::function<bool()>*>(dati);
        return (*c)() ? 0 : 1;
    } catch (...) {
        return 1;
    }
}

QString Testo(const unsigned char* p) { return p ? QString::fromUtf8(reinterpret_cast<const char*>(p)) : QString(); }

}  // namespace

QString TestoIstruzioneRifiutata() {
    return QStringLiteral("L'istruzione non è consentita: l'esportazione esegue una sola interrogazione "
                          "(SELECT) in sola lettura e non può modificare, collegare o impostare gli archivi.");
}

TConnessioneLettura::TConnessioneLettura(const QString& cartella) {
    // The main database is an empty one in memory; the table files are
    // attached read-only through URIs, before the authorizer forbids ATTACH.
    if (sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK) {
        const QString e = m_db ? Testo(reinterpret_cast<const unsigned char*>(sqlite3_errmsg(m_db))) : QString();
        sqlite3_close(m_db);
        m_db = nullptr;
        throw ErroreInterrogazione(QStringLiteral("Impossibile aprire gli archivi in lettura: %1").arg(e));
    }
    // The handle is closed here on any failure: a constructor that raises
    // never reaches the destructor.
    try {
        sqlite3_extended_result_codes(m_db, 1);
        sqlite3_busy_timeout(m_db, 300);
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        RegistraLowerUnicode(m_db);

        const QDir dir(cartella);
        const QStringList file = dir.entryList(QStringList{QStringLiteral("*.db")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
        const int massimo = sqlite3_limit(m_db, SQLITE_LIMIT_ATTACHED, -1);
        int collegate = 0;
        for (const QString& f : file) {
            // A name outside [a-z0-9_.] (a user's copy such as prodotti-2003.db)
            // names no table: it is left out, the other files still serve.
            QString schema;
            try {
                schema = TArchivio::schemaDi(f);
            } catch (const ErroreArchivio&) {
                m_saltati.insert(f, QStringLiteral("Il nome dell'archivio %1 non è utilizzabile in un'interrogazione: "
                                                   "può contenere solo lettere senza accento, cifre, \"_\" e \".\". Rinominarlo per esportarlo.")
                                        .arg(f));
                continue;
            }
            if (m_catalogo.contains(schema)) continue;
            if (collegate >= massimo) {
                m_saltati.insert(f, QStringLiteral("L'archivio %1 non è stato aperto: la cartella contiene più di %2 archivi.")
                                        .arg(f)
                                        .arg(massimo));
                continue;
            }
            QUrl uri = QUrl::fromLocalFile(dir.absoluteFilePath(f));
            uri.setQuery(QStringLiteral("mode=ro"));
            TIstruzione st;
            if (st.prepara(m_db, "ATTACH ? AS \"" + schema.toUtf8().replace('"', "\"\"") + '"') != SQLITE_OK) continue;
            const QByteArray u = uri.toEncoded();
            sqlite3_bind_text(st.handle(), 1, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
            const int rc = sqlite3_step(st.handle());
            st.chiudi();
            if (rc != SQLITE_DONE) continue;
            ++collegate;
            // The fields of the table that gives the file its name.
            QVector<TDefCampo> campi;
            const QByteArray info = "SELECT name, type, \"notnull\" FROM \"" + schema.toUtf8().replace('"', "\"\"") +
                                    "\".pragma_table_info(?)";
            if (st.prepara(m_db, info) == SQLITE_OK) {
                const QByteArray t = schema.toUtf8();
                sqlite3_stmt* s = st.handle();
                sqlite3_bind_text(s, 1, t.constData(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
                while (sqlite3_step(s) == SQLITE_ROW)
                    campi << TDefCampo::daDichiarazione(Testo(sqlite3_column_text(s, 0)), Testo(sqlite3_column_text(s, 1)),
                                                        sqlite3_column_int(s, 2) != 0);
            }
            st.chiudi();
            m_catalogo.insert(schema, campi);
        }
        sqlite3_set_authorizer(m_db, Autorizza, nullptr);
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

TConnessioneLettura::~TConnessioneLettura() {
    chiudi();
    sqlite3_close(m_db);
}

void TConnessioneLettura::impostaControllo(std::function<bool()> controllo) {
    m_controllo = std::move(controllo);
    // About a thousandth of a second of the engine's work between checks.
    if (m_controllo) sqlite3_progress_handler(m_db, 4096, Controllo, &m_controllo);
    else sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
}

void TConnessioneLettura::chiudi() {
    m_stmt.chiudi();
    m_colonne.clear();
}

void TConnessioneLettura::prepara(const QString& testoUtente) {
    chiudi();
    const TSqlTradotto t = TraduciSql(testoUtente, m_catalogo);
    const QByteArray sql = t.sql.toUtf8();
    const char* coda = nullptr;
    const int rc = m_stmt.prepara(m_db, sql, &coda);
    if (rc != SQLITE_OK) {
        const int base = rc & 0xff;
        const QString e = Testo(reinterpret_cast<const unsigned char*>(sqlite3_errmsg(m_db)));
        chiudi();
        if (base == SQLITE_AUTH) throw ErroreInterrogazione(TestoIstruzioneRifiutata());
        throw ErroreInterrogazione(QStringLiteral("Istruzione SQL non valida: %1").arg(e));
    }
    if (!m_stmt) throw ErroreInterrogazione(QStringLiteral("Nessuna istruzione SQL da eseguire."));
    // A second statement after the first is refused, whatever it does.
    if (coda && *coda) {
        TIstruzione altra;
        const int rc2 = altra.prepara(m_db, QByteArray(coda));
        const bool presente = altra || (rc2 != SQLITE_OK);
        altra.chiudi();
        if (presente) {
            chiudi();
            throw ErroreInterrogazione(TestoIstruzioneRifiutata());
        }
    }
    if (!sqlite3_stmt_readonly(m_stmt.handle()) || sqlite3_column_count(m_stmt.handle()) == 0) {
        chiudi();
        throw ErroreInterrogazione(TestoIstruzioneRifiutata());
    }

    auto tipoCampo = [&](const QString& tabella, const QString& campo, TDefCampo* d) {
        for (auto it = m_catalogo.constBegin(); it != m_catalogo.constEnd(); ++it) {
            if (!tabella.isEmpty() && it.key() != tabella) continue;
            for (const TDefCampo& c : *it)
                if (c.nome.compare(campo, Qt::CaseInsensitive) == 0) {
                    *d = c;
                    return true;
                }
        }
        return false;
    };
    const int n = sqlite3_column_count(m_stmt.handle());
    for (int i = 0; i < n; ++i) {
        TColonnaRisultato c;
        c.nome = QString::fromUtf8(sqlite3_column_name(m_stmt.handle(), i));
        const char* dich = sqlite3_column_decltype(m_stmt.handle(), i);
        if (dich) {
            c.campo = TDefCampo::daDichiarazione(c.nome, QString::fromUtf8(dich), false);
            c.tipoNoto = true;
        } else {
            for (const TOrigineColonna& o : t.colonne) {
                if (o.nome != c.nome || o.aggregato.isEmpty()) continue;
                if (o.aggregato == QLatin1String("COUNT")) {
                    c.campo.tipo = TTipoCampo::Integer;
                    c.tipoNoto = true;
                } else if (tipoCampo(o.tabella, o.campo, &c.campo)) {
                    if (o.aggregato == QLatin1String("AVG")) c.campo.tipo = TTipoCampo::Float;
                    c.tipoNoto = true;
                }
                break;
            }
            c.campo.nome = c.nome;
        }
        m_colonne << c;
    }
}

qint64 TConnessioneLettura::contaRighe(const QString& testoUtente) {
    QString sql = TraduciSql(testoUtente, m_catalogo).sql.trimmed();
    while (sql.endsWith(QLatin1Char(';'))) sql = sql.chopped(1).trimmed();
    // The query as a subquery; the line break ends a trailing "--" comment.
    TIstruzione st;
    if (st.prepara(m_db, "SELECT count(*) FROM (" + sql.toUtf8() + "\n)") != SQLITE_OK || !st) return -1;
    const int rc = sqlite3_step(st.handle());
    if (rc == SQLITE_ROW) return sqlite3_column_int64(st.handle(), 0);
    if ((rc & 0xff) == SQLITE_INTERRUPT) throw ErroreInterrotta(QStringLiteral("Operazione interrotta."));
    return -1;
}

bool TConnessioneLettura::prossima() {
    if (!m_stmt) return false;
    const int rc = sqlite3_step(m_stmt.handle());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    if ((rc & 0xff) == SQLITE_INTERRUPT) throw ErroreInterrotta(QStringLiteral("Operazione interrotta."));
    const QString e = Testo(reinterpret_cast<const unsigned char*>(sqlite3_errmsg(m_db)));
    throw ErroreInterrogazione(QStringLiteral("Errore durante la lettura dei dati: %1").arg(e));
}

QVariant TConnessioneLettura::valore(int i) const {
    const int tipo = sqlite3_column_type(m_stmt.handle(), i);
    if (tipo == SQLITE_NULL) return {};
    const TColonnaRisultato& c = m_colonne[i];
    if (!c.tipoNoto) {
        if (tipo == SQLITE_INTEGER) return static_cast<qlonglong>(sqlite3_column_int64(m_stmt.handle(), i));
        if (tipo == SQLITE_FLOAT) return sqlite3_column_double(m_stmt.handle(), i);
        return Testo(sqlite3_column_text(m_stmt.handle(), i));
    }
    switch (c.campo.tipo) {
    case TTipoCampo::Integer: return static_cast<qlonglong>(sqlite3_column_int64(m_stmt.handle(), i));
    case TTipoCampo::Float: return sqlite3_column_double(m_stmt.handle(), i);
    case TTipoCampo::Boolean: return sqlite3_column_int(m_stmt.handle(), i) != 0;
    case TTipoCampo::Date: {
        const QString s = Testo(sqlite3_column_text(m_stmt.handle(), i));
        const QDate d = QDate::fromString(s.left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant(s);
    }
    default: return Testo(sqlite3_column_text(m_stmt.handle(), i));
    }
}
