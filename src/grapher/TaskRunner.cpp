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
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        dialog_.setProgress(progress.done.load(), progress.total.load());
        if (dialog_.cancelled())
            progress.cancel();
    });
    dialog_.begin(label);
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
