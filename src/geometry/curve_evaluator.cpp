// Fused homogeneous de Boor evaluation, batched over the parameters of a span, with per-span hoisting.
#include "geometry/curve_evaluator.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
// Codes of locate() besides a span index.
constexpr int NanPoint = -1;
constexpr int LastCoefficient = -2;
// Orders up to this one run through code unrolled for their order.
constexpr int maxFixedOrder = 8;

constexpr int alphaCount(int k) {
    return k * (k - 1) / 2;
}

} // namespace

// Inlined into the SSE2 and the AVX callers, so that each gets the body compiled for its own instruction
// set. The span search too: SSE2 code called from AVX code runs with the upper halves of the vector
// registers in use, and on the AMD EPYC measured that left later SSE2 code 1.7 to 2.5 times slower.
#define KNOTWORK_INLINE_KERNEL inline __attribute__((always_inline))

bool CurveEvaluator::avxAvailable() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    return available;
#else
    return false;
#endif
}

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
KNOTWORK_INLINE_KERNEL int CurveEvaluator::findSpan(double u) {
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
KNOTWORK_INLINE_KERNEL int CurveEvaluator::locate(double u) {
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

KNOTWORK_INLINE_KERNEL void CurveEvaluator::endPoint(int code, ControlPoint& out) const {
    if (code == LastCoefficient) {
        const ControlPoint& p = points_[(coefficientCount_ - 1) % pointCount_];
        const double w = p.w;
        out = ControlPoint(p.x * w / w, p.y * w / w, p.z * w / w);
    } else {
        out = ControlPoint(notANumber, notANumber, notANumber);
    }
}

// ---- The batch kernel ----
//
// Written once for a batch width of two (SSE2) and four (AVX) parameters and for a fixed order K (the
// loops unroll and the span data stays at indices known when compiling) or any order (K = 0).

#define KNOTWORK_INLINE_KERNEL inline __attribute__((always_inline))

// The span arrays of a pass are filled when its first span is loaded, before any batch reads them (the
// loaded span starts at -1); GCC cannot follow that through the inlined kernel.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace {

// One double per parameter of a batch. Declared 16-byte aligned: baseline code gets no more from the
// heap or the stack, and AVX loads need none. Used only inside templates on the width: a vector type as a
// template argument would lose that alignment.
template <int Width> struct BatchSlots;
template <> struct BatchSlots<2> { typedef double Vector __attribute__((vector_size(16))); };
template <> struct BatchSlots<4> { typedef double Vector __attribute__((vector_size(32), aligned(16))); };

// Every slot holding x. Written slot by slot: adding x to a zero vector would turn -0 into +0.
template <int Width> KNOTWORK_INLINE_KERNEL void fill(typename BatchSlots<Width>::Vector& v, double x) {
    for (int i = 0; i < Width; ++i)
        v[i] = x;
}

// What a batch reads of its span: the k homogeneous coefficients c(s - r), r = 0 to k - 1, as four rows
// (x·w, y·w, z·w, w) with the value in every slot, and for each alpha of the recursion the knot it starts
// from and the knot interval it divides by.
template <int Width> struct SpanData {
    typedef typename BatchSlots<Width>::Vector Vector;
    Vector* window; // 4k
    Vector* low;    // one per alpha
    Vector* span;   // one per alpha
    Vector* alpha;  // scratch of a batch: the alphas and one minus them
    Vector* rest;
    Vector* work; // k
};

// Loads span s of the points (wrapped past the last one for a closed curve).
template <int K, int Width>
KNOTWORK_INLINE_KERNEL void loadSpan(const SpanData<Width>& data, int s, int k, const ControlPoint* points,
                                     int pointCount, const double* knots) {
    if constexpr (K > 0)
        k = K;
#pragma GCC unroll 16
    for (int r = 0; r < k; ++r) {
        int index = s - r;
        if (index >= pointCount)
            index -= pointCount;
        const ControlPoint& p = points[index];
        fill<Width>(data.window[r], p.x * p.w);
        fill<Width>(data.window[k + r], p.y * p.w);
        fill<Width>(data.window[2 * k + r], p.z * p.w);
        fill<Width>(data.window[3 * k + r], p.w);
    }
    int j = 0;
#pragma GCC unroll 16
    for (int m = k; m >= 2; --m) {
#pragma GCC unroll 16
        for (int r = 0; r <= m - 2; ++r, ++j) {
            const int i = s - r;
            fill<Width>(data.low[j], knots[i]);
            fill<Width>(data.span[j], knots[i + m - 1] - knots[i]);
        }
    }
}

// The recursion for the parameters in the slots of us, all in the loaded span: result gets the four
// homogeneous rows of their points. The alphas are shared by the four rows; each row's triangle is the
// scalar one, slot by slot.
template <int K, int Width>
KNOTWORK_INLINE_KERNEL void evaluateBatch(const SpanData<Width>& data, int k,
                                          const typename BatchSlots<Width>::Vector& us,
                                          typename BatchSlots<Width>::Vector* result) {
    if constexpr (K > 0)
        k = K;
    const int alphas = alphaCount(k);
#pragma GCC unroll 32
    for (int j = 0; j < alphas; ++j) {
        data.alpha[j] = (us - data.low[j]) / data.span[j];
        data.rest[j] = 1.0 - data.alpha[j];
    }
#pragma GCC unroll 4
    for (int row = 0; row < 4; ++row) {
        typename BatchSlots<Width>::Vector* d = data.work;
#pragma GCC unroll 16
        for (int r = 0; r < k; ++r)
            d[r] = data.window[row * k + r];
        int j = 0;
#pragma GCC unroll 16
        for (int m = k; m >= 2; --m) {
#pragma GCC unroll 16
            for (int r = 0; r <= m - 2; ++r, ++j)
                d[r] = data.alpha[j] * d[r] + data.rest[j] * d[r + 1];
        }
        result[row] = d[0];
    }
}

// One parameter alone: the four homogeneous components share the slots of one vector (split in two by
// SSE2) and the alphas are divided Width at a time, far fewer divisions than a batch with one slot in use.
// Each component still sees the alphas and operations of the batch, so the doubles are the same. Reads the
// points and knots directly: loading a span for one point would cost more than the point.
template <int K, int Width>
KNOTWORK_INLINE_KERNEL void evaluateOnePoint(int s, double u, const ControlPoint* points, int pointCount,
                                             const double* knots, ControlPoint& out) {
    typedef typename BatchSlots<4>::Vector Point; // x·w, y·w, z·w, w
    typedef typename BatchSlots<Width>::Vector Vector;
    constexpr int groups = (std::max(alphaCount(K), 1) + Width - 1) / Width;
    Vector low[groups], span[groups];
#pragma GCC unroll 16
    for (int g = 0; g < groups; ++g) {
        fill<Width>(low[g], 0.0); // spare slots divide 0 by 1
        fill<Width>(span[g], 1.0);
    }
    int j = 0;
#pragma GCC unroll 16
    for (int m = K; m >= 2; --m) {
#pragma GCC unroll 16
        for (int r = 0; r <= m - 2; ++r, ++j) {
            const int i = s - r;
            low[j / Width][j % Width] = knots[i];
            span[j / Width][j % Width] = knots[i + m - 1] - knots[i];
        }
    }
    Vector uu;
    fill<Width>(uu, u);
    Vector alpha[groups], rest[groups];
#pragma GCC unroll 16
    for (int g = 0; g < groups; ++g) {
        alpha[g] = (uu - low[g]) / span[g];
        rest[g] = 1.0 - alpha[g];
    }

    Point d[K];
#pragma GCC unroll 16
    for (int r = 0; r < K; ++r) {
        int index = s - r;
        if (index >= pointCount)
            index -= pointCount;
        const ControlPoint& p = points[index];
        d[r] = Point{p.x * p.w, p.y * p.w, p.z * p.w, p.w};
    }
    j = 0;
#pragma GCC unroll 16
    for (int m = K; m >= 2; --m) {
#pragma GCC unroll 16
        for (int r = 0; r <= m - 2; ++r, ++j)
            d[r] = alpha[j / Width][j % Width] * d[r] + rest[j / Width][j % Width] * d[r + 1];
    }
    Point w;
    fill<4>(w, d[0][3]);
    const Point q = d[0] / w;
    out = ControlPoint(q[0], q[1], q[2]);
}

} // namespace

// A pass in batches of consecutive parameters that share a span, up to Width of them; a short batch
// repeats its first parameter in the spare slots. The pass leaves spanHint where locating every
// parameter in order would: a parameter is either located, or skips the search because it lies in the
// span the hint already names, where the search would find that span again and change nothing.
template <int K, int Width>
KNOTWORK_INLINE_KERNEL void CurveEvaluator::evaluateBatches(const double* us, int count, ControlPoint* out) {
    typedef typename BatchSlots<Width>::Vector Vector;
    const int k = K > 0 ? K : order_;
    const int alphas = std::max(alphaCount(k), 1);

    // A fixed order keeps everything on the stack; any other order uses a block kept between passes.
    constexpr int fixedOrder = K > 0 ? K : 1;
    constexpr int fixedAlphas = std::max(alphaCount(fixedOrder), 1);
    Vector fixedWindow[4 * fixedOrder], fixedLow[fixedAlphas], fixedSpan[fixedAlphas];
    Vector fixedAlpha[fixedAlphas], fixedRest[fixedAlphas], fixedWork[fixedOrder];
    SpanData<Width> data{fixedWindow, fixedLow, fixedSpan, fixedAlpha, fixedRest, fixedWork};
    if constexpr (K == 0) {
        // Sized by evaluatePoints, in baseline code.
        Vector* block;
        if constexpr (Width == 4)
            block = quadBuffer_.data();
        else
            block = pairBuffer_.data();
        data.window = block;
        data.work = block + 4 * k;
        data.low = data.work + k;
        data.span = data.low + alphas;
        data.alpha = data.span + alphas;
        data.rest = data.alpha + alphas;
    }

    // Besides a span or a code of locate(): the parameter at n is still to be located.
    constexpr int unlocated = -3;
    int loaded = -1; // the span in data
    int previous = -1;
    // Whether locating u would give span i and change nothing: the hint names i and u lies in
    // [t(i), t(i + 1)), inside the domain (never true for NaN).
    const auto locatedIn = [&](double u, int i) {
        return spanHint == i && u >= knots_[i] && u < knots_[i + 1];
    };
    int s = unlocated;
    for (int n = 0; n < count;) {
        if (s == unlocated)
            s = previous >= 0 && locatedIn(us[n], previous) ? previous : locate(us[n]);
        if (s < 0) {
            endPoint(s, out[n]);
            ++n;
            s = unlocated;
            continue;
        }

        Vector batch;
        int size = 1;
        int next = unlocated;
        bool full = n + Width <= count;
        for (int i = 0; i < Width && full; ++i)
            full = locatedIn(us[n + i], s);
        if (full) {
            // The usual case in a long run: one load, no clamp, no search.
            __builtin_memcpy(&batch, us + n, sizeof batch);
            size = Width;
        } else {
            // The parameters that follow in the same span; the first one of another span (or a code) is
            // kept for the next batch.
            fill<Width>(batch, std::clamp(us[n], start_, end_));
            while (n + size < count) {
                next = locate(us[n + size]);
                if (next != s || size == Width)
                    break;
                batch[size] = std::clamp(us[n + size], start_, end_);
                ++size;
                next = unlocated;
            }
        }
        previous = s;

        if constexpr (K > 0) {
            if (size == 1) {
                // Alone in its span (a single evaluate, or a span a sparse run crosses in one step).
                evaluateOnePoint<K, Width>(s, batch[0], points_, pointCount_, knots_, out[n]);
                ++n;
                s = next;
                continue;
            }
        }
        if (s != loaded) {
            loadSpan<K, Width>(data, s, k, points_, pointCount_, knots_);
            loaded = s;
        }
        Vector h[4];
        evaluateBatch<K, Width>(data, k, batch, h);
        const Vector x = h[0] / h[3];
        const Vector y = h[1] / h[3];
        const Vector z = h[2] / h[3];
#pragma GCC unroll 4
        for (int i = 0; i < Width; ++i) {
            if (i == size)
                break;
            out[n + i] = ControlPoint(x[i], y[i], z[i]);
        }
        n += size;
        s = next;
    }
}

template <int K> void CurveEvaluator::evaluatePairs(const double* us, int count, ControlPoint* out) {
    evaluateBatches<K, 2>(us, count, out);
}

#if defined(__x86_64__) || defined(__i386__)
// The same source with four slots per instruction.
template <int K>
__attribute__((target("avx"))) void CurveEvaluator::evaluateQuads(const double* us, int count,
                                                                  ControlPoint* out) {
    evaluateBatches<K, 4>(us, count, out);
}
#endif

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

void CurveEvaluator::evaluatePoints(const double* us, int count, ControlPoint* out) {
    if (!valid_) {
        for (int n = 0; n < count; ++n)
            out[n] = ControlPoint(notANumber, notANumber, notANumber);
        return;
    }
    const bool avx = useAvx && avxAvailable();
    if (order_ > maxFixedOrder) {
        // Sized here, in baseline code: std::vector's code inlined into the AVX caller would assume that
        // the storage has the 32-byte alignment of an AVX vector, which the heap does not promise.
        const int alphas = std::max(alphaCount(order_), 1);
        const size_t size = static_cast<size_t>(5 * order_ + 4 * alphas);
        if (avx)
            quadBuffer_.resize(size);
        else
            pairBuffer_.resize(size);
    }
#if defined(__x86_64__) || defined(__i386__)
    if (avx) {
        switch (order_) {
        case 1:
            return evaluateQuads<1>(us, count, out);
        case 2:
            return evaluateQuads<2>(us, count, out);
        case 3:
            return evaluateQuads<3>(us, count, out);
        case 4:
            return evaluateQuads<4>(us, count, out);
        case 5:
            return evaluateQuads<5>(us, count, out);
        case 6:
            return evaluateQuads<6>(us, count, out);
        case 7:
            return evaluateQuads<7>(us, count, out);
        case 8:
            return evaluateQuads<8>(us, count, out);
        default:
            return evaluateQuads<0>(us, count, out);
        }
    }
#endif
    switch (order_) {
    case 1:
        return evaluatePairs<1>(us, count, out);
    case 2:
        return evaluatePairs<2>(us, count, out);
    case 3:
        return evaluatePairs<3>(us, count, out);
    case 4:
        return evaluatePairs<4>(us, count, out);
    case 5:
        return evaluatePairs<5>(us, count, out);
    case 6:
        return evaluatePairs<6>(us, count, out);
    case 7:
        return evaluatePairs<7>(us, count, out);
    case 8:
        return evaluatePairs<8>(us, count, out);
    default:
        return evaluatePairs<0>(us, count, out);
    }
}

void CurveEvaluator::evaluate(double u, double& x, double& y, double& z) {
    ControlPoint p;
    evaluatePoints(&u, 1, &p);
    x = p.x;
    y = p.y;
    z = p.z;
}
