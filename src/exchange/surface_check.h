// The dense grid on which a converted surface is compared with the scene's own.
#pragma once

#include "geometry/control_point.h"

#include <vector>

// Parameters spread evenly over every non-empty span of a knot vector, span ends included: `perSpan`
// per span, fewer (but never fewer than 3) when there are so many spans that the total would pass
// about `most`.
std::vector<double> checkParameters(const std::vector<double>& knots, int perSpan = 6, int most = 240);

// The distance between two points; infinite when either is not finite.
double distanceBetween(const ControlPoint& a, const ControlPoint& b);
