#pragma once
#include "DbError.h"
#include <QString>
#include <QVariant>
#include <QtGlobal>

struct sqlite3;
struct sqlite3_stmt;

// A small RAII layer over the SQLite C API for log files.
//
// Every failing call throws db::Error (see DbError.h): number() is the value callers test
// (db::ErrorNumber), message() is SQLite's own text. Objects own their SQLite handles and
// release them in their destructors; they can be moved, not copied. A Statement must not
// outlive the Connection that prepared it. All use is on one thread.
//
// Reading a whole table into columns (what the grapher does):
//
//     db::Connection file = db::Connection::open(path, db::Connection::Mode::ReadOnly);
//     db::Statement rows = file.prepare("SELECT * FROM LogData");
//     const int value = rows.columnIndex("Value");          // 3265 when the column is missing
//     while (rows.step())                                    // -2147217865 at prepare when the
//         values.push_back(rows.columnDouble(value));        // table is missing
//
// or the same with db::RowCursor, which adds access by column name and the 3021 rule.
namespace db {

class Statement;

class Connection {
public:
    enum class Mode { ReadOnly, ReadWrite };

    // Opens an existing file. A missing file gives 53, a missing folder -2147467259, a file
    // that cannot be read 70. A file that is not a database is reported by the first statement
    // (-2147467259), as SQLite reads nothing before that. A file left by a killed writer (with a
    // journal beside it) is settled to its last commit first, also for a read-only open.
    static Connection open(const QString& path, Mode mode = Mode::ReadWrite);
    // Creates a new, empty database file and opens it read-write. Never touches an existing
    // file: an existing path gives -2147217897, a missing folder -2147467259, a folder that
    // cannot be written 70, a full disk 61.
    static Connection createNew(const QString& path);

    Connection() = default;
    Connection(Connection&& other) noexcept;
    Connection& operator=(Connection&& other) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    bool isOpen() const { return handle_ != nullptr; }
    const QString& path() const { return path_; }
    sqlite3* handle() const { return handle_; }

    // Runs one or more statements that take no values (schema, pragmas, BEGIN/COMMIT).
    void exec(const QString& sql);
    // Compiles one statement. Values are bound to its ? parameters, never spliced into sql.
    Statement prepare(const QString& sql);
    bool hasTable(const QString& name);
    qint64 lastInsertRowId() const;
    // Releases the file. Statements still alive are finalised by SQLite on their own
    // destruction; closing with such statements defers the release until then.
    void close();

    // A writer killed in the middle of a commit leaves a journal beside the file; a hot one
    // only a writer can roll back. This rolls it back and removes what is left, so the file is
    // one self-contained file again. open() calls it; a missing journal costs one stat().
    static void settleLeftJournal(const QString& path);

    // Turns a result code of a call on this connection into an Error (for callers that use
    // handle() directly).
    Error error(int resultCode) const;

private:
    Connection(sqlite3* handle, QString path) : handle_(handle), path_(std::move(path)) {}
    sqlite3* handle_ = nullptr;
    QString path_;
};

// One compiled statement. Parameters are numbered from 1, columns from 0.
class Statement {
public:
    Statement() = default;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    // Binding: a null QString binds SQL NULL, an empty one binds ''.
    Statement& bind(int parameter, double value);
    Statement& bind(int parameter, qint64 value);
    Statement& bind(int parameter, int value) { return bind(parameter, qint64(value)); }
    Statement& bind(int parameter, const QString& value);
    Statement& bindNull(int parameter);
    Statement& bind(int parameter, const QVariant& value); // double, integer, text or null

    // Advances to the next row: true while there is one, false when done. Errors throw.
    bool step();
    // Runs a statement that returns no rows to the end and resets it, keeping its bindings.
    void execute();
    // Back to before the first row, bindings kept.
    void reset();
    void clearBindings();
    // True between a step() that returned true and the next step() or reset().
    bool hasRow() const { return hasRow_; }

    int columnCount() const;
    QString columnName(int column) const;
    // Index of a column by name, ignoring case; 3265 when the statement has no such column.
    int columnIndex(const QString& name) const;

    // Current-row access; 3021 without a current row. The typed readers convert as SQLite does
    // (NULL reads as 0 or an empty, null QString).
    bool isNull(int column) const;
    double columnDouble(int column) const;
    qint64 columnInt64(int column) const;
    QString columnText(int column) const;
    // The stored value with its stored type: qint64, double, QString, QByteArray, or a null
    // QVariant for NULL.
    QVariant value(int column) const;
    // Declared type of a result column that comes straight from a table ("REAL", "TEXT"...).
    QString declaredType(int column) const;

    sqlite3_stmt* handle() const { return handle_; }

private:
    friend class Connection;
    Statement(sqlite3_stmt* handle, const Connection* owner) : handle_(handle), owner_(owner) {}
    void checkBind(int resultCode) const;
    void checkRow(int column) const;
    [[noreturn]] void fail(int resultCode) const;

    sqlite3_stmt* handle_ = nullptr;
    const Connection* owner_ = nullptr; // for the path in error mapping
    bool hasRow_ = false;
};

// BEGIN IMMEDIATE on construction; commit() makes the work durable; destruction without
// commit() rolls back (errors in that rollback are swallowed: the transaction is gone anyway).
class Transaction {
public:
    explicit Transaction(Connection& connection);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void commit();

private:
    Connection& connection_;
    bool open_ = true;
};

// A forward row cursor over a query, with access by column name:
//
//     db::RowCursor rows(file, "SELECT * FROM Info");
//     if (!rows.next()) ...                       // empty
//     QString date = rows.text("Date");           // 3021 without a current row, 3265 unknown
class RowCursor {
public:
    RowCursor(Connection& connection, const QString& sql);
    explicit RowCursor(Statement statement);

    // Moves to the next row; false (and no current row) past the last one.
    bool next();
    bool hasRow() const { return statement_.hasRow(); }
    // 1-based position of the current row, 0 before the first row.
    qint64 position() const { return position_; }
    bool atEnd() const { return atEnd_; }

    QVariant value(const QString& column) const;
    double real(const QString& column) const;
    qint64 integer(const QString& column) const;
    QString text(const QString& column) const;
    bool isNull(const QString& column) const;

    Statement& statement() { return statement_; }

private:
    int indexOf(const QString& column) const;
    Statement statement_;
    qint64 position_ = 0;
    bool atEnd_ = false;
};

} // namespace db
