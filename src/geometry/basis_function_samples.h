// The basis functions N(i,k) of a curve's control points sampled over its whole knot range, for plotting.
#pragma once

#include <vector>

class NurbsCurve;

// values[i][j] is N(i,k) at parameters[j]. A closed curve has a function per wrapped point, so its first
// `order` control points own two functions each; controlPoints[i] names the point of function i.
struct BasisFunctionSamples {
    std::vector<double> parameters;
    std::vector<std::vector<double>> values;
    std::vector<int> controlPoints;
};

// N(i,k)(u) for every i = 0 to knot count - order - 1; all 0 outside [t(0), t(last)]. Each function is
// taken continuous from the right, except at the last knot, from the left.
std::vector<double> evaluateBasisFunctions(const std::vector<double>& knots, int order, double u);

// sampleCount parameters spread evenly from the first knot to the last, both included; empty when the
// curve has fewer points than its order or sampleCount is below 2.
BasisFunctionSamples sampleBasisFunctions(NurbsCurve& curve, int sampleCount);
