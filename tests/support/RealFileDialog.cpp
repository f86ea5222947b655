#include "RealFileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <memory>

namespace realdialog {

namespace {

template <typename T> T* shownWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<T*>(w); found && found->isVisible())
            return found;
    return nullptr;
}

} // namespace

void typeIntoNextFileDialog(const QString& name, bool nextFilter) {
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    // Owned by the application, so a poll still waiting when a test ends is not leaked.
    auto* poll = new QTimer(qApp);
    poll->setInterval(20);
    auto typed = std::make_shared<bool>(false);
    auto waited = std::make_shared<int>(0);
    auto refused = std::make_shared<bool>(false);
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        QFileDialog* dialog = shownWindow<QFileDialog>();
        if (!*typed) {
            if (!dialog && ++*waited < 500)
                return;
            if (dialog) {
                auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                edit->setFocus();
                edit->selectAll();
                QTest::keyClicks(edit, name);
                if (nextFilter)
                    QTest::keyClick(dialog->findChild<QWidget*>(QStringLiteral("fileTypeCombo")),
                                    Qt::Key_Down);
                // Return is pressed from the dialog's own loop, so a warning it raises does not
                // hold up this timer.
                QMetaObject::invokeMethod(
                    edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); }, Qt::QueuedConnection);
                *typed = true;
                *waited = 0;
                return;
            }
        } else if (dialog) {
            if (auto* warning = shownWindow<QMessageBox>()) {
                warning->reject();
                *refused = true;
                return;
            }
            if (!*refused && ++*waited < 50)
                return; // Return may not have been handled yet
            dialog->reject();
        }
        poll->deleteLater();
    });
    poll->start();
}

} // namespace realdialog
