// What a curve's draw emits (GL feedback, framebuffer rows for the line width) and its hit test window.
#include "feedback_recorder.h"
#include "geometry/nurbs_curve.h"
#include "gl_test_context.h"

#include <QImage>
#include <QOpenGLFramebufferObject>
#include <gtest/gtest.h>

#include <GL/gl.h>

namespace {

struct Rgb {
    float r, g, b;
};
constexpr Rgb darkGreen{0.0f, 0.4f, 0.0f}, olive{0.7f, 0.7f, 0.0f}, darkRed{0.7f, 0.0f, 0.0f},
    blue{0.0f, 0.0f, 1.0f}, navy{0.0f, 0.0f, 0.5f}, grey{0.4f, 0.4f, 0.4f};

void expectColour(const FeedbackVertex& v, Rgb c, const std::string& what) {
    EXPECT_NEAR(v.r, c.r, 1e-3) << what;
    EXPECT_NEAR(v.g, c.g, 1e-3) << what;
    EXPECT_NEAR(v.b, c.b, 1e-3) << what;
}

NurbsCurve* curveThrough(const std::vector<ControlPoint>& points, int mode = NurbsCurve::Interpolated) {
    auto* c = new NurbsCurve;
    for (const ControlPoint& p : points)
        c->appendPoint(p);
    c->setCurveMode(mode);
    return c;
}

std::vector<FeedbackVertex> pointsOf(const std::vector<FeedbackPrimitive>& primitives) {
    std::vector<FeedbackVertex> points;
    for (const auto& p : primitives)
        if (p.type == FeedbackPrimitive::Point)
            points.push_back(p.vertices[0]);
    return points;
}

const std::vector<ControlPoint> zigzag = {ControlPoint(-20, 0, 0), ControlPoint(-10, 20, 0),
                                          ControlPoint(0, 0, 0), ControlPoint(10, 20, 0),
                                          ControlPoint(20, 0, 0)};

} // namespace

TEST(NurbsCurveDraw, InactiveCurveIsOnlyAGreyStripThroughItsSamples) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    std::unique_ptr<NurbsCurve> c(curveThrough(zigzag));
    c->showEdge = true;
    c->showCurve = false; // an inactive curve is drawn all the same
    c->setParamInc(20);
    const auto primitives = FeedbackRecorder().record([&] { c->draw(false, false); });
    EXPECT_TRUE(pointsOf(primitives).empty());
    const auto strips = lineStrips(primitives);
    ASSERT_EQ(strips.size(), 1u);
    const auto samples = c->samplePoints();
    ASSERT_EQ(strips[0].size(), samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        EXPECT_NEAR(strips[0][i].x, samples[i].x, 1e-3) << i;
        EXPECT_NEAR(strips[0][i].y, samples[i].y, 1e-3) << i;
        expectColour(strips[0][i], grey, "strip");
    }
}

TEST(NurbsCurveDraw, ActiveCurveShowsPointsPolygonAndCurveAsItsFlagsSay) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    struct Case {
        bool vertices, edge, curve;
        int foundPoint;
    } cases[] = {
        {true, true, false, -1},
        {true, false, true, 4},
        {false, true, true, 1},
        {true, true, true, 0},
    };
    for (const Case& k : cases) {
        std::unique_ptr<NurbsCurve> c(curveThrough(zigzag));
        c->showVertices = k.vertices;
        c->showEdge = k.edge;
        c->showCurve = k.curve;
        c->foundPoint = k.foundPoint;
        c->setColor(255, 128, 0);
        const std::string where =
            std::to_string(k.vertices) + std::to_string(k.edge) + std::to_string(k.curve);
        const auto primitives = FeedbackRecorder().record([&] { c->draw(true, true); });

        const auto points = pointsOf(primitives);
        ASSERT_EQ(points.size(), k.vertices ? zigzag.size() : 0u) << where;
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_NEAR(points[i].x, zigzag[i].x, 1e-3);
            const Rgb expected = static_cast<int>(i) == k.foundPoint ? darkGreen
                                 : i + 1 == points.size()            ? olive
                                                                     : darkRed;
            expectColour(points[i], expected, where + " point " + std::to_string(i));
        }

        const auto strips = lineStrips(primitives);
        ASSERT_EQ(strips.size(), static_cast<size_t>(k.edge + k.curve)) << where;
        if (k.edge) {
            ASSERT_EQ(strips[0].size(), zigzag.size());
            for (const auto& v : strips[0])
                expectColour(v, blue, where + " polygon");
        }
        if (k.curve) {
            EXPECT_EQ(strips.back().size(), c->samplePoints().size());
            expectColour(strips.back().front(), Rgb{1.0f, 128 / 255.0f, 0.0f}, where + " curve");
        }
    }
}

TEST(NurbsCurveDraw, ClosingSegmentOfTheControlPolygonNeedsThreePoints) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    for (size_t n : {2u, 3u}) {
        std::unique_ptr<NurbsCurve> c(
            curveThrough(std::vector<ControlPoint>(zigzag.begin(), zigzag.begin() + n), NurbsCurve::Closed));
        c->showVertices = false;
        c->showCurve = false;
        c->showEdge = true;
        const auto strips = lineStrips(FeedbackRecorder().record([&] { c->draw(true, false); }));
        ASSERT_EQ(strips.size(), n == 3 ? 2u : 1u) << n;
        if (n == 3) {
            const auto& closing = strips[1];
            ASSERT_EQ(closing.size(), 2u);
            EXPECT_NEAR(closing[0].x, zigzag[2].x, 1e-3);
            EXPECT_NEAR(closing[1].x, zigzag[0].x, 1e-3);
            expectColour(closing[0], navy, "closing segment");
        }
    }
}

