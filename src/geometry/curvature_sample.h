// Curvature of a curve at a parameter, and along the curve's drawn samples (for a curvature comb).
#pragma once

#include "geometry/control_point.h"
#include "geometry/curve_derivatives.h"

#include <vector>

class NurbsCurve;

// The curvature vector is curvature times normal and points to the centre of the osculating circle. Where
// the curve is straight or its velocity vanishes, curvature is 0 and normal and curvature vector are zero.
struct CurvatureSample {
    double parameter = 0.0;
    ControlPoint point;
    double curvature = 0.0; // 1 / radius of the osculating circle
    ControlPoint normal;    // unit principal normal
    ControlPoint curvatureVector;
    bool valid = false;
};

// From the derivatives at a point: curvature |C' x C''| / |C'|^3 and curvature vector
// ((C' x C'') x C') / |C'|^4, the part of C'' across the tangent over |C'|^2.
CurvatureSample measureCurvature(const CurveDerivatives& derivatives);

// At u (clamped into the drawn domain).
CurvatureSample sampleCurvatureAt(NurbsCurve& curve, double u);

// At each parameter of the curve's sample sequence, with the drawn sample as point, so that a comb starts
// exactly on the drawn line; empty when the curve draws no line.
std::vector<CurvatureSample> sampleCurvature(NurbsCurve& curve);
