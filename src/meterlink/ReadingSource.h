#pragma once
#include "meterlink/CurrentReading.h"
#include "meterlink/LinkCounters.h"
#include <QDateTime>
#include <QString>
#include <optional>

namespace meterlink {

// The two readings and their unit texts as a sample row takes them: units without blanks,
// "N/A" and 0 for the secondary reading while the meter shows one reading.
struct ReadingValues {
    QString units;
    float value = 0;
    QString units2;
    float value2 = 0;
    QDateTime arrivedAt; // when the line carrying these readings arrived
};

// Where the sample capture takes its readings from.
class ReadingSource {
public:
    virtual ~ReadingSource() = default;
    // The latest reading with its arrival, or nothing while there is none to trust (the link
    // is lost or the meter silent). The sample capture judges its age.
    virtual std::optional<ReadingValues> sampleReading() = 0;
};

// The main window's current reading. Its unit texts are stripped of blanks in place, so the
// display and the log agree on them; nothing is given while the watchdog has the link lost.
class CurrentReadingSource : public ReadingSource {
public:
    CurrentReadingSource(CurrentReading& reading, const LinkCounters& link)
        : reading_(reading), link_(link) {}
    std::optional<ReadingValues> sampleReading() override;

private:
    CurrentReading& reading_;
    const LinkCounters& link_;
};

} // namespace meterlink
