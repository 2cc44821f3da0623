// Bounds from what is drawn: control points and lines of curves, meshes of surfaces.
#include "scene/scene_bounds.h"

#include "geometry/nurbs_curve.h"
#include "scene/scene_list.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include <algorithm>
#include <cmath>

namespace {
void addMesh(SceneBounds& bounds, const SurfaceMesh& mesh) {
    const double dx = mesh.translated ? mesh.offset[0] : 0.0;
    const double dy = mesh.translated ? mesh.offset[1] : 0.0;
    const double dz = mesh.translated ? mesh.offset[2] : 0.0;
    for (std::size_t i = 0; i + 2 < mesh.positions.size(); i += 3)
        bounds.add(
            ControlPoint(mesh.positions[i] + dx, mesh.positions[i + 1] + dy, mesh.positions[i + 2] + dz));
}
} // namespace

void SceneBounds::add(const ControlPoint& p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        return;
    if (!any) {
        low = high = ControlPoint(p.x, p.y, p.z);
        any = true;
        return;
    }
    low = ControlPoint(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
    high = ControlPoint(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
}

void SceneBounds::add(SceneObject* object) {
    if (auto* curve = dynamic_cast<NurbsCurve*>(object)) {
        for (const ControlPoint& p : curve->controlPoints)
            add(p);
        const std::vector<double>& xyz = curve->sampleCoordinates();
        for (std::size_t i = 0; i + 2 < xyz.size(); i += 3)
            add(ControlPoint(xyz[i], xyz[i + 1], xyz[i + 2]));
    } else if (auto* revolution = dynamic_cast<RevolutionSurface*>(object)) {
        // The drawing sweeps again while dirty stays set, so this sweep changes nothing it shows.
        if (revolution->dirty && revolution->profile)
            revolution->tessellate();
        addMesh(*this, revolution->surfaceMesh);
    } else if (auto* patch = dynamic_cast<CurveSurface*>(object)) {
        if (patch->dirty && patch->curves.size() == 4)
            patch->tessellate();
        addMesh(*this, patch->surfaceMesh);
    }
}

SceneBounds SceneBounds::of(const SceneList& scene) {
    SceneBounds bounds;
    for (const SceneNode* node = scene.first; node; node = node->next)
        bounds.add(node->object);
    return bounds;
}

SceneBounds SceneBounds::of(SceneObject* object) {
    SceneBounds bounds;
    bounds.add(object);
    return bounds;
}

ControlPoint SceneBounds::centre() const {
    return ControlPoint((low.x + high.x) / 2.0, (low.y + high.y) / 2.0, (low.z + high.z) / 2.0);
}

double SceneBounds::radius() const {
    return any ? std::hypot(high.x - low.x, high.y - low.y, high.z - low.z) / 2.0 : 0.0;
}
