#include "frmGrapher.h"

// Placeholder until the grapher window is built.
frmGrapher::frmGrapher(MainWindowApi& main, platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent), main_(main), platform_(platform) {
    setObjectName("frmGrapher");
}

void frmGrapher::loadFromMain() {
    platform_.messages.show("The grapher is not built yet.", platform::Buttons::OkOnly, "");
    main_.startDisplayCycle();
}
bool frmGrapher::isOpen() const { return isVisible(); }
void frmGrapher::closeWindow() { close(); }
