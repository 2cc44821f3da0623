// An exact NURBS curve as exchange formats hold it: degree, the whole knot vector, weighted poles and
// the parameter range that is drawn.
#pragma once

#include "geometry/control_point.h"

#include <vector>

struct NurbsCurveData {
    int degree = 0;
    std::vector<double> knots;       // poles.size() + degree + 1 values, non-decreasing
    std::vector<ControlPoint> poles; // positions un-weighted, the weight in w
    double domainStart = 0.0;        // knots[degree]
    double domainEnd = 0.0;          // knots[poles.size()]

    // Some weight differs from the others: a constant weight divides out and draws no differently.
    bool rational() const;
    // Both domain ends are knots of multiplicity degree + 1 at the ends of the vector.
    bool clamped() const;
    // The curve point at u (clamped into the domain), through the homogeneous poles.
    ControlPoint pointAt(double u) const;
    // The weight sum (the rational curve's denominator) at u.
    double weightAt(double u) const;

    // Inserts u once (Boehm); the curve does not change. u must lie inside the knot range.
    void insertKnot(double u);
    // The same curve over the same domain with knots of full multiplicity at its ends, poles outside
    // it dropped: the form CAD formats expect.
    NurbsCurveData clampedToDomain() const;
};
