// Speed and size of the log file.
//
// 1. Time per committed sample row (SampleWriter::append: one INSERT, its own durable commit)
//    over BENCH_ROWS rows (100,000 unless set), median and 99th percentile, against a bare
//    INSERT of the same row in the same database in the same run (inside one open transaction,
//    so without a commit of its own). Printed as ratios, with the absolute times for reference
//    against the 200 ms display tick and the 250 ms fastest sampling period.
// 2. Bytes per row of a file of 1,000,000 rows (goal: under 64).
// 3. The same committed row appended to a log file already holding many rows (the argument,
//    1,000,000 unless given; 10,000,000 is a month at 0.25 s): its 99th percentile against the
//    one in the fresh file above (goal: under 4 ms, 2 % of the display tick). The prefilled
//    file is kept in the temporary folder between runs and copied beside the build each time.
//
// Usage: bench_logger [prefilled rows]
#include "logger/LogFile.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

logfile::SampleRow rowFor(qint64 n) {
    logfile::SampleRow row;
    row.timeStamp = double((n / 4) % 86400) / 86400.0;
    row.milliSeconds = float((n * 250) % 1000);
    row.units = QStringLiteral("VDC");
    row.value = 1.2345f + float(n % 1000) * 0.001f;
    row.units2 = QStringLiteral("N/A");
    row.value2 = 0;
    return row;
}

double percentile(std::vector<qint64> samples, double p) {
    std::sort(samples.begin(), samples.end());
    const size_t index = std::min(samples.size() - 1, size_t(p * double(samples.size() - 1)));
    return double(samples[index]);
}

// Many rows quickly: one transaction, one prepared insert, no journal.
void prefill(const QString& path, qint64 rows) {
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    db::Connection file = logfile::createLogFile(partial, logfile::RunInfo{"d", "prefilled"});
    file.exec(QStringLiteral("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF"));
    db::Statement insert = file.prepare(
        QStringLiteral("INSERT INTO LogData (TimeStamp, MilliSeconds, Units, Value, Units2, "
                       "Value2) VALUES (?, ?, ?, ?, ?, ?)"));
    db::Transaction batch(file);
    for (qint64 n = 0; n < rows; ++n) {
        const logfile::SampleRow row = rowFor(n);
        insert.bind(1, row.timeStamp).bind(2, logfile::storedReal(row.milliSeconds));
        insert.bind(3, row.units).bind(4, logfile::storedReal(row.value));
        insert.bind(5, row.units2).bind(6, logfile::storedReal(row.value2));
        insert.execute();
    }
    batch.commit();
    file.close();
    QFile::rename(partial, path);
}

