#pragma once
#include <QDateTime>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Local date and time of day, milliseconds included.
    virtual QDateTime now() const = 0;
    // Blocks the user-interface thread; no event is handled meanwhile.
    virtual void pause(int milliseconds) = 0;
};

} // namespace platform
