// Exact NURBS data: knot insertion and clamping keep the curve, interpolation in a spline space
// recovers the spline it samples.
#include "exchange/collocation_solver.h"
#include "exchange/curve_conversion.h"
#include "exchange/spline_basis.h"
#include "geometry/nurbs_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

double gap(const ControlPoint& a, const ControlPoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

} // namespace

TEST(NurbsCurveData, ClampingToTheDomainKeepsEveryPointAndParameter) {
    const std::vector<ControlPoint> points = {{0, 0, 0, 1}, {1, 3, 1, 2}, {3, -1, 2, 0.5}, {4, 2, -1, 1},
                                              {6, 0, 0, 3}, {7, 1, 1, 1}, {9, -2, 0, 1}};
    for (int mode : {NurbsCurve::Open, NurbsCurve::Interpolated, NurbsCurve::Closed}) {
        for (int order = 2; order <= 7; ++order) {
            SCOPED_TRACE(testing::Message() << "form " << mode << " order " << order);
            NurbsCurve curve;
            curve.setOrder(order);
            curve.setCurveMode(mode);
            curve.setControlPoints(points);
            const CurveConversion c = convertCurve(curve);
            ASSERT_TRUE(c.ok) << c.error;
            const NurbsCurveData clamped = c.curve.clampedToDomain();
            EXPECT_TRUE(clamped.clamped());
            EXPECT_EQ(clamped.domainStart, c.curve.domainStart);
            EXPECT_EQ(clamped.domainEnd, c.curve.domainEnd);
            EXPECT_EQ(clamped.knots.size(), clamped.poles.size() + clamped.degree + 1);
            for (int i = 0; i <= 200; ++i) {
                const double u = c.curve.domainStart + (c.curve.domainEnd - c.curve.domainStart) * i / 200;
                const ControlPoint expected = curve.evaluate(u);
                EXPECT_LT(gap(c.curve.pointAt(u), expected), 1e-13) << "u " << u;
                EXPECT_LT(gap(clamped.pointAt(u), expected), 1e-13) << "u " << u;
            }
        }
    }
}

TEST(CollocationSolver, InterpolationAtGrevillePointsRecoversTheSpline) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-5.0, 5.0);
    const std::vector<std::vector<double>> knotVectors = {
        {0, 0, 1, 1},
        {0, 0, 0, 0.5, 1, 1, 1},
        {0, 0, 0, 0, 0.2, 0.2, 0.2, 0.5, 0.7, 1, 1, 1, 1}, // a C0 knot
        {0, 0, 0, 0, 0, 0, 0.1, 0.3, 0.3, 0.9, 1, 1, 1, 1, 1, 1},
    };
    for (const std::vector<double>& knots : knotVectors) {
        int degree = 0;
        while (knots[degree + 1] == knots[0])
            ++degree;
        SCOPED_TRACE(testing::Message() << "degree " << degree << ", " << knots.size() << " knots");
        const int n = static_cast<int>(knots.size()) - degree - 1;
        std::vector<double> coefficients(n);
        for (double& c : coefficients)
            c = value(random);
        const std::vector<double> at = grevilleAbscissae(knots, degree);
        std::vector<double> values(n);
        std::vector<double> basis(degree + 1);
        for (int i = 0; i < n; ++i) {
            const int span = findSpan(knots, degree, at[i]);
            basisFunctions(knots, degree, span, at[i], basis.data());
            for (int r = 0; r <= degree; ++r)
                values[i] += basis[r] * coefficients[span - degree + r];
        }
        CollocationSolver solver;
        ASSERT_TRUE(solver.factor(knots, degree, at));
        solver.solve(values.data(), 1, 1);
        for (int i = 0; i < n; ++i)
            EXPECT_NEAR(values[i], coefficients[i], 1e-12) << "coefficient " << i;
    }
}

TEST(CollocationSolver, RefusesPointsThatDoNotFitTheSpace) {
    const std::vector<double> knots = {0, 0, 0, 0.5, 1, 1, 1};
    CollocationSolver solver;
    EXPECT_FALSE(solver.factor(knots, 2, {0.0, 0.5, 1.0}));         // one point short
    EXPECT_FALSE(solver.factor(knots, 2, {0.0, 0.01, 0.02, 0.03})); // three points under two functions
}
