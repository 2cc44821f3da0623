// Splitting work over threads started for the run.
#include "surfaces/parallel_slices.h"

#include "surfaces/work_progress.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace {
std::atomic<int> setCount{0};

// Pieces per slice when someone watches the progress: enough to move the figure smoothly.
constexpr int piecesPerSlice = 16;

// Runs work over [first, end), in pieces that each report to progress when there is one.
void runReporting(int first, int end, WorkProgress* progress, const std::function<void(int, int)>& work) {
    if (!progress) {
        work(first, end);
        return;
    }
    const int piece = std::max(1, (end - first + piecesPerSlice - 1) / piecesPerSlice);
    for (int at = first; at < end; at += piece) {
        const int to = std::min(end, at + piece);
        work(at, to);
        progress->addItems(to - at);
    }
}
} // namespace

int ParallelSlices::threadCount() {
    const int set = setCount.load(std::memory_order_relaxed);
    if (set > 0)
        return std::min(set, MaxThreads);
    const int hardware = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(hardware, 1, MaxThreads);
}

void ParallelSlices::setThreadCount(int count) {
    setCount.store(std::max(count, 0), std::memory_order_relaxed);
}

void ParallelSlices::run(int count, double costPerItem, const std::function<void(int, int)>& work) {
    if (count <= 0)
        return;
    WorkProgress* progress = WorkProgress::current();
    if (progress)
        progress->beginStage(count);
    const bool forced = setCount.load(std::memory_order_relaxed) > 0;
    int threads = std::min(threadCount(), count);
    if (!forced && static_cast<double>(count) * costPerItem < SmallWork)
        threads = 1;
    if (threads <= 1) {
        runReporting(0, count, progress, work);
        if (progress)
            progress->endStage();
        return;
    }

    // Slice t covers [count * t / threads, count * (t + 1) / threads).
    auto sliceStart = [count, threads](int t) {
        return static_cast<int>(static_cast<long long>(count) * t / threads);
    };
    std::vector<std::exception_ptr> failures(threads);
    std::vector<std::thread> workers;
    workers.reserve(threads - 1);
    auto runSlice = [&](int t) {
        try {
            runReporting(sliceStart(t), sliceStart(t + 1), progress, work);
        } catch (...) {
            failures[t] = std::current_exception();
        }
    };
    for (int t = 1; t < threads; ++t)
        workers.emplace_back(runSlice, t);
    runSlice(0);
    for (std::thread& w : workers)
        w.join();
    if (progress)
        progress->endStage();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}
