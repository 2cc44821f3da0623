// Surface of revolution to NURBS: the placed profile times rational quadratic arcs.
#include "exchange/surface_conversion.h"

#include "exchange/curve_conversion.h"
#include "exchange/surface_check.h"
#include "geometry/nurbs_curve.h"
#include "surfaces/revolution_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

double component(const ControlPoint& p, int axis) {
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

SurfaceConversion refused(std::string why) {
    SurfaceConversion c;
    c.error = std::move(why);
    return c;
}

} // namespace

SurfaceConversion convertRevolution(const RevolutionSurface& surface) {
    if (!surface.profile)
        return refused("has no profile curve");
    const NurbsCurve& profile = *surface.profile;
    const RevolutionSurface::SweepAxis axis = surface.sweepAxis();
    if (!axis.valid) {
        const CurveConversion curve = convertCurve(profile);
        if (!curve.ok)
            return refused("has a profile that " + curve.error);
        return refused("has settings that draw nothing (axes " + std::to_string(surface.aor) + " and " +
                       std::to_string(surface.refa) + ", axis point " + std::to_string(surface.revPoint) +
                       ", increments " + std::to_string(surface.uParamInc) + " and " +
                       std::to_string(surface.vParamInc) + ")");
    }
    const int aor = surface.aor, refa = surface.refa;
    if (aor == refa)
        return refused("turns about its own reference axis, so the sweep collapses onto the profile and "
                       "has no surface");
    const double sweep = surface.sweepAngle();
    if (!(sweep > 0.0)) {
        char degrees[32];
        std::snprintf(degrees, sizeof degrees, "%g", static_cast<double>(surface.degrees));
        return refused(std::string("sweeps ") + degrees + " degrees and so draws nothing");
    }
    const int third = 3 - aor - refa;

    // The profile as the mesh sweeps it: shifted onto an axis through the origin, the shift carried
    // back in single precision afterwards.
    std::vector<ControlPoint> pts = profile.controlPoints;
    double offset[3] = {0.0, 0.0, 0.0};
    offset[third] = static_cast<float>(pts[axis.point].coordinate(third));
    offset[refa] = static_cast<float>(axis.position);
    for (ControlPoint& p : pts)
        p.coordinate(refa) -= axis.position;
    NurbsCurve placed;
    placed.copyFrom(profile);
    placed.setControlPoints(pts);
    const CurveConversion converted = convertCurve(placed);
    if (!converted.ok)
        return refused("has a profile that " + converted.error);
    const NurbsCurveData curve = converted.curve.clampedToDomain();

    // The sweep's own full turn (6.2831853) falls 7e-9 short of 2 pi; a sweep of a whole turn or more
    // is written closed, which holds every point of the mesh just the same.
    const bool whole = surface.degrees >= 360.0f;
    const double angle = whole ? 2.0 * std::numbers::pi : sweep;
    const int arcs = std::max(1, static_cast<int>(std::ceil(angle / (std::numbers::pi / 2.0) - 1e-12)));
    const double step = angle / arcs;
    const double middleWeight = std::cos(step / 2.0);

    SurfaceConversion out;
    NurbsSurfaceData& data = out.surface;
    data.uDegree = curve.degree;
    data.uKnots = curve.knots;
    data.uCount = static_cast<int>(curve.poles.size());
    data.vDegree = 2;
    data.vCount = 2 * arcs + 1;
    data.vKnots = {0.0, 0.0, 0.0};
    for (int a = 1; a < arcs; ++a) {
        data.vKnots.push_back(static_cast<double>(a) / arcs);
        data.vKnots.push_back(static_cast<double>(a) / arcs);
    }
    data.vKnots.insert(data.vKnots.end(), {1.0, 1.0, 1.0});

    // The arc's poles on the unit circle: ends on it, middles out at 1 / cos(half the arc).
    std::vector<double> arcCos(data.vCount), arcSin(data.vCount), arcWeight(data.vCount);
    for (int j = 0; j < data.vCount; ++j) {
        const double theta = j == data.vCount - 1 ? angle : j * step / 2.0;
        const bool middle = j % 2 == 1;
        const double scale = middle ? 1.0 / middleWeight : 1.0;
        arcCos[j] = scale * std::cos(theta);
        arcSin[j] = scale * std::sin(theta);
        arcWeight[j] = middle ? middleWeight : 1.0;
    }
    data.poles.resize(static_cast<std::size_t>(data.uCount) * data.vCount);
    for (int i = 0; i < data.uCount; ++i) {
        const ControlPoint& p = curve.poles[i];
        const double r = component(p, refa);
        for (int j = 0; j < data.vCount; ++j) {
            ControlPoint& q = data.pole(i, j);
            q.coordinate(aor) = component(p, aor);
            q.coordinate(refa) = r * arcCos[j] + offset[refa];
            q.coordinate(third) = r * arcSin[j] + offset[third];
            q.w = p.w * arcWeight[j];
        }
    }

    // Check against the mesh's own formula: the placed profile's point turned through the angle at
    // which the arcs put parameter v.
    NurbsCurveData unitArc;
    unitArc.degree = 2;
    unitArc.knots = data.vKnots;
    for (int j = 0; j < data.vCount; ++j)
        unitArc.poles.emplace_back(arcCos[j], arcSin[j], 0.0, arcWeight[j]);
    unitArc.domainStart = 0.0;
    unitArc.domainEnd = 1.0;
    const std::vector<double> us = checkParameters(data.uKnots);
    const std::vector<double> vs = checkParameters(data.vKnots);
    double deviation = 0.0;
    for (double v : vs) {
        const ControlPoint onArc = unitArc.pointAt(v);
        const double c = onArc.x / std::hypot(onArc.x, onArc.y);
        const double sn = onArc.y / std::hypot(onArc.x, onArc.y);
        for (double u : us) {
            const ControlPoint e = placed.evaluate(u);
            ControlPoint expected;
            const double r = component(e, refa);
            expected.coordinate(aor) = component(e, aor);
            expected.coordinate(refa) = r * c + offset[refa];
            expected.coordinate(third) = r * sn + offset[third];
            deviation = std::max(deviation, distanceBetween(data.pointAt(u, v), expected));
        }
    }
    out.ok = true;
    out.exact = true;
    out.deviation = deviation;
    return out;
}
