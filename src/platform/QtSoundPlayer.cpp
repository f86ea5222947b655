#include "QtSoundPlayer.h"
#include <QApplication>
#include <QSoundEffect>
#include <QUrl>

namespace platform {

QtSoundPlayer::QtSoundPlayer() : effect_(std::make_unique<QSoundEffect>()) {
    effect_->setLoopCount(QSoundEffect::Infinite);
}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::playLooped(const QString& path) {
    effect_->stop();
    effect_->setSource(QUrl::fromLocalFile(path));
    effect_->setLoopCount(QSoundEffect::Infinite);
    effect_->play();
}

void QtSoundPlayer::stop() {
    effect_->stop();
}

void QtSoundPlayer::beep() {
    QApplication::beep();
}

} // namespace platform
