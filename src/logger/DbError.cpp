#include "DbError.h"
#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace db {

Error::Error(int number, QString message)
    : number_(number), message_(std::move(message)),
      what_(QStringLiteral("database error %1: %2").arg(number_).arg(message_).toStdString()) {}

namespace {

// Why a file could not be opened or created, judged from what is on disk now.
int cantOpenNumber(const QString& path) {
    if (path.isEmpty())
        return ErrorNumber::Unspecified;
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists() || !folder.isDir())
        return ErrorNumber::Unspecified;
    if (!file.exists())
        return folder.isWritable() ? ErrorNumber::FileNotFound : ErrorNumber::PermissionDenied;
    if (!file.isReadable() || !folder.isWritable())
        return ErrorNumber::PermissionDenied;
    return ErrorNumber::DeviceIo;
}

} // namespace

int numberForResult(int extendedCode, const QString& sqliteMessage, const QString& path) {
    switch (extendedCode) {
    case SQLITE_READONLY_DBMOVED: // the file was removed or renamed while open
        return ErrorNumber::FileNotFound;
    case SQLITE_IOERR_NOMEM:
        return extendedCode;
    default:
        break;
    }
    switch (extendedCode & 0xff) {
    case SQLITE_FULL:
        return ErrorNumber::DiskFull;
    case SQLITE_IOERR:
        // A journal that cannot be created beside a vanished file shows up as an I/O error.
        if (!path.isEmpty() && !QFileInfo::exists(path))
            return QFileInfo(QFileInfo(path).absolutePath()).isDir() ? ErrorNumber::FileNotFound
                                                                     : ErrorNumber::Unspecified;
        return ErrorNumber::DeviceIo;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return ErrorNumber::PermissionDenied;
    case SQLITE_CANTOPEN:
        return cantOpenNumber(path);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return ErrorNumber::Unspecified;
    case SQLITE_ERROR:
        if (sqliteMessage.startsWith(QLatin1String("no such table")))
            return ErrorNumber::MissingTable;
        if (sqliteMessage.startsWith(QLatin1String("no such column")))
            return ErrorNumber::UnknownColumn;
        return extendedCode;
    default:
        return extendedCode;
    }
}

Error errorFromSqlite(sqlite3* connection, int resultCode, const QString& path) {
    int extended = resultCode;
    QString message;
    if (connection) {
        extended = sqlite3_extended_errcode(connection);
        if ((extended & 0xff) != (resultCode & 0xff))
            extended = resultCode;
        message = QString::fromUtf8(sqlite3_errmsg(connection));
    }
    if (message.isEmpty())
        message = QString::fromUtf8(sqlite3_errstr(resultCode));
    return Error(numberForResult(extended, message, path), message);
}

} // namespace db
