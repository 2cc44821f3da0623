// Point operations: weights and normals of results, rotation directions, single-precision distances.
#include "geometry/control_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

namespace {
constexpr double pi = std::numbers::pi;
}

TEST(ControlPoint, NormaliseScalesToUnitLengthAndLeavesZeroAndWeightAlone) {
    struct Case {
        ControlPoint in;
        double x, y, z;
    } cases[] = {
        {ControlPoint(3, 0, 4, 0.5), 0.6, 0.0, 0.8},
        {ControlPoint(0, 0, 0, 0.5), 0.0, 0.0, 0.0},
        {ControlPoint(0, -2, 0, 0.5), 0.0, -1.0, 0.0},
    };
    for (Case c : cases) {
        c.in.normalise();
        EXPECT_DOUBLE_EQ(c.in.x, c.x);
        EXPECT_DOUBLE_EQ(c.in.y, c.y);
        EXPECT_DOUBLE_EQ(c.in.z, c.z);
        EXPECT_EQ(c.in.w, 0.5);
    }
}

TEST(ControlPoint, ResultsCarryTheRightWeightAndNoNormal) {
    ControlPoint a(1, 2, 3, 0.5), b(4, 5, 6, 0.5);
    a.nx = b.ny = 1.0;
    struct Case {
        const char* name;
        std::function<ControlPoint()> op;
        double weight;
    } cases[] = {
        {"difference", [&] { return a - b; }, 1.0},
        {"sum", [&] { return a + b; }, 1.0},
        {"cross", [&] { return cross(a, b); }, 1.0},
        {"translated", [&] { return a.translated(1, 1, 1); }, 0.5},
        {"scaled", [&] { return a.scaled(2); }, 0.5},
        {"times", [&] { return a * 2.0; }, 0.5},
        {"rotatedX", [&] { return a.rotatedX(1); }, 0.5},
        {"rotatedY", [&] { return a.rotatedY(1); }, 0.5},
        {"rotatedZ", [&] { return a.rotatedZ(1); }, 0.5},
    };
    for (const Case& c : cases) {
        const ControlPoint r = c.op();
        EXPECT_EQ(r.w, c.weight) << c.name;
        EXPECT_FALSE(r.hasNormal()) << c.name;
    }
    EXPECT_TRUE(a.hasNormal());
}

TEST(ControlPoint, RotationsTurnTheRightWayAboutEachAxis) {
    struct Case {
        const char* name;
        ControlPoint result;
        double x, y, z, tolerance;
    } cases[] = {
        {"x turns y to z", ControlPoint(0, 1, 0).rotatedX(pi / 2), 0, 6.1e-17, 1, 1e-18},
        {"y turns z to x", ControlPoint(0, 0, 1).rotatedY(pi / 2), 1, 0, 6.1e-17, 1e-18},
        {"z turns x to y", ControlPoint(1, 0, 0).rotatedZ(pi / 2), 6.1e-17, 1, 0, 1e-18},
        {"half turn about z", ControlPoint(1, 2, 3).rotatedZ(pi), -1, -2, 3, 1e-15},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(c.result.x, c.x, c.tolerance) << c.name;
        EXPECT_NEAR(c.result.y, c.y, c.tolerance) << c.name;
        EXPECT_NEAR(c.result.z, c.z, c.tolerance) << c.name;
    }
}

TEST(ControlPoint, CoordinateNamesPositionForAxesZeroToTwoAndTheWeightOtherwise) {
    ControlPoint p(1, 2, 3, 4);
    EXPECT_EQ(&p.coordinate(0), &p.x);
    EXPECT_EQ(&p.coordinate(1), &p.y);
    EXPECT_EQ(&p.coordinate(2), &p.z);
    for (int axis : {3, -1, 99})
        EXPECT_EQ(&p.coordinate(axis), &p.w) << axis;
}

TEST(ControlPoint, DistancesRoundEachComponentToSinglePrecision) {
    // 0.1 as a float, squared as a float: not 0.01.
    EXPECT_EQ(static_cast<double>(squaredDistance(ControlPoint(0, 0, 0), ControlPoint(0.1, 0, 0))),
              0.010000000707805157);
    EXPECT_EQ(length(ControlPoint(3, 4, 0)), 5.0);
    // Weights take no part.
    EXPECT_EQ(squaredDistance(ControlPoint(1, 1, 1, 9), ControlPoint(0, 0, 0, 0.1)), 3.0f);
}
