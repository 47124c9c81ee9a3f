#include "gui/ModelloElenco.h"

#include "data/engine/Archivio.h"
#include "data/engine/Errore.h"
#include "data/engine/Istruzione.h"
#include "data/engine/Valori.h"
#include "gui/LavoroLungo.h"

#include <QScopeGuard>
#include <QSqlQuery>
#include <atomic>
#include <cstring>
#include <lz4.h>
#include <malloc.h>
#include <utility>
#include <sqlite3.h>

namespace {
constexpr int RighePagina = 128;
constexpr int PagineInMemoria = 64;

QString Virgolette(const QString& campo) { return QLatin1Char('"') + campo + QLatin1Char('"'); }

// A list without an order of its own keeps the order of insertion.
QString OrdineLista(const QString& ordine) { return ordine.isEmpty() ? QStringLiteral("rowid") : ordine; }

}  // namespace

TModelloElenco::TModelloElenco(QObject* genitore) : QAbstractTableModel(genitore) {}

TModelloElenco::~TModelloElenco() {
    ++m_generazione;
    if (m_lavoro) m_lavoro->ferma();
}

void TModelloElenco::impostaColonne(const QVector<Colonna>& colonne) {
    beginResetModel();
    m_colonne = colonne;
    m_pagine.clear();
    endResetModel();
}

void TModelloElenco::esegui(const QString& tabella, const QString& condizione, const QVariantList& parametri,
                            const QString& ordine) {
    m_tabella = tabella;
    m_condizione = condizione;
    m_parametri = parametri;
    m_ordine = ordine;
    m_ricerche.clear();
    riesegui();
}

void TModelloElenco::cerca(const QString& tabella, const QVector<Ricerca>& ricerche, const QString& ordine,
                           const QString& condizione, const QVariantList& parametri) {
    m_tabella = tabella;
    m_condizione = condizione;
    m_parametri = parametri;
    m_ordine = ordine;
    m_ricerche = ricerche;
    riesegui();
}

void TModelloElenco::interrompiLettura() {
    ++m_generazione;
    // Fields being read for this same list serve the new texts too: that
    // reading goes on.
    if (m_lavoro && !leggeIndiceDellaLista()) m_lavoro->ferma();
}

bool TModelloElenco::leggeIndiceDellaLista() const {
    const Indice* x = m_letturaIndice;
    return x && m_leggeCampi.load() && !m_ricerche.isEmpty() && x->tabella == m_tabella && x->campi == campiCercati() &&
           x->ordine == m_ordine && x->condizione == m_condizione && x->parametri == m_parametri;
}

void TModelloElenco::riesegui() {
    interrompiLettura();
    if (m_tabella.isEmpty()) return;
    if (!m_ricerche.isEmpty()) {
        filtra();
        return;
    }
    TArchivio& a = TArchivio::corrente();
    QString sql = QStringLiteral("SELECT rowid FROM ") + a.nomeQualificato(m_tabella);
    if (!m_condizione.isEmpty()) sql += QStringLiteral(" WHERE ") + m_condizione;
    sql += QStringLiteral(" ORDER BY ") + OrdineLista(m_ordine);
    // The keys straight from the engine: on 100,000 rows the Qt layer costs
    // as much again as the query itself.
    QVector<qint64> chiavi;
    sqlite3* h = a.handle();
    TIstruzione s(h, sql);
    s.lega(m_parametri);
    while (s.riga()) chiavi << sqlite3_column_int64(s.handle(), 0);
    beginResetModel();
    m_chiavi = std::move(chiavi);
    m_pagine.clear();
    endResetModel();
}

void TModelloElenco::aggiornaValori() {
    if (m_tabella.isEmpty()) return;
    if (m_inLettura) {
        riesegui();
        return;
    }
    qint64 modifiche, versione;
    timbro(modifiche, versione);
    if (m_ricerche.isEmpty() || !indiceDellaLista(versione)) {
        riesegui();
        return;
    }
    m_indice.modifiche = modifiche;
    beginResetModel();
    m_pagine.clear();
    endResetModel();
}

QStringList TModelloElenco::campiCercati() const {
    QStringList campi;
    for (const Ricerca& r : m_ricerche) campi << r.campo;
    return campi;
}

