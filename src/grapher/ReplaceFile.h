#pragma once
#include <QIODevice>
#include <QString>
#include <functional>

namespace grapher {

// The file layer's failure numbers from a system error code (errno).
int FileErrorNumber(int systemError);

// Writes a file the grapher produces from a log file (an export, a picture), replacing an
// existing one. The content goes to a temporary file beside the target that is renamed over it
// only when complete, so a failure leaves an earlier file of that name as it was. write()
// returns 0 or a failure number. Returns 0 or the number of the failure as the messages name
// them: 53 not found (missing folder), 57 input/output error, 61 disk full, 70 write protected
// (also a target that is the log file itself, which must never be overwritten); any other
// number is the system's own error code.
int WriteReplacing(const QString& path, const QString& logFilePath,
                   const std::function<int(QIODevice&)>& write);

} // namespace grapher
