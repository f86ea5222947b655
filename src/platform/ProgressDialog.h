#pragma once
#include <QString>
#include <QtGlobal>

namespace platform {

// What the user sees of a long task: a dialog with a moving bar and Cancel. It appears only
// when the task is still running after a short delay, so a quick one causes no flicker.
class ProgressDialog {
public:
    virtual ~ProgressDialog() = default;
    // A task starts: the delay before the dialog appears runs from here.
    virtual void begin(const QString& label) = 0;
    // done of total steps; a total of 0 (not yet known) shows a busy bar.
    virtual void setProgress(qint64 done, qint64 total) = 0;
    // True once the user asked to stop the task begun last.
    virtual bool cancelled() const = 0;
    // The task ended, finished or cancelled: the dialog goes.
    virtual void end() = 0;
};

} // namespace platform
