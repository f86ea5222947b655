#pragma once
#include "core/DisplayCycle.h"
#include "core/MeterOptions.h"
#include "core/SessionState.h"
#include "meterlink/LinkWatchdog.h"
#include "meterlink/MeterLink.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/SerialPort.h"
#include <QObject>
#include <QString>
#include <memory>

class QTimer;

namespace core {

// The live meter as every window sees it: the port in use, the link and its counters, the
// current reading, the silence watchdog and the 200 ms display cycle with its histories and
// trend scale. Windows call its methods and follow its signals; it never calls a window.
//
// One display tick is one ordered run (the watchdog before the silence count, re-entered ticks
// skipped, the watchdog's question guarded); its signals go out at their places in that run and
// are meant for direct connections, so a view has done its part before the tick goes on.
class MeterSession : public QObject, private DisplayCycleView, private meterlink::LinkWatchdogHost {
    Q_OBJECT
public:
    MeterSession(platform::SerialPort& port, platform::Clock& clock, platform::MessageBox& messages,
                 QObject* parent = nullptr);
    ~MeterSession() override;

    SessionState& state() { return state_; }
    const SessionState& state() const { return state_; }
    meterlink::MeterLink& link() { return *link_; }

    // The port number in use (1..8) and switching to another one; returns the port's error code.
    qint16 CommPortNo() const { return CommPortNo_; }
    void setCommPortNo(qint16 portNo) { CommPortNo_ = portNo; }
    int switchPort(qint16 portNo);

    // The display tick (tmrDispUpdate's handler).
    void tick();
    void startDisplayCycle();
    void stopDisplayCycle();
    bool displayCycleRunning() const;
    // The timers as the opening sets them: the display tick at 200 ms, the sample clock at one
    // second and stopped.
    void resetTimers();
    // Both timers stop: the display cycle and the sample clock.
    void stopTimers() override;
    // The sample clock tmrLogClock.
    QTimer& logClock() { return *tmrLogClock; }

    // The one way to send a command: the text followed by one carriage return.
    void SendMeterCommand(const QString& text);
    void SendStartupCommands();
    void ResetMaxMin();
    // The silence count starts again from nothing.
    void restartSilenceCount() { state_.link.NoReplyCount = 0; }
    // Both histories emptied and the scale proposed afresh, as a new trace starts.
    void restartTrend();
    // The trend graph's axes are to be drawn again at its next clock tick.
    void setRescalePending(bool pending) { state_.display.RescalePending = pending; }
    // The trend graph follows the primary (1) or the secondary reading, drawn in this colour.
    void followTrace(qint16 trace, float colour);
    // Sends the option's command and applies its further effects: a function asks the trend
    // graph to rescale (while the logger is open); the two volts-and-frequency pairs and the
    // rates set the silence limit; a rate also restarts the silence count and shows its line.
    void applyMeterOption(const MeterOption& option);
    // The layout the views show; the cycle switches it by layoutChanged.
    bool dualLayoutShown() const override { return dualShown_; }

signals:
    void primaryFontSizeChanged(int points);
    void primaryTextChanged(const QString& text);
    void secondaryTextChanged(const QString& text);
    void layoutChanged(bool dual);
    // Opening a file for the grapher is allowed only while the logger is closed.
    void graphOpenAllowed(bool allowed);
    // The logger's trend picture is to be drawn again from the followed history.
    void traceDue();
    // The snapshot of the primary reading is to be compared with the alarm thresholds.
    void alarmCheckDue(float priSnapshot);
    // The followed reading changed its unit.
    void followedUnitChanged();
    // The trend graph's delayed rescale is to start.
    void rescaleDue();
    // The rate line under the readings has a new text.
    void rateLineChanged(const QString& text);
    // The end of a display tick.
    void ticked();
    // A complete reply line arrived.
    void replyReceived();
    // The watchdog puts its own texts into the two displays ("No Comm", "Check Port"...).
    void displayTextsReplaced(const QString& primary, const QString& secondary);
    // The watchdog took the link as lost; the next complete reply line ends that.
    void linkLost();
    // The user chose to stay offline: the meter controls are of no use any more.
    void wentOffline();

private:
    // DisplayCycleView and LinkWatchdogHost
    void setPrimaryFontSize(int points) override { emit primaryFontSizeChanged(points); }
    void setPrimaryText(const QString& text) override { emit primaryTextChanged(text); }
    void setSecondaryText(const QString& text) override { emit secondaryTextChanged(text); }
    void ShowDualLayout() override;
    void ShowSingleLayout() override;
    void setOpenMenuEnabled(bool enabled) override { emit graphOpenAllowed(enabled); }
    void drawTrendTrace() override { emit traceDue(); }
    void evaluateAlarms() override { emit alarmCheckDue(state_.display.PriSnapshot); }
    void clearAlarms() override { emit followedUnitChanged(); }
    void startTrendRescale() override { emit rescaleDue(); }
    void runWatchdog() override;
    void blinkTrippedAlarms() override { emit ticked(); }
    void setDisplayTexts(const QString& label1, const QString& label2) override;
    void disableLoggerButton() override { emit linkLost(); }
    void resetReceiveState() override;
    void disableMeterControls() override { emit wentOffline(); }
    int commPortNo() const override { return CommPortNo_; }

    platform::SerialPort& port_;
    SessionState state_;
    qint16 CommPortNo_ = 1;
    bool dualShown_ = false;
    QTimer* tmrDispUpdate = nullptr;
    QTimer* tmrLogClock = nullptr;
    std::unique_ptr<meterlink::MeterLink> link_;
    std::unique_ptr<DisplayCycle> cycle_;
    std::unique_ptr<meterlink::LinkWatchdog> watchdog_;
};

} // namespace core
