#pragma once
#include <QString>
#include <exception>
#include <string>

struct sqlite3;

namespace db {

// The numbers callers test to pick their messages. Every failure of the database layer carries
// one of these, or, for a situation none of them names, SQLite's extended result code (a
// positive number that never collides with the ones below).
namespace ErrorNumber {
inline constexpr int NoCurrentRow = 3021;         // row set empty, or before first / past last
inline constexpr int UnknownColumn = 3265;        // column name not in the row set
inline constexpr int MissingTable = -2147217865;  // a table named in the query does not exist
inline constexpr int AlreadyExists = -2147217897; // the file to create already exists
inline constexpr int Unspecified = -2147467259;   // missing folder; not a database file
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIo = 57;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70; // read-only file, folder or medium
inline constexpr int DiskNotReady = 71;
inline constexpr int DiskMediaError = 72;
} // namespace ErrorNumber

// A failed database operation: the number callers test and SQLite's own message.
class Error : public std::exception {
public:
    Error(int number, QString message);
    int number() const { return number_; }
    const QString& message() const { return message_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    QString message_;
    std::string what_;
};

// Maps a failed SQLite call on `connection` (may be null) to an Error. `path` is the file the
// connection is about; it tells a missing folder from a missing file from a read-only folder.
Error errorFromSqlite(sqlite3* connection, int resultCode, const QString& path);

// The number for a result code alone (the path only refines SQLITE_CANTOPEN).
int numberForResult(int extendedCode, const QString& sqliteMessage, const QString& path);

} // namespace db
