// Random curves for the property tests of curve evaluation: any form, order and point count.
#pragma once

#include "geometry/nurbs_curve.h"

#include <memory>
#include <random>

// Positions in [-10, 10]^3, weights in [0.5, 2], paramInc in [1, 300]; knots built for the form.
inline std::unique_ptr<NurbsCurve> makeRandomCurve(std::mt19937& rng, int mode, int order, int pointCount) {
    std::uniform_real_distribution<double> position(-10.0, 10.0), weight(0.5, 2.0);
    auto curve = std::make_unique<NurbsCurve>();
    for (int i = 0; i < pointCount; ++i)
        curve->appendPoint(ControlPoint(position(rng), position(rng), position(rng), weight(rng)));
    curve->setOrder(order);
    curve->setCurveMode(mode);
    curve->setParamInc(std::uniform_int_distribution<int>(1, 300)(rng));
    return curve;
}
