// Exact derivatives of the rational curve: homogeneous basis derivatives, then the quotient rule.
#include "geometry/curve_derivatives.h"

#include "geometry/basis_derivatives.h"
#include "geometry/nurbs_curve.h"

#include <algorithm>
#include <cmath>

CurveDerivatives evaluateDerivatives(NurbsCurve& curve, double u) {
    CurveDerivatives result;
    curve.ensureKnots();
    if (std::isnan(u) || !curve.hasCurve())
        return result;
    const std::vector<double>& knots = curve.knots;
    const int k = curve.order;
    const int n = static_cast<int>(curve.controlPoints.size());
    const int coefficients = static_cast<int>(knots.size()) - k; // n, or n + k wrapped points
    const double start = knots[k - 1], end = knots[coefficients];
    if (!(start < end))
        return result;
    u = std::clamp(u, start, end);

    // The span of u inside the domain; at its end, the last non-empty span before it.
    int span = -1;
    for (int s = k - 1; s < coefficients; ++s) {
        if (knots[s] < knots[s + 1]) {
            span = s;
            if (u < knots[s + 1])
                break;
        }
    }
    const BasisDerivatives basis = evaluateBasisDerivatives(knots, k, span, u, 2);
    if (basis.span < 0)
        return result;

    // Homogeneous derivatives: h[d] = (A, w) differentiated d times.
    double h[3][4] = {};
    for (int i = span - k + 1; i <= span; ++i) {
        const ControlPoint& p = curve.controlPoints[i % n]; // wrapped points repeat the first ones
        const double homogeneous[4] = {p.x * p.w, p.y * p.w, p.z * p.w, p.w};
        for (int d = 0; d < 3; ++d) {
            const double b = basis.value(d, i);
            for (int c = 0; c < 4; ++c)
                h[d][c] += b * homogeneous[c];
        }
    }
    const double w = h[0][3], w1 = h[1][3], w2 = h[2][3];
    double point[3], first[3], second[3];
    for (int c = 0; c < 3; ++c) {
        point[c] = h[0][c] / w;
        first[c] = (h[1][c] - w1 * point[c]) / w;
        second[c] = (h[2][c] - 2.0 * w1 * first[c] - w2 * point[c]) / w;
    }
    result.parameter = u;
    result.point = ControlPoint(point[0], point[1], point[2]);
    result.first = ControlPoint(first[0], first[1], first[2]);
    result.second = ControlPoint(second[0], second[1], second[2]);
    result.valid = true;
    return result;
}
