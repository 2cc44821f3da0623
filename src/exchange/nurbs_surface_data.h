// An exact tensor-product NURBS surface as exchange formats hold it: degrees, clamped knot vectors and
// a grid of weighted poles.
#pragma once

#include "geometry/control_point.h"

#include <vector>

struct NurbsSurfaceData {
    int uDegree = 0;
    int vDegree = 0;
    std::vector<double> uKnots; // uCount + uDegree + 1 values, clamped: the domain is first to last knot
    std::vector<double> vKnots;
    int uCount = 0;
    int vCount = 0;
    std::vector<ControlPoint> poles; // pole (i, j) at i * vCount + j; positions un-weighted, weight in w

    const ControlPoint& pole(int i, int j) const { return poles[static_cast<std::size_t>(i) * vCount + j]; }
    ControlPoint& pole(int i, int j) { return poles[static_cast<std::size_t>(i) * vCount + j]; }
    double uStart() const { return uKnots.front(); }
    double uEnd() const { return uKnots.back(); }
    double vStart() const { return vKnots.front(); }
    double vEnd() const { return vKnots.back(); }

    bool rational() const;
    // The surface point at (u, v), each clamped into its domain.
    ControlPoint pointAt(double u, double v) const;
};
