// Viewport > Knot Strip: the active curve's basis functions under the views, linked both ways with
// its control points, and the parameter under the strip's cursor marked on the curve in the views.
// The geometry comes before Qt: the surfaces' mesh has a member named emit, which Qt defines as a macro.
#include "geometry/basis_function_samples.h"
#include "geometry/nurbs_curve.h"

#include "canvas/gl_pelm.h"
#include "drawn_position.h"
#include "ui/knot_strip.h"
#include "window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

void forgetViewSettings() {
    QSettings(QStringLiteral("Knotwork"), QStringLiteral("knotwork")).remove(QStringLiteral("view"));
}

// Later tests start with the strip hidden, whatever a test left behind.
struct ViewSettingsForgotten {
    ViewSettingsForgotten() { forgetViewSettings(); }
    ~ViewSettingsForgotten() { forgetViewSettings(); }
};

// A curve of the given form and order in the top view's plane, made the active object: points on a
// zigzag, or on a circle of radius 6 when closed.
NurbsCurve* addActiveCurve(GLPelm& canvas, int mode, int order, int pointCount) {
    auto* curve = new NurbsCurve;
    for (int i = 0; i < pointCount; ++i) {
        if (mode == NurbsCurve::Closed) {
            const double a = 2.0 * M_PI * i / pointCount;
            curve->appendPoint(ControlPoint(6.0 * std::cos(a), 0.0, 6.0 * std::sin(a)));
        } else {
            curve->appendPoint(ControlPoint(-7.5 + 15.0 * i / (pointCount - 1), 0.0, i % 2 ? 3.0 : -3.0));
        }
    }
    curve->setOrder(order);
    curve->setCurveMode(mode);
    canvas.scene.append(curve, ObjectKind::Curve);
    canvas.setActiveObject(curve, ObjectKind::Curve);
    return curve;
}

// Where N(function, k) is largest, found on a fine grid of its own over the knot range.
struct Peak {
    double u = 0.0, value = -1.0;
};
Peak peakOf(const NurbsCurve& curve, int function) {
    Peak peak;
    const double first = curve.knots.front(), last = curve.knots.back();
    for (int j = 0; j <= 4000; ++j) {
        const double u = first + (last - first) * j / 4000.0;
        const double value =
            evaluateBasisFunctions(curve.knots, curve.order, u)[static_cast<std::size_t>(function)];
        if (value > peak.value)
            peak = {u, value};
    }
    return peak;
}

QPoint stripSpot(KnotStrip& strip, double u, double value) {
    const KnotStripGeometry g = strip.plotGeometry();
    return QPoint(static_cast<int>(std::lround(g.xAt(u))), static_cast<int>(std::lround(g.yAt(value))));
}

// Whether a pixel within reach of the spot (device pixels) has the colour.
bool drawsNear(const QImage& image, QPoint spot, int reach,
               const std::function<bool(const QColor&)>& colour) {
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (image.valid(spot.x() + dx, spot.y() + dy) &&
                colour(image.pixelColor(spot.x() + dx, spot.y() + dy)))
                return true;
    return false;
}

// Whether the top view draws a pixel of the given colour within `reach` device pixels of the spot
// `offset` device pixels right of where p projects.
bool topViewDraws(GLPelm& canvas, const ControlPoint& p, int offset, int reach,
                  const std::function<bool(const QColor&)>& colour) {
    const QImage frame = canvas.grabFramebuffer();
    const DrawnPosition at = drawnPosition(canvas, ViewKind::Top, p);
    if (!at.inside)
        return false;
    return drawsNear(frame,
                     QPoint(static_cast<int>(std::lround(at.x)) + offset,
                            frame.height() - 1 - static_cast<int>(std::lround(at.y))),
                     reach, colour);
}

