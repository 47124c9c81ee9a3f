#include "app/PassiChiusuraAnno.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/FileTabelle.h"
#include "data/engine/Istruzione.h"
#include "movements/Azzeramenti.h"
#include "tools/CopiaDati.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <sqlite3.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ChiusuraAnno {

namespace {

const QString TabellaPassi = QStringLiteral("chiusureanno");
const QString CampoAnno = QStringLiteral("ANNO"), CampoPasso = QStringLiteral("PASSO"), CampoStato = QStringLiteral("STATO"),
              CampoTesto = QStringLiteral("TESTO"), CampoQuando = QStringLiteral("QUANDO");

TOsservatoreArchivio g_osservatore = nullptr;

void Osserva(int punto) {
    if (g_osservatore) g_osservatore(punto);
}

// The steps' table, qualified by the history's schema (attached on the way).
QString NomeTabellaPassi(TArchivio& a) {
    a.nomeQualificato(Definizioni::Storico);
    return QLatin1Char('"') + TArchivio::schemaDi(Definizioni::Storico) + QStringLiteral("\".\"") + TabellaPassi +
           QLatin1Char('"');
}

bool EsisteTabellaPassi(TArchivio& a) {
    if (!a.esisteTabella(Definizioni::Storico)) return false;
    a.assicuraCollegata(Definizioni::Storico);
    return a.valoreSingolo(QStringLiteral("SELECT count(*) FROM \"%1\".sqlite_master WHERE type = 'table' AND name = ?")
                               .arg(TArchivio::schemaDi(Definizioni::Storico)),
                           {TabellaPassi})
               .toInt() > 0;
}

void SincronizzaCartella(const QString& cartella) {
    const int fd = ::open(QFile::encodeName(cartella).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Removes the steps' table from the history's copy in the archive: the
// archived year starts with no year end of its own under way. The copy is
// still under its hidden name, thrown away whole if anything fails, and is
// checked and synced afterwards: the drop needs neither journal nor sync.
QString TogliPassiDallaCopia(const QString& storico) {
    if (!QFileInfo::exists(storico)) return {};
    sqlite3* h = nullptr;
    QString errore;
    if (sqlite3_open_v2(QFile::encodeName(storico).constData(), &h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        errore = QString::fromUtf8(sqlite3_errmsg(h));
    } else {
        const QByteArray sql =
            QStringLiteral("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; DROP TABLE IF EXISTS \"%1\"").arg(TabellaPassi).toUtf8();
        if (sqlite3_exec(h, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) errore = QString::fromUtf8(sqlite3_errmsg(h));
    }
    sqlite3_close(h);
    return errore;
}

// The check of a table's copy in the archive: PRAGMA quick_check, which
// reads and parses every page of the copy (the b-trees, their pages and
// cells, every record, NOT NULL) and leaves out only the agreement of each
// index with its table. The copy holds the bytes of a table file the store
// had detached, with no journal beside it: an index that disagreed with its
// table would disagree in the live file already, which no copy makes or
// mends, while what a copy can get wrong (a file cut short, a page missing or
// out of place, a page that is not a page) is in what quick_check reads; a
// write that did not reach the disk is reported by the sync that follows.
// Empty when sound, otherwise the first fault; a stop ends it.
QString ControllaCopia(const QString& file, const TContestoLavoro& c) {
    sqlite3* h = nullptr;
    QString esito;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        esito = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_close(h);
        return esito;
    }
    sqlite3_progress_handler(
        h, 4096, [](void* dati) { return static_cast<const TContestoLavoro*>(dati)->fermato() ? 1 : 0; },
        const_cast<TContestoLavoro*>(&c));
    {
        TIstruzione controllo;
        if (controllo.prepara(h, "PRAGMA quick_check(1)") != SQLITE_OK) {
            esito = QString::fromUtf8(sqlite3_errmsg(h));
        } else {
            const int rc = sqlite3_step(controllo.handle());
            if (rc == SQLITE_ROW) {
                const QString riga = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(controllo.handle(), 0)));
                if (riga != QLatin1String("ok")) esito = riga.simplified().left(80);
            } else {
                esito = c.fermato() ? QStringLiteral("controllo interrotto") : QString::fromUtf8(sqlite3_errmsg(h));
            }
        }
    }
    sqlite3_close(h);
    return esito;
}

// Copies a file as it is through the kernel, a few megabytes at a time so
// that the progress moves and a stop is heard; the copy gets the source's
// permissions and is not synced yet. Empty on success, otherwise the cause,
// and no copy is left.
QString CopiaFile(const QString& sorgente, const QString& copia, TContestoLavoro& c, qint64& fatti, qint64 totale) {
    const QByteArray nomeCopia = QFile::encodeName(copia);
    const int da = ::open(QFile::encodeName(sorgente).constData(), O_RDONLY | O_CLOEXEC);
    if (da < 0) return QStringLiteral("file non leggibile (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(da, &st) != 0) {
        const int e = errno;
        ::close(da);
        return QStringLiteral("file non leggibile (%1)").arg(QString::fromLocal8Bit(std::strerror(e)));
    }
    const int a = ::open(nomeCopia.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777);
    if (a < 0) {
        const int e = errno;
        ::close(da);
        return QStringLiteral("copia non scrivibile (%1)").arg(QString::fromLocal8Bit(std::strerror(e)));
    }
    QString errore;
    for (;;) {
        const ssize_t n = ::sendfile(a, da, nullptr, 8 << 20);
        if (n < 0) {
            if (errno == EINTR) continue;
            errore = errno == ENOSPC ? QStringLiteral("disco pieno")
                                     : QStringLiteral("errore di lettura o scrittura (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
            break;
        }
        if (n == 0) break;
        fatti += n;
        c.avanzamento(fatti, totale);
        if (c.fermato()) {
            errore = QStringLiteral("copia interrotta");
            break;
        }
    }
    if (errore.isEmpty() && ::fchmod(a, st.st_mode & 07777) != 0) errore = QStringLiteral("permessi non impostati");
    if (::close(a) != 0 && errore.isEmpty()) errore = QStringLiteral("errore di scrittura");
    ::close(da);
    if (!errore.isEmpty()) ::unlink(nomeCopia.constData());
    return errore;
}

// Copies the books of the program folder into the folder `destinazione`
// (which ends with "/"), every file a backup takes, with the tables detached
// from the store by the caller, and removes the steps' table from the
// history's copy. A table with a journal beside it (a write that never
// finished) goes through the engine's backup, which rolls the journal back
// and checks its copy. Every other file is copied as it is by the kernel, a
// fraction of the engine's page-by-page backup, the largest first; each
// table's copy is then checked (ControllaCopia) and synced, the two side by
// side, on the second core while the next file is copied; any other file is
// synced. Runs in a worker: the bytes copied out of the total are reported,
// and a stop ends it with ErroreLavoroFermato. Empty on success, otherwise
// what failed.
QString CopiaLibri(const QString& cartella, const QString& destinazione, TContestoLavoro& c) {
    struct TFile {
        QString nome;
        qint64 dimensione;
    };
    QVector<TFile> file;
    qint64 totale = 0;
    for (const QString& f : CopiaDati::FileDaSalvare(cartella)) {
        file.append({f, QFileInfo(cartella + f).size()});
        totale += file.last().dimensione;
    }
    std::stable_sort(file.begin(), file.end(), [](const TFile& x, const TFile& y) { return x.dimensione > y.dimensione; });
    qint64 fatti = 0;
    c.avanzamento(0, totale);
    const auto erroreStorico = [](const QString& e) { return QStringLiteral("Errore nella copia dello storico: %1").arg(e); };
    QString errore;
    std::vector<std::future<QString>> controlli;
    for (const TFile& f : file) {
        if (c.fermato()) break;
        c.fase(f.nome);
        const QString sorgente = cartella + f.nome, copia = destinazione + f.nome;
        const bool tabella = CopiaDati::TabellaDelProgramma(f.nome);
        const bool storico = f.nome.compare(Definizioni::Storico, Qt::CaseInsensitive) == 0;
        QString esito;
        if (tabella && QFileInfo::exists(sorgente + QStringLiteral("-journal"))) {
            esito = CopiaDati::SalvaFile(nullptr, sorgente, copia);
            fatti += f.dimensione;
            c.avanzamento(fatti, totale);
            if (esito.isEmpty() && storico) {
                const QString e = TogliPassiDallaCopia(copia);
                if (!e.isEmpty()) {
                    errore = erroreStorico(e);
                    break;
                }
                SincronizzaFile(copia);
            }
        } else {
            esito = CopiaFile(sorgente, copia, c, fatti, totale);
            if (esito.isEmpty() && tabella) {
                controlli.push_back(std::async(std::launch::async, [copia, storico, erroreStorico, &c] {
                    if (storico) {
                        const QString e = TogliPassiDallaCopia(copia);
                        if (!e.isEmpty()) return erroreStorico(e);
                    }
                    auto sincronia = std::async(std::launch::async, [copia] { SincronizzaFile(copia); });
                    const QString difetto = ControllaCopia(copia, c);
                    sincronia.get();
                    if (difetto.isEmpty()) return QString();
                    return QStringLiteral("La copia del file \"%1\" è danneggiata (%2).").arg(QDir::toNativeSeparators(copia), difetto);
                }));
            } else if (esito.isEmpty()) {
                SincronizzaFile(copia);
            }
        }
        if (!esito.isEmpty()) {
            if (!c.fermato())
                errore = QStringLiteral("Errore durante la copia del file \"%1\"\n%2").arg(QDir::toNativeSeparators(sorgente), esito);
            break;
        }
        Osserva(PuntoFileCopiato);
    }
    if (!controlli.empty()) c.fase(QStringLiteral("Controllo delle copie"));
    for (auto& controllo : controlli) {
        const QString esito = controllo.get();
        if (!esito.isEmpty() && errore.isEmpty() && !c.fermato()) errore = esito;
    }
    c.controlla();
    return errore;
}

// The schemas attached to a connection, besides main and temp.
QStringList SchemiCollegati(TArchivio& a) {
    QStringList schemi;
    QSqlQuery q = a.esegui(QStringLiteral("PRAGMA database_list"));
    while (q.next()) {
        const QString nome = q.value(1).toString();
        if (nome != QLatin1String("main") && nome != QLatin1String("temp")) schemi << nome;
    }
    return schemi;
}

[[noreturn]] void Rifiuta(const QString& testo) { throw ErroreArchivio(testo); }

}  // namespace

void ImpostaOsservatoreArchivio(TOsservatoreArchivio osservatore) { g_osservatore = osservatore; }

QString NomePasso(int passo, int anno) {
    switch (passo) {
    case Salvataggio: return QStringLiteral("Salvataggio dei dati");
    case Inventario: return QStringLiteral("Inventario fisico (facoltativo)");
    case StampaInventario: return QStringLiteral("Stampa dell'inventario valorizzato");
    case Archivio: return QStringLiteral("Archiviazione dell'anno in anni/%1").arg(anno);
    case Azzeramento: return QStringLiteral("Azzeramento degli scarichi");
    case CancellazioneStorico:
        return QStringLiteral("Cancellazione dello storico fino al %1").arg(QDate(anno, 12, 31).toString(QStringLiteral("dd/MM/yyyy")));
    default: return {};
    }
}

QString CartellaAnni(const QString& cartellaProgramma) {
    return QDir::cleanPath(cartellaProgramma) + QStringLiteral("/anni/");
}

QString CartellaAnno(const QString& cartellaProgramma, int anno) {
    return CartellaAnni(cartellaProgramma) + QString::number(anno) + QLatin1Char('/');
}

QStringList AnniArchiviati(const QString& cartellaProgramma) {
    static const QRegularExpression anno(QStringLiteral("^\\d{4}$"));
    QStringList anni;
    const QStringList voci = QDir(CartellaAnni(cartellaProgramma)).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& v : voci)
        if (anno.match(v).hasMatch()) anni << v;
    return anni;
}

TChiusura::TChiusura(TArchivio& a, const QString& cartellaProgramma, int anno)
    : m_archivio(a), m_cartella(QDir::cleanPath(cartellaProgramma) + QLatin1Char('/')), m_anno(anno) {
    rileggi();
}

int TChiusura::AnnoInSospeso(TArchivio& a) {
    if (!EsisteTabellaPassi(a)) return 0;
    // A year with a row noted and fewer than every step concluded.
    return a.valoreSingolo(QStringLiteral("SELECT %1 FROM %2 GROUP BY %1 HAVING sum(%3 IN (%4, %5)) < %6 ORDER BY %1 DESC LIMIT 1")
                               .arg(CampoAnno, NomeTabellaPassi(a), CampoStato)
                               .arg(static_cast<int>(Stato::Fatto))
                               .arg(static_cast<int>(Stato::Saltato))
                               .arg(static_cast<int>(NumeroPassi)))
        .toInt();
}

void TChiusura::rileggi() {
    m_stati = QVector<TStatoPasso>(NumeroPassi);
    if (!EsisteTabellaPassi(m_archivio)) return;
    QSqlQuery q = m_archivio.esegui(QStringLiteral("SELECT %1, %2, %3, %4 FROM %5 WHERE %6 = ?")
                                        .arg(CampoPasso, CampoStato, CampoTesto, CampoQuando, NomeTabellaPassi(m_archivio), CampoAnno),
                                    {m_anno});
    while (q.next()) {
        const int passo = q.value(0).toInt();
        if (passo < 0 || passo >= NumeroPassi) continue;
        m_stati[passo].stato = static_cast<Stato>(q.value(1).toInt());
        m_stati[passo].testo = q.value(2).toString();
        m_stati[passo].quando = QDateTime::fromString(q.value(3).toString(), Qt::ISODate);
    }
}

int TChiusura::prossimo() const {
    for (int p = 0; p < NumeroPassi; ++p)
        if (!m_stati[p].concluso()) return p;
    return NumeroPassi;
}

bool TChiusura::iniziata() const {
    for (const TStatoPasso& s : m_stati)
        if (s.stato != Stato::DaFare) return true;
    return false;
}

void TChiusura::creaTabella() {
    m_archivio.esegui(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2 INTEGER, %3 INTEGER, %4 INTEGER, %5 TEXT, %6 TEXT, "
                                     "PRIMARY KEY (%2, %3))")
                          .arg(NomeTabellaPassi(m_archivio), CampoAnno, CampoPasso, CampoStato, CampoTesto, CampoQuando));
}

