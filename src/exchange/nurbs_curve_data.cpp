// Exact NURBS curve: evaluation through the homogeneous lift, knot insertion and clamping.
#include "exchange/nurbs_curve_data.h"

#include "exchange/spline_basis.h"

#include <algorithm>

bool NurbsCurveData::rational() const {
    for (const ControlPoint& p : poles)
        if (p.w != poles.front().w)
            return true;
    return false;
}

bool NurbsCurveData::clamped() const {
    const int n = static_cast<int>(poles.size());
    if (static_cast<int>(knots.size()) != n + degree + 1)
        return false;
    for (int i = 0; i <= degree; ++i)
        if (knots[i] != domainStart || knots[n + i] != domainEnd)
            return false;
    return true;
}

ControlPoint NurbsCurveData::pointAt(double u) const {
    const int span = findSpan(knots, degree, u);
    const double at = std::clamp(u, domainStart, domainEnd);
    std::vector<double> basis(degree + 1);
    basisFunctions(knots, degree, span, at, basis.data());
    double x = 0.0, y = 0.0, z = 0.0, w = 0.0;
    for (int r = 0; r <= degree; ++r) {
        const ControlPoint& p = poles[span - degree + r];
        const double b = basis[r] * p.w;
        x += b * p.x;
        y += b * p.y;
        z += b * p.z;
        w += b;
    }
    return ControlPoint(x / w, y / w, z / w);
}

double NurbsCurveData::weightAt(double u) const {
    const int span = findSpan(knots, degree, u);
    const double at = std::clamp(u, domainStart, domainEnd);
    std::vector<double> basis(degree + 1);
    basisFunctions(knots, degree, span, at, basis.data());
    double w = 0.0;
    for (int r = 0; r <= degree; ++r)
        w += basis[r] * poles[span - degree + r].w;
    return w;
}

void NurbsCurveData::insertKnot(double u) {
    const int p = degree;
    // k: the last knot <= u; s: how often u is there already.
    const int k = static_cast<int>(std::upper_bound(knots.begin(), knots.end(), u) - knots.begin()) - 1;
    int s = 0;
    for (int i = k; i >= 0 && knots[i] == u; --i)
        ++s;
    std::vector<ControlPoint> next;
    next.reserve(poles.size() + 1);
    for (int i = 0; i <= k - p; ++i)
        next.push_back(poles[i]);
    // Blend in homogeneous coordinates, so the curve stays the same for any weights.
    for (int i = std::max(k - p + 1, 0); i <= k - s; ++i) {
        const double alpha = (u - knots[i]) / (knots[i + p] - knots[i]);
        const ControlPoint& a = poles[i - 1];
        const ControlPoint& b = poles[i];
        const double w = alpha * b.w + (1.0 - alpha) * a.w;
        ControlPoint q((alpha * b.w * b.x + (1.0 - alpha) * a.w * a.x) / w,
                       (alpha * b.w * b.y + (1.0 - alpha) * a.w * a.y) / w,
                       (alpha * b.w * b.z + (1.0 - alpha) * a.w * a.z) / w, w);
        next.push_back(q);
    }
    for (int i = k - s; i < static_cast<int>(poles.size()); ++i)
        next.push_back(poles[i]);
    poles = std::move(next);
    knots.insert(knots.begin() + k + 1, u);
}

NurbsCurveData NurbsCurveData::clampedToDomain() const {
    NurbsCurveData out = *this;
    const int p = degree;
    auto multiplicity = [&out](double u) {
        return static_cast<int>(std::count(out.knots.begin(), out.knots.end(), u));
    };
    while (multiplicity(domainStart) < p + 1)
        out.insertKnot(domainStart);
    while (multiplicity(domainEnd) < p + 1)
        out.insertKnot(domainEnd);
    // The first run of domainStart and the first of domainEnd, each now degree + 1 long, split the
    // curve; keep the piece between them.
    const int first = static_cast<int>(std::lower_bound(out.knots.begin(), out.knots.end(), domainStart) -
                                       out.knots.begin());
    const int end =
        static_cast<int>(std::lower_bound(out.knots.begin(), out.knots.end(), domainEnd) - out.knots.begin());
    out.knots = std::vector<double>(out.knots.begin() + first, out.knots.begin() + end + p + 1);
    out.poles = std::vector<ControlPoint>(out.poles.begin() + first, out.poles.begin() + end);
    return out;
}
