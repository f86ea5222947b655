#include "grapher/LogRowReader.h"

#include "grapher/LogFileReader.h"

#include <QThread>
#include <QTime>
#include <algorithm>
#include <atomic>
#include <charconv>
#include <exception>
#include <limits>
#include <sqlite3.h>
#include <thread>

namespace grapher {

namespace {

// A text that stands for a number where a number belongs; anything else is a type mismatch,
// as a foreign writer may have put there (SQLite stores what it is given).
double numberFromText(const unsigned char* text, int bytes) {
    const char* p = reinterpret_cast<const char*>(text);
    const char* end = p + bytes;
    while (p != end && *p == ' ')
        ++p;
    while (end != p && end[-1] == ' ')
        --end;
    if (p != end && *p == '+')
        ++p;
    double value = 0;
    auto res = std::from_chars(p, end, value);
    if (res.ec != std::errc() || res.ptr != end)
        throw db::Error(TypeMismatch, QStringLiteral("Type mismatch"));
    return value;
}

// Cells are read through their value objects: the column_* calls take the connection's lock
// and check the row on every call, which costs as much as the reading itself.
std::optional<double> numberOf(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_TEXT:
        return numberFromText(sqlite3_value_text(v), sqlite3_value_bytes(v));
    default:
        throw db::Error(TypeMismatch, QStringLiteral("Type mismatch"));
    }
}

std::optional<float> floatAt(sqlite3_stmt* s, int column) {
    const auto v = numberOf(sqlite3_column_value(s, column));
    if (!v)
        return std::nullopt;
    return float(*v);
}

// A time stamp is a fraction of a day; a foreign file may hold it as a time text.
std::optional<double> timeStampAt(sqlite3_stmt* s, int column) {
    sqlite3_value* v = sqlite3_column_value(s, column);
    if (sqlite3_value_type(v) == SQLITE_TEXT) {
        const QString text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                                               sqlite3_value_bytes(v));
        for (const char* format : {"HH:mm:ss", "H:mm:ss", "HH:mm:ss.zzz"}) {
            const QTime t = QTime::fromString(text.trimmed(), QLatin1String(format));
            if (t.isValid())
                return t.msecsSinceStartOfDay() / 86400000.0;
        }
    }
    return numberOf(v);
}

quint16 unitsAt(LogColumns::Part& part, int set, sqlite3_stmt* s, int column) {
    sqlite3_value* v = sqlite3_column_value(s, column);
    if (sqlite3_value_type(v) == SQLITE_NULL)
        return 0;
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return part.unitIndex(set, text, sqlite3_value_bytes(v));
}

struct Layout {
    int ts, ms, u1, v1, u2, v2;
};

Layout layoutOf(const db::Statement& rows) {
    return {rows.columnIndex(QStringLiteral("TimeStamp")),
            rows.columnIndex(QStringLiteral("MilliSeconds")),
            rows.columnIndex(QStringLiteral("Units")),
            rows.columnIndex(QStringLiteral("Value")),
            rows.columnIndex(QStringLiteral("Units2")),
            rows.columnIndex(QStringLiteral("Value2"))};
}

constexpr int ProgressStep = 4096;

// How a reader thread leaves when another one failed: not a fault of its own, so it must not
// stand for the file's fault (a Cancelled there would read as the user's cancel).
struct StoppedByAnother {};

// Everything a reader thread shares with the others: a stop for all when one fails or the
// user cancels.
struct Shared {
    Progress* progress;
    std::atomic<bool> stop{false};
    std::atomic<bool> gap{false};
    void check(qint64& sinceReport) {
        if (progress) {
            progress->add(sinceReport);
            if (progress->cancelled())
                throw db::Error(Cancelled, QStringLiteral("Cancelled"));
        }
        sinceReport = 0;
        if (stop.load(std::memory_order_relaxed))
            throw StoppedByAnother{};
    }
};

void storeRow(LogColumns& columns, LogColumns::Part& part, qint32 pos, sqlite3_stmt* s,
              const Layout& c) {
    part.store(columns, pos, timeStampAt(s, c.ts), floatAt(s, c.ms), unitsAt(part, 0, s, c.u1),
               floatAt(s, c.v1), unitsAt(part, 1, s, c.u2), floatAt(s, c.v2));
}

// Positions [first, last] hold Sample values firstSample + (pos - first).
struct Range {
    qint32 first = 0, last = 0;
    qint64 firstSample = 0;
};

