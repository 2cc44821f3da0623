// Writes the example scenes of data/examples: predefined surfaces, a Coons patch, an extrusion, free curves.
#include "geometry/nurbs_curve.h"
#include "scene/scene_file.h"
#include "scene/scene_list.h"
#include "surfaces/curve_surface.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

NurbsCurve* addCurve(SceneList& scene, int order, int mode, const std::vector<ControlPoint>& points) {
    auto* curve = new NurbsCurve();
    curve->setOrder(order);
    curve->setCurveMode(mode);
    for (const ControlPoint& p : points)
        curve->appendPoint(p);
    scene.append(curve, ObjectKind::Curve);
    return curve;
}

// As the canvas's sphere and cylinder buttons make them: the profile first, then its surface.
void addPredefinedSurface(SceneList& scene, int shape) {
    auto* profile = new NurbsCurve();
    buildPredefinedCurve(*profile, shape);
    scene.append(profile, ObjectKind::Curve);
    RevolutionSurface* surface = makePredefinedSurface(profile);
    scene.append(surface, ObjectKind::Revolution);
    profile->surfaceLink = surface;
    profile->linkKind = NurbsCurve::RevolutionLink;
}

void sphere(SceneList& scene) {
    addPredefinedSurface(scene, ShapeKind::Sphere);
}

void cylinder(SceneList& scene) {
    addPredefinedSurface(scene, ShapeKind::Cylinder);
    auto* surface = static_cast<RevolutionSurface*>(scene.last->object);
    surface->setShading(true);
    surface->setColor(70, 130, 220);
    surface->setVParamInc(60);
}

// Four picked curves, each linked as it is accepted; the fourth closes and aligns the loop.
void coonsPatch(SceneList& scene) {
    auto* patch = new CurveSurface();
    scene.append(patch, ObjectKind::Coons);
    const std::vector<std::vector<ControlPoint>> sides = {
        {{-8, 0, -8}, {-3, 3, -9}, {3, -2, -9}, {8, 0, -8}},
        {{8, 0, -8}, {9, 4, -3}, {9, -1, 3}, {8, 0, 8}},
        {{8, 0, 8}, {3, 5, 9}, {-3, 2, 9}, {-8, 0, 8}},
        {{-8, 0, 8}, {-9, -3, 3}, {-9, 1, -3}, {-8, 0, -8}},
    };
    for (const auto& points : sides) {
        NurbsCurve* curve = addCurve(scene, 4, NurbsCurve::Interpolated, points);
        curve->surfaceLink = patch;
        curve->linkKind = NurbsCurve::CoonsLink;
        patch->addCoonsCurve(curve);
    }
    patch->setShading(true);
    patch->setGradient(true);
    patch->setUParamInc(20);
    patch->setVParamInc(20);
}

// A profile swept along a path: the two picked curves plus their reversed copies, as the canvas
// completes an extrusion.
void extrusion(SceneList& scene) {
    auto* surface = new CurveSurface();
    scene.append(surface, ObjectKind::Extrusion);
    NurbsCurve* profile =
        addCurve(scene, 3, NurbsCurve::Interpolated, {{-8, -4, 0}, {-8, -1, 3}, {-8, 1, -3}, {-8, 4, 0}});
    NurbsCurve* path =
        addCurve(scene, 3, NurbsCurve::Interpolated, {{-8, 0, 0}, {-2, 0, 5}, {4, 0, -5}, {9, 0, 0}});
    for (NurbsCurve* curve : {profile, path}) {
        curve->surfaceLink = surface;
        curve->linkKind = NurbsCurve::ExtrusionLink;
        surface->addExtrudeCurve(curve);
    }
    for (int i = 0; i < 2; ++i) {
        auto* copy = new NurbsCurve();
        copy->copyFrom(*surface->curve(i));
        copy->reverseOrder();
        copy->surfaceLink = surface;
        copy->linkKind = NurbsCurve::ExtrusionLink;
        scene.append(copy, ObjectKind::Curve);
    }
    surface->addCoonsCurve(static_cast<NurbsCurve*>(scene.last->previous->object));
    surface->addCoonsCurve(static_cast<NurbsCurve*>(scene.last->object));
    surface->setShading(true);
    surface->setColor(220, 160, 40);
}

// One free curve of each form over the same kind of zigzag, one with a heavier point.
void curves(SceneList& scene) {
    const int forms[3] = {NurbsCurve::Open, NurbsCurve::Interpolated, NurbsCurve::Closed};
    for (int f = 0; f < 3; ++f) {
        const double z = -8.0 + 8.0 * f;
        NurbsCurve* curve = addCurve(scene, 3 + f % 2, forms[f],
                                     {{-9, 0, z}, {-5, 4, z + 3}, {0, -2, z - 2}, {5, 4, z + 3}, {9, 0, z}});
        curve->setColor(255 * (f == 0), 200 * (f == 1), 255 * (f == 2));
        curve->showEdge = true;
    }
    auto* weighted = static_cast<NurbsCurve*>(scene.last->object);
    weighted->setWeight(2, 3.0);
}

struct Example {
    const char* file;
    void (*build)(SceneList&);
};

const Example examples[] = {
    {"sphere.nbs", sphere},       {"cylinder.nbs", cylinder}, {"coons.nbs", coonsPatch},
    {"extrusion.nbs", extrusion}, {"curves.nbs", curves},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    for (const Example& example : examples) {
        SceneList scene;
        example.build(scene);
        const std::string path = std::string(argv[1]) + "/" + example.file;
        SceneFile file;
        if (!file.save(path.c_str(), scene)) {
            std::fprintf(stderr, "%s\n", file.error.c_str());
            return 1;
        }
        // Whatever is written must load again.
        SceneList check;
        if (!file.load(path.c_str(), check)) {
            std::fprintf(stderr, "%s\n", file.error.c_str());
            return 1;
        }
        std::printf("%s: %d objects\n", path.c_str(), check.size());
    }
    return 0;
}
