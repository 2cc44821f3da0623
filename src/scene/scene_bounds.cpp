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
// Framing uses at most this many steps each way of a surface still to be built: its box then lies
// within a few thousandths of the full mesh's, and the window does not wait for a large rebuild.
constexpr int coarseIncrement = 100;

template <typename Surface> void addSurface(SceneBounds& bounds, Surface& surface, bool dirty) {
    const bool stale = dirty || surface.background.waiting();
    if (!stale) {
        addMesh(bounds, surface.surfaceMesh);
    } else if (surface.estimatedCells() >= BackgroundMesh::LargeCells) {
        addMesh(bounds, surface.coarseMesh(coarseIncrement));
    } else {
        // The drawing sweeps again while dirty stays set, so this sweep changes nothing it shows.
        surface.tessellate();
        addMesh(bounds, surface.surfaceMesh);
    }
}
} // namespace

void SceneBounds::add(const SurfaceMesh& mesh) {
    addMesh(*this, mesh);
}

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
        if (revolution->profile)
            addSurface(*this, *revolution, revolution->dirty);
    } else if (auto* patch = dynamic_cast<CurveSurface*>(object)) {
        if (patch->curves.size() == 4)
            addSurface(*this, *patch, patch->dirty);
        else
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
