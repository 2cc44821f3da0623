// The rebuilder builds only the newest request of a surface, never lets an older mesh replace a
// newer one, and says how far a running job has come.
#include "surfaces/mesh_rebuilder.h"
#include "surfaces/parallel_slices.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// A gate a job waits at until the test opens it.
class Gate {
public:
    void wait() {
        std::unique_lock lock(mutex_);
        reached_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    void waitUntilReached() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return reached_; });
    }
    void open() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool reached_ = false, open_ = false;
};

// A job whose mesh is one vertex at x = marker, counting its runs.
MeshRebuilder::Job marked(double marker, std::atomic<int>& runs) {
    return [marker, &runs] {
        ++runs;
        MeshRebuilder::Result result;
        result.mesh.begin(SurfaceMesh::Lines);
        result.mesh.addVertex(marker, 0.0, 0.0);
        return result;
    };
}

double markerOf(const MeshRebuilder::Result& result) {
    return result.mesh.positions.empty() ? -1.0 : result.mesh.positions[0];
}

constexpr std::chrono::seconds patience(30);

} // namespace

TEST(MeshRebuilder, OnlyTheNewestQueuedRequestOfASurfaceIsBuiltAndOlderResultsNeverWin) {
    std::atomic<int> landed{0};
    MeshRebuilder rebuilder([&landed] { ++landed; });
    auto busy = std::make_shared<MeshRebuilder::Slot>();
    auto surface = std::make_shared<MeshRebuilder::Slot>();
    auto other = std::make_shared<MeshRebuilder::Slot>();
    Gate gate;
    std::atomic<int> runs[4] = {};

    // The thread is held by another surface's job while three requests of this one queue up.
    rebuilder.submit(busy, busy->nextTicket(), {}, [&gate] {
        gate.wait();
        return MeshRebuilder::Result{};
    });
    gate.waitUntilReached();
    for (int i = 0; i < 3; ++i)
        rebuilder.submit(surface, surface->nextTicket(), {}, marked(i, runs[i]));
    rebuilder.submit(other, other->nextTicket(), {}, marked(7, runs[3]));
    EXPECT_TRUE(surface->waiting());
    EXPECT_FALSE(rebuilder.idle());
    gate.open();
    ASSERT_TRUE(rebuilder.waitIdle(patience));

    EXPECT_EQ(runs[0] + runs[1], 0) << "a replaced request was built";
    EXPECT_EQ(runs[2], 1);
    EXPECT_EQ(runs[3], 1) << "another surface's request is not replaced";
    EXPECT_FALSE(surface->waiting());
    std::unique_ptr<MeshRebuilder::Result> result = surface->take();
    ASSERT_TRUE(result);
    EXPECT_EQ(markerOf(*result), 2.0);
    EXPECT_FALSE(surface->take()) << "a result is taken once";
    ASSERT_TRUE(other->take());
    EXPECT_EQ(landed, 3);

    // A request, then a newer mesh made in place: the request's result comes too late to be shown.
    std::atomic<int> lateRuns{0};
    rebuilder.submit(surface, surface->nextTicket(), {}, marked(5, lateRuns));
    surface->shown(surface->nextTicket());
    ASSERT_TRUE(rebuilder.waitIdle(patience));
    EXPECT_EQ(lateRuns, 1);
    EXPECT_FALSE(surface->take()) << "an older result replaced a newer mesh";
    EXPECT_FALSE(surface->waiting());
}

TEST(MeshRebuilder, ARunningJobReportsItsAgeAndProgressAndAFailedOneLeavesAnEmptyMesh) {
    MeshRebuilder rebuilder(nullptr);
    auto slot = std::make_shared<MeshRebuilder::Slot>();
    Gate gate;
    ParallelSlices::setThreadCount(1);
    // One run of 100 items stopping in the middle, then the merge: about a quarter done.
    rebuilder.submit(slot, slot->nextTicket(), MeshRebuilder::Stages{1}, [&gate] {
        ParallelSlices::run(100, 1.0, [&gate](int first, int end) {
            if (first <= 50 && 50 < end)
                gate.wait();
        });
        MeshRebuilder::Result result;
        result.mesh.begin(SurfaceMesh::Triangles);
        for (double x : {0.0, 1.0, 0.0})
            result.mesh.addVertex(x, x == 0.0 ? 0.0 : 1.0, 3.0);
        return result;
    });
    gate.waitUntilReached();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int percent = rebuilder.runningPercent();
    EXPECT_GE(percent, 20);
    EXPECT_LE(percent, 30);
    EXPECT_GE(rebuilder.runningSeconds(), 0.02);
    gate.open();
    ASSERT_TRUE(rebuilder.waitIdle(patience));
    ParallelSlices::setThreadCount(0);
    EXPECT_EQ(rebuilder.runningPercent(), 0);
    EXPECT_EQ(rebuilder.runningSeconds(), 0.0);
    std::unique_ptr<MeshRebuilder::Result> result = slot->take();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->shared.vertexCount(), 2) << "the merged vertices come with the mesh";

    rebuilder.submit(slot, slot->nextTicket(), {}, []() -> MeshRebuilder::Result { throw std::bad_alloc(); });
    ASSERT_TRUE(rebuilder.waitIdle(patience));
    result = slot->take();
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->mesh.empty());
}
