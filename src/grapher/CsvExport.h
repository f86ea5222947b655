#pragma once
#include "grapher/LogColumns.h"
#include "grapher/Progress.h"
#include "grapher/ReplaceFile.h"

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

// Writes the whole file through WriteReplacing: 0 or its failure number. With progress, rows
// written so far are counted there; a cancel gives Cancelled and leaves an earlier file as it was.
int WriteCsvFile(const QString& path, const LogInfo& info, const LogColumns& columns,
                 const QString& logFilePath = QString(), Progress* progress = nullptr);

} // namespace grapher
