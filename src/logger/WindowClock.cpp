#include "WindowClock.h"
#include <QTimer>

namespace logger {

WindowClock::WindowClock(platform::Clock& clock, const QString& timerName, QObject* parent)
    : QObject(parent), clock_(clock), timer_(new QTimer(this)) {
    timer_->setObjectName(timerName);
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, [this] {
        // Armed again first, so a handler that switches the clock off has the last word.
        arm();
        emit ticked();
    });
}

void WindowClock::start() {
    if (!timer_->isActive())
        arm();
}

void WindowClock::stop() {
    timer_->stop();
}

bool WindowClock::isActive() const {
    return timer_->isActive();
}

void WindowClock::arm() {
    timer_->start(1000 - clock_.now().time().msec() + SlackMs);
}

} // namespace logger
