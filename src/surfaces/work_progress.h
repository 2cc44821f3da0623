// How far a long piece of work has come, read by another thread while it runs.
#pragma once

#include <atomic>

class WorkProgress {
public:
    // The number of stages (parallel runs) the work is expected to make; each counts the same.
    explicit WorkProgress(int stages = 1) : stages_(stages < 1 ? 1 : stages) {}

    // Opens a stage of `items` items; the stages before it count as done.
    void beginStage(long long items);
    void addItems(long long items) { items_.fetch_add(items, std::memory_order_relaxed); }
    void endStage();
    // 0 to 100; never more, even when the work makes more stages than it expected.
    int percent() const;

    // The progress the work on this thread reports to (ParallelSlices reads it); none by default.
    static WorkProgress* current();
    // Reports this thread's work to `progress` while it lives.
    class Scope {
    public:
        explicit Scope(WorkProgress* progress);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        WorkProgress* previous_;
    };

private:
    const int stages_;
    std::atomic<int> stagesDone_{0};
    std::atomic<long long> items_{0};
    std::atomic<long long> stageItems_{1};
};
