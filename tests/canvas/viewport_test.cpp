// Viewport: extents and pixel scale, zoom floor, grid geometry, grid list and the projections it loads.
#include "canvas/viewport.h"

#include "feedback_recorder.h"
#include "gl_test_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {
bool hasGrey(const FeedbackVertex& v, float grey) {
    return std::fabs(v.r - grey) < 0.01f && std::fabs(v.g - grey) < 0.01f && std::fabs(v.b - grey) < 0.01f;
}
} // namespace

TEST(ViewportExtents, FitTheShorterSideAndAgreeWithThePixelScale) {
    struct Case {
        float w, h;
        double r, t; // l = -r, b = -t
    };
    const Case cases[] = {
        {400, 300, 13.333, 10}, // wide: x stretched by w / h
        {300, 400, 10, 12.733}, // tall: y stretched by (h - 18) / w
        {300, 300, 10, 9.4},    // square: fitted by its width
        {801, 301, 26.611, 10}, //
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        Viewport v;
        v.setRectangle(10, 20, c.w, c.h);
        double l, r, b, t;
        v.orthographicExtents(l, r, b, t);
        EXPECT_NEAR(r, c.r, 1e-3);
        EXPECT_NEAR(l, -c.r, 1e-3);
        EXPECT_NEAR(t, c.t, 1e-3);
        EXPECT_NEAR(b, -c.t, 1e-3);
        // One world unit covers as many pixels as the projection gives it, or drags would slip.
        EXPECT_NEAR(v.pixelsPerUnitX, c.w / (r - l), 1e-4);
        EXPECT_NEAR(v.pixelsPerUnitY, (c.h - 18) / (t - b), 1e-4);
    }
}

TEST(ViewportZoom, NeverReachesZero) {
    const float cases[][3] = {
        {1.0f, 0.5f, 1.5f}, {1.0f, -1.0f, 0.0001f}, {1.0f, -3.0f, 0.0001f}, {0.0001f, 0.1f, 0.1001f}};
    for (const auto& [start, delta, expected] : cases) {
        Viewport v;
        v.zoom = start;
        v.zoomBy(delta);
        EXPECT_FLOAT_EQ(v.zoom, expected) << start << " + " << delta;
    }
}

TEST(ViewportGrid, SegmentsCoverTheGridAtEachStep) {
    const int cases[][2] = {{5, 5}, {10, 7}, {1, 400}, {3, 0}, {0, -2}};
    for (const auto& [stepA, stepB] : cases) {
        SCOPED_TRACE(testing::Message() << "steps " << stepA << ", " << stepB);
        const auto segments = Viewport::gridSegments(stepA, stepB);
        // A step below 1 gives no lines (and must not hang).
        const auto countFor = [](int step) { return step >= 1 ? (400 + step - 1) / step : 0; };
        const int horizontals = countFor(stepA), verticals = countFor(stepB);
        ASSERT_EQ(static_cast<int>(segments.size()), horizontals + verticals);
        for (int i = 0; i < horizontals; ++i) {
            const auto& s = segments[i];
            EXPECT_TRUE(s.y0 == -200.0f + i * stepA && s.y1 == s.y0 && s.x0 == -200.0f && s.x1 == 200.0f)
                << i;
        }
        for (int i = 0; i < verticals; ++i) {
            const auto& s = segments[horizontals + i];
            EXPECT_TRUE(s.x0 == -200.0f + i * stepB && s.x1 == s.x0 && s.y0 == -200.0f && s.y1 == 182.0f)
                << i;
        }
    }
    // The default grid: 80 + 80 lines, the last of each at 195.
    const auto segments = Viewport::gridSegments(5, 5);
    ASSERT_EQ(segments.size(), 160u);
    EXPECT_EQ(segments[79].y0, 195.0f);
    EXPECT_EQ(segments[159].x0, 195.0f);
}

