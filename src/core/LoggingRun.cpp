#include "core/LoggingRun.h"
#include "logger/CreateLogDatabase.h"
#include "logger/LoggerRules.h"
#include <QTimer>

namespace core {

LoggingRun::LoggingRun(MeterSession& session, platform::Clock& clock,
                       platform::MessageBox& messages, QObject* parent)
    : QObject(parent), run_(session.state().logger), clock_(clock), messages_(messages) {
    sessionReading_.emplace(session.state().reading, session.state().link);
    attach(*sessionReading_, session.logClock());
}

LoggingRun::LoggingRun(meterlink::ReadingSource& source, LoggerRunState& run, QTimer& logClock,
                       platform::Clock& clock, platform::MessageBox& messages, QObject* parent)
    : QObject(parent), run_(run), clock_(clock), messages_(messages) {
    attach(source, logClock);
}

void LoggingRun::attach(meterlink::ReadingSource& source, QTimer& logClock) {
    capture_ = new logger::SampleCapture(source, run_, logClock, clock_, messages_, this);
    connect(capture_, &logger::SampleCapture::sampleWritten, this, &LoggingRun::sampleTaken);
    connect(capture_, &logger::SampleCapture::runFailed, this,
            [this] { emit stopped(StopReason::WriteFailed); });
    // Each sample first asks whether a timed run has reached its stop second: the window clock's
    // tick for that second may come a moment after the sample clock's.
    disconnect(&logClock, nullptr, capture_, nullptr);
    connect(&logClock, &QTimer::timeout, this, [this] {
        const QTime now = clock_.now().time();
        if (times_ && run_.LoggingActive && lastTick_.isValid() &&
            logger::timedStep(times_->first, times_->second, lastTick_, now, true) ==
                logger::TimedStep::Stop) {
            emit timedStopDue();
            return;
        }
        if (!beforeSample_ || beforeSample_())
            takeSample();
    });
}

LoggingRun::~LoggingRun() {
    capture_->end();
}

bool LoggingRun::open(const QString& path, const QString& comment, qint32 intervalMs) {
    run_.LogFileError = false;
    run_.LoggingActive = true;
    const logfile::RunInfo info{logfile::infoDateText(clock_.now().date()),
                                comment.left(logger::CommentMaxLength)};
    // Cancel on a creation error ends the program through the whole Quit, once this handler
    // has returned, so the settings are saved and every window closes in its order.
    const auto endProgram = [this] {
        QTimer::singleShot(0, this, [this] { emit quitRequested(); });
    };
    std::optional<db::Connection> file =
        logger::CreateLogDatabase(run_, messages_, path, info, endProgram);
    if (run_.LogFileError || !file) {
        // LogFilePath keeps the last file that worked, whose folder is the one stored.
        run_.LogFileError = true;
        run_.LoggingActive = false;
        return false;
    }
    run_.LogFilePath = path;
    run_.LogIntervalMs = intervalMs;
    capture_->begin(std::move(*file));
    return true;
}

void LoggingRun::begin(db::Connection file) {
    capture_->begin(std::move(file));
}

void LoggingRun::startSampling() {
    if (capture_->GetRowofData())
        capture_->startClock();
}

void LoggingRun::startClock() {
    capture_->startClock();
}

void LoggingRun::takeSample() {
    capture_->GetRowofData();
}

void LoggingRun::stop() {
    run_.LoggingActive = false;
    capture_->end();
    emit stopped(StopReason::Requested);
}

logger::TimedStep LoggingRun::clockTicked(const QTime& now) {
    const QTime previous = lastTick_.isValid() ? lastTick_ : now;
    lastTick_ = now;
    if (!times_)
        return logger::TimedStep::None;
    return logger::timedStep(times_->first, times_->second, previous, now, run_.LoggingActive);
}

void LoggingRun::setInterval(qint32 intervalMs) {
    if (!run_.LoggingActive)
        run_.LogIntervalMs = intervalMs;
}

} // namespace core
