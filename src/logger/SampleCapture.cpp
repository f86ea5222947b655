#include "SampleCapture.h"
#include "CreateLogDatabase.h"
#include <QTimer>

namespace logger {

SampleCapture::SampleCapture(MainWindowApi& main, platform::Clock& clock,
                             platform::MessageBox& messages, QObject* parent)
    : QObject(parent), main_(main), clock_(clock), messages_(messages) {
    connect(&main_.logClock(), &QTimer::timeout, this, [this] {
        if (writer_)
            GetRowofData();
    });
}

SampleCapture::~SampleCapture() {
    end();
}

void SampleCapture::begin(db::Connection file) {
    writer_.emplace(std::move(file));
    main_.shared().logger.SampleCount = 0;
}

void SampleCapture::startClock() {
    QTimer& clock = main_.logClock();
    clock.setInterval(main_.shared().logger.LogIntervalMs);
    clock.start();
}

void SampleCapture::end() {
    main_.logClock().stop();
    if (writer_) {
        writer_->close();
        writer_.reset();
    }
}

bool SampleCapture::GetRowofData() {
    // From the moment the display shows "No Comm" until a complete line arrives, the numbers
    // are stale (the display shows the last ones again after Continue): log nothing from them.
    if (!writer_ || main_.shared().link.LinkLost)
        return true;
    SharedState& shared = main_.shared();
    // One reading of the clock gives both the time of day and its millisecond field, so the
    // two belong to the same instant.
    const QDateTime now = clock_.now();
    shared.reading.PriUnits.remove(QLatin1Char(' '));
    shared.reading.SecUnits.remove(QLatin1Char(' '));

    logfile::SampleRow row;
    row.timeStamp = logfile::timeStampOf(now.time());
    row.milliSeconds = float(now.time().msec());
    row.units = shared.reading.PriUnits;
    row.value = shared.reading.PriValue;
    row.units2 = shared.reading.SecUnits;
    row.value2 = shared.reading.SecValue;
    try {
        writer_->append(row);
    } catch (const db::Error& error) {
        LoggerRunState& run = shared.logger;
        const QString path = writer_->connection().path();
        const bool kept = writer_->restoreIfRemoved();
        end();
        run.LoggingActive = false;
        emit runFailed();
        messages_.show(failureText(error.number(), path, run.SampleCount, kept),
                       platform::Buttons::OkOnly, FailureTitle, platform::Icon::Exclamation);
        return false;
    }
    ++shared.logger.SampleCount;
    emit sampleWritten(shared.logger.SampleCount);
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
