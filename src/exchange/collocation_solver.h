// Interpolation in a spline space: the coefficients whose spline takes given values at given points.
#pragma once

#include <cstddef>
#include <vector>

// Factors the collocation matrix of the space at the points once, then solves for any number of
// right-hand sides. The points must increase and satisfy Schoenberg-Whitney (point i inside the
// support of function i), as the Greville abscissae of a space without inner knots of multiplicity
// above the degree do; the matrix is then totally positive and banded, and elimination without
// pivoting is stable.
class CollocationSolver {
public:
    // False when the points do not fit the space (wrong count, a point outside the band of its
    // function, a vanishing pivot).
    bool factor(const std::vector<double>& knots, int degree, const std::vector<double>& points);
    int size() const { return n_; }
    // Replaces n values (each `lanes` doubles, consecutive values `stride` doubles apart) by the
    // coefficients.
    void solve(double* values, int lanes, std::ptrdiff_t stride) const;

private:
    double& at(int row, int column) {
        return band_[static_cast<std::size_t>(row) * width_ + column - row + p_];
    }
    double at(int row, int column) const {
        return band_[static_cast<std::size_t>(row) * width_ + column - row + p_];
    }

    int n_ = 0;
    int p_ = 0;
    int width_ = 0;
    std::vector<double> band_; // row i holds columns i - p .. i + p: L below the diagonal, U from it
};
