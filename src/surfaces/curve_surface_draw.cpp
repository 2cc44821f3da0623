// Coons patch: uploading the sampled mesh to its buffers and drawing them.
#include "surfaces/curve_surface.h"

#include "geometry/nurbs_curve.h"

#include <algorithm>

void CurveSurface::draw(bool, bool) {
    if (curves.size() != 4)
        return;
    if (dirty) {
        dirty = false;
        if (!background.request(estimatedCells(), 2, [this] { return rebuildJob(); })) {
            tessellate();
            buffers.upload(surfaceMesh);
        }
    }
    if (std::unique_ptr<MeshRebuilder::Result> built = background.take()) {
        surfaceMesh = std::move(built->mesh);
        mesh = std::move(built->grid);
        buffers.upload(surfaceMesh, built->shared);
    }
    buffers.draw();
}

double CurveSurface::estimatedCells() const {
    return static_cast<double>(std::max(uParamInc, 0)) * std::max(vParamInc, 0);
}

std::shared_ptr<CurveSurface>
CurveSurface::detachedCopy(std::vector<std::shared_ptr<NurbsCurve>>& sides) const {
    auto copy = std::make_shared<CurveSurface>();
    copy->restoreState(*saveState());
    for (NurbsCurve*& side : copy->curves) {
        if (!side)
            continue;
        sides.push_back(BackgroundMesh::curveCopy(*side));
        side = sides.back().get();
    }
    return copy;
}

MeshRebuilder::Job CurveSurface::rebuildJob() const {
    std::vector<std::shared_ptr<NurbsCurve>> sides;
    std::shared_ptr<CurveSurface> copy = detachedCopy(sides);
    return [copy, sides] {
        copy->tessellate();
        MeshRebuilder::Result result;
        result.mesh = std::move(copy->surfaceMesh);
        result.grid = std::move(copy->mesh);
        return result;
    };
}

SurfaceMesh CurveSurface::coarseMesh(int most) const {
    std::vector<std::shared_ptr<NurbsCurve>> sides;
    std::shared_ptr<CurveSurface> copy = detachedCopy(sides);
    copy->uParamInc = std::min(uParamInc, most);
    copy->vParamInc = std::min(vParamInc, most);
    copy->tessellate();
    return std::move(copy->surfaceMesh);
}

void CurveSurface::releaseBuffers() {
    buffers.release();
}

void CurveSurface::releaseGraphics() {
    releaseBuffers();
    dirty = true;
}
