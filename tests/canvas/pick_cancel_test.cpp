// Escape in a pick tool: the surface still waiting for curves goes, the curves it took are free again,
// one undo step brings it all back, and the tool returns to none.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include "live_canvas.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <vector>

namespace {
// At 800 x 600 the front view's origin is at pixel (200, 459), 14.1 pixels to a unit.
constexpr int originX = 200, originY = 459;
constexpr double pixelsPerUnit = 14.1;

// A horizontal line at height y in the front view, from x = -8 to 8.
NurbsCurve* addLine(GLPelm& p, double y) {
    return addSceneCurve(p, {ControlPoint(-8, y, 0), ControlPoint(8, y, 0)}, 2);
}

QPoint onLine(double y) {
    return QPoint(originX + 10, originY - static_cast<int>(y * pixelsPerUnit));
}

struct WaitingCase {
    const char* name;
    int tool;
    int taken; // lines picked before Escape
};
} // namespace

TEST(CanvasPickCancel, EscapeRemovesTheWaitingSurfaceAndReleasesItsCurvesInOneStep) {
    const WaitingCase cases[] = {
        {"Coons patch with two sides", ToolMode::PickCoons, 2},
        {"Coons patch with none", ToolMode::PickCoons, 0},
        {"extrusion with its profile", ToolMode::PickExtrusion, 1},
        {"surface of revolution without a profile", ToolMode::PickRevolution, 0},
    };
    for (const WaitingCase& k : cases) {
        SCOPED_TRACE(k.name);
        LiveCanvas c;
        KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
        GLPelm& p = *c.pelm;
        const std::vector<NurbsCurve*> lines = {addLine(p, 0.0), addLine(p, 5.0), addLine(p, -5.0)};
        if (k.tool == ToolMode::PickCoons)
            p.createCoons();
        else if (k.tool == ToolMode::PickExtrusion)
            p.createExtrude();
        else
            p.createRev();
        SceneObject* surface = p.activeObject;
        ASSERT_NE(surface, nullptr);
        ASSERT_EQ(p.toolMode, k.tool);
        const double heights[] = {0.0, 5.0, -5.0};
        for (int i = 0; i < k.taken; ++i)
            c.click(onLine(heights[i]));
        for (int i = 0; i < k.taken; ++i)
            ASSERT_EQ(lines[i]->surfaceLink, surface) << "line " << i;
        const std::size_t steps = p.model.history.size();

        QSignalSpy messages(&p, &GLPelm::statusMessage);
        c.key(Qt::Key_Escape);
        EXPECT_FALSE(p.scene.contains(surface));
        EXPECT_EQ(p.activeObject, nullptr);
        EXPECT_EQ(p.pickedCurve, nullptr);
        EXPECT_EQ(p.toolMode, ToolMode::None);
        ASSERT_EQ(messages.count(), 1);
        EXPECT_EQ(messages[0][0].toString(), "Surface cancelled: the curves it took are free again");
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(lines[i]->surfaceLink, nullptr) << "line " << i;
            EXPECT_EQ(lines[i]->linkKind, i < k.taken ? NurbsCurve::ReleasedLink : NurbsCurve::FreeLink)
                << "line " << i;
        }
        EXPECT_EQ(p.model.history.size(), steps + 1);

        // The one step brings the surface back holding what it held.
        ASSERT_TRUE(p.model.undo());
        EXPECT_TRUE(p.scene.contains(surface));
        for (int i = 0; i < k.taken; ++i)
            EXPECT_EQ(lines[i]->surfaceLink, surface) << "line " << i;
    }
}

TEST(CanvasPickCancel, EscapeLeavesACompleteSurfaceAndOtherToolsAlone) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    NurbsCurve* profile = addLine(p, 0.0);
    NurbsCurve* path = addLine(p, 5.0);
    p.createExtrude();
    auto* extrusion = dynamic_cast<CurveSurface*>(p.activeObject);
    ASSERT_NE(extrusion, nullptr);
    c.click(onLine(0.0));
    c.click(onLine(5.0));
    ASSERT_EQ(path->surfaceLink, extrusion);
    ASSERT_EQ(p.toolMode, ToolMode::Translate); // complete: the pick tool was left

    const std::size_t steps = p.model.history.size();
    for (int tool : {ToolMode::Translate, ToolMode::AppendPoint, ToolMode::PickExtrusion}) {
        SCOPED_TRACE(tool);
        p.setToolMode(tool);
        p.setActiveObject(extrusion, ObjectKind::Extrusion);
        c.key(Qt::Key_Escape);
        EXPECT_TRUE(p.scene.contains(extrusion));
        EXPECT_EQ(profile->surfaceLink, extrusion);
        EXPECT_EQ(p.model.history.size(), steps);
        // Only a pick tool is left by Escape.
        EXPECT_EQ(p.toolMode, tool == ToolMode::PickExtrusion ? ToolMode::None : tool);
    }
}
