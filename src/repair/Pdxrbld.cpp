// Pdxrbld: checks, re-indexes and compacts every table file of a folder.
//
//   Pdxrbld.exe -Q+ -R1 "/F<folder>"
//
// First every *.db file of the folder is opened and locked; when one is held
// by another process the tool ends without having touched any. Then, for each:
// an integrity check, REINDEX, VACUUM, and a second integrity check.
// Exit codes: 0 done; 254 (the -2 of the calling program) when a table is held
// by another process; 1 when the folder cannot be read or a table stays
// damaged; 2 for a command line without a folder.

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int EsitoFatto = 0;
constexpr int EsitoDanni = 1;
constexpr int EsitoUso = 2;
constexpr int EsitoInUso = 254;  // -2 as a one-byte exit status
// How long a table held by someone else is waited for before giving up.
constexpr int AttesaMs = 500;

bool Quiet = false;

std::string Minuscolo(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The folder of a /F switch: "/Fpath", "-Fpath", "/F" "path", with or
// without quotes left in by a caller that quoted the whole switch.
std::string TogliVirgolette(std::string s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    else if (!s.empty() && s.front() == '"') s.erase(0, 1);
    else if (!s.empty() && s.back() == '"') s.pop_back();
    return s;
}

struct TComando {
    std::string cartella;
    bool valido = false;
};

TComando LeggiComando(int argc, char** argv) {
    TComando c;
    for (int i = 1; i < argc; ++i) {
        std::string a = TogliVirgolette(argv[i]);
        if (a.size() >= 2 && (a[0] == '/' || a[0] == '-') && (a[1] == 'F' || a[1] == 'f')) {
            std::string resto = TogliVirgolette(a.substr(2));
            if (resto.empty() && i + 1 < argc) resto = TogliVirgolette(argv[++i]);
            c.cartella = resto;
            c.valido = !resto.empty();
        } else if (a.size() >= 2 && (a[0] == '/' || a[0] == '-') && (a[1] == 'Q' || a[1] == 'q')) {
            Quiet = a.size() < 3 || a[2] != '-';
        }
        // -R1 (repair level) and anything else: nothing to choose here.
    }
    return c;
}

void Riporta(const std::string& testo) {
    if (!Quiet) std::fprintf(stderr, "Pdxrbld: %s\n", testo.c_str());
}

bool Occupato(int codice) {
    const int primario = codice & 0xFF;
    return primario == SQLITE_BUSY || primario == SQLITE_LOCKED;
}

// Runs a statement; the rows of its first column go into righe.
int Esegui(sqlite3* db, const char* sql, std::vector<std::string>* righe = nullptr) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    if (rc != SQLITE_OK) return rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (righe) {
            const unsigned char* t = sqlite3_column_text(st, 0);
            righe->emplace_back(t ? reinterpret_cast<const char*>(t) : "");
        }
    }
    sqlite3_finalize(st);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

enum class Esito { Fatto, InUso, Danni };

Esito Controlla(sqlite3* db, const std::string& nome, bool* integra) {
    std::vector<std::string> righe;
    const int rc = Esegui(db, "PRAGMA integrity_check", &righe);
    if (Occupato(rc)) return Esito::InUso;
    if (rc != SQLITE_OK) {
        Riporta(nome + ": " + sqlite3_errmsg(db));
        *integra = false;
        return Esito::Danni;
    }
    *integra = righe.size() == 1 && righe[0] == "ok";
    if (!*integra)
        for (const std::string& r : righe) Riporta(nome + ": " + r);
    return Esito::Fatto;
}

// A table file opened and held for the tool alone.
struct TTabella {
    fs::path file;
    std::string nome;
    sqlite3* db = nullptr;
};

void Chiudi(std::vector<TTabella>& tabelle) {
    for (TTabella& t : tabelle) sqlite3_close_v2(t.db);
    tabelle.clear();
}

// Opens a table and takes its exclusive lock, kept until the connection
// closes (exclusive locking mode): no other process reads or writes it while
// the tool works, and taking the lock changes nothing in the file.
Esito Prendi(TTabella* t) {
    int rc = sqlite3_open_v2(t->file.string().c_str(), &t->db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(t->db, AttesaMs);
        sqlite3_extended_result_codes(t->db, 1);
        rc = Esegui(t->db, "PRAGMA locking_mode = EXCLUSIVE");
    }
    if (rc == SQLITE_OK) rc = Esegui(t->db, "BEGIN EXCLUSIVE");
    if (rc == SQLITE_OK) rc = Esegui(t->db, "COMMIT");
    if (rc == SQLITE_OK) return Esito::Fatto;
    if (!Occupato(rc)) Riporta(t->nome + ": " + (t->db ? sqlite3_errmsg(t->db) : "apertura non riuscita"));
    sqlite3_close_v2(t->db);
    t->db = nullptr;
    return Occupato(rc) ? Esito::InUso : Esito::Danni;
}

// Integrity check, REINDEX, VACUUM and a second check on a table already held.
Esito RiparaTabella(const TTabella& t) {
    bool integra = false;
    Esito e = Controlla(t.db, t.nome, &integra);
    if (e != Esito::Fatto) return e;
    int rc = Esegui(t.db, "REINDEX");
    if (Occupato(rc)) return Esito::InUso;
    if (rc != SQLITE_OK) {
        Riporta(t.nome + ": REINDEX: " + sqlite3_errmsg(t.db));
        return Esito::Danni;
    }
    // VACUUM rewrites the file compactly.
    rc = Esegui(t.db, "VACUUM");
    if (Occupato(rc)) return Esito::InUso;
    if (rc != SQLITE_OK) Riporta(t.nome + ": VACUUM: " + sqlite3_errmsg(t.db));
    e = Controlla(t.db, t.nome, &integra);
    if (e != Esito::Fatto) return e;
    return integra && rc == SQLITE_OK ? Esito::Fatto : Esito::Danni;
}

}  // namespace

int main(int argc, char** argv) {
    const TComando c = LeggiComando(argc, argv);
    if (!c.valido) {
        std::fprintf(stderr, "uso: Pdxrbld.exe -Q+ -R1 \"/F<cartella>\"\n");
        return EsitoUso;
    }
    std::error_code err;
    const fs::path cartella(c.cartella);
    std::vector<fs::path> tabelle;
    for (fs::directory_iterator it(cartella, err), fine; !err && it != fine; it.increment(err)) {
        if (!it->is_regular_file(err)) continue;
        if (Minuscolo(it->path().extension().string()) == ".db") tabelle.push_back(it->path());
    }
    if (err) {
        Riporta(c.cartella + ": " + err.message());
        return EsitoDanni;
    }
    std::sort(tabelle.begin(), tabelle.end());
    // Every table is taken before any is touched: when one is held by another
    // process the tool ends having changed none.
    bool danni = false;
    std::vector<TTabella> prese;
    for (const fs::path& f : tabelle) {
        TTabella t{f, f.filename().string()};
        switch (Prendi(&t)) {
        case Esito::InUso:
            Riporta(t.nome + ": in uso da un altro processo");
            Chiudi(prese);
            return EsitoInUso;
        case Esito::Danni: danni = true; break;  // not a table that can be opened: left as it is
        case Esito::Fatto: prese.push_back(t); break;
        }
    }
    for (const TTabella& t : prese)
        if (RiparaTabella(t) != Esito::Fatto) danni = true;
    Chiudi(prese);
    return danni ? EsitoDanni : EsitoFatto;
}
