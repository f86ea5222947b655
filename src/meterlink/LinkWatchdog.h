#pragma once
#include "meterlink/CurrentReading.h"
#include "meterlink/LinkCounters.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/SerialPort.h"
#include <QString>

namespace meterlink {

// What the silence watchdog asks of the main window. The main window implements it.
class LinkWatchdogHost {
public:
    virtual ~LinkWatchdogHost() = default;
    // The two large displays, Label1 and Label2.
    virtual void setDisplayTexts(const QString& label1, const QString& label2) = 0;
    // cmdLogger takes the standard button face and is disabled (the next complete reply line
    // enables it again).
    virtual void disableLoggerButton() = 0;
    // The receive side starts afresh: RxWriteIdx, RxPrevIdx := 0, RxLine emptied
    // (MeterLink::ResetReceiveState).
    virtual void resetReceiveState() = 0;
    // Stops tmrDispUpdate and tmrLogClock; a running log takes no more samples.
    virtual void stopTimers() = 0;
    virtual bool dualLayoutShown() const = 0;
    virtual void ShowDualLayout() = 0;
    // Disables cmdMeterSettings and cmdAlarms and hides the meter control window.
    virtual void disableMeterControls() = 0;
    // The port number in use (1..8), opened again after the question.
    virtual int commPortNo() const = 0;
};

// The silence check at the end of every display tick. When more ticks than NoReplyLimit have
// passed without a received character, the displays show "No Comm" / "Reset Meter", the port
// closes, the receive side resets and the user is asked to reset the meter: OK continues
// watching with the limit 35, Cancel goes offline ("Check Port" / "Then Restart", timers
// stopped, controls disabled).
//
// Wiring in the main window: call check() where the display tick runs the watchdog; the tick
// raises NoReplyCount by one right after it, as on every tick, so after either answer the
// count stands at 0 (check() leaves it at -1). The display tick must not run again while the
// question is open: DisplayCycle skips re-entered ticks, and check() itself ignores a call
// made while its question is open.
class LinkWatchdog {
public:
    enum class Outcome {
        Watching,  // within the limit, or a call while the question was open: nothing done
        Continued, // OK: port open again, watching with the limit 35
        Offline    // Cancel, or the port could not be opened again
    };

    LinkWatchdog(LinkCounters& link, CurrentReading& reading, platform::SerialPort& port,
                 platform::MessageBox& messages, platform::Clock& clock, LinkWatchdogHost& host);

    Outcome check();
    bool offline() const { return offline_; }

    static constexpr qint16 ContinueLimit = 35;
    static constexpr int ContinuePauseMs = 1000;
    static inline const QString QuestionTitle = QStringLiteral("Please Reset the Meter Manually!");
    // The meter's setup help (version, line settings, setting up and connecting the meter),
    // shown also as the main window's Help; the question goes on with what to do next.
    static QString SetupHelpText();
    static QString QuestionText();
    // Shown when the port cannot be opened again after the question; the program stays offline.
    static inline const QString ReopenFailedTitle = QStringLiteral("Serial Port");
    static QString ReopenFailedText(int portNo, int errorCode);

private:
    void goOffline(bool reopen);
    bool reopenPort();

    LinkCounters& link_;
    CurrentReading& reading_;
    platform::SerialPort& port_;
    platform::MessageBox& messages_;
    platform::Clock& clock_;
    LinkWatchdogHost& host_;
    bool asking_ = false;
    bool offline_ = false;
};

} // namespace meterlink
