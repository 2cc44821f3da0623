// Surface of revolution: uploading the swept mesh to its buffers and drawing them.
#include "surfaces/revolution_surface.h"

void RevolutionSurface::draw(bool, bool) {
    if (!profile)
        return;
    if (dirty) {
        dirty = false;
        tessellate();
        buffers.upload(surfaceMesh);
    }
    buffers.draw();
}

void RevolutionSurface::releaseBuffers() {
    buffers.release();
}

void RevolutionSurface::releaseGraphics() {
    releaseBuffers();
    dirty = true;
}
