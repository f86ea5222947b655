#include "Db.h"
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif
#include <utility>

namespace db {

namespace {

// A reader waits this long for a writer's commit instead of failing at once.
constexpr int BusyTimeoutMs = 2000;

QString fromUtf8(const unsigned char* text) {
    return text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QString();
}

sqlite3* openHandle(const QString& path, int flags) {
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        Error error = errorFromSqlite(handle, rc, path);
        sqlite3_close(handle);
        throw error;
    }
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, BusyTimeoutMs);
    return handle;
}

// Rollback journal, deleted after every commit, so a file nobody writes is one self-contained
// file; FULL makes each commit durable before the call returns.
void configureForWriting(Connection& connection) {
    connection.exec(QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;"));
}

Error creationError(const QString& path, int systemError, const QString& text) {
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    int number = ErrorNumber::DeviceIo;
    if (systemError == EEXIST || info.exists() || info.isSymLink())
        number = ErrorNumber::AlreadyExists;
    else if (systemError == ENOENT || systemError == ENOTDIR || !folder.isDir())
        number = ErrorNumber::Unspecified;
    else if (systemError == EACCES || systemError == EPERM || systemError == EROFS ||
             !folder.isWritable())
        number = ErrorNumber::PermissionDenied;
#ifdef EDQUOT
    else if (systemError == EDQUOT)
        number = ErrorNumber::DiskFull;
#endif
    else if (systemError == ENOSPC)
        number = ErrorNumber::DiskFull;
    return Error(number, text);
}

// Creates the file only if nothing is there yet, in one step, so an existing file is never
// touched, not even one that appears between a check and the create.
void createExclusive(const QString& path) {
    if (path.isEmpty())
        throw Error(ErrorNumber::Unspecified, QStringLiteral("no file name"));
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) {
        const int systemError = errno;
        throw creationError(path, systemError, QString::fromLocal8Bit(std::strerror(systemError)));
    }
    ::close(fd);
#else
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw creationError(path, 0, file.errorString());
#endif
}

} // namespace

// ---- Connection ----

void Connection::settleLeftJournal(const QString& path) {
    const QString journal = path + QStringLiteral("-journal");
    if (!QFileInfo::exists(journal))
        return;
    try {
        Connection writer(openHandle(path, SQLITE_OPEN_READWRITE), path);
        // Taking the write lock rolls a hot journal back to the last commit and removes it.
        // What is left then is a journal no commit depends on, and the lock keeps any other
        // writer from starting a new one meanwhile.
        writer.exec(QStringLiteral("BEGIN IMMEDIATE"));
        QFile::remove(journal);
        writer.exec(QStringLiteral("COMMIT"));
    } catch (const Error&) {
        // Read-only folder or medium, or a writer at work: the open reports what it meets.
    }
}

Connection Connection::open(const QString& path, Mode mode) {
    settleLeftJournal(path);
    const int flags = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    Connection connection(openHandle(path, flags), path);
    if (mode == Mode::ReadWrite)
        configureForWriting(connection);
    return connection;
}

Connection Connection::createNew(const QString& path) {
    createExclusive(path);
    try {
        Connection connection(openHandle(path, SQLITE_OPEN_READWRITE), path);
        configureForWriting(connection);
        return connection;
    } catch (const Error&) {
        QFile::remove(path); // the empty file is ours
        throw;
    }
}

Connection::Connection(Connection&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), path_(std::move(other.path_)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, nullptr);
        path_ = std::move(other.path_);
    }
    return *this;
}

Connection::~Connection() {
    close();
}

void Connection::close() {
    if (handle_)
        sqlite3_close_v2(std::exchange(handle_, nullptr));
}

Error Connection::error(int resultCode) const {
    return errorFromSqlite(handle_, resultCode, path_);
}

void Connection::exec(const QString& sql) {
    if (!handle_)
        throw Error(ErrorNumber::Unspecified, QStringLiteral("database is not open"));
    char* message = nullptr;
    const int rc = sqlite3_exec(handle_, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : QString();
        sqlite3_free(message);
        Error mapped = error(rc);
        throw Error(mapped.number(), text.isEmpty() ? mapped.message() : text);
    }
}

Statement Connection::prepare(const QString& sql) {
    if (!handle_)
        throw Error(ErrorNumber::Unspecified, QStringLiteral("database is not open"));
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    const int rc =
        sqlite3_prepare_v2(handle_, text.constData(), int(text.size()), &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw error(rc);
    }
    return Statement(statement, this);
}

