// Navigation with real events: the wheel zooms about the cursor, Home and F bring the scene or the
// active object into every view, and an opened scene comes framed.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "geometry/nurbs_curve.h"
#include "scene/scene_file.h"

#include "canvas/view_projection.h"
#include "drawn_position.h"
#include "live_canvas.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <sstream>
#include <vector>

namespace {

NurbsCurve* addCurve(GLPelm& p, std::initializer_list<ControlPoint> points, int order = 3) {
    return addSceneCurve(p, points, order);
}

// A wheel turn as the window system delivers it: angle deltas of 120 per notch.
void turnWheel(GLPelm& p, QPoint at, int delta) {
    QWheelEvent event(QPointF(at), p.mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&p, &event);
}

const int allViews[] = {ViewKind::Top, ViewKind::Perspective, ViewKind::Left, ViewKind::Front};

// Every control point of every curve drawn inside every view.
void expectAllInside(GLPelm& p, const std::vector<NurbsCurve*>& curves, bool inside = true) {
    for (int view : allViews)
        for (NurbsCurve* curve : curves)
            for (const ControlPoint& q : curve->controlPoints) {
                const DrawnPosition at = drawnPosition(p, view, q);
                ASSERT_TRUE(at.projected);
                EXPECT_EQ(at.inside, inside) << "view " << view << " point " << q.x << ", " << q.y << ", "
                                             << q.z << " at " << at.x << ", " << at.y << ", " << at.depth;
            }
}

// How much of a view's drawing area the points span, the larger of the two directions, 0..1.
double filledPart(GLPelm& p, int viewKind, const std::vector<NurbsCurve*>& curves) {
    Viewport& view = viewKind == ViewKind::Perspective ? p.perspectiveView : *p.orthographicView(viewKind);
    double lowX = 1e9, highX = -1e9, lowY = 1e9, highY = -1e9;
    for (NurbsCurve* curve : curves)
        for (const ControlPoint& q : curve->controlPoints) {
            const DrawnPosition at = drawnPosition(p, viewKind, q);
            lowX = std::min(lowX, at.x);
            highX = std::max(highX, at.x);
            lowY = std::min(lowY, at.y);
            highY = std::max(highY, at.y);
        }
    return std::max((highX - lowX) / view.width, (highY - lowY) / (view.height - 18));
}

void expectPoint(const ControlPoint& got, const ControlPoint& wanted) {
    EXPECT_EQ(got.x, wanted.x);
    EXPECT_EQ(got.y, wanted.y);
    EXPECT_EQ(got.z, wanted.z);
}

} // namespace

TEST(CanvasNavigation, WheelZoomsTheOrthographicViewUnderTheCursorAboutIt) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    struct Case {
        const char* what;
        QPoint at;
        int delta;
    };
    const Case cases[] = {
        {"top, in", QPoint(80, 60), 120},
        {"top, out twice", QPoint(330, 250), -240},
        {"front, half a notch in", QPoint(390, 320), 60},
        {"left, in", QPoint(450, 580), 120},
        {"left, three out", QPoint(790, 330), -360},
        {"front again, in", QPoint(10, 590), 120},
    };
    const int flatViews[] = {ViewKind::Top, ViewKind::Left, ViewKind::Front};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const int region = p.regionAt(k.at.x(), k.at.y());
        ASSERT_NE(p.orthographicView(region), nullptr);
        float zoomBefore[4];
        for (int view : flatViews)
            zoomBefore[view] = p.orthographicView(view)->zoom;
        ControlPoint under;
        ASSERT_TRUE(p.unproject(region, k.at.x(), k.at.y(), under));
        turnWheel(p, k.at, k.delta);
        ControlPoint after;
        ASSERT_TRUE(p.unproject(region, k.at.x(), k.at.y(), after));
        EXPECT_LT(length(after - under), 1e-4 * (1.0 + length(under)));
        const float zoomAfter = p.orthographicView(region)->zoom;
        if (k.delta > 0) {
            EXPECT_GT(zoomAfter, zoomBefore[region]);
        } else {
            EXPECT_LT(zoomAfter, zoomBefore[region]);
        }
        for (int view : flatViews)
            if (view != region) {
                EXPECT_EQ(p.orthographicView(view)->zoom, zoomBefore[view]);
            }
    }
    // A notch in shows the world a fifth larger: the same two pixels span less of it.
    ControlPoint a, b, a2, b2;
    ASSERT_TRUE(p.unproject(ViewKind::Front, 100, 400, a));
    ASSERT_TRUE(p.unproject(ViewKind::Front, 300, 550, b));
    turnWheel(p, QPoint(200, 450), 120);
    ASSERT_TRUE(p.unproject(ViewKind::Front, 100, 400, a2));
    ASSERT_TRUE(p.unproject(ViewKind::Front, 300, 550, b2));
    EXPECT_NEAR(length(b - a) / length(b2 - a2), 1.2, 1e-3);

    // Over the split handle nothing moves.
    const float topZoom = p.topView.zoom, frontZoom = p.frontView.zoom;
    const CameraRecord camera = p.camera;
    turnWheel(p, QPoint(400, 300), 120);
    EXPECT_EQ(p.topView.zoom, topZoom);
    EXPECT_EQ(p.frontView.zoom, frontZoom);
    EXPECT_EQ(p.camera.eye.z, camera.eye.z);
}

