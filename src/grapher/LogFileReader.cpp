#include "grapher/LogFileReader.h"

#include "logger/Db.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTime>
#include <charconv>
#include <cstdio>
#include <limits>
#include <sqlite3.h>

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

std::optional<double> numberAt(sqlite3_stmt* s, int column) {
    switch (sqlite3_column_type(s, column)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_column_double(s, column);
    case SQLITE_TEXT:
        return numberFromText(sqlite3_column_text(s, column), sqlite3_column_bytes(s, column));
    default:
        throw db::Error(TypeMismatch, QStringLiteral("Type mismatch"));
    }
}

std::optional<float> floatAt(sqlite3_stmt* s, int column) {
    const auto v = numberAt(s, column);
    if (!v)
        return std::nullopt;
    return float(*v);
}

// A time stamp is a fraction of a day; a foreign file may hold it as a time text.
std::optional<double> timeStampAt(sqlite3_stmt* s, int column) {
    if (sqlite3_column_type(s, column) == SQLITE_TEXT) {
        const QString text =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, column)),
                              sqlite3_column_bytes(s, column));
        for (const char* format : {"HH:mm:ss", "H:mm:ss", "HH:mm:ss.zzz"}) {
            const QTime t = QTime::fromString(text.trimmed(), QLatin1String(format));
            if (t.isValid())
                return t.msecsSinceStartOfDay() / 86400000.0;
        }
    }
    return numberAt(s, column);
}

// Unit texts repeat on almost every row: each distinct text is converted once.
class UnitCache {
public:
    explicit UnitCache(LogColumns& columns) : columns_(columns) {}
    std::optional<quint16> at(sqlite3_stmt* s, int column) {
        const int type = sqlite3_column_type(s, column);
        if (type == SQLITE_NULL)
            return std::nullopt;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
        const int bytes = sqlite3_column_bytes(s, column);
        const QByteArrayView key(text, bytes);
        if (hasLast_ && key == QByteArrayView(last_))
            return lastIndex_;
        auto it = known_.constFind(key.toByteArray());
        quint16 index;
        if (it != known_.constEnd()) {
            index = *it;
        } else {
            index = columns_.intern(QString::fromUtf8(text, bytes));
            known_.insert(key.toByteArray(), index);
        }
        last_ = key.toByteArray();
        lastIndex_ = index;
        hasLast_ = true;
        return index;
    }

private:
    LogColumns& columns_;
    QHash<QByteArray, quint16> known_;
    QByteArray last_;
    quint16 lastIndex_ = 0;
    bool hasLast_ = false;
};

bool markedReadOnly(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !(info.permissions() & QFileDevice::WriteOwner);
}

void readInfo(db::Connection& file, LogInfo& info) {
    db::RowCursor rows(file, QStringLiteral("SELECT * FROM Info"));
    if (!rows.next())
        throw db::Error(db::ErrorNumber::NoCurrentRow, QStringLiteral("Info has no row"));
    info.Date = rows.text(QStringLiteral("Date"));
    info.Description = rows.text(QStringLiteral("Description"));
}

void readRows(db::Connection& file, LogColumns& columns) {
    {
        db::Statement count = file.prepare(QStringLiteral("SELECT count(*) FROM LogData"));
        if (count.step())
            columns.reserve(count.columnInt64(0));
    }
    db::Statement rows = file.prepare(QStringLiteral("SELECT * FROM LogData"));
    const int ts = rows.columnIndex(QStringLiteral("TimeStamp"));
    const int ms = rows.columnIndex(QStringLiteral("MilliSeconds"));
    const int u1 = rows.columnIndex(QStringLiteral("Units"));
    const int v1 = rows.columnIndex(QStringLiteral("Value"));
    const int u2 = rows.columnIndex(QStringLiteral("Units2"));
    const int v2 = rows.columnIndex(QStringLiteral("Value2"));
    sqlite3_stmt* s = rows.handle();
    UnitCache units(columns);
    while (rows.step()) {
        if (columns.rowCount() == std::numeric_limits<qint32>::max())
            throw db::Error(6, QStringLiteral("Overflow")); // positions are 32-bit
        columns.appendInterned(timeStampAt(s, ts), floatAt(s, ms), units.at(s, u1), floatAt(s, v1),
                               units.at(s, u2), floatAt(s, v2));
    }
    if (columns.rowCount() == 0)
        throw db::Error(db::ErrorNumber::NoCurrentRow, QStringLiteral("LogData has no row"));
    columns.squeeze();
}

} // namespace

