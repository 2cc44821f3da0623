// The perspective view's GL transform computed from its fields: picking and dragging in that view
// without reading matrices back from GL.
#pragma once

#include "geometry/control_point.h"

#include <array>

class Viewport;
struct CameraRecord;

class PerspectiveProjection {
public:
    // The transform paintGL loads for the view: gluPerspective over the whole rectangle, the scene
    // area below the title strip, the view's own transform, the camera's look-at and its rotations.
    PerspectiveProjection(const Viewport& view, const CameraRecord& camera);

    // False when the view has no drawing area or the camera looks from its own target.
    bool valid() const { return valid_; }
    // The GL window position (device pixels, origin bottom left) a world point is drawn at, and its
    // normalised depth (-1 on the near plane, 1 on the far one). False behind the camera.
    bool project(const ControlPoint& p, double& windowX, double& windowY, double& depth) const;
    // The world point drawn at that window position and normalised depth: the inverse of project.
    bool unproject(double windowX, double windowY, double depth, ControlPoint& out) const;

private:
    using Matrix = std::array<double, 16>; // row-major
    Matrix toClip{};                       // projection times modelview
    Matrix fromClip{};
    int areaX = 0, areaY = 0, areaWidth = 0, areaHeight = 0;
    bool valid_ = false;
};
