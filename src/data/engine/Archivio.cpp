#include "data/engine/Archivio.h"
#include "data/engine/ErroreMotore.h"
#include "data/engine/FunzioniSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QUuid>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sqlite3.h>
#include <unistd.h>

// ---------------------------------------------------------------------------
// Errors

ErroreArchivio::ErroreArchivio(const QString& testo, int contestoAiuto, int codiceMotore)
    : std::runtime_error(testo.toStdString()), m_testo(testo), m_contesto(contestoAiuto), m_codice(codiceMotore) {}

bool ErroreArchivio::guasto() const {
    switch (m_codice & 0xff) {
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_NOMEM:
    case SQLITE_NOLFS:
    case SQLITE_PROTOCOL:
    case SQLITE_INTERRUPT:
    case SQLITE_ABORT:
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// Field declarations

QString TDefCampo::tipoDichiarato() const {
    switch (tipo) {
    case TTipoCampo::Integer: return QStringLiteral("INTEGER");
    case TTipoCampo::Float: return QStringLiteral("FLOAT");
    case TTipoCampo::Date: return QStringLiteral("DATE");
    case TTipoCampo::Boolean: return QStringLiteral("BOOLEAN");
    case TTipoCampo::String: return QStringLiteral("VARCHAR(%1)").arg(dimensione);
    case TTipoCampo::Memo: return QStringLiteral("MEMO TEXT");
    }
    return {};
}

TDefCampo TDefCampo::daDichiarazione(const QString& nome, const QString& dichiarato, bool richiesto) {
    TDefCampo c;
    c.nome = nome;
    c.richiesto = richiesto;
    const QString t = dichiarato.trimmed().toUpper();
    static const QRegularExpression dim(QStringLiteral("\\(\\s*(\\d+)"));
    if (t.contains(QLatin1String("MEMO")) || t == QLatin1String("TEXT") || t.contains(QLatin1String("CLOB"))) {
        c.tipo = TTipoCampo::Memo;
    } else if (t.contains(QLatin1String("CHAR")) || t.isEmpty() || t.contains(QLatin1String("TEXT"))) {
        c.tipo = TTipoCampo::String;
        const auto m = dim.match(t);
        c.dimensione = m.hasMatch() ? m.captured(1).toInt() : 0;
    } else if (t.startsWith(QLatin1String("BOOL"))) {
        c.tipo = TTipoCampo::Boolean;
    } else if (t.startsWith(QLatin1String("DATE"))) {
        c.tipo = TTipoCampo::Date;
    } else if (t.contains(QLatin1String("INT"))) {
        c.tipo = TTipoCampo::Integer;
    } else {
        c.tipo = TTipoCampo::Float;
    }
    return c;
}

int TStrutturaTabella::indiceCampo(const QString& nome) const {
    for (int i = 0; i < campi.size(); ++i)
        if (campi[i].nome.compare(nome, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

// ---------------------------------------------------------------------------
// Values

QString TestoNumeroGenerale(double valore) {
    return QString::number(valore, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}

bool LeggiNumero(const QString& testo, double* risultato, bool soloVirgola) {
    const QString t = testo.trimmed();
    if (t.isEmpty()) return false;
    QString normale;
    normale.reserve(t.size());
    int separatori = 0, cifre = 0;
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            normale += c;
            ++cifre;
        } else if (c == QLatin1Char(',') || (!soloVirgola && c == QLatin1Char('.'))) {
            if (++separatori > 1) return false;
            normale += QLatin1Char('.');
        } else if (c == QLatin1Char('-') && i == 0) {
            normale += c;
        } else if (!soloVirgola && (c == QLatin1Char('e') || c == QLatin1Char('E')) && cifre > 0) {
            // Stored reals written by SQLite may carry an exponent (1.0e+15).
            bool ok = false;
            const double v = t.toDouble(&ok);
            if (!ok) return false;
            if (risultato) *risultato = v;
            return true;
        } else {
            return false;
        }
    }
    if (cifre == 0) return false;
    bool ok = false;
    const double v = normale.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    if (risultato) *risultato = v;
    return true;
}

QString PrimiCaratteri(const QString& testo, int n) {
    if (n <= 0) return QString();
    if (testo.size() <= n) return testo;  // fewer code units than n: fewer characters too
    qsizetype i = 0;
    for (int contati = 0; i < testo.size() && contati < n; ++contati)
        i += (testo[i].isHighSurrogate() && i + 1 < testo.size() && testo[i + 1].isLowSurrogate()) ? 2 : 1;
    return testo.left(i);
}

QString UltimiCaratteri(const QString& testo, int n) {
    if (n <= 0) return QString();
    if (testo.size() <= n) return testo;
    qsizetype i = testo.size();
    for (int contati = 0; i > 0 && contati < n; ++contati)
        i -= (testo[i - 1].isLowSurrogate() && i >= 2 && testo[i - 2].isHighSurrogate()) ? 2 : 1;
    return testo.mid(i);
}

namespace {

// A surrogate without its other half cannot be written as UTF-8: SQLite would
// store bytes that are no text. It becomes the replacement character.
QString SenzaSurrogatiIsolati(QString t) {
    if (t.isValidUtf16()) return t;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i].isHighSurrogate() && i + 1 < t.size() && t[i + 1].isLowSurrogate()) ++i;
        else if (t[i].isSurrogate()) t[i] = QChar::ReplacementCharacter;
    }
    return t;
}

QString NomeTipo(TTipoCampo t) {
    switch (t) {
    case TTipoCampo::Integer: return QStringLiteral("intero");
    case TTipoCampo::Float: return QStringLiteral("numero");
    case TTipoCampo::Date: return QStringLiteral("data");
    case TTipoCampo::Boolean: return QStringLiteral("logico");
    case TTipoCampo::String: return QStringLiteral("testo");
    case TTipoCampo::Memo: return QStringLiteral("memo");
    }
    return {};
}

[[noreturn]] void ValoreNonValido(const TDefCampo& campo, const QVariant& v) {
    throw ErroreArchivio(QStringLiteral("'%1' non è un valore %2 valido per il campo %3")
                             .arg(v.toString(), NomeTipo(campo.tipo), campo.nome),
                         ErroreArchivio::CtxConversione);
}

bool EIntero(const QVariant& v) {
    const int id = v.typeId();
    return id == QMetaType::Int || id == QMetaType::LongLong || id == QMetaType::UInt ||
           id == QMetaType::ULongLong || id == QMetaType::Short || id == QMetaType::Long;
}

QDate DataDaTesto(const QString& s) {
    const QString t = s.trimmed();
    QDate d = QDate::fromString(t.left(10), Qt::ISODate);
    if (d.isValid()) return d;
    d = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
    if (d.isValid()) return d;
    d = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    return d;
}

}  // namespace

QVariant ConvertiPerCampo(const TDefCampo& campo, const QVariant& valore) {
    if (valore.isNull() || !valore.isValid()) return QVariant();
    const bool testo = valore.typeId() == QMetaType::QString;
    if (testo && campo.tipo != TTipoCampo::String && campo.tipo != TTipoCampo::Memo &&
        valore.toString().trimmed().isEmpty())
        return QVariant();
    switch (campo.tipo) {
    case TTipoCampo::Integer: {
        double d = 0;
        if (valore.typeId() == QMetaType::Bool) return valore.toBool() ? 1 : 0;
        if (EIntero(valore)) {
            const qlonglong n = valore.toLongLong();
            if (n < INT32_MIN || n > INT32_MAX) ValoreNonValido(campo, valore);
            return static_cast<int>(n);
        }
        if (valore.typeId() == QMetaType::Double) d = valore.toDouble();
        else if (!LeggiNumero(valore.toString(), &d, false)) ValoreNonValido(campo, valore);
        if (!std::isfinite(d) || d < INT32_MIN || d > INT32_MAX || d != std::trunc(d)) ValoreNonValido(campo, valore);
        return static_cast<int>(d);
    }
    case TTipoCampo::Float: {
        if (valore.typeId() == QMetaType::Bool) return valore.toBool() ? 1.0 : 0.0;
        if (valore.typeId() == QMetaType::Double || EIntero(valore)) {
            const double d = valore.toDouble();
            if (!std::isfinite(d)) ValoreNonValido(campo, valore);
            return d;
        }
        double d = 0;
        if (!LeggiNumero(valore.toString(), &d, false)) ValoreNonValido(campo, valore);
        return d;
    }
    case TTipoCampo::Date: {
        QDate d;
        if (valore.typeId() == QMetaType::QDate) d = valore.toDate();
        else if (valore.typeId() == QMetaType::QDateTime) d = valore.toDateTime().date();
        else d = DataDaTesto(valore.toString());
        if (!d.isValid()) ValoreNonValido(campo, valore);
        return d.toString(Qt::ISODate);
    }
    case TTipoCampo::Boolean: {
        if (valore.typeId() == QMetaType::Bool || EIntero(valore) || valore.typeId() == QMetaType::Double)
            return valore.toDouble() != 0 ? 1 : 0;
        const QString t = valore.toString().trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("1") || t == QLatin1String("si") || t == QLatin1String("vero"))
            return 1;
        if (t == QLatin1String("false") || t == QLatin1String("0") || t == QLatin1String("no") || t == QLatin1String("falso"))
            return 0;
        ValoreNonValido(campo, valore);
    }
    case TTipoCampo::String: {
        QString t;
        if (valore.typeId() == QMetaType::QDate) t = valore.toDate().toString(QStringLiteral("dd/MM/yyyy"));
        else if (valore.typeId() == QMetaType::Double)
            t = TestoNumeroGenerale(valore.toDouble());
        else if (valore.typeId() == QMetaType::Bool) t = valore.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        else t = valore.toString();
        if (campo.dimensione > 0) t = PrimiCaratteri(t, campo.dimensione);
        return SenzaSurrogatiIsolati(t);
    }
    case TTipoCampo::Memo:
        if (valore.typeId() == QMetaType::Double) return QString::number(valore.toDouble(), 'g', 15);
        return SenzaSurrogatiIsolati(valore.toString());
    }
    return valore;
}

