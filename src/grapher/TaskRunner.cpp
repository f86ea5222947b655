#include "grapher/TaskRunner.h"

#include <QEventLoop>
#include <QTimer>
#include <thread>

namespace grapher {

void TaskRunner::runOnWorker(const QString& label, const std::function<void(Progress&)>& work) {
    Progress progress;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(PollMs);
    const auto report = [&] {
        dialog_.setProgress(progress.done.load(), progress.total.load());
        if (dialog_.cancelled())
            progress.cancel();
    };
    QObject::connect(&poll, &QTimer::timeout, &loop, report);
    dialog_.begin(label);
    // Once before the work starts: the bar starts at nothing done, and a dialog that already
    // says cancel stops even a task too short to see a poll.
    report();
    poll.start();
    std::thread worker([&] {
        work(progress);
        // Queued to the loop's thread: it ends the loop even when the work ends before the
        // loop has started.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    poll.stop();
    dialog_.end();
}

} // namespace grapher
