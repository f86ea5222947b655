#pragma once
#include "Clock.h"

namespace platform {

class QtClock : public Clock {
public:
    QDateTime now() const override;
    // Sleeps on the calling (user-interface) thread: no event is handled meanwhile.
    void pause(int milliseconds) override;
};

} // namespace platform