TEST(CanvasNavigation, WheelMovesThePerspectiveCameraAlongItsLineOfSight) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    p.camera.eye = ControlPoint(12, 9, 30);
    p.camera.target = ControlPoint(2, 1, -4);
    const ControlPoint target = p.camera.target;
    double distance = length(p.camera.eye - target);
    for (int delta : {120, 240, -120, -360, 1200 * 5}) {
        SCOPED_TRACE(delta);
        const ControlPoint before = p.camera.eye - target;
        turnWheel(p, QPoint(600, 150), delta);
        const ControlPoint now = p.camera.eye - target;
        // Same line through the target, same side, nearer for a turn away from the user.
        const ControlPoint cross(before.y * now.z - before.z * now.y, before.z * now.x - before.x * now.z,
                                 before.x * now.y - before.y * now.x);
        EXPECT_LT(length(cross), 1e-9 * length(before) * length(now) + 1e-9);
        EXPECT_GT(before.x * now.x + before.y * now.y + before.z * now.z, 0.0);
        EXPECT_EQ(length(p.camera.target - target), 0.0);
        const double next = length(now);
        if (delta > 0) {
            EXPECT_LT(next, distance);
        } else {
            EXPECT_GT(next, distance);
        }
        EXPECT_GT(next, 0.1); // never onto the target or past the near plane
        distance = next;
    }
    EXPECT_EQ(p.topView.zoom, 1.0f);
}

TEST(CanvasNavigation, HomeFitsTheWholeSceneInEveryView) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    const std::vector<NurbsCurve*> curves = {
        addCurve(p, {{55, -40, 20}, {70, -30, 35}, {62, -48, 28}, {80, -35, 22}}),
        addCurve(p, {{48, -44, 31}, {50, -42, 18}}, 2),
    };
    struct Case {
        const char* what;
        int splitOffsetX;
        float panX, zoom;
        ControlPoint rotation;
    };
    const Case cases[] = {
        {"default views", 0, 0.0f, 1.0f, {0, 0, 0}},
        {"panned and zoomed in first", 0, 30.0f, 6.0f, {0, 0, 0}},
        {"tall left-hand views", -250, -3.0f, 0.2f, {0, 0, 0}},
        {"turned camera", 150, 0.0f, 1.0f, {35, -60, 20}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        p.splitOffsetX = k.splitOffsetX;
        p.placeSplitPoint();
        for (Viewport* view : {&p.topView, &p.leftView, &p.frontView, &p.perspectiveView}) {
            view->panX = k.panX;
            view->zoom = k.zoom;
        }
        p.camera = CameraRecord{};
        p.camera.rotation = k.rotation;
        c.key(Qt::Key_Home);
        expectAllInside(p, curves);
        // Fitted, not merely shrunk to a dot.
        for (int view : allViews) {
            EXPECT_GT(filledPart(p, view, curves), view == ViewKind::Perspective ? 0.3 : 0.6) << view;
        }
        EXPECT_EQ(p.camera.rotation.x, k.rotation.x);
    }

    // An empty scene framed gives the default views back.
    p.newScene();
    c.key(Qt::Key_Home);
    for (Viewport* view : {&p.topView, &p.leftView, &p.frontView, &p.perspectiveView}) {
        EXPECT_EQ(view->panX, 0.0f);
        EXPECT_EQ(view->panY, 0.0f);
        EXPECT_EQ(view->zoom, 1.0f);
    }
    expectPoint(p.camera.eye, CameraRecord{}.eye);
    expectPoint(p.camera.target, CameraRecord{}.target);
    expectPoint(p.camera.rotation, CameraRecord{}.rotation);
}

TEST(CanvasNavigation, FFitsTheActiveObjectAndSaysSoWhenThereIsNone) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    NurbsCurve* near = addCurve(p, {{-2, -1, 0}, {1, 2, 1}, {2, -1, -1}});
    NurbsCurve* far = addCurve(p, {{150, 140, -160}, {155, 146, -150}, {160, 141, -155}});
    c.key(Qt::Key_Home);
    expectAllInside(p, {near, far});

    QSignalSpy messages(&p, &GLPelm::statusMessage);
    const float zoom = p.frontView.zoom;
    c.key(Qt::Key_F); // nothing active
    EXPECT_EQ(p.frontView.zoom, zoom);
    ASSERT_EQ(messages.count(), 1);
    EXPECT_FALSE(messages[0][0].toString().isEmpty());

    for (NurbsCurve* chosen : {far, near}) {
        p.setActiveObject(chosen, ObjectKind::Curve);
        c.key(Qt::Key_F);
        expectAllInside(p, {chosen});
        expectAllInside(p, {chosen == far ? near : far}, false);
    }
    EXPECT_EQ(messages.count(), 1);
}

TEST(CanvasNavigation, LoadingASceneFramesIt) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray path = QFile::encodeName(folder.filePath("far.scene"));
    GLPelm& p = *c.pelm;
    NurbsCurve* curve = addCurve(p, {{-90, 60, 10}, {-80, 75, 15}, {-95, 70, 5}});
    std::ostringstream out, err;
    ASSERT_TRUE(p.saveSceneFile(path.constData(), out, err));
    expectAllInside(p, {curve}, false);

    p.loadTheScene(path.constData());
    ASSERT_EQ(p.scene.size(), 1);
    std::vector<NurbsCurve*> loaded = {dynamic_cast<NurbsCurve*>(p.scene.first->object)};
    expectAllInside(p, loaded);

    // Loaded before the canvas is shown: framed once it has its size.
    GLPelm early(nullptr, "early");
    ASSERT_TRUE(early.loadSceneFile(path.constData(), out, err));
    early.resize(800, 600);
    early.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&early));
    early.grabFramebuffer();
    loaded = {dynamic_cast<NurbsCurve*>(early.scene.first->object)};
    expectAllInside(early, loaded);
}
