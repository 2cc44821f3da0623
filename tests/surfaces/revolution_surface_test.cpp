// Surface of revolution: the swept geometry read back from its mesh, the axis choice and the settings.
#include "surface_test_support.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

namespace {
constexpr double fullTurn = 6.2831853;

struct Swept {
    std::unique_ptr<NurbsCurve> profile;
    RevolutionSurface surface;
    Swept(std::unique_ptr<NurbsCurve> curve, int aor, int refa, float degrees)
        : profile(std::move(curve)), surface(profile.get(), aor, refa, degrees) {}
};

Swept predefined(int shape) {
    auto curve = std::make_unique<NurbsCurve>();
    buildPredefinedCurve(*curve, shape);
    std::unique_ptr<RevolutionSurface> made(makePredefinedSurface(curve.get()));
    return Swept(std::move(curve), made->aor, made->refa, made->degrees);
}

Swept line(ControlPoint a, ControlPoint b, int aor, int refa, float degrees = 360.0f) {
    return Swept(makeCurve({a, b}, 2), aor, refa, degrees);
}
} // namespace

TEST(RevolutionSweep, PredefinedShapesReachTheirRadiusAndHeight) {
    struct Case {
        int shape;
        double radius, halfHeight;
    };
    const Case cases[] = {
        {ShapeKind::Sphere, 7.875, 7.5}, {ShapeKind::Cylinder, 8.5, 6.5}, {ShapeKind::Cube, 8.5, 6.5}};
    for (const Case& c : cases) {
        for (bool shaded : {false, true}) {
            SCOPED_TRACE(testing::Message() << "shape " << c.shape << (shaded ? " shaded" : " wireframe"));
            Swept s = predefined(c.shape);
            s.surface.setShading(shaded);
            s.surface.tessellate();
            const SurfaceMesh& mesh = s.surface.surfaceMesh;
            ASSERT_FALSE(mesh.empty());
            double widest = 0.0, widestZ = 0.0, low = 1e9, high = -1e9;
            for (int v = 0; v < mesh.vertexCount(); ++v) {
                const ControlPoint p = worldVertex(mesh, v);
                const double r = std::hypot(p.x, p.y); // the axis is the z axis
                if (r > widest) {
                    widest = r;
                    widestZ = p.z;
                }
                low = std::min(low, p.z);
                high = std::max(high, p.z);
            }
            EXPECT_NEAR(widest, c.radius, 1e-9);
            EXPECT_NEAR(low, -c.halfHeight, 1e-9);
            EXPECT_NEAR(high, c.halfHeight, 1e-9);
            if (c.shape == ShapeKind::Sphere) {
                EXPECT_NEAR(widestZ, 0.0, 1e-9);
            }
        }
    }
}

TEST(RevolutionSweep, LastColumnIsClippedToTheSweepAngle) {
    // 45 steps per turn are 8 units of a 360th each; 100 of them end with a column from 96 to 100.
    for (bool shaded : {false, true}) {
        Swept s = line({0, 0, 0}, {4, 0, 1}, 2, 0, 100.0f);
        s.surface.setRevPoint(RevolutionSurface::LeftMost);
        s.surface.setShading(shaded);
        s.surface.tessellate();
        std::set<long> angles;
        for (int v = 0; v < s.surface.surfaceMesh.vertexCount(); ++v) {
            const ControlPoint p = meshVertex(s.surface.surfaceMesh, v);
            if (std::hypot(p.x, p.y) > 1e-9)
                angles.insert(std::lround(std::atan2(p.y, p.x) / fullTurn * 360.0 * 1e6));
        }
        std::set<long> expected;
        for (int a = 0; a <= 96; a += 8)
            expected.insert(a * 1000000L);
        expected.insert(100000000L);
        EXPECT_EQ(angles, expected) << (shaded ? "shaded" : "wireframe");
    }
}

