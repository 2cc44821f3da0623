// Coons patch: uploading the sampled mesh to its buffers and drawing them.
#include "surfaces/curve_surface.h"

void CurveSurface::draw(bool, bool) {
    if (curves.size() != 4)
        return;
    if (dirty) {
        dirty = false;
        tessellate();
        buffers.upload(surfaceMesh);
    }
    buffers.draw();
}

void CurveSurface::releaseBuffers() {
    buffers.release();
}

void CurveSurface::releaseGraphics() {
    releaseBuffers();
    dirty = true;
}
