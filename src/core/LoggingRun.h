#pragma once
#include "core/MeterSession.h"
#include "logger/SampleCapture.h"
#include "meterlink/ReadingSource.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include <QObject>
#include <QString>

namespace core {

// A logging run on the meter session: its log file, the sample capture from the session's
// reading and the sample clock (tmrLogClock). The logger window starts and stops it and keeps
// the timed start and stop; the run announces each sample, each clock tick and its end.
class LoggingRun : public QObject {
    Q_OBJECT
public:
    enum class StopReason { Requested, WriteFailed };

    LoggingRun(MeterSession& session, platform::Clock& clock, platform::MessageBox& messages,
               QObject* parent = nullptr);
    ~LoggingRun() override;

    const LoggerRunState& state() const { return run_; }
    bool active() const { return run_.LoggingActive; }
    bool capturing() const { return capture_->capturing(); }
    logger::SampleCapture& capture() { return *capture_; }

    // Creates the log file with its Info row. False when it could not be made: the user has
    // been told, and a Cancel there asks for the program's end (quitRequested, once the
    // caller has returned). Otherwise the run is active on that file with that period.
    bool open(const QString& path, const QString& comment, qint32 intervalMs);
    // The first sample at once, then one on every tick the window passes on (takeSample).
    void startSampling();
    // Writes one sample from the current reading.
    void takeSample();
    // Clock off and file released; the rows stay in the file.
    void stop();

    // The file and period the next run starts from; a run going on keeps its own period.
    void setLogFilePath(const QString& path) { run_.LogFilePath = path; }
    void setInterval(qint32 intervalMs);

signals:
    void sampleTaken(int count);
    void stopped(StopReason reason);
    // The sample clock ticked: a sample is due unless a timed stop has come.
    void sampleDue();
    void quitRequested();

private:
    LoggerRunState& run_;
    platform::Clock& clock_;
    platform::MessageBox& messages_;
    meterlink::CurrentReadingSource readingSource_;
    logger::SampleCapture* capture_ = nullptr;
};

} // namespace core
