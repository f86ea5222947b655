#include "cli/LogRun.h"
#include "grapher/CsvExport.h"
#include "logger/CreateLogDatabase.h"
#include "logger/DbError.h"
#include "logger/LogFile.h"
#include <QFile>
#include <QFileInfo>

namespace cli {

// The capture's messages (a row that cannot be written) go to standard error: nobody is there
// to press a button, so every box reads as answered with its first choice.
class LogRun::ConsoleMessages : public platform::MessageBox {
public:
    explicit ConsoleMessages(LogRun& run) : run_(run) {}
    platform::Answer show(const QString& text, platform::Buttons buttons, const QString& title,
                          platform::Icon) override {
        run_.message(title + QLatin1Char('\n') +
                     QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).trimmed());
        return buttons == platform::Buttons::RetryCancel ? platform::Answer::Cancel
                                                         : platform::Answer::Ok;
    }

private:
    LogRun& run_;
};

namespace {

QString clockText(const QDateTime& moment) {
    return moment.time().toString(QStringLiteral("HH:mm:ss"));
}

// The next moment at time of day `time` after `from`.
QDateTime nextAt(const QDateTime& from, const QTime& time) {
    QDateTime at(from.date(), time);
    if (at <= from)
        at = at.addDays(1);
    return at;
}

QString elapsedText(qint64 ms) {
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString fileErrorText(int number, const QString& path) {
    return QStringLiteral("Cannot create ") + path + QStringLiteral(":\n") +
           logger::fileErrorLines(number, path)
               .replace(QLatin1String("\r\n"), QLatin1String("\n"))
               .trimmed();
}

} // namespace

LogRun::LogRun(const LogOptions& options, platform::SerialPort& port, platform::Clock& clock,
               QIODevice& out, QIODevice& err, bool statusLine, QObject* parent)
    : QObject(parent), options_(options), port_(port), clock_(clock), out_(out), err_(err),
      statusLine_(statusLine && !options.quiet), link_(port, clock, reading_, counters_),
      latest_(reading_, clock, SilenceToleratedMs(options.silenceLimit)),
      gate_(latest_, options.functionCommand), messages_(std::make_unique<ConsoleMessages>(*this)),
      loggingRun_(gate_, run_, logClock_, clock, *messages_),
      realTime_(clock, QStringLiteral("realTimeClock")) {
    // A tick that falls at or after the end of the duration takes no further sample, and the
    // first sample also makes the file.
    loggingRun_.setBeforeSample([this] {
        if (durationDone(clock_.now())) {
            finish(ExitDone);
            return false;
        }
        return readyToSample();
    });
    connect(&loggingRun_, &core::LoggingRun::timedStopDue, this, [this] { finish(ExitDone); });
    connect(&realTime_, &logger::WindowClock::ticked, this, &LogRun::clockTicked);
    connect(&link_, &meterlink::MeterLink::lineCompleted, &latest_, &LatestReading::lineCompleted);
    connect(&latest_, &LatestReading::readingArrived, this, [this] {
        if (!begun_ && !startAt_ && !finished_ && gate_.sampleReading())
            begin();
    });
    connect(&loggingRun_.capture(), &logger::SampleCapture::rowWritten, this, &LogRun::writeCsv);
    connect(&loggingRun_, &core::LoggingRun::sampleTaken, this, [this](int count) {
        if (options_.samples && count >= *options_.samples)
            finish(ExitDone);
    });
    connect(
        &loggingRun_, &core::LoggingRun::stopped, this,
        [this](core::LoggingRun::StopReason reason) {
            if (reason == core::LoggingRun::StopReason::WriteFailed)
                finish(ExitFailed);
        },
        Qt::QueuedConnection);
    watchTimer_.setInterval(WatchEveryMs);
    connect(&watchTimer_, &QTimer::timeout, this, &LogRun::watch);
}

LogRun::~LogRun() {
    loggingRun_.stop();
}

QString LogRun::portName() const {
    const QString device = port_.deviceFor(options_.portNo);
    if (!options_.device.isEmpty())
        return options_.device;
    return QStringLiteral("port %1 (%2)")
        .arg(options_.portNo)
        .arg(device.isEmpty() ? QStringLiteral("no device") : device);
}

std::optional<int> LogRun::start() {
    const QFileInfo file(options_.file);
    if (file.exists() || file.isSymLink()) {
        message(options_.file + QStringLiteral(" exists already; it is left untouched. Name a "
                                               "new file for this run."));
        return ExitFailed;
    }
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir() || !folder.isWritable()) {
        message(QStringLiteral("Cannot create ") + options_.file + QStringLiteral(": the folder ") +
                folder.filePath() + QStringLiteral(" does not exist or cannot be written."));
        return ExitFailed;
    }
    if (const int code = port_.open(options_.portNo); code != platform::SerialError::None) {
        QString reason;
        switch (code) {
        case platform::SerialError::NoSuchPort:
            reason = QStringLiteral("there is no such device");
            break;
        case platform::SerialError::PortInUse:
            reason = QStringLiteral("another process is using it");
            break;
        case platform::SerialError::NotOpen:
            reason = QStringLiteral("it cannot be opened (check the access rights)");
            break;
        default:
            reason = QStringLiteral("error #") + QString::number(code);
            break;
        }
        message(QStringLiteral("Cannot open ") + portName() + QStringLiteral(": ") + reason +
                QLatin1Char('.'));
        return ExitNoPort;
    }
    message(QStringLiteral("Reading ") + (options_.device.isEmpty()
                                              ? QStringLiteral("Com%1 = %2")
                                                    .arg(options_.portNo)
                                                    .arg(port_.deviceFor(options_.portNo))
                                              : options_.device));
    launched_ = clock_.now();
    lastReopen_ = launched_;
    run_.LogIntervalMs = options_.intervalMs;
    if (options_.start) {
        startAt_ = nextAt(launched_, *options_.start);
        message(QStringLiteral("Waiting to start at ") + startAt_->toString(Qt::ISODate));
    } else {
        // Without a start time the run is under way from the launch: a stop time that comes
        // while it still waits for its first reading ends it too.
        run_.LoggingActive = true;
    }
    if (options_.start || options_.stop) {
        const auto text = [](const std::optional<QTime>& time) {
            return time ? time->toString(QStringLiteral("HH:mm:ss")) : QString();
        };
        loggingRun_.setTimes(std::pair{text(options_.start), text(options_.stop)});
        // Counted from the launch, so a start time within the launch second is tomorrow's, as
        // the waiting message says.
        loggingRun_.restartClockAt(launched_.time());
        realTime_.start();
    }
    // Without a start time a duration counts from the first reading, not known yet.
    if (startAt_ || !options_.durationMs)
        announceStop(startAt_.value_or(launched_));
    sendSetup();
    watchTimer_.start();
    return std::nullopt;
}

