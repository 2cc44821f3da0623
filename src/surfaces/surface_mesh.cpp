// Building the plain surface mesh.
#include "surfaces/surface_mesh.h"

void SurfaceMesh::clear() {
    primitives.clear();
    positions.clear();
    normals.clear();
    colours.clear();
    hasNormals = false;
    singlePrecision = false;
    hasBaseColour = false;
    translated = false;
    for (int a = 0; a < 3; ++a) {
        baseColour[a] = 0.0f;
        offset[a] = 0.0f;
    }
}

int SurfaceMesh::countOf(int mode) const {
    int n = 0;
    for (const Primitive& p : primitives)
        n += p.mode == mode;
    return n;
}

void SurfaceMesh::begin(int mode, int colourIndex) {
    primitives.push_back(Primitive{mode, vertexCount(), 0, colourIndex});
}

int SurfaceMesh::addColour(float r, float g, float b) {
    colours.push_back(r);
    colours.push_back(g);
    colours.push_back(b);
    return static_cast<int>(colours.size() / 3) - 1;
}

void SurfaceMesh::addVertex(double x, double y, double z) {
    positions.push_back(x);
    positions.push_back(y);
    positions.push_back(z);
    ++primitives.back().count;
}

void SurfaceMesh::addVertex(double x, double y, double z, double nx, double ny, double nz) {
    normals.push_back(nx);
    normals.push_back(ny);
    normals.push_back(nz);
    addVertex(x, y, z);
}

void SurfaceMesh::allocate(std::size_t primitiveCount, std::size_t vertices, std::size_t colourCount) {
    primitives.resize(primitiveCount);
    positions.resize(3 * vertices);
    normals.resize(hasNormals ? 3 * vertices : 0);
    colours.resize(3 * colourCount);
}
