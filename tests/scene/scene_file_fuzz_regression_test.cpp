// Faults the scene-file fuzzer found, each kept as a test named after it.
#include "geometry/nurbs_curve.h"
#include "scene/scene_file.h"
#include "scene/scene_list.h"
#include "surfaces/curve_surface.h"

#include "scene_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// A Coons patch picked from four curves of random points, as the canvas builds one: the fourth curve
// aligns the loop. Random coordinates make the moves of the alignment round in every direction.
void buildRandomPatch(std::mt19937& random, SceneList& scene) {
    std::uniform_real_distribution<double> coordinate(-20.0, 20.0);
    std::uniform_int_distribution<int> count(2, 6);
    auto* patch = new CurveSurface();
    scene.append(patch, ObjectKind::Coons);
    for (int side = 0; side < 4; ++side) {
        auto* curve = new NurbsCurve();
        const int points = count(random);
        curve->setOrder(points < 3 ? points : 3);
        for (int i = 0; i < points; ++i)
            curve->appendPoint(ControlPoint(coordinate(random), coordinate(random), coordinate(random)));
        scene.append(curve, ObjectKind::Curve);
        curve->surfaceLink = patch;
        curve->linkKind = NurbsCurve::CoonsLink;
        patch->addCoonsCurve(curve);
    }
}

// Offset of the first byte where two files differ; -1 when they are the same (a readable failure
// where a whole-file comparison would print kilobytes of binary).
long long firstDifference(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i)
        if (a[i] != b[i])
            return static_cast<long long>(i);
    return a.size() == b.size() ? -1 : static_cast<long long>(common);
}

bool sameBits(const std::vector<ControlPoint>& a, const std::vector<ControlPoint>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(ControlPoint)) == 0;
}

} // namespace

// Loading a patch aligns its curves again. Moving a curve by (start - end) does not land its start
// exactly on the end in floating point, and refitting the closing curve turns it by rounding errors,
// so every load moved the curves a little and save, load, save gave other bytes.
TEST(SceneFileFuzzRegression, PatchAlignmentDriftsOnEveryLoad) {
    for (unsigned seed = 1; seed <= 50; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        SceneList built;
        buildRandomPatch(random, built);

        // Aligning a loop that is already aligned changes no bit of any curve.
        auto* patch = static_cast<CurveSurface*>(built.first->object);
        std::vector<std::vector<ControlPoint>> before;
        for (const NurbsCurve* curve : patch->curves)
            before.push_back(curve->controlPoints);
        patch->rebuild();
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(sameBits(patch->curves[i]->controlPoints, before[i])) << "curve C" << i;

        SceneFile file;
        SceneList loaded, reloaded;
        const std::string first = sceneBytes(built);
        ASSERT_TRUE(file.read(first, loaded)) << file.error;
        const std::string second = sceneBytes(loaded);
        EXPECT_EQ(firstDifference(second, first), -1);
        ASSERT_TRUE(file.read(second, reloaded)) << file.error;
        EXPECT_EQ(firstDifference(sceneBytes(reloaded), second), -1);
    }
}

// Each coordinate finite, as the reader demands, yet the alignment on loading moved a curve by the
// difference of two huge coordinates or scaled a tiny closing chord onto a long gap: the loaded patch
// held infinite points, and saving it wrote a file that no longer loaded.
TEST(SceneFileFuzzRegression, PatchAlignmentOverflowSavesAnUnreadableFile) {
    const double big = 1.5e308;
    struct Case {
        const char* name;
        std::vector<ControlPoint> sides[4];
    };
    const Case cases[] = {
        {"C1 a whole range away from C0",
         {{{0, 0, 0}, {big, 0, 0}},
          {{-big, 1, 0}, {-big, 2, 0}},
          {{0, 4, 0}, {0, 5, 0}},
          {{1, 1, 1}, {2, 2, 2}}}},
        {"C3 chord of 1e-160 fitted to a gap of 1e154",
         {{{0, 0, 0}, {1e154, 0, 0}},
          {{1e154, 0, 0}, {1e154, 1e154, 0}},
          {{1e154, 1e154, 0}, {0, 1e154, 0}},
          {{0, 0, 0}, {5e-161, 3, 1}, {1e-160, 0, 0}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SceneList built;
        auto* patch = new CurveSurface();
        built.append(patch, ObjectKind::Coons);
        for (const std::vector<ControlPoint>& points : c.sides) {
            auto* curve = new NurbsCurve();
            curve->setOrder(static_cast<int>(points.size()));
            curve->setControlPoints(points);
            curve->surfaceLink = patch;
            curve->linkKind = NurbsCurve::CoonsLink;
            built.append(curve, ObjectKind::Curve);
            patch->curves.push_back(curve);
        }
        // Written as held, without the alignment that picking would do.
        SceneFile file;
        SceneList loaded, reloaded;
        const std::string first = sceneBytes(built);
        ASSERT_TRUE(file.read(first, loaded)) << file.error;
        const std::string second = sceneBytes(loaded);
        EXPECT_TRUE(file.read(second, reloaded)) << file.error;
        int infinite = 0;
        for (SceneNode* node = loaded.first; node; node = node->next) {
            if (auto* curve = dynamic_cast<NurbsCurve*>(node->object)) {
                for (const ControlPoint& p : curve->controlPoints)
                    infinite += !std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z);
            }
        }
        EXPECT_EQ(infinite, 0);
    }
}
