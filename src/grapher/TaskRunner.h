#pragma once
#include "grapher/Progress.h"
#include "platform/ProgressDialog.h"

#include <QString>
#include <exception>
#include <functional>
#include <optional>
#include <utility>

namespace grapher {

// Runs a long load, export or copy on a worker thread while the calling (user-interface)
// thread keeps handling events: the progress dialog moves, windows repaint, timers tick.
// Every PollMs the thread's Progress goes to the dialog, and a Cancel there sets
// Progress::cancel(); the task notices it within its own cancel latency and returns its
// "cancelled" result (Cancelled), which the runner hands back like any other.
//
// While it runs, what the user may do is the dialog's business (the Qt one lets input reach
// nothing but itself); the caller must not touch the data the task reads or writes.
// Events are handled in a nested loop, so a caller must also not be deleted by one of them.
class TaskRunner {
public:
    static constexpr int PollMs = 50;

    explicit TaskRunner(platform::ProgressDialog& dialog) : dialog_(dialog) {}

    // Returns what work returned; an exception it threw is thrown again here.
    template <class Work> auto run(const QString& label, Work work) {
        using Result = decltype(work(std::declval<Progress&>()));
        std::optional<Result> result;
        std::exception_ptr error;
        runOnWorker(label, [&](Progress& progress) {
            try {
                result.emplace(work(progress));
            } catch (...) {
                error = std::current_exception();
            }
        });
        if (error)
            std::rethrow_exception(error);
        return std::move(*result);
    }

private:
    void runOnWorker(const QString& label, const std::function<void(Progress&)>& work);

    platform::ProgressDialog& dialog_;
};

} // namespace grapher
