// Point-to-surface distance for the export tests.
#include "surface_distance.h"

#include "geometry/nurbs_curve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
double gap(const ControlPoint& a, const ControlPoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}
} // namespace

SurfaceDistance::SurfaceDistance(Surface surface, double u0, double u1, double v0, double v1, int samples)
    : surface_(std::move(surface)), u0_(u0), u1_(u1), v0_(v0), v1_(v1), samples_(samples) {
    for (int i = 0; i <= samples_; ++i)
        for (int j = 0; j <= samples_; ++j)
            grid_.push_back(surface_(u0_ + (u1_ - u0_) * i / samples_, v0_ + (v1_ - v0_) * j / samples_));
}

double SurfaceDistance::to(const ControlPoint& p) const {
    // Start from the four nearest samples; the surface may fold back near its poles and seams.
    std::vector<std::pair<double, int>> nearest;
    for (int k = 0; k < static_cast<int>(grid_.size()); ++k)
        nearest.emplace_back(gap(grid_[k], p), k);
    const int starts = std::min<int>(4, static_cast<int>(nearest.size()));
    std::partial_sort(nearest.begin(), nearest.begin() + starts, nearest.end());
    double best = std::numeric_limits<double>::infinity();
    for (int s = 0; s < starts && best > 0.0; ++s) {
        const int i = nearest[s].second / (samples_ + 1), j = nearest[s].second % (samples_ + 1);
        best = std::min({best, nearest[s].first,
                         refine(p, u0_ + (u1_ - u0_) * i / samples_, v0_ + (v1_ - v0_) * j / samples_)});
    }
    return best;
}

double SurfaceDistance::refine(const ControlPoint& p, double u, double v) const {
    const double hu = 1e-6 * (u1_ - u0_), hv = 1e-6 * (v1_ - v0_);
    ControlPoint at = surface_(u, v);
    double distance = gap(at, p);
    for (int iteration = 0; iteration < 60 && distance > 0.0; ++iteration) {
        // Differences that stay inside the domain.
        const double ua = std::max(u0_, u - hu), ub = std::min(u1_, u + hu);
        const double va = std::max(v0_, v - hv), vb = std::min(v1_, v + hv);
        const ControlPoint su0 = surface_(ua, v), su1 = surface_(ub, v);
        const ControlPoint sv0 = surface_(u, va), sv1 = surface_(u, vb);
        const double du[3] = {(su1.x - su0.x) / (ub - ua), (su1.y - su0.y) / (ub - ua),
                              (su1.z - su0.z) / (ub - ua)};
        const double dv[3] = {(sv1.x - sv0.x) / (vb - va), (sv1.y - sv0.y) / (vb - va),
                              (sv1.z - sv0.z) / (vb - va)};
        const double r[3] = {p.x - at.x, p.y - at.y, p.z - at.z};
        double a11 = 0, a12 = 0, a22 = 0, b1 = 0, b2 = 0;
        for (int k = 0; k < 3; ++k) {
            a11 += du[k] * du[k];
            a12 += du[k] * dv[k];
            a22 += dv[k] * dv[k];
            b1 += du[k] * r[k];
            b2 += dv[k] * r[k];
        }
        // A little damping keeps the step finite where a direction degenerates (a pole).
        const double damping = 1e-12 * (a11 + a22) + 1e-300;
        a11 += damping;
        a22 += damping;
        const double det = a11 * a22 - a12 * a12;
        if (!(det > 0.0))
            break;
        double stepU = (b1 * a22 - b2 * a12) / det, stepV = (a11 * b2 - a12 * b1) / det;
        bool improved = false;
        for (int halving = 0; halving < 30; ++halving) {
            const double nu = std::clamp(u + stepU, u0_, u1_), nv = std::clamp(v + stepV, v0_, v1_);
            const ControlPoint next = surface_(nu, nv);
            const double d = gap(next, p);
            if (d < distance) {
                u = nu;
                v = nv;
                at = next;
                distance = d;
                improved = true;
                break;
            }
            stepU /= 2;
            stepV /= 2;
        }
        if (!improved)
            break;
    }
    return distance;
}

std::vector<double> drawnParameters(const NurbsCurve& curve) {
    std::vector<double> us;
    const int n = static_cast<int>(curve.controlPoints.size()), k = curve.order, p = curve.paramInc;
    if (!curve.hasCurve() || p < 1)
        return us;
    if (curve.curveMode == NurbsCurve::Interpolated) {
        for (int s = 0; s <= p; ++s)
            us.push_back(static_cast<double>(s) / p);
        return us;
    }
    const double a = curve.knot(k - 1);
    const double b = curve.knot(curve.curveMode == NurbsCurve::Closed ? n + k : n);
    const double step = (b - a) / p;
    const bool closed = curve.curveMode == NurbsCurve::Closed;
    for (double u = a; closed ? u <= b : u < b; u = step + u)
        us.push_back(u);
    return us;
}
