// The scene as an OBJ mesh: curves as polylines through their drawn samples, surfaces as the shaded
// triangles of their tessellation with normals.
#pragma once

#include <iosfwd>

class SceneList;

struct MeshCounts {
    int curves = 0;   // polylines written
    int surfaces = 0; // surfaces written
    long long triangles = 0;
};

// One "o" per object, in list order; objects that give no mesh (see meshRefusal) are left out.
// Positions and normals are numbered separately and each is written once per object, so faces
// name them as "f v//vn". OBJ has no unit field; a comment says millimetres.
MeshCounts writeObjMesh(const SceneList& scene, std::ostream& out);
