#pragma once
#include "grapher/LogColumns.h"
#include "grapher/Progress.h"

#include <QString>
#include <memory>

namespace grapher {

// A log file read into memory: the Info row and every LogData row, in stored order.
struct LoadedLog {
    LogInfo info;
    LogColumns columns;
};

// The outcome of reading a log file. error is 0, or the database layer's number for what went
// wrong (db::ErrorNumber): 3021 no Info row or no LogData rows, -2147217865 a table is missing,
// 3265 a column is missing, 13 a text where a number belongs, anything else unreadable.
struct LoadResult {
    int error = 0;
    QString detail; // the engine's own words, for diagnostics
    std::unique_ptr<LoadedLog> log;
};

inline constexpr int TypeMismatch = 13;

// Reads the whole file once, read-only; the file is released before this returns. With
// progress, rows read so far are counted there and a cancel ends the load with Cancelled.
LoadResult LoadLogFile(const QString& path, Progress* progress = nullptr);

// True when both paths name the same file (links resolved).
bool SameFile(const QString& a, const QString& b);

// Replaces the comment (Info.Description of the first Info row) with the first 255
// characters of text. Returns 0 or the database layer's number (70 for a file marked
// read-only, 53 for a file that is gone); detail gets the engine's words.
int WriteDescription(const QString& path, const QString& text, QString* detail = nullptr);

// Copies the log file to target as a complete, consistent database (SQLite's online backup),
// replacing an existing target unless that is marked read-only. Returns 0 or an error number;
// a cancel through progress (pages copied so far) gives Cancelled and leaves the old target.
int CopyLogDatabase(const QString& path, const QString& target, QString* detail = nullptr,
                    Progress* progress = nullptr);

} // namespace grapher
