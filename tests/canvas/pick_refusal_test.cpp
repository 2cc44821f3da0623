// Refusals that say why: a pick the waiting surface does not take names the reason in the status bar
// and flashes the curve, and the surface keeps waiting; so does a reference axis that leaves nothing
// to sweep.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include "live_canvas.h"

#include <QImage>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {
// At 800 x 600 the front view's origin is at pixel (200, 459), 14.1 pixels to a unit.
constexpr int originX = 200, originY = 459;
constexpr double pixelsPerUnit = 14.1;

// A line at height y in the front view from x = -8 to 8, then down to (0, y - 3).
NurbsCurve* addCurve(GLPelm& p, double y, int mode) {
    return addSceneCurve(p, {ControlPoint(-8, y, 0), ControlPoint(8, y, 0), ControlPoint(0, y - 3, 0)}, 2,
                         mode);
}

QPoint onLine(double y) {
    return QPoint(originX + 10, originY - static_cast<int>(y * pixelsPerUnit));
}

// Pixels in the flash's colour.
int flashPixels(GLPelm& p) {
    const QImage frame = p.grabFramebuffer();
    int count = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QColor c = frame.pixelColor(x, y);
            count += c.red() > 200 && c.green() < 30 && c.blue() > 15 && c.blue() < 70;
        }
    return count;
}

struct Refusal {
    const char* name;
    int tool;
    int mode;         // of the refused curve
    bool alreadyUsed; // the curve already bounds another patch
    const char* message;
};
} // namespace

TEST(CanvasPickRefusal, ARefusedPickSaysWhyFlashesTheCurveAndTheSurfaceKeepsWaiting) {
    const char* closed =
        "Only a curve with interpolated ends can bound a patch or an extrusion; this one is closed";
    const char* open =
        "Only a curve with interpolated ends can bound a patch or an extrusion; this one is open";
    const char* used = "This curve already bounds a surface";
    const Refusal cases[] = {
        {"closed side", ToolMode::PickCoons, NurbsCurve::Closed, false, closed},
        {"open side", ToolMode::PickCoons, NurbsCurve::Open, false, open},
        {"closed profile", ToolMode::PickExtrusion, NurbsCurve::Closed, false, closed},
        {"open path", ToolMode::PickExtrusion, NurbsCurve::Open, false, open},
        {"side of another patch", ToolMode::PickCoons, NurbsCurve::Interpolated, true, used},
        {"profile of another extrusion", ToolMode::PickExtrusion, NurbsCurve::Interpolated, true, used},
    };
    for (const Refusal& k : cases) {
        SCOPED_TRACE(k.name);
        LiveCanvas c;
        KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
        GLPelm& p = *c.pelm;
        NurbsCurve* curve = addCurve(p, 0.0, k.mode);
        NurbsCurve* good = addCurve(p, 6.0, NurbsCurve::Interpolated);
        if (k.alreadyUsed) {
            p.createCoons();
            c.click(onLine(0.0));
            ASSERT_NE(curve->surfaceLink, nullptr);
        }
        if (k.tool == ToolMode::PickCoons)
            p.createCoons();
        else
            p.createExtrude();
        auto* surface = dynamic_cast<CurveSurface*>(p.activeObject);
        ASSERT_NE(surface, nullptr);
        ASSERT_EQ(flashPixels(p), 0);

        QSignalSpy messages(&p, &GLPelm::statusMessage);
        c.click(onLine(0.0));
        ASSERT_EQ(messages.count(), 1);
        EXPECT_EQ(messages[0][0].toString(), k.message);
        EXPECT_EQ(surface->curves.size(), 0u);
        EXPECT_NE(curve->surfaceLink, surface);
        EXPECT_EQ(p.activeObject, surface);
        EXPECT_EQ(p.toolMode, k.tool);
        EXPECT_GT(flashPixels(p), 100); // in every view
        // The flash goes by itself.
        QTest::qWait(900);
        EXPECT_EQ(flashPixels(p), 0);

        // The patch still takes the next good curve as its first.
        messages.clear();
        c.click(onLine(6.0));
        EXPECT_EQ(messages.count(), 0);
        ASSERT_EQ(surface->curves.size(), 1u);
        EXPECT_EQ(surface->curves[0], good);
    }
}

TEST(CanvasPickRefusal, AReferenceAxisOnTheAxisOfRotationIsNamed) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    GLPelm& p = *c.pelm;
    p.NURBS_sphereClicked();
    RevolutionSurface* surface = p.model.revolutionTarget();
    ASSERT_NE(surface, nullptr);
    const char* collapsed =
        "The reference axis equals the axis of rotation: the sweep collapses onto its profile";
    for (int aor = 0; aor < 3; ++aor) {
        if (aor == 0)
            p.revXAxisClicked();
        else if (aor == 1)
            p.revYAxisClicked();
        else
            p.revZAxisClicked();
        for (int refa = 0; refa < 3; ++refa) {
            SCOPED_TRACE(testing::Message() << "axis " << aor << " reference " << refa);
            QSignalSpy messages(&p, &GLPelm::statusMessage);
            if (refa == 0)
                p.refRevXAxisClicked();
            else if (refa == 1)
                p.refRevYAxisClicked();
            else
                p.refRevZAxisClicked();
            EXPECT_EQ(surface->refa, refa);
            if (aor == refa) {
                ASSERT_EQ(messages.count(), 1);
                EXPECT_EQ(messages[0][0].toString(), collapsed);
            } else {
                EXPECT_EQ(messages.count(), 0);
            }
        }
    }
}