void TChiusura::scrivi(int passo, Stato stato, const QString& testo) { scrivi(m_archivio, passo, stato, testo); }

void TChiusura::scrivi(TArchivio& a, int passo, Stato stato, const QString& testo) {
    const QDateTime quando = Adesso();
    a.esegui(QStringLiteral("INSERT OR REPLACE INTO %1 (%2, %3, %4, %5, %6) VALUES (?, ?, ?, ?, ?)")
                 .arg(NomeTabellaPassi(a), CampoAnno, CampoPasso, CampoStato, CampoTesto, CampoQuando),
             {m_anno, passo, static_cast<int>(stato), testo, quando.toString(Qt::ISODate)});
    m_stati[passo] = {stato, testo, quando};
}

void TChiusura::esegui(const TLavoroPasso& lavoro) {
    if (m_esecutore) {
        m_esecutore(lavoro);
        return;
    }
    TContestoLavoro contesto;
    lavoro.lavoro(contesto);
}

void TChiusura::conferma(TTransazione& t, int passo) {
    // A step noted inside its transaction is done only when that commits.
    try {
        t.conferma();
    } catch (...) {
        m_stati[passo] = {};
        throw;
    }
}

void TChiusura::controllaProssimo(int passo) const {
    const TStatoPasso& s = m_stati[passo];
    if (s.concluso())
        Rifiuta(QStringLiteral("Il passo \"%1\" è già stato eseguito il %2: non viene ripetuto.")
                    .arg(NomePasso(passo, m_anno), s.quando.toString(QStringLiteral("dd/MM/yyyy hh:mm"))));
    const int p = prossimo();
    if (p < passo)
        Rifiuta(QStringLiteral("Prima di \"%1\" occorre eseguire \"%2\".").arg(NomePasso(passo, m_anno), NomePasso(p, m_anno)));
}

