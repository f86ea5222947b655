#pragma once
#include "core/MeterSession.h"
#include "logger/LoggerRules.h"
#include "logger/SampleCapture.h"
#include "meterlink/ReadingSource.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include <QObject>
#include <QString>
#include <QTime>
#include <functional>
#include <optional>
#include <utility>

namespace core {

// A logging run: its log file, the sample capture from a reading, the sample clock and the timed
// start and stop. The logger window runs one on the meter session (tmrLogClock, the current
// reading, the times of its time boxes); voltrane-log runs one on its own reading and clock, with
// its own end rules asked before each tick's sample. The run announces each sample, a timed stop
// that is due and its end.
class LoggingRun : public QObject {
    Q_OBJECT
public:
    enum class StopReason { Requested, WriteFailed };
    Q_ENUM(StopReason)

    LoggingRun(MeterSession& session, platform::Clock& clock, platform::MessageBox& messages,
               QObject* parent = nullptr);
    // A run on a reading, run state and sample clock of the caller's own.
    LoggingRun(meterlink::ReadingSource& source, LoggerRunState& run, QTimer& logClock,
               platform::Clock& clock, platform::MessageBox& messages, QObject* parent = nullptr);
    ~LoggingRun() override;

    const LoggerRunState& state() const { return run_; }
    bool active() const { return run_.LoggingActive; }
    bool capturing() const { return capture_->capturing(); }
    logger::SampleCapture& capture() { return *capture_; }

    // Creates the log file with its Info row. False when it could not be made: the user has
    // been told, and a Cancel there asks for the program's end (quitRequested, once the
    // caller has returned). Otherwise the run is active on that file with that period.
    bool open(const QString& path, const QString& comment, qint32 intervalMs);
    // Takes a log file made by the caller (voltrane-log makes it with its first sample).
    void begin(db::Connection file);
    // The first sample at once, then one on every tick of the sample clock.
    void startSampling();
    // The sample clock on with LogIntervalMs, as a precise timer.
    void startClock();
    // Writes one sample from the current reading.
    void takeSample();
    // Clock off and file released; the rows stay in the file (stopped, Requested).
    void stop();

    // The file and period the next run starts from; a run going on keeps its own period.
    void setLogFilePath(const QString& path) { run_.LogFilePath = path; }
    void setInterval(qint32 intervalMs);

    // The start and stop times of day of a timed run, as typed; nothing outside the timer mode.
    void setTimes(std::optional<std::pair<QString, QString>> times) { times_ = std::move(times); }
    // A tick of the window clock at now: what the times ask for since the tick before, so a tick
    // that comes late (a message box held the thread) still sees a time it skipped over.
    logger::TimedStep clockTicked(const QTime& now);
    // The window clock counts again from now (the timer mode was just chosen).
    void restartClockAt(const QTime& now) { lastTick_ = now; }
    // Asked on each tick of the sample clock once no timed stop is due: false takes no sample
    // (the caller's own end rule has ended the run, or its file is not made yet).
    void setBeforeSample(std::function<bool()> ready) { beforeSample_ = std::move(ready); }

signals:
    void sampleTaken(int count);
    // The run has ended: asked to, or because a row could not be written (the user has been
    // told, the rows before are kept).
    void stopped(StopReason reason);
    // The stop time of a timed run has come; the sample of that tick is not taken.
    void timedStopDue();
    void quitRequested();

private:
    void attach(meterlink::ReadingSource& source, QTimer& logClock);

    LoggerRunState& run_;
    platform::Clock& clock_;
    platform::MessageBox& messages_;
    std::optional<meterlink::CurrentReadingSource> sessionReading_;
    logger::SampleCapture* capture_ = nullptr;
    std::optional<std::pair<QString, QString>> times_;
    QTime lastTick_;
    std::function<bool()> beforeSample_;
};

} // namespace core
