#pragma once
#include <QString>

namespace realdialog {

// Answers the next file dialog the code under test opens, with Qt's own dialog widgets (never
// the desktop's): once it is up and modal, types `name` into its file name box and presses
// Return, as a person would. A dialog that refuses the name shows a warning; the warning and the
// dialog are then closed, so the code sees a cancel instead of the test waiting for ever.
// With nextFilter, the next file type is then chosen in the dialog's list, as by the arrow key.
void typeIntoNextFileDialog(const QString& name, bool nextFilter = false);

} // namespace realdialog