QString TChiusura::eseguiSalvataggio() {
    controllaProssimo(Salvataggio);
    creaTabella();
    const QString rifiuto = CopiaDati::MotivoRifiuto(&m_archivio);
    if (!rifiuto.isEmpty()) Rifiuta(rifiuto);
    const QString nomeGiorno = CopiaDati::NomeCartellaGiorno(Oggi());
    const QString giorno = CopiaDati::CartellaBackup(m_cartella) + nomeGiorno + QLatin1Char('/');
    if (!QDir().mkpath(giorno)) Rifiuta(QStringLiteral("Errore in creazione directory backup."));
    const QStringList file = CopiaDati::FileDaSalvare(m_cartella);
    // The copies are written and checked under hidden names on connections
    // of their own, and take their names only when all are written: a stop
    // leaves the day folder with the copies it had.
    CopiaDati::TEsitoSalvataggio esito;
    esegui({QStringLiteral("Salvataggio dei dati in corso"), TUnitaAvanzamento::Byte, false,
            [&](TContestoLavoro& c) { esito = CopiaDati::SalvaCartella(m_cartella, giorno, file, &c); }});
    if (!esito.errori.isEmpty())
        Rifiuta(QStringLiteral("Errore durante la copia del file \"%1\"\n%2\nIl salvataggio non è completo: ripetere il passo.")
                    .arg(QDir::toNativeSeparators(m_cartella + esito.errori.first().first), esito.errori.first().second));
    const QString testo = QStringLiteral("Salvati %1 file in backup/%2.").arg(file.size()).arg(nomeGiorno);
    scrivi(Salvataggio, Stato::Fatto, testo);
    return testo;
}

