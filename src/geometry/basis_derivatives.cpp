// Non-zero B-spline basis functions at a parameter and their derivatives, for any order and knots.
#include "geometry/basis_derivatives.h"

#include <cmath>

double BasisDerivatives::value(int derivative, int i) const {
    const int first = span - order + 1;
    if (span < 0 || derivative < 0 || derivative > maxOrder || i < first || i > span)
        return 0.0;
    return values[static_cast<size_t>(derivative * order + (i - first))];
}

int findBasisSpan(const std::vector<double>& knots, double u) {
    const int count = static_cast<int>(knots.size());
    if (count < 2 || !(u >= knots.front() && u <= knots.back()))
        return -1;
    int last = -1;
    for (int s = 0; s < count - 1; ++s) {
        if (!(knots[s] < knots[s + 1]))
            continue;
        if (u < knots[s + 1])
            return s;
        last = s;
    }
    return last; // u is the last knot
}

BasisDerivatives evaluateBasisDerivatives(const std::vector<double>& knots, int order, int span, double u,
                                          int maxOrder) {
    BasisDerivatives result;
    const int last = static_cast<int>(knots.size()) - 1; // index of the last knot
    if (order < 1 || span < 0 || span >= last || maxOrder < 0)
        return result;
    const int p = order - 1; // degree
    result.order = order;
    result.span = span;
    result.maxOrder = maxOrder;
    result.values.assign(static_cast<size_t>((maxOrder + 1) * order), 0.0);
    const double* t = knots.data();
    // Function i at local index l = i - (span - p); it exists at degree q when 0 <= i and i + q + 1 <= last.
    const auto exists = [&](int i, int q) { return i >= 0 && i + q + 1 <= last; };

    // table[q][l] = N(span - p + l) of degree q; non-zero only for l >= p - q.
    std::vector<double> table(static_cast<size_t>(order * order), 0.0);
    const auto at = [&](int q, int l) -> double& { return table[static_cast<size_t>(q * order + l)]; };
    at(0, p) = 1.0;
    for (int q = 1; q <= p; ++q) {
        for (int l = p - q; l <= p; ++l) {
            const int i = span - p + l;
            if (!exists(i, q))
                continue;
            double value = 0.0;
            const double left = t[i + q] - t[i];
            if (left != 0.0)
                value += (u - t[i]) / left * at(q - 1, l);
            const double right = t[i + q + 1] - t[i + 1];
            if (right != 0.0 && l < p)
                value += (t[i + q + 1] - u) / right * at(q - 1, l + 1);
            at(q, l) = value;
        }
    }
    for (int l = 0; l <= p; ++l)
        result.values[static_cast<size_t>(l)] = at(p, l);

    // The d-th derivative: from degree p - d, d steps of the derivative rule up to degree p.
    std::vector<double> work(static_cast<size_t>(order));
    for (int d = 1; d <= maxOrder && d <= p; ++d) {
        for (int l = 0; l <= p; ++l)
            work[l] = at(p - d, l);
        for (int q = p - d + 1; q <= p; ++q) {
            // Ascending l: work[l + 1] still holds degree q - 1 when work[l] is replaced.
            for (int l = p - q; l <= p; ++l) {
                const int i = span - p + l;
                double value = 0.0;
                if (exists(i, q)) {
                    const double left = t[i + q] - t[i];
                    if (left != 0.0)
                        value += work[l] / left;
                    const double right = t[i + q + 1] - t[i + 1];
                    if (right != 0.0 && l < p)
                        value -= work[l + 1] / right;
                    value *= q;
                }
                work[l] = value;
            }
        }
        for (int l = 0; l <= p; ++l)
            result.values[static_cast<size_t>(d * order + l)] = work[l];
    }
    return result;
}
