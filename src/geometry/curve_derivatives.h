// The point of a curve at a parameter with its exact first and second derivatives.
#pragma once

#include "geometry/control_point.h"

class NurbsCurve;

// Position C(u), velocity C'(u) and acceleration C''(u) with respect to the curve parameter; weight 1 and
// no normal in each. valid is false when there is nothing to differentiate.
struct CurveDerivatives {
    double parameter = 0.0;
    ControlPoint point;
    ControlPoint first;
    ControlPoint second;
    bool valid = false;
};

// At u clamped into the curve's drawn domain (the wrapped points for a closed curve). The homogeneous
// curve (x·w, y·w, z·w, w) is differentiated through the derivatives of the basis functions, then the
// quotient rule gives C = A / w, C' = (A' - w' C) / w and C'' = (A'' - 2 w' C' - w'' C) / w. At a knot
// the derivatives are those of the span that starts there; at the domain end, of the span that ends
// there. Invalid for NaN and for a curve with fewer points than its order.
CurveDerivatives evaluateDerivatives(NurbsCurve& curve, double u);