QString TChiusura::segnaInventario(bool eseguito) {
    controllaProssimo(Inventario);
    creaTabella();
    const QString testo = eseguito ? QStringLiteral("Inventario fisico eseguito.") : QStringLiteral("Inventario fisico saltato.");
    scrivi(Inventario, eseguito ? Stato::Fatto : Stato::Saltato, testo);
    return testo;
}

QString TChiusura::segnaStampaInventario() {
    controllaProssimo(StampaInventario);
    creaTabella();
    const QString testo = QStringLiteral("Inventario valorizzato stampato.");
    scrivi(StampaInventario, Stato::Fatto, testo);
    return testo;
}

QString TChiusura::eseguiArchivio() {
    controllaProssimo(Archivio);
    creaTabella();
    const QString anni = CartellaAnni(m_cartella);
    const QString finale = CartellaAnno(m_cartella, m_anno);
    const QString nomeFinale = QDir::cleanPath(finale);
    const QString testoFatto = QStringLiteral("Archivio dell'anno %1 creato in %2.").arg(m_anno).arg(QDir::toNativeSeparators(nomeFinale));
    if (QFileInfo::exists(nomeFinale)) {
        // Renamed into place by a run that stopped before noting it.
        if (m_stati[Archivio].stato == Stato::InCorso) {
            scrivi(Archivio, Stato::Fatto, testoFatto);
            return testoFatto;
        }
        Rifiuta(QStringLiteral("L'anno %1 è già archiviato in %2: l'archivio esistente non viene sovrascritto.")
                    .arg(m_anno)
                    .arg(QDir::toNativeSeparators(nomeFinale)));
    }
    const QString rifiuto = CopiaDati::MotivoRifiuto(&m_archivio);
    if (!rifiuto.isEmpty()) Rifiuta(rifiuto + QStringLiteral("\nL'anno non è stato archiviato."));
    // The copy is written under a hidden name beside its place; what a
    // stopped run left there is thrown away first.
    const QString parziale = anni + QStringLiteral(".%1.parziale/").arg(m_anno);
    QDir(parziale).removeRecursively();
    if (!QDir().mkpath(parziale))
        Rifiuta(QStringLiteral("Impossibile creare la cartella %1.").arg(QDir::toNativeSeparators(parziale)));
    auto fallisci = [&](const QString& testo) {
        QDir(parziale).removeRecursively();
        Rifiuta(testo);
    };
    // The tables are copied as files, detached from the store's connection
    // meanwhile and attached again afterwards, however the copy ends.
    const QStringList prima = SchemiCollegati(m_archivio);
    m_archivio.scollegaTutte();
    const QStringList rimaste = SchemiCollegati(m_archivio);
    auto ricollega = [&] {
        for (const QString& schema : prima)
            if (!rimaste.contains(schema)) m_archivio.assicuraCollegata(schema);
    };
    QString errore;
    try {
        esegui({QStringLiteral("Archiviazione dell'anno %1 in corso").arg(m_anno), TUnitaAvanzamento::Byte, false,
                [&](TContestoLavoro& c) {
                    errore = CopiaLibri(m_cartella, parziale, c);
                    if (errore.isEmpty()) SincronizzaCartella(parziale);
                }});
    } catch (...) {
        QDir(parziale).removeRecursively();
        try {
            ricollega();
        } catch (const ErroreArchivio&) {
            // Attached again when next needed; the stop or failure is what the user hears of.
        }
        throw;
    }
    ricollega();
    if (!errore.isEmpty()) fallisci(errore + QStringLiteral("\nL'anno non è stato archiviato."));
    Osserva(0);
    scrivi(Archivio, Stato::InCorso, QStringLiteral("Archiviazione in corso."));
    Osserva(1);
    if (::rename(QFile::encodeName(QDir::cleanPath(parziale)).constData(), QFile::encodeName(nomeFinale).constData()) != 0) {
        scrivi(Archivio, Stato::DaFare, QString());
        fallisci(QStringLiteral("Impossibile dare il nome %1 all'archivio dell'anno.").arg(QDir::toNativeSeparators(nomeFinale)));
    }
    SincronizzaCartella(anni);
    Osserva(2);
    scrivi(Archivio, Stato::Fatto, testoFatto);
    return testoFatto;
}

