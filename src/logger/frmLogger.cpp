#include "frmLogger.h"

// Placeholder until the logger window is built.
frmLogger::frmLogger(MainWindowApi& main, platform::Platform& platform, QWidget* parent)
    : QWidget(parent), main_(main), platform_(platform) {
    setObjectName("frmLogger");
}

void frmLogger::openWindow() {}
bool frmLogger::isOpen() const {
    return false;
}
void frmLogger::returnToMain() {}
void frmLogger::closeWindow() {}
platform::PictureBox* frmLogger::picGraph() {
    return nullptr;
}
void frmLogger::startRescaleTimer() {}
void frmLogger::drawTrendTrace() {}
