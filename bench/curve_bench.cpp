// Nanoseconds per curve point: the fused four-lane evaluation against the scalar transcription and, when
// built with it, OCCT's sampling of the same rational curve.
#include "geometry/basis_function_samples.h"
#include "geometry/curvature_comb.h"
#include "geometry/curve_evaluator.h"
#include "geometry/nurbs_curve.h"
#include "scalar_curve_reference.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#ifdef KNOTWORK_BENCH_OCCT
#include <GeomAdaptor_Curve.hxx>
#include <Geom_BSplineCurve.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColgp_Array1OfPnt.hxx>
#include <gp_Pnt.hxx>
#endif

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

void evaluateFused(benchmark::State& state, bool useAvx) {
    const auto curve = benchCurve(static_cast<int>(state.range(0)));
    CurveEvaluator evaluator;
    evaluator.useAvx = useAvx;
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

// What this processor runs: four-slot batches where it has AVX.
void FusedPoints(benchmark::State& state) {
    evaluateFused(state, true);
}

// The baseline x86-64 code, two slots per instruction.
void FusedPointsSse2(benchmark::State& state) {
    evaluateFused(state, false);
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

#ifdef KNOTWORK_BENCH_OCCT
// The same poles, weights, knots and degree as an OCCT curve: knots as distinct values with multiplicities.
opencascade::handle<Geom_BSplineCurve> occtCurve(const NurbsCurve& curve) {
    const int n = static_cast<int>(curve.controlPoints.size());
    TColgp_Array1OfPnt poles(1, n);
    TColStd_Array1OfReal weights(1, n);
    for (int i = 0; i < n; ++i) {
        const ControlPoint& p = curve.controlPoints[i];
        poles.SetValue(i + 1, gp_Pnt(p.x, p.y, p.z));
        weights.SetValue(i + 1, p.w);
    }
    std::vector<double> values;
    std::vector<int> multiplicities;
    for (double t : curve.knots) {
        if (!values.empty() && values.back() == t) {
            ++multiplicities.back();
        } else {
            values.push_back(t);
            multiplicities.push_back(1);
        }
    }
    const int distinct = static_cast<int>(values.size());
    TColStd_Array1OfReal knots(1, distinct);
    TColStd_Array1OfInteger mults(1, distinct);
    for (int i = 0; i < distinct; ++i) {
        knots.SetValue(i + 1, values[i]);
        mults.SetValue(i + 1, multiplicities[i]);
    }
    return new Geom_BSplineCurve(poles, weights, knots, mults, curve.order - 1);
}

// OCCT's path for sampling a curve: the adaptor's D0, which evaluates each span from a cached polynomial.
void OcctPoints(benchmark::State& state) {
    const auto curve = benchCurve(static_cast<int>(state.range(0)));
    GeomAdaptor_Curve adaptor(occtCurve(*curve));
    // Both sample the same curve: a wrong translation would compare different work.
    for (double u : {0.0, 0.123456, 0.5, 0.987654, 1.0}) {
        gp_Pnt p;
        adaptor.D0(u, p);
        const ControlPoint q = curve->evaluate(u);
        const double error =
            std::max({std::fabs(p.X() - q.x), std::fabs(p.Y() - q.y), std::fabs(p.Z() - q.z)});
        if (!(error < 1e-9)) {
            state.SkipWithError("OCCT's curve differs from Knotwork's");
            return;
        }
    }
    for (auto _ : state) {
        double sum = 0.0;
        gp_Pnt p;
        for (int i = 0; i < parameterCount; ++i) {
            adaptor.D0(static_cast<double>(i) / (parameterCount - 1), p);
            sum += p.X() + p.Y() + p.Z();
        }
        benchmark::DoNotOptimize(sum);
    }
    perPoint(state, parameterCount);
}
#endif

// What a change of a curve costs its drawing: the whole sample pass of an order-4 curve at paramInc
// 1000 (the views then share its result).
void SamplePassOrder4(benchmark::State& state) {
    const auto curve = benchCurve(4);
    curve->setParamInc(1000);
    std::vector<ControlPoint> samples;
    for (auto _ : state) {
        curve->evaluateSamples(samples);
        benchmark::DoNotOptimize(samples.data());
    }
    perPoint(state, static_cast<int>(samples.size()));
}

// What the view aids cost: the comb is taken once per frame over the drawn samples, the knot strip's
// basis functions once per change of the knots (a sample per strip pixel, about 1100 across).
void CombOrder4(benchmark::State& state) {
    const auto curve = benchCurve(4);
    curve->setParamInc(1000);
    for (auto _ : state) {
        const CurvatureComb comb = CurvatureComb::of(*curve, 10.0);
        benchmark::DoNotOptimize(comb.tips.data());
    }
}

void StripFunctions(benchmark::State& state) {
    const auto curve = benchCurve(4);
    curve->setControlPoints(std::vector<ControlPoint>(curve->controlPoints.begin(),
                                                      curve->controlPoints.begin() + state.range(0)));
    for (auto _ : state) {
        const BasisFunctionSamples samples = sampleBasisFunctions(*curve, 1100);
        benchmark::DoNotOptimize(samples.values.data());
    }
}

} // namespace

BENCHMARK(FusedPoints)->DenseRange(2, 8)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(FusedPointsSse2)->DenseRange(2, 8)->Arg(10)->Unit(benchmark::kMillisecond);
#ifdef KNOTWORK_BENCH_OCCT
BENCHMARK(OcctPoints)->DenseRange(2, 8)->Arg(10)->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(ScalarPoints)->Arg(2)->Arg(3)->Arg(4)->Arg(6)->Unit(benchmark::kMillisecond);
BENCHMARK(SamplePassOrder4)->Unit(benchmark::kMicrosecond);
BENCHMARK(CombOrder4)->Unit(benchmark::kMicrosecond);
BENCHMARK(StripFunctions)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
