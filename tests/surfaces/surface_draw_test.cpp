// What the surfaces' draw emits through their buffers, recorded with GL feedback.

// Before any header that pulls in GL, for glIsBuffer.
#define GL_GLEXT_PROTOTYPES

#include "feedback_recorder.h"
#include "gl_test_context.h"
#include "surface_test_support.h"
#include "surfaces/curve_surface.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Four order-2 sides of the square [0, 4] x [0, 4] around the loop; the surface goes first.
struct SquarePatch {
    std::vector<std::unique_ptr<NurbsCurve>> sides;
    CurveSurface surface;
    SquarePatch() {
        const ControlPoint c[4] = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
        for (int i = 0; i < 4; ++i) {
            sides.push_back(makeCurve({c[i], c[(i + 1) % 4]}, 2));
            surface.addCoonsCurve(sides.back().get());
        }
    }
};

struct Sphere {
    NurbsCurve profile;
    std::unique_ptr<RevolutionSurface> surface;
    Sphere() {
        buildPredefinedCurve(profile, ShapeKind::Sphere);
        surface.reset(makePredefinedSurface(&profile));
    }
};

int countOf(const std::vector<FeedbackPrimitive>& primitives, FeedbackPrimitive::Type type) {
    return static_cast<int>(std::count_if(primitives.begin(), primitives.end(),
                                          [type](const FeedbackPrimitive& p) { return p.type == type; }));
}

} // namespace

TEST(SurfaceDraw, WithoutItsCurvesNothingIsUploadedOrDrawn) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    RevolutionSurface revolution;
    SquarePatch threeSided;
    threeSided.surface.curves.pop_back();
    for (SceneObject* s : std::initializer_list<SceneObject*>{&revolution, &threeSided.surface}) {
        const auto primitives = FeedbackRecorder().record([s] { s->draw(true, false); });
        EXPECT_TRUE(primitives.empty());
    }
    EXPECT_EQ(revolution.buffers.vertexBuffer, 0u);
    EXPECT_TRUE(revolution.dirty);
    EXPECT_EQ(threeSided.surface.buffers.vertexBuffer, 0u);
    EXPECT_TRUE(threeSided.surface.dirty);
}

TEST(SurfaceDraw, EachRebuildFreesThePreviousBuffers) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    Sphere sphere;
    SquarePatch patch;
    struct Case {
        SceneObject* object;
        SurfaceBuffers* buffers;
        bool* dirty;
    };
    for (const Case& c : {Case{sphere.surface.get(), &sphere.surface->buffers, &sphere.surface->dirty},
                          Case{&patch.surface, &patch.surface.buffers, &patch.surface.dirty}}) {
        c.object->draw(false, false);
        const unsigned int first[2] = {c.buffers->vertexBuffer, c.buffers->indexBuffer};
        ASSERT_NE(first[0], 0u);
        c.object->draw(false, false); // not dirty: the same buffers are drawn again
        EXPECT_EQ(c.buffers->vertexBuffer, first[0]);
        *c.dirty = true;
        c.object->draw(false, false);
        EXPECT_NE(c.buffers->vertexBuffer, first[0]);
        for (unsigned int name : first)
            EXPECT_EQ(glIsBuffer(name), GL_FALSE);
        EXPECT_EQ(glIsBuffer(c.buffers->vertexBuffer), GL_TRUE);
        EXPECT_EQ(glIsBuffer(c.buffers->indexBuffer), GL_TRUE);
    }
    sphere.surface->releaseBuffers();
    patch.surface.releaseBuffers();
    EXPECT_EQ(sphere.surface->buffers.vertexBuffer, 0u);
    EXPECT_EQ(patch.surface.buffers.indexBuffer, 0u);
}

TEST(SurfaceDraw, ShadedPatchEmitsItsTrianglesInItsColour) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    SquarePatch patch;
    patch.surface.setColor(255, 128, 0);
    patch.surface.setShading(true);
    const auto primitives = FeedbackRecorder(10.0).record([&] { patch.surface.draw(false, true); });
    ASSERT_EQ(countOf(primitives, FeedbackPrimitive::Polygon), 200);
    for (const FeedbackPrimitive& p : primitives)
        for (const FeedbackVertex& v : p.vertices) {
            EXPECT_NEAR(v.r, 1.0f, 1e-3);
            EXPECT_NEAR(v.g, 128.0f / 255.0f, 1e-2);
            EXPECT_NEAR(v.b, 0.0f, 1e-3);
            EXPECT_TRUE(v.x > -1e-3 && v.x < 4.001 && v.y > -1e-3 && v.y < 4.001);
        }
}

TEST(SurfaceDraw, WireframePatchDrawsTwoClosedTrianglesPerCell) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    SquarePatch patch;
    patch.surface.setUParamInc(3);
    patch.surface.setVParamInc(2);
    const auto primitives = FeedbackRecorder(10.0).record([&] { patch.surface.draw(false, false); });
    // 3 x 2 cells, two closed triangles each: 36 segments, none lost (Mesa 22 keeps only the
    // first of several line loops compiled into one display list).
    EXPECT_EQ(
        countOf(primitives, FeedbackPrimitive::LineReset) + countOf(primitives, FeedbackPrimitive::Line), 36);
    for (const FeedbackPrimitive& p : primitives)
        for (const FeedbackVertex& v : p.vertices)
            EXPECT_TRUE(v.x > -1e-3 && v.x < 4.001 && v.y > -1e-3 && v.y < 4.001);
}

TEST(SurfaceDraw, RevolutionIsDrawnAboutItsShiftedAxis) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    // A line from (-3, 0) to (5, 2) turned about x = 1 (left end plus 4): x spans 1 - 4 to 1 + 4.
    auto profile = makeCurve({{-3, 0, 0}, {5, 2, 0}}, 2);
    RevolutionSurface surface(profile.get(), 1, 0, 360.0f);
    surface.setRevPoint(RevolutionSurface::Axis);
    surface.setAxisRotPoint(0);
    const auto primitives = FeedbackRecorder(10.0).record([&] { surface.draw(false, false); });
    ASSERT_FALSE(primitives.empty());
    float low = 1e9f, high = -1e9f;
    for (const FeedbackPrimitive& p : primitives)
        for (const FeedbackVertex& v : p.vertices) {
            low = std::min(low, v.x);
            high = std::max(high, v.x);
            EXPECT_NEAR(v.g, 0.8f, 1e-3);
        }
    EXPECT_NEAR(low, -3.0f, 0.02f);
    EXPECT_NEAR(high, 5.0f, 0.02f);
    // The sweep's own line count: a strip of two segments and one segment per cell, plus one per column.
    const SurfaceMesh& mesh = surface.surfaceMesh;
    const int cells = mesh.countOf(SurfaceMesh::LineStrip);
    EXPECT_EQ(countOf(primitives, FeedbackPrimitive::LineReset) +
                  countOf(primitives, FeedbackPrimitive::Line),
              3 * cells + (mesh.countOf(SurfaceMesh::Lines) - cells));
}
