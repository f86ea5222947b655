#pragma once
#include <QString>
#include <QStringList>
#include <QTime>
#include <QtGlobal>
#include <optional>

namespace cli {

// What one run of the command-line logger is asked to do.
struct LogOptions {
    QString file;
    int portNo = 1;
    QString device; // a device path given instead of a port number
    qint32 intervalMs = 1000;
    QString comment;
    std::optional<QTime> start;
    std::optional<QTime> stop;
    std::optional<qint64> durationMs;
    std::optional<qint64> samples;
    QString functionCommand;  // the meter control window's command, empty to leave the function
    QString rateCommand;      // "RATE F", "RATE M" or "RATE S", empty to leave the rate
    qint16 silenceLimit = 35; // display ticks, as the link watchdog counts them
    bool csv = false;
    bool quiet = false;
};

// Exit codes.
inline constexpr int ExitDone = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;
inline constexpr int ExitNoPort = 3;

struct ParsedArguments {
    std::optional<LogOptions> options; // empty: print text and exit with exitCode
    QString text;                      // help or version (exit 0), or the usage error
    int exitCode = ExitDone;
};

// Reads the command line (arguments[0] is the program). storedPort is the port used without
// --port (the stored "CommPort").
ParsedArguments parseArguments(const QStringList& arguments, int storedPort);

} // namespace cli
