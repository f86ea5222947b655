#pragma once
#include "ProgressDialog.h"

#include <QObject>

class QProgressDialog;
class QWidget;

namespace platform {

// A QProgressDialog, window-modal to the given window, that appears after half a second.
// From begin() to end() the user's input reaches only this dialog, in every window of the
// program, also during the half second before it shows: nothing may act on a file that is
// half read. Painting and timers go on, so the windows stay alive and the meter's display
// cycle keeps running.
class QtProgressDialog : public QObject, public ProgressDialog {
public:
    static constexpr int ShowAfterMs = 500;

    explicit QtProgressDialog(QWidget* parent);
    ~QtProgressDialog() override;

    void begin(const QString& label) override;
    void setProgress(qint64 done, qint64 total) override;
    bool cancelled() const override;
    void end() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QProgressDialog* dialog_;
    bool running_ = false;
};

} // namespace platform