// A curve with fewer points than its order has no curve to draw: its control polygon stands in for
// it, in the curve's colour, so it never vanishes; the blue polygon still follows the edge flag.
TEST(NurbsCurveDraw, TooFewPointsDrawTheirPolygonInPlaceOfTheCurve) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    const Rgb orange{1.0f, 128 / 255.0f, 0.0f};
    struct Case {
        size_t points;
        bool active, edge, curve;
        std::vector<Rgb> strips; // the colour of each strip drawn, in order
    } cases[] = {
        {2, true, true, true, {blue, orange}},
        {2, true, false, true, {orange}},
        {3, false, false, false, {grey}},
        {2, true, false, false, {}}, // the curve switched off: nothing stands in for it
        {1, true, false, true, {}},  // one point makes no line
    };
    for (const Case& k : cases) {
        std::unique_ptr<NurbsCurve> c(
            curveThrough(std::vector<ControlPoint>(zigzag.begin(), zigzag.begin() + k.points)));
        c->setOrder(4);
        c->showEdge = k.edge;
        c->showCurve = k.curve;
        c->setColor(255, 128, 0);
        const std::string where = std::to_string(k.points) + std::to_string(k.active) +
                                  std::to_string(k.edge) + std::to_string(k.curve);
        const auto primitives = FeedbackRecorder().record([&] { c->draw(k.active, false); });
        EXPECT_EQ(pointsOf(primitives).size(), k.active ? k.points : 0u) << where;
        const auto strips = lineStrips(primitives);
        ASSERT_EQ(strips.size(), k.strips.size()) << where;
        for (size_t i = 0; i < strips.size(); ++i) {
            ASSERT_EQ(strips[i].size(), k.points) << where;
            for (size_t j = 0; j < k.points; ++j) {
                EXPECT_NEAR(strips[i][j].x, zigzag[j].x, 1e-3) << where;
                expectColour(strips[i][j], k.strips[i], where + " strip " + std::to_string(i));
            }
        }
    }
}

// Feedback reports no widths: draw a horizontal curve into a framebuffer and count the rows it covers.
TEST(NurbsCurveDraw, CurveOfASurfaceIsThreePixelsWiderAndStateIsLeftAtOne) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    constexpr int size = 64;
    QOpenGLFramebufferObject fbo(size, size);
    ASSERT_TRUE(fbo.bind());
    NurbsCurve surface; // any object will do as the link
    struct Case {
        int lineWidth;
        bool linked;
        int rows;
    } cases[] = {{2, true, 5}, {2, false, 2}, {1, false, 1}, {4, true, 7}};
    for (const Case& k : cases) {
        // Through pixel centres of row 32, from x = -20 to 20.
        std::unique_ptr<NurbsCurve> c(curveThrough({ControlPoint(-20, 0.5, 0), ControlPoint(20, 0.5, 0)}));
        c->setOrder(2);
        c->lineWidth = k.lineWidth;
        c->surfaceLink = k.linked ? &surface : nullptr;
        glViewport(0, 0, size, size);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-size / 2, size / 2, -size / 2, size / 2, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        c->draw(false, false);
        glFinish();

        GLfloat width = 0, pointSize = 0;
        glGetFloatv(GL_LINE_WIDTH, &width);
        glGetFloatv(GL_POINT_SIZE, &pointSize);
        EXPECT_EQ(width, 1.0f);
        EXPECT_EQ(pointSize, 1.0f);

        const QImage image = fbo.toImage();
        int rows = 0;
        for (int y = 0; y < size; ++y)
            rows += qRed(image.pixel(size / 2, y)) > 0;
        EXPECT_EQ(rows, k.rows) << "width " << k.lineWidth << " linked " << k.linked;
    }
    fbo.release();
}

TEST(NurbsCurveHitTest, SquareWindowInTheViewPlaneWithInclusiveBounds) {
    struct Case {
        ControlPoint sample;
        double x, y, z;
        int axis;
        bool hit;
    } cases[] = {
        {ControlPoint(0.3, 0.2, 7), 0, 0, 0, 2, true},
        {ControlPoint(0.31, 0, 0), 0, 0, 0, 2, false},
        {ControlPoint(1, 2, 3), 1, 2, 103, 2, true}, // the depth axis is ignored entirely
        {ControlPoint(1, 2, 3), 1, 2, 103, 0, false},
        {ControlPoint(1, 2, 3), 50, 2.25, 2.75, 0, true},
        {ControlPoint(1, 2, 3), 1.25, -40, 3.25, 1, true},
        {ControlPoint(1, 2, 3), 1, 2, 3.31, 5, false}, // any other axis: all three coordinates count
        {ControlPoint(1, 2, 3), 1, 2, 3.3, 5, true},
    };
    for (const Case& k : cases) {
        // With paramInc 1 a two-point line samples exactly its end points.
        std::unique_ptr<NurbsCurve> c(curveThrough({k.sample, ControlPoint(90, 90, 90)}));
        c->setOrder(2);
        c->setParamInc(1);
        EXPECT_EQ(c->hitTest(k.x, k.y, k.z, k.axis), k.hit)
            << k.sample.x << "," << k.sample.y << "," << k.sample.z << " axis " << k.axis;
    }
    // Fewer points than the order: nothing to hit, even on a control point.
    std::unique_ptr<NurbsCurve> c(curveThrough({ControlPoint(0, 0, 0), ControlPoint(1, 0, 0)}));
    EXPECT_FALSE(c->hitTest(0, 0, 0, 2));
    EXPECT_FALSE(c->hitTest(1, 0, 0, 7));
}
