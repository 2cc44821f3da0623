// The one place where a surface mesh becomes GL calls.
#include "surfaces/surface_mesh.h"

#include <GL/gl.h>

#include <cstddef>

namespace {
GLenum glModeOf(int mode) {
    switch (mode) {
    case SurfaceMesh::LineStrip:
        return GL_LINE_STRIP;
    case SurfaceMesh::Triangles:
        return GL_TRIANGLES;
    default:
        return GL_LINES;
    }
}
} // namespace

void SurfaceMesh::emitGl() const {
    if (translated) {
        glPushMatrix();
        glTranslatef(offset[0], offset[1], offset[2]);
    }
    if (hasBaseColour)
        glColor3f(baseColour[0], baseColour[1], baseColour[2]);
    const double* p = positions.data();
    const double* n = normals.data();
    for (const Primitive& primitive : primitives) {
        if (primitive.colour >= 0)
            glColor3fv(&colours[3 * static_cast<std::size_t>(primitive.colour)]);
        glBegin(glModeOf(primitive.mode));
        const int end = primitive.first + primitive.count;
        for (int v = primitive.first; v < end; ++v) {
            const double* pv = p + 3 * static_cast<std::size_t>(v);
            if (singlePrecision) {
                if (hasNormals) {
                    const double* nv = n + 3 * static_cast<std::size_t>(v);
                    glNormal3f(static_cast<float>(nv[0]), static_cast<float>(nv[1]),
                               static_cast<float>(nv[2]));
                }
                glVertex3f(static_cast<float>(pv[0]), static_cast<float>(pv[1]), static_cast<float>(pv[2]));
            } else {
                if (hasNormals)
                    glNormal3dv(n + 3 * static_cast<std::size_t>(v));
                glVertex3dv(pv);
            }
        }
        glEnd();
    }
    if (translated)
        glPopMatrix();
}

unsigned int SurfaceMesh::compileReplacing(unsigned int previous) const {
    // The new name is taken before the old one is freed, so the two never coincide.
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    emitGl();
    glEndList();
    releaseList(previous);
    return list;
}

void SurfaceMesh::releaseList(unsigned int& list) {
    if (list != 0)
        glDeleteLists(list, 1);
    list = 0;
}
