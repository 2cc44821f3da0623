// The rebuild thread: one job at a time, newest request per surface first in line.
#include "surfaces/mesh_rebuilder.h"

#include <algorithm>
#include <utility>

#include <sys/resource.h>
#include <unistd.h>

namespace {
constexpr int backgroundNiceness = 10;
thread_local MeshRebuilder* currentRebuilder = nullptr;
thread_local std::uint64_t currentFrame = 0;
} // namespace

std::unique_ptr<MeshRebuilder::Result> MeshRebuilder::Slot::take() {
    const std::lock_guard lock(mutex_);
    if (!ready_ || ready_->ticket <= shown_)
        return nullptr;
    shown_ = ready_->ticket;
    return std::move(ready_);
}

void MeshRebuilder::Slot::shown(std::uint64_t ticket) {
    const std::lock_guard lock(mutex_);
    shown_ = std::max(shown_, ticket);
    finished_ = std::max(finished_, ticket);
    if (ready_ && ready_->ticket <= shown_)
        ready_.reset();
}

bool MeshRebuilder::Slot::waiting() const {
    const std::lock_guard lock(mutex_);
    return finished_ < requested_;
}

MeshRebuilder::MeshRebuilder(std::function<void()> resultReady)
    : resultReady_(std::move(resultReady)), thread_([this] { work(); }) {}

MeshRebuilder::~MeshRebuilder() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    thread_.join();
}

void MeshRebuilder::submit(const std::shared_ptr<Slot>& slot, std::uint64_t ticket, Stages stages, Job job) {
    {
        const std::lock_guard lock(mutex_);
        ++submissions_;
        auto queued = std::find_if(queue_.begin(), queue_.end(),
                                   [&slot](const Request& request) { return request.slot == slot; });
        if (queued != queue_.end()) {
            queued->ticket = ticket;
            queued->stages = stages;
            queued->job = std::move(job);
        } else {
            queue_.push_back(Request{slot, ticket, stages, std::move(job)});
        }
    }
    changed_.notify_all();
}

bool MeshRebuilder::idle() const {
    const std::lock_guard lock(mutex_);
    return queue_.empty() && !running_;
}

std::uint64_t MeshRebuilder::submissions() const {
    const std::lock_guard lock(mutex_);
    return submissions_;
}

std::uint64_t MeshRebuilder::completions() const {
    const std::lock_guard lock(mutex_);
    return completions_;
}

bool MeshRebuilder::waitIdle(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return queue_.empty() && !running_; });
}

double MeshRebuilder::runningSeconds() const {
    const std::lock_guard lock(mutex_);
    if (!running_)
        return 0.0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - runningSince_).count();
}

int MeshRebuilder::runningPercent() const {
    const std::lock_guard lock(mutex_);
    return running_ && progress_ ? progress_->percent() : 0;
}

void MeshRebuilder::work() {
    // The window's own drawing comes first: on a machine with few cores a rebuild takes the time the
    // frames leave, instead of slowing each of them. The slices' threads inherit the niceness.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), backgroundNiceness);
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_)
            return;
        Request request = std::move(queue_.front());
        queue_.pop_front();
        running_ = true;
        runningSince_ = std::chrono::steady_clock::now();
        // One stage more for merging the vertices.
        progress_ = std::make_shared<WorkProgress>(request.stages.runs + 1);
        const std::shared_ptr<WorkProgress> progress = progress_;
        lock.unlock();

        auto result = std::make_unique<Result>();
        try {
            const WorkProgress::Scope reporting(progress.get());
            *result = request.job();
            result->shared = SharedMesh::of(result->mesh);
        } catch (...) {
            // A mesh too large to hold: the surface shows nothing rather than a stale shape.
            result = std::make_unique<Result>();
        }
        result->ticket = request.ticket;
        {
            Slot& slot = *request.slot;
            const std::lock_guard slotLock(slot.mutex_);
            slot.finished_ = std::max(slot.finished_, request.ticket);
            if (request.ticket > slot.shown_ && (!slot.ready_ || slot.ready_->ticket < request.ticket))
                slot.ready_ = std::move(result);
        }
        request = Request{};
        // Before going idle, so whoever waits for idle knows every landing was announced.
        if (resultReady_)
            resultReady_();

        lock.lock();
        ++completions_;
        running_ = false;
        progress_.reset();
        changed_.notify_all();
    }
}

MeshRebuilder* MeshRebuilder::current() {
    return currentRebuilder;
}

std::uint64_t MeshRebuilder::frame() {
    return currentFrame;
}

MeshRebuilder::Scope::Scope(MeshRebuilder* rebuilder) : previous_(currentRebuilder) {
    currentRebuilder = rebuilder;
    ++currentFrame;
}

MeshRebuilder::Scope::~Scope() {
    currentRebuilder = previous_;
}
