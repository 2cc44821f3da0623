// A curvature comb: a tooth per drawn sample, out of the curve along its normal and as long as the
// curvature times a scale; the tips, joined, show how the curvature changes along the curve.
#pragma once

#include "geometry/control_point.h"

#include <vector>

class NurbsCurve;

struct CurvatureComb {
    std::vector<ControlPoint> bases; // the drawn samples
    // Each base moved by scale times the curvature vector, away from the centre of curvature, so the
    // comb stands on the outside of every bend. Where the curve is straight the tip is the base.
    std::vector<ControlPoint> tips;

    // Empty when the curve draws no line.
    static CurvatureComb of(NurbsCurve& curve, double scale);
};
