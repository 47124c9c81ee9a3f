// The export of 1,000,000 history rows by a model of all fields: the text
// file against the engine writing the same lines with its own printf(), and
// the workbook against a plain libxlsxwriter loop writing the same typed
// cells. Both anchors run in this process through the SQLite C API; the two
// text files are compared with cmp.

#include "LibroGrande.h"
#include "Misura.h"
#include "data/engine/Definizioni.h"
#include "tools/ConnessioneLettura.h"
#include "tools/EsportazioneFoglio.h"
#include "tools/EsportazioneTesto.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>
#include <xlsxwriter.h>

namespace {


sqlite3* ApriStorico(const QString& libro) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(QDir(libro).filePath(Definizioni::Storico)).constData(), &db,
                    SQLITE_OPEN_READONLY, nullptr);
    return db;
}

// One history field's piece of a text line, written by the engine's printf():
// the layout of the text export with no formatting settings.
QString PezzoSql(const TDefCampo& c) {
    const QString n = QStringLiteral("\"%1\"").arg(c.nome);
    switch (c.tipo) {
    case TTipoCampo::String: return QStringLiteral("printf('%!-%1.%1s', coalesce(%2, ''))").arg(c.dimensione).arg(n);
    case TTipoCampo::Integer: return QStringLiteral("printf('%14d', coalesce(%1, 0))").arg(n);
    case TTipoCampo::Float: return QStringLiteral("replace(printf('%14.3f', coalesce(%1, 0)), '.', ',')").arg(n);
    case TTipoCampo::Date: return QStringLiteral("coalesce(strftime('%d/%m/%Y', %1), '          ')").arg(n);
    case TTipoCampo::Boolean:
        return QStringLiteral("case when %1 is null then '     ' when %1 then 'True ' else 'False' end").arg(n);
    case TTipoCampo::Memo: break;
    }
    return QStringLiteral("''");
}

QByteArray SqlRighe() {
    QStringList pezzi;
    for (const TDefCampo& c : Definizioni::CampiStorico()) pezzi << PezzoSql(c);
    return QStringLiteral("select %1 || char(13, 10) from storico order by rowid").arg(pezzi.join(QStringLiteral(" || "))).toUtf8();
}

void AncoraTesto(const QString& libro, const QString& file) {
    sqlite3* db = ApriStorico(libro);
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = SqlRighe();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
    FILE* f = std::fopen(QFile::encodeName(file).constData(), "wb");
    while (sqlite3_step(st) == SQLITE_ROW)
        std::fwrite(sqlite3_column_text(st, 0), 1, static_cast<size_t>(sqlite3_column_bytes(st, 0)), f);
    std::fclose(f);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

// The same typed cells as the export: numbers, dates, texts; header in bold.
void AncoraFoglio(const QString& libro, const QString& file) {
    sqlite3* db = ApriStorico(libro);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "select * from storico order by rowid", -1, &st, nullptr);
    lxw_workbook_options o{};
    o.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(QFile::encodeName(file).constData(), &o);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Storico");
    lxw_format* b = workbook_add_format(wb);
    format_set_bold(b);
    lxw_format* fd = workbook_add_format(wb);
    format_set_num_format(fd, "dd/mm/yyyy");
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i) {
        worksheet_set_column(ws, i, i, 20, nullptr);
        worksheet_write_string(ws, 0, i, sqlite3_column_name(st, i), b);
    }
    lxw_row_t r = 2;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_NULL: break;
            case SQLITE_INTEGER:
            case SQLITE_FLOAT: worksheet_write_number(ws, r, i, sqlite3_column_double(st, i), nullptr); break;
            default: {
                const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                const char* decl = sqlite3_column_decltype(st, i);
                if (decl && std::strncmp(decl, "DATE", 4) == 0) {
                    lxw_datetime d{std::atoi(t), std::atoi(t + 5), std::atoi(t + 8), 0, 0, 0};
                    worksheet_write_datetime(ws, r, i, &d, fd);
                } else {
                    worksheet_write_string(ws, r, i, t, nullptr);
                }
            }
            }
        }
        ++r;
    }
    workbook_close(wb);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString libro = dir.filePath(QStringLiteral("libro"));
    const QString uscita = dir.filePath(QStringLiteral("uscita"));
    QDir().mkpath(libro);
    QDir().mkpath(uscita);
    LibroGrande::Riempi(libro);
    ImpostaCartellaProgramma(libro);
    const QString modello = QStringLiteral("select * from storico.db");

    // Text: ours and the anchor, alternated, the median of three each.
    const QString nostro = QDir(uscita).filePath(QStringLiteral("nostro.txt"));
    const QString ancora = QDir(uscita).filePath(QStringLiteral("ancora.txt"));
    Misura::AzzeraPiccoMemoria();
    const double tNostro = Misura::Mediana(3, [&] {
        TConnessioneLettura c(libro);
        c.prepara(modello);
        EsportaTesto(c, QString(), nostro);
    });
    const double rssTesto = Misura::PiccoMemoriaMb();
    const double tAncora = Misura::Mediana(3, [&] { AncoraTesto(libro, ancora); });
    const bool uguali = QProcess::execute(QStringLiteral("cmp"), {nostro, ancora}) == 0;
    if (!uguali) std::fprintf(stderr, "i due file di testo differiscono\n");
    std::fprintf(stderr, "file di testo: %lld byte\n", static_cast<long long>(QFileInfo(nostro).size()));
    QFile::remove(nostro);
    QFile::remove(ancora);
    Misura::Riga("esportazione_testo_1m", tNostro, tAncora, rssTesto);

    // Workbook: one run each (a run takes tens of seconds), ours first.
    Misura::AzzeraPiccoMemoria();
    const double fNostro = Misura::Mediana(1, [&] {
        TConnessioneLettura c(libro);
        c.prepara(modello);
        EsportaFoglio(c, QStringLiteral("Storico"), uscita);
    });
    const double rssFoglio = Misura::PiccoMemoriaMb();
    const QString ancoraFoglio = QDir(uscita).filePath(QStringLiteral("ancora.xlsx"));
    const double fAncora = Misura::Mediana(1, [&] { AncoraFoglio(libro, ancoraFoglio); });
    Misura::Riga("esportazione_xlsx_1m", fNostro, fAncora, rssFoglio);
    return uguali ? 0 : 1;
}
