// Exact derivatives and curvature of the rational curve: against central differences of the evaluated
// curve on random curves, and against circles and arcs whose curvature is known.
#include "circular_arc.h"
#include "geometry/curvature_comb.h"
#include "geometry/curvature_sample.h"
#include "geometry/curve_derivatives.h"
#include "geometry/nurbs_curve.h"
#include "random_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

const int forms[] = {NurbsCurve::Open, NurbsCurve::Interpolated, NurbsCurve::Closed};

// In double precision (length() rounds through float).
double norm(const ControlPoint& a) {
    return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}

double distance(const ControlPoint& a, const ControlPoint& b) {
    return norm(a - b);
}

} // namespace

// Central differences with step h err by about h^2 times the next derivative; the parameters keep 2h from
// every knot, where lower-order curves have kinks.
TEST(CurveDerivatives, MatchCentralDifferencesOnRandomCurvesOfEveryFormAndOrder) {
    constexpr double h = 1e-4;
    std::mt19937 rng(2024);
    for (int mode : forms) {
        for (int order = 2; order <= 10; ++order) {
            for (int trial = 0; trial < 3; ++trial) {
                const int n = order + std::uniform_int_distribution<int>(0, 8)(rng);
                const auto curve = makeRandomCurve(rng, mode, order, n);
                const double start = curve->domainStart(), end = curve->domainEnd();
                std::uniform_real_distribution<double> parameter(start, end);
                int checked = 0;
                for (int attempt = 0; attempt < 200 && checked < 12; ++attempt) {
                    const double u = parameter(rng);
                    bool nearKnot = false;
                    for (double t : curve->knots)
                        nearKnot = nearKnot || std::fabs(u - t) < 2 * h;
                    if (nearKnot)
                        continue;
                    ++checked;
                    const CurveDerivatives d = evaluateDerivatives(*curve, u);
                    ASSERT_TRUE(d.valid);
                    // Richardson's step: differences at h and h/2 combined cancel the h^2 term.
                    const ControlPoint at = curve->evaluate(u);
                    const auto differences = [&](double step, ControlPoint& first, ControlPoint& second) {
                        const ControlPoint before = curve->evaluate(u - step),
                                           after = curve->evaluate(u + step);
                        first = (after - before) * (1.0 / (2 * step));
                        second = ((after - at) - (at - before)) * (1.0 / (step * step));
                    };
                    ControlPoint first1, second1, first2, second2;
                    differences(h, first1, second1);
                    differences(h / 2, first2, second2);
                    const ControlPoint first = (first2 * 4.0 - first1) * (1.0 / 3.0);
                    const ControlPoint second = (second2 * 4.0 - second1) * (1.0 / 3.0);
                    const std::string where = "mode " + std::to_string(mode) + " order " +
                                              std::to_string(order) + " points " + std::to_string(n) + " u " +
                                              std::to_string(u);
                    EXPECT_LT(distance(d.point, at), 1e-12 * (1 + norm(at))) << where;
                    EXPECT_LT(distance(d.first, first), 1e-8 * (1 + norm(d.first))) << where;
                    EXPECT_LT(distance(d.second, second), 1e-6 * (1 + norm(d.second))) << where;
                }
                EXPECT_GT(checked, 0);
            }
        }
    }
}

TEST(CurveCurvature, IsOneOverTheRadiusOnRationalCirclesAndArcs) {
    const ControlPoint x(1, 0, 0), y(0, 1, 0);
    // A plane tilted out of every axis.
    ControlPoint e1(1, 2, 2), e2(2, 1, -2);
    e1 = e1 * (1.0 / 3.0);
    e2 = e2 * (1.0 / 3.0);
    const struct {
        const char* name;
        ControlPoint centre;
        double radius;
        ControlPoint e1, e2;
        double angle;
    } cases[] = {
        {"unit circle", ControlPoint(0, 0, 0), 1.0, x, y, 360.0},
        {"tilted circle", ControlPoint(3, -1, 2), 2.5, e1, e2, 360.0},
        {"quarter arc", ControlPoint(0, 0, 0), 1.0, x, y, 90.0},
        {"tilted 120 degree arc", ControlPoint(-4, 0.5, 1), 3.0, e1, e2, 120.0},
        {"small 30 degree arc", ControlPoint(0, 0, 7), 0.01, y, x, 30.0},
    };
    for (const auto& c : cases) {
        const auto curve = circularArc(c.centre, c.radius, c.e1, c.e2, c.angle);
        for (int i = 0; i <= 64; ++i) {
            const double u = i / 64.0; // the quarter knots included
            const CurvatureSample sample = sampleCurvatureAt(*curve, u);
            const std::string where = std::string(c.name) + " u " + std::to_string(u);
            ASSERT_TRUE(sample.valid) << where;
            EXPECT_NEAR(distance(sample.point, c.centre), c.radius, 1e-12 * (1 + c.radius)) << where;
            EXPECT_NEAR(sample.curvature, 1 / c.radius, 1e-9) << where;
            EXPECT_NEAR(norm(sample.normal), 1.0, 1e-12) << where;
            // The normal points at the centre; the curvature vector is normal over radius.
            EXPECT_LT(distance(sample.point + sample.normal * c.radius, c.centre), 1e-9 * c.radius) << where;
            EXPECT_LT(distance(sample.curvatureVector, sample.normal * (1 / c.radius)), 1e-9) << where;
        }
    }
}

