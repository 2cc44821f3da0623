// Uploading a surface's shared vertices to GL buffers and drawing them by index.
#include "surfaces/surface_buffers.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <cstring>

namespace {
const void* byteOffset(long bytes) {
    return reinterpret_cast<const void*>(static_cast<std::intptr_t>(bytes));
}
} // namespace

void SurfaceBuffers::upload(const SurfaceMesh& mesh) {
    upload(mesh, SharedMesh::of(mesh));
}

void SurfaceBuffers::upload(const SurfaceMesh& mesh, const SharedMesh& shared) {
    // New names are taken before the old ones are freed, so a rebuild always shows as a new name.
    GLuint names[2];
    glGenBuffers(2, names);
    release();
    vertexBuffer = names[0];
    indexBuffer = names[1];

    const long positionBytes = static_cast<long>(shared.positions.size() * sizeof(float));
    const long normalBytes = static_cast<long>(shared.normals.size() * sizeof(float));
    const long colourBytes = static_cast<long>(shared.colours.size() * sizeof(float));
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, positionBytes + normalBytes + colourBytes, nullptr, GL_STATIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, positionBytes, shared.positions.data());
    if (normalBytes > 0)
        glBufferSubData(GL_ARRAY_BUFFER, positionBytes, normalBytes, shared.normals.data());
    if (colourBytes > 0)
        glBufferSubData(GL_ARRAY_BUFFER, positionBytes + normalBytes, colourBytes, shared.colours.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<long>(shared.indices.size() * sizeof(std::uint32_t)),
                 shared.indices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

    runs = shared.runs;
    vertices = shared.vertexCount();
    indices = static_cast<int>(shared.indices.size());
    normalOffset = normalBytes > 0 ? positionBytes : -1;
    colourOffset = colourBytes > 0 ? positionBytes + normalBytes : -1;
    hasBaseColour = mesh.hasBaseColour;
    translated = mesh.translated;
    std::memcpy(baseColour, mesh.baseColour, sizeof baseColour);
    std::memcpy(offset, mesh.offset, sizeof offset);
    endsWithColour = shared.endsWithColour;
    std::memcpy(lastColour, shared.lastColour, sizeof lastColour);
    endsWithNormal = shared.endsWithNormal;
    std::memcpy(lastNormal, shared.lastNormal, sizeof lastNormal);
}

void SurfaceBuffers::draw() const {
    if (vertexBuffer == 0 || indexBuffer == 0)
        return;
    if (translated) {
        glPushMatrix();
        glTranslatef(offset[0], offset[1], offset[2]);
    }
    if (hasBaseColour)
        glColor3f(baseColour[0], baseColour[1], baseColour[2]);
    if (!runs.empty()) {
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, byteOffset(0));
        if (normalOffset >= 0) {
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(GL_FLOAT, 0, byteOffset(normalOffset));
        }
        if (colourOffset >= 0)
            glColorPointer(3, GL_FLOAT, 0, byteOffset(colourOffset));
        for (const SharedMesh::Run& run : runs) {
            if (colourOffset >= 0) {
                if (run.coloured)
                    glEnableClientState(GL_COLOR_ARRAY);
                else
                    glDisableClientState(GL_COLOR_ARRAY);
            }
            glDrawElements(run.mode == SurfaceMesh::Triangles ? GL_TRIANGLES : GL_LINES, run.count,
                           GL_UNSIGNED_INT, byteOffset(static_cast<long>(run.first * sizeof(std::uint32_t))));
        }
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        // Arrays leave GL's current colour and normal undefined; the mesh's own calls left its last ones.
        if (endsWithColour)
            glColor3fv(lastColour);
        if (endsWithNormal)
            glNormal3fv(lastNormal);
    }
    if (translated)
        glPopMatrix();
}

void SurfaceBuffers::release() {
    if (vertexBuffer != 0)
        glDeleteBuffers(1, &vertexBuffer);
    if (indexBuffer != 0)
        glDeleteBuffers(1, &indexBuffer);
    vertexBuffer = 0;
    indexBuffer = 0;
    runs.clear();
    vertices = 0;
    indices = 0;
}
