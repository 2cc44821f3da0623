// Fills part of a preallocated mesh from given starting indices, as appending would have.
#pragma once

#include "surfaces/surface_mesh.h"

#include <cstddef>

// Workers that each fill their own disjoint part of one mesh, sized beforehand, write the same arrays
// that appending the parts in order gives.
class MeshSlice {
public:
    // Where the slice's first primitive, vertex and colour go.
    struct Start {
        std::size_t primitive = 0, vertex = 0, colour = 0;
    };

    MeshSlice(SurfaceMesh& mesh, Start start)
        : primitives_(mesh.primitives.data()), positions_(mesh.positions.data()),
          normals_(mesh.normals.data()), colours_(mesh.colours.data()), next_(start) {}

    void begin(int mode, int colourIndex = -1) {
        primitives_[next_.primitive++] =
            SurfaceMesh::Primitive{mode, static_cast<int>(next_.vertex), 0, colourIndex};
    }
    int addColour(float r, float g, float b) {
        float* c = colours_ + 3 * next_.colour;
        c[0] = r;
        c[1] = g;
        c[2] = b;
        return static_cast<int>(next_.colour++);
    }
    void addVertex(double x, double y, double z) {
        double* p = positions_ + 3 * next_.vertex++;
        p[0] = x;
        p[1] = y;
        p[2] = z;
        ++primitives_[next_.primitive - 1].count;
    }
    void addVertex(double x, double y, double z, double nx, double ny, double nz) {
        double* n = normals_ + 3 * next_.vertex;
        n[0] = nx;
        n[1] = ny;
        n[2] = nz;
        addVertex(x, y, z);
    }
    // Where the next primitive, vertex and colour would go.
    Start next() const { return next_; }

private:
    SurfaceMesh::Primitive* primitives_;
    double* positions_;
    double* normals_;
    float* colours_;
    Start next_;
};
