#pragma once
#include "LogFile.h"
#include "logger/LoggerRunState.h"
#include "meterlink/ReadingSource.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include <QObject>
#include <optional>

class QTimer;

namespace logger {

// The sample capture of a logging run: GetRowofData on every tick of the sample clock (the main
// window's tmrLogClock), one committed LogData row per tick, made from the reading source.
//
// The capture holds the run's open log file between begin() and end(). A row that cannot be
// written stops the run at once (clock off, LoggingActive false, file released, rows already
// written kept), tells the user in a message box and emits runFailed() so the window can show
// its idle state.
class SampleCapture : public QObject {
    Q_OBJECT
public:
    SampleCapture(meterlink::ReadingSource& source, LoggerRunState& run, QTimer& logClock,
                  platform::Clock& clock, platform::MessageBox& messages,
                  QObject* parent = nullptr);
    ~SampleCapture() override;

    // Takes the run's freshly created log file; SampleCount starts at 0.
    void begin(db::Connection file);
    // Switches the sample clock on with LogIntervalMs, as a precise timer.
    void startClock();
    // Clock off and file released; the rows stay in the file.
    void end();
    bool capturing() const { return writer_.has_value(); }

    // The oldest reading a sample may carry, in milliseconds before the sample. The meter's
    // slowest output (dual display with its periodic pauses) stays well under it, while a meter
    // that has gone quiet stops adding rows long before the link is declared lost.
    static constexpr qint64 FreshReadingMs = 2000;

    // Writes one sample row, or nothing (and counts nothing) while there is no reading or the
    // latest arrived more than FreshReadingMs before the sample. Returns false when the row
    // could not be written (the run has then been stopped and the user told).
    bool GetRowofData();

    static QString failureText(int errorNumber, const QString& path, int samples, bool fileKept);
    static inline const QString FailureTitle = QStringLiteral("Logging Stopped!");

signals:
    // After every row written: the row, then the new SampleCount.
    void rowWritten(const logfile::SampleRow& row);
    void sampleWritten(int count);
    // The run was stopped because a row could not be written.
    void runFailed();

private:
    meterlink::ReadingSource& source_;
    LoggerRunState& run_;
    QTimer& logClock_;
    platform::Clock& clock_;
    platform::MessageBox& messages_;
    std::optional<logfile::SampleWriter> writer_;
};

} // namespace logger