QString TChiusura::eseguiAzzeramento() {
    controllaProssimo(Azzeramento);
    creaTabella();
    // One transaction on the worker's connection: the reset and its note, or
    // on a stop or a failure neither.
    QString testo;
    esegui({QStringLiteral("Azzeramento degli scarichi in corso"), TUnitaAvanzamento::Record, true, [&](TContestoLavoro& c) {
                TArchivio& a = TArchivio::corrente();
                // Attached before the transaction, which cannot attach.
                a.assicuraCollegata(Definizioni::Prodotti);
                a.assicuraCollegata(Definizioni::Storico);
                int prodotti = 0;
                TTransazione t(a);
                AzzeraScarichiProdotti([&](int fatti, int totale) {
                    prodotti = totale;
                    c.avanzamento(fatti, totale);
                    c.controlla();
                });
                testo = QStringLiteral("Scarichi azzerati su %1 prodotti.").arg(FormattaNumero(prodotti, 0));
                scrivi(a, Azzeramento, Stato::Fatto, testo);
                conferma(t, Azzeramento);
            }});
    return testo;
}

QString TChiusura::eseguiCancellazione() {
    controllaProssimo(CancellazioneStorico);
    creaTabella();
    QString testo;
    esegui({QStringLiteral("Cancellazione dello storico in corso"), TUnitaAvanzamento::Record, true, [&](TContestoLavoro& c) {
                TArchivio& a = TArchivio::corrente();
                a.assicuraCollegata(Definizioni::Storico);
                TTransazione t(a);
                int righe = 0;
                try {
                    righe = CancellaStoricoPeriodoScorrendo(QDate(1, 1, 1), ultimoGiorno(), [&c](qint64 lette, qint64 totale) {
                        c.avanzamento(lette, totale);
                        return !c.fermato();
                    });
                } catch (const ErroreArchivio&) {
                    c.controlla();
                    throw;
                }
                testo = QStringLiteral("Cancellate %1 righe dello storico fino al %2.")
                            .arg(FormattaNumero(righe, 0), ultimoGiorno().toString(QStringLiteral("dd/MM/yyyy")));
                scrivi(a, CancellazioneStorico, Stato::Fatto, testo);
                conferma(t, CancellazioneStorico);
            }});
    return testo;
}

}  // namespace ChiusuraAnno