void LogRun::announceStop(const QDateTime& from) {
    std::optional<QDateTime> end;
    if (options_.stop)
        end = nextAt(startAt_.value_or(launched_), *options_.stop);
    if (options_.durationMs) {
        const QDateTime after = from.addMSecs(*options_.durationMs);
        if (!end || after < *end)
            end = after;
    }
    if (end)
        message(QStringLiteral("Stopping at ") + end->toString(Qt::ISODate));
}

void LogRun::sendSetup() {
    // Format 2 always (the lines are parsed in it); the rate and function only when asked, so a
    // meter set up by hand keeps its function.
    link_.SendMeterCommand(QStringLiteral("FORMAT 2"));
    if (!options_.rateCommand.isEmpty())
        link_.SendMeterCommand(options_.rateCommand);
    if (!options_.functionCommand.isEmpty())
        link_.SendMeterCommand(options_.functionCommand);
    gate_.arm();
}

void LogRun::requestStop() {
    if (!finished_ && !refuseTakenName())
        finish(ExitDone);
}

// A file that appeared under the name before this run made its own is someone else's: it is
// left alone and the run ends with the error it is.
bool LogRun::refuseTakenName() {
    const QFileInfo file(options_.file);
    if (fileCreated_ || (!file.exists() && !file.isSymLink()))
        return false;
    message(fileErrorText(db::ErrorNumber::AlreadyExists, options_.file));
    finish(ExitFailed);
    return true;
}

bool LogRun::durationDone(const QDateTime& now) const {
    return begun_ && options_.durationMs && begun_->msecsTo(now) >= *options_.durationMs;
}

