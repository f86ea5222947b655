#include "frmControl.h"

// Placeholder until the meter control window is built.
frmControl::frmControl(MainWindowApi& main, platform::Platform& platform, QWidget* parent)
    : QWidget(parent), main_(main), platform_(platform) {
    setObjectName("frmControl");
}

void frmControl::openWindow() {}
bool frmControl::isOpen() const { return isVisible(); }
void frmControl::selectOption(const QString& objectName) {
    if (objectName == "optFast") {
        main_.SendMeterCommand("RATE F");
        main_.shared().link.NoReplyLimit = 15;
        main_.shared().link.NoReplyCount = 0;
    } else if (objectName == "optVAC") {
        main_.SendMeterCommand("VAC");
    }
}
void frmControl::hideWindow() { hide(); }
void frmControl::closeWindow() { close(); }
