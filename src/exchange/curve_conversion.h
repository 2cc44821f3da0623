// A scene curve as an exact NURBS curve: its own degree, knots and weights over the range it is drawn.
#pragma once

#include "exchange/nurbs_curve_data.h"

#include <string>

class NurbsCurve;

struct CurveConversion {
    bool ok = false;
    std::string error; // why there is no curve, for a message after the object's name
    NurbsCurveData curve;
};

// The Closed form is written with its wrapped points and knots. The domain is the one the curve is
// sampled over when drawn, so the written curve at u is the scene curve's point at u. Refused: an
// unknown form, an order below 2, fewer points than the order, a point that is not finite, a weight
// that is not positive.
CurveConversion convertCurve(const NurbsCurve& curve);
