// Fused homogeneous de Boor evaluation with per-span hoisting.
#include "curve_evaluator.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Through a reference: a 32-byte vector passed by value would change the ABI without AVX.
void loadHomogeneous(const ControlPoint& p, CurveEvaluator::Lanes& out) {
    out = CurveEvaluator::Lanes{p.x * p.w, p.y * p.w, p.z * p.w, p.w};
}

} // namespace

bool CurveEvaluator::reset(const std::vector<double>& knots, int order, const std::vector<ControlPoint>& points,
                           bool closed) {
    knots_ = knots.data();
    knotCount_ = static_cast<int>(knots.size());
    points_ = points.data();
    pointCount_ = static_cast<int>(points.size());
    order_ = order;
    coefficientCount_ = closed ? pointCount_ + order : pointCount_;
    spanHint = 0;
    loadedSpan_ = -1;
    valid_ = order >= 1 && pointCount_ >= order && knotCount_ == coefficientCount_ + order;
    if (!valid_)
        return false;

    start_ = knots[order - 1];
    end_ = knots[coefficientCount_];
    clampedEnd_ = end_ == knots.back();
    lastSpan_ = -1;
    for (int s = coefficientCount_ - 1; s >= order - 1; --s) {
        if (knots[s] < knots[s + 1]) {
            lastSpan_ = s;
            break;
        }
    }
    valid_ = lastSpan_ >= 0;

    const auto k = static_cast<size_t>(order);
    const size_t alphas = k * (k - 1) / 2;
    window_.resize(k);
    work_.resize(k);
    lowKnot_.resize(alphas);
    knotSpan_.resize(alphas);
    alpha_.resize(alphas);
    return valid_;
}

// The search of NurbsCurve::findSpan: the first non-empty [t(i), t(i+1)) from spanHint holding u, else the
// end rule within knotEpsilon of the last knot.
int CurveEvaluator::findSpan(double u) {
    const double* t = knots_;
    for (int i = std::max(spanHint, 0); i < knotCount_ - 1; ++i) {
        if (t[i] <= u && u < t[i + 1]) {
            spanHint = i;
            return i;
        }
    }
    if (std::fabs(u - t[knotCount_ - 1]) <= knotEpsilon)
        return knotCount_ - order_;
    return -1;
}

void CurveEvaluator::loadSpan(int span) {
    const int k = order_;
    for (int r = 0; r < k; ++r) {
        int index = span - r;
        if (index >= pointCount_) // the wrapped points of a closed curve
            index -= pointCount_;
        loadHomogeneous(points_[index], window_[r]);
    }
    int j = 0;
    for (int m = k; m >= 2; --m) {
        for (int r = 0; r <= m - 2; ++r, ++j) {
            const int i = span - r;
            lowKnot_[j] = knots_[i];
            knotSpan_[j] = knots_[i + m - 1] - knots_[i];
        }
    }
    loadedSpan_ = span;
}

void CurveEvaluator::evaluate(double u, double& x, double& y, double& z) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    if (std::isnan(u)) {
        x = y = z = nan;
        return;
    }
    u = std::clamp(u, start_, end_);

    int s = findSpan(u);
    if (s < 0) { // a hint left past u by an earlier, larger parameter
        spanHint = 0;
        s = findSpan(u);
    }
    if (s < 0) { // only knots that are not ascending get here
        x = y = z = nan;
        return;
    }
    if (s >= coefficientCount_) {
        if (clampedEnd_) {
            // The end knot has full multiplicity: the curve ends on the last coefficient.
            const ControlPoint& last = points_[(coefficientCount_ - 1) % pointCount_];
            x = (last.x * last.w) / last.w;
            y = (last.y * last.w) / last.w;
            z = (last.z * last.w) / last.w;
            return;
        }
        s = lastSpan_;
    }
    s = std::max(s, order_ - 1); // keeps knots that are not ascending inside the arrays
    if (s != loadedSpan_)
        loadSpan(s);

    const int k = order_;
    const int alphas = static_cast<int>(alpha_.size());
    double* alpha = alpha_.data();
    const double* low = lowKnot_.data();
    const double* span = knotSpan_.data();
    for (int j = 0; j < alphas; ++j)
        alpha[j] = (u - low[j]) / span[j];

    Lanes* d = work_.data();
    std::copy(window_.begin(), window_.end(), d);
    int j = 0;
    for (int m = k; m >= 2; --m) {
        for (int r = 0; r <= m - 2; ++r, ++j) {
            const double a = alpha[j];
            d[r] = a * d[r] + (1.0 - a) * d[r + 1];
        }
    }
    x = d[0][0] / d[0][3];
    y = d[0][1] / d[0][3];
    z = d[0][2] / d[0][3];
}