// Whether the strip draws a pixel of the colour within a device pixel of a widget position.
bool stripDraws(KnotStrip& strip, QPoint spot, const std::function<bool(const QColor&)>& colour) {
    const QImage drawn = strip.grab().toImage();
    const double ratio = strip.devicePixelRatioF();
    return drawsNear(drawn,
                     QPoint(static_cast<int>(std::lround(spot.x() * ratio)),
                            static_cast<int>(std::lround(spot.y() * ratio))),
                     1, colour);
}

bool magenta(const QColor& c) {
    return c.red() > 200 && c.blue() > 200 && c.green() < 60;
}

bool cyan(const QColor& c) {
    return c.red() < 60 && c.green() > 160 && c.blue() > 160;
}

// The widget position (logical pixels) where a view draws p.
QPoint drawnSpot(GLPelm& canvas, const ControlPoint& p, int viewKind = ViewKind::Top) {
    const DrawnPosition at = drawnPosition(canvas, viewKind, p);
    const double ratio = canvas.devicePixelRatioF();
    return QPoint(static_cast<int>(std::lround(at.x / ratio)),
                  static_cast<int>(std::lround((canvas.canvasHeight - at.y) / ratio)));
}

void leave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}

// A window with the strip shown, at its full size.
std::unique_ptr<GLObjectWindow> windowWithStrip() {
    const ViewSettingsForgotten forgotten;
    auto window = showWindow();
    window->knotStripAction->trigger();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window->knotStrip->isVisible() && window->knotStrip->width() > 400; }));
    window->canvas->grabFramebuffer();
    return window;
}

} // namespace

TEST(KnotStrip, TheViewportItemShowsItUnderTheViewsAndANewWindowKeepsIt) {
    KNOTWORK_REQUIRE_APP();
    const ViewSettingsForgotten forgotten;
    auto window = showWindow();
    QAction* item = window->findMenuItem(QStringLiteral("&Viewport"), QStringLiteral("Knot Strip"));
    ASSERT_NE(item, nullptr);
    ASSERT_EQ(item, window->knotStripAction);
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(window->knotStrip->isVisible());
    // What the views have at the window's smallest size, without the strip.
    window->resize(window->minimumSize());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->size() == window->minimumSize(); }));
    QApplication::processEvents();
    const int canvasAlone = window->canvas->height();

    item->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->knotStrip->isVisible(); }));
    window->resize(window->minimumSize());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->size() == window->minimumSize(); }));
    QApplication::processEvents();
    // Under the canvas, as wide as it, and the views lose none of their room to it.
    const QRect canvasRect = window->canvas->geometry(), stripRect = window->knotStrip->geometry();
    EXPECT_GT(stripRect.top(), canvasRect.bottom());
    EXPECT_EQ(stripRect.left(), canvasRect.left());
    EXPECT_EQ(stripRect.width(), canvasRect.width());
    // Unless the screen has no room for the strip's height as well.
    if (window->minimumHeight() < window->screen()->availableGeometry().height()) {
        EXPECT_GE(window->canvas->height(), canvasAlone);
    }
    EXPECT_TRUE(window->rect().contains(stripRect));

    auto again = showWindow();
    EXPECT_TRUE(again->knotStripAction->isChecked());
    EXPECT_TRUE(again->knotStrip->isVisible());
    again->knotStripAction->trigger();
    EXPECT_FALSE(again->knotStrip->isVisible());
    auto third = showWindow();
    EXPECT_FALSE(third->knotStripAction->isChecked());
    EXPECT_FALSE(third->knotStrip->isVisible());
}

