// Evaluates a rational B-spline in one de Boor pass over homogeneous points (x·w, y·w, z·w, w).
#pragma once

#include "geometry/control_point.h"

#include <vector>

// The same arithmetic as three scalar evaluations of x·w, y·w and z·w over w, done once for all four
// components: every component sees the same alphas and the same operations in the same order, so the
// results are the very same doubles. Work that depends only on the span (the knot differences, the k
// homogeneous coefficients) is redone only when the span changes.
//
// Consecutive parameters in one span go through the recursion together, one per vector slot: two with
// SSE2, four with AVX where the processor has it (chosen at run time; the build stays baseline x86-64).
// The k(k-1)/2 alpha divisions per point bound high orders, and one vector division costs the same for two
// or four slots. Orders up to 8 run through code unrolled for their order; any other order shares the span
// loading and the batch loop with them. Nanoseconds per point on a 2-core AMD EPYC under a load of 4 to 7,
// medians of 9 runs, against one point at a time across the four components (the previous pass) and
// against OCCT 7.6's adaptor on the same curve, in the same runs (bench/curve_bench):
//   order            2     3     4     5     6     7     8    10
//   one point      5.1   7.0  10.7  15.9  25.6  36.5  44.9   145
//   SSE2 batches   3.6   5.8   9.4  15.1  21.6  31.3  41.4   114
//   AVX batches    2.3   3.5   5.0   7.3  10.7  15.2  20.5    58
//   OCCT          20.5  21.2  21.7  22.1  22.9  23.3  24.8  27.5
// A single evaluate() costs about what it did: a parameter alone in its span keeps the one-point layout.
class CurveEvaluator {
public:
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
    // and no normal.
    void evaluatePoints(const double* us, int count, ControlPoint* out);

    // Whether this processor runs the four-slot AVX batches.
    static bool avxAvailable();

    int spanHint = 0;
    double knotEpsilon = 1e-8;
    // Four-slot batches where available; tests and benchmarks clear it to run the SSE2 batches. Both give
    // the same doubles.
    bool useAvx = avxAvailable();

private:
    // Two and four doubles. GCC/Clang vector extensions; never passed by value, since a 32-byte vector
    // changes the calling convention between SSE2 and AVX code.
    typedef double Pair __attribute__((vector_size(16)));
    typedef double Quad __attribute__((vector_size(32)));

    int findSpan(double u);
    int locate(double u);
    void endPoint(int code, ControlPoint& out) const;
    template <int K, int Width> void evaluateBatches(const double* us, int count, ControlPoint* out);
    template <int K> void evaluatePairs(const double* us, int count, ControlPoint* out);
#if defined(__x86_64__) || defined(__i386__)
    template <int K>
    __attribute__((target("avx"))) void evaluateQuads(const double* us, int count, ControlPoint* out);
#endif

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

    // Span data and scratch of the code for any order, kept between passes.
    std::vector<Pair> pairBuffer_;
    std::vector<Quad> quadBuffer_;
};
