#include "reports/engine/DatiQueryParallela.h"

#include "data/engine/Archivio.h"
#include "data/engine/Errore.h"
#include "data/engine/Valori.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <sqlite3.h>

// What the reader and the layout share, under the mutex.
struct TDatiQueryParallela::Condiviso {
    std::mutex mutex;
    std::condition_variable cambiato;
    std::deque<QVector<QVector<QVariant>>> blocchi;
    qsizetype righeInCoda = 0;
    bool finito = false;
    std::exception_ptr errore;
    std::atomic<bool> stop{false};
    sqlite3* connessione = nullptr;  // while the reader runs its query
};

namespace {

// The reader: runs the query on a connection of its thread and hands the
// rows over in blocks, waiting while the queue is full.
void Leggi(const std::shared_ptr<TDatiQueryParallela::Condiviso>& s, const QString& cartella, const QString& testo,
           const QVariantList& parametri, const QStringList& tabelle) {
    try {
        const TArchivioDelThread archivio(cartella);
        TArchivio& a = TArchivio::corrente();
        for (const QString& t : tabelle) a.nomeQualificato(t);
        {
            const std::lock_guard<std::mutex> blocco(s->mutex);
            if (s->stop) return;
            s->connessione = a.handle();
        }
        struct Sgancia {
            TDatiQueryParallela::Condiviso* s;
            ~Sgancia() {
                const std::lock_guard<std::mutex> blocco(s->mutex);
                s->connessione = nullptr;
            }
        } sgancia{s.get()};
        QSqlQuery q(a.db());
        q.setForwardOnly(true);
        if (!q.prepare(testo)) TArchivio::sollevaErrore(q);
        for (int i = 0; i < parametri.size(); ++i) q.bindValue(i, parametri[i]);
        // The engine's work before the first row (a sort) happens here.
        if (!q.exec()) {
            if (s->stop) return;
            TArchivio::sollevaErrore(q);
        }
        const int colonne = q.record().count();
        QVector<QVector<QVariant>> blocco;
        blocco.reserve(TDatiQueryParallela::RigheBlocco);
        const auto consegna = [&] {
            std::unique_lock<std::mutex> attesa(s->mutex);
            s->cambiato.wait(attesa, [&] { return s->stop || s->righeInCoda < TDatiQueryParallela::RigheInCoda; });
            if (s->stop) return false;
            s->righeInCoda += blocco.size();
            s->blocchi.push_back(std::move(blocco));
            attesa.unlock();
            s->cambiato.notify_all();
            blocco = {};
            blocco.reserve(TDatiQueryParallela::RigheBlocco);
            return true;
        };
        while (q.next()) {
            QVector<QVariant> riga(colonne);
            for (int i = 0; i < colonne; ++i) riga[i] = q.value(i);
            blocco.append(std::move(riga));
            if (blocco.size() == TDatiQueryParallela::RigheBlocco && !consegna()) return;
        }
        if (s->stop) return;
        if (q.lastError().isValid()) TArchivio::sollevaErrore(q);
        if (!blocco.isEmpty() && !consegna()) return;
    } catch (...) {
        const std::lock_guard<std::mutex> blocco(s->mutex);
        s->errore = std::current_exception();
    }
}

}  // namespace

TDatiQueryParallela::TDatiQueryParallela(const QVector<TDefCampo>& campi) { m_tipi.impostaCampi(campi); }

TDatiQueryParallela::~TDatiQueryParallela() { ferma(); }

