// With the edit tool a control point is picked and dragged in the perspective view: it moves in the
// plane through it that faces the camera and stays under the cursor, and the drag is one undo step; a
// middle drag changes its weight.
// Where a point is drawn comes from GL's own matrices (drawnPosition), not from the canvas's arithmetic.
#include "live_canvas.h"

#include "drawn_position.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct CameraCase {
    const char* name;
    ControlPoint eye, target, rotation;
    float panX, panY;
};

// The canvas position (origin top left) of a GL window position.
QPoint canvasSpot(const GLPelm& p, double windowX, double windowY) {
    return QPoint(static_cast<int>(std::lround(windowX)),
                  p.height() - static_cast<int>(std::lround(windowY)));
}

} // namespace

TEST(PerspectiveEdit, ADraggedPointStaysUnderTheCursorInTheCameraFacingPlaneAsOneStep) {
    const CameraCase cases[] = {
        {"straight down -z", {0, 0, 40}, {0, 0, 0}, {0, 0, 0}, 0.0f, 0.0f},
        {"from above and aside", {25, 30, 20}, {1, 0, -1}, {0, 0, 0}, 0.0f, 0.0f},
        {"turned camera", {0, 10, 35}, {0, 0, 0}, {15, -30, 10}, 0.0f, 0.0f},
        {"panned view", {10, 5, 30}, {0, 1, 0}, {0, 20, 0}, 2.0f, -1.0f},
    };
    for (const CameraCase& cc : cases) {
        SCOPED_TRACE(cc.name);
        LiveCanvas c;
        KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
        GLPelm& p = *c.pelm;
        NurbsCurve* curve = addSceneCurve(p, {{-6, -3, 2}, {-2, 4, -3}, {3, -2, 5}, {7, 3, -1}}, 3);
        p.setActiveObject(curve, ObjectKind::Curve);
        p.camera.eye = cc.eye;
        p.camera.target = cc.target;
        p.camera.rotation = cc.rotation;
        p.perspectiveView.panX = cc.panX;
        p.perspectiveView.panY = cc.panY;
        p.setToolMode(ToolMode::EditPoint);
        p.grabFramebuffer();

        const ControlPoint original = curve->controlPoints[2];
        const DrawnPosition start = drawnPosition(p, ViewKind::Perspective, original);
        ASSERT_TRUE(start.inside);
        const QPoint grab = canvasSpot(p, start.x, start.y);
        ASSERT_EQ(p.regionAt(grab.x(), grab.y()), ViewKind::Perspective);

        const std::size_t steps = p.model.history.size();
        const std::vector<ControlPoint> unmoved = curve->controlPoints;
        c.press(grab);
        ASSERT_EQ(p.activePoint, 2) << "the press did not pick the point drawn under it";
        for (const QPoint by : {QPoint(25, 10), QPoint(-15, 40), QPoint(-30, -35)}) {
            const QPoint to = grab + by;
            c.moveHolding(to, Qt::LeftButton);
            p.grabFramebuffer();
            const DrawnPosition now = drawnPosition(p, ViewKind::Perspective, curve->controlPoints[2]);
            ASSERT_TRUE(now.projected);
            // Where it was grabbed relative to the cursor (under half a pixel) plus the cursor's way.
            EXPECT_NEAR(now.x, start.x + by.x(), 1.0);
            EXPECT_NEAR(now.y, start.y - by.y(), 1.0);
            EXPECT_NEAR(now.depth, start.depth, 1e-6) << "the point left the plane facing the camera";
        }
        c.release(grab + QPoint(-30, -35));
        EXPECT_NE(curve->controlPoints[2].x, original.x);
        EXPECT_EQ(p.model.history.size(), steps + 1) << "one step for the whole drag";
        for (int i : {0, 1, 3})
            EXPECT_EQ(length(curve->controlPoints[i] - unmoved[i]), 0.0) << "only the picked point moves";
        p.undo();
        EXPECT_EQ(curve->controlPoints[2].x, original.x);
        EXPECT_EQ(curve->controlPoints[2].y, original.y);
        EXPECT_EQ(curve->controlPoints[2].z, original.z);

        // A middle drag on the point changes its weight instead: 15 pixels across to half a unit.
        const double weight = curve->controlPoints[2].w;
        c.drag(grab, grab + QPoint(30, -30), Qt::MiddleButton);
        EXPECT_EQ(p.activePoint, 2);
        EXPECT_NEAR(curve->controlPoints[2].w, weight + 2.0, 1e-12);
        EXPECT_EQ(length(curve->controlPoints[2] - original), 0.0);

        // A press away from every point picks none, and its drag moves nothing.
        const QPoint empty(p.width() - 20, 40);
        ASSERT_EQ(p.regionAt(empty.x(), empty.y()), ViewKind::Perspective);
        const std::vector<ControlPoint> before = curve->controlPoints;
        c.drag(empty, empty + QPoint(30, 30));
        EXPECT_EQ(p.activePoint, -1);
        for (std::size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(length(curve->controlPoints[i] - before[i]), 0.0);
    }
}
