// Surface of revolution: compiling the swept mesh into its display list and replaying it.
#include "surfaces/revolution_surface.h"

#include <GL/gl.h>

void RevolutionSurface::draw(bool, bool) {
    if (!profile)
        return;
    if (dirty) {
        dirty = false;
        tessellate();
        displayList = surfaceMesh.compileReplacing(displayList);
    }
    glCallList(displayList);
}

void RevolutionSurface::releaseDisplayList() {
    SurfaceMesh::releaseList(displayList);
}

void RevolutionSurface::releaseGraphics() {
    releaseDisplayList();
    dirty = true;
}
