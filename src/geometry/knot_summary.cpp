// Distinct knots with multiplicities, the knot range and the drawn domain of a curve.
#include "geometry/knot_summary.h"

#include "geometry/nurbs_curve.h"

KnotSummary summariseKnots(NurbsCurve& curve) {
    KnotSummary summary;
    curve.ensureKnots();
    if (!curve.hasCurve() || curve.knots.empty())
        return summary;
    for (double t : curve.knots) {
        if (!summary.knots.empty() && summary.knots.back().value == t)
            ++summary.knots.back().multiplicity;
        else
            summary.knots.push_back({t, 1});
    }
    const int k = curve.order;
    summary.order = k;
    summary.functionCount = static_cast<int>(curve.knots.size()) - k;
    summary.rangeStart = curve.knots.front();
    summary.rangeEnd = curve.knots.back();
    summary.domainStart = curve.knots[k - 1];
    summary.domainEnd = curve.knots[summary.functionCount];
    return summary;
}
