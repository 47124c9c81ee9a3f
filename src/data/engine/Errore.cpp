#include "data/engine/Errore.h"

#include <sqlite3.h>

ErroreArchivio::ErroreArchivio(const QString& testo, int contestoAiuto, int codiceMotore)
    : std::runtime_error(testo.toStdString()), m_testo(testo), m_contesto(contestoAiuto), m_codice(codiceMotore) {}

void Verifica(bool condizione, const QString& testo) {
    if (!condizione) throw ErroreArchivio(testo);
}

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
