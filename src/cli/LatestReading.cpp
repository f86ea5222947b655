#include "cli/LatestReading.h"
#include "meterlink/ReplyParser.h"

namespace cli {

LatestReading::LatestReading(const CurrentReading& reading, platform::Clock& clock,
                             qint64 silenceMs, QObject* parent)
    : QObject(parent), reading_(reading), clock_(clock), silenceMs_(silenceMs) {}

void LatestReading::lineCompleted(const QString& line) {
    if (!meterlink::IsReadingLine(line))
        return;
    // Without a display cycle the secondary reading of a single display is set here, as the
    // display cycle sets it for the windowed program.
    const bool dual = reading_.DualDisplay;
    lastAt_ = clock_.now();
    last_ = meterlink::ReadingValues{QString(reading_.PriUnits).remove(u' '), reading_.PriValue,
                                     dual ? QString(reading_.SecUnits).remove(u' ')
                                          : QStringLiteral("N/A"),
                                     dual ? reading_.SecValue : 0.0f, *lastAt_};
    emit readingArrived();
}

bool LatestReading::silent(const QDateTime& since) const {
    const QDateTime from = lastAt_ && *lastAt_ > since ? *lastAt_ : since;
    return from.msecsTo(clock_.now()) > silenceMs_;
}

std::optional<meterlink::ReadingValues> LatestReading::sampleReading() {
    if (!lastAt_ || lastAt_->msecsTo(clock_.now()) > silenceMs_)
        return std::nullopt;
    return last_;
}

} // namespace cli
