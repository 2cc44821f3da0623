// Coons patch and extrusion to NURBS: exact by interpolation in the patch's own spline space, else fitted.
#include "exchange/collocation_solver.h"
#include "exchange/curve_conversion.h"
#include "exchange/scene_size.h"
#include "exchange/spline_basis.h"
#include "exchange/surface_check.h"
#include "exchange/surface_conversion.h"
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>

namespace {

// The most poles a fit may take along either direction.
constexpr int MaxFitPoles = 600;
// Two knots of different sides closer than this are the same knot.
constexpr double KnotMerge = 1e-14;

using PatchFunction = std::function<ControlPoint(double, double)>;

SurfaceConversion refused(std::string why) {
    SurfaceConversion c;
    c.error = std::move(why);
    return c;
}

// The side as the patch evaluates it over [0, 1]: the curve on its domain [a, b], held at its end
// values before a and after b. The held pieces are constant Bezier pieces joined with C0 knots.
NurbsCurveData overUnitInterval(const NurbsCurveData& clamped) {
    NurbsCurveData out = clamped;
    const int p = clamped.degree;
    if (out.domainStart > 0.0) {
        std::vector<double> knots(p + 1, 0.0);
        knots.insert(knots.end(), out.knots.begin() + 1, out.knots.end());
        out.knots = std::move(knots);
        out.poles.insert(out.poles.begin(), p, out.poles.front());
        out.domainStart = 0.0;
    }
    if (out.domainEnd < 1.0) {
        out.knots.pop_back();
        out.knots.insert(out.knots.end(), p + 1, 1.0);
        out.poles.insert(out.poles.end(), p, out.poles.back());
        out.domainEnd = 1.0;
    }
    return out;
}

bool proportionalWeights(const NurbsCurveData& a, const NurbsCurveData& b) {
    if (a.degree != b.degree || a.knots != b.knots || a.poles.size() != b.poles.size())
        return false;
    const double ratio = b.poles.front().w / a.poles.front().w;
    for (std::size_t i = 0; i < a.poles.size(); ++i)
        if (std::fabs(b.poles[i].w - ratio * a.poles[i].w) > 1e-14 * b.poles[i].w)
            return false;
    return true;
}

// An inner knot of the direction and the continuity the function has there.
struct Breakpoint {
    double at;
    int continuity;
};

std::vector<Breakpoint> breakpointsOf(const NurbsCurveData& x, const NurbsCurveData& y) {
    std::vector<Breakpoint> all;
    for (const NurbsCurveData* c : {&x, &y}) {
        const std::vector<double>& k = c->knots;
        for (std::size_t i = 0; i < k.size();) {
            std::size_t j = i;
            while (j < k.size() && k[j] == k[i])
                ++j;
            if (k[i] > 0.0 && k[i] < 1.0)
                all.push_back(Breakpoint{k[i], c->degree - static_cast<int>(j - i)});
            i = j;
        }
    }
    std::sort(all.begin(), all.end(), [](const Breakpoint& a, const Breakpoint& b) { return a.at < b.at; });
    std::vector<Breakpoint> merged;
    for (const Breakpoint& b : all) {
        if (!merged.empty() && b.at - merged.back().at <= KnotMerge)
            merged.back().continuity = std::min(merged.back().continuity, b.continuity);
        else
            merged.push_back(b);
    }
    return merged;
}

// One parameter direction of the NURBS surface: its spline space and the sides whose weight
// functions multiply into the surface's weights along it.
struct Direction {
    int degree = 0;
    std::vector<double> knots;
    std::vector<const NurbsCurveData*> denominators;

