// Viewport: extents, pixel scale, zoom floor, grid geometry, grid list, projections and title strip.
#include "viewport.h"

#include "feedback_recorder.h"
#include "gl_test_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

Viewport viewOfSize(float w, float h) {
    Viewport v;
    v.width = w;
    v.height = h;
    return v;
}

bool isLine(const FeedbackPrimitive& p) {
    return p.type == FeedbackPrimitive::Line || p.type == FeedbackPrimitive::LineReset;
}

bool hasColour(const FeedbackVertex& v, float r, float g, float b) {
    return std::fabs(v.r - r) < 0.01f && std::fabs(v.g - g) < 0.01f && std::fabs(v.b - b) < 0.01f;
}

} // namespace

TEST(ViewportExtents, FollowTheLongerSideAndTheTitleStrip) {
    struct Case {
        float w, h;
        double l, r, b, t;
    };
    const Case cases[] = {
        {400, 300, -10.0 * 400 / 300, 10.0 * 400 / 300, -10, 10}, // -13.33..13.33 x -10..10
        {300, 400, -10, 10, -10.0 * 382 / 300, 10.0 * 382 / 300}, // -10..10 x -12.73..12.73
        {300, 300, -10, 10, -10.0 * 282 / 300, 10.0 * 282 / 300}, // a square view is fitted by its width
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        double l, r, b, t;
        viewOfSize(c.w, c.h).orthographicExtents(l, r, b, t);
        EXPECT_NEAR(l, c.l, 1e-4);
        EXPECT_NEAR(r, c.r, 1e-4);
        EXPECT_NEAR(b, c.b, 1e-4);
        EXPECT_NEAR(t, c.t, 1e-4);
    }
    double l, r, b, t;
    viewOfSize(400, 300).orthographicExtents(l, r, b, t);
    EXPECT_NEAR(r, 13.33, 0.01);
    viewOfSize(300, 400).orthographicExtents(l, r, b, t);
    EXPECT_NEAR(t, 12.73, 0.01);
}

TEST(ViewportScale, PixelsPerUnitMatchTheVisibleExtents) {
    // Whatever the shape, one world unit must cover the same number of pixels as the
    // projection gives it, or dragging would run ahead of or behind the mouse.
    const float sizes[][2] = {{400, 300}, {300, 400}, {300, 300}, {801, 301}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
        Viewport v;
        v.setRectangle(10, 20, size[0], size[1]);
        float px = 0, py = 0;
        v.pixelScale(px, py);
        double l, r, b, t;
        v.orthographicExtents(l, r, b, t);
        EXPECT_NEAR(px, size[0] / (r - l), 1e-4);
        EXPECT_NEAR(py, (size[1] - 18) / (t - b), 1e-4);
    }
    Viewport v;
    v.setRectangle(0, 0, 400, 300);
    EXPECT_FLOAT_EQ(v.pixelsPerUnitX, 15.0f);
    EXPECT_FLOAT_EQ(v.pixelsPerUnitY, 14.1f);
}

TEST(ViewportZoom, NeverReachesZero) {
    struct Case {
        float start, delta, expected;
    };
    const Case cases[] = {
        {1.0f, 0.5f, 1.5f}, {1.0f, -0.25f, 0.75f}, {1.0f, -1.0f, 0.0001f}, {1.0f, -3.0f, 0.0001f},
        {0.0001f, 0.1f, 0.1001f},
    };
    for (const Case& c : cases) {
        Viewport v;
        v.zoom = c.start;
        v.zoomBy(c.delta);
        EXPECT_FLOAT_EQ(v.zoom, c.expected) << c.start << " + " << c.delta;
    }
}

