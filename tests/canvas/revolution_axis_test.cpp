// The axis of rotation in sight: while a surface of revolution or its profile is active, its axis is
// drawn dashed through the point the sweep turns about, past the surface, and follows the settings.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "geometry/nurbs_curve.h"
#include "surfaces/revolution_surface.h"

#include "drawn_position.h"
#include "live_canvas.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace {
bool axisColour(const QColor& c) {
    return c.red() > 110 && c.red() < 170 && c.green() < 40 && c.blue() > 160;
}

// Axis-coloured pixels in the front view within two pixels of the vertical line x = worldX, split into
// those within the height of the surface (y in -6..6) and those beyond it.
struct ColumnCount {
    int within = 0;
    int beyond = 0;
};
ColumnCount axisPixelsAt(GLPelm& p, const QImage& frame, double worldX) {
    ColumnCount count;
    const int height = frame.height();
    for (double y = -12.0; y <= 12.0; y += 0.02) {
        const DrawnPosition at = drawnPosition(p, ViewKind::Front, ControlPoint(worldX, y, 0.0));
        if (!at.projected || !at.inside)
            continue;
        const int row = height - 1 - static_cast<int>(std::lround(at.y));
        bool found = false;
        for (int dx = -2; dx <= 2 && !found; ++dx)
            found = axisColour(frame.pixelColor(static_cast<int>(std::lround(at.x)) + dx, row));
        if (found)
            (std::fabs(y) <= 6.0 ? count.within : count.beyond) += 1;
    }
    return count;
}

int axisPixels(const QImage& frame) {
    int count = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            count += axisColour(frame.pixelColor(x, y));
    return count;
}
} // namespace

TEST(CanvasRevolutionAxis, TheAxisIsDrawnThroughTheSweepsTurningPointAndFollowsTheSettings) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    // A vase's profile in the front view's plane, swept about y (the default axis of rotation).
    auto* profile = new NurbsCurve;
    for (const ControlPoint& point :
         {ControlPoint(3, -6, 0), ControlPoint(6, -2, 0), ControlPoint(2, 3, 0), ControlPoint(4, 6, 0)})
        profile->appendPoint(point);
    p.scene.append(profile, ObjectKind::Curve);
    ASSERT_EQ(axisPixels(p.grabFramebuffer()), 0);
    p.setActiveObject(profile, ObjectKind::Curve);
    p.createRev();
    RevolutionSurface* surface = p.model.revolutionTarget();
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(surface->aor, 1);

    const struct {
        const char* name;
        void (GLPelm::*change)();
        int distance; // for the Axis placement
    } settings[] = {
        {"right-most point", &GLPelm::rot_farRightClicked, 0},
        {"left-most point", &GLPelm::rot_farLeftClicked, 0},
        {"axis 4 beyond the left-most point", &GLPelm::rot_AxisLeftClicked, 4},
        {"axis 2 beyond the right-most point", &GLPelm::rot_AxisRightClicked, 2},
        {"axis 1 beyond the left-most point", &GLPelm::rot_AxisLeftClicked, 1},
    };
    double before = NAN;
    for (const auto& s : settings) {
        SCOPED_TRACE(s.name);
        (p.*s.change)();
        if (s.distance > 0) {
            p.rot_axisClicked();
            p.rot_axisDistChanged(s.distance);
        }
        const RevolutionSurface::SweepAxis axis = surface->sweepAxis();
        ASSERT_TRUE(axis.valid);
        ASSERT_NE(axis.position, before); // each setting moves the axis
        // The profile is active first, then the surface: the axis shows for both.
        for (int kind : {ObjectKind::Curve, ObjectKind::Revolution}) {
            p.setActiveObject(kind == ObjectKind::Curve ? static_cast<SceneObject*>(profile) : surface, kind);
            const QImage frame = p.grabFramebuffer();
            const ColumnCount here = axisPixelsAt(p, frame, axis.position);
            EXPECT_GT(here.within, 150) << "kind " << kind;
            EXPECT_GT(here.beyond, 20) << "kind " << kind; // it reaches past the surface
            if (!std::isnan(before)) {
                const ColumnCount old = axisPixelsAt(p, frame, before);
                EXPECT_EQ(old.within + old.beyond, 0) << "kind " << kind;
            }
        }
        before = axis.position;
    }

    // Nothing active, or a free curve active: no axis.
    p.setActiveObject(nullptr, ObjectKind::None);
    EXPECT_EQ(axisPixels(p.grabFramebuffer()), 0);
}
