// Tessellating on several threads, or on a rebuilder's thread in reported pieces, gives the very mesh
// one thread gives.
#include "surface_test_support.h"
#include "surfaces/curve_surface.h"
#include "surfaces/mesh_rebuilder.h"
#include "surfaces/parallel_slices.h"
#include "surfaces/revolution_surface.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

// What a rebuild leaves behind: the mesh, and for a patch its sample grid with the cached normals.
struct Output {
    SurfaceMesh mesh;
    std::vector<ControlPoint> grid;
};

template <typename T> bool sameBytes(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

bool samePrimitives(const SurfaceMesh& a, const SurfaceMesh& b) {
    if (a.primitives.size() != b.primitives.size())
        return false;
    for (std::size_t i = 0; i < a.primitives.size(); ++i) {
        const SurfaceMesh::Primitive &p = a.primitives[i], &q = b.primitives[i];
        if (p.mode != q.mode || p.first != q.first || p.count != q.count || p.colour != q.colour)
            return false;
    }
    return true;
}

struct Look {
    bool shading, gradient;
};

// In place, or as a rebuilder's job made before the surface and its curves change again.
enum class Route { InPlace, Rebuilder };

// The job is taken from the surface as it stands; the change made after that must not reach it.
template <typename Surface>
Output build(Surface& surface, Route route, const std::function<void()>& changeAfterward) {
    if (route == Route::InPlace) {
        surface.tessellate();
        Output out{surface.surfaceMesh, {}};
        if constexpr (requires { surface.mesh; })
            for (const auto& row : surface.mesh)
                out.grid.insert(out.grid.end(), row.begin(), row.end());
        return out;
    }
    MeshRebuilder::Job job = surface.rebuildJob();
    changeAfterward();
    MeshRebuilder rebuilder(nullptr);
    auto slot = std::make_shared<MeshRebuilder::Slot>();
    rebuilder.submit(slot, slot->nextTicket(), MeshRebuilder::Stages{2}, std::move(job));
    EXPECT_TRUE(rebuilder.waitIdle(std::chrono::minutes(1)));
    std::unique_ptr<MeshRebuilder::Result> result = slot->take();
    if (!result)
        return {};
    Output out{result->mesh, {}};
    for (const auto& row : result->grid)
        out.grid.insert(out.grid.end(), row.begin(), row.end());
    return out;
}

Output sweep(std::unique_ptr<NurbsCurve> profile, float degrees, int uInc, int vInc, Look look, Route route) {
    RevolutionSurface surface(profile.get(), 1, 0, degrees);
    surface.setColor(200, 90, 40);
    surface.setShading(look.shading);
    surface.setGradient(look.gradient);
    surface.setUParamInc(uInc);
    surface.setVParamInc(vInc);
    NurbsCurve* curve = profile.get();
    return build(surface, route, [&] {
        curve->movePoint(1, 0.5, 0.25, 0.0);
        surface.setUParamInc(uInc + 1);
    });
}

// Four curved sides around a loop; with `extrusion`, a profile and a path closed by their reversed
// copies, as the canvas builds an extrusion.
Output patch(bool extrusion, int uInc, int vInc, Look look, Route route) {
    std::vector<std::unique_ptr<NurbsCurve>> owned;
    CurveSurface surface;
    if (extrusion) {
        owned.push_back(makeCurve({{0, 0, 0}, {0.5, 1, 0.3}, {0, 2, 0}, {0.2, 3, 1}}, 3));
        owned.push_back(makeCurve({{4, -1, 2}, {5, 0, 3}, {7, -2, 2}}, 3));
        surface.addExtrudeCurve(owned[0].get());
        surface.addExtrudeCurve(owned[1].get());
        for (int i = 0; i < 2; ++i) {
            owned.push_back(std::make_unique<NurbsCurve>());
            owned.back()->copyFrom(*owned[i]);
            owned.back()->reverseOrder();
            surface.addCoonsCurve(owned.back().get());
        }
    } else {
        owned.push_back(makeCurve({{0, 0, 0}, {1, -0.5, 1}, {2, 0, 0}, {3, 0.5, -1}}, 4));
        owned.push_back(makeCurve({{5, 5, 5}, {5.5, 1, -1}, {5, 2, 5}}, 3));
        owned.push_back(makeCurve({{-1, 3, 0}, {-2, 3.5, 1}, {-3, 3, 0}}, 3));
        owned.push_back(makeCurve({{9, 9, 9}, {9.5, 8, 9}, {9, 7, 9}}, 2));
        for (auto& c : owned)
            surface.addCoonsCurve(c.get());
    }
    surface.setColor(30, 160, 220);
    surface.setShading(look.shading);
    surface.setGradient(look.gradient);
    surface.setUParamInc(uInc);
    surface.setVParamInc(vInc);
    return build(surface, route, [&] {
        for (auto& c : owned)
            c->movePoint(0, 0.25, -0.5, 0.125);
        surface.setVParamInc(vInc + 2);
    });
}

std::vector<ControlPoint> profilePoints() {
    return {{1, -3, 0}, {3, -2, 0}, {4, 0, 0.5}, {2.5, 2, 0}, {0.5, 3, 0}, {2, 4, -1}};
}

struct ThreadCountReset {
    ~ThreadCountReset() { ParallelSlices::setThreadCount(0); }
};

} // namespace

