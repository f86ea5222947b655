#pragma once
#include "SoundPlayer.h"
#include <memory>

class QSoundEffect;

namespace platform {

// Loops a sound file with QSoundEffect; the beep is the system's.
class QtSoundPlayer : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void playLooped(const QString& path) override;
    void stop() override;
    void beep() override;

private:
    std::unique_ptr<QSoundEffect> effect_;
};

} // namespace platform
