#include "meterlink/ReadingSource.h"

namespace meterlink {

std::optional<ReadingValues> CurrentReadingSource::sampleReading() {
    // From the moment the display shows "No Comm" until a complete line arrives, the numbers
    // are stale (the display shows the last ones again after Continue).
    if (link_.LinkLost)
        return std::nullopt;
    reading_.PriUnits.remove(QLatin1Char(' '));
    reading_.SecUnits.remove(QLatin1Char(' '));
    return ReadingValues{reading_.PriUnits, reading_.PriValue, reading_.SecUnits, reading_.SecValue,
                         reading_.ReadingAt};
}

} // namespace meterlink