QVariant LeggiDaCampo(const TDefCampo& campo, const QVariant& grezzo) {
    if (grezzo.isNull() || !grezzo.isValid()) return QVariant();
    switch (campo.tipo) {
    case TTipoCampo::Integer: {
        if (EIntero(grezzo)) return static_cast<int>(grezzo.toLongLong());
        double d = 0;
        if (grezzo.typeId() == QMetaType::Double) return static_cast<int>(grezzo.toDouble());
        if (LeggiNumero(grezzo.toString(), &d, false)) return static_cast<int>(d);
        return QVariant();
    }
    case TTipoCampo::Float: {
        double d = 0;
        if (grezzo.typeId() == QMetaType::Double || EIntero(grezzo)) return grezzo.toDouble();
        if (LeggiNumero(grezzo.toString(), &d, false)) return d;
        return QVariant();
    }
    case TTipoCampo::Date: {
        const QDate d = DataDaTesto(grezzo.toString());
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case TTipoCampo::Boolean: {
        if (grezzo.typeId() == QMetaType::QString) {
            const QString t = grezzo.toString().trimmed().toLower();
            return t == QLatin1String("true") || t == QLatin1String("1");
        }
        return grezzo.toDouble() != 0;
    }
    case TTipoCampo::String:
    case TTipoCampo::Memo:
        if (grezzo.typeId() == QMetaType::Double) return QString::number(grezzo.toDouble(), 'g', 15);
        return grezzo.toString();
    }
    return grezzo;
}

QString EscapeLike(const QString& testo) {
    QString r;
    r.reserve(testo.size() + 4);
    for (const QChar c : testo) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\')) r += QLatin1Char('\\');
        r += c;
    }
    return r;
}

