#pragma once
#include <QtGlobal>
#include <atomic>

namespace grapher {

// The failure number of work the user cancelled (as a user interrupt is numbered).
inline constexpr int Cancelled = 18;

// How far a long load, export or copy has got, and the user's wish to stop it. The worker
// adds to done and checks cancelled() every few thousand rows; a progress dialog on another
// thread polls done and total and calls cancel().
struct Progress {
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> cancelRequested{false};

    void cancel() { cancelRequested.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return cancelRequested.load(std::memory_order_relaxed); }
    void add(qint64 n) { done.fetch_add(n, std::memory_order_relaxed); }
};

} // namespace grapher
