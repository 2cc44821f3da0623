// Coons patch and extrusion: gathering curves, closing the loop, and the sampled patch.
#include "surface_test_support.h"
#include "surfaces/curve_surface.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Owns the curves of a patch; the surface only points at them.
struct Patch {
    std::vector<std::unique_ptr<NurbsCurve>> owned;
    CurveSurface surface;

    NurbsCurve* add(std::unique_ptr<NurbsCurve> curve) {
        owned.push_back(std::move(curve));
        return owned.back().get();
    }
    // Appends every curve as a Coons curve; the last result.
    int addAll(std::vector<std::unique_ptr<NurbsCurve>> curves) {
        int result = -1;
        for (auto& c : curves)
            result = surface.addCoonsCurve(add(std::move(c)));
        return result;
    }
};

// The four order-2 sides of the square [0, 4] x [0, 4] in z = 0, in order around it.
std::vector<std::unique_ptr<NurbsCurve>> squareSides() {
    const ControlPoint c[4] = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
    std::vector<std::unique_ptr<NurbsCurve>> sides;
    for (int i = 0; i < 4; ++i)
        sides.push_back(makeCurve({c[i], c[(i + 1) % 4]}, 2));
    return sides;
}

// A loop of curved sides drawn apart, so alignment has to move them.
std::vector<std::unique_ptr<NurbsCurve>> curvedSides() {
    std::vector<std::unique_ptr<NurbsCurve>> sides;
    sides.push_back(makeCurve({{0, 0, 0}, {1, -0.5, 1}, {2, 0, 0}}, 3));
    sides.push_back(makeCurve({{5, 5, 5}, {5.5, 1, -1}, {5, 2, 5}}, 3));
    sides.push_back(makeCurve({{-1, 3, 0}, {-2, 3.5, 1}, {-3, 3, 0}}, 3));
    sides.push_back(makeCurve({{9, 9, 9}, {9.5, 8, 9}, {9, 7, 9}}, 3));
    return sides;
}

bool sameCorner(const ControlPoint& p, const std::vector<ControlPoint>& corners) {
    for (const ControlPoint& c : corners)
        if (distance(p, c) < 1e-12)
            return true;
    return false;
}

void expectLoopClosed(const CurveSurface& s, double tolerance) {
    for (int i = 0; i < 4; ++i) {
        const NurbsCurve* from = s.curve(i);
        const NurbsCurve* to = s.curve((i + 1) % 4);
        EXPECT_LE(distance(from->controlPoints.back(), to->controlPoints.front()), tolerance)
            << "joint " << i;
    }
}

} // namespace

TEST(CoonsPatch, FlatSquareSamplesTheGridAndRunsAlongItsCurves) {
    // 10 x 10: 11 x 11 samples and 200 triangles; 1 x 1: the four corners, normals with h = 0.001.
    for (auto [n, shaded] : {std::pair{10, false}, {10, true}, {1, true}}) {
        SCOPED_TRACE(testing::Message() << n << (shaded ? " shaded" : " wireframe"));
        Patch p;
        ASSERT_EQ(p.addAll(squareSides()), 1);
        p.surface.setShading(shaded);
        p.surface.setUParamInc(n);
        p.surface.setVParamInc(n);
        p.surface.tessellate();
        const auto& grid = p.surface.mesh;
        ASSERT_EQ(grid.size(), n + 1u);
        for (const auto& row : grid)
            ASSERT_EQ(row.size(), n + 1u);
        const SurfaceMesh& mesh = p.surface.surfaceMesh;
        if (shaded) {
            EXPECT_EQ(mesh.countOf(SurfaceMesh::Triangles), n * n);
            EXPECT_EQ(mesh.vertexCount(), 2 * n * n * 3);
        } else {
            EXPECT_EQ(mesh.countOf(SurfaceMesh::LineStrip), 2 * n * n);
            for (const SurfaceMesh::Primitive& loop : mesh.primitives) { // closed: back to its start
                ASSERT_EQ(loop.count, 4);
                EXPECT_EQ(distance(meshVertex(mesh, loop.first), meshVertex(mesh, loop.first + 3)), 0.0);
            }
        }
        const std::vector<ControlPoint> corners = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
        for (const ControlPoint& c : {grid[0][0], grid[0][n], grid[n][0], grid[n][n]})
            EXPECT_TRUE(sameCorner(c, corners)) << c.x << ", " << c.y;
        for (int k = 0; k <= n; ++k) {
            // S(s, 0) is C1 and S(1, t) is C2.
            EXPECT_LT(distance(grid[k][0], p.surface.curve(1)->evaluate(static_cast<double>(k) / n)), 1e-12);
            EXPECT_LT(distance(grid[n][k], p.surface.curve(2)->evaluate(static_cast<double>(k) / n)), 1e-12);
        }
        for (int v = 0; v < mesh.vertexCount(); ++v) {
            EXPECT_EQ(meshVertex(mesh, v).z, 0.0);
            if (shaded) {
                EXPECT_NEAR(std::fabs(meshNormalAt(mesh, v).z), 1.0, 1e-12);
            }
        }
    }
}