// A read-only connection of one reader thread. Without SQLite's per-call locking (the
// connection never leaves its thread), which otherwise costs as much as the reading itself;
// the file is mapped rather than copied page by page.
class ThreadConnection {
public:
    explicit ThreadConnection(const QString& path) {
        const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_,
                                       SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK)
            throw db::errorFromSqlite(db_, rc, path);
        sqlite3_exec(db_, "PRAGMA mmap_size = 1099511627776", nullptr, nullptr, nullptr);
        // A running logger's commit holds the file for a moment: wait, as the main reader does.
        sqlite3_busy_timeout(db_, 2000);
    }
    ~ThreadConnection() {
        sqlite3_finalize(statement_);
        sqlite3_close(db_);
    }
    ThreadConnection(const ThreadConnection&) = delete;
    ThreadConnection& operator=(const ThreadConnection&) = delete;

    sqlite3_stmt* prepare(const QString& sql, const QString& path) {
        const int rc = sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &statement_, nullptr);
        if (rc != SQLITE_OK)
            throw db::errorFromSqlite(db_, rc, path);
        return statement_;
    }
    bool step(const QString& path) {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw db::errorFromSqlite(db_, rc, path);
        return false;
    }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
};

int columnNamed(sqlite3_stmt* s, const char* name) {
    for (int i = 0; i < sqlite3_column_count(s); ++i)
        if (sqlite3_stricmp(sqlite3_column_name(s, i), name) == 0)
            return i;
    throw db::Error(db::ErrorNumber::UnknownColumn, QString::fromLatin1(name));
}

void readRange(const QString& path, const QString& sampleColumn, const Range& range,
               LogColumns& columns, LogColumns::Part& part, Shared& shared) {
    ThreadConnection file(path);
    // Row ids are unique: as many rows as the range is long means none is missing.
    sqlite3_stmt* s = file.prepare(QStringLiteral("SELECT * FROM LogData WHERE \"%1\" "
                                                  ">= ? AND \"%1\" <= ? ORDER BY \"%1\"")
                                       .arg(sampleColumn),
                                   path);
    sqlite3_bind_int64(s, 1, range.firstSample);
    sqlite3_bind_int64(s, 2, range.firstSample + (range.last - range.first));
    const Layout c{columnNamed(s, "TimeStamp"), columnNamed(s, "MilliSeconds"),
                   columnNamed(s, "Units"),     columnNamed(s, "Value"),
                   columnNamed(s, "Units2"),    columnNamed(s, "Value2")};
    qint32 pos = range.first;
    qint64 sinceReport = 0;
    while (file.step(path)) {
        if (pos > range.last) {
            shared.gap = true;
            throw db::Error(Cancelled, QStringLiteral("Sample has gaps"));
        }
        storeRow(columns, part, pos, s, c);
        ++pos;
        if (++sinceReport == ProgressStep)
            shared.check(sinceReport);
    }
    shared.check(sinceReport);
    if (pos != range.last + 1) {
        shared.gap = true;
        throw db::Error(Cancelled, QStringLiteral("Sample has gaps"));
    }
    columns.summarize((range.first - 1) / LogColumns::BlockRows,
                      (range.last + LogColumns::BlockRows - 1) / LogColumns::BlockRows);
}

// The name of the column that is the table's row id, or empty.
QString rowIdColumn(db::Connection& file) {
    {
        db::Statement sql = file.prepare(
            QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = "
                           "'LogData' COLLATE NOCASE"));
        if (!sql.step() ||
            sql.columnText(0).contains(QLatin1String("WITHOUT ROWID"), Qt::CaseInsensitive))
            return QString();
    }
    db::Statement info = file.prepare(QStringLiteral("PRAGMA table_info(LogData)"));
    QString name;
    int keys = 0;
    while (info.step()) {
        if (info.columnInt64(5) == 0)
            continue;
        ++keys;
        if (info.columnText(2).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0 &&
            info.columnText(1).compare(QLatin1String("Sample"), Qt::CaseInsensitive) == 0)
            name = info.columnText(1);
    }
    return keys == 1 ? name : QString();
}

