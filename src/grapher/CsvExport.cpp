#include "grapher/CsvExport.h"

#include "grapher/NumberText.h"

#include <cerrno>

namespace grapher {

namespace {

const char* const CrLf = "\r\n";

int writeAll(QIODevice& out, const LogInfo& info, const LogColumns& columns, Progress* progress) {
    if (out.write(CsvRunLine(info)) < 0 || out.write(CsvHeaderLine()) < 0)
        return FileErrorNumber(errno);
    QByteArray chunk;
    chunk.reserve(1 << 20);
    const qint32 rows = columns.rowCount();
    if (progress)
        progress->total = rows;
    qint32 written = 0;
    for (qint32 pos = 1; pos <= rows; ++pos) {
        AppendCsvRow(chunk, columns, pos);
        if (chunk.size() >= (1 << 20) - 256 || pos == rows) {
            if (progress) {
                if (progress->cancelled())
                    return Cancelled;
                progress->add(pos - written);
                written = pos;
            }
            if (out.write(chunk) != chunk.size())
                return FileErrorNumber(errno);
            chunk.resize(0);
        }
    }
    return 0;
}

} // namespace

QString ExportPath(const QString& logFilePath, const QString& extension) {
    // Only the file name's own extension is replaced: a dot in a folder name is not one, and a
    // name without an extension gets one rather than losing its last letters.
    const qsizetype nameStart = qMax(logFilePath.lastIndexOf(QLatin1Char('/')),
                                     logFilePath.lastIndexOf(QLatin1Char('\\'))) +
                                1;
    const qsizetype dot = logFilePath.lastIndexOf(QLatin1Char('.'));
    if (dot < nameStart)
        return logFilePath + QLatin1Char('.') + extension;
    return logFilePath.left(dot + 1) + extension;
}

QByteArray CsvRunLine(const LogInfo& info) {
    return info.Date.toUtf8() + ',' + info.Description.toUtf8() + CrLf;
}

QByteArray CsvHeaderLine() {
    return QByteArrayLiteral("TimeStamp,MilliSeconds,Units,Value,Units2,Value2\r\n");
}

void AppendCsvRow(QByteArray& out, const LogColumns& columns, qint32 pos) {
    if (!columns.timeStampNull(pos))
        AppendTimeStampText(out, columns.timeStamp(pos));
    out.append(',');
    if (!columns.milliSecondsNull(pos))
        AppendSingleText(out, columns.milliSeconds(pos));
    out.append(',');
    out.append(columns.unitsUtf8(1, pos));
    out.append(',');
    if (const auto v = columns.value(1, pos))
        AppendSingleText(out, *v);
    out.append(',');
    out.append(columns.unitsUtf8(2, pos));
    out.append(',');
    if (const auto v = columns.value(2, pos))
        AppendSingleText(out, *v);
    out.append(CrLf, 2);
}

int WriteCsvFile(const QString& path, const LogInfo& info, const LogColumns& columns,
                 const QString& logFilePath, Progress* progress) {
    return WriteReplacing(path, logFilePath,
                          [&](QIODevice& out) { return writeAll(out, info, columns, progress); });
}

} // namespace grapher
