// The autosave on a scene of 10,000 curves of 100 control points: how long its GUI-thread part holds
// the window after a change (bringing the cached records up to date and taking the snapshot), and the
// whole autosave with the write the worker thread does.
#include "curve_grid.h"
#include "scene/recovery_snapshot.h"
#include "scene/scene_model.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int curveCount = 10000;
constexpr int pointCount = 100;

void buildScene(SceneModel& model) {
    SceneList scene;
    appendCurveGrid(scene, curveCount, pointCount);
    model.replaceScene(std::move(scene));
}

// What the autosave does on the GUI thread once its timer fires: one refresh (unbounded here) and
// the snapshot of the records.
RecoverySnapshot guiThreadPart(SceneModel& model) {
    if (model.records.refresh(model.scene, SceneRecordCache::Clock::time_point::max()) !=
        SceneRecordCache::Progress::Done)
        std::abort();
    RecoverySnapshot snapshot;
    snapshot.records = model.records.records(model.scene);
    return snapshot;
}

void movePoint(SceneModel& model, int iteration) {
    SceneStep step(model, "Move Point");
    model.setActiveObject(model.scene.objectAt(iteration % curveCount), ObjectKind::Curve);
    model.setActivePoint(pointCount / 2);
    model.movePoint(0.001, 0.0, 0.0);
}

std::size_t sceneBytes(const RecoverySnapshot& snapshot) {
    std::size_t bytes = 0;
    for (const SceneRecordCache::Record& record : snapshot.records)
        bytes += record->size();
    return bytes;
}

// GUI thread, after one control point of one curve moved.
void autosaveAfterOnePointMoved(benchmark::State& state) {
    SceneModel model;
    buildScene(model);
    guiThreadPart(model);
    int iteration = 0;
    for (auto _ : state) {
        state.PauseTiming();
        movePoint(model, iteration++);
        state.ResumeTiming();
        benchmark::DoNotOptimize(guiThreadPart(model));
    }
}

// GUI thread, after the first curve was deleted or the deletion undone: every other curve moves one
// place (free curves name no other object, so their records hold).
void autosaveAfterTheFirstCurveDeletedOrBack(benchmark::State& state) {
    SceneModel model;
    buildScene(model);
    guiThreadPart(model);
    bool deleted = false;
    for (auto _ : state) {
        state.PauseTiming();
        if (deleted) {
            model.undo();
        } else {
            SceneStep step(model, "Delete");
            model.remove(model.scene.objectAt(0));
        }
        deleted = !deleted;
        state.ResumeTiming();
        benchmark::DoNotOptimize(guiThreadPart(model));
    }
}

// GUI thread, one slice with every record to make afresh (the first autosave after opening the
// scene): bounded by the slice's time, the rest follows at later turns of the event loop.
void autosaveSliceWithNoRecords(benchmark::State& state) {
    SceneModel model;
    buildScene(model);
    std::size_t made = 0;
    for (auto _ : state) {
        state.PauseTiming();
        model.records.clear();
        state.ResumeTiming();
        const auto deadline = SceneRecordCache::Clock::now() + std::chrono::milliseconds(20);
        benchmark::DoNotOptimize(model.records.refresh(model.scene, deadline));
        made = model.records.size();
    }
    state.counters["records_per_slice"] = static_cast<double>(made);
}

// The whole autosave after one point moved: the GUI-thread part and the write through the crash-safe
// writer (flushed to disk) that the worker thread does.
void autosaveWholeAfterOnePointMoved(benchmark::State& state) {
    SceneModel model;
    buildScene(model);
    guiThreadPart(model);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("knotwork_autosave_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string scenePath = (folder / "scene.nbs").string();
    const std::string namePath = (folder / "scene.name").string();
    int iteration = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        movePoint(model, iteration++);
        state.ResumeTiming();
        const RecoverySnapshot snapshot = guiThreadPart(model);
        std::string error;
        if (!snapshot.write(scenePath, namePath, error))
            state.SkipWithError(error.c_str());
        bytes = sceneBytes(snapshot);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    std::filesystem::remove_all(folder);
}

} // namespace

BENCHMARK(autosaveAfterOnePointMoved)->Unit(benchmark::kMillisecond);
BENCHMARK(autosaveAfterTheFirstCurveDeletedOrBack)->Unit(benchmark::kMillisecond);
BENCHMARK(autosaveSliceWithNoRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(autosaveWholeAfterOnePointMoved)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
