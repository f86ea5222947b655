#include "SampleCapture.h"
#include "CreateLogDatabase.h"
#include <QTimer>

namespace logger {

SampleCapture::SampleCapture(meterlink::ReadingSource& source, LoggerRunState& run,
                             QTimer& logClock, platform::Clock& clock,
                             platform::MessageBox& messages, QObject* parent)
    : QObject(parent), source_(source), run_(run), logClock_(logClock), clock_(clock),
      messages_(messages) {
    connect(&logClock_, &QTimer::timeout, this, [this] {
        if (writer_)
            GetRowofData();
    });
}

SampleCapture::~SampleCapture() {
    end();
}

void SampleCapture::begin(db::Connection file) {
    writer_.emplace(std::move(file));
    run_.SampleCount = 0;
}

void SampleCapture::startClock() {
    // A coarse timer may fire up to 5% late on each tick, and a run's rows would drift apart.
    logClock_.setTimerType(Qt::PreciseTimer);
    logClock_.setInterval(run_.LogIntervalMs);
    logClock_.start();
}

void SampleCapture::end() {
    logClock_.stop();
    if (writer_) {
        writer_->close();
        writer_.reset();
    }
}

bool SampleCapture::GetRowofData() {
    if (!writer_)
        return true;
    // One reading of the clock gives both the time of day and its millisecond field, so the
    // two belong to the same instant.
    const QDateTime now = clock_.now();
    const std::optional<meterlink::ReadingValues> reading = source_.sampleReading();
    // Only a reading older than FreshReadingMs is refused, not one exactly that old. A reading
    // stamped after now (the system clock set back) is kept.
    if (!reading || !reading->arrivedAt.isValid() ||
        reading->arrivedAt.msecsTo(now) > FreshReadingMs)
        return true;
    logfile::SampleRow row;
    row.timeStamp = logfile::timeStampOf(now.time());
    row.milliSeconds = float(now.time().msec());
    row.units = reading->units;
    row.value = reading->value;
    row.units2 = reading->units2;
    row.value2 = reading->value2;
    try {
        writer_->append(row);
    } catch (const db::Error& error) {
        const QString path = writer_->connection().path();
        const bool kept = writer_->restoreIfRemoved();
        end();
        run_.LoggingActive = false;
        emit runFailed();
        messages_.show(failureText(error.number(), path, run_.SampleCount, kept),
                       platform::Buttons::OkOnly, FailureTitle, platform::Icon::Exclamation);
        return false;
    }
    ++run_.SampleCount;
    emit rowWritten(row);
    emit sampleWritten(run_.SampleCount);
    return true;
}

QString SampleCapture::failureText(int errorNumber, const QString& path, int samples,
                                   bool fileKept) {
    const QString crlf = QStringLiteral("\r\n");
    const QString head = QStringLiteral("A sample could not be written, logging has stopped.") +
                         crlf + crlf + fileErrorLines(errorNumber, path);
    if (!fileKept)
        return head + QStringLiteral("The file ") + path + QStringLiteral(" is gone;") + crlf +
               QStringLiteral("its ") + QString::number(samples) +
               QStringLiteral(" samples could not be kept.") + crlf + crlf;
    return head + QStringLiteral("The ") + QString::number(samples) +
           QStringLiteral(" samples written before are kept in") + crlf + path + crlf + crlf;
}

} // namespace logger
