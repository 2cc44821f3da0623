// A surface follows its curve while a point of the curve is dragged, not only at the release; the
// release leaves the mesh a rebuild from scratch gives, and the whole drag is one undo step. A large
// surface follows from the rebuilder's thread: the frame after a step still shows the last mesh.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include "live_canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

// At 800 x 600 the top view shows x across and z down from pixel (200, 159), the front view x across
// and y up from (200, 459); 15 pixels to a unit across, 14.1 up.
QPoint topPixel(double x, double z) {
    return QPoint(int(std::lround(200 + 15 * x)), int(std::lround(159 + 14.1 * z)));
}
QPoint frontPixel(double x, double y) {
    return QPoint(int(std::lround(200 + 15 * x)), int(std::lround(459 - 14.1 * y)));
}

bool sameMesh(const SurfaceMesh& a, const SurfaceMesh& b) {
    return a.positions == b.positions && a.normals == b.normals && a.colours == b.colours &&
           a.primitives.size() == b.primitives.size();
}

struct Scene {
    const char* name;
    // Builds the surface and its curve, makes the curve active; returns the surface's mesh.
    std::function<SurfaceMesh*(GLPelm&, NurbsCurve*&, std::function<void()>&)> build;
    QPoint grab, firstMove, secondMove;
    bool large = false;
};

// The cylinder of the predefined shapes, made with the given increments.
SurfaceMesh* cylinder(GLPelm& p, NurbsCurve*& curve, std::function<void()>& rebuild, int increments) {
    p.NURBS_cylinderClicked();
    curve = dynamic_cast<NurbsCurve*>(p.activeObject);
    auto* surface = curve ? dynamic_cast<RevolutionSurface*>(curve->surfaceLink) : nullptr;
    if (!surface)
        return nullptr;
    if (increments > 0) {
        surface->setUParamInc(increments);
        surface->setVParamInc(increments);
    }
    rebuild = [surface] {
        surface->dirty = true;
        surface->tessellate();
    };
    return &surface->surfaceMesh;
}

} // namespace

TEST(CanvasDragFollow, TheSurfaceFollowsEveryDragStepAndTheReleaseLeavesAFreshMesh) {
    const Scene scenes[] = {
        {"cylinder's profile corner in the top view",
         [](GLPelm& p, NurbsCurve*& curve, std::function<void()>& rebuild) {
             return cylinder(p, curve, rebuild, 0);
         },
         topPixel(-8.5, 6.5), topPixel(-9.5, 8.5), topPixel(-10.5, 9.0)},
        {"cylinder of 300 x 300 cells",
         [](GLPelm& p, NurbsCurve*& curve, std::function<void()>& rebuild) {
             return cylinder(p, curve, rebuild, 300);
         },
         topPixel(-8.5, 6.5), topPixel(-9.5, 8.5), topPixel(-10.5, 9.0), true},
        {"Coons patch side in the front view",
         [](GLPelm& p, NurbsCurve*& curve, std::function<void()>& rebuild) -> SurfaceMesh* {
             NurbsCurve* sides[] = {
                 addSceneCurve(p, {{-6, -4, 0}, {0, -5, 0}, {6, -4, 0}}, 3),
                 addSceneCurve(p, {{6, -4, 0}, {7, 0, 0}, {6, 4, 0}}, 3),
                 addSceneCurve(p, {{6, 4, 0}, {0, 5, 0}, {-6, 4, 0}}, 3),
                 addSceneCurve(p, {{-6, 4, 0}, {-7, 0, 0}, {-6, -4, 0}}, 3),
             };
             CurveSurface* surface = p.model.newCurveSurface(ObjectKind::Coons);
             for (NurbsCurve* side : sides)
                 p.model.pickCurve(side, ObjectKind::Coons);
             if (surface->curves.size() != 4)
                 return nullptr;
             surface->setShading(true);
             curve = sides[1];
             p.setActiveObject(curve, ObjectKind::Curve);
             rebuild = [surface] {
                 surface->dirty = true;
                 surface->tessellate();
             };
             return &surface->surfaceMesh;
         },
         frontPixel(7, 0), frontPixel(9, 1), frontPixel(10, 2)},
    };
    for (const Scene& scene : scenes) {
        SCOPED_TRACE(scene.name);
        LiveCanvas c;
        KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
        GLPelm& p = *c.pelm;
        NurbsCurve* curve = nullptr;
        std::function<void()> rebuild;
        SurfaceMesh* mesh = scene.build(p, curve, rebuild);
        ASSERT_NE(mesh, nullptr);
        p.editCPClicked();
        p.grabSettledFrame();
        const SurfaceMesh before = *mesh;
        ASSERT_FALSE(before.positions.empty());
        const std::size_t steps = p.model.history.size();

        c.press(scene.grab);
        ASSERT_NE(p.activePoint, -1);
        SurfaceMesh previous = *mesh;
        for (QPoint to : {scene.firstMove, scene.secondMove}) {
            c.moveHolding(to, Qt::LeftButton);
            p.grabFramebuffer();
            if (scene.large) {
                EXPECT_TRUE(sameMesh(*mesh, previous)) << "the frame waited for the rebuild";
                p.grabSettledFrame();
            }
            EXPECT_FALSE(sameMesh(*mesh, previous)) << "the surface did not follow the drag step";
            previous = *mesh;
        }
        c.release(scene.secondMove);
        p.grabSettledFrame();
        const SurfaceMesh shown = *mesh;
        rebuild();
        EXPECT_TRUE(sameMesh(*mesh, shown)) << "the release left a mesh a rebuild would not make";
        EXPECT_EQ(p.model.history.size(), steps + 1) << "one step for the whole drag";

        p.undo();
        p.grabSettledFrame();
        EXPECT_TRUE(sameMesh(*mesh, before));
    }
}