TEST(RevolutionSweep, ChoosesTheAxisPointByRevPoint) {
    struct Case {
        const char* name;
        std::vector<double> xs;
        int revPoint, side, distance;
        double q;
        int chosen;
    };
    const Case cases[] = {
        {"left, first of equal minima", {2, -1, -1, 3}, RevolutionSurface::LeftMost, 1, 4, -1, 1},
        {"right, first of equal maxima", {2, 3, -1, 3}, RevolutionSurface::RightMost, 1, 4, 3, 1},
        {"closest to the axis, signed", {-2, 1, -1}, RevolutionSurface::ClosestToAxis, 1, 4, 1, 1},
        {"axis on the right side", {-3, 5, 0}, RevolutionSurface::Axis, 1, 4, 9, 1},
        {"axis on the left side, distance added", {-3, 5, 0}, RevolutionSurface::Axis, 0, 4, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ControlPoint> points;
        for (std::size_t i = 0; i < c.xs.size(); ++i)
            points.emplace_back(c.xs[i], static_cast<double>(i), 10.0 + static_cast<double>(i));
        RevolutionSurface surface;
        auto curve = makeCurve(points, 2);
        surface.setProfile(curve.get());
        surface.setRevPoint(c.revPoint);
        surface.setAxisRotPoint(c.side);
        surface.setAxisDistance(c.distance);
        surface.tessellate();
        ASSERT_TRUE(surface.surfaceMesh.translated);
        EXPECT_EQ(surface.surfaceMesh.offset[0], static_cast<float>(c.q));
        EXPECT_EQ(surface.surfaceMesh.offset[2], static_cast<float>(10 + c.chosen)); // third axis of y/x
        EXPECT_EQ(surface.surfaceMesh.offset[1], 0.0f);
    }
}

TEST(RevolutionSweep, AxisModeTurnsAboutTheShiftedAxis) {
    // A line from x = -3 to x = 5 with the axis 4 to the right of its left end: x = 1.
    Swept s = line({-3, 0, 0}, {5, 2, 0}, 1, 0);
    s.surface.setRevPoint(RevolutionSurface::Axis);
    s.surface.setAxisRotPoint(0);
    s.surface.tessellate();
    const SurfaceMesh& mesh = s.surface.surfaceMesh;
    ASSERT_FALSE(mesh.empty());
    for (int v = 0; v < mesh.vertexCount(); ++v) {
        const ControlPoint p = worldVertex(mesh, v);
        const double profileX = -3.0 + 4.0 * p.y; // the line at that height
        EXPECT_NEAR(std::hypot(p.x - 1.0, p.z), std::fabs(profileX - 1.0), 1e-9) << "vertex " << v;
    }
}

TEST(RevolutionSweep, AorEqualToRefaCollapsesEveryColumnOntoTheProfile) {
    Swept s = line({1, 2, 3}, {4, 6, 3}, 0, 0);
    s.surface.tessellate();
    const SurfaceMesh& mesh = s.surface.surfaceMesh;
    ASSERT_FALSE(mesh.empty());
    for (const SurfaceMesh::Primitive& p : mesh.primitives) {
        // Each strip runs A, B, D: A and B are one profile point at two angles.
        if (p.mode == SurfaceMesh::LineStrip) {
            EXPECT_EQ(distance(meshVertex(mesh, p.first), meshVertex(mesh, p.first + 1)), 0.0);
        }
    }
    for (int v = 0; v < mesh.vertexCount(); ++v) {
        const ControlPoint p = worldVertex(mesh, v);
        EXPECT_NEAR(p.z, 3.0, 1e-6);
        EXPECT_NEAR((p.y - 2.0) * 3.0, (p.x - 1.0) * 4.0, 1e-5); // on the line through both points
    }
}

TEST(RevolutionSweep, InterpolatedProfileEndsAtItsLastPointOpenStopsAnIntervalShort) {
    struct Case {
        int mode;
        double top;
    };
    // Open, order 2, four points: domain [1/5, 4/5], cells while u < 4/5 - 0.06, so up to u = 0.74.
    for (const Case& c : {Case{NurbsCurve::Interpolated, 3.0}, Case{NurbsCurve::Open, 2.7}}) {
        Swept s(makeCurve({{3, 0, 0}, {3, 0, 1}, {3, 0, 2}, {3, 0, 3}}, 2, c.mode), 2, 0, 360.0f);
        s.surface.setRevPoint(RevolutionSurface::Axis);
        s.surface.tessellate();
        double low = 1e9, high = -1e9;
        for (int v = 0; v < s.surface.surfaceMesh.vertexCount(); ++v) {
            low = std::min(low, worldVertex(s.surface.surfaceMesh, v).z);
            high = std::max(high, worldVertex(s.surface.surfaceMesh, v).z);
        }
        EXPECT_NEAR(low, 0.0, 1e-12) << "mode " << c.mode;
        EXPECT_NEAR(high, c.top, 1e-12) << "mode " << c.mode;
    }
}

TEST(RevolutionSweep, NormalsAreTrueSurfaceNormalsAtEveryAngle) {
    // On the cylinder the caps face along z and the wall faces away from the axis at every angle.
    Swept s = predefined(ShapeKind::Cylinder);
    s.surface.setShading(true);
    s.surface.setVParamInc(12);
    s.surface.tessellate();
    const SurfaceMesh& mesh = s.surface.surfaceMesh;
    ASSERT_TRUE(mesh.hasNormals);
    int caps = 0, wall = 0;
    for (int v = 0; v < mesh.vertexCount(); ++v) {
        const ControlPoint p = worldVertex(mesh, v), n = meshNormalAt(mesh, v);
        const double r = std::hypot(p.x, p.y);
        if (r < 1e-9)
            continue; // on the axis the angular tangent vanishes
        EXPECT_NEAR(norm(n), 1.0, 1e-12);
        if (std::fabs(r - 8.5) < 1e-9) {
            EXPECT_NEAR(std::fabs(n.x * p.x + n.y * p.y) / r, 1.0, 1e-6);
            ++wall;
        } else {
            EXPECT_NEAR(std::fabs(n.z), 1.0, 1e-6);
            ++caps;
        }
    }
    EXPECT_GT(caps, 0);
    EXPECT_GT(wall, 0);
}

TEST(RevolutionSweep, ColourIsSetOnceOrPerCellWithTheGradient) {
    Swept s = predefined(ShapeKind::Sphere);
    s.surface.setColor(51, 204, 51);
    s.surface.setShading(true);
    s.surface.tessellate();
    EXPECT_TRUE(s.surface.surfaceMesh.hasBaseColour);
    EXPECT_TRUE(s.surface.surfaceMesh.colours.empty());

    for (bool shaded : {true, false}) {
        s.surface.setShading(shaded);
        s.surface.setGradient(true);
        s.surface.tessellate();
        const SurfaceMesh& mesh = s.surface.surfaceMesh;
        EXPECT_FALSE(mesh.hasBaseColour);
        const int cells = mesh.countOf(shaded ? SurfaceMesh::Triangles : SurfaceMesh::LineStrip);
        ASSERT_EQ(static_cast<int>(mesh.colours.size()), 3 * cells);
        float highestRed = 0.0f, lowestRed = 1.0f;
        for (std::size_t c = 0; c < mesh.colours.size(); c += 3) {
            EXPECT_GE(mesh.colours[c], 0.0f);
            EXPECT_LE(mesh.colours[c], 1.0f);
            EXPECT_FLOAT_EQ(mesh.colours[c + 1], 0.8f);
            EXPECT_GE(mesh.colours[c + 2], 0.0f);
            EXPECT_LE(mesh.colours[c + 2], 1.0f);
            highestRed = std::max(highestRed, mesh.colours[c]);
            lowestRed = std::min(lowestRed, mesh.colours[c]);
        }
        // Red climbs from 51/255 with the angle, folds back down at 1 and up again at 2.
        EXPECT_FLOAT_EQ(mesh.colours[0], 51.0f / 255.0f);
        EXPECT_GT(highestRed, 0.99f);
        EXPECT_LT(lowestRed, 0.05f);
    }
}

TEST(RevolutionSweep, DrawsNothingWithoutAPointToSweep) {
    struct Case {
        const char* name;
        std::function<void(NurbsCurve&, RevolutionSurface&)> spoil;
    };
    const Case cases[] = {
        {"no control points", [](NurbsCurve& c, RevolutionSurface&) { c.setControlPoints({}); }},
        {"fewer points than the order", [](NurbsCurve& c, RevolutionSurface&) { c.setOrder(5); }},
        {"revPoint 7", [](NurbsCurve&, RevolutionSurface& s) { s.setRevPoint(7); }},
        {"revPoint -1", [](NurbsCurve&, RevolutionSurface& s) { s.setRevPoint(-1); }},
        {"unknown form", [](NurbsCurve& c, RevolutionSurface&) { c.setCurveMode(7); }},
        {"no profile", [](NurbsCurve&, RevolutionSurface& s) { s.setProfile(nullptr); }},
    };
    for (const Case& c : cases) {
        Swept s = predefined(ShapeKind::Sphere);
        c.spoil(*s.profile, s.surface);
        s.surface.tessellate();
        EXPECT_TRUE(s.surface.surfaceMesh.empty()) << c.name;
        EXPECT_EQ(s.surface.surfaceMesh.vertexCount(), 0) << c.name;
    }
}

TEST(RevolutionSurfaceSettings, RotatePointFollowsTheAxisPair) {
    const double a = 0.3, c = std::cos(a), s = std::sin(a);
    struct Case {
        int aor, refa;
        ControlPoint expected;
    };
    const Case cases[] = {
        {0, 1, {1, 2 * c, 2 * s}}, {0, 2, {1, 3 * s, 3 * c}}, {1, 0, {1 * c, 2, 1 * s}},
        {1, 2, {3 * s, 2, 3 * c}}, {2, 1, {2 * s, 2 * c, 3}}, {2, 0, {1 * c, 1 * s, 3}},
        {1, 1, {1, 2, 3}},
    };
    for (const Case& k : cases) {
        RevolutionSurface surface(nullptr, k.aor, k.refa, 360.0f);
        ControlPoint p(1, 2, 3, 0.5);
        surface.rotatePoint(p, a);
        EXPECT_NEAR(distance(p, k.expected), 0.0, 1e-15) << "aor " << k.aor << " refa " << k.refa;
    }
}

TEST(RevolutionSurfaceSettings, DefaultsAndTheFourValueConstructor) {
    NurbsCurve curve;
    const RevolutionSurface plain, made(&curve, 2, 0, 90.0f);
    auto values = [](const RevolutionSurface& s) {
        const RevolutionSurface::Properties p = s.properties();
        return std::vector<int>({p.shading, p.uParamInc, p.vParamInc, p.degrees, p.aor, p.refa, p.revPoint,
                                 p.axisDistance, p.axisRotPoint, s.dirty, s.gradient});
    };
    EXPECT_EQ(values(plain), std::vector<int>({0, 10, 45, 360, 1, 0, 1, 4, 1, 1, 0}));
    EXPECT_EQ(values(made), std::vector<int>({0, 10, 45, 90, 2, 0, 1, 4, 1, 1, 0}));
    EXPECT_EQ(plain.profile, nullptr);
    EXPECT_EQ(made.profile, &curve);
}

TEST(RevolutionSurfaceSettings, SettersMarkDirtyButGradientDoesNot) {
    struct Case {
        const char* name;
        std::function<void(RevolutionSurface&)> set;
        std::function<bool(const RevolutionSurface&)> stored;
    };
    NurbsCurve curve;
    const Case cases[] = {
        {"profile", [&](auto& s) { s.setProfile(&curve); }, [&](auto& s) { return s.profile == &curve; }},
        {"degrees", [](auto& s) { s.setDegrees(45.5f); }, [](auto& s) { return s.degrees == 45.5f; }},
        {"aor", [](auto& s) { s.setAor(2); }, [](auto& s) { return s.aor == 2; }},
        {"refa", [](auto& s) { s.setRefa(2); }, [](auto& s) { return s.refa == 2; }},
        {"u", [](auto& s) { s.setUParamInc(7); }, [](auto& s) { return s.uParamInc == 7; }},
        {"v", [](auto& s) { s.setVParamInc(9); }, [](auto& s) { return s.vParamInc == 9; }},
        {"revPoint", [](auto& s) { s.setRevPoint(2); }, [](auto& s) { return s.revPoint == 2; }},
        {"distance", [](auto& s) { s.setAxisDistance(11); }, [](auto& s) { return s.axisDistance == 11; }},
        {"side", [](auto& s) { s.setAxisRotPoint(0); }, [](auto& s) { return s.axisRotPoint == 0; }},
        {"shading", [](auto& s) { s.setShading(true); }, [](auto& s) { return s.shading; }},
        {"invalidate", [](auto& s) { s.invalidate(); }, [](auto&) { return true; }},
    };
    for (const Case& c : cases) {
        RevolutionSurface s;
        s.dirty = false;
        c.set(s);
        EXPECT_TRUE(s.dirty) << c.name;
        EXPECT_TRUE(c.stored(s)) << c.name;
    }
    RevolutionSurface s;
    s.dirty = false;
    s.setGradient(true);
    EXPECT_TRUE(s.gradient);
    EXPECT_FALSE(s.dirty);
}

TEST(RevolutionSurfaceSettings, PropertiesTruncateTheDegrees) {
    RevolutionSurface s(nullptr, 2, 1, 359.9f);
    s.setShading(true);
    s.setUParamInc(12);
    s.setVParamInc(34);
    s.setRevPoint(3);
    s.setAxisDistance(7);
    s.setAxisRotPoint(0);
    const RevolutionSurface::Properties p = s.properties();
    EXPECT_TRUE(p.shading);
    EXPECT_EQ(std::vector<int>({p.uParamInc, p.vParamInc, p.degrees, p.aor, p.refa, p.revPoint,
                                p.axisDistance, p.axisRotPoint}),
              std::vector<int>({12, 34, 359, 2, 1, 3, 7, 0}));
    for (auto [degrees, whole] : {std::pair{360.0f, 360}, {0.99f, 0}, {-10.7f, -10}}) {
        s.setDegrees(degrees);
        EXPECT_EQ(s.properties().degrees, whole) << degrees;
    }
}
