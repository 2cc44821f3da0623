// The scalar NURBS evaluation written out step by step: the yardstick for the fused evaluator.
#pragma once

#include "geometry/nurbs_curve.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

// Copies a curve's knots and builds the four coefficient arrays X = x·w, Y = y·w, Z = z·w, W = w from its
// points (wrapped for the closed form). Each coordinate is one scalar de Boor evaluation over the weight
// sum's: six evaluations per point, each with its own span search. Only for curves with at least `order`
// points, order >= 1 and knots built for the points.
struct ScalarCurveReference {
    std::vector<double> knots;
    int order;
    int curveMode;
    int paramInc;
    double knotEpsilon = 1e-8;
    int spanHint = 0;
    std::vector<double> X, Y, Z, W;

    explicit ScalarCurveReference(const NurbsCurve& curve)
        : knots(curve.knots), order(curve.order), curveMode(curve.curveMode), paramInc(curve.paramInc) {
        std::vector<ControlPoint> points = curve.controlPoints;
        if (curveMode == NurbsCurve::Closed)
            for (int i = 0; i < order; ++i)
                points.push_back(curve.controlPoints[i]);
        for (const ControlPoint& p : points) {
            X.push_back(p.x * p.w);
            Y.push_back(p.y * p.w);
            Z.push_back(p.z * p.w);
            W.push_back(p.w);
        }
    }

    int count() const { return static_cast<int>(knots.size()); }
    double start() const { return knots[order - 1]; }
    double end() const { return knots[count() - order]; }

    int findSpan(double u) {
        for (int i = spanHint; i < count() - 1; ++i) {
            if (knots[i] <= u && u < knots[i + 1]) {
                spanHint = i;
                return i;
            }
        }
        if (std::fabs(u - knots.back()) <= knotEpsilon)
            return count() - order;
        return -1;
    }

    double evaluateScalar(double u, const std::vector<double>& c) {
        const int k = order;
        int s = findSpan(u);
        if (s == count() - k) {
            if (end() == knots.back())
                return c.back(); // clamped end: the last coefficient
            // Unclamped end: the recursion in the last non-empty span instead of a control point.
            s = count() - k - 1;
            while (!(knots[s] < knots[s + 1]))
                --s;
        }
        thread_local std::vector<double> d; // reused, so the yardstick is not timing the allocator
        d.resize(k);
        for (int r = 0; r < k; ++r)
            d[r] = c[s - r];
        for (int m = k; m >= 2; --m) {
            for (int r = 0; r <= m - 2; ++r) {
                const int i = s - r;
                const double alpha = (u - knots[i]) / (knots[i + m - 1] - knots[i]);
                d[r] = alpha * d[r] + (1.0 - alpha) * d[r + 1];
            }
        }
        return d[0];
    }

    ControlPoint point(double u) {
        const double x = evaluateScalar(u, X) / evaluateScalar(u, W);
        const double y = evaluateScalar(u, Y) / evaluateScalar(u, W);
        const double z = evaluateScalar(u, Z) / evaluateScalar(u, W);
        return ControlPoint(x, y, z);
    }

    // A single point with a fresh search; outside the domain, the nearest end of it.
    ControlPoint evaluate(double u) {
        if (std::isnan(u)) {
            const double nan = std::numeric_limits<double>::quiet_NaN();
            return ControlPoint(nan, nan, nan);
        }
        spanHint = 0;
        return point(std::clamp(u, start(), end()));
    }

    std::vector<double> parameters() const {
        std::vector<double> us;
        const double p = paramInc;
        if (curveMode == NurbsCurve::Interpolated) {
            for (std::int64_t s = 0; s <= paramInc; ++s)
                us.push_back(static_cast<double>(s) / p);
        } else {
            const double a = start(), b = end();
            const double step = (b - a) / p;
            for (double u = a; curveMode == NurbsCurve::Closed ? u <= b : u < b; u = step + u)
                us.push_back(u);
        }
        return us;
    }

    std::vector<ControlPoint> samples() {
        spanHint = 0;
        std::vector<ControlPoint> out;
        for (double u : parameters())
            out.push_back(point(u));
        return out;
    }
};
