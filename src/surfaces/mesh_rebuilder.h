// Tessellates large surfaces on a thread of its own, so the window that asked is never held up:
// the surface keeps showing its last mesh until the new one is ready.
#pragma once

#include "geometry/control_point.h"
#include "surfaces/shared_mesh.h"
#include "surfaces/surface_mesh.h"
#include "surfaces/work_progress.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class MeshRebuilder {
public:
    // A finished rebuild: the mesh, its vertices merged for upload, and a patch's sample grid.
    struct Result {
        SurfaceMesh mesh;
        SharedMesh shared;
        std::vector<std::vector<ControlPoint>> grid;
        std::uint64_t ticket = 0;
    };
    // Builds a Result from copies of everything it reads: it runs on the rebuilder's thread while the
    // scene goes on changing.
    using Job = std::function<Result()>;
    // Declares how many ParallelSlices runs a job makes, for its progress.
    struct Stages {
        int runs = 1;
    };

    // One surface's place: the ticket of its newest request and its newest finished result. The
    // surface holds it; a rebuild finishing after the surface is gone lands here and is dropped.
    class Slot {
    public:
        // Numbers a new request: results of older ones are no longer wanted once a newer is shown.
        std::uint64_t nextTicket() { return ++requested_; }
        // The newest result not yet taken that is newer than the one shown; null when none.
        std::unique_ptr<Result> take();
        // Marks ticket as shown (a rebuild made in place): results of older requests are dropped.
        void shown(std::uint64_t ticket);
        // Whether a request is still waiting for its result.
        bool waiting() const;

    private:
        friend class MeshRebuilder;
        mutable std::mutex mutex_;
        std::unique_ptr<Result> ready_;
        std::uint64_t requested_ = 0; // the window's thread only
        std::uint64_t shown_ = 0;
        std::uint64_t finished_ = 0;
    };

    // resultReady is called on the rebuilder's thread each time a result lands.
    explicit MeshRebuilder(std::function<void()> resultReady);
    // Waits for the running job, drops the queued ones.
    ~MeshRebuilder();
    MeshRebuilder(const MeshRebuilder&) = delete;
    MeshRebuilder& operator=(const MeshRebuilder&) = delete;

    // Queues the job for the slot under ticket; it replaces a job of the same slot still queued, so
    // only the newest state of a surface is built.
    void submit(const std::shared_ptr<Slot>& slot, std::uint64_t ticket, Stages stages, Job job);
    // Nothing queued or running.
    bool idle() const;
    // How many requests were submitted so far, and how many jobs have finished.
    std::uint64_t submissions() const;
    std::uint64_t completions() const;
    // Blocks until idle or until timeout passes; true when idle.
    bool waitIdle(std::chrono::milliseconds timeout) const;
    // The running job's age and progress (0 to 100); 0 and 0 when none runs.
    double runningSeconds() const;
    int runningPercent() const;

    // The rebuilder of the canvas drawing on this thread now; surfaces drawn without one rebuild in
    // place.
    static MeshRebuilder* current();
    // Counts the scopes opened on this thread, one per frame: a surface takes new meshes only in the
    // first view of a frame, so the four views never show two different ones.
    static std::uint64_t frame();
    class Scope {
    public:
        explicit Scope(MeshRebuilder* rebuilder);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        MeshRebuilder* previous_;
    };

private:
    struct Request {
        std::shared_ptr<Slot> slot;
        std::uint64_t ticket = 0;
        Stages stages;
        Job job;
    };

    void work();

    std::function<void()> resultReady_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<Request> queue_;
    bool running_ = false;
    std::uint64_t submissions_ = 0;
    std::uint64_t completions_ = 0;
    bool stopping_ = false;
    std::chrono::steady_clock::time_point runningSince_;
    std::shared_ptr<WorkProgress> progress_;
    std::thread thread_;
};