bool readParallel(db::Connection& file, const QString& path, LogColumns& columns, Shared& shared) {
    const QString sample = rowIdColumn(file);
    if (sample.isEmpty())
        return false;
    // Each bound on its own: SQLite seeks a lone min() or max() of the row id, but scans the
    // whole table for both in one query.
    auto bound = [&](const char* aggregate) -> std::optional<qint64> {
        db::Statement q = file.prepare(
            QStringLiteral("SELECT %1(\"%2\") FROM LogData").arg(QLatin1String(aggregate), sample));
        if (!q.step() || q.isNull(0))
            return std::nullopt;
        return q.columnInt64(0);
    };
    const std::optional<qint64> first = bound("min"), last = bound("max");
    if (!first || !last)
        throw db::Error(db::ErrorNumber::NoCurrentRow, QStringLiteral("LogData has no row"));
    const qint64 lo = *first, hi = *last;
    // A damaged file can report its last row id below its first; a wide range would overflow.
    if (hi < lo || quint64(hi) - quint64(lo) >= quint64(std::numeric_limits<qint32>::max()))
        return false; // gaps for certain, or more rows than positions: the scan decides
    const auto rows = qint32(hi - lo + 1);
    if (shared.progress)
        shared.progress->total = rows;
    columns.resize(rows);

    const qint32 blocks = (rows + LogColumns::BlockRows - 1) / LogColumns::BlockRows;
    const int threads = std::clamp(QThread::idealThreadCount(), 1, std::min(8, blocks));
    std::vector<Range> ranges(static_cast<size_t>(threads));
    std::vector<LogColumns::Part> parts(ranges.size());
    std::vector<std::exception_ptr> errors(ranges.size());
    for (int t = 0; t < threads; ++t) {
        const qint32 firstBlock = qint32(qint64(blocks) * t / threads);
        const qint32 endBlock = qint32(qint64(blocks) * (t + 1) / threads);
        ranges[size_t(t)] = {firstBlock * LogColumns::BlockRows + 1,
                             std::min(rows, endBlock * LogColumns::BlockRows),
                             lo + qint64(firstBlock) * LogColumns::BlockRows};
    }
    auto run = [&](size_t t) {
        try {
            readRange(path, sample, ranges[t], columns, parts[t], shared);
        } catch (const StoppedByAnother&) {
            // the thread that stopped it holds the fault
        } catch (...) {
            errors[t] = std::current_exception();
            shared.stop = true;
        }
    };
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < ranges.size(); ++t)
        helpers.emplace_back(run, t);
    run(0);
    for (std::thread& h : helpers)
        h.join();
    if (shared.gap) {
        columns.clear();
        return false;
    }
    // The first fault in stored order is the file's fault.
    for (const std::exception_ptr& e : errors)
        if (e)
            std::rethrow_exception(e);
    columns.assemble(parts);
    return true;
}

void readScan(db::Connection& file, LogColumns& columns, Shared& shared) {
    qint64 expected = 0;
    {
        db::Statement count = file.prepare(QStringLiteral("SELECT count(*) FROM LogData"));
        if (count.step())
            expected = count.columnInt64(0);
    }
    if (shared.progress)
        shared.progress->total = expected;
    columns.resize(qint32(std::min<qint64>(expected, std::numeric_limits<qint32>::max())));
    db::Statement rows = file.prepare(QStringLiteral("SELECT * FROM LogData"));
    const Layout c = layoutOf(rows);
    sqlite3_stmt* s = rows.handle();
    std::vector<LogColumns::Part> parts(1);
    qint32 pos = 0;
    qint64 sinceReport = 0;
    while (rows.step()) {
        if (pos == std::numeric_limits<qint32>::max())
            throw db::Error(6, QStringLiteral("Overflow")); // positions are 32-bit
        ++pos;
        if (pos > columns.rowCount()) // rows added since the count
            columns.resize(pos + pos / 4);
        storeRow(columns, parts.front(), pos, s, c);
        if (++sinceReport == ProgressStep)
            shared.check(sinceReport);
    }
    shared.check(sinceReport);
    if (pos == 0)
        throw db::Error(db::ErrorNumber::NoCurrentRow, QStringLiteral("LogData has no row"));
    columns.resize(pos);
    columns.summarize(0, (pos + LogColumns::BlockRows - 1) / LogColumns::BlockRows);
    columns.assemble(parts);
}

} // namespace

void ReadLogRows(db::Connection& file, const QString& path, LogColumns& columns,
                 Progress* progress) {
    {
        // The columns are checked on the file itself first: a missing one is the file's
        // fault whichever way the rows are read.
        db::Statement rows = file.prepare(QStringLiteral("SELECT * FROM LogData"));
        layoutOf(rows);
    }
    Shared parallel{progress};
    if (!readParallel(file, path, columns, parallel)) {
        if (progress)
            progress->done = 0;
        Shared scan{progress};
        readScan(file, columns, scan);
    }
}

} // namespace grapher