TEST(ViewportGrid, SegmentsCoverTheGridAtEachStep) {
    struct Case {
        int stepA, stepB;
    };
    const Case cases[] = {{5, 5}, {10, 7}, {1, 400}, {3, 0}, {0, -2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "steps " << c.stepA << ", " << c.stepB);
        const auto segments = Viewport::gridSegments(c.stepA, c.stepB);
        const auto countFor = [](int step) { return step >= 1 ? (400 + step - 1) / step : 0; };
        const int horizontals = countFor(c.stepA), verticals = countFor(c.stepB);
        ASSERT_EQ(static_cast<int>(segments.size()), horizontals + verticals);
        for (int i = 0; i < horizontals; ++i) {
            const auto& s = segments[i];
            EXPECT_EQ(s.y0, s.y1);
            EXPECT_EQ(s.y0, -200.0f + i * c.stepA);
            EXPECT_EQ(s.x0, -200.0f);
            EXPECT_EQ(s.x1, 200.0f);
        }
        for (int i = 0; i < verticals; ++i) {
            const auto& s = segments[horizontals + i];
            EXPECT_EQ(s.x0, s.x1);
            EXPECT_EQ(s.x0, -200.0f + i * c.stepB);
            EXPECT_EQ(s.y0, -200.0f);
            EXPECT_EQ(s.y1, 182.0f);
        }
        if (horizontals > 0) {
            EXPECT_LT(segments[horizontals - 1].y0, 200.0f);
            EXPECT_GE(segments[horizontals - 1].y0 + c.stepA, 200.0f);
        }
    }
    // The default grid: 80 + 80 lines 5 apart, the last of each at 195.
    const auto segments = Viewport::gridSegments(5, 5);
    ASSERT_EQ(segments.size(), 160u);
    EXPECT_EQ(segments[79].y0, 195.0f);
    EXPECT_EQ(segments[159].x0, 195.0f);
}

TEST(ViewportGrid, AxisLinesTakeTheViewPixelSize) {
    const auto axes = Viewport::axisSegments(400, 300);
    ASSERT_EQ(axes.size(), 2u);
    EXPECT_EQ(axes[0].x0, -400.0f);
    EXPECT_EQ(axes[0].x1, 399.0f);
    EXPECT_EQ(axes[0].y0, 0.0f);
    EXPECT_EQ(axes[0].y1, 0.0f);
    EXPECT_EQ(axes[1].x0, 0.0f);
    EXPECT_EQ(axes[1].x1, 0.0f);
    EXPECT_EQ(axes[1].y0, -300.0f);
    EXPECT_EQ(axes[1].y1, 282.0f);
}

TEST(ViewportGridList, LiesInTheScreenPlaneAndFollowsPanAndZoom) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    struct Case {
        const char* view;
        float rx, ry, rz, zoom, panX, panY;
    };
    const Case cases[] = {
        {"top", 90, 0, 0, 1, 0, 0},
        {"left", 0, -90, 0, 1, 0, 0},
        {"front", 0, 0, 0, 1, 0, 0},
        {"top zoomed and panned", 90, 0, 0, 0.5f, 30, -20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.view);
        Viewport v;
        v.zoom = c.zoom;
        v.panX = c.panX;
        v.panY = c.panY;
        v.setRotationAndTranslation(0, 0, 0, c.rx, c.ry, c.rz);
        v.setRectangle(0, 0, 400, 300);
        ASSERT_NE(v.gridList, 0u);
        const auto primitives = FeedbackRecorder(500).record([&] {
            v.applyViewTransform();
            glCallList(v.gridList);
        });
        std::vector<FeedbackPrimitive> grid, axes;
        for (const auto& p : primitives) {
            ASSERT_TRUE(isLine(p));
            if (hasColour(p.vertices[0], 0.825f, 0.825f, 0.825f))
                grid.push_back(p);
            else if (hasColour(p.vertices[0], 0.525f, 0.525f, 0.525f))
                axes.push_back(p);
        }
        ASSERT_EQ(grid.size(), 160u);
        ASSERT_EQ(axes.size(), 2u);
        // Flat: every vertex at the same depth, so the grid faces the viewer.
        const float depth = grid[0].vertices[0].z;
        for (const auto& p : primitives)
            for (const auto& vertex : p.vertices)
                EXPECT_NEAR(vertex.z, depth, 1e-4);
        // Horizontal line number i sits at world height -200 + 5 i, scaled by zoom after the pan.
        for (int i = 0; i < 80; ++i) {
            const float expectedY = c.panY + c.zoom * (-200.0f + 5.0f * i);
            EXPECT_NEAR(grid[i].vertices[0].y, expectedY, 0.01f);
            EXPECT_NEAR(grid[i].vertices[1].y, expectedY, 0.01f);
        }
        const auto& horizontalAxis = axes[0].vertices;
        EXPECT_NEAR(std::fabs(horizontalAxis[1].x - horizontalAxis[0].x), c.zoom * 799.0f, 0.05f);
        const auto& verticalAxis = axes[1].vertices;
        EXPECT_NEAR(std::max(verticalAxis[0].y, verticalAxis[1].y), c.panY + c.zoom * 282.0f, 0.05f);
    }
}

