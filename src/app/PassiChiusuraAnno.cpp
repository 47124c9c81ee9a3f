#include "app/PassiChiusuraAnno.h"

#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/FileTabelle.h"
#include "movements/Azzeramenti.h"
#include "tools/CopiaDati.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <sqlite3.h>
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
// archived year starts with no year end of its own under way.
QString TogliPassiDallaCopia(const QString& storico) {
    if (!QFileInfo::exists(storico)) return {};
    sqlite3* h = nullptr;
    QString errore;
    if (sqlite3_open_v2(QFile::encodeName(storico).constData(), &h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        errore = QString::fromUtf8(sqlite3_errmsg(h));
    } else {
        const QByteArray sql = QStringLiteral("DROP TABLE IF EXISTS \"%1\"").arg(TabellaPassi).toUtf8();
        if (sqlite3_exec(h, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) errore = QString::fromUtf8(sqlite3_errmsg(h));
    }
    sqlite3_close(h);
    return errore;
}

// Copies the books of the program folder into the folder `destinazione`
// (which ends with "/"), every file a backup takes. The tables are detached
// from the store first and copied as files, which is the kernel's copy and
// a fraction of the engine's page-by-page backup; a table with a journal
// beside it (a write that never finished) is copied through the engine's
// backup instead, which rolls the journal back. Each table's copy is then
// checked with integrity_check, the checks side by side on their own
// connections, and synced. Empty on success, otherwise what failed.
QString CopiaLibri(TArchivio& a, const QString& cartella, const QString& destinazione) {
    const QString rifiuto = CopiaDati::MotivoRifiuto(&a);
    if (!rifiuto.isEmpty()) return rifiuto;
    const QStringList file = CopiaDati::FileDaSalvare(cartella);
    a.scollegaTutte();
    QVector<QString> daControllare;
    for (const QString& f : file) {
        const QString sorgente = cartella + f, copia = destinazione + f;
        const bool tabella = CopiaDati::TabellaDelProgramma(f);
        if (tabella && QFileInfo::exists(sorgente + QStringLiteral("-journal"))) {
            const QString errore = CopiaDati::SalvaFile(&a, sorgente, copia);
            if (!errore.isEmpty()) return QStringLiteral("Errore durante la copia del file \"%1\"\n%2").arg(QDir::toNativeSeparators(sorgente), errore);
            continue;
        }
        std::error_code ec;
        std::filesystem::copy_file(QFile::encodeName(sorgente).toStdString(), QFile::encodeName(copia).toStdString(),
                                   std::filesystem::copy_options::overwrite_existing, ec);
        if (ec)
            return QStringLiteral("Errore durante la copia del file \"%1\"\n%2")
                .arg(QDir::toNativeSeparators(sorgente), QString::fromLocal8Bit(ec.message().c_str()));
        if (tabella) daControllare << copia;
        else SincronizzaFile(copia);
    }
    std::vector<std::future<QString>> controlli;
    for (const QString& copia : daControllare)
        controlli.push_back(std::async(std::launch::async, [copia] {
            const QString esito = CopiaDati::ControllaIntegrita(copia);
            if (esito.isEmpty()) SincronizzaFile(copia);
            return esito;
        }));
    QString errore;
    for (int i = 0; i < int(controlli.size()); ++i) {
        const QString esito = controlli[i].get();
        if (!esito.isEmpty() && errore.isEmpty())
            errore = QStringLiteral("La copia del file \"%1\" è danneggiata (%2).")
                         .arg(QDir::toNativeSeparators(daControllare[i]), esito);
    }
    return errore;
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

void TChiusura::scrivi(int passo, Stato stato, const QString& testo) {
    const QDateTime quando = Adesso();
    m_archivio.esegui(QStringLiteral("INSERT OR REPLACE INTO %1 (%2, %3, %4, %5, %6) VALUES (?, ?, ?, ?, ?)")
                          .arg(NomeTabellaPassi(m_archivio), CampoAnno, CampoPasso, CampoStato, CampoTesto, CampoQuando),
                      {m_anno, passo, static_cast<int>(stato), testo, quando.toString(Qt::ISODate)});
    m_stati[passo] = {stato, testo, quando};
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
    const QString nomeGiorno = CopiaDati::NomeCartellaGiorno(Oggi());
    const QString giorno = CopiaDati::CartellaBackup(m_cartella) + nomeGiorno + QLatin1Char('/');
    if (!QDir().mkpath(giorno)) Rifiuta(QStringLiteral("Errore in creazione directory backup."));
    const QStringList file = CopiaDati::FileDaSalvare(m_cartella);
    for (const QString& f : file) {
        const QString errore = CopiaDati::SalvaFile(&m_archivio, m_cartella + f, giorno + f);
        if (!errore.isEmpty())
            Rifiuta(QStringLiteral("Errore durante la copia del file \"%1\"\n%2\nIl salvataggio non è completo: ripetere il passo.")
                        .arg(QDir::toNativeSeparators(m_cartella + f), errore));
    }
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
    const QString errore = CopiaLibri(m_archivio, m_cartella, parziale);
    if (!errore.isEmpty()) fallisci(errore + QStringLiteral("\nL'anno non è stato archiviato."));
    const QString erroreStorico = TogliPassiDallaCopia(parziale + Definizioni::Storico);
    if (!erroreStorico.isEmpty()) fallisci(QStringLiteral("Errore nella copia dello storico: %1\nL'anno non è stato archiviato.").arg(erroreStorico));
    SincronizzaCartella(parziale);
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
    // Attached before the transaction, which cannot attach.
    m_archivio.assicuraCollegata(Definizioni::Prodotti);
    m_archivio.assicuraCollegata(Definizioni::Storico);
    int prodotti = 0;
    TTransazione t(m_archivio);
    AzzeraScarichiProdotti([&prodotti](int, int totale) { prodotti = totale; });
    const QString testo = QStringLiteral("Scarichi azzerati su %1 prodotti.").arg(prodotti);
    scrivi(Azzeramento, Stato::Fatto, testo);
    conferma(t, Azzeramento);
    return testo;
}

QString TChiusura::eseguiCancellazione() {
    controllaProssimo(CancellazioneStorico);
    creaTabella();
    m_archivio.assicuraCollegata(Definizioni::Storico);
    TTransazione t(m_archivio);
    const int righe = CancellaStoricoPeriodo(QDate(1, 1, 1), ultimoGiorno());
    const QString testo = QStringLiteral("Cancellate %1 righe dello storico fino al %2.")
                              .arg(righe)
                              .arg(ultimoGiorno().toString(QStringLiteral("dd/MM/yyyy")));
    scrivi(CancellazioneStorico, Stato::Fatto, testo);
    conferma(t, CancellazioneStorico);
    return testo;
}

}  // namespace ChiusuraAnno
