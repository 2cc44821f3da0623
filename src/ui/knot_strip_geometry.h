// Where the knot strip draws: parameters across, basis function values up, in widget pixels.
#pragma once

#include "geometry/basis_function_samples.h"

struct KnotStripGeometry {
    // x of the first and the last knot; y of the value 0 (the parameter line) and of the value 1.
    double left = 0.0, right = 0.0;
    double baseline = 0.0, top = 0.0;
    double rangeStart = 0.0, rangeEnd = 0.0;

    // A range of no length maps every parameter to left, and every x to rangeStart.
    double xAt(double u) const;
    double parameterAt(double x) const;
    double yAt(double value) const;

    // The plot of a strip width by height pixels over the knots from rangeStart to rangeEnd.
    static KnotStripGeometry of(int width, int height, double rangeStart, double rangeEnd);
};

// The basis function whose plotted line (its samples joined, left out where the function is 0) passes
// nearest the point (x, y), when it passes within reach pixels of it; -1 for none.
int functionNear(const BasisFunctionSamples& samples, const KnotStripGeometry& geometry, double x, double y,
                 double reach);
