// Basis functions over the whole knot range and the knot summary a knot strip draws from.
#include "geometry/basis_function_samples.h"
#include "geometry/knot_summary.h"
#include "geometry/nurbs_curve.h"
#include "random_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

const int forms[] = {NurbsCurve::Open, NurbsCurve::Interpolated, NurbsCurve::Closed};

} // namespace

// Non-negative, zero outside [t(i), t(i+k)], summing to 1 over the drawn domain, and the curve's point is
// sum N(i) w(i) P(i) / sum N(i) w(i) over the points of the pass (wrapped for a closed curve).
TEST(BasisFunctions, FormAPartitionOfUnityWithLocalSupportThatReproducesTheCurve) {
    std::mt19937 rng(99);
    for (int mode : forms) {
        for (int order = 1; order <= 10; ++order) {
            for (int trial = 0; trial < 3; ++trial) {
                const int n = order + std::uniform_int_distribution<int>(0, 9)(rng);
                const auto curve = makeRandomCurve(rng, mode, order, n);
                const std::vector<double>& t = curve->knots;
                const int count = static_cast<int>(t.size()) - order;
                const double start = curve->domainStart(), end = curve->domainEnd();
                std::vector<double> us(t.begin(), t.end());
                std::uniform_real_distribution<double> anywhere(t.front() - 0.05, t.back() + 0.05);
                for (int i = 0; i < 60; ++i)
                    us.push_back(anywhere(rng));
                for (double u : us) {
                    const std::string where = "mode " + std::to_string(mode) + " order " +
                                              std::to_string(order) + " points " + std::to_string(n) + " u " +
                                              std::to_string(u);
                    const std::vector<double> basis = evaluateBasisFunctions(t, order, u);
                    ASSERT_EQ(static_cast<int>(basis.size()), count) << where;
                    double sum = 0.0, weightSum = 0.0, x = 0.0, y = 0.0, z = 0.0;
                    for (int i = 0; i < count; ++i) {
                        EXPECT_GE(basis[i], 0.0) << where << " function " << i;
                        // Continuous from the right, except at the last knot.
                        const bool outside =
                            u < t[i] || u > t[i + order] || (u == t[i + order] && u < t.back());
                        if (outside) {
                            EXPECT_EQ(basis[i], 0.0) << where << " function " << i;
                        }
                        const ControlPoint& p = curve->controlPoints[i % n];
                        sum += basis[i];
                        weightSum += basis[i] * p.w;
                        x += basis[i] * p.w * p.x;
                        y += basis[i] * p.w * p.y;
                        z += basis[i] * p.w * p.z;
                    }
                    if (u < start || u > end)
                        continue;
                    EXPECT_NEAR(sum, 1.0, 1e-12) << where;
                    // A closed curve's last sample at its domain end is control point k - 1 (the end rule),
                    // not the closing point the functions give.
                    if (mode == NurbsCurve::Closed && u == end)
                        continue;
                    const ControlPoint expected = curve->evaluate(u);
                    EXPECT_NEAR(x / weightSum, expected.x, 1e-9) << where;
                    EXPECT_NEAR(y / weightSum, expected.y, 1e-9) << where;
                    EXPECT_NEAR(z / weightSum, expected.z, 1e-9) << where;
                }
            }
        }
    }
}

TEST(BasisFunctions, SamplesCoverTheKnotRangeWithOneFunctionPerPointOfThePass) {
    NurbsCurve curve;
    for (int i = 0; i < 5; ++i)
        curve.appendPoint(ControlPoint(i, i % 2, 0));
    const struct {
        int mode;
        std::vector<int> controlPoints;
    } cases[] = {
        {NurbsCurve::Open, {0, 1, 2, 3, 4}},
        {NurbsCurve::Interpolated, {0, 1, 2, 3, 4}},
        {NurbsCurve::Closed, {0, 1, 2, 3, 4, 0, 1, 2}},
    };
    for (const auto& c : cases) {
        curve.setCurveMode(c.mode);
        const BasisFunctionSamples samples = sampleBasisFunctions(curve, 101);
        EXPECT_EQ(samples.controlPoints, c.controlPoints);
        ASSERT_EQ(samples.values.size(), c.controlPoints.size());
        ASSERT_EQ(samples.parameters.size(), 101u);
        EXPECT_EQ(samples.parameters.front(), curve.knots.front());
        EXPECT_EQ(samples.parameters.back(), curve.knots.back());
        for (const std::vector<double>& function : samples.values)
            EXPECT_EQ(function.size(), 101u);
    }
    // Clamped: the first function alone at the first knot, the last alone at the last.
    curve.setCurveMode(NurbsCurve::Interpolated);
    const BasisFunctionSamples clamped = sampleBasisFunctions(curve, 11);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(clamped.values[i].front(), i == 0 ? 1.0 : 0.0);
        EXPECT_EQ(clamped.values[i].back(), i == 4 ? 1.0 : 0.0);
    }
    EXPECT_TRUE(sampleBasisFunctions(curve, 1).parameters.empty());
    curve.setOrder(6);
    EXPECT_TRUE(sampleBasisFunctions(curve, 11).values.empty());
}

// Five points of order 3 in the three forms.
TEST(KnotSummary, GivesDistinctKnotsWithMultiplicitiesTheRangeAndTheDrawnDomain) {
    using Knots = std::vector<std::pair<double, int>>;
    Knots open, closed;
    for (int i = 0; i <= 7; ++i)
        open.push_back({i / 7.0, 1});
    for (int i = 0; i <= 10; ++i)
        closed.push_back({i / 10.0, 1});
    const struct {
        int mode;
        Knots knots;
        int functions;
        double domainStart, domainEnd;
    } cases[] = {
        {NurbsCurve::Interpolated, {{0.0, 3}, {1.0 / 3, 1}, {2.0 / 3, 1}, {1.0, 3}}, 5, 0.0, 1.0},
        {NurbsCurve::Open, open, 5, 2.0 / 7, 5.0 / 7},
        {NurbsCurve::Closed, closed, 8, 0.2, 0.8},
    };
    NurbsCurve curve;
    for (int i = 0; i < 5; ++i)
        curve.appendPoint(ControlPoint(i, 0, 0));
    for (const auto& c : cases) {
        curve.setCurveMode(c.mode);
        const KnotSummary summary = summariseKnots(curve);
        Knots knots;
        for (const KnotSummary::Knot& knot : summary.knots)
            knots.push_back({knot.value, knot.multiplicity});
        ASSERT_EQ(knots.size(), c.knots.size()) << "mode " << c.mode;
        for (size_t i = 0; i < knots.size(); ++i) {
            EXPECT_NEAR(knots[i].first, c.knots[i].first, 1e-15) << "mode " << c.mode << " knot " << i;
            EXPECT_EQ(knots[i].second, c.knots[i].second) << "mode " << c.mode << " knot " << i;
        }
        EXPECT_EQ(summary.order, 3);
        EXPECT_EQ(summary.functionCount, c.functions);
        EXPECT_EQ(summary.rangeStart, 0.0);
        EXPECT_EQ(summary.rangeEnd, 1.0);
        EXPECT_NEAR(summary.domainStart, c.domainStart, 1e-15) << "mode " << c.mode;
        EXPECT_NEAR(summary.domainEnd, c.domainEnd, 1e-15) << "mode " << c.mode;
    }
    curve.setOrder(6);
    EXPECT_TRUE(summariseKnots(curve).knots.empty());
}
