#include "QtClock.h"
#include <QThread>

namespace platform {

QDateTime QtClock::now() const {
    return QDateTime::currentDateTime();
}

void QtClock::pause(int milliseconds) {
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

} // namespace platform
