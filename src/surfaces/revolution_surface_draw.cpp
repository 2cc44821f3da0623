// Surface of revolution: uploading the swept mesh to its buffers and drawing them.
#include "surfaces/revolution_surface.h"

#include "geometry/nurbs_curve.h"

#include <algorithm>

void RevolutionSurface::draw(bool, bool) {
    if (!profile)
        return;
    if (dirty) {
        dirty = false;
        if (!background.request(estimatedCells(), 1, [this] { return rebuildJob(); })) {
            tessellate();
            buffers.upload(surfaceMesh);
        }
    }
    if (std::unique_ptr<MeshRebuilder::Result> built = background.take()) {
        surfaceMesh = std::move(built->mesh);
        buffers.upload(surfaceMesh, built->shared);
    }
    buffers.draw();
}

double RevolutionSurface::estimatedCells() const {
    const double turns = std::clamp(static_cast<double>(degrees) / 360.0, 0.0, 1.0);
    return static_cast<double>(std::max(uParamInc, 0)) * std::max(vParamInc, 0) * turns;
}

std::shared_ptr<RevolutionSurface>
RevolutionSurface::detachedCopy(std::vector<std::shared_ptr<NurbsCurve>>& curves) const {
    auto copy = std::make_shared<RevolutionSurface>();
    copy->restoreState(*saveState());
    curves.push_back(BackgroundMesh::curveCopy(*profile));
    copy->profile = curves.back().get();
    return copy;
}

MeshRebuilder::Job RevolutionSurface::rebuildJob() const {
    std::vector<std::shared_ptr<NurbsCurve>> curves;
    std::shared_ptr<RevolutionSurface> copy = detachedCopy(curves);
    return [copy, curves] {
        copy->tessellate();
        MeshRebuilder::Result result;
        result.mesh = std::move(copy->surfaceMesh);
        return result;
    };
}

SurfaceMesh RevolutionSurface::coarseMesh(int most) const {
    std::vector<std::shared_ptr<NurbsCurve>> curves;
    std::shared_ptr<RevolutionSurface> copy = detachedCopy(curves);
    copy->uParamInc = std::min(uParamInc, most);
    copy->vParamInc = std::min(vParamInc, most);
    copy->tessellate();
    return std::move(copy->surfaceMesh);
}

void RevolutionSurface::releaseBuffers() {
    buffers.release();
}

void RevolutionSurface::releaseGraphics() {
    releaseBuffers();
    dirty = true;
}
