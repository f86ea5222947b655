#pragma once
#include "core/SessionState.h"
#include "platform/Clock.h"
#include <QString>

// What one tick of the display cycle asks of the views. The meter session implements it by
// signals; tests implement it with a recorder.
class DisplayCycleView {
public:
    virtual ~DisplayCycleView() = default;
    virtual void setPrimaryFontSize(int points) = 0;
    virtual void setPrimaryText(const QString& text) = 0;
    virtual void setSecondaryText(const QString& text) = 0;
    virtual bool dualLayoutShown() const = 0;
    virtual void ShowDualLayout() = 0;
    virtual void ShowSingleLayout() = 0;
    virtual void setOpenMenuEnabled(bool enabled) = 0;
    // Clears the logger's trend picture and draws the followed history (logger open only).
    virtual void drawTrendTrace() = 0;
    // Compares PriSnapshot with the thresholds.
    virtual void evaluateAlarms() = 0;
    // The followed reading changed its unit: the alarms are cleared.
    virtual void clearAlarms() = 0;
    // Starts the logger's delayed trend rescale.
    virtual void startTrendRescale() = 0;
    // The silence check, run before the silence counter goes up.
    virtual void runWatchdog() = 0;
    // Tripped alarm labels invert their visibility.
    virtual void blinkTrippedAlarms() = 0;
};

// The 200 ms refresh of everything that depends on the current reading.
class DisplayCycle {
public:
    DisplayCycle(SessionState& state, platform::Clock& clock, DisplayCycleView& view);

    // One tick. A tick that is reached again while one is running (a modal question inside
    // the watchdog runs the event loop) is skipped, so no second question can stack up.
    void tick();

    // The unit text of the followed reading seen at the previous tick, blanks removed.
    const QString& WatchedUnits() const { return watchedUnits_; }

    // The primary display's text for the current reading.
    static QString PrimaryText(const CurrentReading& reading);
    static QString SecondaryText(const CurrentReading& reading);
    static constexpr int LongTextPoints = 64;
    static constexpr int NormalPoints = 72;
    static constexpr int LongTextLength = 12;

private:
    void run();

    SessionState& state_;
    platform::Clock& clock_;
    DisplayCycleView& view_;
    QString watchedUnits_;
    bool running_ = false;
};
