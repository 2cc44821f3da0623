// A curve's knot vector as distinct values with multiplicities, with its knot range and drawn domain.
#pragma once

#include <vector>

class NurbsCurve;

// Plain data for a knot strip: where each knot lies and how often it repeats, the range the knots cover
// and the part of it the curve is drawn over. All 0 and empty when the curve has fewer points than its
// order.
struct KnotSummary {
    struct Knot {
        double value;
        int multiplicity;
    };
    std::vector<Knot> knots; // in increasing order
    int order = 0;
    int functionCount = 0; // basis functions: n, or n + order for a closed curve
    double rangeStart = 0.0, rangeEnd = 0.0;
    double domainStart = 0.0, domainEnd = 0.0;
};

KnotSummary summariseKnots(NurbsCurve& curve);
