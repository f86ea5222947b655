#include "LogFile.h"
#include <QDate>
#include <QFile>
#include <QLocale>
#include <QTime>
#include <charconv>
#include <cmath>

namespace logfile {

QString schemaSql() {
    return QStringLiteral("CREATE TABLE LogData ("
                          "Sample INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, "
                          "TimeStamp REAL NOT NULL CHECK (TimeStamp >= 0 AND TimeStamp < 1), "
                          "MilliSeconds REAL NOT NULL, "
                          "Units TEXT CHECK (length(Units) <= 4), "
                          "Value REAL, "
                          "Units2 TEXT CHECK (length(Units2) <= 4), "
                          "Value2 REAL);"
                          "CREATE TABLE Info ("
                          "Date TEXT NOT NULL CHECK (length(Date) <= 20), "
                          "Description TEXT CHECK (length(Description) <= 255));");
}

double storedReal(float value) {
    if (!std::isfinite(value))
        return double(value);
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    double nearest = 0;
    const std::from_chars_result read = std::from_chars(text, written.ptr, nearest);
    // Should the decimal detour ever land on another single, the exact widening is kept.
    if (written.ec != std::errc() || read.ec != std::errc() || float(nearest) != value)
        return double(value);
    return nearest;
}

QString infoDateText(const QDate& date) {
    return QLocale::system().toString(date, QLocale::ShortFormat).left(DateMaxLength);
}

double timeStampOf(const QTime& time) {
    const int seconds = time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
    return double(seconds) / 86400.0;
}

db::Connection createLogFile(const QString& path, const std::optional<RunInfo>& info) {
    db::Connection file = db::Connection::createNew(path);
    try {
        db::Transaction transaction(file);
        file.exec(schemaSql());
        if (info) {
            db::Statement insert =
                file.prepare(QStringLiteral("INSERT INTO Info (Date, Description) VALUES (?, ?)"));
            insert.bind(1, info->date.left(DateMaxLength));
            insert.bind(2, info->description.left(DescriptionMaxLength));
            insert.execute();
        }
        transaction.commit();
    } catch (const db::Error&) {
        file.close();
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        throw;
    }
    return file;
}

SampleWriter::SampleWriter(db::Connection connection) : connection_(std::move(connection)) {
    insert_ = connection_.prepare(
        QStringLiteral("INSERT INTO LogData (TimeStamp, MilliSeconds, Units, Value, Units2, "
                       "Value2) VALUES (?, ?, ?, ?, ?, ?)"));
}

qint64 SampleWriter::append(const SampleRow& row) {
    // Outside an explicit transaction every INSERT commits on its own: one durable row each.
    insert_.bind(1, row.timeStamp);
    insert_.bind(2, storedReal(row.milliSeconds));
    insert_.bind(3, row.units);
    insert_.bind(4, storedReal(row.value));
    insert_.bind(5, row.units2);
    insert_.bind(6, storedReal(row.value2));
    insert_.execute();
    return connection_.lastInsertRowId();
}

bool SampleWriter::restoreIfRemoved() {
    const QString path = connection_.path();
    if (QFile::exists(path))
        return true;
    try {
        db::Statement copy = connection_.prepare(QStringLiteral("VACUUM INTO ?"));
        copy.bind(1, path);
        copy.execute();
    } catch (const db::Error&) {
        QFile::remove(path); // a partial copy is worth nothing
        return false;
    }
    return QFile::exists(path);
}

void SampleWriter::close() {
    insert_ = db::Statement();
    connection_.close();
}

} // namespace logfile