bool SameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    if (!fa.exists() || !fb.exists())
        return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
    return fa.canonicalFilePath() == fb.canonicalFilePath();
}

LoadResult LoadLogFile(const QString& path) {
    LoadResult result;
    try {
        // SQLite takes an empty file for an empty database; it is no log file.
        const QFileInfo info(path);
        // An empty path would give SQLite's private temporary database.
        if (path.isEmpty())
            throw db::Error(db::ErrorNumber::FileNotFound, QStringLiteral("no file named"));
        if (info.exists() && info.isFile() && info.size() == 0)
            throw db::Error(db::ErrorNumber::Unspecified, QStringLiteral("empty file"));
        db::Connection file = db::Connection::open(path, db::Connection::Mode::ReadOnly);
        auto log = std::make_unique<LoadedLog>();
        readInfo(file, log->info);
        readRows(file, log->columns);
        result.log = std::move(log);
    } catch (const db::Error& e) {
        result.error = e.number();
        result.detail = e.message();
    } catch (const std::bad_alloc&) {
        result.error = 7; // out of memory
        result.detail = QStringLiteral("Out of memory");
    }
    return result;
}

int WriteDescription(const QString& path, const QString& text, QString* detail) {
    try {
        if (markedReadOnly(path))
            throw db::Error(db::ErrorNumber::PermissionDenied,
                            QStringLiteral("The file is marked read-only."));
        if (!QFileInfo::exists(path))
            throw db::Error(db::ErrorNumber::FileNotFound, QStringLiteral("The file is gone."));
        db::Connection file = db::Connection::open(path, db::Connection::Mode::ReadWrite);
        db::Statement update =
            file.prepare(QStringLiteral("UPDATE Info SET Description = ? WHERE rowid = "
                                        "(SELECT rowid FROM Info LIMIT 1)"));
        update.bind(1, text.left(255));
        update.execute();
        if (sqlite3_changes(file.handle()) != 1)
            throw db::Error(db::ErrorNumber::NoCurrentRow, QStringLiteral("Info has no row"));
        file.close();
    } catch (const db::Error& e) {
        if (detail)
            *detail = e.message();
        return e.number();
    }
    return 0;
}

int CopyLogDatabase(const QString& path, const QString& target, QString* detail) {
    const QString partial = target + QStringLiteral(".partial");
    try {
        if (SameFile(path, target))
            throw db::Error(db::ErrorNumber::PermissionDenied,
                            QStringLiteral("The copy would replace the log file itself."));
        if (markedReadOnly(target))
            throw db::Error(db::ErrorNumber::PermissionDenied,
                            QStringLiteral("The target is marked read-only."));
        if (!QFileInfo::exists(path))
            throw db::Error(db::ErrorNumber::FileNotFound, QStringLiteral("The file is gone."));
        db::Connection source = db::Connection::open(path, db::Connection::Mode::ReadOnly);
        QFile::remove(partial);
        {
            db::Connection copy = db::Connection::createNew(partial);
            sqlite3_backup* backup =
                sqlite3_backup_init(copy.handle(), "main", source.handle(), "main");
            if (!backup)
                throw copy.error(sqlite3_errcode(copy.handle()));
            const int stepped = sqlite3_backup_step(backup, -1);
            const int finished = sqlite3_backup_finish(backup);
            if (stepped != SQLITE_DONE)
                throw copy.error(stepped);
            if (finished != SQLITE_OK)
                throw copy.error(finished);
            copy.close();
        }
        source.close();
        // The finished copy replaces the old one in one step.
        if (std::rename(QFile::encodeName(partial).constData(),
                        QFile::encodeName(target).constData()) != 0)
            throw db::Error(db::ErrorNumber::PermissionDenied,
                            QStringLiteral("The copy could not replace the old file."));
    } catch (const db::Error& e) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
        if (detail)
            *detail = e.message();
        return e.number();
    }
    return 0;
}

} // namespace grapher