TEST(ViewportGridList, ANewRectangleReleasesTheOldList) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    Viewport v;
    v.setRectangle(0, 0, 400, 300);
    const unsigned int first = v.gridList;
    ASSERT_TRUE(glIsList(first));
    v.setRectangle(0, 0, 500, 300);
    EXPECT_NE(v.gridList, first);
    EXPECT_TRUE(glIsList(v.gridList));
    EXPECT_FALSE(glIsList(first));
    glDeleteLists(v.gridList, 1);
}

TEST(ViewportApply, LoadsTheViewportAndProjectionOfTheView) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    struct Case {
        float x, y, w, h;
        bool perspective;
    };
    const Case cases[] = {
        {0, 300, 400, 300, false}, {400, 0, 300, 400, false}, {30, 40, 100, 10, false},
        {400, 300, 400, 300, true}, {0, 0, 250, 500, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << (c.perspective ? " perspective" : ""));
        Viewport v;
        if (c.perspective) {
            v.nearPlane = 0.1f;
            v.farPlane = 500.0f;
        }
        v.setRectangle(c.x, c.y, c.w, c.h);
        ASSERT_TRUE(c.perspective ? v.applyPerspective() : v.applyOrthographic());
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        // The scene goes below the title strip, never over it, however low the view.
        EXPECT_EQ(viewport[0], static_cast<int>(c.x));
        EXPECT_EQ(viewport[1], static_cast<int>(c.y));
        EXPECT_EQ(viewport[2], static_cast<int>(c.w));
        EXPECT_EQ(viewport[3], std::max(static_cast<int>(c.h) - 18, 0));
        double m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        if (c.perspective) {
            const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
            EXPECT_NEAR(m[5], f, 1e-6);
            EXPECT_NEAR(m[0], f * c.h / c.w, 1e-6);
        } else if (c.h > 18) {
            double l, r, b, t;
            v.orthographicExtents(l, r, b, t);
            EXPECT_NEAR(m[0], 2.0 / (r - l), 1e-6);
            EXPECT_NEAR(m[5], 2.0 / (t - b), 1e-6);
            EXPECT_NEAR(m[12], -(r + l) / (r - l), 1e-6);
        }
        glDeleteLists(v.gridList, 1);
    }
    Viewport empty;
    empty.setRectangle(0, 0, 0, 300);
    EXPECT_FALSE(empty.applyOrthographic());
    EXPECT_FALSE(empty.applyPerspective());
    glDeleteLists(empty.gridList, 1);
}

TEST(ViewportTitleStrip, SpansTheTop18PixelsOfTheView) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    Viewport v; // no font: the strip and its lines only
    const auto primitives = FeedbackRecorder(1000).record([&] { v.drawTitleStrip(400, 300); });
    int fills = 0, borderLines = 0;
    for (const auto& p : primitives) {
        if (p.type == FeedbackPrimitive::Polygon && hasColour(p.vertices[0], 0.725f, 0.714f, 0.647f)) {
            ++fills;
            for (const auto& vertex : p.vertices) {
                EXPECT_TRUE(std::fabs(vertex.y - 282) < 0.01f || std::fabs(vertex.y - 300) < 0.01f) << vertex.y;
                EXPECT_TRUE(std::fabs(vertex.x) < 0.01f || std::fabs(vertex.x - 400) < 0.01f) << vertex.x;
            }
        }
        if (isLine(p) && hasColour(p.vertices[0], 0.225f, 0.214f, 0.147f))
            ++borderLines;
    }
    EXPECT_GE(fills, 1);
    EXPECT_EQ(borderLines, 3);
}
