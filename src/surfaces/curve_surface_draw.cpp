// Coons patch: compiling the sampled mesh into its display list and replaying it.
#include "curve_surface.h"

#include <GL/gl.h>

void CurveSurface::draw(bool, bool) {
    if (curves.size() != 4)
        return;
    if (dirty) {
        dirty = false;
        tessellate();
        // The new name is taken before the old one is freed, so the two never coincide.
        const GLuint list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        surfaceMesh.emitGl();
        glEndList();
        releaseDisplayList();
        displayList = list;
    }
    glCallList(displayList);
}

void CurveSurface::releaseDisplayList() {
    if (displayList != 0)
        glDeleteLists(displayList, 1);
    displayList = 0;
}