std::vector<qint64> committedRows(logfile::SampleWriter& writer, qint64 first, qint64 rows) {
    std::vector<qint64> times;
    times.reserve(size_t(rows));
    QElapsedTimer timer;
    for (qint64 n = first; n < first + rows; ++n) {
        timer.start();
        writer.append(rowFor(n));
        times.push_back(timer.nsecsElapsed());
    }
    return times;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 rows = qEnvironmentVariableIsSet("BENCH_ROWS")
                            ? qEnvironmentVariable("BENCH_ROWS").toLongLong()
                            : 100000;
    const qint64 sizeRows = qEnvironmentVariableIsSet("BENCH_SIZE_ROWS")
                                ? qEnvironmentVariable("BENCH_SIZE_ROWS").toLongLong()
                                : 1000000;
    // Beside the build, on the disk the program would write to (not a memory file system).
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench_logger_XXXXXX"));
    if (!dir.isValid())
        return 1;
    try {
        // Committed rows and bare inserts alternate in the same file, so both see the same
        // database size and the same disk state.
        logfile::SampleWriter writer(
            logfile::createLogFile(dir.filePath("speed.vtd"), logfile::RunInfo{"d", "bench"}));
        db::Connection& file = writer.connection();
        db::Statement bare = file.prepare(
            "INSERT INTO LogData (TimeStamp, MilliSeconds, Units, Value, Units2, Value2) "
            "VALUES (?, ?, ?, ?, ?, ?)");
        std::vector<qint64> committed, inserts;
        committed.reserve(size_t(rows));
        inserts.reserve(size_t(rows));
        QElapsedTimer timer;
        constexpr int Batch = 1000;
        for (qint64 done = 0; done < rows; done += Batch) {
            for (int i = 0; i < Batch && done + i < rows; ++i) {
                timer.start();
                writer.append(rowFor(done + i));
                committed.push_back(timer.nsecsElapsed());
            }
            db::Transaction transaction(file);
            for (int i = 0; i < Batch && done + i < rows; ++i) {
                const logfile::SampleRow row = rowFor(done + i);
                timer.start();
                bare.bind(1, row.timeStamp).bind(2, double(row.milliSeconds));
                bare.bind(3, row.units).bind(4, double(row.value));
                bare.bind(5, row.units2).bind(6, double(row.value2));
                bare.execute();
                inserts.push_back(timer.nsecsElapsed());
            }
            transaction.commit();
        }
        const double rowMedian = percentile(committed, 0.5), rowP99 = percentile(committed, 0.99);
        const double insMedian = percentile(inserts, 0.5), insP99 = percentile(inserts, 0.99);
        std::printf("committed sample row vs bare INSERT, %lld rows each\n",
                    static_cast<long long>(rows));
        std::printf("  median: %.1f x  (%.3f ms vs %.4f ms)\n", rowMedian / insMedian,
                    rowMedian / 1e6, insMedian / 1e6);
        std::printf("  p99:    %.1f x  (%.3f ms vs %.4f ms)\n", rowP99 / insP99, rowP99 / 1e6,
                    insP99 / 1e6);
        std::printf("  p99 of a committed row as a share of the 200 ms display tick: %.2f %%\n",
                    rowP99 / 2e6);

        // Size: a million rows written as a run writes them, but batched so the bench ends in
        // reasonable time; the file layout does not depend on the commit size.
        const QString sizePath = dir.filePath("size.vtd");
        logfile::SampleWriter big(logfile::createLogFile(sizePath, logfile::RunInfo{"d", "size"}));
        {
            db::Transaction transaction(big.connection());
            for (qint64 n = 0; n < sizeRows; ++n)
                big.append(rowFor(n));
            transaction.commit();
        }
        big.close();
        const double bytes = double(QFileInfo(sizePath).size());
        std::printf("file of %lld rows: %.0f bytes, %.1f bytes per row (goal < 64)\n",
                    static_cast<long long>(sizeRows), bytes, bytes / double(sizeRows));

        const qint64 prefilled = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() : 1000000;
        const QString kept =
            QDir::temp().filePath(QStringLiteral("voltrane-logbench-%1.vtd").arg(prefilled));
        if (!QFileInfo::exists(kept)) {
            std::printf("writing %lld rows to prefill...\n", static_cast<long long>(prefilled));
            prefill(kept, prefilled);
        }
        const QString bigPath = dir.filePath("prefilled.vtd");
        if (!QFile::copy(kept, bigPath))
            return 1;
        logfile::SampleWriter full(db::Connection::open(bigPath));
        const qint64 appended = std::min<qint64>(rows, 20000);
        const std::vector<qint64> late = committedRows(full, prefilled, appended);
        full.close();
        const double lateP99 = percentile(late, 0.99);
        std::printf("committed row appended to a file of %lld rows, %lld rows\n",
                    static_cast<long long>(prefilled), static_cast<long long>(appended));
        std::printf("  p99:    %.2f x the fresh file's  (%.3f ms; goal under 4 ms, %.2f %% of "
                    "the display tick)\n",
                    lateP99 / rowP99, lateP99 / 1e6, lateP99 / 2e6);
    } catch (const db::Error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
