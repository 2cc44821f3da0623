// Evaluates a rational B-spline in one de Boor pass over homogeneous points (x·w, y·w, z·w, w).
#pragma once

#include "geometry/control_point.h"

#include <vector>

// The same arithmetic as three scalar evaluations of x·w, y·w and z·w over w, done once for all four
// lanes: every lane sees the same alphas and the same operations in the same order, so the results are
// the very same doubles. Work that depends only on the span (the knot differences, the k homogeneous
// coefficients) is redone only when the span changes.
class CurveEvaluator {
public:
    // Four lanes per coefficient. A GCC/Clang vector extension: without AVX the compiler splits it into
    // SSE2 halves, so the default build needs no machine-specific flags. Never passed by value.
    typedef double Lanes __attribute__((vector_size(32)));

    // Prepares passes over points with the given knots and order; a closed curve continues past its last
    // point with its first `order` points again. Returns false when there is no curve to evaluate: an
    // order below 1, fewer points than the order, a knot count that does not fit, or an empty domain.
    // knots and points must stay unchanged while the evaluator is used.
    bool reset(const std::vector<double>& knots, int order, const std::vector<ControlPoint>& points,
               bool closed);
    bool valid() const { return valid_; }

    // The domain [t(k-1), t(count-k)]; 0 when there is no curve.
    double domainStart() const { return valid_ ? start_ : 0.0; }
    double domainEnd() const { return valid_ ? end_ : 0.0; }

    // The curve point at u. The span search starts at spanHint, so a pass over increasing parameters
    // costs one search step per sample. u is clamped into the domain; NaN gives NaN. At the end of an
    // unclamped domain the point comes from the recursion in the last non-empty span, not from the last
    // coefficient (which is a control point off the curve there). Requires valid().
    void evaluate(double u, double& x, double& y, double& z);
    // The same for a run of parameters, typically increasing: out[i] gets the point at us[i], with weight 1
    // and no normal. Orders up to 8 run through code unrolled for their order.
    void evaluatePoints(const double* us, int count, ControlPoint* out);

    int spanHint = 0;
    double knotEpsilon = 1e-8;

private:
    int findSpan(double u);
    int locate(double u);
    void endPoint(int code, ControlPoint& out) const;
    template <int K> void evaluateFixed(const double* us, int count, ControlPoint* out);
    void evaluateAnyOrder(const double* us, int count, ControlPoint* out);

    const double* knots_ = nullptr;
    int knotCount_ = 0;
    const ControlPoint* points_ = nullptr;
    int pointCount_ = 0;
    int order_ = 0;
    int coefficientCount_ = 0; // points of the pass: n, or n + order when closed
    int lastSpan_ = -1;        // the last non-empty span of the domain
    bool clampedEnd_ = false;  // the domain end is a knot of multiplicity >= order
    bool valid_ = false;
    double start_ = 0.0, end_ = 0.0;

    // Buffers of the code for any order, kept between passes.
    std::vector<Lanes> window_;
    std::vector<Lanes> work_;
    std::vector<double> lowKnot_;
    std::vector<double> knotSpan_;
    std::vector<double> alpha_;
};
