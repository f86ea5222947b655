// Grapher speed on a long run, as ratios against a plain full-table scan of the same file
// measured in the same run: load and first plot, redraws, a mouse-move readout, the CSV export,
// and the memory the samples take per row.
#include "Doubles.h"
#include "GrapherTestFiles.h"
#include "grapher/CsvExport.h"
#include "grapher/LogFileReader.h"
#include "grapher/frmGrapher.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <sqlite3.h>

namespace {

constexpr int Rows = 1000000;

void makeFile(const QString& path) {
    logfile::SampleWriter writer(
        logfile::createLogFile(path, logfile::RunInfo{"2026-01-02", "bench run"}));
    db::Transaction batch(writer.connection());
    for (int i = 0; i < Rows; ++i) {
        const float v = float(std::sin(i / 5000.0) * 3 + (i % 17) * 0.01);
        writer.append(logfile::SampleRow{double(i % 86400) / 86400.0, float(i % 1000), "VDC", v,
                                         "HZ", float(50 + i % 7)});
    }
    batch.commit();
    writer.close();
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
    std::printf("%-34s %9.2f ms  %6.3f x scan  (aim: within %.1f x)\n", what, ms, ms / reference,
                limit);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit()); // user settings untouched
    QApplication app(argc, argv);
    const QString file = dir.filePath("bench.vtd");
    std::printf("Writing %d rows with the logger's writer...\n", Rows);
    makeFile(file);

    doubles::FakePlatform fake;
    QWidget mainWindow;
    frmGrapher grapher(
        {Twips(), &mainWindow, [] { return QStringLiteral("VDC"); }, [] { return QString(); }},
        fake.platform);
    grapher.resize(1200, 610);

    scanMs(file); // warm the file cache for both
    const double scan = scanMs(file);
    std::printf("Reference: full-table scan %.2f ms\n\n", scan);

    report("load + first plot", timeMs([&] { grapher.loadFromMain(file); }), scan, 3);
    grapher.picGraph_MouseDown(200000.4);
    grapher.picGraph_MouseDown(900000.6);
    report("zoom redraw (700k rows)", timeMs([&] { grapher.cmdZoom_Click(); }), scan, 0.1);
    report("sign filter redraw", timeMs([&] { grapher.cmdPlusMinus_Click(); }), scan, 0.1);
    report("data-set switch redraw", timeMs([&] { grapher.lblTitle_Click(); }), scan, 0.1);
    report("reset redraw (1M rows)", timeMs([&] { grapher.cmdReset_Click(); }), scan, 0.1);

    constexpr int Moves = 1000;
    const double moves = timeMs([&] {
        for (int i = 0; i < Moves; ++i)
            grapher.picGraph_MouseMove(1 + double(i) * (Rows - 1) / Moves, 0);
    });
    std::printf("%-34s %9.3f ms  (aim: under 2 ms)\n", "mouse-move readout, each", moves / Moves);

    const grapher::LoadedLog* log = grapher.log();
    report("CSV export", timeMs([&] {
               grapher::WriteCsvFile(dir.filePath("bench.csv"), log->info, log->columns);
           }),
           scan, 3);
    std::printf("%-34s %9.1f bytes  (aim: under 64)\n", "memory per row",
                log->columns.bytesPerRow());
    return 0;
}
