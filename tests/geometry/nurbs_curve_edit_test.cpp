// Editing a curve's points: insertion on the control polygon, finding, weights, deletion and transforms.
#include "geometry/nurbs_curve.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

NurbsCurve* curveThrough(const std::vector<ControlPoint>& points) {
    auto* c = new NurbsCurve;
    for (const ControlPoint& p : points)
        c->appendPoint(p);
    return c;
}

} // namespace

TEST(NurbsCurveEdit, AppendRebuildsKnotsAndCentre) {
    NurbsCurve c;
    c.appendPoint(ControlPoint(2, 4, 6, 0.5));
    EXPECT_EQ(c.knots, (std::vector<double>{0, 0, 0, 1}));
    EXPECT_EQ(c.centre.x, 2.0);
    EXPECT_EQ(c.centre.z, 6.0);
    EXPECT_EQ(c.centre.w, 1.0); // the plain mean of positions, weights not used
    c.appendPoint(ControlPoint(4, 0, 0, 3));
    EXPECT_EQ(c.centre.x, 3.0);
    EXPECT_EQ(c.centre.y, 2.0);
}

TEST(NurbsCurveEdit, InsertPointGoesIntoTheFirstSegmentItLiesOn) {
    struct Case {
        ControlPoint p;
        int axis;
        int index; // -1: nothing inserted
    } cases[] = {
        {ControlPoint(1, 0.1, 0, 0.7), 2, 1},
        {ControlPoint(1, 1, 0), 2, -1}, // fails the direction test on both segments
        {ControlPoint(3, 0, 0), 2, -1}, // on the line of the first segment but past its end
        {ControlPoint(2, 1, 0), 2, 2},
        {ControlPoint(1, 0.1, 0.5), 2, 1}, // the depth is ignored by the test but kept in the point
    };
    for (const Case& k : cases) {
        std::unique_ptr<NurbsCurve> c(
            curveThrough({ControlPoint(0, 0, 0), ControlPoint(2, 0, 0), ControlPoint(2, 2, 0)}));
        c->centre = ControlPoint(9, 9, 9);
        c->insertPoint(k.p, k.axis);
        if (k.index < 0) {
            EXPECT_EQ(c->controlPoints.size(), 3u) << k.p.x << "," << k.p.y;
            EXPECT_EQ(c->centre.x, 9.0); // untouched when nothing is inserted
            continue;
        }
        ASSERT_EQ(c->controlPoints.size(), 4u) << k.p.x << "," << k.p.y;
        const ControlPoint& in = c->controlPoints[k.index];
        EXPECT_EQ(in.x, k.p.x); // the argument itself, with its own weight
        EXPECT_EQ(in.y, k.p.y);
        EXPECT_EQ(in.z, k.p.z);
        EXPECT_EQ(in.w, k.p.w);
        EXPECT_EQ(c->knots.size(), 7u);
        EXPECT_NE(c->centre.x, 9.0);
    }
}

TEST(NurbsCurveEdit, InsertPointAtIgnoresIndexesOutsideTheArray) {
    std::unique_ptr<NurbsCurve> c(curveThrough({ControlPoint(0, 0, 0), ControlPoint(1, 0, 0)}));
    for (int index : {-1, 3})
        c->insertPointAt(ControlPoint(5, 5, 5), index);
    EXPECT_EQ(c->controlPoints.size(), 2u);
    c->insertPointAt(ControlPoint(5, 5, 5), 2); // == n appends
    EXPECT_EQ(c->controlPoints.back().x, 5.0);
}

TEST(NurbsCurveEdit, FindPointUsesAnInclusiveWindowOffTheDepthAxisAndTheLowestIndex) {
    struct Case {
        ControlPoint point;
        int axis;
        bool found;
    } cases[] = {
        {ControlPoint(0.3, 0.3, 5), 2, true},
        {ControlPoint(0.31, 0, 0), 2, false},
        {ControlPoint(5, 0.3, -0.3), 0, true},
        {ControlPoint(0.2, 4, 0.2), 1, true},
        {ControlPoint(0.2, 4, 0.2), 2, false},
        {ControlPoint(0.2, 0.2, 0.4), 7, false}, // any other axis: all three coordinates count
    };
    for (const Case& k : cases) {
        std::unique_ptr<NurbsCurve> c(curveThrough({ControlPoint(9, 9, 9), k.point}));
        EXPECT_EQ(c->findPoint(0, 0, 0, k.axis), k.found ? 1 : -1) << k.point.x << " axis " << k.axis;
        EXPECT_EQ(c->foundPoint, k.found ? 1 : -1);
    }
    std::unique_ptr<NurbsCurve> c(
        curveThrough({ControlPoint(5, 5, 0), ControlPoint(0.1, 0, 0), ControlPoint(0, 0, 0)}));
    EXPECT_EQ(c->findPoint(0, 0, 0, 2), 1);
}

