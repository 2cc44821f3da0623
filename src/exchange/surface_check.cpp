// Check grids for converted surfaces.
#include "exchange/surface_check.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::vector<double> checkParameters(const std::vector<double>& knots, int perSpan, int most) {
    std::vector<double> breaks;
    for (double k : knots)
        if (breaks.empty() || k > breaks.back())
            breaks.push_back(k);
    const int spans = static_cast<int>(breaks.size()) - 1;
    if (spans < 1)
        return breaks;
    std::vector<double> out;
    // At least the span start and two points inside it, so that a fit is never checked only where
    // it was fitted.
    const int each = std::max(3, std::min(perSpan, most / spans));
    for (int s = 0; s < spans; ++s)
        for (int m = 0; m < each; ++m)
            out.push_back(breaks[s] + (breaks[s + 1] - breaks[s]) * m / each);
    out.push_back(breaks.back());
    return out;
}

double distanceBetween(const ControlPoint& a, const ControlPoint& b) {
    const double d = std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
    return std::isfinite(d) ? d : std::numeric_limits<double>::infinity();
}
