#include "SampleCapture.h"
#include "CreateLogDatabase.h"
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace logger {

SampleCapture::SampleCapture(MainWindowApi& main, platform::Clock& clock,
                             platform::MessageBox& messages, std::function<bool()> linkLost,
                             QObject* parent)
    : QObject(parent), main_(main), clock_(clock), messages_(messages),
      linkLost_(std::move(linkLost)) {
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

bool SampleCapture::primaryShowsNoComm() const {
    if (linkLost_)
        return linkLost_();
    QWidget* window = main_.mainWidget();
    const auto* label1 = window ? window->findChild<QLabel*>(QStringLiteral("Label1")) : nullptr;
    return label1 && label1->text() == QLatin1String("No Comm");
}

bool SampleCapture::GetRowofData() {
    // After a lost link the display shows the last numbers again, but they are stale until a
    // complete line arrives: log nothing from them.
    if (!writer_ || main_.shared().link.LinkLost || primaryShowsNoComm())
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