bool TModelloElenco::indiceDellaLista(qint64 versione) const {
    const TArchivio& a = TArchivio::corrente();
    return m_indice.tabella == m_tabella && m_indice.campi == campiCercati() && m_indice.ordine == m_ordine &&
           m_indice.condizione == m_condizione && m_indice.parametri == m_parametri &&
           m_indice.connessione == a.handle() && m_indice.collegamenti == a.collegamenti() &&
           m_indice.versione == versione;
}

void TModelloElenco::timbro(qint64& modifiche, qint64& versione) const {
    TArchivio& a = TArchivio::corrente();
    a.nomeQualificato(m_tabella);  // attaches the table's file when it is not attached yet
    sqlite3* h = a.handle();
    modifiche = sqlite3_total_changes64(h);
    versione = -1;
    TIstruzione s(h, QStringLiteral("PRAGMA %1.data_version").arg(Virgolette(TArchivio::schemaDi(m_tabella))));
    if (sqlite3_step(s.handle()) == SQLITE_ROW) versione = sqlite3_column_int64(s.handle(), 0);
}

TModelloElenco::Indice TModelloElenco::listaAttuale() const {
    Indice x;
    x.tabella = m_tabella;
    x.ordine = m_ordine;
    x.condizione = m_condizione;
    x.parametri = m_parametri;
    x.campi = campiCercati();
    timbro(x.modifiche, x.versione);
    const TArchivio& a = TArchivio::corrente();
    x.connessione = a.handle();
    x.collegamenti = a.collegamenti();
    return x;
}

namespace {

// The marks of a row's length in an unpacked block.
constexpr unsigned char LunghezzaLunga = 0xFE, Nullo = 0xFF;

void AggiungiTesto(QByteArray& blocco, const char* testo, int lunghezza) {
    if (lunghezza < LunghezzaLunga) {
        blocco.append(static_cast<char>(lunghezza));
    } else {
        blocco.append(static_cast<char>(LunghezzaLunga));
        const quint32 l = static_cast<quint32>(lunghezza);
        blocco.append(reinterpret_cast<const char*>(&l), sizeof l);
    }
    blocco.append(testo, lunghezza);
}

TModelloElenco::Blocco Comprimi(const QByteArray& grezzo) {
    TModelloElenco::Blocco b;
    b.byte = static_cast<int>(grezzo.size());
    b.compresso.resize(LZ4_compressBound(b.byte));
    const int n = LZ4_compress_default(grezzo.constData(), b.compresso.data(), b.byte,
                                       static_cast<int>(b.compresso.size()));
    if (n <= 0) throw ErroreArchivio(QStringLiteral("Memoria insufficiente per la ricerca"));
    b.compresso.resize(n);
    b.compresso.squeeze();
    return b;
}

void Scomprimi(const TModelloElenco::Blocco& b, QByteArray& grezzo) {
    grezzo.resize(b.byte);
    if (LZ4_decompress_safe(b.compresso.constData(), grezzo.data(), static_cast<int>(b.compresso.size()), b.byte) !=
        b.byte)
        throw ErroreArchivio(QStringLiteral("Dati di ricerca in memoria non validi"));
}

// Reads the searched fields of the list into x, on the given store; false
// (x emptied) as soon as they pass the budget in bytes.
bool LeggiIndice(TArchivio& a, TModelloElenco::Indice& x, qint64 budget) {
    QString sql = QStringLiteral("SELECT rowid");
    for (const QString& c : x.campi) sql += QStringLiteral(", lower(%1)").arg(Virgolette(c));
    sql += QStringLiteral(" FROM ") + a.nomeQualificato(x.tabella);
    if (!x.condizione.isEmpty()) sql += QStringLiteral(" WHERE ") + x.condizione;
    sql += QStringLiteral(" ORDER BY ") + OrdineLista(x.ordine);
    const auto n = x.campi.size();
    x.blocchi.resize(n);
    QVector<QByteArray> grezzi(n);
    QVector<int> nulli(n, 0);
    int nelBlocco = 0;
    x.byte = 0;
    const auto chiudiBlocco = [&] {
        for (int j = 0; j < n; ++j) {
            x.blocchi[j] << Comprimi(grezzi[j]);
            x.blocchi[j].last().nulli = std::exchange(nulli[j], 0);
            x.byte += x.blocchi[j].last().compresso.size();
            grezzi[j].clear();
        }
        nelBlocco = 0;
        return x.byte + x.chiavi.size() * qint64(sizeof(qint64)) <= budget;
    };
    TIstruzione istruzione(a.handle(), sql);
    istruzione.lega(x.parametri);
    sqlite3_stmt* s = istruzione.handle();
    bool entra = true;
    while (entra && istruzione.riga()) {
        x.chiavi << sqlite3_column_int64(s, 0);
        for (int j = 0; j < n; ++j) {
            if (sqlite3_column_type(s, j + 1) == SQLITE_NULL) {
                grezzi[j].append(static_cast<char>(Nullo));
                ++nulli[j];
            } else {
                const char* testo = reinterpret_cast<const char*>(sqlite3_column_text(s, j + 1));
                AggiungiTesto(grezzi[j], testo, sqlite3_column_bytes(s, j + 1));
            }
        }
        if (++nelBlocco == TModelloElenco::RigheBlocco) entra = chiudiBlocco();
    }
    if (entra && nelBlocco > 0) entra = chiudiBlocco();
    if (!entra) {
        x.chiavi = {};
        x.blocchi = {};
        x.byte = 0;
        return false;
    }
    x.chiavi.squeeze();
    x.byte += x.chiavi.size() * qint64(sizeof(qint64));
    return true;
}

// The keys of the rows of a search, in the list's order, as the engine finds
// them: each field, folded by the store's lower(), begins with (or contains)
// the text folded the same way, % and _ taken literally; a null field never
// matches. The same rows as the filter of the fields in memory.
QVector<qint64> ChiaviRicerca(TArchivio& a, const TModelloElenco::Indice& x, const QVector<TRicerca>& ricerche) {
    QStringList condizioni;
    if (!x.condizione.isEmpty()) condizioni << QLatin1Char('(') + x.condizione + QLatin1Char(')');
    QVariantList valori = x.parametri;
    for (const TRicerca& r : ricerche) {
        condizioni << QStringLiteral("lower(%1) LIKE ? ESCAPE '\\'").arg(Virgolette(r.campo));
        const QString testo = EscapeLike(r.testo.toLower());
        valori << (r.contiene ? QLatin1Char('%') + testo + QLatin1Char('%') : testo + QLatin1Char('%'));
    }
    const QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE %2 ORDER BY %3")
                            .arg(a.nomeQualificato(x.tabella), condizioni.join(QStringLiteral(" AND ")), OrdineLista(x.ordine));
    QVector<qint64> chiavi;
    TIstruzione s(a.handle(), sql);
    s.lega(valori);
    while (s.riga()) chiavi << sqlite3_column_int64(s.handle(), 0);
    return chiavi;
}

int ControlloStop(void* contesto) { return static_cast<const TContestoLavoro*>(contesto)->fermato() ? 1 : 0; }

}  // namespace

