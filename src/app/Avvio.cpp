#include "app/Avvio.h"

#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/engine/Archivio.h"
#include "gui/LavoroLungo.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "tools/CopiaDati.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

bool CartellaScrivibile(const QString& cartella) {
    return ::access(QFile::encodeName(cartella).constData(), W_OK | X_OK) == 0;
}

}  // namespace

TBloccoCartella::TBloccoCartella(const QString& cartella) {
    const QString dir = QDir::cleanPath(cartella) + QLatin1Char('/');
    // A folder that cannot be written is reported before anything is created
    // in it, the lock file included.
    if (!CartellaScrivibile(dir)) return;
    m_fd = ::open(QFile::encodeName(dir + NomeFileBlocco).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0) return;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        m_esito = (errno == EWOULDBLOCK) ? InUso : NonScrivibile;
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_esito = Preso;
}

TBloccoCartella::~TBloccoCartella() {
    if (m_fd >= 0) ::close(m_fd);
}

QString MessaggioCartellaInUso(const QString& cartella) {
    return QStringLiteral("Il programma è già aperto sulla cartella %1.\n"
                          "Una seconda copia non può lavorare sugli stessi archivi: chiudere l'altra copia e riprovare.")
        .arg(QDir::toNativeSeparators(cartella));
}

QString MessaggioCartellaNonScrivibile(const QString& cartella) {
    return QStringLiteral("Non è possibile scrivere nella cartella del programma %1.\n"
                          "Il programma non può aggiornare i suoi archivi: controllare i permessi della cartella "
                          "o che il disco non sia in sola lettura.")
        .arg(QDir::toNativeSeparators(cartella));
}

TAvvioCartella::TAvvioCartella(const QString& cartella) : m_blocco(cartella) {
    switch (m_blocco.esito()) {
    case TBloccoCartella::InUso: MostraAttenzione(MessaggioCartellaInUso(cartella)); return;
    case TBloccoCartella::NonScrivibile: MostraErrore(MessaggioCartellaNonScrivibile(cartella)); return;
    case TBloccoCartella::Preso: break;
    }
    // Under the lock no other copy is writing: what a killed run left behind
    // can be recovered and cleared safely. A stopped restore comes first: the
    // journals of the files it replaces must go, not be played back.
    const QString ripresa = CopiaDati::ConcludiOperazioniInterrotte(cartella);
    if (!ripresa.isEmpty()) MostraAttenzione(ripresa);
    TArchivio::recuperaAvanzi(cartella);
}

void CreaTabelleAllAvvio(QLabel* avanzamento) {
    TResocontoTabelle resoconto;
    auto mostra = [&resoconto] {
        for (const TAvvisoTabelle& a : resoconto) {
            if (a.attenzione) MostraAttenzione(a.testo);
            else MostraMessaggio(a.testo);
        }
    };
    try {
        TCursoreOccupato cursore;
        TArchivio& a = TArchivio::corrente();
        // The program's connection lets go of the table files: a file that
        // a rebuild replaces is attached anew when it is next used.
        a.scollegaTutte();
        const QString cartella = a.cartella();
        TLavoroLungo lavoro(nullptr, QStringLiteral("Aggiornamento degli archivi"));
        lavoro.senzaStop();
        if (avanzamento) {
            lavoro.senzaBox();
            lavoro.aggiungiEtichetta(avanzamento);
        }
        lavoro.esegui([&](TContestoLavoro& c) {
            const TArchivioDelThread proprio(cartella);
            CreaTabelleGenerali(&resoconto);
            CreaTabelle(&resoconto, [&c](const QString& tabella, qint64 fatti, qint64 totale) {
                c.fase(QStringLiteral("Ricostruzione della tabella %1").arg(tabella));
                c.avanzamento(fatti, totale);
            });
        });
    } catch (...) {
        mostra();
        throw;
    }
    mostra();
}