// ---------------------------------------------------------------------------
// The connection

namespace {

std::unique_ptr<TArchivio> g_corrente;

QString Quota(const QString& identificatore) {
    QString s = identificatore;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// The table inside a file is named by the part of the file name before its
// first ".db": prodotti.db and the rebuild's prodotti.dbAPPOGGIO.db both hold
// a table "prodotti".
QString TabellaInterna(const QString& nomeTabella) {
    QString n = QFileInfo(nomeTabella).fileName().toLower();
    const int p = n.indexOf(QLatin1String(".db"));
    return p >= 0 ? n.left(p) : n;
}

QString NomeFile(const QString& nomeTabella) {
    QString n = QFileInfo(nomeTabella).fileName();
    if (!n.endsWith(QLatin1String(".db"), Qt::CaseInsensitive)) n += QLatin1String(".db");
    return n;
}

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
        else if (EIntero(r)) sqlite3_result_int64(ctx, r.toLongLong());
        else if (r.typeId() == QMetaType::Double) sqlite3_result_double(ctx, r.toDouble());
        else {
            const QString s = r.toString();
            sqlite3_result_text16(ctx, s.utf16(), static_cast<int>(s.size() * 2), SQLITE_TRANSIENT);
        }
    } catch (const ErroreArchivio& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    }
}

