#pragma once
// Shared pieces of the benchmark programs: the median of repeated timings,
// the plain engine in this process on the same file (the anchors), and the
// one output line.

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QFile>
#include <sqlite3.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace Misura {

// Median time in milliseconds of `volte` runs; `prepara` runs before each
// run, untimed.
inline double Mediana(int volte, const std::function<void()>& lavoro, const std::function<void()>& prepara = {}) {
    std::vector<double> tempi;
    for (int i = 0; i < volte; ++i) {
        if (prepara) prepara();
        QElapsedTimer t;
        t.start();
        lavoro();
        tempi.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(tempi.begin(), tempi.end());
    return tempi[tempi.size() / 2];
}

// Runs an SQL script on a file through the SQLite C API in this process, on
// a connection of its own opened and closed around it (rollback journal, as
// the program's): the engine's own cost, with no process start in it.
inline void Motore(const QString& file, const QString& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) == SQLITE_OK) {
        char* errore = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &errore) != SQLITE_OK) {
            std::fprintf(stderr, "sqlite: %s\n", errore);
            sqlite3_free(errore);
        }
    }
    sqlite3_close(db);
}

// Runs the sqlite3 tool on a file with an SQL script given on its input.
inline void Sqlite3(const QString& file, const QString& sql) {
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {file});
    p.waitForStarted();
    p.write(sql.toUtf8());
    p.closeWriteChannel();
    p.waitForFinished(-1);
}

// Time of a process that does nothing, to take out of the tool's timings
// what starting a process costs.
inline double AvvioProcesso() {
    return Mediana(5, [] { Sqlite3(QStringLiteral(":memory:"), QStringLiteral("select 1;")); });
}

// Current resident memory in megabytes.
inline double MemoriaMb() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    long pagine = 0, residenti = 0;
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pagine, &residenti) != 2) residenti = 0;
        std::fclose(f);
    }
    return residenti * 4096.0 / (1024 * 1024);
}

inline void Riga(const char* nome, double nostro, double ancora, double rssMb = -1) {
    if (rssMb >= 0)
        std::printf("BENCH %s ours_ms=%.2f anchor_ms=%.2f ratio=%.2f rss_mb=%.1f\n", nome, nostro, ancora, nostro / ancora, rssMb);
    else
        std::printf("BENCH %s ours_ms=%.2f anchor_ms=%.2f ratio=%.2f\n", nome, nostro, ancora, nostro / ancora);
    std::fflush(stdout);
}

}  // namespace Misura