TEST(CoonsPatch, GridNormalsAreTheMeshNormalsOfTheDefinition) {
    // The rebuild reuses curve values along grid lines; each cached normal must still be exactly
    // meshNormal's, also once the differences reach outside [0, 1] (increments of 32 and more).
    for (auto [u, v] : {std::pair{1, 1}, {3, 5}, {40, 36}}) {
        Patch p;
        p.addAll(curvedSides());
        p.surface.setUParamInc(u);
        p.surface.setVParamInc(v);
        p.surface.setShading(true);
        p.surface.tessellate();
        p.surface.curve(0)->reverseOrder(); // as during the rebuild
        p.surface.curve(3)->reverseOrder();
        for (int i = 0; i <= u; ++i)
            for (int j = 0; j <= v; ++j) {
                const ControlPoint cached = p.surface.mesh[i][j];
                const ControlPoint n = p.surface.meshNormal(i, j);
                ASSERT_TRUE(isFinite(n));
                EXPECT_NEAR(norm(n), 1.0, 1e-12);
                EXPECT_EQ(cached.nx, n.x) << u << "x" << v << " at " << i << ", " << j;
                EXPECT_EQ(cached.ny, n.y);
                EXPECT_EQ(cached.nz, n.z);
            }
    }
}

TEST(CoonsPatch, RebuildLeavesC0AndC3InTheirOrder) {
    for (bool shaded : {false, true}) {
        Patch p;
        p.addAll(curvedSides());
        p.surface.setShading(shaded);
        const std::vector<ControlPoint> c0 = p.surface.curve(0)->controlPoints;
        const std::vector<ControlPoint> c3 = p.surface.curve(3)->controlPoints;
        p.surface.tessellate();
        ASSERT_FALSE(p.surface.surfaceMesh.empty());
        for (auto [before, curve] : {std::pair{&c0, p.surface.curve(0)}, {&c3, p.surface.curve(3)}})
            for (std::size_t k = 0; k < before->size(); ++k)
                EXPECT_EQ(distance((*before)[k], curve->controlPoints[k]), 0.0);
    }
}

TEST(CoonsPatch, ExtrusionOfAProfileAlongAPathIsTheUnitSquare) {
    // The canvas's steps: profile and path, then their reversed copies as C2 and C3.
    Patch p;
    NurbsCurve* profile = p.add(makeCurve({{0, 0, 0}, {0, 1, 0}}, 2));
    NurbsCurve* path = p.add(makeCurve({{5, -3, 2}, {6, -3, 2}}, 2));
    EXPECT_EQ(p.surface.addExtrudeCurve(profile), 0);
    EXPECT_EQ(p.surface.addExtrudeCurve(path), 1);
    int result = -1;
    for (int i = 0; i < 2; ++i) {
        auto copy = std::make_unique<NurbsCurve>();
        copy->copyFrom(*p.surface.curve(i));
        copy->reverseOrder();
        result = p.surface.addCoonsCurve(p.add(std::move(copy)));
    }
    EXPECT_EQ(result, 1);
    EXPECT_LT(distance(path->controlPoints.front(), {0, 1, 0}), 1e-12);
    p.surface.tessellate();
    const std::vector<ControlPoint> corners = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
    const auto& grid = p.surface.mesh;
    for (const ControlPoint& c : {grid[0][0], grid[0][10], grid[10][0], grid[10][10]})
        EXPECT_TRUE(sameCorner(c, corners)) << c.x << ", " << c.y << ", " << c.z;
    for (const auto& row : grid)
        for (const ControlPoint& q : row) {
            EXPECT_NEAR(q.z, 0.0, 1e-12);
            EXPECT_TRUE(q.x > -1e-12 && q.x < 1 + 1e-12 && q.y > -1e-12 && q.y < 1 + 1e-12);
        }
}

