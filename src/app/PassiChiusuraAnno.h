#pragma once
// The steps of the guided year end, without any window: the backup, the
// optional stocktake, the valued inventory, the archive of the books into
// `anni/<year>/` of the program folder, the reset of the unloads and the
// deletion of the history up to the year's last day.
//
// What each step did is kept in a small table in the history's file
// ("chiusureanno"), one row per year and step, so that the year end can be
// left and resumed and no step runs twice. The two steps that change the live
// books write their row in the same transaction as their change: a killed run
// has either done the step and noted it, or neither. The archive is written
// under a hidden name and renamed into place, and noted as started before the
// rename, so that a resumed run knows whether the rename happened.
//
// The long part of a step (the copies of the backup and of the archive, the
// reset, the deletion) is handed to an executor: the window runs it beside
// its event loop, with a progress box and "Stop"; without one it runs here.
// What needs the store's own connection (detaching and attaching the
// tables, the step's notes outside a transaction) is done before and after,
// in the caller's thread.
//
// Every failure is an ErroreArchivio with an Italian text; a step that fails
// or is stopped leaves the live books as they were before it and is not
// noted as done.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "gui/LavoroLungo.h"

class TArchivio;
class TTransazione;

namespace ChiusuraAnno {

enum Passo : int {
    Salvataggio = 0,
    Inventario,
    StampaInventario,
    Archivio,
    Azzeramento,
    CancellazioneStorico,
    NumeroPassi
};

enum class Stato : int { DaFare = 0, InCorso = 1, Fatto = 2, Saltato = 3 };

struct TStatoPasso {
    Stato stato = Stato::DaFare;
    QString testo;      // what the step did, in Italian
    QDateTime quando;   // when it was noted
    bool concluso() const { return stato == Stato::Fatto || stato == Stato::Saltato; }
};

// The step's name as the window lists it.
QString NomePasso(int passo, int anno);

// The folder of the archived years of a program folder ("…/anni/", ending
// with "/"), and the one of a year.
QString CartellaAnni(const QString& cartellaProgramma);
QString CartellaAnno(const QString& cartellaProgramma, int anno);
// The archived years found in `anni/`: the folders named by four digits,
// in ascending order (the hidden copies of a year being written are not).
QStringList AnniArchiviati(const QString& cartellaProgramma);

// The long part of a step, for an executor to run.
struct TLavoroPasso {
    QString titolo;  // what the progress box says
    TUnitaAvanzamento unita = TUnitaAvanzamento::Record;
    // The work reads and writes the books through TArchivio::corrente(): a
    // runner in a worker thread opens a connection of the worker's own
    // (TArchivioDelThread) for it.
    bool conArchivio = false;
    std::function<void(TContestoLavoro&)> lavoro;
};
// Runs the work and returns when it has ended; what the work raises
// (ErroreLavoroFermato after a stop) is raised again from it.
using TEsecutore = std::function<void(const TLavoroPasso&)>;

// The year end of one year on the store of a program folder.
class TChiusura {
public:
    TChiusura(TArchivio& a, const QString& cartellaProgramma, int anno);

    // The year whose year end was started and not finished, 0 when none.
    static int AnnoInSospeso(TArchivio& a);

    int anno() const { return m_anno; }
    QDate ultimoGiorno() const { return QDate(m_anno, 12, 31); }
    TStatoPasso stato(int passo) const { return m_stati.value(passo); }
    // The first step not done nor skipped; NumeroPassi when all are.
    int prossimo() const;
    bool iniziata() const;
    bool conclusa() const { return prossimo() == NumeroPassi; }
    // Reads the steps' state again from the table.
    void rileggi();
    // Who runs the long part of the steps; by default it runs here, in the
    // caller's thread, on the program's store.
    void impostaEsecutore(TEsecutore esecutore) { m_esecutore = std::move(esecutore); }

    // The backup of the live tables into today's folder of `backup`.
    QString eseguiSalvataggio();
    // Notes the steps done through their own windows: the stocktake (done
    // when a count was posted, or skipped) and the valued inventory report.
    QString segnaInventario(bool eseguito);
    QString segnaStampaInventario();
    // A complete copy of the books into anni/<year>/, refused when that
    // folder exists from another year end. The copies are written under a
    // hidden folder beside it; a stop or a failure removes that folder and
    // attaches the tables again.
    QString eseguiArchivio();
    // "Azzera scarichi" in the live books, noted in the same transaction.
    QString eseguiAzzeramento();
    // The history rows dated up to the year's last day, deleted and noted in
    // one transaction.
    QString eseguiCancellazione();

private:
    void controllaProssimo(int passo) const;
    void scrivi(int passo, Stato stato, const QString& testo);
    void scrivi(TArchivio& a, int passo, Stato stato, const QString& testo);
    void creaTabella();
    void conferma(TTransazione& t, int passo);
    void esegui(const TLavoroPasso& lavoro);

    TArchivio& m_archivio;
    QString m_cartella;
    int m_anno;
    QVector<TStatoPasso> m_stati;
    TEsecutore m_esecutore;
};

// Called by the archive step at its points: 0 once the copy is complete
// under its hidden name, 1 once noted as started, 2 once renamed into place;
// PuntoFileCopiato after each file copied (in the worker that copies).
// Nothing is called unless a test sets it (a test throws from it to stop the
// step there, as a killed run would).
using TOsservatoreArchivio = void (*)(int punto);
constexpr int PuntoFileCopiato = 10;
void ImpostaOsservatoreArchivio(TOsservatoreArchivio osservatore);

}  // namespace ChiusuraAnno