void TDatiQueryParallela::avvia(const QString& testo, const QVariantList& parametri, const QStringList& tabelle) {
    ferma();
    // The columns, from the statement prepared on the store's connection
    // (no row is read): the layout resolves its fields before any row comes.
    TArchivio& a = TArchivio::corrente();
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = testo.toUtf8();
    if (sqlite3_prepare_v2(a.handle(), sql.constData(), static_cast<int>(sql.size()), &st, nullptr) != SQLITE_OK) {
        const QString messaggio = QString::fromUtf8(sqlite3_errmsg(a.handle()));
        sqlite3_finalize(st);
        throw ErroreArchivio(messaggio, ErroreArchivio::CtxStruttura);
    }
    m_nomi.clear();
    m_campoColonna.clear();
    for (int i = 0; i < sqlite3_column_count(st); ++i) {
        // As QSqlQuery names them.
        m_nomi << QString::fromUtf8(sqlite3_column_name(st, i)).remove(QLatin1Char('"'));
        m_campoColonna << m_tipi.campo(m_nomi.last());
    }
    sqlite3_finalize(st);

    m_blocco.clear();
    m_riga = 0;
    m_finito = false;
    m_letta = false;
    m_condiviso = std::make_shared<Condiviso>();
    auto s = m_condiviso;
    m_lettore = std::thread([s, cartella = a.cartella(), testo, parametri, tabelle] {
        Leggi(s, cartella, testo, parametri, tabelle);
        {
            const std::lock_guard<std::mutex> blocco(s->mutex);
            s->finito = true;
        }
        s->cambiato.notify_all();
    });
}

void TDatiQueryParallela::ferma() {
    if (m_condiviso) {
        {
            const std::lock_guard<std::mutex> blocco(m_condiviso->mutex);
            m_condiviso->stop = true;
            if (m_condiviso->connessione) sqlite3_interrupt(m_condiviso->connessione);
        }
        m_condiviso->cambiato.notify_all();
    }
    if (m_lettore.joinable()) m_lettore.join();
    m_condiviso.reset();
    m_blocco.clear();
    m_riga = 0;
    m_finito = true;
}

bool TDatiQueryParallela::prendi(bool attesa) const {
    if (m_riga < m_blocco.size() || m_finito) return true;
    Condiviso& s = *m_condiviso;
    std::unique_lock<std::mutex> blocco(s.mutex);
    if (attesa) s.cambiato.wait(blocco, [&] { return !s.blocchi.empty() || s.finito; });
    if (!s.blocchi.empty()) {
        m_blocco = std::move(s.blocchi.front());
        s.blocchi.pop_front();
        s.righeInCoda -= m_blocco.size();
        m_riga = 0;
        blocco.unlock();
        s.cambiato.notify_all();
        return true;
    }
    if (!s.finito) return false;
    m_blocco.clear();
    m_riga = 0;
    m_finito = true;
    if (s.errore) {
        // Raised once: the reading ends with it.
        const std::exception_ptr e = s.errore;
        s.errore = nullptr;
        std::rethrow_exception(e);
    }
    return true;
}

void TDatiQueryParallela::primo() {
    if (m_letta) throw ErroreArchivio(QStringLiteral("La query del report non si può rileggere dall'inizio"));
}

bool TDatiQueryParallela::pronto() { return prendi(false); }

void TDatiQueryParallela::attendi() { prendi(true); }

bool TDatiQueryParallela::fine() const {
    prendi(true);
    return m_riga >= m_blocco.size();
}

void TDatiQueryParallela::successivo() {
    if (!prendi(true) || m_riga >= m_blocco.size()) return;
    m_letta = true;
    if (++m_riga >= m_blocco.size()) {
        m_blocco.clear();
        m_riga = 0;
    }
}

int TDatiQueryParallela::indice(const QString& campo) const {
    for (int i = 0; i < m_nomi.size(); ++i)
        if (m_nomi[i].compare(campo, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant TDatiQueryParallela::grezzo(int indice) const {
    prendi(true);
    if (m_riga >= m_blocco.size() || indice < 0 || indice >= m_blocco[m_riga].size()) return {};
    return m_blocco[m_riga][indice];
}

QVariant TDatiQueryParallela::valoreA(int indice) const {
    const QVariant v = grezzo(indice);
    const TDefCampo* c = indice >= 0 && indice < m_campoColonna.size() ? m_campoColonna[indice] : nullptr;
    return c ? LeggiDaCampo(*c, v) : v;
}
