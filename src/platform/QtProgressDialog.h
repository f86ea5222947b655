#pragma once
#include "ProgressDialog.h"

#include <QObject>
#include <QPointer>

class QProgressDialog;
class QWidget;

namespace platform {

// A QProgressDialog that appears after half a second, window-modal to the given window or,
// without one, to the window active when the task begins (the one the user acted in).
// From begin() to end() the user's input reaches only this dialog, in every window of the
// program and also during the half second before it shows: nothing may act on a file that is
// half read, nor start a second task. Painting and timers go on, so the windows stay alive
// and the meter's display cycle keeps running.
class QtProgressDialog : public QObject, public ProgressDialog {
public:
    static constexpr int ShowAfterMs = 500;

    explicit QtProgressDialog(QWidget* parent = nullptr);
    ~QtProgressDialog() override;

    void begin(const QString& label) override;
    void setProgress(qint64 done, qint64 total) override;
    bool cancelled() const override;
    void end() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> parent_;
    // One dialog a task, so nothing of an earlier task's cancel or timing carries over.
    QPointer<QProgressDialog> dialog_;
};

} // namespace platform
