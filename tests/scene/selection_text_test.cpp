// The status bar's words for the selection: kinds, counts, forms, the picked point and the order warning.
#include "scene/selection_text.h"

#include "geometry/nurbs_curve.h"
#include "geometry/object_positions.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void fill(NurbsCurve& curve, int points, int order, int mode) {
    for (int i = 0; i < points; ++i)
        curve.appendPoint(ControlPoint(i, 2.0 * i, -i));
    curve.setOrder(order);
    curve.setCurveMode(mode);
}

SceneSelection selecting(SceneObject* object, int kind, int point = -1) {
    SceneSelection selection;
    selection.activeObject = object;
    selection.activeKind = kind;
    selection.activePoint = point;
    return selection;
}

} // namespace

TEST(SelectionText, CurveNamesItsPointsOrderAndForm) {
    const struct {
        int points, order, mode;
        const char* text;
    } cases[] = {
        {1, 3, NurbsCurve::Open, "Curve: 1 point, order 3, open"},
        {4, 3, NurbsCurve::Interpolated, "Curve: 4 points, order 3, open with interpolation"},
        {6, 4, NurbsCurve::Closed, "Curve: 6 points, order 4, closed"},
        {0, 2, 5, "Curve: 0 points, order 2, closed"},
    };
    for (const auto& c : cases) {
        NurbsCurve curve;
        fill(curve, c.points, c.order, c.mode);
        EXPECT_EQ(SelectionText::object(selecting(&curve, ObjectKind::Curve)), c.text);
    }
    EXPECT_EQ(SelectionText::object(SceneSelection{}), "No object selected");
}

TEST(SelectionText, SurfacesNameTheirKindIncrementsAndMissingCurves) {
    RevolutionSurface revolution;
    revolution.uParamInc = 12;
    revolution.vParamInc = 30;
    EXPECT_EQ(SelectionText::object(selecting(&revolution, ObjectKind::Revolution)),
              "Surface of revolution: u 12, v 30, no profile yet");
    NurbsCurve profile;
    fill(profile, 3, 3, NurbsCurve::Interpolated);
    revolution.profile = &profile;
    EXPECT_EQ(SelectionText::object(selecting(&revolution, ObjectKind::Revolution)),
              "Surface of revolution: u 12, v 30");

    NurbsCurve a, b;
    CurveSurface patch;
    patch.uParamInc = 7;
    EXPECT_EQ(SelectionText::object(selecting(&patch, ObjectKind::Coons)),
              "Coons patch: u 7, v 10, 0 of 4 curves");
    patch.curves = {&a, &b};
    EXPECT_EQ(SelectionText::object(selecting(&patch, ObjectKind::Coons)),
              "Coons patch: u 7, v 10, 2 of 4 curves");
    EXPECT_EQ(SelectionText::object(selecting(&patch, ObjectKind::Extrusion)), "Extrusion: u 7, v 10");
    patch.curves = {&a};
    EXPECT_EQ(SelectionText::object(selecting(&patch, ObjectKind::Extrusion)),
              "Extrusion: u 7, v 10, 1 of 2 curves");
}

TEST(SelectionText, PickedPointShowsItsNumberCoordinatesAndWeight) {
    NurbsCurve curve;
    fill(curve, 3, 3, NurbsCurve::Interpolated);
    curve.controlPoints[1] = ControlPoint(1.234, -0.001, 10.0, 2.5);
    EXPECT_EQ(SelectionText::point(selecting(&curve, ObjectKind::Curve, 1)),
              "Point 2 of 3: (1.23, 0.00, 10.00), weight 2.50");
    // No point picked, one past the end, or a point index on an object that is no curve: nothing.
    for (const SceneSelection& s :
         {selecting(&curve, ObjectKind::Curve, -1), selecting(&curve, ObjectKind::Curve, 3),
          selecting(&curve, ObjectKind::Revolution, 1)})
        EXPECT_EQ(SelectionText::point(s), "");
}

TEST(SelectionText, OrderWarningOnlyWhileTheCurveHasTooFewPoints) {
    const struct {
        int points, order;
        const char* text;
    } cases[] = {
        {3, 5, "Order 5 needs at least 5 points (this curve has 3)"},
        {0, 3, "Order 3 needs at least 3 points (this curve has 0)"},
        {4, 5, "Order 5 needs at least 5 points (this curve has 4)"},
        {5, 5, ""},
        {9, 4, ""},
    };
    for (const auto& c : cases) {
        NurbsCurve curve;
        fill(curve, c.points, c.order, NurbsCurve::Interpolated);
        EXPECT_EQ(SelectionText::warning(selecting(&curve, ObjectKind::Curve)), c.text)
            << c.points << " " << c.order;
    }
    EXPECT_EQ(SelectionText::warning(SceneSelection{}), "");
}

TEST(SelectionText, NumbersHaveTwoDecimalsAndNoNegativeZero) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{0.0, "0.00"}, {-0.004, "0.00"}, {-0.006, "-0.01"}, {2.5, "2.50"}, {-123.456, "-123.46"}};
    for (const auto& c : cases)
        EXPECT_EQ(SelectionText::number(c.value), c.text) << c.value;
}