TEST(CoonsPatch, AddingCurvesRefusesAnyFormButInterpolated) {
    struct Case {
        const char* name;
        bool extrude;
        std::vector<int> modes, results;
    };
    const int I = NurbsCurve::Interpolated, O = NurbsCurve::Open, C = NurbsCurve::Closed;
    const Case cases[] = {
        {"coons", false, {I, O, I, C, I, I, I}, {0, 2, 0, 2, 0, 1, 1}},
        {"extrude", true, {O, I, C, I, I}, {2, 0, 2, 1, 2}},
    };
    for (const Case& c : cases) {
        Patch p;
        p.surface.dirty = false;
        std::vector<int> results;
        for (int mode : c.modes) {
            NurbsCurve* curve = p.add(makeCurve({{0, 0, 0}, {1, 0, 0}}, 2, mode));
            results.push_back(c.extrude ? p.surface.addExtrudeCurve(curve) : p.surface.addCoonsCurve(curve));
        }
        EXPECT_EQ(results, c.results) << c.name;
        EXPECT_EQ(p.surface.curves.size(), c.extrude ? 2u : 4u) << c.name;
        for (const NurbsCurve* held : p.surface.curves)
            EXPECT_EQ(held->curveMode, I) << c.name;
        EXPECT_EQ(p.surface.dirty, !c.extrude) << c.name; // only the fourth Coons curve marks it
    }
}

TEST(AlignCurves, KeepsC0AndTheWeightsOfC1AndC2) {
    Patch p;
    auto sides = curvedSides();
    sides[1]->setWeight(1, 0.25);
    sides[2]->setWeight(0, 3.0);
    sides[2]->setWeight(2, 0.5);
    const std::vector<ControlPoint> c0 = sides[0]->controlPoints;
    p.addAll(std::move(sides));
    for (std::size_t k = 0; k < c0.size(); ++k)
        EXPECT_EQ(distance(c0[k], p.surface.curve(0)->controlPoints[k]), 0.0);
    EXPECT_EQ(p.surface.curve(1)->weight(1), 0.25);
    EXPECT_EQ(p.surface.curve(2)->weight(0), 3.0);
    EXPECT_EQ(p.surface.curve(2)->weight(2), 0.5);
    expectLoopClosed(p.surface, 1e-9);
}

