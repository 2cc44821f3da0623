// The knot strip's mapping between parameters and pixels, and the basis function under a point.
#include "ui/knot_strip_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Room around the plot: the text under the parameter line and the ends of the range.
constexpr double marginLeft = 24.0, marginRight = 24.0, marginTop = 10.0, marginBottom = 36.0;

double distanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0.0 ? ((px - ax) * dx + (py - ay) * dy) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}
} // namespace

double KnotStripGeometry::xAt(double u) const {
    const double span = rangeEnd - rangeStart;
    return span > 0.0 ? left + (u - rangeStart) / span * (right - left) : left;
}

double KnotStripGeometry::parameterAt(double x) const {
    const double width = right - left;
    return width > 0.0 && rangeEnd > rangeStart ? rangeStart + (x - left) / width * (rangeEnd - rangeStart)
                                                : rangeStart;
}

double KnotStripGeometry::yAt(double value) const {
    return baseline + value * (top - baseline);
}

KnotStripGeometry KnotStripGeometry::of(int width, int height, double rangeStart, double rangeEnd) {
    KnotStripGeometry g;
    g.left = marginLeft;
    g.right = std::max(marginLeft, width - marginRight);
    g.top = marginTop;
    g.baseline = std::max(marginTop, height - marginBottom);
    g.rangeStart = rangeStart;
    g.rangeEnd = rangeEnd;
    return g;
}

int functionNear(const BasisFunctionSamples& samples, const KnotStripGeometry& geometry, double x, double y,
                 double reach) {
    int nearest = -1;
    double best = std::numeric_limits<double>::infinity();
    const std::size_t count = samples.parameters.size();
    for (std::size_t i = 0; i < samples.values.size(); ++i) {
        const std::vector<double>& values = samples.values[i];
        for (std::size_t j = 0; j + 1 < count && j + 1 < values.size(); ++j) {
            // Every function lies on the parameter line outside its support: that part names none.
            if (values[j] == 0.0 && values[j + 1] == 0.0)
                continue;
            const double d =
                distanceToSegment(x, y, geometry.xAt(samples.parameters[j]), geometry.yAt(values[j]),
                                  geometry.xAt(samples.parameters[j + 1]), geometry.yAt(values[j + 1]));
            if (d < best) {
                best = d;
                nearest = static_cast<int>(i);
            }
        }
    }
    return best <= reach ? nearest : -1;
}
