// A surface mesh uploaded to GL buffers, shared vertices drawn by index.
#pragma once

#include "surfaces/shared_mesh.h"

#include <vector>

class SurfaceBuffers {
public:
    unsigned int vertexBuffer = 0; // 0: nothing uploaded
    unsigned int indexBuffer = 0;

    // Replaces the buffers' contents with the mesh (needs a current GL context).
    void upload(const SurfaceMesh& mesh);
    // The same with its vertices already merged (SharedMesh::of(mesh)).
    void upload(const SurfaceMesh& mesh, const SharedMesh& shared);
    // Draws what was last uploaded, leaving GL's colour and normal as the mesh's own calls would.
    void draw() const;
    // Deletes the buffers, if any; needs their GL context to be current.
    void release();

    int vertexCount() const { return vertices; }
    int indexCount() const { return indices; }

private:
    std::vector<SharedMesh::Run> runs;
    int vertices = 0;
    int indices = 0;
    // Offsets in bytes of the normals and colours in the vertex buffer; -1 none.
    long normalOffset = -1;
    long colourOffset = -1;
    bool hasBaseColour = false;
    float baseColour[3] = {0.0f, 0.0f, 0.0f};
    bool translated = false;
    float offset[3] = {0.0f, 0.0f, 0.0f};
    bool endsWithColour = false;
    float lastColour[3] = {0.0f, 0.0f, 0.0f};
    bool endsWithNormal = false;
    float lastNormal[3] = {0.0f, 0.0f, 0.0f};
};
