#include "data/engine/Archivio.h"
#include "data/engine/FileTabelle.h"
#include "data/engine/FunzioniSql.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QThread>
#include <QUuid>
#include <algorithm>
#include <memory>
#include <sqlite3.h>

namespace {

std::unique_ptr<TArchivio> g_corrente;
// The store a worker thread opened for itself (TArchivioDelThread).
thread_local TArchivio* t_delThread = nullptr;

bool ThreadDelProgramma() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

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

void TArchivio::recuperaAvanzi(const QString& cartella) { RecuperaAvanzi(cartella); }

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
    if (t_delThread) return *t_delThread;
    // The program's connection belongs to its thread: a worker that has not
    // opened a store of its own must not reach it.
    if (!ThreadDelProgramma())
        throw ErroreArchivio(QStringLiteral("Archivio non aperto in questo lavoro"), ErroreArchivio::CtxApertura);
    if (!g_corrente) throw ErroreArchivio(QStringLiteral("Archivio non aperto"), ErroreArchivio::CtxApertura);
    return *g_corrente;
}

void TArchivio::apriCorrente(const QString& cartella) {
    g_corrente.reset();
    g_corrente = std::make_unique<TArchivio>(cartella);
}

void TArchivio::chiudiCorrente() { g_corrente.reset(); }

bool TArchivio::esisteCorrente() { return t_delThread || (ThreadDelProgramma() && g_corrente != nullptr); }

TArchivioDelThread::TArchivioDelThread(const QString& cartella)
    : m_archivio(std::make_unique<TArchivio>(cartella)), m_precedente(t_delThread) {
    t_delThread = m_archivio.get();
}

TArchivioDelThread::~TArchivioDelThread() { t_delThread = m_precedente; }

QSqlDatabase TArchivio::db() const { return QSqlDatabase::database(m_nomeConnessione, false); }

sqlite3* TArchivio::handle() const {
    const QVariant h = db().driver()->handle();
    if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0) return *static_cast<sqlite3* const*>(h.data());
    return nullptr;
}

void TArchivio::registraFunzioni() {
    sqlite3* h = handle();
    if (!h) throw ErroreArchivio(QStringLiteral("Motore SQLite non disponibile"), ErroreArchivio::CtxApertura);
    RegistraFunzioniArchivio(h);
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
    EliminaFileTabella(percorsoFile(nomeTabella));
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
    // A complete file replaces the old one in one step.
    SostituisciFileTabella(origine, destinazione, NomeFile(da), NomeFile(a));
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