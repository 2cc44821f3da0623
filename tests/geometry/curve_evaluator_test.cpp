// The fused batched evaluation gives the very doubles of the scalar transcription, on random curves, in
// the SSE2 code and, where the processor has it, in the AVX code.
#include "geometry/nurbs_curve.h"
#include "random_curve.h"
#include "scalar_curve_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

// The code paths this processor can run: SSE2 always, AVX where present.
std::vector<bool> avxSettings() {
    if (CurveEvaluator::avxAvailable())
        return {false, true};
    return {false};
}

std::string describe(int mode, int order, bool avx) {
    return "mode " + std::to_string(mode) + " order " + std::to_string(order) + (avx ? " AVX" : " SSE2");
}

// Bit patterns, so that even the sign of a zero must agree.
void expectSameBits(const ControlPoint& actual, const ControlPoint& expected, const std::string& where) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(actual.x), std::bit_cast<std::uint64_t>(expected.x)) << where;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(actual.y), std::bit_cast<std::uint64_t>(expected.y)) << where;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(actual.z), std::bit_cast<std::uint64_t>(expected.z)) << where;
}

const int forms[] = {NurbsCurve::Open, NurbsCurve::Interpolated, NurbsCurve::Closed};

} // namespace

TEST(CurveEvaluator, SamplePassesMatchTheScalarTranscriptionBitForBit) {
    for (bool avx : avxSettings()) {
        std::mt19937 rng(20240611);
        for (int mode : forms) {
            for (int order = 1; order <= 10; ++order) {
                for (int trial = 0; trial < 4; ++trial) {
                    const int n = order + std::uniform_int_distribution<int>(0, 12)(rng);
                    const auto curve = makeRandomCurve(rng, mode, order, n);
                    curve->evaluator.useAvx = avx;
                    ScalarCurveReference reference(*curve);
                    const std::vector<ControlPoint> expected = reference.samples();
                    const std::vector<ControlPoint> actual = curve->samplePoints();
                    const std::string where = describe(mode, order, avx) + " points " + std::to_string(n) +
                                              " inc " + std::to_string(curve->paramInc);
                    ASSERT_EQ(actual.size(), expected.size()) << where;
                    for (size_t i = 0; i < actual.size(); ++i)
                        expectSameBits(actual[i], expected[i], where + " sample " + std::to_string(i));
                    // The pass leaves the hint where the scalar search left it.
                    EXPECT_EQ(curve->spanHint, reference.spanHint) << where;
                }
            }
        }
    }
}

TEST(CurveEvaluator, SinglePointsMatchTheScalarTranscriptionInsideAndOutsideTheDomain) {
    for (bool avx : avxSettings()) {
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> parameter(-0.2, 1.2);
        for (int mode : forms) {
            for (int order = 1; order <= 10; ++order) {
                const auto curve = makeRandomCurve(rng, mode, order, order + 5);
                curve->evaluator.useAvx = avx;
                ScalarCurveReference reference(*curve);
                std::vector<double> us = {0.0, 1.0, reference.start(), reference.end()};
                for (int i = 0; i < 40; ++i)
                    us.push_back(parameter(rng));
                for (double u : us) {
                    const std::string where = describe(mode, order, avx) + " u " + std::to_string(u);
                    curve->spanHint = 5; // evaluate must neither depend on nor change it
                    const ControlPoint fused = curve->evaluate(u);
                    EXPECT_EQ(curve->spanHint, 5) << where;
                    const ControlPoint expected = reference.evaluate(u);
                    expectSameBits(fused, expected, where);
                    EXPECT_EQ(fused.w, 1.0);
                    EXPECT_FALSE(fused.hasNormal());

                    // The class's own scalar path follows the same rules.
                    curve->spanHint = 0;
                    const double w = curve->evaluateScalar(u, reference.W.data());
                    curve->spanHint = 0;
                    const double x = curve->evaluateScalar(u, reference.X.data());
                    EXPECT_EQ(std::bit_cast<std::uint64_t>(x / w), std::bit_cast<std::uint64_t>(expected.x))
                        << where;
                }
            }
        }
    }
}

// Runs that break batches in every way: parameters in and out of the domain, backwards, repeated, NaN,
// dense and sparse over the spans. Each point is the scalar one, and the run leaves the hint where a
// search per parameter would.
TEST(CurveEvaluator, ParameterRunsMatchTheScalarTranscriptionWhereverBatchesBreak) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (bool avx : avxSettings()) {
        std::mt19937 rng(31);
        for (int mode : forms) {
            for (int order = 1; order <= 10; ++order) {
                const auto curve = makeRandomCurve(rng, mode, order, order + 7);
                ScalarCurveReference reference(*curve);
                const double a = reference.start(), b = reference.end();
                std::uniform_real_distribution<double> inside(a, b), around(a - 0.1, b + 0.1);
                std::vector<double> run;
                for (int i = 0; i < 300; ++i)
                    run.push_back(inside(rng));
                std::sort(run.begin(), run.end()); // long batches
                for (int i = 0; i < 40; ++i)
                    run.insert(run.begin() + std::uniform_int_distribution<int>(0, 300)(rng), around(rng));
                run.insert(run.begin() + 17, nan);
                run.insert(run.begin() + 90, {a, a, b, b, nan, b, a});
                run.push_back(b);

                CurveEvaluator evaluator;
                evaluator.useAvx = avx;
                ASSERT_TRUE(
                    evaluator.reset(curve->knots, order, curve->controlPoints, mode == NurbsCurve::Closed));
                std::vector<ControlPoint> out(run.size());
                evaluator.evaluatePoints(run.data(), static_cast<int>(run.size()), out.data());

                reference.spanHint = 0;
                for (size_t i = 0; i < run.size(); ++i) {
                    const std::string where = describe(mode, order, avx) + " parameter " + std::to_string(i);
                    if (std::isnan(run[i])) {
                        EXPECT_TRUE(std::isnan(out[i].x) && std::isnan(out[i].y) && std::isnan(out[i].z))
                            << where;
                        continue;
                    }
                    const int hint = reference.spanHint;
                    expectSameBits(out[i], reference.evaluate(run[i]), where);
                    // The search the evaluator makes: from the hint, once more from 0 when that fails.
                    reference.spanHint = hint;
                    const double u = std::clamp(run[i], a, b);
                    if (reference.findSpan(u) < 0) {
                        reference.spanHint = 0;
                        reference.findSpan(u);
                    }
                }
                EXPECT_EQ(evaluator.spanHint, reference.spanHint) << describe(mode, order, avx);
            }
        }
    }
}