// Hovering a basis function's plot marks its control point in the views; for a closed curve the
// wrapped functions mark the point they wrap to.
TEST(KnotStrip, HoveringAFunctionMarksItsControlPointInTheViews) {
    KNOTWORK_REQUIRE_APP();
    auto window = windowWithStrip();
    GLPelm& canvas = *window->canvas;
    KnotStrip& strip = *window->knotStrip;
    struct Case {
        int mode, order, points, function, controlPoint;
    };
    const Case cases[] = {
        {NurbsCurve::Interpolated, 4, 7, 0, 0}, {NurbsCurve::Interpolated, 4, 7, 3, 3},
        {NurbsCurve::Open, 3, 6, 5, 5},         {NurbsCurve::Closed, 3, 6, 1, 1},
        {NurbsCurve::Closed, 3, 6, 7, 1},       {NurbsCurve::Closed, 3, 6, 8, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "form " << c.mode << ", function " << c.function);
        canvas.newScene();
        NurbsCurve* curve = addActiveCurve(canvas, c.mode, c.order, c.points);
        ASSERT_EQ(strip.samples().values.size(), static_cast<std::size_t>(strip.summary().functionCount));
        const ControlPoint point = curve->controlPoints[static_cast<std::size_t>(c.controlPoint)];
        EXPECT_FALSE(topViewDraws(canvas, point, 5, 1, magenta));

        const Peak peak = peakOf(*curve, c.function);
        hoverOver(strip, stripSpot(strip, peak.u, peak.value));
        EXPECT_EQ(strip.hoveredFunction(), c.function);
        EXPECT_EQ(canvas.markedPoint, c.controlPoint);
        EXPECT_TRUE(topViewDraws(canvas, point, 5, 1, magenta));
        // The function is drawn highlighted where the cursor is.
        EXPECT_TRUE(stripDraws(strip, stripSpot(strip, peak.u, peak.value), magenta));

        // Well above every plot: no function.
        hoverOver(strip, stripSpot(strip, peak.u, 1.0) - QPoint(0, 8));
        EXPECT_EQ(strip.hoveredFunction(), -1);
        EXPECT_EQ(canvas.markedPoint, -1);
        EXPECT_FALSE(topViewDraws(canvas, point, 5, 1, magenta));
    }
}

