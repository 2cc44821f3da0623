// Banded LU of a B-spline collocation matrix, without pivoting.
#include "exchange/collocation_solver.h"

#include "exchange/spline_basis.h"

#include <algorithm>
#include <cmath>

bool CollocationSolver::factor(const std::vector<double>& knots, int degree,
                               const std::vector<double>& points) {
    n_ = static_cast<int>(points.size());
    p_ = degree;
    width_ = 2 * degree + 1;
    if (degree < 0 || n_ != static_cast<int>(knots.size()) - degree - 1 || n_ < 1)
        return false;
    band_.assign(static_cast<std::size_t>(n_) * width_, 0.0);
    std::vector<double> basis(degree + 1);
    for (int i = 0; i < n_; ++i) {
        const int span = findSpan(knots, degree, points[i]);
        basisFunctions(knots, degree, span, points[i], basis.data());
        for (int r = 0; r <= degree; ++r) {
            const int column = span - degree + r;
            if (basis[r] == 0.0)
                continue;
            if (column < i - degree || column > i + degree)
                return false;
            at(i, column) = basis[r];
        }
    }
    for (int k = 0; k < n_; ++k) {
        const double pivot = at(k, k);
        if (!(std::fabs(pivot) > 1e-300))
            return false;
        const int lastRow = std::min(k + p_, n_ - 1);
        for (int r = k + 1; r <= lastRow; ++r) {
            const double factor = at(r, k) / pivot;
            if (factor == 0.0)
                continue;
            at(r, k) = factor;
            for (int c = k + 1; c <= lastRow; ++c)
                at(r, c) -= factor * at(k, c);
        }
    }
    return true;
}

void CollocationSolver::solve(double* values, int lanes, std::ptrdiff_t stride) const {
    auto value = [&](int i) { return values + i * stride; };
    for (int r = 1; r < n_; ++r) {
        for (int k = std::max(0, r - p_); k < r; ++k) {
            const double factor = at(r, k);
            if (factor == 0.0)
                continue;
            for (int l = 0; l < lanes; ++l)
                value(r)[l] -= factor * value(k)[l];
        }
    }
    for (int k = n_ - 1; k >= 0; --k) {
        const int lastColumn = std::min(k + p_, n_ - 1);
        for (int c = k + 1; c <= lastColumn; ++c) {
            const double u = at(k, c);
            for (int l = 0; l < lanes; ++l)
                value(k)[l] -= u * value(c)[l];
        }
        const double pivot = at(k, k);
        for (int l = 0; l < lanes; ++l)
            value(k)[l] /= pivot;
    }
}
