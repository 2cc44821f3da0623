// Fused homogeneous de Boor evaluation with per-span hoisting.
#include "geometry/curve_evaluator.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using Lanes = CurveEvaluator::Lanes;

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
// Codes of locate() besides a span index.
constexpr int NanPoint = -1;
constexpr int LastCoefficient = -2;

// Through a reference: a 32-byte vector passed by value would change the ABI without AVX.
void loadHomogeneous(const ControlPoint& p, Lanes& out) {
    out = Lanes{p.x * p.w, p.y * p.w, p.z * p.w, p.w};
}

void storePoint(const Lanes& h, ControlPoint& out) {
    // x·w, y·w and z·w over w; the fourth lane is w over itself and unused.
    const Lanes q = h / Lanes{h[3], h[3], h[3], h[3]};
    out.x = q[0];
    out.y = q[1];
    out.z = q[2];
    out.nx = out.ny = out.nz = 0.0;
    out.w = 1.0;
}

} // namespace

bool CurveEvaluator::reset(const std::vector<double>& knots, int order,
                           const std::vector<ControlPoint>& points, bool closed) {
    knots_ = knots.data();
    knotCount_ = static_cast<int>(knots.size());
    points_ = points.data();
    pointCount_ = static_cast<int>(points.size());
    order_ = order;
    coefficientCount_ = closed ? pointCount_ + order : pointCount_;
    spanHint = 0;
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

// The span whose recursion gives the point at u clamped into the domain, or a code.
inline int CurveEvaluator::locate(double u) {
    if (std::isnan(u))
        return NanPoint;
    u = std::clamp(u, start_, end_);
    int s = findSpan(u);
    if (s < 0) { // a hint left past u by an earlier, larger parameter
        spanHint = 0;
        s = findSpan(u);
    }
    if (s < 0) // only knots that are not ascending get here
        return NanPoint;
    if (s >= coefficientCount_) {
        // The last coefficient is the curve's end only where the end knot has full multiplicity; at the
        // end of an open or closed domain the recursion in the last non-empty span gives it.
        if (clampedEnd_)
            return LastCoefficient;
        s = lastSpan_;
    }
    return std::max(s, order_ - 1); // keeps knots that are not ascending inside the arrays
}

void CurveEvaluator::endPoint(int code, ControlPoint& out) const {
    if (code == LastCoefficient) {
        Lanes h;
        loadHomogeneous(points_[(coefficientCount_ - 1) % pointCount_], h);
        storePoint(h, out);
    } else {
        out = ControlPoint(notANumber, notANumber, notANumber);
    }
}

// One order known at compile time: the loops unroll, the span data and the triangle live in registers, and
// the alphas are divided two at a time, the native SSE2 width (a padding slot divides 0 by 1). Building
// the pairs from a 16-byte vector keeps u in registers; a broadcast into four lanes went through memory
// and stalled the divisions.
template <int K> void CurveEvaluator::evaluateFixed(const double* us, int count, ControlPoint* out) {
    constexpr int alphas = K * (K - 1) / 2;
    constexpr int slots = alphas > 0 ? alphas : 1;
    typedef double Pair __attribute__((vector_size(16)));
    constexpr int pairs = (slots + 1) / 2;
    Lanes window[K];
    Pair low[pairs] = {}, span[pairs];
    for (Pair& s : span)
        s = Pair{1.0, 1.0};
    int loaded = -1;

    for (int n = 0; n < count; ++n) {
        const int s = locate(us[n]);
        if (s < 0) {
            endPoint(s, out[n]);
            continue;
        }
        const double u = std::clamp(us[n], start_, end_);
        if (s != loaded) {
#pragma GCC unroll 64
            for (int r = 0; r < K; ++r) {
                int index = s - r;
                if (index >= pointCount_) // the wrapped points of a closed curve
                    index -= pointCount_;
                loadHomogeneous(points_[index], window[r]);
            }
            int j = 0;
#pragma GCC unroll 64
            for (int m = K; m >= 2; --m) {
#pragma GCC unroll 64
                for (int r = 0; r <= m - 2; ++r, ++j) {
                    const int i = s - r;
                    low[j / 2][j % 2] = knots_[i];
                    span[j / 2][j % 2] = knots_[i + m - 1] - knots_[i];
                }
            }
            loaded = s;
        }

        Pair alpha[pairs], rest[pairs];
        const Pair uu = {u, u};
#pragma GCC unroll 64
        for (int b = 0; b < pairs; ++b) {
            alpha[b] = (uu - low[b]) / span[b];
            rest[b] = 1.0 - alpha[b];
        }
        Lanes d[K];
#pragma GCC unroll 64
        for (int r = 0; r < K; ++r)
            d[r] = window[r];
        int j = 0;
#pragma GCC unroll 64
        for (int m = K; m >= 2; --m) {
#pragma GCC unroll 64
            for (int r = 0; r <= m - 2; ++r, ++j)
                d[r] = alpha[j / 2][j % 2] * d[r] + rest[j / 2][j % 2] * d[r + 1];
        }
        storePoint(d[0], out[n]);
    }
}

// Any order: the same steps over heap buffers.
void CurveEvaluator::evaluateAnyOrder(const double* us, int count, ControlPoint* out) {
    const int k = order_;
    const int alphas = k * (k - 1) / 2;
    window_.resize(k);
    work_.resize(k);
    lowKnot_.resize(alphas);
    knotSpan_.resize(alphas);
    alpha_.resize(alphas);
    int loaded = -1;

    for (int n = 0; n < count; ++n) {
        const int s = locate(us[n]);
        if (s < 0) {
            endPoint(s, out[n]);
            continue;
        }
        const double u = std::clamp(us[n], start_, end_);
        if (s != loaded) {
            for (int r = 0; r < k; ++r) {
                int index = s - r;
                if (index >= pointCount_)
                    index -= pointCount_;
                loadHomogeneous(points_[index], window_[r]);
            }
            int j = 0;
            for (int m = k; m >= 2; --m) {
                for (int r = 0; r <= m - 2; ++r, ++j) {
                    const int i = s - r;
                    lowKnot_[j] = knots_[i];
                    knotSpan_[j] = knots_[i + m - 1] - knots_[i];
                }
            }
            loaded = s;
        }
        for (int j = 0; j < alphas; ++j)
            alpha_[j] = (u - lowKnot_[j]) / knotSpan_[j];
        Lanes* d = work_.data();
        std::copy(window_.begin(), window_.end(), d);
        int j = 0;
        for (int m = k; m >= 2; --m) {
            for (int r = 0; r <= m - 2; ++r, ++j) {
                const double a = alpha_[j];
                d[r] = a * d[r] + (1.0 - a) * d[r + 1];
            }
        }
        storePoint(d[0], out[n]);
    }
}

void CurveEvaluator::evaluatePoints(const double* us, int count, ControlPoint* out) {
    if (!valid_) {
        for (int n = 0; n < count; ++n)
            out[n] = ControlPoint(notANumber, notANumber, notANumber);
        return;
    }
    switch (order_) {
    case 1:
        return evaluateFixed<1>(us, count, out);
    case 2:
        return evaluateFixed<2>(us, count, out);
    case 3:
        return evaluateFixed<3>(us, count, out);
    case 4:
        return evaluateFixed<4>(us, count, out);
    case 5:
        return evaluateFixed<5>(us, count, out);
    case 6:
        return evaluateFixed<6>(us, count, out);
    case 7:
        return evaluateFixed<7>(us, count, out);
    case 8:
        return evaluateFixed<8>(us, count, out);
    default:
        return evaluateAnyOrder(us, count, out);
    }
}

void CurveEvaluator::evaluate(double u, double& x, double& y, double& z) {
    ControlPoint p;
    evaluatePoints(&u, 1, &p);
    x = p.x;
    y = p.y;
    z = p.z;
}
