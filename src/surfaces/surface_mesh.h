// What a surface rebuild produces, computed without GL: primitives over plain vertex arrays.
#pragma once

#include <cstddef>
#include <vector>

struct SurfaceMesh {
    // Primitive modes, one per glBegin mode the surfaces use.
    static constexpr int LineStrip = 0;
    static constexpr int Lines = 1;
    static constexpr int Triangles = 2;

    struct Primitive {
        int mode = Lines;
        int first = 0;   // index of the first vertex
        int count = 0;   // number of vertices
        int colour = -1; // index into colours of a colour set just before the primitive; -1 none
    };

    std::vector<Primitive> primitives;
    std::vector<double> positions; // x, y, z per vertex
    std::vector<double> normals;   // x, y, z per vertex, only when hasNormals
    std::vector<float> colours;    // r, g, b per entry
    bool hasNormals = false;
    // Vertices and normals go to GL as floats (glVertex3f) instead of doubles (glVertex3d).
    bool singlePrecision = false;
    // A colour set once before everything else.
    bool hasBaseColour = false;
    float baseColour[3] = {0.0f, 0.0f, 0.0f};
    // A translation applied around the whole mesh (push, glTranslatef, ..., pop).
    bool translated = false;
    float offset[3] = {0.0f, 0.0f, 0.0f};

    void clear();
    bool empty() const { return primitives.empty(); }
    int vertexCount() const { return static_cast<int>(positions.size() / 3); }
    int countOf(int mode) const;

    // Building: a primitive is opened, then its vertices are added.
    void begin(int mode, int colourIndex = -1);
    int addColour(float r, float g, float b);
    void addVertex(double x, double y, double z);
    void addVertex(double x, double y, double z, double nx, double ny, double nz);
    // Sizes the arrays for filling in place (MeshSlice); normals only when hasNormals.
    void allocate(std::size_t primitiveCount, std::size_t vertices, std::size_t colourCount);

    // Emits the mesh as immediate-mode GL calls (into a display list being compiled, or at once): the
    // plain corner-by-corner drawing the surfaces' shared buffers are measured and checked against.
    void emitGl() const;
    // Compiles the mesh into a new display list and frees `previous` (0: none); returns the new name.
    unsigned int compileReplacing(unsigned int previous) const;
    static void releaseList(unsigned int& list);
};
