#include "QtProgressDialog.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>

#include <algorithm>
#include <limits>

namespace platform {

QtProgressDialog::QtProgressDialog(QWidget* parent) : parent_(parent) {}

QtProgressDialog::~QtProgressDialog() {
    end();
}

void QtProgressDialog::begin(const QString& label) {
    end();
    QWidget* parent = parent_ ? parent_.data() : QApplication::activeWindow();
    dialog_ = new QProgressDialog(label, QStringLiteral("Cancel"), 0, 0, parent);
    // Without a window to belong to, the dialog keeps the whole program waiting.
    dialog_->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    dialog_->setMinimumDuration(ShowAfterMs);
    // The bar may reach its end a moment before the task returns; the dialog stays until end().
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    // The value at the minimum starts the delay after which the dialog shows itself.
    dialog_->setValue(0);
    qApp->installEventFilter(this);
}

void QtProgressDialog::setProgress(qint64 done, qint64 total) {
    // A cancelled dialog would show itself again on the next value.
    if (!dialog_ || dialog_->wasCanceled())
        return;
    // The bar counts in int: large totals (bytes, rows of a very long run) are scaled down.
    int shift = 0;
    while ((total >> shift) > std::numeric_limits<int>::max())
        ++shift;
    const int maximum = int(total >> shift);
    if (dialog_->maximum() != maximum)
        dialog_->setMaximum(maximum);
    dialog_->setValue(int(std::clamp<qint64>(done >> shift, 0, maximum)));
}

bool QtProgressDialog::cancelled() const {
    return dialog_ && dialog_->wasCanceled();
}

void QtProgressDialog::end() {
    // The program's platform services may outlive the application object.
    if (qApp)
        qApp->removeEventFilter(this);
    delete dialog_;
}

bool QtProgressDialog::eventFilter(QObject* watched, QEvent* event) {
    if (!event->spontaneous() || !watched->isWidgetType())
        return false;
    const auto* widget = static_cast<QWidget*>(watched);
    if (!dialog_ || widget == dialog_ || dialog_->isAncestorOf(widget))
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    case QEvent::Close:
        event->ignore();
        return true;
    default:
        return false;
    }
}

} // namespace platform
