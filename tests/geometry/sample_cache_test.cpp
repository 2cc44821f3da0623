// A curve's samples are evaluated once per change: after any change the shared samples equal a fresh
// pass bit for bit, and without one nothing is evaluated again.
#include "geometry/nurbs_curve.h"
#include "random_curve.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

void expectSameBits(NurbsCurve& curve) {
    const std::vector<ControlPoint> shared = curve.samplePoints();
    std::vector<ControlPoint> fresh;
    curve.evaluateSamples(fresh);
    ASSERT_EQ(shared.size(), fresh.size());
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        const double a[3] = {shared[i].x, shared[i].y, shared[i].z};
        const double b[3] = {fresh[i].x, fresh[i].y, fresh[i].z};
        ASSERT_EQ(std::memcmp(a, b, sizeof a), 0) << "sample " << i;
    }
}

} // namespace

TEST(SampleCache, EveryChangeIsSeenAndNoChangeEvaluatesAgain) {
    struct Change {
        const char* name;
        std::function<void(NurbsCurve&)> apply;
        bool moves = true; // the samples differ afterwards
    };
    const Change changes[] = {
        {"move a point", [](NurbsCurve& c) { c.movePoint(2, 0.5, -1.0, 0.25); }},
        {"change a weight", [](NurbsCurve& c) { c.changeWeight(1, 0.7); }},
        {"set a weight", [](NurbsCurve& c) { c.setWeight(3, 2.5); }},
        {"reverse", [](NurbsCurve& c) { c.reverseOrder(); }},
        {"translate", [](NurbsCurve& c) { c.translate(1.0, 2.0, 3.0); }},
        {"scale", [](NurbsCurve& c) { c.scale(1.5); }},
        {"rotate", [](NurbsCurve& c) { c.rotate(0.3, 0.2, 0.1); }},
        {"order", [](NurbsCurve& c) { c.setOrder(4); }},
        {"increment", [](NurbsCurve& c) { c.setParamInc(37); }},
        {"form", [](NurbsCurve& c) { c.setCurveMode(NurbsCurve::Closed); }},
        {"append", [](NurbsCurve& c) { c.appendPoint(ControlPoint(9, 9, 9)); }},
        {"insert", [](NurbsCurve& c) { c.insertPointAt(ControlPoint(-9, 0, 1), 1); }},
        {"delete", [](NurbsCurve& c) { c.deletePoint(0); }},
        {"copy",
         [](NurbsCurve& c) {
             std::mt19937 other(7);
             c.copyFrom(*makeRandomCurve(other, NurbsCurve::Open, 3, 8));
         }},
        {"undo",
         [](NurbsCurve& c) {
             const std::unique_ptr<ObjectState> before = c.saveState();
             c.movePoint(0, 3.0, 0.0, 0.0);
             c.samplePoints();
             c.restoreState(*before);
         },
         false},
        // Fields a caller may assign: the next pass sees them without being told.
        {"order assigned", [](NurbsCurve& c) { c.order = 2; }},
        {"increment assigned", [](NurbsCurve& c) { c.paramInc = 11; }},
        {"form assigned", [](NurbsCurve& c) { c.curveMode = NurbsCurve::Open; }},
        {"knot tolerance assigned", [](NurbsCurve& c) { c.knotEpsilon = 1e-3; }, false},
        {"other batch width", [](NurbsCurve& c) { c.evaluator.useAvx = !c.evaluator.useAvx; }, false},
        {"points written, then told",
         [](NurbsCurve& c) {
             c.controlPoints[1].y += 4.0;
             c.pointsChanged();
         }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        std::mt19937 rng(42);
        auto curve = makeRandomCurve(rng, NurbsCurve::Interpolated, 3, 6);
        curve->samplePoints();
        curve->samplePoints();
        EXPECT_EQ(curve->samplePasses, 1u) << "an unchanged curve is evaluated once";
        const std::vector<ControlPoint> before = curve->samplePoints();
        change.apply(*curve);
        const std::uint64_t passes = curve->samplePasses;
        expectSameBits(*curve);
        const std::vector<ControlPoint> after = curve->samplePoints();
        EXPECT_NE(change.moves,
                  after.size() == before.size() &&
                      std::memcmp(after.data(), before.data(), before.size() * sizeof(ControlPoint)) == 0)
            << "whether the change shows in the samples";
        EXPECT_GE(curve->samplePasses, passes + 1);
    }
}
