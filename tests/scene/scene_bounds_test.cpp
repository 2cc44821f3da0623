// The box framing brings into view: curves by their points and lines, surfaces by their meshes.
#include "geometry/nurbs_curve.h"
#include "scene/scene_bounds.h"
#include "scene/scene_list.h"
#include "surfaces/curve_surface.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {
void expectBox(const SceneBounds& b, ControlPoint low, ControlPoint high, double tolerance = 1e-9) {
    ASSERT_FALSE(b.empty());
    EXPECT_NEAR(b.low.x, low.x, tolerance);
    EXPECT_NEAR(b.low.y, low.y, tolerance);
    EXPECT_NEAR(b.low.z, low.z, tolerance);
    EXPECT_NEAR(b.high.x, high.x, tolerance);
    EXPECT_NEAR(b.high.y, high.y, tolerance);
    EXPECT_NEAR(b.high.z, high.z, tolerance);
}
} // namespace

TEST(SceneBounds, CurvesGiveTheBoxOfTheirPointsAndUnusablePointsAreLeftOut) {
    SceneList scene;
    EXPECT_TRUE(SceneBounds::of(scene).empty());
    EXPECT_EQ(SceneBounds::of(scene).radius(), 0.0);
    EXPECT_TRUE(SceneBounds::of(nullptr).empty());

    auto* curve = new NurbsCurve;
    curve->setOrder(3);
    for (const ControlPoint& p : {ControlPoint(-2, 1, 4), ControlPoint(5, -3, 4), ControlPoint(1, 2, -6)})
        curve->appendPoint(p);
    scene.append(curve, ObjectKind::Curve);
    expectBox(SceneBounds::of(scene), {-2, -3, -6}, {5, 2, 4});
    EXPECT_NEAR(SceneBounds::of(curve).radius(), std::hypot(7.0, 5.0, 10.0) / 2.0, 1e-12);

    // A curve with too few points for its order draws its polygon: its points still count.
    auto* stub = new NurbsCurve;
    stub->setOrder(5);
    stub->appendPoint(ControlPoint(0, 9, 0));
    stub->appendPoint(ControlPoint(std::numeric_limits<double>::quiet_NaN(), 40, 0));
    stub->appendPoint(ControlPoint(0, std::numeric_limits<double>::infinity(), 0));
    scene.append(stub, ObjectKind::Curve);
    expectBox(SceneBounds::of(scene), {-2, -3, -6}, {5, 9, 4});
    const ControlPoint c = SceneBounds::of(scene).centre();
    EXPECT_NEAR(c.y, 3.0, 1e-12);
}

TEST(SceneBounds, SurfacesCountWithTheirMeshesSweptAroundTheAxis) {
    SceneList scene;
    auto* profile = new NurbsCurve;
    buildPredefinedCurve(*profile, ShapeKind::Cylinder); // x from -8.5 to 0, turned about x = 0
    scene.append(profile, ObjectKind::Curve);
    RevolutionSurface* surface = makePredefinedSurface(profile);
    profile->surfaceLink = surface;
    scene.append(surface, ObjectKind::Revolution);
    auto* emptyPatch = new CurveSurface;
    scene.append(emptyPatch, ObjectKind::Coons);

    const SceneBounds swept = SceneBounds::of(surface);
    ASSERT_FALSE(swept.empty());
    // The far side of the turn lies beyond the profile; the mesh's own offset puts it about the axis.
    EXPECT_GT(swept.high.x, 8.0);
    EXPECT_LT(swept.low.x, -8.0);
    EXPECT_NEAR(swept.low.x + swept.high.x, 0.0, 0.5);
    EXPECT_NEAR(swept.low.y + swept.high.y, 0.0, 0.5);
    EXPECT_GT(swept.high.y, 8.0);
    EXPECT_NEAR(swept.low.z, -6.5, 1e-6);
    EXPECT_NEAR(swept.high.z, 6.5, 1e-6);
    EXPECT_LE(swept.high.x, 8.5 + 1e-6);
    EXPECT_LE(swept.high.y, 8.5 + 1e-6);

    EXPECT_TRUE(SceneBounds::of(emptyPatch).empty());
    const SceneBounds all = SceneBounds::of(scene);
    expectBox(all, swept.low, swept.high);
}

// A surface too large to build in the frame is framed from a coarse mesh of the same surface, at
// once, without building its full mesh in place (the rebuilder does that).
TEST(SceneBounds, ALargeSurfaceStillToBeBuiltIsFramedFromACoarseMesh) {
    for (const int kind : {ObjectKind::Revolution, ObjectKind::Coons}) {
        SCOPED_TRACE(kind);
        std::vector<std::unique_ptr<NurbsCurve>> curves;
        std::unique_ptr<SceneObject> surface;
        if (kind == ObjectKind::Revolution) {
            curves.push_back(std::make_unique<NurbsCurve>());
            buildPredefinedCurve(*curves[0], ShapeKind::Sphere);
            surface.reset(makePredefinedSurface(curves[0].get()));
        } else {
            auto patch = std::make_unique<CurveSurface>();
            const std::vector<ControlPoint> sides[] = {{{-6, -4, 0}, {0, -5, 3}, {6, -4, 0}},
                                                       {{6, -4, 0}, {7, 0, -2}, {6, 4, 0}},
                                                       {{6, 4, 0}, {0, 5, 4}, {-6, 4, 0}},
                                                       {{-6, 4, 0}, {-7, 0, 1}, {-6, -4, 0}}};
            for (const auto& points : sides) {
                curves.push_back(std::make_unique<NurbsCurve>());
                curves.back()->setControlPoints(points);
                patch->addCoonsCurve(curves.back().get());
            }
            surface = std::move(patch);
        }
        surface->setSurfaceIncrement(true, 700);
        surface->setSurfaceIncrement(false, 600);
        const SceneBounds coarse = SceneBounds::of(surface.get());

        auto* revolution = dynamic_cast<RevolutionSurface*>(surface.get());
        auto* patch = dynamic_cast<CurveSurface*>(surface.get());
        SurfaceMesh& mesh = revolution ? revolution->surfaceMesh : patch->surfaceMesh;
        EXPECT_TRUE(mesh.empty()) << "the full mesh was built in place";
        if (revolution) {
            revolution->tessellate();
            revolution->dirty = false;
        } else {
            patch->tessellate();
            patch->dirty = false;
        }
        SceneBounds full;
        full.add(surface.get());
        const double reach = 2e-3 * full.radius();
        expectBox(coarse, full.low, full.high, reach);
    }
}
