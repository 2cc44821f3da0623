// Builders of the export test scenes.
#include "export_test_scenes.h"

#include "geometry/nurbs_curve.h"
#include "scene/scene_file.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <stdexcept>

namespace {

NurbsCurve* addCurve(SceneList& scene, int order, int mode, const std::vector<ControlPoint>& points) {
    auto* curve = new NurbsCurve();
    curve->setOrder(order);
    curve->setCurveMode(mode);
    curve->setControlPoints(points);
    curve->computeCentre();
    scene.append(curve, ObjectKind::Curve);
    return curve;
}

// A wavy profile off the axes, not planar: the sweep drops its third coordinate.
std::vector<ControlPoint> wavyProfile() {
    return {{2, -4, 1}, {5, -2, -1}, {3, 0, 2}, {6, 2, 0.5}, {4, 4, -1}, {1.5, 5, 0}};
}

RevolutionSurface* addRevolution(SceneList& scene, NurbsCurve* profile, int aor, int refa, float degrees) {
    auto* surface = new RevolutionSurface(profile, aor, refa, degrees);
    surface->shading = true;
    scene.append(surface, ObjectKind::Revolution);
    profile->surfaceLink = surface;
    profile->linkKind = NurbsCurve::RevolutionLink;
    return surface;
}

// Four curves picked in order; the fourth closes and aligns the loop. Sides that are to be Open or
// Closed are switched after linking, as the Curves tab allows.
CurveSurface* addPatch(SceneList& scene, std::vector<NurbsCurve*> sides, std::vector<int> forms = {}) {
    auto* patch = new CurveSurface();
    scene.append(patch, ObjectKind::Coons);
    for (NurbsCurve* side : sides) {
        side->surfaceLink = patch;
        side->linkKind = NurbsCurve::CoonsLink;
        patch->addCoonsCurve(side);
    }
    for (std::size_t i = 0; i < forms.size(); ++i)
        sides[i]->setCurveMode(forms[i]);
    patch->setShading(true);
    patch->setUParamInc(12);
    patch->setVParamInc(9);
    return patch;
}

CurveSurface* addExtrusion(SceneList& scene, NurbsCurve* profile, NurbsCurve* path) {
    auto* surface = new CurveSurface();
    scene.append(surface, ObjectKind::Extrusion);
    for (NurbsCurve* curve : {profile, path}) {
        curve->surfaceLink = surface;
        curve->linkKind = NurbsCurve::ExtrusionLink;
        surface->addExtrudeCurve(curve);
    }
    NurbsCurve* copies[2];
    for (int i = 0; i < 2; ++i) {
        copies[i] = new NurbsCurve();
        copies[i]->copyFrom(*surface->curve(i));
        copies[i]->reverseOrder();
        copies[i]->surfaceLink = surface;
        copies[i]->linkKind = NurbsCurve::ExtrusionLink;
        scene.append(copies[i], ObjectKind::Curve);
    }
    surface->addCoonsCurve(copies[0]);
    surface->addCoonsCurve(copies[1]);
    surface->setShading(true);
    return surface;
}

std::vector<ControlPoint> weighted(std::vector<ControlPoint> points, std::vector<double> weights) {
    for (std::size_t i = 0; i < points.size() && i < weights.size(); ++i)
        points[i].w = weights[i];
    return points;
}

ExportCase curveTable() {
    ExportCase c{"curves", {}, 0};
    const std::vector<ControlPoint> zigzag = {{-9, 0, 1}, {-5, 4, 3}, {-1, -2, -2},
                                              {2, 5, 3},  {6, -1, 0}, {9, 2, 4}};
    for (int mode : {NurbsCurve::Open, NurbsCurve::Interpolated, NurbsCurve::Closed}) {
        for (int order = 2; order <= 6; ++order) {
            NurbsCurve* curve = addCurve(c.scene, order, mode, zigzag);
            curve->setParamInc(37);
        }
        addCurve(c.scene, 3, mode, weighted(zigzag, {1, 3, 0.5, 2, 1, 0.25}));
        addCurve(c.scene, 5, mode, weighted(zigzag, {2, 2, 2, 2, 2, 2})); // equal weights: not rational
    }
    return c;
}

ExportCase revolutionTable() {
    ExportCase c{"revolutions", {}, 0};
    // Every axis with every other reference axis, every axis placement.
    for (int aor = 0; aor < 3; ++aor) {
        for (int refa = 0; refa < 3; ++refa) {
            if (refa == aor)
                continue;
            for (int placement = 0; placement < 5; ++placement) {
                NurbsCurve* profile = addCurve(c.scene, 4, NurbsCurve::Interpolated, wavyProfile());
                RevolutionSurface* s = addRevolution(c.scene, profile, aor, refa, 360.0f);
                s->revPoint = std::min(placement, int(RevolutionSurface::Axis));
                s->axisRotPoint = placement == 4 ? 0 : 1;
                s->axisDistance = placement == 4 ? 3 : -2;
                s->vParamInc = 24;
                s->uParamInc = 7;
            }
        }
    }
    // Partial sweeps, a sliver and more than a turn.
    for (float degrees : {100.0f, 270.0f, 45.0f, 359.9f, 0.5f, 400.0f}) {
        NurbsCurve* profile = addCurve(c.scene, 3, NurbsCurve::Interpolated, wavyProfile());
        addRevolution(c.scene, profile, 1, 0, degrees);
    }
    // Each profile form, plain and rational; a profile crossing the axis.
    for (int mode : {NurbsCurve::Open, NurbsCurve::Interpolated, NurbsCurve::Closed}) {
        NurbsCurve* plain = addCurve(c.scene, 3, mode, wavyProfile());
        addRevolution(c.scene, plain, 2, 0, 270.0f)->revPoint = RevolutionSurface::ClosestToAxis;
        NurbsCurve* rational = addCurve(c.scene, 4, mode, weighted(wavyProfile(), {1, 2.5, 0.4, 1, 3, 1}));
        addRevolution(c.scene, rational, 0, 2, 360.0f);
    }
    NurbsCurve* crossing = addCurve(c.scene, 3, NurbsCurve::Interpolated, {{-3, 0, 0}, {2, 1, 0}, {4, 3, 0}});
    RevolutionSurface* s = addRevolution(c.scene, crossing, 1, 0, 300.0f);
    s->revPoint = RevolutionSurface::Axis;
    s->axisDistance = 1;
    // Coordinates no float holds: the mesh carries its axis shift in single precision.
    NurbsCurve* fine =
        addCurve(c.scene, 3, NurbsCurve::Interpolated, {{4.1, 0.3, 1.7}, {5.3, 1.1, 2.9}, {4.7, 2.3, 0.1}});
    addRevolution(c.scene, fine, 1, 0, 200.0f);
    // A quarter circle of weights 1, cos 45, 1 turned into a sphere.
    const double h = std::sqrt(0.5);
    NurbsCurve* arc =
        addCurve(c.scene, 3, NurbsCurve::Interpolated, {{0, 0, -5, 1}, {-5, 0, -5, h}, {-5, 0, 0, 1}});
    addRevolution(c.scene, arc, 2, 0, 360.0f);
    return c;
}

ExportCase patchTable() {
    ExportCase c{"patches", {}, 0};
    auto side = [&c](int order, std::vector<ControlPoint> points) {
        return addCurve(c.scene, order, NurbsCurve::Interpolated, std::move(points));
    };
    // Sides of different orders and point counts, none rational.
    addPatch(c.scene, {side(2, {{0, 0, 0}, {4, 1, 0}}), side(3, {{4, 1, 0}, {5, 2, 2}, {4, 0, 5}}),
                       side(4, {{4, 0, 5}, {3, 2, 6}, {1, -1, 6}, {-1, 1, 5}, {0, 0, 4}}),
                       side(5, {{0, 0, 4}, {-1, 1, 3}, {1, 2, 2}, {0, -1, 1.5}, {-1, 0, 1}, {0, 0, 0}})});
    // Rational sides: equal weights on opposite sides (extrusion-like), then different ones.
    const std::vector<double> w1 = {1, 2, 0.5, 1};
    addPatch(c.scene, {side(3, weighted({{0, 0, 10}, {2, 1, 10}, {4, -1, 10}, {6, 0, 10}}, w1)),
                       side(3, {{6, 0, 10}, {7, 1, 12}, {6, 0, 14}}),
                       side(3, weighted({{6, 0, 14}, {4, -1, 14}, {2, 1, 14}, {0, 0, 14}}, {1, 0.5, 2, 1})),
                       side(3, {{0, 0, 14}, {-1, 1, 12}, {0, 0, 10}})});
    addPatch(c.scene, {side(3, weighted({{0, 0, 20}, {2, 2, 20}, {4, 0, 20}}, {1, 3, 1})),
                       side(4, weighted({{4, 0, 20}, {5, 1, 21}, {5, -1, 23}, {4, 0, 24}}, {1, 0.3, 2, 1})),
                       side(3, weighted({{4, 0, 24}, {2, -2, 24}, {0, 0, 24}}, {1, 0.7, 1})),
                       side(2, weighted({{0, 0, 24}, {0, 0, 20}}, {2, 1}))});
    // Open and Closed sides: evaluated over [0, 1] all the same, held at their ends.
    const std::vector<int> forms = {NurbsCurve::Open, NurbsCurve::Closed, NurbsCurve::Interpolated,
                                    NurbsCurve::Open};
    addPatch(c.scene,
             {side(3, {{0, 0, 30}, {1, 1, 30}, {2, -1, 30}, {3, 1, 30}, {4, 0, 30}}),
              side(3, {{4, 0, 30}, {5, 1, 32}, {4, 2, 34}, {5, 0, 35}}),
              side(4, weighted({{4, 0, 35}, {3, 1, 35}, {1, -1, 35}, {0, 0, 35}}, {1, 2, 2, 1})),
              side(4, {{0, 0, 35}, {-1, 1, 33}, {0, -1, 32}, {-1, 0, 31}, {0, 0, 30}})},
             forms);
    // High-order sides with unrelated weights: the common denominator passes degree 25, so a fit.
    std::vector<ControlPoint> top, bottom;
    for (int i = 0; i < 14; ++i) {
        top.push_back(ControlPoint(i, std::sin(i), 40, 1.0 + (i % 3)));
        bottom.push_back(ControlPoint(13 - i, std::cos(i), 46, 1.0 + ((i + 1) % 4) * 0.5));
    }
    addPatch(c.scene, {side(14, top), side(2, {{13, 0, 40}, {13, 0, 46}}), side(14, bottom),
                       side(2, {{0, 0, 46}, {0, 0, 40}})});
    c.fittedSurfaces = 1;
    return c;
}

ExportCase extrusionTable() {
    ExportCase c{"extrusions", {}, 0};
    NurbsCurve* profile =
        addCurve(c.scene, 3, NurbsCurve::Interpolated, {{-8, -4, 0}, {-8, -1, 3}, {-8, 1, -3}, {-8, 4, 0}});
    NurbsCurve* path = addCurve(c.scene, 4, NurbsCurve::Interpolated,
                                {{-8, 0, 0}, {-2, 0, 5}, {4, 0, -5}, {9, 0, 0}, {12, 2, 1}});
    addExtrusion(c.scene, profile, path);
    // A half circle of rational quadratics pushed along a straight line, and a rational path.
    const double h = std::sqrt(0.5);
    NurbsCurve* half =
        addCurve(c.scene, 3, NurbsCurve::Interpolated,
                 {{3, 0, 10, 1}, {3, 3, 10, h}, {0, 3, 10, 1}, {-3, 3, 10, h}, {-3, 0, 10, 1}});
    NurbsCurve* line = addCurve(c.scene, 2, NurbsCurve::Interpolated, {{3, 0, 10}, {3, 0, 18}});
    addExtrusion(c.scene, half, line);
    NurbsCurve* bent = addCurve(c.scene, 3, NurbsCurve::Interpolated,
                                weighted({{0, 0, 20}, {4, 2, 22}, {8, 0, 20}}, {1, 4, 1}));
    NurbsCurve* along = addCurve(c.scene, 3, NurbsCurve::Interpolated,
                                 weighted({{0, 0, 20}, {1, 5, 21}, {0, 9, 20}, {2, 12, 21}}, {1, 0.5, 2, 1}));
    addExtrusion(c.scene, bent, along);
    return c;
}

} // namespace

std::vector<ExportCase> exampleScenes() {
    std::vector<ExportCase> cases;
    const std::filesystem::path folder = std::filesystem::path(KNOTWORK_SOURCE_DIR) / "data" / "examples";
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".nbs")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        ExportCase c{file.filename().string(), {}, 0};
        SceneFile reader;
        if (!reader.load(file.string().c_str(), c.scene))
            throw std::runtime_error(reader.error);
        cases.push_back(std::move(c));
    }
    return cases;
}

std::vector<ExportCase> tableScenes() {
    std::vector<ExportCase> cases;
    cases.push_back(curveTable());
    cases.push_back(revolutionTable());
    cases.push_back(patchTable());
    cases.push_back(extrusionTable());
    return cases;
}
