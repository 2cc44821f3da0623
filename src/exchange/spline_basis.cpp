// B-spline basis: the span search and the Cox-de Boor recursion in its triangular form.
#include "exchange/spline_basis.h"

#include <algorithm>

int findSpan(const std::vector<double>& knots, int degree, double u) {
    const int count = static_cast<int>(knots.size()) - degree - 1;
    const double start = knots[degree];
    const double end = knots[count];
    if (!(u > start))
        u = start;
    if (u >= end) {
        int s = count - 1;
        while (s > degree && !(knots[s] < knots[s + 1]))
            --s;
        return s;
    }
    // The last index in [degree, count - 1] whose knot is <= u.
    const auto first = knots.begin() + degree;
    const auto last = knots.begin() + count;
    const auto above = std::upper_bound(first, last, u);
    return static_cast<int>(above - knots.begin()) - 1;
}

void basisFunctions(const std::vector<double>& knots, int degree, int span, double u, double* values) {
    // left[j] = u - t(span + 1 - j), right[j] = t(span + j) - u.
    double left[128], right[128];
    std::vector<double> bigLeft, bigRight;
    double* l = left;
    double* r = right;
    if (degree >= 128) {
        bigLeft.resize(degree + 1);
        bigRight.resize(degree + 1);
        l = bigLeft.data();
        r = bigRight.data();
    }
    values[0] = 1.0;
    for (int j = 1; j <= degree; ++j) {
        l[j] = u - knots[span + 1 - j];
        r[j] = knots[span + j] - u;
        double saved = 0.0;
        for (int k = 0; k < j; ++k) {
            const double temp = values[k] / (r[k + 1] + l[j - k]);
            values[k] = saved + r[k + 1] * temp;
            saved = l[j - k] * temp;
        }
        values[j] = saved;
    }
}

std::vector<double> grevilleAbscissae(const std::vector<double>& knots, int degree) {
    const int count = static_cast<int>(knots.size()) - degree - 1;
    std::vector<double> at(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i) {
        double sum = 0.0;
        for (int j = 1; j <= degree; ++j)
            sum += knots[i + j];
        at[i] = sum / degree;
    }
    return at;
}