// The engine's code of the same kind as a failed file operation's errno.
int CodiceDaErrno(int e) {
    switch (e) {
    case ENOSPC:
    case EDQUOT: return SQLITE_FULL;
    case EROFS:
    case EACCES:
    case EPERM: return SQLITE_READONLY;
    case EBUSY:
    case ETXTBSY: return SQLITE_BUSY;
    default: return SQLITE_IOERR;
    }
}

// Opens a database file and reads it, so that SQLite rolls back a journal
// that a killed write left beside it.
void RecuperaGiornale(const QString& percorso) {
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(percorso).constData(), &h, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
        sqlite3_exec(h, "PRAGMA schema_version", nullptr, nullptr, nullptr);
    sqlite3_close(h);
}

void SincronizzaFile(const QString& percorso) {
    const int fd = ::open(QFile::encodeName(percorso).constData(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

TArchivio::TArchivio(const QString& cartella)
    : m_cartella(QDir::cleanPath(cartella) + QLatin1Char('/')),
      m_nomeConnessione(QStringLiteral("zerired-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nomeConnessione);
    db.setDatabaseName(m_cartella + QStringLiteral("zerired.main"));
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=300"));
    if (!db.open())
        throw ErroreArchivio(QStringLiteral("Impossibile aprire l'archivio nella cartella %1: %2")
                                 .arg(m_cartella, db.lastError().text()),
                             ErroreArchivio::CtxApertura);
    if (!mainLeggibile()) {
        // The main file holds none of the user's data: a damaged one is put
        // aside under another name and the store starts with a new one.
        db.close();
        const QString file = m_cartella + QStringLiteral("zerired.main");
        const QString accantonato = file + QStringLiteral(".danneggiato");
        QFile::remove(accantonato);
        QFile::remove(accantonato + QStringLiteral("-journal"));
        if (!QFile::rename(file, accantonato) ||
            (QFile::exists(file + QStringLiteral("-journal")) &&
             !QFile::rename(file + QStringLiteral("-journal"), accantonato + QStringLiteral("-journal"))) ||
            !db.open())
            throw ErroreArchivio(QStringLiteral("Impossibile sostituire il file danneggiato %1").arg(file),
                                 ErroreArchivio::CtxApertura);
    }
    registraFunzioni();
    esegui(QStringLiteral("PRAGMA journal_mode=DELETE"));
}

bool TArchivio::mainLeggibile() {
    sqlite3* h = handle();
    if (!h) return true;
    const int rc = sqlite3_exec(h, "SELECT count(*) FROM main.sqlite_master", nullptr, nullptr, nullptr) & 0xff;
    return rc != SQLITE_NOTADB && rc != SQLITE_CORRUPT;
}

void TArchivio::recuperaAvanzi(const QString& cartella) {
    QDir dir(cartella);
    // Every journal left by a killed write is rolled back first: a journal
    // that names a super-journal needs it to roll back.
    for (const QString& g : dir.entryList({QStringLiteral("*-journal")}, QDir::Files | QDir::Hidden)) {
        const QString base = dir.filePath(g.left(g.size() - 8));
        if (QFileInfo::exists(base)) RecuperaGiornale(base);
    }
    // What is left of the super-journals of the main file is referred to by
    // no journal any more.
    for (const QString& mj : dir.entryList({QStringLiteral("zerired.main-mj*")}, QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(mj));
}

TArchivio::~TArchivio() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_nomeConnessione, false);
        if (db.isOpen()) {
            if (m_livello > 0) {
                QSqlQuery q(db);
                q.exec(QStringLiteral("ROLLBACK"));
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(m_nomeConnessione);
}

TArchivio& TArchivio::corrente() {
    if (!g_corrente) throw ErroreArchivio(QStringLiteral("Archivio non aperto"), ErroreArchivio::CtxApertura);
    return *g_corrente;
}

void TArchivio::apriCorrente(const QString& cartella) {
    g_corrente.reset();
    g_corrente = std::make_unique<TArchivio>(cartella);
}

void TArchivio::chiudiCorrente() { g_corrente.reset(); }

bool TArchivio::esisteCorrente() { return g_corrente != nullptr; }

QSqlDatabase TArchivio::db() const { return QSqlDatabase::database(m_nomeConnessione, false); }

sqlite3* TArchivio::handle() const {
    const QVariant h = db().driver()->handle();
    if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0) return *static_cast<sqlite3* const*>(h.data());
    return nullptr;
}

void RegistraLowerUnicode(sqlite3* h) {
    sqlite3_create_function_v2(h, "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, FunzioneLower,
                               nullptr, nullptr, nullptr);
}

void TArchivio::registraFunzioni() {
    sqlite3* h = handle();
    if (!h) throw ErroreArchivio(QStringLiteral("Motore SQLite non disponibile"), ErroreArchivio::CtxApertura);
    RegistraLowerUnicode(h);
    sqlite3_create_function_v2(h, "zr_conv", 3, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, FunzioneConverti,
                               nullptr, nullptr, nullptr);
}

QString TArchivio::schemaDi(const QString& nomeTabella) {
    QString n = QFileInfo(nomeTabella).fileName().toLower();
    if (n.endsWith(QLatin1String(".db"))) n.chop(3);
    static const QRegularExpression valido(QStringLiteral("^[a-z0-9_.]+$"));
    if (!valido.match(n).hasMatch() || n == QLatin1String("main") || n == QLatin1String("temp"))
        throw ErroreArchivio(QStringLiteral("Nome di tabella non valido: %1").arg(nomeTabella),
                             ErroreArchivio::CtxStruttura);
    return n;
}

QString TArchivio::percorsoFile(const QString& nomeTabella) const {
    const auto collocata = m_collocate.constFind(schemaDi(nomeTabella));
    if (collocata != m_collocate.constEnd()) return *collocata;
    const QString file = NomeFile(nomeTabella);
    const QString esatto = m_cartella + file;
    if (QFileInfo::exists(esatto)) return esatto;
    const QStringList presenti = QDir(m_cartella).entryList({QStringLiteral("*")}, QDir::Files);
    for (const QString& p : presenti)
        if (p.compare(file, Qt::CaseInsensitive) == 0) return m_cartella + p;
    return m_cartella + file.toLower();
}

bool TArchivio::esisteTabella(const QString& nomeTabella) const {
    return QFileInfo::exists(percorsoFile(nomeTabella));
}

QString TArchivio::fileReale(const QString& nomeTabella) const {
    const QString file = percorsoFile(nomeTabella);
    const QFileInfo info(file);
    if (!info.isSymLink()) return file;
    const QString bersaglio = info.canonicalFilePath();  // empty when the link leads nowhere
    return bersaglio.isEmpty() ? file : bersaglio;
}

void TArchivio::collocaTabella(const QString& nomeTabella, const QString& percorso) {
    if (percorso.isEmpty()) m_collocate.remove(schemaDi(nomeTabella));
    else m_collocate.insert(schemaDi(nomeTabella), percorso);
}

void TArchivio::assicuraCollegata(const QString& nomeTabella) {
    const QString schema = schemaDi(nomeTabella);
    if (m_collegate.contains(schema)) return;
    const QString file = percorsoFile(nomeTabella);
    if (!QFileInfo::exists(file))
        throw ErroreArchivio(QStringLiteral("Tabella inesistente: %1").arg(QFileInfo(file).fileName()),
                             ErroreArchivio::CtxApertura);
    esegui(QStringLiteral("ATTACH DATABASE ? AS %1").arg(Quota(schema)), {file});
    m_collegate << schema;
    ++m_collegamenti;
}

QString TArchivio::nomeQualificato(const QString& nomeTabella) {
    assicuraCollegata(nomeTabella);
    return Quota(schemaDi(nomeTabella)) + QLatin1Char('.') + Quota(TabellaInterna(nomeTabella));
}

void TArchivio::scollega(const QString& nomeTabella) {
    const QString schema = schemaDi(nomeTabella);
    if (!m_collegate.contains(schema)) return;
    esegui(QStringLiteral("DETACH DATABASE %1").arg(Quota(schema)));
    m_collegate.removeAll(schema);
    ++m_collegamenti;
}

void TArchivio::scollegaTutte() {
    const QStringList tutte = m_collegate;
    for (const QString& s : tutte) scollega(s);
}

TStrutturaTabella TArchivio::leggiStruttura(const QString& nomeTabella) {
    assicuraCollegata(nomeTabella);
    const QString schema = Quota(schemaDi(nomeTabella));
    const QString tabella = Quota(TabellaInterna(nomeTabella));
    TStrutturaTabella s;
    QVector<QPair<int, QString>> chiave;
    QSqlQuery q = esegui(QStringLiteral("PRAGMA %1.table_info(%2)").arg(schema, tabella));
    while (q.next()) {
        s.campi << TDefCampo::daDichiarazione(q.value(1).toString(), q.value(2).toString(), q.value(3).toInt() != 0);
        if (q.value(5).toInt() > 0) chiave << qMakePair(q.value(5).toInt(), q.value(1).toString());
    }
    q.finish();
    if (s.campi.isEmpty())
        throw ErroreArchivio(QStringLiteral("Tabella %1 non trovata nel file %2")
                                 .arg(TabellaInterna(nomeTabella), QFileInfo(percorsoFile(nomeTabella)).fileName()),
                             ErroreArchivio::CtxStruttura);
    if (!chiave.isEmpty()) {
        std::sort(chiave.begin(), chiave.end());
        TDefIndice p;
        p.opzioni = ixPrimario | ixUnico;
        for (const auto& c : chiave) p.campi << c.second;
        s.indici << p;
    }
    QSqlQuery l = esegui(QStringLiteral("PRAGMA %1.index_list(%2)").arg(schema, tabella));
    QVector<TDefIndice> altri;
    while (l.next()) {
        const QString origine = l.value(3).toString();
        if (origine == QLatin1String("pk")) continue;  // already read from the key columns
        TDefIndice ix;
        ix.nome = l.value(1).toString();
        ix.opzioni = l.value(2).toInt() ? ixUnico : 0;
        altri << ix;
    }
    l.finish();
    for (TDefIndice& ix : altri) {
        QSqlQuery i = esegui(QStringLiteral("PRAGMA %1.index_info(%2)").arg(schema, Quota(ix.nome)));
        while (i.next()) {
            if (i.value(1).toInt() == -2) ix.espressione = QStringLiteral("<espressione>");
            else ix.campi << i.value(2).toString();
        }
        s.indici << ix;
    }
    return s;
}

void TArchivio::creaTabella(const QString& nomeTabella, const TStrutturaTabella& s) {
    const QString file = percorsoFile(nomeTabella);
    if (QFileInfo::exists(file))
        throw ErroreArchivio(QStringLiteral("La tabella %1 esiste già").arg(QFileInfo(file).fileName()),
                             ErroreArchivio::CtxFile);
    // Attaching a missing file creates it.
    const QString schema = schemaDi(nomeTabella);
    esegui(QStringLiteral("ATTACH DATABASE ? AS %1").arg(Quota(schema)),
           {m_collocate.value(schema, m_cartella + NomeFile(nomeTabella))});
    m_collegate << schema;
    ++m_collegamenti;
    esegui(QStringLiteral("PRAGMA %1.journal_mode=DELETE").arg(Quota(schema)));
    QStringList colonne;
    for (const TDefCampo& c : s.campi)
        colonne << Quota(c.nome) + QLatin1Char(' ') + c.tipoDichiarato() + (c.richiesto ? QStringLiteral(" NOT NULL") : QString());
    QStringList secondari;
    for (const TDefIndice& ix : s.indici) {
        QStringList campi;
        for (const QString& f : ix.campi) campi << Quota(f);
        if (ix.opzioni & ixPrimario) {
            colonne << QStringLiteral("PRIMARY KEY (%1)").arg(campi.join(QLatin1Char(',')));
        } else {
            secondari << QStringLiteral("CREATE %1INDEX %2.%3 ON %4 (%5)")
                             .arg((ix.opzioni & ixUnico) ? QStringLiteral("UNIQUE ") : QString(), Quota(schema),
                                  Quota(ix.nome), Quota(TabellaInterna(nomeTabella)), campi.join(QLatin1Char(',')));
        }
    }
    TTransazione t(*this);
    esegui(QStringLiteral("CREATE TABLE %1.%2 (%3)")
               .arg(Quota(schema), Quota(TabellaInterna(nomeTabella)), colonne.join(QStringLiteral(", "))));
    for (const QString& sql : secondari) esegui(sql);
    t.conferma();
}

void TArchivio::eliminaTabella(const QString& nomeTabella) {
    scollega(nomeTabella);
    const QString file = percorsoFile(nomeTabella);
    if (QFileInfo::exists(file) && std::remove(QFile::encodeName(file).constData()) != 0)
        throw ErroreArchivio(QStringLiteral("Impossibile eliminare la tabella %1").arg(QFileInfo(file).fileName()),
                             ErroreArchivio::CtxFile, CodiceDaErrno(errno));
    QFile::remove(file + QStringLiteral("-journal"));
}

void TArchivio::rinominaTabella(const QString& da, const QString& a) {
    scollega(da);
    scollega(a);
    const QString origine = percorsoFile(da);
    const QString destinazione = esisteTabella(a) ? fileReale(a) : m_collocate.value(schemaDi(a), m_cartella + NomeFile(a));
    if (!QFileInfo::exists(origine))
        throw ErroreArchivio(QStringLiteral("Tabella inesistente: %1").arg(NomeFile(da)), ErroreArchivio::CtxFile);
    if (TabellaInterna(da) != TabellaInterna(a)) {
        assicuraCollegata(da);
        esegui(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(nomeQualificato(da), Quota(TabellaInterna(a))));
        scollega(da);
    }
    // A complete file replaces the old one in one step: a leftover journal of
    // the old file is rolled back first, so that it can never be applied to
    // the new one; the new file is on disk before its name changes.
    const QString giornale = destinazione + QStringLiteral("-journal");
    if (QFileInfo::exists(giornale)) {
        RecuperaGiornale(destinazione);
        if (QFileInfo::exists(giornale) && !QFile::remove(giornale))
            throw ErroreArchivio(QStringLiteral("Impossibile recuperare il giornale di %1").arg(NomeFile(a)),
                                 ErroreArchivio::CtxFile, CodiceDaErrno(errno));
    }
    SincronizzaFile(origine);
    if (std::rename(QFile::encodeName(origine).constData(), QFile::encodeName(destinazione).constData()) != 0)
        throw ErroreArchivio(QStringLiteral("Impossibile rinominare la tabella %1 in %2").arg(NomeFile(da), NomeFile(a)),
                             ErroreArchivio::CtxFile, CodiceDaErrno(errno));
    SincronizzaFile(QFileInfo(destinazione).absolutePath());
}

QSqlQuery TArchivio::esegui(const QString& sql, const QVariantList& parametri) {
    QSqlQuery q(db());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) sollevaErrore(q, sql);
    for (int i = 0; i < parametri.size(); ++i) q.bindValue(i, parametri[i]);
    if (!q.exec()) sollevaErrore(q, sql);
    return q;
}

QVariant TArchivio::valoreSingolo(const QString& sql, const QVariantList& parametri) {
    QSqlQuery q = esegui(sql, parametri);
    return q.next() ? q.value(0) : QVariant();
}

QString TestoErroreMotore(int codiceMotore, const QString& dettaglio) {
    QString testo;
    switch (codiceMotore & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: testo = QStringLiteral("Archivio bloccato da un altro programma"); break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: testo = QStringLiteral("Archivio illeggibile o danneggiato"); break;
    case SQLITE_CANTOPEN: testo = QStringLiteral("Impossibile aprire il file"); break;
    case SQLITE_IOERR: testo = QStringLiteral("Errore di lettura o scrittura sul disco"); break;
    case SQLITE_FULL: testo = QStringLiteral("Disco pieno"); break;
    case SQLITE_READONLY: testo = QStringLiteral("Archivio in sola lettura"); break;
    case SQLITE_PERM:
    case SQLITE_AUTH: testo = QStringLiteral("Accesso al file negato"); break;
    case SQLITE_NOMEM: testo = QStringLiteral("Memoria esaurita"); break;
    default: testo = QStringLiteral("Errore dell'archivio"); break;
    }
    return dettaglio.isEmpty() ? testo : QStringLiteral("%1 (%2)").arg(testo, dettaglio);
}

ErroreArchivio ErroreDelMotore(int codiceMotore, const QString& testoMotore) {
    QString testo = testoMotore;
    int contesto = ErroreArchivio::CtxGenerico;
    switch (codiceMotore & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        contesto = ErroreArchivio::CtxBloccato;
        testo = TestoErroreMotore(codiceMotore, testo);
        break;
    case SQLITE_CONSTRAINT:
        contesto = ErroreArchivio::CtxVincolo;
        if (testo.contains(QLatin1String("UNIQUE")) || testo.contains(QLatin1String("PRIMARY KEY")))
            testo = QStringLiteral("Chiave duplicata (%1)").arg(testo);
        else if (testo.contains(QLatin1String("NOT NULL")))
            testo = QStringLiteral("Campo obbligatorio non valorizzato (%1)").arg(testo);
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        contesto = ErroreArchivio::CtxApertura;
        // Whatever stops the store from reading a table reads as a damaged table here.
        testo = TestoErroreMotore(SQLITE_CORRUPT, testo);
        break;
    case SQLITE_FULL:
        contesto = ErroreArchivio::CtxFile;
        testo = TestoErroreMotore(codiceMotore, testo);
        break;
    case SQLITE_READONLY:
        contesto = ErroreArchivio::CtxFile;
        testo = TestoErroreMotore(codiceMotore, testo);
        break;
    default: break;
    }
    return ErroreArchivio(testo, contesto, codiceMotore);
}

ErroreArchivio ErroreDelMotore(sqlite3* h, int codiceMotore) {
    return ErroreDelMotore(codiceMotore, QString::fromUtf8(sqlite3_errmsg(h)));
}

void TArchivio::sollevaErrore(const QSqlQuery& q, const QString&) {
    const QSqlError e = q.lastError();
    QString testo = e.databaseText();
    if (testo.isEmpty()) testo = e.text();
    throw ErroreDelMotore(e.nativeErrorCode().toInt(), testo);
}

void TArchivio::iniziaTransazione() {
    if (m_livello == 0) esegui(QStringLiteral("BEGIN IMMEDIATE"));
    else esegui(QStringLiteral("SAVEPOINT zr%1").arg(m_livello));
    ++m_livello;
}

void TArchivio::confermaTransazione() {
    if (m_livello <= 0) return;
    if (m_livello == 1) esegui(QStringLiteral("COMMIT"));
    else esegui(QStringLiteral("RELEASE zr%1").arg(m_livello - 1));
    --m_livello;
}

void TArchivio::annullaTransazione() {
    if (m_livello <= 0) return;
    --m_livello;
    QSqlQuery q(db());
    if (m_livello == 0) {
        q.exec(QStringLiteral("ROLLBACK"));
    } else {
        q.exec(QStringLiteral("ROLLBACK TO zr%1").arg(m_livello));
        q.exec(QStringLiteral("RELEASE zr%1").arg(m_livello));
    }
}

TTransazione::TTransazione(TArchivio& a) : m_archivio(a) { m_archivio.iniziaTransazione(); }

TTransazione::~TTransazione() {
    if (!m_chiusa) m_archivio.annullaTransazione();
}

void TTransazione::conferma() {
    m_archivio.confermaTransazione();
    m_chiusa = true;
}
