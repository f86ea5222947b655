#pragma once
#include "Db.h"
#include <QString>
#include <optional>

// The log file: an SQLite database holding exactly two tables.
//
//   LogData  one row per sample, in the order taken ("SELECT * FROM LogData" column order):
//     Sample        INTEGER  generated 1, 2, 3... without gaps; never set by the writer
//     TimeStamp     REAL     NOT NULL  local time of day as a fraction of a day, 0 <= t < 1,
//                                      whole seconds (no date part)
//     MilliSeconds  REAL     NOT NULL  millisecond field of the clock, 0 to 999
//     Units         TEXT     at most 4 characters, no blanks; NULL allowed
//     Value         REAL     primary reading; NULL allowed
//     Units2        TEXT     at most 4 characters, "N/A" for a single reading; NULL allowed
//     Value2        REAL     secondary reading, 0 for a single reading; NULL allowed
//   Info     one row per file:
//     Date          TEXT     NOT NULL, at most 20 characters: the start date, short form
//     Description   TEXT     the run's comment, at most 255 characters; NULL allowed
//
// The text limits and the TimeStamp range are CHECK constraints, so the file itself refuses
// what does not fit. Files are written with a rollback journal that is deleted after every
// commit: a file that no run is writing is one self-contained file.
namespace logfile {

inline constexpr int UnitsMaxLength = 4;
inline constexpr int DateMaxLength = 20;
inline constexpr int DescriptionMaxLength = 255;

// What a run writes into Info when it starts.
struct RunInfo {
    QString date;
    QString description;
};

// One LogData row as the writer gives it; Sample is generated.
struct SampleRow {
    double timeStamp = 0; // fraction of a day
    float milliSeconds = 0;
    QString units;
    float value = 0;
    QString units2;
    float value2 = 0;
};

// The REAL stored for a single-precision value: the double nearest to the single's shortest
// decimal text, so other tools read 1.2345f as 1.2345 (not 1.2345000505447388) while a reader
// that narrows it back to a single gets the same single.
double storedReal(float value);

// The schema as SQL, for the creation and for readers' checks.
QString schemaSql();

// Today's date in the form stored in Info.Date (the system's short date form).
QString infoDateText(const QDate& date);
// Time of day as stored in TimeStamp: whole seconds as a fraction of a day.
double timeStampOf(const QTime& time);

// Creates a new log file at `path` with both tables and, when given, the Info row, all in one
// transaction, and returns it open for writing. Never appends to or overwrites an existing
// file (-2147217897). When anything fails after the file was made, the file is removed again,
// so a failed creation leaves nothing behind and can simply be repeated. Throws db::Error.
db::Connection createLogFile(const QString& path, const std::optional<RunInfo>& info = {});

// Appends sample rows to an open log file through one prepared INSERT. Each append is one
// committed transaction: when it returns, the row is in the file and survives the program
// being killed. A failed append throws db::Error and leaves the file as it was.
class SampleWriter {
public:
    explicit SampleWriter(db::Connection connection);
    // Returns the generated Sample number.
    qint64 append(const SampleRow& row);
    // When the file was removed while open, its rows are still readable through the open
    // connection: this writes them to a new file at the original path (if its folder is still
    // there). Returns true when the file exists afterwards.
    bool restoreIfRemoved();
    // Releases the file (journal files are gone by then).
    void close();
    bool isOpen() const { return connection_.isOpen(); }
    db::Connection& connection() { return connection_; }

private:
    db::Connection connection_;
    db::Statement insert_;
};

} // namespace logfile