// Lengths taken in single precision let acos see ratios just past 1 (a non-finite patch) near
// headings and elevations of 0 and 180 degrees, and left C3 up to 2e-4 off the loop elsewhere.
TEST(AlignCurves, AcosOfRoundedRatiosRegressionClosesTheLoop) {
    struct Case {
        ControlPoint gap, chord; // T, from the end of C2 to the start of C0, and C3's own chord
    };
    const Case cases[] = {
        {{0, 0, -5}, {0, 0, 2}},
        {{0, 0, 5}, {0, 0, -3}},
        {{0, 5, 0}, {0, -2, 0}},
        {{0, -5, 0}, {1, 0, 0}},
        {{1e-7, 0, 5}, {-1e-9, 0, -3}},
        {{-3, 1e-8, 4}, {2, -7, 1e-12}},
        {{0.1, 0, 3.7}, {-2.2, 0.1, -0.3}},
        {{-1, 2, -3}, {2.5, -0.5, 1}},
        {{-7.3, 0, -1e-9}, {0, 3.3, -1e-7}},
        {{1e-9, -1e-9, 6}, {-4, 1e-10, 1e-10}},
    };
    const ControlPoint a(1, 0.5, 0), b(0, 1, 0.25);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "gap " << c.gap.x << ", " << c.gap.y << ", " << c.gap.z
                                        << " chord " << c.chord.x << ", " << c.chord.y << ", " << c.chord.z);
        const ControlPoint c2 = ControlPoint(0, 0, 0) - a - b - c.gap; // so that T is the gap
        const ControlPoint mid = c.chord * 0.5 + ControlPoint(0.3, -0.2, 0.1);
        std::vector<std::unique_ptr<NurbsCurve>> sides;
        sides.push_back(makeCurve({{0, 0, 0}, a}, 2));
        sides.push_back(makeCurve({{7, 7, 7}, ControlPoint(7, 7, 7) + b}, 2));
        sides.push_back(makeCurve({{-2, 4, 1}, ControlPoint(-2, 4, 1) + c2}, 2));
        sides.push_back(
            makeCurve({{3, 3, 3}, ControlPoint(3, 3, 3) + mid, ControlPoint(3, 3, 3) + c.chord}, 3));
        const std::vector<ControlPoint> before = sides[3]->controlPoints;
        Patch p;
        ASSERT_EQ(p.addAll(std::move(sides)), 1);
        const std::vector<ControlPoint>& after = p.surface.curve(3)->controlPoints;
        for (const ControlPoint& q : after)
            ASSERT_TRUE(isFinite(q));
        expectLoopClosed(p.surface, 1e-9);
        // Shape kept up to a turn and one scale factor.
        const double k = norm(c.gap) / norm(c.chord);
        for (std::size_t i = 0; i < before.size(); ++i)
            for (std::size_t j = i + 1; j < before.size(); ++j)
                EXPECT_NEAR(distance(after[i], after[j]), k * distance(before[i], before[j]), 1e-9 * (1 + k));
    }
}

TEST(AlignCurves, ZeroChordOrZeroGapLeavesC3AsItWas) {
    struct Case {
        const char* name;
        std::vector<ControlPoint> c2, c3;
    };
    const Case cases[] = {
        {"C3 starts and ends at one point", {{4, 4, 0}, {0, 4, 0}}, {{0, 4, 0}, {1, 6, 0}, {0, 4, 0}}},
        {"C2 ends where C0 starts", {{4, 4, 0}, {0, 0, 0}}, {{3, 3, 3}, {5, 5, 5}}},
    };
    for (const Case& c : cases) {
        std::vector<std::unique_ptr<NurbsCurve>> sides;
        sides.push_back(makeCurve({{0, 0, 0}, {4, 0, 0}}, 2));
        sides.push_back(makeCurve({{4, 0, 0}, {4, 4, 0}}, 2));
        sides.push_back(makeCurve(c.c2, 2));
        sides.push_back(makeCurve(c.c3, static_cast<int>(c.c3.size())));
        Patch p;
        ASSERT_EQ(p.addAll(std::move(sides)), 1) << c.name;
        const std::vector<ControlPoint>& after = p.surface.curve(3)->controlPoints;
        ASSERT_EQ(after.size(), c.c3.size());
        for (std::size_t k = 0; k < after.size(); ++k)
            EXPECT_EQ(distance(after[k], c.c3[k]), 0.0) << c.name;
        p.surface.setShading(true);
        p.surface.tessellate();
        for (const auto& row : p.surface.mesh)
            for (const ControlPoint& q : row)
                ASSERT_TRUE(isFinite(q)) << c.name;
    }
}

