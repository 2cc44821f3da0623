// A curve is evaluated once per change: the four views, the hover highlight, picking and framing share
// its samples.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "geometry/nurbs_curve.h"

#include "live_canvas.h"

#include <gtest/gtest.h>

namespace {
// At 800 x 600 the front view's drawing area has its origin at pixel (200, 459).
constexpr int originX = 200, originY = 459;

NurbsCurve* addCurve(GLPelm& p, double y) {
    return addSceneCurve(
        p, {ControlPoint(-8, y, 0), ControlPoint(-3, y, 0), ControlPoint(2, y, 0), ControlPoint(8, y, 0)}, 3);
}
} // namespace

TEST(CanvasSampleSharing, EachCurveIsEvaluatedOncePerChange) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    NurbsCurve* curves[] = {addCurve(p, -4.0), addCurve(p, 0.0), addCurve(p, 4.0)};
    p.setActiveObject(curves[1], ObjectKind::Curve);
    p.grabFramebuffer();
    for (NurbsCurve* curve : curves)
        EXPECT_EQ(curve->samplePasses, 1u) << "four views, one pass";

    // Frames, hovering and picking in the selection tool, framing: nothing changed.
    p.setToolMode(ToolMode::Translate);
    for (int i = 0; i < 3; ++i)
        p.grabFramebuffer();
    p.hoverAt(originX + 40, originY);
    c.click(QPoint(originX + 40, originY));
    EXPECT_EQ(p.activeObject, curves[1]);
    p.frameAll();
    p.grabFramebuffer();
    for (NurbsCurve* curve : curves)
        EXPECT_EQ(curve->samplePasses, 1u);

    // A move through the model: that curve alone is evaluated again, once.
    p.model.setActivePoint(0);
    p.model.movePoint(0.5, 0.0, 0.0);
    p.grabFramebuffer();
    p.grabFramebuffer();
    EXPECT_EQ(curves[0]->samplePasses, 1u);
    EXPECT_EQ(curves[1]->samplePasses, 2u);
    EXPECT_EQ(curves[2]->samplePasses, 1u);
}
