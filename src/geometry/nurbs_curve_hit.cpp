// The distance from a click to a curve's drawn line, for picking with a reach wider than HitTolerance.
#include "geometry/nurbs_curve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// The in-plane coordinates of p: the two axes other than axis (all three when axis is none of them).
struct PlanePoint {
    double c[3];
    int count;
};

PlanePoint inPlane(double x, double y, double z, int axis) {
    PlanePoint q{{0.0, 0.0, 0.0}, 0};
    const double all[3] = {x, y, z};
    for (int a = 0; a < 3; ++a)
        if (a != axis)
            q.c[q.count++] = all[a];
    return q;
}

double boxDistance(const PlanePoint& a, const PlanePoint& b) {
    double d = 0.0;
    for (int i = 0; i < a.count; ++i)
        d = std::max(d, std::fabs(a.c[i] - b.c[i]));
    return d;
}

// Euclidean distance from p to the segment a-b.
double segmentDistance(const PlanePoint& p, const PlanePoint& a, const PlanePoint& b) {
    double ab2 = 0.0, apab = 0.0;
    for (int i = 0; i < p.count; ++i) {
        const double ab = b.c[i] - a.c[i];
        ab2 += ab * ab;
        apab += (p.c[i] - a.c[i]) * ab;
    }
    const double t = ab2 > 0.0 ? std::clamp(apab / ab2, 0.0, 1.0) : 0.0;
    double d2 = 0.0;
    for (int i = 0; i < p.count; ++i) {
        const double e = p.c[i] - (a.c[i] + t * (b.c[i] - a.c[i]));
        d2 += e * e;
    }
    return std::sqrt(d2);
}
} // namespace

double NurbsCurve::hitDistance(double x, double y, double z, int axis) {
    const std::vector<double>& xyz = sampleCoordinates();
    const PlanePoint p = inPlane(x, y, z, axis);
    double best = std::numeric_limits<double>::infinity();
    PlanePoint previous{};
    for (std::size_t i = 0; i + 2 < xyz.size(); i += 3) {
        const PlanePoint s = inPlane(xyz[i], xyz[i + 1], xyz[i + 2], axis);
        best = std::min(best, boxDistance(p, s));
        if (i > 0)
            best = std::min(best, segmentDistance(p, previous, s));
        previous = s;
    }
    return best;
}