TEST(CoonsPatch, ColourIsSetOnceOrPerShadedCell) {
    struct Case {
        bool shading, gradient;
        bool base;
        int colours; // per-cell colours of the 100 cells
    };
    for (const Case& c : {Case{false, false, true, 0}, Case{true, false, true, 0},
                          Case{true, true, false, 100}, Case{false, true, false, 0}}) {
        Patch p;
        p.addAll(squareSides());
        p.surface.setShading(c.shading);
        p.surface.setGradient(c.gradient);
        p.surface.tessellate();
        const SurfaceMesh& mesh = p.surface.surfaceMesh;
        EXPECT_EQ(mesh.hasBaseColour, c.base);
        ASSERT_EQ(static_cast<int>(mesh.colours.size()), 3 * c.colours);
        if (c.colours > 0) {
            EXPECT_FLOAT_EQ(mesh.colours[0], 0.2f); // the first cell has no offset in either channel
            EXPECT_FLOAT_EQ(mesh.colours[2], 0.2f);
            // The last cell: 0.2 + 2 * 9/10 = 2.0 folds to 0 in both red and blue.
            EXPECT_NEAR(mesh.colours[mesh.colours.size() - 3], 0.0f, 1e-6);
            EXPECT_NEAR(mesh.colours[mesh.colours.size() - 1], 0.0f, 1e-6);
        }
    }
}

TEST(CoonsPatch, DrawsNothingWithoutFourSampleableCurves) {
    struct Case {
        const char* name;
        std::function<void(Patch&)> spoil;
    };
    const Case cases[] = {
        {"three curves", [](Patch& p) { p.surface.curves.pop_back(); }},
        {"a curve with fewer points than its order", [](Patch& p) { p.surface.curve(2)->setOrder(3); }},
        {"a curve without points", [](Patch& p) { p.surface.curve(1)->setControlPoints({}); }},
    };
    for (const Case& c : cases) {
        Patch p;
        p.addAll(squareSides());
        c.spoil(p);
        p.surface.tessellate();
        EXPECT_TRUE(p.surface.surfaceMesh.empty()) << c.name;
    }
}

TEST(CoonsPatchSettings, DefaultsSettersRebuildAndRelease) {
    const CurveSurface fresh;
    EXPECT_EQ(std::vector<int>({static_cast<int>(fresh.curves.size()), fresh.dirty, fresh.shading,
                                fresh.uParamInc, fresh.vParamInc}),
              std::vector<int>({0, 1, 0, 10, 10}));

    struct Case {
        const char* name;
        std::function<void(CurveSurface&)> set;
        bool dirty;
    };
    const Case cases[] = {
        {"u", [](CurveSurface& s) { s.setUParamInc(3); }, true},
        {"v", [](CurveSurface& s) { s.setVParamInc(4); }, true},
        {"shading", [](CurveSurface& s) { s.setShading(true); }, true},
        {"rebuild", [](CurveSurface& s) { s.rebuild(); }, true},
        {"gradient", [](CurveSurface& s) { s.setGradient(true); }, false},
        {"release", [](CurveSurface& s) { s.releaseCurves(); }, false},
    };
    for (const Case& c : cases) {
        Patch p;
        p.addAll(curvedSides());
        p.surface.dirty = false;
        c.set(p.surface);
        EXPECT_EQ(p.surface.dirty, c.dirty) << c.name;
    }

    // Dragging the first point of C1 by d: the rebuild puts it back and moves the others by -d.
    Patch p;
    p.addAll(curvedSides());
    for (auto& curve : p.owned) {
        curve->surfaceLink = &p.surface;
        curve->linkKind = NurbsCurve::CoonsLink;
    }
    const std::vector<ControlPoint> before = p.surface.curve(1)->controlPoints;
    p.surface.curve(1)->movePoint(0, 1, 2, 3);
    p.surface.rebuild();
    const std::vector<ControlPoint>& after = p.surface.curve(1)->controlPoints;
    EXPECT_LT(distance(after[0], before[0]), 1e-12);
    for (std::size_t k = 1; k < after.size(); ++k)
        EXPECT_LT(distance(after[k], before[k].translated(-1, -2, -3)), 1e-12);
    p.surface.releaseCurves();
    ASSERT_EQ(p.surface.curves.size(), 4u);
    for (const NurbsCurve* curve : p.surface.curves) {
        EXPECT_EQ(curve->surfaceLink, nullptr);
        EXPECT_EQ(curve->linkKind, NurbsCurve::ReleasedLink);
    }
}
