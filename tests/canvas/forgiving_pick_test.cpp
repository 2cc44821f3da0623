// Picks that forgive a few pixels: the curve a click would take is highlighted under the cursor, a
// click within 6 pixels or 0.3 units takes it, and a pick that takes nothing says so.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "geometry/nurbs_curve.h"

#include "live_canvas.h"

#include <QImage>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {
// At 800 x 600 the front view's drawing area is 400 x 282 with its origin at pixel (200, 459).
constexpr int originX = 200, originY = 459;

// A horizontal line through the front view's origin, from x = -8 to 8.
NurbsCurve* addLine(GLPelm& p) {
    return addSceneCurve(p, {ControlPoint(-8, 0, 0), ControlPoint(8, 0, 0)}, 2);
}

int highlightPixels(GLPelm& p) {
    const QImage frame = p.grabFramebuffer();
    int count = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QColor c = frame.pixelColor(x, y);
            count += c.red() > 230 && c.green() > 110 && c.green() < 170 && c.blue() < 40;
        }
    return count;
}

struct Reach {
    float zoom;
    int pixelsOff; // above the line, negative below
    bool taken;
};
// 6 pixels are 0.43 units at zoom 1 (14.1 pixels per unit up), 1.7 at zoom 0.25; at zoom 10 the
// 0.3 units are 42 pixels and reach further than the 6 pixels.
const Reach reaches[] = {
    {1.0f, 0, true},  {1.0f, 5, true},   {1.0f, -5, true},  {1.0f, 8, false},
    {0.25f, 5, true}, {0.25f, 8, false}, {10.0f, 30, true}, {10.0f, 50, false},
};
} // namespace

TEST(CanvasForgivingPick, ClicksTakeACurveWithinSixPixelsOrTheToleranceInEveryPickingTool) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    NurbsCurve* line = addLine(p);
    for (int tool : {ToolMode::Translate, ToolMode::Rotate, ToolMode::PickRevolution}) {
        p.setToolMode(tool);
        for (const Reach& k : reaches) {
            SCOPED_TRACE(testing::Message()
                         << "tool " << tool << " zoom " << k.zoom << " off " << k.pixelsOff);
            p.frontView.zoom = k.zoom;
            const QPoint at(originX + 10, originY - k.pixelsOff);
            p.setActiveObject(nullptr, ObjectKind::None);
            QSignalSpy messages(&p, &GLPelm::statusMessage);
            c.click(at);
            NurbsCurve* expected = k.taken ? line : nullptr;
            if (tool == ToolMode::PickRevolution) {
                // No surface of revolution is active: the pick only marks the curve it took.
                EXPECT_EQ(p.pickedCurve, expected);
                ASSERT_EQ(messages.count(), k.taken ? 0 : 1);
                if (!k.taken) {
                    EXPECT_EQ(messages[0][0].toString(), "No curve here: click on a curve to pick it");
                }
            } else {
                EXPECT_EQ(p.activeObject, expected);
            }
            EXPECT_EQ(p.toolMode, tool);
        }
    }
}

TEST(CanvasForgivingPick, TheCurveUnderTheCursorIsHighlightedInPickingToolsOnly) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    NurbsCurve* line = addLine(p);
    p.setToolMode(ToolMode::PickCoons);
    for (const Reach& k : reaches) {
        SCOPED_TRACE(testing::Message() << "zoom " << k.zoom << " off " << k.pixelsOff);
        p.frontView.zoom = k.zoom;
        c.moveHolding(QPoint(originX - 10, originY - k.pixelsOff), Qt::NoButton);
        EXPECT_EQ(p.hoveredCurve, k.taken ? line : nullptr);
        // What the hover shows is what a click there takes.
        EXPECT_EQ(p.curveUnder(originX - 10, originY - k.pixelsOff), p.hoveredCurve);
    }

    p.frontView.zoom = 1.0f;
    c.moveHolding(QPoint(originX, originY - 4), Qt::NoButton);
    ASSERT_EQ(p.hoveredCurve, line);
    const int lit = highlightPixels(p);
    EXPECT_GT(lit, 100); // drawn in every view
    p.setToolMode(ToolMode::Translate);
    EXPECT_EQ(highlightPixels(p), lit);
    p.setToolMode(ToolMode::AppendPoint); // a click here adds a point: nothing to highlight
    EXPECT_EQ(highlightPixels(p), 0);
    p.setToolMode(ToolMode::Scale);
    c.moveHolding(QPoint(originX, originY - 40), Qt::NoButton);
    EXPECT_EQ(p.hoveredCurve, nullptr);
    EXPECT_EQ(highlightPixels(p), 0);

    // A curve deleted under the cursor is no longer hovered.
    c.moveHolding(QPoint(originX, originY - 2), Qt::NoButton);
    ASSERT_EQ(p.hoveredCurve, line);
    p.setActiveObject(line, ObjectKind::Curve);
    c.key(Qt::Key_Delete);
    EXPECT_EQ(p.hoveredCurve, nullptr);
    EXPECT_EQ(highlightPixels(p), 0);
}
