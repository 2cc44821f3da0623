// Surface of revolution: compiling the swept mesh into its display list and replaying it.
#include "revolution_surface.h"

#include <GL/gl.h>

void RevolutionSurface::draw(bool, bool) {
    if (!profile)
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

void RevolutionSurface::releaseDisplayList() {
    if (displayList != 0)
        glDeleteLists(displayList, 1);
    displayList = 0;
}
