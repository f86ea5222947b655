#pragma once
#include "LogFile.h"
#include "logger/LoggerRunState.h"
#include "platform/MessageBox.h"
#include <functional>
#include <optional>

namespace logger {

// The lines that name a file or database failure by its number, ending in a blank line.
QString fileErrorLines(int number, const QString& path);
// The text of the "Database Creation Error!" box for an error number, with its Retry/Cancel
// lines, built from the fixed lines joined by CR LF.
QString creationErrorText(int number, const QString& path);

// Creates the run's log file at `path` with its Info row (see logfile::createLogFile). On a
// failure it sets state.LogFileError, shows the creation error box and on Retry tries the whole
// creation again (a failed creation leaves no file behind); a Retry that succeeds clears
// LogFileError again and the run may begin. Cancel clears LoggerOpen and calls endProgram, which
// ends the program; the result is then empty with LogFileError set.
std::optional<db::Connection> CreateLogDatabase(LoggerRunState& state,
                                                platform::MessageBox& messages, const QString& path,
                                                const logfile::RunInfo& info,
                                                const std::function<void()>& endProgram);

} // namespace logger