void LogRun::watch() {
    if (finished_)
        return;
    const QDateTime now = clock_.now();
    if (refuseTakenName())
        return;
    if (durationDone(now)) {
        finish(ExitDone);
        return;
    }

    const bool silent = latest_.silent(launched_);
    if (silent && !reportedSilent_) {
        reportedSilent_ = true;
        message(QStringLiteral("Meter silent since ") +
                clockText(latest_.lastAt().value_or(launched_)) +
                QStringLiteral(": no rows are written; the port is reopened every few seconds."));
    } else if (!silent && reportedSilent_) {
        reportedSilent_ = false;
        message(QStringLiteral("Meter answering again at ") + clockText(now) +
                (begun_ ? QStringLiteral(": logging resumes.") : QStringLiteral(".")));
    }
    // A device that went away and came back under its name is opened afresh, and a meter that
    // was switched off and on gets its set-up again.
    if (silent && lastReopen_.msecsTo(now) >= ReopenEveryMs) {
        lastReopen_ = now;
        port_.close();
        if (port_.open(options_.portNo) == platform::SerialError::None) {
            link_.ResetReceiveState();
            sendSetup();
        }
    }
    if (statusLine_ && (lastStatus_.isNull() || lastStatus_.msecsTo(now) >= 1000)) {
        lastStatus_ = now;
        showStatus(now);
    }
}

void LogRun::showStatus(const QDateTime& now) {
    QString text;
    if (!begun_) {
        text = startAt_ ? QStringLiteral("waiting to start at ") + clockText(*startAt_)
                        : QStringLiteral("waiting for the first reading");
    } else {
        text = elapsedText(begun_->msecsTo(now)) + QStringLiteral("  ") +
               QString::number(run_.SampleCount) + QStringLiteral(" samples  ");
        const std::optional<meterlink::ReadingValues> last = latest_.last();
        if (latest_.silent(launched_) || !last)
            text += QStringLiteral("meter silent");
        else
            text += QString::number(double(last->value), 'g', 7) + QLatin1Char(' ') + last->units;
    }
    err_.write(("\r\x1b[K" + text).toUtf8());
    statusShown_ = true;
}

void LogRun::clockTicked() {
    // A fresh reading: the tick comes just after its second began.
    const logger::TimedStep step = loggingRun_.clockTicked(clock_.now().time());
    if (finished_)
        return;
    if (step == logger::TimedStep::Start && !begun_)
        begin();
    else if (step == logger::TimedStep::Stop)
        finish(ExitDone);
}

void LogRun::message(const QString& text) {
    QByteArray bytes = text.toUtf8() + '\n';
    if (statusShown_) {
        bytes.prepend("\r\x1b[K");
        statusShown_ = false;
    }
    err_.write(bytes);
}

void LogRun::begin() {
    begun_ = clock_.now();
    run_.LoggingActive = true;
    if (!startAt_ && options_.durationMs)
        announceStop(*begun_);
    if (readyToSample())
        loggingRun_.takeSample();
    if (!finished_)
        loggingRun_.startClock();
}

bool LogRun::readyToSample() {
    return fileCreated_ || (gate_.sampleReading() && createFile());
}

bool LogRun::createFile() {
    const QString date = logfile::infoDateText(begun_->date());
    try {
        loggingRun_.begin(
            logfile::createLogFile(options_.file, logfile::RunInfo{date, options_.comment}));
    } catch (const db::Error& error) {
        message(fileErrorText(error.number(), options_.file));
        finish(ExitFailed);
        return false;
    }
    fileCreated_ = true;
    if (options_.csv)
        writeOut(grapher::CsvRunLine(grapher::LogInfo{date, options_.comment}) +
                 grapher::CsvHeaderLine());
    return true;
}

void LogRun::writeOut(const QByteArray& bytes) {
    if (csvStopped_ || out_.write(bytes) == bytes.size())
        return;
    csvStopped_ = true;
    message(QStringLiteral("The CSV copy on standard output has stopped (") + out_.errorString() +
            QStringLiteral("); the run goes on into ") + options_.file + QLatin1Char('.'));
}

void LogRun::writeCsv(const logfile::SampleRow& row) {
    if (!options_.csv)
        return;
    csvRow_.clear();
    csvRow_.append({row.timeStamp, row.milliSeconds, row.units, row.value, row.units2, row.value2});
    QByteArray line;
    grapher::AppendCsvRow(line, csvRow_, 1);
    writeOut(line);
}

void LogRun::finish(int exitCode) {
    if (finished_)
        return;
    finished_ = true;
    watchTimer_.stop();
    realTime_.stop();
    loggingRun_.stop();
    port_.close();
    // A file of this run's own without a row (its first row failed) would only be refused by
    // the grapher and block the name.
    bool kept = fileCreated_;
    if (fileCreated_ && run_.SampleCount == 0)
        kept = !QFile::remove(options_.file);
    if (kept)
        message(QString::number(run_.SampleCount) + QStringLiteral(" samples written to ") +
                options_.file);
    else if (fileCreated_ || exitCode == ExitDone)
        message(QStringLiteral("No sample was taken, so no file is left at ") + options_.file +
                QLatin1Char('.'));
    emit finished(exitCode);
}

} // namespace cli