TEST(NurbsCurveEdit, WeightsClampAtZeroAndIgnoreBadValuesAndIndexes) {
    std::unique_ptr<NurbsCurve> c(
        curveThrough({ControlPoint(0, 0, 0, 0.5), ControlPoint(1, 0, 0), ControlPoint(2, 0, 0)}));
    c->changeWeight(0, -0.8);
    EXPECT_EQ(c->weight(0), 0.0);
    c->setWeight(0, 0);
    EXPECT_EQ(c->weight(0), 0.0);
    c->setWeight(0, 2.5);
    EXPECT_EQ(c->weight(0), 2.5);
    c->changeWeight(1, 0.25);
    EXPECT_EQ(c->weight(1), 1.25);
    c->changeWeight(3, 1);
    c->setWeight(-1, 4);
    EXPECT_EQ(c->weight(99), 1.0);
    EXPECT_EQ(c->weight(-1), 1.0);
    EXPECT_EQ(c->weight(2), 1.0);
}

TEST(NurbsCurveEdit, MoveDeleteAndReverse) {
    std::unique_ptr<NurbsCurve> c(
        curveThrough({ControlPoint(0, 0, 0), ControlPoint(3, 0, 0), ControlPoint(6, 3, 0)}));
    c->centre = ControlPoint(9, 9, 9);
    c->movePoint(-1, 1, 1, 1); // no point moves, the centre is recomputed all the same
    EXPECT_EQ(c->centre.x, 3.0);
    EXPECT_EQ(c->centre.y, 1.0);
    c->movePoint(2, 0, 3, 0);
    EXPECT_EQ(c->controlPoints[2].y, 6.0);
    EXPECT_EQ(c->centre.y, 2.0);

    c->knots.clear();
    c->deletePoint(5); // keeps every point, rebuilds the knots anyway
    EXPECT_EQ(c->controlPoints.size(), 3u);
    EXPECT_EQ(c->knots.size(), 6u);

    c->centre = ControlPoint(7, 7, 7);
    const std::vector<double> knots = c->knots;
    c->reverseOrder();
    EXPECT_EQ(c->controlPoints[0].x, 6.0);
    EXPECT_EQ(c->controlPoints[2].x, 0.0);
    EXPECT_EQ(c->knots, knots);
    EXPECT_EQ(c->centre.x, 7.0);

    c->deletePoint(0);
    EXPECT_EQ(c->controlPoints.size(), 2u);
    EXPECT_EQ(c->controlPoints[0].x, 3.0);
    EXPECT_EQ(c->knots, (std::vector<double>{0, 0, 0, 1, 1}));
    EXPECT_EQ(c->centre.x, 1.5);
}

TEST(NurbsCurveEdit, TransformsWorkAboutTheCentreAndKeepWeights) {
    struct Case {
        const char* name;
        void (*apply)(NurbsCurve&);
        double x0, y0, x1, y1;
    } cases[] = {
        {"scale", [](NurbsCurve& c) { c.scale(0.5); }, -0.5, 0, 2.5, 0},
        {"rotate", [](NurbsCurve& c) { c.rotate(0, 0, std::numbers::pi / 2); }, 1, -1, 1, 1},
        {"collapse", [](NurbsCurve& c) { c.scale(-1); }, 1, 0, 1, 0},
        {"translate", [](NurbsCurve& c) { c.translate(1, 2, 3); }, 1, 2, 3, 2},
    };
    for (const Case& k : cases) {
        std::unique_ptr<NurbsCurve> c(curveThrough({ControlPoint(0, 0, 0, 0.5), ControlPoint(2, 0, 0, 2)}));
        c->controlPoints[0].nx = 1; // a normal does not survive a transform
        ASSERT_EQ(c->centre.x, 1.0);
        const std::vector<double> knots = c->knots;
        k.apply(*c);
        EXPECT_NEAR(c->controlPoints[0].x, k.x0, 1e-15) << k.name;
        EXPECT_NEAR(c->controlPoints[0].y, k.y0, 1e-15) << k.name;
        EXPECT_NEAR(c->controlPoints[1].x, k.x1, 1e-15) << k.name;
        EXPECT_NEAR(c->controlPoints[1].y, k.y1, 1e-15) << k.name;
        EXPECT_EQ(c->controlPoints[0].w, 0.5) << k.name;
        EXPECT_EQ(c->controlPoints[1].w, 2.0) << k.name;
        EXPECT_FALSE(c->controlPoints[0].hasNormal()) << k.name;
        EXPECT_EQ(c->knots, knots) << k.name;
    }
    // Translation carries the centre along; scale and rotate leave it.
    std::unique_ptr<NurbsCurve> c(curveThrough({ControlPoint(0, 0, 0), ControlPoint(2, 0, 0)}));
    c->translate(1, 2, 3);
    EXPECT_EQ(c->centre.x, 2.0);
    EXPECT_EQ(c->centre.y, 2.0);
    EXPECT_EQ(c->centre.z, 3.0);
    c->rotate(1, 2, 3);
    c->scale(4);
    EXPECT_EQ(c->centre.x, 2.0);
}
