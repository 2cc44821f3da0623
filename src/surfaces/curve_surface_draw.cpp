// Coons patch: compiling the sampled mesh into its display list and replaying it.
#include "surfaces/curve_surface.h"

#include <GL/gl.h>

void CurveSurface::draw(bool, bool) {
    if (curves.size() != 4)
        return;
    if (dirty) {
        dirty = false;
        tessellate();
        displayList = surfaceMesh.compileReplacing(displayList);
    }
    glCallList(displayList);
}

void CurveSurface::releaseDisplayList() {
    SurfaceMesh::releaseList(displayList);
}

void CurveSurface::releaseGraphics() {
    releaseDisplayList();
    dirty = true;
}