TEST(ParallelTessellation, EveryThreadCountAndTheRebuilderGiveTheOneThreadMeshBitForBit) {
    const Look shaded{true, false}, wire{false, false}, shadedGradient{true, true}, wireGradient{false, true};
    const struct {
        std::string name;
        std::function<Output(Route)> build;
    } cases[] = {
        {"open profile, full turn",
         [&](Route r) {
             return sweep(makeCurve(profilePoints(), 3, NurbsCurve::Open), 360, 17, 23, shaded, r);
         }},
        {"open profile, wireframe, 100 degrees",
         [&](Route r) {
             return sweep(makeCurve(profilePoints(), 4, NurbsCurve::Open), 100, 9, 40, wire, r);
         }},
        {"interpolated profile, gradient",
         [&](Route r) { return sweep(makeCurve(profilePoints(), 4), 360, 31, 12, shadedGradient, r); }},
        {"interpolated profile, wire gradient, 250 degrees",
         [&](Route r) { return sweep(makeCurve(profilePoints(), 3), 250, 5, 64, wireGradient, r); }},
        {"closed profile, 300 degrees",
         [&](Route r) {
             return sweep(makeCurve(profilePoints(), 3, NurbsCurve::Closed), 300, 20, 29, shaded, r);
         }},
        {"closed profile, wireframe",
         [&](Route r) {
             return sweep(makeCurve(profilePoints(), 3, NurbsCurve::Closed), 360, 2, 3, wire, r);
         }},
        {"fewer columns than threads",
         [&](Route r) { return sweep(makeCurve(profilePoints(), 3), 30, 6, 45, shaded, r); }},
        {"Coons patch, shaded gradient", [&](Route r) { return patch(false, 19, 11, shadedGradient, r); }},
        {"Coons patch, wireframe", [&](Route r) { return patch(false, 8, 30, wire, r); }},
        {"Coons patch, one row", [&](Route r) { return patch(false, 1, 9, shaded, r); }},
        {"extrusion, shaded", [&](Route r) { return patch(true, 25, 14, shaded, r); }},
        {"extrusion, wire gradient", [&](Route r) { return patch(true, 6, 6, wireGradient, r); }},
    };
    const ThreadCountReset reset;
    for (const auto& c : cases) {
        ParallelSlices::setThreadCount(1);
        const Output one = c.build(Route::InPlace);
        ASSERT_FALSE(one.mesh.empty()) << c.name;
        for (int threads : {2, 3, 4, 7, -1, -3}) {
            // Negative: that many threads on the rebuilder.
            ParallelSlices::setThreadCount(std::abs(threads));
            const Output many = c.build(threads > 0 ? Route::InPlace : Route::Rebuilder);
            const std::string where = c.name + (threads > 0 ? " on " : " on the rebuilder with ") +
                                      std::to_string(std::abs(threads)) + " threads";
            EXPECT_TRUE(samePrimitives(one.mesh, many.mesh)) << where;
            EXPECT_TRUE(sameBytes(one.mesh.positions, many.mesh.positions)) << where;
            EXPECT_TRUE(sameBytes(one.mesh.normals, many.mesh.normals)) << where;
            EXPECT_TRUE(sameBytes(one.mesh.colours, many.mesh.colours)) << where;
            EXPECT_TRUE(sameBytes(one.grid, many.grid)) << where;
        }
    }
}
