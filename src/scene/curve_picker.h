// Which curve a click in an orthographic view takes.
#pragma once

#include "geometry/control_point.h"

class NurbsCurve;
class SceneList;

class CurvePicker {
public:
    // The first curve in scene order that NurbsCurve::hitTest finds at p (axis is the view's depth
    // axis); failing that, the curve whose drawn line passes nearest p within reach, so a click a
    // few pixels off still takes it. A reach below HitTolerance changes nothing. Null when no curve
    // is that near.
    static NurbsCurve* curveAt(const SceneList& scene, const ControlPoint& p, int axis, double reach);
};
