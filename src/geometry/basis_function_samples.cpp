// Every basis function of a curve at a parameter, and sampled over the knot range.
#include "geometry/basis_function_samples.h"

#include "geometry/basis_derivatives.h"
#include "geometry/nurbs_curve.h"

#include <algorithm>

std::vector<double> evaluateBasisFunctions(const std::vector<double>& knots, int order, double u) {
    const int count = static_cast<int>(knots.size()) - order;
    std::vector<double> values(static_cast<size_t>(std::max(count, 0)), 0.0);
    if (order < 1 || count < 1)
        return values;
    const BasisDerivatives basis = evaluateBasisDerivatives(knots, order, findBasisSpan(knots, u), u, 0);
    if (basis.span < 0)
        return values;
    for (int i = std::max(basis.span - order + 1, 0); i <= basis.span && i < count; ++i)
        values[static_cast<size_t>(i)] = basis.value(0, i);
    return values;
}

BasisFunctionSamples sampleBasisFunctions(NurbsCurve& curve, int sampleCount) {
    BasisFunctionSamples samples;
    curve.ensureKnots();
    if (!curve.hasCurve() || sampleCount < 2)
        return samples;
    const std::vector<double>& knots = curve.knots;
    const int count = static_cast<int>(knots.size()) - curve.order;
    const int n = static_cast<int>(curve.controlPoints.size());
    samples.values.assign(static_cast<size_t>(count), std::vector<double>(static_cast<size_t>(sampleCount)));
    for (int i = 0; i < count; ++i)
        samples.controlPoints.push_back(i % n);
    const double first = knots.front(), last = knots.back();
    for (int j = 0; j < sampleCount; ++j) {
        // The last one exactly on the last knot, not one rounding short of it.
        const double u = j == sampleCount - 1 ? last : first + (last - first) * j / (sampleCount - 1);
        samples.parameters.push_back(u);
        const std::vector<double> values = evaluateBasisFunctions(knots, curve.order, u);
        for (int i = 0; i < count; ++i)
            samples.values[static_cast<size_t>(i)][static_cast<size_t>(j)] = values[static_cast<size_t>(i)];
    }
    return samples;
}
