#pragma once
#include "meterlink/CurrentReading.h"
#include "meterlink/ReadingSource.h"
#include "platform/Clock.h"
#include <QDateTime>
#include <QObject>
#include <optional>

namespace cli {

// The reading of the latest reading line, for a logger without a display. A prompt or an echoed
// command is not a reading and changes nothing; once no reading line has come for longer than
// the silence tolerated, nothing is given until the next one.
class LatestReading : public QObject, public meterlink::ReadingSource {
    Q_OBJECT
public:
    // reading is the current reading the meter link parses lines into.
    LatestReading(const CurrentReading& reading, platform::Clock& clock, qint64 silenceMs,
                  QObject* parent = nullptr);

    // Connected to MeterLink::lineCompleted.
    void lineCompleted(const QString& line);

    std::optional<meterlink::ReadingValues> sampleReading() override;

    // True when no reading line has come for longer than the silence tolerated since `since`
    // (the start of watching) or since the last reading line.
    bool silent(const QDateTime& since) const;
    std::optional<QDateTime> lastAt() const { return lastAt_; }
    std::optional<meterlink::ReadingValues> last() const { return last_; }

signals:
    void readingArrived();

private:
    const CurrentReading& reading_;
    platform::Clock& clock_;
    qint64 silenceMs_;
    std::optional<meterlink::ReadingValues> last_;
    std::optional<QDateTime> lastAt_;
};

} // namespace cli
