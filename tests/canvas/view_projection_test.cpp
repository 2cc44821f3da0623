// Orthographic unprojection computed from a view's fields agrees with gluUnProject under its GL matrices.
#include "canvas/view_projection.h"

#include "live_canvas.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

TEST(ViewProjection, MatchesGluUnProjectUnderTheViewsMatrices) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    GLPelm& p = *c.pelm;
    struct Case {
        const char* what;
        int viewKind;
        int splitOffsetX; // -250 makes the left-hand views taller than wide
        float panX, panY, zoom;
    };
    const Case cases[] = {
        {"front", ViewKind::Front, 0, 0, 0, 1},
        {"front panned, zoomed in", ViewKind::Front, 0, 2.5f, -1.25f, 3},
        {"front tall, zoomed out", ViewKind::Front, -250, -4, 1, 0.25f},
        {"top", ViewKind::Top, 0, 0, 0, 1},
        {"top tall, panned", ViewKind::Top, -250, 1, 3, 1.5f},
        {"left", ViewKind::Left, 0, 0, 0, 1},
        {"left panned, zoomed", ViewKind::Left, 100, -3, -2, 0.7f},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        p.splitOffsetX = k.splitOffsetX;
        p.placeSplitPoint();
        Viewport& view = *p.orthographicView(k.viewKind);
        view.panX = k.panX;
        view.panY = k.panY;
        view.zoom = k.zoom;
        p.makeCurrent();
        ASSERT_TRUE(view.applyOrthographic());
        GLdouble model[16], projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        p.doneCurrent();
        const int depth = GLPelm::depthAxis(k.viewKind);
        // Corners and middle of the drawing area, and a point off it.
        const double fractions[][2] = {{0.02, 0.03}, {0.5, 0.5}, {0.97, 0.9}, {0.3, 0.8}, {1.2, -0.1}};
        for (const auto& f : fractions) {
            const double wx = view.x + f[0] * view.width, wy = view.y + f[1] * (view.height - 18);
            GLdouble gx, gy, gz;
            ASSERT_TRUE(gluUnProject(wx, wy, 0.0, model, projection, viewport, &gx, &gy, &gz));
            ControlPoint ours;
            ASSERT_TRUE(unprojectOrthographic(view, wx, wy, ours));
            ControlPoint theirs(gx, gy, gz);
            // GL's point lies on the near plane; ours is moved along the depth axis into the view's plane.
            EXPECT_NEAR(theirs.coordinate(depth) * k.zoom, 1000.0, 0.01);
            EXPECT_EQ(ours.coordinate(depth), 0.0);
            theirs.coordinate(depth) = 0.0;
            EXPECT_LT(length(ours - theirs), 1e-3) << f[0] << ", " << f[1];
        }
        view.panX = view.panY = 0.0f;
        view.zoom = 1.0f;
    }
    // A view lower than its title strip has no drawing area to unproject into.
    ControlPoint out(7, 7, 7);
    Viewport flat = p.frontView;
    flat.height = 18;
    EXPECT_FALSE(unprojectOrthographic(flat, 10, 10, out));
    EXPECT_EQ(out.x, 7.0);
}