void TModelloElenco::filtra() {
    // A reading under way serves this call: it searches again for the list
    // asked now when it has ended.
    if (m_inLettura) return;
    m_inLettura = true;
    const auto fine = qScopeGuard([this] {
        m_inLettura = false;
        m_lavoro = nullptr;
        m_letturaIndice = nullptr;
    });
    for (;;) {
        const quint64 generazione = m_generazione;
        Indice lista = listaAttuale();
        const bool stessaLista = indiceDellaLista(lista.versione);
        if (stessaLista && !m_indice.grande && m_indice.modifiche == lista.modifiche) {
            QVector<qint64> chiavi = filtraIndice();
            beginResetModel();
            m_chiavi = std::move(chiavi);
            m_pagine.clear();
            endResetModel();
            return;
        }
        // A list known to pass the budget is searched by the engine at once;
        // otherwise its fields are read, and searched by the engine when they
        // pass it.
        const bool leggiCampi = !(m_indice.grande && m_indice.tabella == lista.tabella && m_indice.campi == lista.campi &&
                                  m_indice.ordine == lista.ordine && m_indice.condizione == lista.condizione &&
                                  m_indice.parametri == lista.parametri);
        const QVector<Ricerca> ricerche = m_ricerche;
        const qint64 budget = m_budgetIndice;
        Indice letto = lista;
        bool completo = false, grande = !leggiCampi, fermata = false;
        QVector<qint64> chiavi;
        const auto cercaSu = [&](TArchivio& archivio, const std::function<bool()>& lettoreAggiornato) {
            if (leggiCampi) {
                completo = LeggiIndice(archivio, letto, budget);
                if (completo) return;
                grande = true;
                m_leggeCampi.store(false);
                if (!lettoreAggiornato()) return;
            }
            chiavi = ChiaviRicerca(archivio, lista, ricerche);
        };
        TArchivio& a = TArchivio::corrente();
        if (a.inTransazione()) {
            // Rows written in a transaction still open are seen only on the
            // store's own connection.
            cercaSu(a, [] { return true; });
        } else {
            const QString cartella = a.cartella();
            TLavoroLungo lavoro(nullptr, QStringLiteral("Ricerca in corso"));
            lavoro.senzaBox();
            m_lavoro = &lavoro;
            m_letturaIndice = leggiCampi ? &lista : nullptr;
            m_leggeCampi.store(leggiCampi);
            const std::atomic<quint64>& attuale = m_generazione;
            try {
                lavoro.esegui([&](TContestoLavoro& c) {
                    TArchivio proprio(cartella);
                    sqlite3_progress_handler(proprio.handle(), 4096, ControlloStop, &c);
                    try {
                        // Fields that passed the budget: the search of texts
                        // that newer keys replaced is not run.
                        cercaSu(proprio, [&] { return attuale.load() == generazione; });
                    } catch (const ErroreArchivio&) {
                        c.controlla();
                        throw;
                    }
                    sqlite3_progress_handler(proprio.handle(), 0, nullptr, nullptr);
                });
            } catch (const ErroreLavoroFermato&) {
                fermata = true;
            }
            m_lavoro = nullptr;
            m_letturaIndice = nullptr;
        }
        if (leggiCampi) {
            // What the reading took and gave back (the growing lists, the
            // worker's connection) returns to the system instead of staying
            // with the allocator.
            malloc_trim(0);
        }
        if (completo) {
            m_indice = std::move(letto);
        } else if (grande) {
            m_indice = std::move(lista);
            m_indice.grande = true;
        }
        if (generazione != m_generazione) {
            // The list changed meanwhile: the newest search runs now; a list
            // that is no longer a search was read by its own call.
            if (m_tabella.isEmpty() || m_ricerche.isEmpty()) return;
            continue;
        }
        // Stopped for another reason (the program is ending): the rows held stay.
        if (fermata) return;
        if (completo) chiavi = filtraIndice();
        beginResetModel();
        m_chiavi = std::move(chiavi);
        m_pagine.clear();
        endResetModel();
        return;
    }
}