bool Connection::hasTable(const QString& name) {
    Statement query = prepare(QStringLiteral(
        "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    query.bind(1, name);
    return query.step();
}

qint64 Connection::lastInsertRowId() const {
    return handle_ ? sqlite3_last_insert_rowid(handle_) : 0;
}

// ---- Statement ----

Statement::Statement(Statement&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), owner_(other.owner_),
      hasRow_(std::exchange(other.hasRow_, false)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        owner_ = other.owner_;
        hasRow_ = std::exchange(other.hasRow_, false);
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(handle_);
}

void Statement::fail(int resultCode) const {
    sqlite3* connection = handle_ ? sqlite3_db_handle(handle_) : nullptr;
    throw errorFromSqlite(connection, resultCode, owner_ ? owner_->path() : QString());
}

void Statement::checkBind(int resultCode) const {
    if (resultCode != SQLITE_OK)
        fail(resultCode);
}

Statement& Statement::bind(int parameter, double value) {
    checkBind(sqlite3_bind_double(handle_, parameter, value));
    return *this;
}

Statement& Statement::bind(int parameter, qint64 value) {
    checkBind(sqlite3_bind_int64(handle_, parameter, value));
    return *this;
}

Statement& Statement::bind(int parameter, const QString& value) {
    if (value.isNull())
        return bindNull(parameter);
    const QByteArray text = value.toUtf8();
    checkBind(sqlite3_bind_text(handle_, parameter, text.constData(), int(text.size()),
                                SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bindNull(int parameter) {
    checkBind(sqlite3_bind_null(handle_, parameter));
    return *this;
}

Statement& Statement::bind(int parameter, const QVariant& value) {
    if (value.isNull())
        return bindNull(parameter);
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return bind(parameter, value.toDouble());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Bool:
        return bind(parameter, value.toLongLong());
    default:
        return bind(parameter, value.toString());
    }
}

bool Statement::step() {
    hasRow_ = false;
    const int rc = sqlite3_step(handle_);
    if (rc == SQLITE_ROW) {
        hasRow_ = true;
        return true;
    }
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(handle_); // leaves the statement usable; the error stays in rc
    fail(rc);
}

void Statement::execute() {
    while (step()) {
    }
    reset();
}

void Statement::reset() {
    hasRow_ = false;
    sqlite3_reset(handle_);
}

void Statement::clearBindings() {
    sqlite3_clear_bindings(handle_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(handle_);
}

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(handle_, column));
}

int Statement::columnIndex(const QString& name) const {
    const int count = columnCount();
    for (int i = 0; i < count; ++i) {
        if (columnName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw Error(ErrorNumber::UnknownColumn,
                QStringLiteral("Item cannot be found in the collection: %1").arg(name));
}

void Statement::checkRow(int column) const {
    if (!hasRow_)
        throw Error(ErrorNumber::NoCurrentRow, QStringLiteral("no current row"));
    if (column < 0 || column >= columnCount())
        throw Error(ErrorNumber::UnknownColumn,
                    QStringLiteral("column %1 is out of range").arg(column));
}

bool Statement::isNull(int column) const {
    checkRow(column);
    return sqlite3_column_type(handle_, column) == SQLITE_NULL;
}

double Statement::columnDouble(int column) const {
    checkRow(column);
    return sqlite3_column_double(handle_, column);
}

qint64 Statement::columnInt64(int column) const {
    checkRow(column);
    return sqlite3_column_int64(handle_, column);
}

QString Statement::columnText(int column) const {
    checkRow(column);
    return fromUtf8(sqlite3_column_text(handle_, column));
}

QVariant Statement::value(int column) const {
    checkRow(column);
    switch (sqlite3_column_type(handle_, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(handle_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(handle_, column));
    case SQLITE_TEXT:
        return QVariant(fromUtf8(sqlite3_column_text(handle_, column)));
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(handle_, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(handle_, column)));
    }
    default:
        return QVariant();
    }
}

QString Statement::declaredType(int column) const {
    const char* type = sqlite3_column_decltype(handle_, column);
    return type ? QString::fromUtf8(type) : QString();
}

// ---- Transaction ----

Transaction::Transaction(Connection& connection) : connection_(connection) {
    connection_.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction() {
    if (open_ && connection_.handle() && !sqlite3_get_autocommit(connection_.handle()))
        sqlite3_exec(connection_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    connection_.exec(QStringLiteral("COMMIT"));
    open_ = false;
}

// ---- RowCursor ----

RowCursor::RowCursor(Connection& connection, const QString& sql)
    : statement_(connection.prepare(sql)) {}

RowCursor::RowCursor(Statement statement) : statement_(std::move(statement)) {}

bool RowCursor::next() {
    if (atEnd_)
        return false;
    if (statement_.step()) {
        ++position_;
        return true;
    }
    atEnd_ = true;
    return false;
}

int RowCursor::indexOf(const QString& column) const {
    return statement_.columnIndex(column);
}

QVariant RowCursor::value(const QString& column) const {
    return statement_.value(indexOf(column));
}

double RowCursor::real(const QString& column) const {
    return statement_.columnDouble(indexOf(column));
}

qint64 RowCursor::integer(const QString& column) const {
    return statement_.columnInt64(indexOf(column));
}

QString RowCursor::text(const QString& column) const {
    return statement_.columnText(indexOf(column));
}

bool RowCursor::isNull(const QString& column) const {
    return statement_.isNull(indexOf(column));
}

} // namespace db
