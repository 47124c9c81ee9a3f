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

namespace {

// The Italian words for each engine result code the user may meet: the text
// that opens a message, and the phrase that names the cause inside a sentence
// ("... non aggiornata: disco pieno").
struct TTestoMotore {
    int codice;
    const char* testo;
    const char* causa;
};

constexpr TTestoMotore TestiMotore[] = {
    {SQLITE_BUSY, "Archivio bloccato da un altro programma", "tabella in uso da un altro programma"},
    {SQLITE_LOCKED, "Archivio bloccato da un altro programma", "tabella in uso da un altro programma"},
    {SQLITE_NOTADB, "Archivio illeggibile o danneggiato", "archivio danneggiato"},
    {SQLITE_CORRUPT, "Archivio illeggibile o danneggiato", "archivio danneggiato"},
    {SQLITE_CANTOPEN, "Impossibile aprire il file", "cartella non scrivibile"},
    {SQLITE_IOERR, "Errore di lettura o scrittura sul disco", "errore di lettura o scrittura sul disco"},
    {SQLITE_FULL, "Disco pieno", "disco pieno"},
    {SQLITE_READONLY, "Archivio in sola lettura", "cartella non scrivibile"},
    {SQLITE_PERM, "Accesso al file negato", "cartella non scrivibile"},
    {SQLITE_AUTH, "Accesso al file negato", "errore di lettura o scrittura sul disco"},
    {SQLITE_NOMEM, "Memoria esaurita", "memoria esaurita"},
};
constexpr TTestoMotore TestoMotoreAltro = {0, "Errore dell'archivio", "errore di lettura o scrittura sul disco"};

const TTestoMotore& TestoMotore(int codiceMotore) {
    for (const TTestoMotore& t : TestiMotore)
        if (t.codice == (codiceMotore & 0xff)) return t;
    return TestoMotoreAltro;
}

}  // namespace

QString TestoErroreMotore(int codiceMotore, const QString& dettaglio) {
    const QString testo = QString::fromUtf8(TestoMotore(codiceMotore).testo);
    return dettaglio.isEmpty() ? testo : QStringLiteral("%1 (%2)").arg(testo, dettaglio);
}

QString CausaErroreMotore(int codiceMotore) { return QString::fromUtf8(TestoMotore(codiceMotore).causa); }

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