QVector<qint64> TModelloElenco::filtraIndice() const {
    // The text folded as the store's lower() folds the field (the same
    // Unicode lower case), compared byte for byte in UTF-8, where a
    // character never matches the middle of another.
    QVector<QByteArray> aghi;
    for (const Ricerca& r : m_ricerche) aghi << r.testo.toLower().toUtf8();
    const qsizetype n = aghi.size();
    QVector<qint64> chiavi;
    QVector<QByteArray> grezzi(n);
    QVector<const unsigned char*> cursori(n);
    const qint64 righe = m_indice.chiavi.size();
    for (qint64 inizio = 0, b = 0; inizio < righe; inizio += RigheBlocco, ++b) {
        for (qsizetype j = 0; j < n; ++j) {
            // A field searched with no text and no null in the block keeps
            // every row: it is not unpacked.
            const Blocco& blocco = m_indice.blocchi[j][b];
            if (aghi[j].isEmpty() && blocco.nulli == 0) {
                cursori[j] = nullptr;
                continue;
            }
            Scomprimi(blocco, grezzi[j]);
            cursori[j] = reinterpret_cast<const unsigned char*>(grezzi[j].constData());
        }
        const qint64 fine = std::min(inizio + RigheBlocco, righe);
        for (qint64 i = inizio; i < fine; ++i) {
            bool tenuta = true;
            // Every field's cursor moves on to the next row, kept or not.
            for (qsizetype j = 0; j < n; ++j) {
                const unsigned char*& p = cursori[j];
                if (!p) continue;
                const unsigned char segno = *p++;
                if (segno == Nullo) {
                    tenuta = false;
                    continue;
                }
                size_t lunghezza = segno;
                if (segno == LunghezzaLunga) {
                    quint32 l;
                    std::memcpy(&l, p, sizeof l);
                    p += sizeof l;
                    lunghezza = l;
                }
                const char* testo = reinterpret_cast<const char*>(p);
                p += lunghezza;
                const QByteArray& ago = aghi[j];
                if (!tenuta || ago.isEmpty()) continue;
                const size_t lAgo = static_cast<size_t>(ago.size());
                tenuta = m_ricerche[j].contiene ? memmem(testo, lunghezza, ago.constData(), lAgo) != nullptr
                                                : lunghezza >= lAgo && std::memcmp(testo, ago.constData(), lAgo) == 0;
            }
            if (tenuta) chiavi << m_indice.chiavi[i];
        }
    }
    return chiavi;
}