TEST(ViewportGridList, LiesInTheScreenPlaneAndFollowsPanAndZoom) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    struct Case {
        const char* view;
        float rx, ry, zoom, panY;
    };
    const Case cases[] = {{"top", 90, 0, 1, 0},
                          {"left", 0, -90, 1, 0},
                          {"front", 0, 0, 1, 0},
                          {"top zoomed and panned", 90, 0, 0.5f, -20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.view);
        Viewport v;
        v.zoom = c.zoom;
        v.panY = c.panY;
        v.setRotationAndTranslation(0, 0, 0, c.rx, c.ry, 0);
        v.setRectangle(0, 0, 400, 300);
        const auto primitives = FeedbackRecorder(500).record([&] {
            v.applyViewTransform();
            glCallList(v.gridList);
        });
        std::vector<FeedbackPrimitive> grid, axes;
        for (const auto& p : primitives)
            (hasGrey(p.vertices[0], 0.825f) ? grid : axes).push_back(p);
        ASSERT_EQ(grid.size(), 160u);
        ASSERT_EQ(axes.size(), 2u);
        EXPECT_TRUE(hasGrey(axes[0].vertices[0], 0.525f));
        // Flat: every vertex at one depth, so the grid faces the viewer whatever the view's rotation.
        for (const auto& p : primitives)
            for (const auto& vertex : p.vertices)
                EXPECT_NEAR(vertex.z, primitives[0].vertices[0].z, 1e-4);
        for (int i = 0; i < 80; ++i)
            EXPECT_NEAR(grid[i].vertices[0].y, c.panY + c.zoom * (-200.0f + 5.0f * i), 0.01f);
        // The axis lines are as long in world units as the view is in pixels: -400..399 and -300..282.
        const auto& across = axes[0].vertices;
        const auto& up = axes[1].vertices;
        EXPECT_NEAR(std::fabs(across[1].x - across[0].x), c.zoom * 799.0f, 0.05f);
        EXPECT_NEAR(std::max(up[0].y, up[1].y), c.panY + c.zoom * 282.0f, 0.05f);
        EXPECT_NEAR(std::min(up[0].y, up[1].y), c.panY - c.zoom * 300.0f, 0.05f);
        glDeleteLists(v.gridList, 1);
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
    const Case cases[] = {{0, 300, 400, 300, false},
                          {400, 0, 300, 400, false},
                          {30, 40, 100, 10, false},
                          {400, 300, 400, 300, true},
                          {0, 0, 250, 500, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << (c.perspective ? " perspective" : ""));
        Viewport v;
        v.setRectangle(c.x, c.y, c.w, c.h);
        ASSERT_TRUE(c.perspective ? v.applyPerspective() : v.applyOrthographic());
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        // The scene goes below the title strip, never over it, however low the view.
        const int expected[4] = {int(c.x), int(c.y), int(c.w), std::max(int(c.h) - 18, 0)};
        EXPECT_TRUE(std::equal(viewport, viewport + 4, expected))
            << viewport[0] << " " << viewport[1] << " " << viewport[2] << " " << viewport[3];
        double m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        if (c.perspective) {
            const double f = 1.0 / std::tan(22.5 * M_PI / 180.0); // 45 degrees vertical, aspect w / h
            EXPECT_NEAR(m[5], f, 1e-6);
            EXPECT_NEAR(m[0], f * c.h / c.w, 1e-6);
        } else if (c.h > 18) {
            double l, r, b, t;
            v.orthographicExtents(l, r, b, t);
            EXPECT_NEAR(m[0], 2.0 / (r - l), 1e-6);
            EXPECT_NEAR(m[5], 2.0 / (t - b), 1e-6);
        }
        glDeleteLists(v.gridList, 1);
    }
    Viewport empty;
    empty.setRectangle(0, 0, 0, 300);
    EXPECT_FALSE(empty.applyOrthographic());
    EXPECT_FALSE(empty.applyPerspective());
    glDeleteLists(empty.gridList, 1);
}
