#pragma once
#include "grapher/LogColumns.h"

#include <QByteArray>
#include <QString>

namespace grapher {

// The name of an exported file: the log file's path with its extension replaced by the new
// one ("run1.vtd" -> "run1.csv"; "run1" -> "run1.csv").
QString ExportPath(const QString& logFilePath, const QString& extension);

// The comma-separated text of a log file: the run line (date, comment), the header, one line
// per row in stored order; CR LF after every line; no quoting; "." as decimal separator.
QByteArray CsvRunLine(const LogInfo& info);
QByteArray CsvHeaderLine();
void AppendCsvRow(QByteArray& out, const LogColumns& columns, qint32 pos);

// Writes the whole file, replacing an existing one. Returns 0 or the number of the failure
// as the messages name them: 53 not found (missing folder), 57 input/output error, 61 disk
// full, 70 write protected (also a target that is the log file itself, which must never be
// overwritten); any other number is the system's own error code.
int WriteCsvFile(const QString& path, const LogInfo& info, const LogColumns& columns,
                 const QString& logFilePath = QString());

// The file layer's failure numbers from a system error code (errno).
int FileErrorNumber(int systemError);

} // namespace grapher
