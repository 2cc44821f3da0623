// Stage-by-stage progress of a long piece of work.
#include "surfaces/work_progress.h"

#include <algorithm>

namespace {
thread_local WorkProgress* currentProgress = nullptr;
} // namespace

void WorkProgress::beginStage(long long items) {
    items_.store(0, std::memory_order_relaxed);
    stageItems_.store(std::max(items, 1LL), std::memory_order_relaxed);
}

void WorkProgress::endStage() {
    stagesDone_.fetch_add(1, std::memory_order_relaxed);
    items_.store(0, std::memory_order_relaxed);
}

int WorkProgress::percent() const {
    const double stage = std::min(1.0, static_cast<double>(items_.load(std::memory_order_relaxed)) /
                                           static_cast<double>(stageItems_.load(std::memory_order_relaxed)));
    const double done = (stagesDone_.load(std::memory_order_relaxed) + stage) / stages_;
    return static_cast<int>(std::clamp(done, 0.0, 1.0) * 100.0);
}

WorkProgress* WorkProgress::current() {
    return currentProgress;
}

WorkProgress::Scope::Scope(WorkProgress* progress) : previous_(currentProgress) {
    currentProgress = progress;
}

WorkProgress::Scope::~Scope() {
    currentProgress = previous_;
}
