// The B-spline basis functions that do not vanish at a parameter, and their derivatives.
#pragma once

#include <vector>

// For a span s (t(s) <= u < t(s+1), non-empty) and order k, the functions N(i,k) that can be non-zero at u
// are i = s - k + 1 to s. value(d, i) is the d-th derivative of N(i,k) at u; 0 for any other i, for an i
// below 0 or past the last function, and for d above the degree.
struct BasisDerivatives {
    int order = 0;
    int span = -1;              // -1: u lies outside the knots, every function is 0 there
    int maxOrder = 0;           // highest derivative computed
    std::vector<double> values; // (maxOrder + 1) rows of `order` entries, i = span - order + 1 onwards

    double value(int derivative, int i) const;
};

// The non-empty knot interval [t(s), t(s+1)) holding u; at the last knot, the last non-empty interval
// (so the functions there are limits from the left); -1 outside [t(0), t(last)], for NaN, or when no
// interval is non-empty.
int findBasisSpan(const std::vector<double>& knots, double u);

// Cox-de Boor over the k non-zero functions at u in span s, then the derivative rule
// N'(i,q) = q (N(i,q-1) / (t(i+q) - t(i)) - N(i+1,q-1) / (t(i+q+1) - t(i+1))) applied maxOrder times;
// a term whose knot difference is 0 is 0.
BasisDerivatives evaluateBasisDerivatives(const std::vector<double>& knots, int order, int span, double u,
                                          int maxOrder);
