// Scene curve to exact NURBS curve.
#include "exchange/curve_conversion.h"

#include "geometry/nurbs_curve.h"

#include <cmath>
#include <cstdio>

namespace {
CurveConversion refused(std::string why) {
    CurveConversion c;
    c.error = std::move(why);
    return c;
}

std::string text(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}
} // namespace

CurveConversion convertCurve(const NurbsCurve& curve) {
    const int n = static_cast<int>(curve.controlPoints.size());
    const int k = curve.order;
    if (curve.curveMode < NurbsCurve::Open || curve.curveMode > NurbsCurve::Closed)
        return refused("has the unknown curve form " + std::to_string(curve.curveMode));
    if (k < 2)
        return refused("has order " + std::to_string(k) + ", below the 2 a continuous curve needs");
    if (n < k)
        return refused("has " + std::to_string(n) + " control point" + (n == 1 ? "" : "s") +
                       ", fewer than its order " + std::to_string(k) + ", and so no curve");
    for (int i = 0; i < n; ++i) {
        const ControlPoint& p = curve.controlPoints[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            return refused("has control point " + std::to_string(i + 1) +
                           " at a position that is not finite");
        if (!(p.w > 0.0) || !std::isfinite(p.w))
            return refused("has control point " + std::to_string(i + 1) + " of weight " + text(p.w) +
                           "; exchange formats need positive weights");
    }

    // A fresh copy rebuilds the knots, whatever was done to the curve's arrays.
    NurbsCurve copy;
    copy.copyFrom(curve);
    CurveConversion out;
    out.ok = true;
    NurbsCurveData& data = out.curve;
    data.degree = k - 1;
    data.knots = copy.knots;
    data.poles.reserve(static_cast<std::size_t>(n + k));
    for (const ControlPoint& p : curve.controlPoints)
        data.poles.emplace_back(p.x, p.y, p.z, p.w);
    if (curve.curveMode == NurbsCurve::Closed)
        for (int i = 0; i < k; ++i)
            data.poles.push_back(data.poles[i]);
    data.domainStart = data.knots[data.degree];
    data.domainEnd = data.knots[data.poles.size()];
    return out;
}
