// The scene's own tessellation for the mesh formats, made without touching the scene.
#pragma once

#include "surfaces/surface_mesh.h"

#include <string>

struct SceneNode;

// Why an object gives no polyline or mesh ("<why>", to follow its name); empty when it gives one.
// Objects of kinds that are not drawn give nothing and no reason either.
std::string meshRefusal(const SceneNode& node);

// The shaded tessellation (triangles with normals) of a surface node as the scene draws it, built on
// a scratch copy so the scene keeps its mesh, display state and curves. Empty for curves.
SurfaceMesh shadedMeshOf(const SceneNode& node);