    int count() const { return static_cast<int>(knots.size()) - degree - 1; }
    double weightAt(double x) const {
        double w = 1.0;
        for (const NurbsCurveData* d : denominators)
            w *= d->weightAt(x);
        return w;
    }
};

// Along this direction the patch is (1 - x) X + x Y plus terms linear in x, with X and Y the
// opposite sides that run along it. Its common denominator is the product of the distinct weight
// functions of X and Y; times that product every term is a spline of degree `degree` with at each
// inner knot the least continuity the sides have there.
Direction exactDirection(const NurbsCurveData& x, const NurbsCurveData& y) {
    Direction d;
    const bool rx = x.rational(), ry = y.rational();
    if (rx)
        d.denominators.push_back(&x);
    if (ry && !(rx && proportionalWeights(x, y)))
        d.denominators.push_back(&y);
    int denominatorDegree = 0;
    for (const NurbsCurveData* c : d.denominators)
        denominatorDegree += c->degree;
    const int xTerm = rx ? denominatorDegree : x.degree + denominatorDegree;
    const int yTerm = ry ? denominatorDegree : y.degree + denominatorDegree;
    d.degree = std::max({xTerm, yTerm, 1 + denominatorDegree});
    d.knots.assign(d.degree + 1, 0.0);
    for (const Breakpoint& b : breakpointsOf(x, y))
        d.knots.insert(d.knots.end(), std::clamp(d.degree - b.continuity, 1, d.degree), b.at);
    d.knots.insert(d.knots.end(), d.degree + 1, 1.0);
    return d;
}

// A cubic space for fitting: the sides' knots with their continuity (up to C2), every span split
// into 2^level equal parts.
Direction fitDirection(const NurbsCurveData& x, const NurbsCurveData& y, int level) {
    Direction d;
    d.degree = 3;
    std::vector<Breakpoint> breaks = breakpointsOf(x, y);
    breaks.insert(breaks.begin(), Breakpoint{0.0, 2});
    breaks.push_back(Breakpoint{1.0, 2});
    const int parts = 1 << level;
    d.knots.assign(4, 0.0);
    for (std::size_t b = 1; b < breaks.size(); ++b) {
        const double a = breaks[b - 1].at, e = breaks[b].at;
        for (int m = 1; m < parts; ++m)
            d.knots.push_back(a + (e - a) * m / parts);
        if (b + 1 < breaks.size())
            d.knots.insert(d.knots.end(), 3 - std::clamp(breaks[b].continuity, 0, 2), e);
    }
    d.knots.insert(d.knots.end(), 4, 1.0);
    return d;
}

// The NURBS surface over the two spaces whose weights are the product of the directions' weight
// functions and whose numerator interpolates f times those weights at the Greville points.
bool interpolate(const Direction& du, const Direction& dv, const PatchFunction& f, NurbsSurfaceData& out) {
    const std::vector<double> gu = grevilleAbscissae(du.knots, du.degree);
    const std::vector<double> gv = grevilleAbscissae(dv.knots, dv.degree);
    CollocationSolver su, sv;
    if (!su.factor(du.knots, du.degree, gu) || !sv.factor(dv.knots, dv.degree, gv))
        return false;
    const int nu = su.size(), nv = sv.size();

    // The weight functions' own coefficients in the spaces; 1 where a direction has no denominator.
    std::vector<double> a(nu, 1.0), b(nv, 1.0), au(nu, 1.0), bv(nv, 1.0);
    if (!du.denominators.empty()) {
        for (int i = 0; i < nu; ++i)
            au[i] = a[i] = du.weightAt(gu[i]);
        su.solve(a.data(), 1, 1);
    }
    if (!dv.denominators.empty()) {
        for (int j = 0; j < nv; ++j)
            bv[j] = b[j] = dv.weightAt(gv[j]);
        sv.solve(b.data(), 1, 1);
    }
    for (double w : a)
        if (!(w > 0.0) || !std::isfinite(w))
            return false;
    for (double w : b)
        if (!(w > 0.0) || !std::isfinite(w))
            return false;

    std::vector<double> values(static_cast<std::size_t>(nu) * nv * 3);
    for (int i = 0; i < nu; ++i) {
        for (int j = 0; j < nv; ++j) {
            const ControlPoint p = f(gu[i], gv[j]);
            const double w = au[i] * bv[j];
            double* v = &values[(static_cast<std::size_t>(i) * nv + j) * 3];
            v[0] = p.x * w;
            v[1] = p.y * w;
            v[2] = p.z * w;
        }
    }
    for (int j = 0; j < nv; ++j)
        su.solve(values.data() + static_cast<std::size_t>(j) * 3, 3, static_cast<std::ptrdiff_t>(nv) * 3);
    for (int i = 0; i < nu; ++i)
        sv.solve(values.data() + static_cast<std::size_t>(i) * nv * 3, 3, 3);

    out.uDegree = du.degree;
    out.vDegree = dv.degree;
    out.uKnots = du.knots;
    out.vKnots = dv.knots;
    out.uCount = nu;
    out.vCount = nv;
    out.poles.resize(static_cast<std::size_t>(nu) * nv);
    for (int i = 0; i < nu; ++i) {
        for (int j = 0; j < nv; ++j) {
            const double w = a[i] * b[j];
            const double* v = &values[(static_cast<std::size_t>(i) * nv + j) * 3];
            out.pole(i, j) = ControlPoint(v[0] / w, v[1] / w, v[2] / w, w);
        }
    }
    return true;
}

// The largest distance between the surface and the patch over a grid of parameters.
double deviationFrom(const NurbsSurfaceData& s, const PatchFunction& f, const std::vector<double>& us,
                     const std::vector<double>& vs) {
    double worst = 0.0;
    for (double u : us)
        for (double v : vs)
            worst = std::max(worst, distanceBetween(s.pointAt(u, v), f(u, v)));
    return worst;
}

double deviationFrom(const NurbsSurfaceData& s, const PatchFunction& f) {
    return deviationFrom(s, f, checkParameters(s.uKnots), checkParameters(s.vKnots));
}

// k / count for k = 0 .. count: where the mesh samples the patch.
std::vector<double> meshParameters(int count) {
    std::vector<double> out;
    for (int k = 0; k <= count; ++k)
        out.push_back(static_cast<double>(k) / count);
    return out;
}

std::string distanceText(double fraction) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", fraction);
    return text;
}

} // namespace

