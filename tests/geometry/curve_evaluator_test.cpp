// The fused four-lane evaluation gives the very doubles of the scalar transcription, on random curves.
#include "geometry/nurbs_curve.h"
#include "scalar_curve_reference.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>

namespace {

NurbsCurve* randomCurve(std::mt19937& rng, int mode, int order, int pointCount) {
    std::uniform_real_distribution<double> position(-10.0, 10.0), weight(0.5, 2.0);
    auto* curve = new NurbsCurve;
    for (int i = 0; i < pointCount; ++i)
        curve->appendPoint(ControlPoint(position(rng), position(rng), position(rng), weight(rng)));
    curve->setOrder(order);
    curve->setCurveMode(mode);
    curve->setParamInc(std::uniform_int_distribution<int>(1, 300)(rng));
    return curve;
}

// Bit patterns, so that even the sign of a zero must agree.
void expectSameBits(const ControlPoint& actual, const ControlPoint& expected, const std::string& where) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(actual.x), std::bit_cast<std::uint64_t>(expected.x)) << where;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(actual.y), std::bit_cast<std::uint64_t>(expected.y)) << where;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(actual.z), std::bit_cast<std::uint64_t>(expected.z)) << where;
}

} // namespace

TEST(CurveEvaluator, SamplePassesMatchTheScalarTranscriptionBitForBit) {
    std::mt19937 rng(20240611);
    for (int mode : {NurbsCurve::Open, NurbsCurve::Interpolated, NurbsCurve::Closed}) {
        for (int order = 1; order <= 10; ++order) {
            for (int trial = 0; trial < 4; ++trial) {
                const int n = order + std::uniform_int_distribution<int>(0, 12)(rng);
                std::unique_ptr<NurbsCurve> curve(randomCurve(rng, mode, order, n));
                ScalarCurveReference reference(*curve);
                const std::vector<ControlPoint> expected = reference.samples();
                const std::vector<ControlPoint> actual = curve->samplePoints();
                const std::string where = "mode " + std::to_string(mode) + " order " + std::to_string(order) +
                                          " points " + std::to_string(n) + " inc " +
                                          std::to_string(curve->paramInc);
                ASSERT_EQ(actual.size(), expected.size()) << where;
                for (size_t i = 0; i < actual.size(); ++i)
                    expectSameBits(actual[i], expected[i], where + " sample " + std::to_string(i));
                // The pass leaves the hint where the scalar search left it.
                EXPECT_EQ(curve->spanHint, reference.spanHint) << where;
            }
        }
    }
}

TEST(CurveEvaluator, SinglePointsMatchTheScalarTranscriptionInsideAndOutsideTheDomain) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> parameter(-0.2, 1.2);
    for (int mode : {NurbsCurve::Open, NurbsCurve::Interpolated, NurbsCurve::Closed}) {
        for (int order = 1; order <= 10; ++order) {
            std::unique_ptr<NurbsCurve> curve(randomCurve(rng, mode, order, order + 5));
            ScalarCurveReference reference(*curve);
            std::vector<double> us = {0.0, 1.0, reference.start(), reference.end()};
            for (int i = 0; i < 40; ++i)
                us.push_back(parameter(rng));
            for (double u : us) {
                const std::string where = "mode " + std::to_string(mode) + " order " + std::to_string(order) +
                                          " u " + std::to_string(u);
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
