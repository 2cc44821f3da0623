// Tessellation speed of the surfaces: rebuilding into the plain mesh, without GL.
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/parallel_slices.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The predefined sphere, shaded, at u x v increments.
void sphereShaded(benchmark::State& state) {
    NurbsCurve profile;
    buildPredefinedCurve(profile, ShapeKind::Sphere);
    std::unique_ptr<RevolutionSurface> surface(makePredefinedSurface(&profile));
    surface->setShading(true);
    surface->setUParamInc(static_cast<int>(state.range(0)));
    surface->setVParamInc(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        surface->tessellate();
        benchmark::DoNotOptimize(surface->surfaceMesh.positions.data());
    }
    state.counters["triangles"] = static_cast<double>(surface->surfaceMesh.vertexCount() / 3);
}
BENCHMARK(sphereShaded)->Args({10, 45})->Args({1000, 1000})->Unit(benchmark::kMillisecond);

// The same sphere, shaded, at n x n increments on a set number of threads.
void sphereShadedThreads(benchmark::State& state) {
    ParallelSlices::setThreadCount(static_cast<int>(state.range(1)));
    NurbsCurve profile;
    buildPredefinedCurve(profile, ShapeKind::Sphere);
    std::unique_ptr<RevolutionSurface> surface(makePredefinedSurface(&profile));
    surface->setShading(true);
    surface->setUParamInc(static_cast<int>(state.range(0)));
    surface->setVParamInc(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        surface->tessellate();
        benchmark::DoNotOptimize(surface->surfaceMesh.positions.data());
    }
    ParallelSlices::setThreadCount(0);
    state.counters["triangles"] = static_cast<double>(surface->surfaceMesh.vertexCount() / 3);
}
BENCHMARK(sphereShadedThreads)
    ->ArgNames({"n", "threads"})
    ->ArgsProduct({{300, 1000}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A flat square Coons patch of four order-2 sides, shaded, at u x v increments.
void flatPatchShaded(benchmark::State& state) {
    const ControlPoint corners[4] = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
    NurbsCurve sides[4];
    CurveSurface surface;
    for (int i = 0; i < 4; ++i) {
        sides[i].setOrder(2);
        sides[i].setControlPoints({corners[i], corners[(i + 1) % 4]});
        surface.addCoonsCurve(&sides[i]);
    }
    surface.setShading(true);
    surface.setUParamInc(static_cast<int>(state.range(0)));
    surface.setVParamInc(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        surface.tessellate();
        benchmark::DoNotOptimize(surface.surfaceMesh.positions.data());
    }
    state.counters["triangles"] = static_cast<double>(surface.surfaceMesh.vertexCount() / 3);
}
BENCHMARK(flatPatchShaded)->Args({10, 10})->Args({1000, 1000})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
