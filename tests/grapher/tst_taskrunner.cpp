#include "Doubles.h"
#include "grapher/TaskRunner.h"
#include "platform/QtProgressDialog.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>
#include <stdexcept>
#include <thread>

using namespace grapher;

namespace {

// A task as a load is: it counts rows and checks for a cancel as it goes.
int WaitForCancel(Progress& progress) {
    progress.total = 100;
    progress.add(40);
    // Gives up after some seconds, so a cancel that never arrives fails instead of hanging.
    for (int i = 0; i < 5000 && !progress.cancelled(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return progress.cancelled() ? Cancelled : 0;
}

// Counts the times a progress dialog is shown.
struct ShowCounter : QObject {
    int shown = 0;
    bool eventFilter(QObject* o, QEvent* e) override {
        shown += e->type() == QEvent::Show && qobject_cast<QProgressDialog*>(o);
        return false;
    }
};

} // namespace

class TaskRunnerTest : public QObject {
    Q_OBJECT
private slots:
    // The runner reports the task's progress, passes the user's cancel to it, hands back its
    // result or its exception, and always closes the dialog.
    void reportsCancelsAndEnds() {
        doubles::FakeProgressDialog dialog;
        dialog.cancelWhen = [](qint64 done) { return done >= 40; };
        TaskRunner runner(dialog);
        QCOMPARE(runner.run("Reading", WaitForCancel), Cancelled);
        QCOMPARE(dialog.begun, QStringList{"Reading"});
        QCOMPARE(dialog.shown, std::pair(40LL, 100LL));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, runner.run("Writing", [](Progress&) -> int {
            throw std::runtime_error("disk");
        }));
        QCOMPARE(dialog.ended, 2);
    }

    // The real dialog: it shows the task's progress, its Cancel button stops the task, and
    // until the task ends no click reaches the window behind, even before the dialog shows.
    void realDialogCancels() {
        QWidget window;
        auto* button = new QPushButton("Zoom", &window);
        QSignalSpy clicks(button, &QPushButton::clicked);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Without a window of its own, the dialog belongs to the one the user acted in.
        platform::QtProgressDialog dialog;
        std::pair<int, int> seen;
        QTimer user;
        connect(&user, &QTimer::timeout, [&] {
            QTest::mouseClick(button, Qt::LeftButton);
            auto* bar = window.findChild<QProgressDialog*>();
            if (!bar || !bar->isVisible())
                return;
            seen = {bar->value(), bar->maximum()};
            QTest::mouseClick(bar->findChild<QPushButton*>(), Qt::LeftButton);
        });
        user.start(20);
        QCOMPARE(TaskRunner(dialog).run("Reading", WaitForCancel), Cancelled);
        user.stop();
        QCOMPARE(std::tuple(seen, int(clicks.count()), window.findChild<QProgressDialog*>()),
                 std::tuple(std::pair(40, 100), 0, static_cast<QProgressDialog*>(nullptr)));

        // A quick task shows nothing, and afterwards the window takes clicks again.
        ShowCounter counter;
        qApp->installEventFilter(&counter);
        QCOMPARE(TaskRunner(dialog).run("Writing", [](Progress&) { return 7; }), 7);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(std::pair(counter.shown, int(clicks.count())), std::pair(0, 1));
    }
};

QTEST_MAIN(TaskRunnerTest)
#include "tst_taskrunner.moc"
