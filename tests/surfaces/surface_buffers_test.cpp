// Surfaces drawn from shared vertices in buffers look exactly as their display lists of separate
// corners did.
#include "gl_test_context.h"
#include "surface_test_support.h"
#include "surfaces/curve_surface.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include <QImage>
#include <QOpenGLFramebufferObject>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

enum class Kind { Revolution, Coons, Extrusion };

// A surface with the curves it is built from; the surface goes first.
struct TestSurface {
    NurbsCurve profile;
    std::vector<std::unique_ptr<NurbsCurve>> curves;
    std::unique_ptr<SceneObject> surface;
    SurfaceBuffers* buffers = nullptr;
    const SurfaceMesh* mesh = nullptr;
};

std::unique_ptr<TestSurface> makeSurface(Kind kind) {
    auto s = std::make_unique<TestSurface>();
    if (kind == Kind::Revolution) {
        buildPredefinedCurve(s->profile, ShapeKind::Sphere);
        auto* revolution = makePredefinedSurface(&s->profile);
        revolution->setUParamInc(24);
        revolution->setVParamInc(40);
        s->buffers = &revolution->buffers;
        s->mesh = &revolution->surfaceMesh;
        s->surface.reset(revolution);
        return s;
    }
    auto* patch = new CurveSurface;
    s->surface.reset(patch);
    if (kind == Kind::Coons) {
        // Four bulging sides around a saddle-like loop.
        const ControlPoint c[4] = {{-4, -4, 0}, {4, -4, 2}, {4, 4, 0}, {-4, 4, 2}};
        for (int i = 0; i < 4; ++i) {
            const ControlPoint& a = c[i];
            const ControlPoint& b = c[(i + 1) % 4];
            const ControlPoint mid((a.x + b.x) / 2 + a.y / 4, (a.y + b.y) / 2 - a.x / 4, (a.z + b.z) / 2 + 2);
            s->curves.push_back(makeCurve({a, mid, b}, 3));
        }
    } else {
        // A wavy profile, a curved path, and their reversed copies closing the loop.
        s->curves.push_back(makeCurve({{-4, -4, 0}, {-1, -4, 3}, {1, -4, -2}, {4, -4, 1}}, 3));
        s->curves.push_back(makeCurve({{4, -4, 1}, {5, 0, 2}, {4, 4, 1}}, 3));
        for (int i = 0; i < 2; ++i) {
            auto copy = std::make_unique<NurbsCurve>();
            copy->copyFrom(*s->curves[i]);
            copy->reverseOrder();
            s->curves.push_back(std::move(copy));
        }
    }
    for (auto& curve : s->curves)
        patch->addCoonsCurve(curve.get());
    patch->setUParamInc(30);
    patch->setVParamInc(20);
    s->buffers = &patch->buffers;
    s->mesh = &patch->surfaceMesh;
    return s;
}

// Draws once under a fixed lit view framing the mesh and returns the picture.
QImage render(QOpenGLFramebufferObject& target, const SurfaceMesh& mesh, const std::function<void()>& draw) {
    double extent = 1.0;
    for (int v = 0; v < mesh.vertexCount(); ++v) {
        const ControlPoint p = worldVertex(mesh, v);
        extent = std::max({extent, std::abs(p.x), std::abs(p.y), std::abs(p.z)});
    }
    target.bind();
    glViewport(0, 0, target.width(), target.height());
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.2 * extent, 1.2 * extent, -1.2 * extent, 1.2 * extent, -4 * extent, 4 * extent);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotated(35.0, 1.0, 0.0, 0.0);
    glRotated(-25.0, 0.0, 1.0, 0.0);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glColor3f(0.2f, 0.3f, 0.4f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    draw();
    glFinish();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    const QImage image = target.toImage();
    target.release();
    return image;
}

struct Case {
    const char* name;
    Kind kind;
    bool shading, gradient;
    // The buffers hold at most one vertex in this many of the mesh's corners.
    int sharing;
};

} // namespace

TEST(SurfaceBuffers, DrawTheSamePictureAsTheDisplayListWithFewerVertices) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::Depth);
    QOpenGLFramebufferObject target(240, 240, format);
    ASSERT_TRUE(target.isValid());
    const Case cases[] = {
        {"revolution mesh", Kind::Revolution, false, false, 4},
        {"revolution shaded", Kind::Revolution, true, false, 4},
        {"revolution gradient", Kind::Revolution, true, true, 1},
        {"revolution gradient mesh", Kind::Revolution, false, true, 1},
        {"coons mesh", Kind::Coons, false, false, 4},
        {"coons shaded", Kind::Coons, true, false, 4},
        {"coons gradient", Kind::Coons, true, true, 1},
        {"coons gradient mesh", Kind::Coons, false, true, 4},
        {"extrusion mesh", Kind::Extrusion, false, false, 4},
        {"extrusion shaded", Kind::Extrusion, true, false, 4},
        {"extrusion gradient", Kind::Extrusion, true, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto s = makeSurface(c.kind);
        s->surface->setColor(200, 120, 40);
        s->surface->setSurfaceDisplay(c.shading, c.gradient);
        const SurfaceMesh& mesh = *s->mesh;
        s->surface->draw(false, false); // builds the mesh the view is framed on
        ASSERT_FALSE(mesh.empty());
        const QImage shared = render(target, mesh, [&] { s->surface->draw(false, false); });
        unsigned int list = mesh.compileReplacing(0);
        const QImage corners = render(target, mesh, [&] { glCallList(list); });
        SurfaceMesh::releaseList(list);

        int drawn = 0, worst = 0;
        for (int y = 0; y < corners.height(); ++y)
            for (int x = 0; x < corners.width(); ++x) {
                const QRgb a = corners.pixel(x, y), b = shared.pixel(x, y);
                drawn += a != corners.pixel(0, 0);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b))});
            }
        EXPECT_GT(drawn, 2000) << "the surface hardly shows";
        EXPECT_LE(worst, 1) << "pictures differ by " << worst << " levels";

        const int vertices = s->buffers->vertexCount();
        EXPECT_GT(vertices, 0);
        EXPECT_LT(vertices * c.sharing, mesh.vertexCount());
        s->surface->releaseGraphics();
    }
}
