#pragma once
#include "platform/Clock.h"
#include <QObject>

class QTimer;

namespace logger {

// The once-a-second clock of timed runs, the logger window's and voltrane-log's. Each tick comes
// just after a second of the platform clock has begun, so a fresh clock reading at the tick names
// that second, and a run started by the tick stamps its first row with it. A fixed repeating timer
// would tick at any phase and see a second up to a whole second late.
class WindowClock : public QObject {
    Q_OBJECT
public:
    // How far past the start of a second a tick is due: a timer that wakes a little early
    // must still read the new second.
    static constexpr int SlackMs = 5;

    // The timer is a child named `timerName`.
    WindowClock(platform::Clock& clock, const QString& timerName, QObject* parent = nullptr);
    // Switches the clock on; a running clock keeps its phase.
    void start();
    void stop();
    bool isActive() const;

signals:
    void ticked();

private:
    void arm();

    platform::Clock& clock_;
    QTimer* timer_ = nullptr;
};

} // namespace logger
