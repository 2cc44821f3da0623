// Undo and redo of one point move in a scene of 10,000 curves of 100 points, and what the step holds.
#include "geometry/nurbs_curve.h"
#include "scene/scene_model.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int curveCount = 10000;
constexpr int pointCount = 100;

// The scene built through the model, as the program builds it, then a fresh history.
void buildScene(SceneModel& model) {
    for (int c = 0; c < curveCount; ++c) {
        NurbsCurve* curve = model.newCurve();
        std::vector<ControlPoint> points;
        points.reserve(pointCount);
        for (int i = 0; i < pointCount; ++i)
            points.emplace_back(c * 0.01, i * 0.5, (c ^ i) * 0.25, 1.0 + (i % 3));
        curve->setControlPoints(points);
    }
    model.history.clear();
}

// One drag step in the middle of the scene: what a mouse move and release record.
void movePoint(SceneModel& model) {
    model.beginStep("Move Point");
    model.movePoint(0.1, 0.2, 0.0);
    model.endStep();
}

SceneModel& scene() {
    static SceneModel model;
    static const bool built = (buildScene(model), true);
    (void)built;
    return model;
}

void selectMiddleCurve(SceneModel& model) {
    SceneObject* middle = model.scene.objectAt(curveCount / 2);
    model.setActiveObject(middle, ObjectKind::Curve);
    model.setActivePoint(pointCount / 2);
}

void recordAPointMove(benchmark::State& state) {
    SceneModel& model = scene();
    selectMiddleCurve(model);
    for (auto _ : state) {
        movePoint(model);
        state.PauseTiming();
        model.undo();
        state.ResumeTiming();
    }
    movePoint(model);
    state.counters["step bytes"] = static_cast<double>(model.history.bytes());
    model.history.clear();
}

void undoAPointMove(benchmark::State& state) {
    SceneModel& model = scene();
    selectMiddleCurve(model);
    movePoint(model);
    for (auto _ : state) {
        model.undo();
        state.PauseTiming();
        model.redo();
        state.ResumeTiming();
    }
    state.counters["step bytes"] = static_cast<double>(model.history.bytes());
    model.history.clear();
}

void redoAPointMove(benchmark::State& state) {
    SceneModel& model = scene();
    selectMiddleCurve(model);
    movePoint(model);
    for (auto _ : state) {
        state.PauseTiming();
        model.undo();
        state.ResumeTiming();
        model.redo();
    }
    model.history.clear();
}

} // namespace

BENCHMARK(recordAPointMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(undoAPointMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(redoAPointMove)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