TEST(CurveCurvature, CombSamplesStartOnTheDrawnSamples) {
    const auto curve =
        circularArc(ControlPoint(1, 2, 3), 2.0, ControlPoint(0, 0, 1), ControlPoint(1, 0, 0), 360.0);
    curve->setParamInc(37);
    curve->knots = {0, 0, 0, 0.25, 0.25, 0.5, 0.5, 0.75, 0.75, 1, 1, 1}; // setParamInc rebuilt them
    const std::vector<CurvatureSample> comb = sampleCurvature(*curve);
    const std::vector<ControlPoint> drawn = curve->samplePoints();
    ASSERT_EQ(comb.size(), drawn.size());
    ASSERT_EQ(comb.size(), 38u);
    for (size_t i = 0; i < comb.size(); ++i) {
        EXPECT_EQ(comb[i].point.x, drawn[i].x);
        EXPECT_EQ(comb[i].point.y, drawn[i].y);
        EXPECT_EQ(comb[i].point.z, drawn[i].z);
        EXPECT_EQ(comb[i].parameter, i / 37.0);
        EXPECT_NEAR(comb[i].curvature, 0.5, 1e-9);
    }
    NurbsCurve tooFew;
    tooFew.setControlPoints({ControlPoint(0, 0, 0), ControlPoint(1, 0, 0)});
    EXPECT_TRUE(sampleCurvature(tooFew).empty());
}

// A straight curve, and one whose velocity vanishes where points coincide, have no normal: 0/0 must not
// turn into NaN in a comb.
TEST(CurveCurvature, StraightOrStationaryCurvesHaveZeroCurvatureAndNoNormal) {
    NurbsCurve line;
    line.setControlPoints({ControlPoint(0, 0, 0), ControlPoint(1, 1, 1, 3.0), ControlPoint(4, 4, 4)});
    NurbsCurve stationary;
    stationary.setOrder(2);
    stationary.setControlPoints({ControlPoint(2, 0, 0), ControlPoint(2, 0, 0)});
    for (NurbsCurve* curve : {&line, &stationary}) {
        for (double u : {0.0, 0.3, 0.5, 1.0}) {
            const CurvatureSample sample = sampleCurvatureAt(*curve, u);
            ASSERT_TRUE(sample.valid);
            EXPECT_EQ(sample.curvature, 0.0);
            EXPECT_EQ(norm(sample.normal), 0.0);
            EXPECT_EQ(norm(sample.curvatureVector), 0.0);
        }
    }
    EXPECT_FALSE(evaluateDerivatives(line, std::nan("")).valid);
}

// Every tooth of an arc's comb stands outside the bend, curvature (1 / r) times the scale long; a straight
// curve's teeth have no length.
TEST(CurveCurvature, CombTeethStandOutsideTheBendAsLongAsCurvatureTimesScale) {
    const struct {
        double radius, angle, scale;
    } arcs[] = {{6.0, 90.0, 10.0}, {6.0, 90.0, 30.0}, {0.5, 170.0, 0.2}, {3.0, 360.0, 4.5}};
    const ControlPoint centre(1, -2, 0.5), e1(0, 0, 1), e2(1, 0, 0);
    for (const auto& a : arcs) {
        SCOPED_TRACE(a.radius * 1000 + a.angle);
        const auto curve = circularArc(centre, a.radius, e1, e2, a.angle);
        const CurvatureComb comb = CurvatureComb::of(*curve, a.scale);
        ASSERT_GT(comb.tips.size(), 10u);
        ASSERT_EQ(comb.tips.size(), comb.bases.size());
        for (std::size_t i = 0; i < comb.tips.size(); ++i) {
            EXPECT_NEAR(distance(comb.bases[i], centre), a.radius, 1e-9);
            EXPECT_NEAR(distance(comb.tips[i], centre), a.radius + a.scale / a.radius, 1e-9);
            EXPECT_NEAR(distance(comb.tips[i], comb.bases[i]), a.scale / a.radius, 1e-9);
        }
    }
    NurbsCurve line;
    line.setOrder(3);
    line.setControlPoints({{0, 0, 0}, {1, 1, 1}, {3, 3, 3}, {4, 4, 4}});
    const CurvatureComb straight = CurvatureComb::of(line, 100.0);
    ASSERT_FALSE(straight.tips.empty());
    for (std::size_t i = 0; i < straight.tips.size(); ++i)
        EXPECT_LT(distance(straight.tips[i], straight.bases[i]), 1e-9);
}
