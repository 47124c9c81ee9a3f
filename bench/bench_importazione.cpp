// The import of 100,000 products with their producer and category names into
// a new book: the whole path (reading, checks, backup, one transaction)
// against a plain insert of the same rows through the SQLite C API in one
// transaction, the producers and categories found in maps. From a CSV (the
// anchor splits it by hand) and from a workbook (the anchor reads it with
// the library's own document model). Peak memory is measured on our run.

#include "Misura.h"
#include "data/CartellaProgramma.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "tools/Importazione.h"
#include "tools/LetturaSorgente.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <sqlite3.h>
#include <xlsxwriter.h>

#include <cstring>

namespace {

constexpr int Righe = 100000;


struct TRiga {
    QString codice, descrizione, fornitore, categoria;
    double prezzo, prezzo2;
};

TRiga RigaN(int i) {
    return {QStringLiteral("COD%1").arg(i), QStringLiteral("Descrizione dell'articolo numero %1").arg(i),
            QStringLiteral("Produttore %1").arg(i % 200), QStringLiteral("Categoria %1").arg(i % 40), i % 90 + 0.25,
            i % 120 + 0.75};
}

QString Testo(double v) { return QString::number(v, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')); }

void ScriviCsv(const QString& file) {
    QByteArray b = "Codice;Descrizione;Prezzo A.;Prezzo V.;Fornitore;Categoria\r\n";
    for (int i = 1; i <= Righe; ++i) {
        const TRiga r = RigaN(i);
        b += QStringList({r.codice, r.descrizione, Testo(r.prezzo), Testo(r.prezzo2), r.fornitore, r.categoria})
                 .join(QLatin1Char(';'))
                 .toUtf8() +
             "\r\n";
    }
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(b);
}

void ScriviXlsx(const QString& file) {
    lxw_workbook* wb = workbook_new(QFile::encodeName(file).constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    const char* h[] = {"Codice", "Descrizione", "Prezzo A.", "Prezzo V.", "Fornitore", "Categoria"};
    for (int c = 0; c < 6; ++c) worksheet_write_string(ws, 0, c, h[c], nullptr);
    for (int i = 1; i <= Righe; ++i) {
        const TRiga r = RigaN(i);
        worksheet_write_string(ws, i, 0, r.codice.toUtf8().constData(), nullptr);
        worksheet_write_string(ws, i, 1, r.descrizione.toUtf8().constData(), nullptr);
        worksheet_write_number(ws, i, 2, r.prezzo, nullptr);
        worksheet_write_number(ws, i, 3, r.prezzo2, nullptr);
        worksheet_write_string(ws, i, 4, r.fornitore.toUtf8().constData(), nullptr);
        worksheet_write_string(ws, i, 5, r.categoria.toUtf8().constData(), nullptr);
    }
    workbook_close(wb);
}

// A new book: the program's tables, created as at start-up.
void NuovoLibro(const QString& cartella) {
    QDir(cartella).removeRecursively();
    QDir().mkpath(cartella);
    ImpostaCartellaProgramma(cartella);
    TArchivio::apriCorrente(cartella);
    CreaTabelleGenerali();
    CreaTabelle();
    TArchivio::chiudiCorrente();
}

// The plain insert of the rows into the book's files, one transaction.
void InserimentoPiano(const QString& cartella, const std::vector<TRiga>& righe) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(cartella + QStringLiteral("/prodotti.db")).constData(), &db);
    sqlite3_exec(db, QStringLiteral("ATTACH '%1/produttori.db' AS produttori; ATTACH '%1/cat.db' AS cat; BEGIN IMMEDIATE")
                         .arg(cartella).toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_stmt *p = nullptr, *f = nullptr, *c = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO main.prodotti (ID, NOME, DESCRIZIONE, PREZZO, PREZZO2, IDPRODUTTORE, IDCATEGORIA, "
                           "CARICHI, SCARICHI, QUANTITA, GIACENZAMAX, DATAOGGI) VALUES (?,?,?,?,?,?,?,0,0,0,0,'2024-01-01')",
                       -1, &p, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO produttori.produttori (ID, NOME, COGNOME) VALUES (?,?,'')", -1, &f, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO cat.cat (ID, CATEGORIA) VALUES (?,?)", -1, &c, nullptr);
    QHash<QString, int> fornitori, categorie;
    const auto cerca = [](QHash<QString, int>& m, sqlite3_stmt* st, const QString& nome) {
        auto it = m.find(nome);
        if (it != m.end()) return it.value();
        const int id = int(m.size()) + 1;
        m.insert(nome, id);
        const QByteArray n = nome.toUtf8();
        sqlite3_bind_int(st, 1, id);
        sqlite3_bind_text(st, 2, n.constData(), int(n.size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
        return id;
    };
    int id = 0;
    for (const TRiga& r : righe) {
        const QByteArray cod = r.codice.toUtf8(), des = r.descrizione.toUtf8();
        sqlite3_bind_int(p, 1, ++id);
        sqlite3_bind_text(p, 2, cod.constData(), int(cod.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(p, 3, des.constData(), int(des.size()), SQLITE_TRANSIENT);
        sqlite3_bind_double(p, 4, r.prezzo);
        sqlite3_bind_double(p, 5, r.prezzo2);
        sqlite3_bind_int(p, 6, cerca(fornitori, f, r.fornitore));
        sqlite3_bind_int(p, 7, cerca(categorie, c, r.categoria));
        if (sqlite3_step(p) != SQLITE_DONE) std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        sqlite3_reset(p);
    }
    sqlite3_finalize(p);
    sqlite3_finalize(f);
    sqlite3_finalize(c);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The anchor's reading of the CSV: a plain split by lines and by ";".
std::vector<TRiga> DivisionePiana(const QString& file) {
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    const QByteArray b = f.readAll();
    std::vector<TRiga> r;
    bool prima = true;
    for (const QByteArray& linea : b.split('\n')) {
        if (prima || linea.isEmpty()) {
            prima = false;
            continue;
        }
        const QList<QByteArray> c = linea.trimmed().split(';');
        if (c.size() < 6) continue;
        r.push_back({QString::fromUtf8(c[0]), QString::fromUtf8(c[1]), QString::fromUtf8(c[4]), QString::fromUtf8(c[5]),
                     QString::fromUtf8(c[2]).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(),
                     QString::fromUtf8(c[3]).replace(QLatin1Char(','), QLatin1Char('.')).toDouble()});
    }
    return r;
}

// The anchor's reading of the workbook: the library's own document model
// reads it; the rows inserted are then taken as generated (reading them back
// from the model needs the formula engine's headers, and costs about as much
// as making them).
std::vector<TRiga> LetturaLibreria(const QString& file) {
    namespace ss = orcus::spreadsheet;
    ss::document doc({1048576, 16384});
    ss::import_factory fabbrica(doc);
    orcus::orcus_xlsx lettore(&fabbrica);
    lettore.read_file(QFile::encodeName(file).toStdString());
    std::vector<TRiga> r;
    r.reserve(Righe);
    if (doc.get_sheet_count() < 1) return r;
    for (int i = 1; i <= Righe; ++i) r.push_back(RigaN(i));
    return r;
}

double Nostro(const QString& cartella, const QString& file) {
    ImpostaCartellaProgramma(cartella);
    TArchivio::apriCorrente(cartella);
    double tempo = Misura::Tempo([&] {
        const TSorgente s = LeggiSorgente(file);
        TOpzioniImportazione o;
        o.destinazioni = ProponiDestinazioni(o.tipo, s.intestazioni);
        const TEsitoImportazione e = EseguiImportazione(TArchivio::corrente(), s, o);
        if (!e.riuscita() || e.analisi.nuovi != Righe)
            std::fprintf(stderr, "importazione: %s (%d nuovi)\n", qPrintable(e.errore), e.analisi.nuovi);
    });
    TArchivio::chiudiCorrente();
    return tempo;
}

void Misura1(const char* nome, const QString& base, const QString& file,
             const std::function<std::vector<TRiga>(const QString&)>& letturaAncora) {
    const QString libro = base + QStringLiteral("/libro");
    std::vector<double> nostri, ancore;
    double picco = 0;
    for (int giro = 0; giro < 3; ++giro) {
        NuovoLibro(libro);
        Misura::AzzeraPiccoMemoria();
        nostri.push_back(Nostro(libro, file));
        picco = std::max(picco, Misura::PiccoMemoriaMb());
        NuovoLibro(libro);
        ancore.push_back(Misura::Tempo([&] { InserimentoPiano(libro, letturaAncora(file)); }));
    }
    Misura::Riga(nome, Misura::MedianaDi(nostri), Misura::MedianaDi(ancore), picco);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("prodotti.csv"));
    const QString xlsx = dir.filePath(QStringLiteral("prodotti.xlsx"));
    ScriviCsv(csv);
    ScriviXlsx(xlsx);
    Misura1("importazione_csv_100k", dir.path(), csv, DivisionePiana);
    Misura1("importazione_xlsx_100k", dir.path(), xlsx, LetturaLibreria);
    return 0;
}
