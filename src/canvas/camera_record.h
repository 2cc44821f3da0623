// The perspective camera: eye, target and rotation angles in degrees (only x, y, z of each are used).
#pragma once

#include "geometry/control_point.h"

struct CameraRecord {
    ControlPoint eye{0.0, 0.0, 40.0};
    ControlPoint target{0.0, 0.0, 0.0};
    ControlPoint rotation{0.0, 0.0, 0.0};
};
