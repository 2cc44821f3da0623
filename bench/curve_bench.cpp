// Nanoseconds per curve point: the fused four-lane evaluation against the scalar transcription.
#include "geometry/curve_evaluator.h"
#include "geometry/nurbs_curve.h"
#include "scalar_curve_reference.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

constexpr int pointCount = 1000;
constexpr int parameterCount = 1000000;

// 1000 random points with weights between 0.5 and 2, clamped at both ends so [0, 1] is the domain.
std::unique_ptr<NurbsCurve> benchCurve(int order) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> position(-100.0, 100.0), weight(0.5, 2.0);
    auto curve = std::make_unique<NurbsCurve>();
    std::vector<ControlPoint> points;
    for (int i = 0; i < pointCount; ++i)
        points.emplace_back(position(rng), position(rng), position(rng), weight(rng));
    curve->setControlPoints(points);
    curve->setOrder(order);
    return curve;
}

void perPoint(benchmark::State& state, int pointsPerIteration) {
    state.SetItemsProcessed(state.iterations() * pointsPerIteration);
    state.counters["time_per_point"] =
        benchmark::Counter(static_cast<double>(pointsPerIteration),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void FusedPoints(benchmark::State& state) {
    const auto curve = benchCurve(static_cast<int>(state.range(0)));
    CurveEvaluator evaluator;
    evaluator.reset(curve->knots, curve->order, curve->controlPoints, false);
    // Runs of 1000 parameters into a buffer that stays in cache.
    constexpr int run = 1000;
    std::vector<double> us(parameterCount);
    for (int i = 0; i < parameterCount; ++i)
        us[i] = static_cast<double>(i) / (parameterCount - 1);
    std::vector<ControlPoint> out(run);
    for (auto _ : state) {
        evaluator.spanHint = 0;
        double sum = 0.0;
        for (int i = 0; i < parameterCount; i += run) {
            evaluator.evaluatePoints(us.data() + i, run, out.data());
            sum += out[run - 1].x;
        }
        benchmark::DoNotOptimize(sum);
    }
    perPoint(state, parameterCount);
}

void ScalarPoints(benchmark::State& state) {
    const auto curve = benchCurve(static_cast<int>(state.range(0)));
    ScalarCurveReference reference(*curve);
    for (auto _ : state) {
        reference.spanHint = 0;
        double sum = 0.0;
        for (int i = 0; i < parameterCount; ++i) {
            const ControlPoint p = reference.point(static_cast<double>(i) / (parameterCount - 1));
            sum += p.x + p.y + p.z;
        }
        benchmark::DoNotOptimize(sum);
    }
    perPoint(state, parameterCount);
}

// What one draw of a curve costs: the whole sample pass of an order-4 curve at paramInc 1000.
void SamplePassOrder4(benchmark::State& state) {
    const auto curve = benchCurve(4);
    curve->setParamInc(1000);
    std::vector<ControlPoint> samples;
    for (auto _ : state) {
        curve->samplePoints(samples);
        benchmark::DoNotOptimize(samples.data());
    }
    perPoint(state, static_cast<int>(samples.size()));
}

} // namespace

BENCHMARK(FusedPoints)->Arg(2)->Arg(3)->Arg(4)->Arg(6)->Unit(benchmark::kMillisecond);
BENCHMARK(ScalarPoints)->Arg(2)->Arg(3)->Arg(4)->Arg(6)->Unit(benchmark::kMillisecond);
BENCHMARK(SamplePassOrder4)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