// Hovering a control point of the active curve in a view highlights its functions in the strip.
TEST(KnotStrip, HoveringAControlPointHighlightsItsFunctions) {
    KNOTWORK_REQUIRE_APP();
    auto window = windowWithStrip();
    GLPelm& canvas = *window->canvas;
    KnotStrip& strip = *window->knotStrip;
    struct Case {
        int mode, point, view;
        std::vector<int> functions;
    };
    const Case cases[] = {
        {NurbsCurve::Interpolated, 2, ViewKind::Top, {2}},
        {NurbsCurve::Closed, 0, ViewKind::Top, {0, 6}},
        {NurbsCurve::Closed, 2, ViewKind::Top, {2, 8}},
        {NurbsCurve::Closed, 4, ViewKind::Top, {4}},
        {NurbsCurve::Interpolated, 3, ViewKind::Perspective, {3}},
        {NurbsCurve::Closed, 1, ViewKind::Perspective, {1, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "form " << c.mode << ", point " << c.point << ", view " << c.view);
        canvas.newScene();
        NurbsCurve* curve = addActiveCurve(canvas, c.mode, 3, 6);
        // The camera looks down at the curve's plane, where no two points are drawn together.
        canvas.camera.eye = ControlPoint(12.0, 25.0, 30.0);
        canvas.grabFramebuffer();
        hoverOver(canvas, drawnSpot(canvas, curve->controlPoints[static_cast<std::size_t>(c.point)], c.view));
        EXPECT_EQ(canvas.hoveredPoint, c.point);
        EXPECT_EQ(strip.highlightedFunctions(), c.functions);
        for (int function : c.functions) {
            const Peak peak = peakOf(*curve, function);
            EXPECT_TRUE(stripDraws(strip, stripSpot(strip, peak.u, peak.value), magenta)) << function;
        }
        // Hovering a point does not pick it.
        EXPECT_EQ(curve->foundPoint, -1);

        hoverOver(canvas, viewSpot(canvas, ViewKind::Top, 0.5, 0.5));
        EXPECT_EQ(canvas.hoveredPoint, -1);
        EXPECT_TRUE(strip.highlightedFunctions().empty());
    }
}

// The parameter under the strip's cursor marks the curve's point there in the views, only inside the
// drawn domain; leaving the strip clears every mark.
TEST(KnotStrip, TheParameterUnderTheCursorMarksItsPointUntilTheCursorLeaves) {
    KNOTWORK_REQUIRE_APP();
    auto window = windowWithStrip();
    GLPelm& canvas = *window->canvas;
    KnotStrip& strip = *window->knotStrip;
    // Open: the drawn domain [t(k-1), t(n)] lies inside the knot range.
    NurbsCurve* curve = addActiveCurve(canvas, NurbsCurve::Open, 4, 7);
    const KnotSummary& summary = strip.summary();
    ASSERT_LT(summary.rangeStart, summary.domainStart);
    const KnotStripGeometry g = strip.plotGeometry();
    const int y = static_cast<int>(std::lround(g.yAt(0.95)));
    for (const double f : {0.02, 0.5, 0.97}) {
        SCOPED_TRACE(f);
        const int x = static_cast<int>(
            std::lround(g.xAt(summary.domainStart + f * (summary.domainEnd - summary.domainStart))));
        hoverOver(strip, QPoint(x, y));
        const double u = g.parameterAt(x);
        ASSERT_TRUE(canvas.markedParameter.has_value());
        EXPECT_NEAR(*canvas.markedParameter, u, 1e-12);
        const ControlPoint expected = curve->evaluate(u);
        const std::optional<ControlPoint> marked = canvas.markedCurvePoint();
        ASSERT_TRUE(marked.has_value());
        EXPECT_NEAR(marked->x, expected.x, 1e-9);
        EXPECT_NEAR(marked->y, expected.y, 1e-9);
        EXPECT_NEAR(marked->z, expected.z, 1e-9);
        EXPECT_TRUE(topViewDraws(canvas, expected, 0, 1, cyan));
        // The strip's own line at the cursor, above every function (none of this curve reaches 0.9).
        const QPoint onLine(x, static_cast<int>(std::lround(g.yAt(0.9))));
        EXPECT_TRUE(stripDraws(strip, onLine, cyan));
        EXPECT_FALSE(stripDraws(strip, onLine + QPoint(4, 0), cyan));
    }
    const ControlPoint last = curve->evaluate(*canvas.markedParameter);

    // Outside the domain, though over the knots: no mark.
    hoverOver(strip, QPoint(static_cast<int>(std::lround(g.xAt(summary.rangeStart))) + 2, y));
    EXPECT_FALSE(canvas.markedParameter.has_value());
    EXPECT_FALSE(strip.cursorParameter().has_value());
    EXPECT_FALSE(topViewDraws(canvas, last, 0, 1, cyan));

    // Over a function and inside the domain, then out of the strip onto the views.
    const Peak peak = peakOf(*curve, 3);
    hoverOver(strip, stripSpot(strip, peak.u, peak.value));
    ASSERT_EQ(canvas.markedPoint, 3);
    ASSERT_TRUE(canvas.markedParameter.has_value());
    leave(strip);
    hoverOver(canvas, viewSpot(canvas, ViewKind::Top, 0.1, 0.1));
    EXPECT_EQ(canvas.markedPoint, -1);
    EXPECT_FALSE(canvas.markedParameter.has_value());
    EXPECT_EQ(strip.hoveredFunction(), -1);
    EXPECT_FALSE(topViewDraws(canvas, curve->controlPoints[3], 5, 1, magenta));
    EXPECT_FALSE(topViewDraws(canvas, curve->evaluate(peak.u), 0, 1, cyan));

    // Hiding the strip clears them too.
    hoverOver(strip, stripSpot(strip, peak.u, peak.value));
    ASSERT_EQ(canvas.markedPoint, 3);
    window->knotStripAction->trigger();
    EXPECT_EQ(canvas.markedPoint, -1);
    EXPECT_FALSE(canvas.markedParameter.has_value());
}
