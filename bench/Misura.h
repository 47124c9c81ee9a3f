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

// Time in milliseconds of one run.
inline double Tempo(const std::function<void()>& lavoro) {
    QElapsedTimer t;
    t.start();
    lavoro();
    return t.nsecsElapsed() / 1e6;
}

// The median of times gathered by the caller (e.g. in rounds where ours and
// the anchor take turns).
inline double MedianaDi(std::vector<double> tempi) {
    std::sort(tempi.begin(), tempi.end());
    return tempi[tempi.size() / 2];
}

// Median time in milliseconds of `volte` runs; `prepara` runs before each
// run, untimed.
inline double Mediana(int volte, const std::function<void()>& lavoro, const std::function<void()>& prepara = {}) {
    std::vector<double> tempi;
    for (int i = 0; i < volte; ++i) {
        if (prepara) prepara();
        tempi.push_back(Tempo(lavoro));
    }
    return MedianaDi(std::move(tempi));
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

// Runs a query on an open connection through the SQLite C API, the text
// values bound in order, and reads the first column of every row: the
// engine's own scan, with the functions registered on that connection.
inline void Scansione(sqlite3* db, const QString& sql, const QStringList& valori = {}) {
    sqlite3_stmt* s = nullptr;
    const QByteArray testo = sql.toUtf8();
    if (sqlite3_prepare_v2(db, testo.constData(), static_cast<int>(testo.size()), &s, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        return;
    }
    for (int i = 0; i < valori.size(); ++i) {
        const QByteArray v = valori[i].toUtf8();
        sqlite3_bind_text(s, i + 1, v.constData(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    qint64 somma = 0;
    while (sqlite3_step(s) == SQLITE_ROW) somma += sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    // Keeps the reading from being optimised away.
    if (somma == -1) std::printf("#\n");
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

// The peak resident memory in megabytes since the start or the last
// AzzeraPiccoMemoria.
inline double PiccoMemoriaMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& riga : f.readAll().split('\n'))
        if (riga.startsWith("VmHWM:")) return riga.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// Starts the peak over again from the memory resident now, so that the next
// peak read is the peak of what runs after this call (building the large
// book in this same process must not count as the measured work's memory).
inline void AzzeraPiccoMemoria() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

inline void Riga(const char* nome, double nostro, double ancora, double rssMb = -1) {
    if (rssMb >= 0)
        std::printf("BENCH %s ours_ms=%.2f anchor_ms=%.2f ratio=%.2f rss_mb=%.1f\n", nome, nostro, ancora, nostro / ancora, rssMb);
    else
        std::printf("BENCH %s ours_ms=%.2f anchor_ms=%.2f ratio=%.2f\n", nome, nostro, ancora, nostro / ancora);
    std::fflush(stdout);
}

}  // namespace Misura
