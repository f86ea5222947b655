#include "DisplayCycle.h"
#include "ClockText.h"
#include "TrendScale.h"
#include <limits>

namespace {

QString withoutBlanks(QString text) {
    return text.remove(QLatin1Char(' '));
}

} // namespace

DisplayCycle::DisplayCycle(SessionState& state, platform::Clock& clock, DisplayCycleView& view)
    : state_(state), clock_(clock), view_(view) {}

QString DisplayCycle::PrimaryText(const CurrentReading& reading) {
    return reading.PriText + QLatin1Char(' ') + reading.PriDispUnits;
}

QString DisplayCycle::SecondaryText(const CurrentReading& reading) {
    return reading.SecText + QLatin1Char(' ') + reading.SecDispUnits;
}

void DisplayCycle::tick() {
    if (running_)
        return;
    running_ = true;
    run();
    running_ = false;
}

void DisplayCycle::run() {
    CurrentReading& reading = state_.reading;
    DisplayShared& display = state_.display;

    display.TimeText = ElevenCharTime(LongTimeText(clock_.now().time()));

    const QString primary = PrimaryText(reading);
    view_.setPrimaryFontSize(primary.size() > LongTextLength ? LongTextPoints : NormalPoints);

    if (reading.DualDisplay) {
        if (!view_.dualLayoutShown())
            view_.ShowDualLayout();
        view_.setSecondaryText(SecondaryText(reading));
        view_.setPrimaryText(primary);
    } else {
        if (view_.dualLayoutShown())
            view_.ShowSingleLayout();
        view_.setPrimaryText(primary);
        reading.SecUnits = QStringLiteral("N/A");
        reading.SecValue = 0;
    }

    display.PriSnapshot = reading.PriValue;
    display.SecSnapshot = reading.DualDisplay ? reading.SecValue : 0;
    reading.ShownUnits = reading.PriDispUnits;

    ResetMaxMin(display);

    view_.evaluateAlarms();

    display.TrendUnits =
        withoutBlanks(display.TrendTrace == 1 ? reading.PriUnits : reading.SecUnits);
    if (display.TrendUnits != watchedUnits_) {
        view_.clearAlarms();
        if (state_.logger.LoggerOpen)
            view_.startTrendRescale();
        watchedUnits_ = display.TrendUnits;
    }

    // Another window may have moved the ring position; never write outside the ring.
    if (display.TrendIndex < 0 || display.TrendIndex >= TrendSlots)
        display.TrendIndex = 0;
    display.PriHistory[display.TrendIndex] = display.PriSnapshot;
    display.SecHistory[display.TrendIndex] = display.SecSnapshot;

    if (!state_.logger.LoggerOpen) {
        view_.setOpenMenuEnabled(true);
    } else {
        view_.setOpenMenuEnabled(false);
        view_.drawTrendTrace();
    }

    display.TrendIndex = qint16(display.TrendIndex + 1);
    if (display.TrendIndex > TrendSlots - 1) {
        display.TrendIndex = 0;
        ResetMaxMin(display);
    }

    view_.runWatchdog();
    // Saturates instead of wrapping to a negative count that would hide the silence.
    if (state_.link.NoReplyCount < std::numeric_limits<qint16>::max())
        ++state_.link.NoReplyCount;

    view_.blinkTrippedAlarms();
}
