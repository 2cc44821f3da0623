// A surface mesh with one vertex per distinct corner, drawn by index: what goes into GL buffers.
#pragma once

#include "surfaces/surface_mesh.h"

#include <cstdint>
#include <vector>

struct SharedMesh {
    // Consecutive primitives of one kind, in the mesh's order: line strips become line pairs.
    struct Run {
        int mode = SurfaceMesh::Lines; // Lines or Triangles
        int first = 0;                 // index of its first entry in indices
        int count = 0;
        bool coloured = false; // its vertices carry colours; otherwise they take the current one
    };

    std::vector<Run> runs;
    std::vector<std::uint32_t> indices;
    // Three floats per vertex each: exactly what the mesh sends GL, so equal corners merge.
    std::vector<float> positions;
    std::vector<float> normals; // only when the mesh has normals
    std::vector<float> colours; // only when the mesh sets colours per primitive
    // The colour and normal GL holds after drawing the mesh; valid when the flags say so.
    bool endsWithColour = false;
    float lastColour[3] = {0.0f, 0.0f, 0.0f};
    bool endsWithNormal = false;
    float lastNormal[3] = {0.0f, 0.0f, 0.0f};

    // Merges the mesh's corners whose position, normal and colour are bitwise equal.
    static SharedMesh of(const SurfaceMesh& mesh);
    int vertexCount() const { return static_cast<int>(positions.size() / 3); }
};
