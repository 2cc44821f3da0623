// B-spline basis functions over a knot vector: span search, the non-zero functions at a parameter, and
// the Greville abscissae, where interpolation is well posed.
#pragma once

#include <vector>

// The span s of the domain [knots[degree], knots[count]] (count = knots.size() - degree - 1) with
// knots[s] <= u < knots[s + 1]; u is clamped into the domain, and at its end the last non-empty
// span is taken. Requires degree >= 0 and a domain that is not empty.
int findSpan(const std::vector<double>& knots, int degree, double u);

// The degree + 1 basis functions that do not vanish on span s, N(s - degree) .. N(s), at u.
void basisFunctions(const std::vector<double>& knots, int degree, int span, double u, double* values);

// One abscissa per basis function: the mean of its degree inner knots. Degree >= 1.
std::vector<double> grevilleAbscissae(const std::vector<double>& knots, int degree);
