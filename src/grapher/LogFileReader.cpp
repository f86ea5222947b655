#include "grapher/LogFileReader.h"

#include "grapher/LogRowReader.h"
#include "logger/Db.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <sqlite3.h>

namespace grapher {

namespace {

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

} // namespace

bool SameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    if (!fa.exists() || !fb.exists())
        return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
    return fa.canonicalFilePath() == fb.canonicalFilePath();
}

LoadResult LoadLogFile(const QString& path, Progress* progress) {
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
        ReadLogRows(file, path, log->columns, progress);
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

int CopyLogDatabase(const QString& path, const QString& target, QString* detail,
                    Progress* progress) {
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
            // A few megabytes at a time, so a large copy shows its progress and can stop.
            int stepped = SQLITE_OK;
            while (stepped == SQLITE_OK || stepped == SQLITE_BUSY || stepped == SQLITE_LOCKED) {
                if (progress && progress->cancelled())
                    break;
                stepped = sqlite3_backup_step(backup, 1024);
                if (progress) {
                    progress->total = sqlite3_backup_pagecount(backup);
                    progress->done = progress->total - sqlite3_backup_remaining(backup);
                }
            }
            const int finished = sqlite3_backup_finish(backup);
            if (stepped != SQLITE_DONE && progress && progress->cancelled())
                throw db::Error(Cancelled, QStringLiteral("Cancelled"));
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