SurfaceConversion convertPatch(const CurveSurface& surface, double sceneSize) {
    const int held = static_cast<int>(surface.curves.size());
    if (held != 4)
        return refused("holds " + std::to_string(held) + " of its 4 curves, and so no surface");
    for (const NurbsCurve* c : surface.curves)
        if (!c)
            return refused("has a curve that is missing");
    if (surface.uParamInc < 1 || surface.vParamInc < 1)
        return refused("has increments " + std::to_string(surface.uParamInc) + " and " +
                       std::to_string(surface.vParamInc) + ", which draw nothing");

    // Copies of the curves as the mesh reads them, C0 and C3 reversed; the scene is left alone.
    NurbsCurve copies[4];
    NurbsCurveData sides[4];
    for (int i = 0; i < 4; ++i) {
        copies[i].copyFrom(*surface.curves[i]);
        if (i == 0 || i == 3)
            copies[i].reverseOrder();
        const CurveConversion c = convertCurve(copies[i]);
        if (!c.ok)
            return refused("has a curve C" + std::to_string(i) + " that " + c.error);
        sides[i] = overUnitInterval(c.curve.clampedToDomain());
    }
    CurveSurface blend;
    blend.curves = {&copies[0], &copies[1], &copies[2], &copies[3]};
    const PatchFunction patch = [&blend](double s, double t) { return blend.surfacePoint(s, t); };

    // s runs along C1 and C3, t along C0 and C2.
    const Direction du = exactDirection(sides[1], sides[3]);
    const Direction dv = exactDirection(sides[0], sides[2]);
    SurfaceConversion out;
    if (du.degree <= MaxExchangeDegree && dv.degree <= MaxExchangeDegree &&
        interpolate(du, dv, patch, out.surface)) {
        out.deviation = deviationFrom(out.surface, patch);
        if (out.deviation <= toleranceFor(ExactTolerance, sceneSize)) {
            out.ok = true;
            out.exact = true;
            return out;
        }
    }

    const double tolerance = toleranceFor(FitTolerance, sceneSize);
    double best = std::numeric_limits<double>::infinity();
    for (int level = 0;; ++level) {
        const Direction fu = fitDirection(sides[1], sides[3], level);
        const Direction fv = fitDirection(sides[0], sides[2], level);
        if (fu.count() > MaxFitPoles || fv.count() > MaxFitPoles)
            break;
        NurbsSurfaceData fitted;
        if (!interpolate(fu, fv, patch, fitted))
            break;
        double deviation = deviationFrom(fitted, patch);
        // An accepted fit is checked at the mesh's own samples too, so the deviation reported holds
        // for every vertex drawn.
        if (deviation <= tolerance)
            deviation = std::max(deviation, deviationFrom(fitted, patch, meshParameters(surface.uParamInc),
                                                          meshParameters(surface.vParamInc)));
        best = std::min(best, deviation);
        if (deviation <= tolerance) {
            out.surface = std::move(fitted);
            out.ok = true;
            out.exact = false;
            out.deviation = deviation;
            return out;
        }
    }
    return refused("could not be fitted within " + distanceText(FitTolerance) +
                   " of the scene's size (the closest fit strays " +
                   distanceText(sceneSize > 0.0 ? best / sceneSize : best) + " of it)");
}
