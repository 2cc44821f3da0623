// Which curve a click takes: the exact hit first, in scene order, then the nearest within the reach.
#include "geometry/nurbs_curve.h"
#include "scene/curve_picker.h"
#include "scene/scene_list.h"

#include "stub_scene_object.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {
// A horizontal line at height y from x = -4 to 4, sampled at its ends and middle only.
NurbsCurve* addLine(SceneList& scene, double y) {
    auto* curve = new NurbsCurve;
    curve->setOrder(2);
    curve->appendPoint(ControlPoint(-4, y, 0));
    curve->appendPoint(ControlPoint(4, y, 0));
    curve->setParamInc(2);
    scene.append(curve, ObjectKind::Curve);
    return curve;
}
} // namespace

TEST(CurvePicker, ExactHitsKeepTheirOrderAndTheReachAddsTheNearest) {
    SceneList scene;
    scene.append(new StubSceneObject, ObjectKind::Revolution); // not a curve: never taken
    NurbsCurve* low = addLine(scene, 0.0);
    NurbsCurve* middle = addLine(scene, 0.5);
    NurbsCurve* high = addLine(scene, 3.0);
    struct Case {
        const char* what;
        double x, y;
        double reach;
        NurbsCurve* taken;
    };
    const Case cases[] = {
        {"at a sample, both in tolerance: the first in order", 0.0, 0.3, 0.0, low},
        {"at a sample, only the later one in tolerance", 0.0, 0.45, 0.0, middle},
        {"between samples, the box test on samples misses", 2.0, 0.1, 0.0, nullptr},
        {"between samples, within the reach", 2.0, 0.1, 0.3, low},
        {"nearer the later curve", 2.0, 0.4, 0.3, middle},
        {"off every curve by more than the reach", 2.0, 1.6, 1.0, nullptr},
        {"the nearest within a wide reach", 2.0, 2.0, 1.8, high},
        {"a reach below the tolerance still takes exact hits", -4.0, 2.75, 0.01, high},
    };
    for (const Case& k : cases)
        EXPECT_EQ(CurvePicker::curveAt(scene, ControlPoint(k.x, k.y, 9.0), 2, k.reach), k.taken) << k.what;
}
