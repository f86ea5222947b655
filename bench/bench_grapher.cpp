// Grapher speed on a long run, as ratios against a plain full-table scan of the same file
// measured in the same run: load and first plot, redraws, a mouse-move readout, statistics of
// the view, the CSV export, how soon a cancelled load returns, and the memory per row.
// Usage: bench_grapher [rows]   (10000000 for a month at 0.25 s; the file is kept in /tmp)
#include "Doubles.h"
#include "GrapherTestFiles.h"
#include "grapher/CsvExport.h"
#include "grapher/LogFileReader.h"
#include "grapher/ViewStatistics.h"
#include "grapher/frmGrapher.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sqlite3.h>
#include <thread>

namespace {

// The rows of a month-long run at 0.25 s: one transaction, one prepared insert, values stored
// as the logger stores them.
void makeFile(const QString& path, int rows) {
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    db::Connection file =
        logfile::createLogFile(partial, logfile::RunInfo{"2026-01-02", "bench run"});
    file.exec(QStringLiteral("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF"));
    db::Statement insert = file.prepare(
        QStringLiteral("INSERT INTO LogData (TimeStamp, MilliSeconds, Units, Value, Units2, "
                       "Value2) VALUES (?, ?, ?, ?, ?, ?)"));
    const QString vdc = QStringLiteral("VDC"), hz = QStringLiteral("HZ");
    db::Transaction batch(file);
    for (int i = 0; i < rows; ++i) {
        const float v = float(std::sin(i / 5000.0) * 3 + (i % 17) * 0.01);
        insert.bind(1, double((i / 4) % 86400) / 86400.0)
            .bind(2, logfile::storedReal(float((i % 4) * 250)));
        insert.bind(3, vdc).bind(4, logfile::storedReal(v));
        insert.bind(5, hz).bind(6, logfile::storedReal(float(50 + i % 7)));
        insert.execute();
    }
    batch.commit();
    file.close();
    QFile::rename(partial, path);
}

// The reference: every column of every row read once through the SQLite C API.
double scanMs(const QString& path) {
    QElapsedTimer t;
    t.start();
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM LogData", -1, &s, nullptr);
    double sum = 0;
    qint64 bytes = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        sum += sqlite3_column_double(s, 1) + sqlite3_column_double(s, 2) +
               sqlite3_column_double(s, 4) + sqlite3_column_double(s, 6);
        sqlite3_column_text(s, 3);
        sqlite3_column_text(s, 5);
        bytes += sqlite3_column_bytes(s, 3) + sqlite3_column_bytes(s, 5);
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (sum == 42 && bytes == 0)
        std::printf("(unlikely)\n");
    return ms;
}

template <typename F> double timeMs(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

void report(const char* what, double ms, double reference, double limit) {
    std::printf("%-34s %9.2f ms  %6.3f x scan  (aim: within %.2f x)\n", what, ms, ms / reference,
                limit);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit()); // user settings untouched
    QApplication app(argc, argv);
    const int Rows = argc > 1 ? std::max(2, QString::fromLocal8Bit(argv[1]).toInt()) : 200000;
    // Kept between runs: a 10 M-row file takes a while to write.
    const QString file = QDir::temp().filePath(QStringLiteral("voltrane-bench-%1.vtd").arg(Rows));
    if (!QFileInfo::exists(file)) {
        std::printf("Writing %d rows...\n", Rows);
        makeFile(file, Rows);
    }

    doubles::FakePlatform fake;
    QWidget mainWindow;
    frmGrapher grapher(
        {Twips(), &mainWindow, [] { return QStringLiteral("VDC"); }, [] { return QString(); }},
        fake.platform);
    grapher.resize(1200, 610);

    scanMs(file); // warm the file cache for both
    const double scan = scanMs(file);
    std::printf("Reference: full-table scan %.2f ms\n\n", scan);

    report("load + first plot", timeMs([&] { grapher.loadFromMain(file); }), scan, 1);
    grapher.picGraph_MouseDown(Rows * 0.2 + 0.4);
    grapher.picGraph_MouseDown(Rows * 0.9 + 0.6);
    report("zoom redraw (70% of rows)", timeMs([&] { grapher.cmdZoom_Click(); }), scan, 0.02);
    report("sign filter redraw", timeMs([&] { grapher.cmdPlusMinus_Click(); }), scan, 0.02);
    report("data-set switch redraw", timeMs([&] { grapher.lblTitle_Click(); }), scan, 0.02);
    report("reset redraw (all rows)", timeMs([&] { grapher.cmdReset_Click(); }), scan, 0.02);

    constexpr int Moves = 1000;
    const double moves = timeMs([&] {
        for (int i = 0; i < Moves; ++i)
            grapher.picGraph_MouseMove(1 + double(i) * (Rows - 1) / Moves, 0);
    });
    std::printf("%-34s %9.3f ms  (aim: under 1 ms)\n", "mouse-move readout, each", moves / Moves);

    const grapher::LoadedLog* log = grapher.log();
    const grapher::GraphView& view = grapher.view();
    for (const QString& sign : {grapher::SignBoth, grapher::SignPositive}) {
        double mean = 0;
        const double ms = timeMs([&] {
            mean = grapher::ViewStatistics(log->columns, view.DataSet, view.ViewStart + 1,
                                           view.ViewEnd - 1, sign)
                       .mean;
        });
        report(sign == grapher::SignBoth ? "statistics (all rows)" : "statistics (positive)", ms,
               scan, 0.02);
        if (mean == 42)
            std::printf("(unlikely)\n");
    }
    report("CSV export", timeMs([&] {
               grapher::WriteCsvFile(dir.filePath("bench.csv"), log->info, log->columns);
           }),
           scan, 1.5);
    std::printf("%-34s %9.1f bytes  (aim: at most 16)\n", "memory per row",
                log->columns.bytesPerRow());

    // A cancel half a second into a load: how long until the load has let go.
    grapher::Progress progress;
    QElapsedTimer sinceCancel;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        sinceCancel.start();
        progress.cancel();
    });
    const grapher::LoadResult cancelled = grapher::LoadLogFile(file, &progress);
    const double late = double(sinceCancel.nsecsElapsed()) / 1e6;
    canceller.join();
    std::printf("%-34s %9.2f ms  (error %d after %lld rows; aim: under 500 ms)\n",
                "cancelled load returns after", late, cancelled.error,
                static_cast<long long>(progress.done.load()));
    return 0;
}
