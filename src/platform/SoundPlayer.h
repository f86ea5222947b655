#pragma once
#include <QString>

namespace platform {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Plays the file asynchronously, looping until stop(); replaces any sound playing.
    virtual void playLooped(const QString& path) = 0;
    virtual void stop() = 0;
    virtual void beep() = 0;
};

} // namespace platform
