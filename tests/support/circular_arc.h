// Circles and arcs drawn exactly by a rational quadratic curve, whose curvature is known.
#pragma once

#include "geometry/control_point.h"
#include "geometry/nurbs_curve.h"

#include <cmath>
#include <memory>
#include <vector>

inline ControlPoint arcPoint(const ControlPoint& centre, const ControlPoint& e1, const ControlPoint& e2,
                             double a, double b, double weight) {
    ControlPoint p = centre + e1 * a + e2 * b;
    p.w = weight;
    return p;
}

// A circular arc of radius r about centre in the plane of the unit vectors e1, e2 (at right angles): the
// whole circle as nine points with weights 1 and sqrt(2)/2 over knots doubled at the quarters, or an arc
// of angle up to 180 degrees as one quadratic segment whose middle weight is cos(angle / 2).
inline std::unique_ptr<NurbsCurve> circularArc(const ControlPoint& centre, double r, const ControlPoint& e1,
                                               const ControlPoint& e2, double angleDegrees) {
    auto curve = std::make_unique<NurbsCurve>();
    curve->setOrder(3);
    curve->setCurveMode(NurbsCurve::Interpolated);
    if (angleDegrees == 360.0) {
        const double s = std::sqrt(0.5);
        const double corners[9][2] = {{1, 0},   {1, 1},  {0, 1},  {-1, 1}, {-1, 0},
                                      {-1, -1}, {0, -1}, {1, -1}, {1, 0}};
        std::vector<ControlPoint> points;
        for (int i = 0; i < 9; ++i)
            points.push_back(arcPoint(centre, e1, e2, r * corners[i][0], r * corners[i][1], i % 2 ? s : 1.0));
        curve->setControlPoints(points);
        curve->knots = {0, 0, 0, 0.25, 0.25, 0.5, 0.5, 0.75, 0.75, 1, 1, 1};
    } else {
        const double half = angleDegrees / 2 * M_PI / 180;
        curve->setControlPoints({arcPoint(centre, e1, e2, r * std::cos(half), -r * std::sin(half), 1.0),
                                 arcPoint(centre, e1, e2, r / std::cos(half), 0.0, std::cos(half)),
                                 arcPoint(centre, e1, e2, r * std::cos(half), r * std::sin(half), 1.0)});
    }
    return curve;
}
