// The box a scene or one object takes up in the world, for bringing it into view.
#pragma once

#include "geometry/control_point.h"

class SceneList;
class SceneObject;

struct SurfaceMesh;

class SceneBounds {
public:
    // Corners of the box; meaningful only when not empty.
    ControlPoint low{0.0, 0.0, 0.0};
    ControlPoint high{0.0, 0.0, 0.0};

    bool empty() const { return !any; }
    // Grows the box to hold p; points with a coordinate that is not finite are left out.
    void add(const ControlPoint& p);
    // A curve's control points and the points of its drawn line; a surface's mesh, swept first when
    // it is due for a rebuild.
    void add(SceneObject* object);
    // The vertices of a mesh as drawn (its own translation applied).
    void add(const SurfaceMesh& mesh);

    static SceneBounds of(const SceneList& scene);
    static SceneBounds of(SceneObject* object);

    ControlPoint centre() const;
    // Half the diagonal: the radius of a sphere about centre() that holds the box.
    double radius() const;

private:
    bool any = false;
};