void TModelloElenco::svuota() {
    interrompiLettura();
    beginResetModel();
    m_tabella.clear();
    m_ricerche.clear();
    m_indice = {};
    m_chiavi.clear();
    m_pagine.clear();
    endResetModel();
}

int TModelloElenco::indiceCampo(const QString& campo) const {
    for (int i = 0; i < m_colonne.size(); ++i)
        if (m_colonne[i].campo.compare(campo, Qt::CaseInsensitive) == 0) return i;
    for (int i = 0; i < m_extra.size(); ++i)
        if (m_extra[i].compare(campo, Qt::CaseInsensitive) == 0) return static_cast<int>(m_colonne.size()) + i;
    return -1;
}

void TModelloElenco::leggiPagina(int pagina) const {
    if (m_pagine.size() >= PagineInMemoria) m_pagine.clear();
    const int da = pagina * RighePagina;
    const int a = std::min(da + RighePagina, static_cast<int>(m_chiavi.size()));
    QStringList campi, segnaposto;
    campi << QStringLiteral("rowid");
    for (const Colonna& c : m_colonne) campi << Virgolette(c.campo);
    for (const QString& c : m_extra) campi << Virgolette(c);
    QVariantList chiavi;
    for (int i = da; i < a; ++i) {
        segnaposto << QStringLiteral("?");
        chiavi << m_chiavi[i];
    }
    QVector<QVector<QVariant>> righe(a - da);
    if (!chiavi.isEmpty()) {
        TArchivio& arc = TArchivio::corrente();
        QSqlQuery q = arc.esegui(QStringLiteral("SELECT %1 FROM %2 WHERE rowid IN (%3)")
                                     .arg(campi.join(QLatin1Char(',')), arc.nomeQualificato(m_tabella),
                                          segnaposto.join(QLatin1Char(','))),
                                 chiavi);
        QHash<qint64, QVector<QVariant>> perChiave;
        const int n = static_cast<int>(campi.size());
        while (q.next()) {
            QVector<QVariant> r(n - 1);
            for (int i = 1; i < n; ++i) r[i - 1] = q.value(i);
            perChiave.insert(q.value(0).toLongLong(), r);
        }
        for (int i = da; i < a; ++i) righe[i - da] = perChiave.value(m_chiavi[i], QVector<QVariant>(n - 1));
    }
    m_pagine.insert(pagina, righe);
}

QStringList TModelloElenco::campi() const {
    QStringList l;
    for (const Colonna& c : m_colonne) l << c.campo;
    return l + m_extra;
}

QVariant TModelloElenco::valore(int riga, const QString& campo) const { return valoreA(riga, indiceCampo(campo)); }

QVariant TModelloElenco::valoreA(int riga, int c) const {
    if (riga < 0 || riga >= m_chiavi.size() || c < 0) return {};
    const int pagina = riga / RighePagina;
    if (!m_pagine.contains(pagina)) leggiPagina(pagina);
    const QVector<QVariant>& r = m_pagine[pagina][riga % RighePagina];
    return c < r.size() ? r[c] : QVariant();
}

int TModelloElenco::rowCount(const QModelIndex& genitore) const {
    return genitore.isValid() ? 0 : static_cast<int>(m_chiavi.size());
}

int TModelloElenco::columnCount(const QModelIndex& genitore) const {
    return genitore.isValid() ? 0 : static_cast<int>(m_colonne.size());
}

QVariant TModelloElenco::data(const QModelIndex& indice, int ruolo) const {
    if (!indice.isValid() || ruolo != Qt::DisplayRole) return {};
    const QVariant v = valore(indice.row(), m_colonne[indice.column()].campo);
    if (v.typeId() == QMetaType::Double) return TestoNumeroGenerale(v.toDouble());
    return v;
}

QVariant TModelloElenco::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const {
    if (ruolo != Qt::DisplayRole) return {};
    if (orientamento == Qt::Horizontal && sezione >= 0 && sezione < m_colonne.size()) return m_colonne[sezione].titolo;
    return {};
}
