#pragma once
#include "cli/FunctionGate.h"
#include "cli/LatestReading.h"
#include "cli/LogOptions.h"
#include "core/LoggingRun.h"
#include "grapher/LogColumns.h"
#include "logger/LoggerRunState.h"
#include "logger/WindowClock.h"
#include "meterlink/CurrentReading.h"
#include "meterlink/LinkCounters.h"
#include "meterlink/MeterLink.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/SerialPort.h"
#include <QDateTime>
#include <QIODevice>
#include <QObject>
#include <QTimer>
#include <memory>

namespace cli {

// One unattended logging run: opens the port, sets the meter up, waits for the start (and for a
// reading in the asked function), writes one row per period through the logging run the logger
// window uses, watches for silence (reopening the port every few seconds) and ends at the stop
// time (the window's timed start and stop rule, on a clock of its own ticking after each second),
// after the duration or sample count, on requestStop() (SIGINT, SIGTERM) or when a row cannot
// be written.
//
// The log file is created with its first row, so a run that ends before has left nothing behind.
// Standard output gets the CSV lines (--csv), each as its row is committed; a failed write there
// ends only the copy. Standard error gets the messages, the status line and the closing summary.
class LogRun : public QObject {
    Q_OBJECT
public:
    LogRun(const LogOptions& options, platform::SerialPort& port, platform::Clock& clock,
           QIODevice& out, QIODevice& err, bool statusLine, QObject* parent = nullptr);
    ~LogRun() override;

    // Starts the run. Returns an exit code when it cannot start (the file exists or its folder
    // cannot be written, the port cannot be opened), or nothing while it runs: finished() says
    // when it ends.
    std::optional<int> start();
    // Ends the run cleanly (exit code 0).
    void requestStop();

    int samplesWritten() const { return run_.SampleCount; }

    // Time between reopenings of the port while the meter is silent.
    static constexpr int ReopenEveryMs = 2000;
    static constexpr int WatchEveryMs = 100;

signals:
    void finished(int exitCode);

private:
    class ConsoleMessages;

    void sendSetup();
    void watch();
    void begin();
    bool readyToSample();
    void clockTicked();
    bool createFile();
    bool refuseTakenName();
    void announceStop(const QDateTime& from);
    void writeOut(const QByteArray& bytes);
    void finish(int exitCode);
    bool durationDone(const QDateTime& now) const;
    void writeCsv(const logfile::SampleRow& row);
    void message(const QString& text);
    void showStatus(const QDateTime& now);
    QString portName() const;

    LogOptions options_;
    platform::SerialPort& port_;
    platform::Clock& clock_;
    QIODevice& out_;
    QIODevice& err_;
    bool statusLine_;

    CurrentReading reading_;
    LinkCounters counters_;
    LoggerRunState run_;
    meterlink::MeterLink link_;
    LatestReading latest_;
    FunctionGate gate_;
    std::unique_ptr<ConsoleMessages> messages_;
    QTimer logClock_;
    core::LoggingRun loggingRun_;
    logger::WindowClock realTime_;
    QTimer watchTimer_;
    grapher::LogColumns csvRow_;

    QDateTime launched_;
    std::optional<QDateTime> startAt_;
    std::optional<QDateTime> begun_;
    QDateTime lastReopen_;
    QDateTime lastStatus_;
    bool reportedSilent_ = false;
    bool fileCreated_ = false;
    bool csvStopped_ = false;
    bool finished_ = false;
    bool statusShown_ = false;
};

} // namespace cli
