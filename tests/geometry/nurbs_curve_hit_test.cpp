// The distance from a click to a curve's drawn line, which wider picks measure against.
#include "geometry/nurbs_curve.h"

#include "random_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {
// A straight line from (-4, 0, 0) to (4, 0, 0), interpolated: sampled at its ends and middle only.
void makeCoarseLine(NurbsCurve& curve) {
    curve.setOrder(2);
    curve.appendPoint(ControlPoint(-4, 0, 0));
    curve.appendPoint(ControlPoint(4, 0, 0));
    curve.setParamInc(2);
}
} // namespace

TEST(NurbsCurveHitDistance, MeasuresInTheViewPlaneToSamplesAndTheSegmentsBetween) {
    NurbsCurve line;
    makeCoarseLine(line);
    ASSERT_EQ(line.samplePoints().size(), 3u);
    struct Case {
        const char* what;
        ControlPoint at;
        int axis;
        double distance;
    };
    const Case cases[] = {
        {"on the line, far in depth", {1, 0, 50}, 2, 0.0},
        {"above a gap between samples", {2, 0.5, 0}, 2, 0.5},
        {"beyond an end: the box distance", {5, 1, 0}, 2, 1.0},
        {"beyond an end, further off", {6, 0.5, 0}, 2, 2.0},
        {"top view ignores y", {2, 9, 0.25}, 1, 0.25},
        {"left view: the box distance to a sample", {30, 0.3, 0.4}, 0, 0.4},
        {"no depth axis: all three", {2, 0.3, 0.4}, -1, 0.5},
    };
    for (const Case& k : cases) {
        EXPECT_NEAR(line.hitDistance(k.at.x, k.at.y, k.at.z, k.axis), k.distance, 1e-12) << k.what;
    }

    // A line with no samples is never near.
    NurbsCurve tooShort;
    tooShort.setOrder(4);
    tooShort.appendPoint(ControlPoint(0, 0, 0));
    EXPECT_TRUE(std::isinf(tooShort.hitDistance(0, 0, 0, 2)));
}

TEST(NurbsCurveHitDistance, EveryClickTheHitTestTakesIsWithinItsTolerance) {
    std::mt19937 rng(15);
    std::uniform_real_distribution<double> jitter(-0.45, 0.45);
    int hits = 0, misses = 0;
    for (int round = 0; round < 200; ++round) {
        const int mode = round % 3;
        auto curve = makeRandomCurve(rng, mode, 2 + round % 4, 6);
        const std::vector<ControlPoint> samples = curve->samplePoints();
        ASSERT_FALSE(samples.empty());
        const ControlPoint& s = samples[static_cast<std::size_t>(round) % samples.size()];
        const int axis = round % 3;
        const ControlPoint at(s.x + jitter(rng), s.y + jitter(rng), s.z + jitter(rng));
        const bool hit = curve->hitTest(at.x, at.y, at.z, axis);
        const double d = curve->hitDistance(at.x, at.y, at.z, axis);
        if (hit) {
            ++hits;
            EXPECT_LE(d, HitTolerance) << round;
        } else {
            ++misses;
        }
    }
    // Both sides were tried.
    EXPECT_GT(hits, 20);
    EXPECT_GT(misses, 20);
}
