// The inverse of an orthographic view's GL transform: from a window position to a world point.
#pragma once

#include "geometry/control_point.h"

class Viewport;

// The world point under the GL window position (windowX, windowY) (device pixels, origin bottom
// left) at window depth 0, with the viewport, projection and modelview that
// Viewport::applyOrthographic loads; what gluUnProject returns under those matrices. Each coordinate
// c with zoom * c beyond -near - 0.1 (the depth coordinate, on the near plane) becomes 0, so the
// point lies in the view's plane through the origin. Weight 1, no normal. False, and out untouched,
// when the view has no drawing area below its title strip.
bool unprojectOrthographic(const Viewport& view, double windowX, double windowY, ControlPoint& out);
// The other way: the GL window position (device pixels, origin bottom left) a world point is drawn
// at in an orthographic view, under the same transform. False when the view has no drawing area.
bool projectOrthographic(const Viewport& view, const ControlPoint& p, double& windowX, double& windowY);
