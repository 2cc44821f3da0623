// The canvas driven by real mouse and key events: regions, picking, dragging, surface picks, deletion.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include "canvas/view_projection.h"
#include "live_canvas.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

namespace {

// At 800 x 600 every orthographic view is 400 x 300 with a 400 x 282 drawing area showing
// x from -13.33 to 13.33 and y from -10 to 10: 15 pixels per unit across, 14.1 up.
QPoint frontPixel(double x, double y) {
    return QPoint(int(std::lround(200 + 15 * x)), int(std::lround(459 - 14.1 * y)));
}

NurbsCurve* addCurve(GLPelm& p, std::initializer_list<ControlPoint> points, int order = 2,
                     int form = NurbsCurve::Interpolated) {
    return addSceneCurve(p, points, order, form);
}

void expectPoint(const ControlPoint& got, double x, double y, double z, double tolerance = 1e-6) {
    EXPECT_NEAR(got.x, x, tolerance);
    EXPECT_NEAR(got.y, y, tolerance);
    EXPECT_NEAR(got.z, z, tolerance);
}

} // namespace

TEST(CanvasMouse, PressesHitTheRegionUnderThem) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    // The handle is drawn over the four views, 6 pixels each way from the split point, and a press
    // on it takes it first; the views begin just outside it. On a split line there is no region.
    // clang-format off
    const std::pair<QPoint, int> cases[] = {
        {{403, 297}, ViewKind::SplitHandle}, {{394, 306}, ViewKind::SplitHandle}, {{393, 293}, ViewKind::Top},
        {{407, 293}, ViewKind::Perspective}, {{407, 307}, ViewKind::Left}, {{393, 307}, ViewKind::Front},
        {{399, 100}, ViewKind::Top}, {{401, 100}, ViewKind::Perspective}, {{401, 500}, ViewKind::Left},
        {{399, 500}, ViewKind::Front}, {{400, 200}, ViewKind::None}, {{100, 300}, ViewKind::None},
    };
    // clang-format on
    for (const auto& [at, region] : cases) {
        c.pelm->activeView = ViewKind::Front; // a line press must not keep an earlier region
        c.click(at);
        EXPECT_EQ(c.pelm->activeView, region) << at.x() << ", " << at.y();
    }
}

TEST(CanvasMouse, KeyNThenPressesBuildACurveInTheViewPlane) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    struct Case {
        Viewport* view;
        float panX, panY, zoom;
        QPoint at;
        double x, y, z;
    };
    // clang-format off
    const Case cases[] = {
        {&p.frontView, 0, 0, 1, {200, 459}, 0, 0, 0},   {&p.frontView, 0, 0, 1, {230, 318}, 2, 10, 0},
        {&p.frontView, 1, -2, 2, {230, 459}, 0.5, 1, 0}, {&p.frontView, 0, 0, 0.5, {230, 459}, 4, 0, 0},
        {&p.topView, 0, 0, 1, {245, 18}, 3, 0, -10},     {&p.topView, -3, 0, 1, {245, 159}, 6, 0, 0},
        {&p.leftView, 0, 0, 1, {630, 459}, 0, 0, -2},    {&p.leftView, 0, 0, 1, {600, 318}, 0, 10, 0},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.view->title << " at " << k.at.x() << ", " << k.at.y());
        k.view->panX = k.panX;
        k.view->panY = k.panY;
        k.view->zoom = k.zoom;
        QSignalSpy parameters(&p, &GLPelm::emitCurveParameters);
        c.key(Qt::Key_N);
        EXPECT_EQ(p.toolMode, ToolMode::AppendPoint);
        EXPECT_EQ(parameters.count(), 1);
        auto* curve = dynamic_cast<NurbsCurve*>(p.activeObject);
        ASSERT_NE(curve, nullptr);
        c.click(k.at);
        c.click(k.at + QPoint(3, 0));
        ASSERT_EQ(curve->controlPoints.size(), 2u);
        expectPoint(curve->controlPoints[0], k.x, k.y, k.z);
        EXPECT_EQ(curve->controlPoints[1].coordinate(GLPelm::depthAxis(p.activeView)), 0.0);
        k.view->panX = k.view->panY = 0.0f;
        k.view->zoom = 1.0f;
    }
}

TEST(CanvasMouse, NothingActsWithoutAToolOrARegion) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    NurbsCurve* curve = addCurve(p, {{0, 0, 0}, {1, 0, 0}});
    p.setActiveObject(curve, ObjectKind::Curve);
    c.click(frontPixel(3, 3)); // no tool chosen yet
    EXPECT_EQ(curve->controlPoints.size(), 2u);
    EXPECT_EQ(p.activeObject, curve);

    // After a handle drag, a drag that starts on a split line neither drags the handle nor pans.
    c.drag({400, 300}, {380, 300});
    ASSERT_EQ(p.splitX, 380.0f);
    p.panClicked();
    c.drag({380, 200}, {300, 150});
    EXPECT_EQ(p.splitX, 380.0f);
    for (const Viewport* v : {&p.topView, &p.leftView, &p.frontView, &p.perspectiveView})
        EXPECT_TRUE(v->panX == 0.0f && v->panY == 0.0f) << v->title;
}

TEST(CanvasMouse, EditPointPicksWithinToleranceOnTheTwoInPlaneAxes) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    struct Case {
        std::vector<ControlPoint> points; // the press lands on the world origin
        int found;
    };
    const Case cases[] = {
        {{{5, 5, 0}, {0.25, -0.25, 40}}, 1}, // far along the depth axis, which is ignored
        {{{5, 5, 0}, {0.35, 0, 0}}, -1},
        {{{5, 5, 0}, {0, -0.35, 0}}, -1},
        {{{5, 5, 0}, {0.1, 0.2, 0}, {0, 0, 0}}, 1}, // two in reach: the lower index
    };
    p.editCPClicked();
    for (const Case& k : cases) {
        auto* curve = new NurbsCurve;
        for (const ControlPoint& q : k.points)
            curve->appendPoint(q);
        curve->controlPoints[1].w = 1.57;
        p.scene.append(curve, ObjectKind::Curve);
        p.setActiveObject(curve, ObjectKind::Curve);
        QSignalSpy weight(&p, &GLPelm::emitWeight);
        c.click(frontPixel(0, 0));
        EXPECT_EQ(p.activePoint, k.found);
        EXPECT_EQ(weight.count(), k.found == -1 ? 0 : 1);
        if (k.found != -1) {
            EXPECT_EQ(weight[0][0].toInt(), 15); // 1.57 reported truncated
        }
    }
}

TEST(CanvasMouse, EditDragsMoveAPointOrChangeItsWeightAndTheSurfaceFollows) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    p.NURBS_cylinderClicked();
    auto* profile = dynamic_cast<NurbsCurve*>(p.activeObject);
    ASSERT_NE(profile, nullptr);
    auto* surface = dynamic_cast<RevolutionSurface*>(profile->surfaceLink);
    ASSERT_NE(surface, nullptr);
    p.grabFramebuffer();
    const unsigned int buffer = surface->buffers.vertexBuffer;

    // The profile's corner (-8.5, 0, -6.5) in the top view, dragged one unit left and two down.
    const QPoint corner(int(std::lround(200 - 15 * 8.5)), int(std::lround(159 - 14.1 * 6.5)));
    c.drag(corner, corner + QPoint(-15, 28));
    EXPECT_EQ(p.activePoint, 1);
    expectPoint(profile->controlPoints[1], -9.5, 0, -4.5, 0.05);
    expectPoint(profile->controlPoints[0], 0, 0, -6.5);
    p.grabFramebuffer();
    EXPECT_NE(surface->buffers.vertexBuffer, buffer) << "the release did not rebuild the surface";

    // Middle drag 20 right and 10 up: (20 / 15 + 10 / 14.1) / 2 more weight; the release reports it.
    const QPoint at = corner + QPoint(-15, 28);
    QSignalSpy weight(&p, &GLPelm::emitWeight);
    c.drag(at, at + QPoint(20, -10), Qt::MiddleButton);
    const double expected = 1.0 + (20.0 / 15.0 + 10.0 / 14.1) / 2.0;
    EXPECT_NEAR(profile->weight(1), expected, 1e-5);
    ASSERT_EQ(weight.count(), 2); // at the press, then at the release
    EXPECT_EQ(weight[1][0].toInt(), int(expected * 10));
}

TEST(CanvasMouse, DeletePointToolAndDeleteKeyRemovePoints) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    NurbsCurve* curve = addCurve(p, {{-4, 0, 0}, {0, 0, 0}, {4, 0, 0}, {4, 4, 0}}, 3);
    p.setActiveObject(curve, ObjectKind::Curve);
    p.deleteCPClicked();
    c.press(frontPixel(0, 0));
    EXPECT_EQ(curve->controlPoints.size(), 3u) << "deleted at the press";
    c.moveHolding(frontPixel(3, 3), Qt::LeftButton); // no drag follows
    c.release(frontPixel(3, 3));
    expectPoint(curve->controlPoints[1], 4, 0, 0);

    c.key(Qt::Key_E);
    c.click(frontPixel(4, 4));
    ASSERT_EQ(p.activePoint, 2);
    c.key(Qt::Key_Delete);
    EXPECT_EQ(curve->controlPoints.size(), 2u);
    EXPECT_EQ(p.activePoint, -1);
}

TEST(CanvasMouse, SelectionReportsTheCurveAndItsSurfaceAndDragsTransformIt) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    NurbsCurve* free = addCurve(p, {{-3, 3, 0}, {3, 3, 0}});
    p.NURBS_sphereClicked();
    auto* profile = dynamic_cast<NurbsCurve*>(p.activeObject);
    ASSERT_NE(profile, nullptr);
    dynamic_cast<RevolutionSurface*>(profile->surfaceLink)->setVParamInc(30);

    struct Case {
        int tool;
        QPoint at;
        SceneObject* selected;
        int surfaceReports;
    };
    const Case cases[] = {
        {ToolMode::Translate, frontPixel(1, 3), free, 0},
        {ToolMode::Scale, frontPixel(1, -6), nullptr, 0},
        {ToolMode::Rotate, QPoint(200, 53), profile, 1}, // the profile's end at z = -7.5, top view
        {ToolMode::Translate, frontPixel(-9, -9), nullptr, 0},
    };
    for (const Case& k : cases) {
        p.toolMode = k.tool;
        QSignalSpy parameters(&p, &GLPelm::emitCurveParameters);
        QSignalSpy properties(&p, &GLPelm::emitSurfaceProperties);
        c.click(k.at);
        EXPECT_EQ(p.activeObject, k.selected);
        EXPECT_EQ(parameters.count(), k.selected ? 1 : 0);
        ASSERT_EQ(properties.count(), k.surfaceReports);
        if (k.surfaceReports) {
            EXPECT_EQ(properties[0][2].toInt(), 30);
        }
    }

    // Translate: the world delta in the view's plane. Scale: D.x / 10 more about the centre.
    p.translateClicked();
    c.drag(frontPixel(0, 3), frontPixel(0, 3) + QPoint(-45, 141));
    expectPoint(free->controlPoints[0], -6, -7, 0);
    expectPoint(free->controlPoints[1], 0, -7, 0);
    p.scaleClicked();
    c.drag(frontPixel(-3, -7), frontPixel(-3, -7) + QPoint(30, 0));
    expectPoint(free->controlPoints[0], -6.6, -7, 0); // 2 units: 20 % more about x = -3
    expectPoint(free->controlPoints[1], 0.6, -7, 0);
}

TEST(CanvasMouse, CoonsPicksCompleteThePatchAndDeleteTakesItThenTheCurve) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    NurbsCurve* loop[] = {addCurve(p, {{-3, 0, 0}, {3, 0, 0}}), addCurve(p, {{3, 0, 0}, {3, 4, 0}}),
                          addCurve(p, {{3, 4, 0}, {-3, 4, 0}}), addCurve(p, {{-3, 4, 0}, {-3, 0, 0}})};
    NurbsCurve* closed = addCurve(p, {{-6, -6, 0}, {6, -6, 0}, {6, -8, 0}}, 2, NurbsCurve::Closed);
    NurbsCurve* spare = addCurve(p, {{-8, 8, 0}, {8, 8, 0}});
    p.createCoons();
    auto* patch = dynamic_cast<CurveSurface*>(p.activeObject);
    ASSERT_NE(patch, nullptr);

    struct Pick {
        QPoint at;
        NurbsCurve* curve;
        bool linked;
        int toolAfter;
    };
    const Pick picks[] = {
        {frontPixel(0, 0), loop[0], true, ToolMode::PickCoons},
        {frontPixel(0, -6), closed, false, ToolMode::PickCoons}, // refused: not Interpolated
        {frontPixel(3, 2), loop[1], true, ToolMode::PickCoons},
        {frontPixel(0, 4), loop[2], true, ToolMode::PickCoons},
        {frontPixel(-3, 2), loop[3], true, ToolMode::Translate},
    };
    for (const Pick& k : picks) {
        c.click(k.at);
        EXPECT_EQ(k.curve->surfaceLink == patch, k.linked);
        EXPECT_EQ(k.curve->linkKind, k.linked ? NurbsCurve::CoonsLink : NurbsCurve::FreeLink);
        EXPECT_EQ(p.toolMode, k.toolAfter);
        // Picked, and drawn highlighted, until the patch completes.
        EXPECT_EQ(p.pickedCurve, k.toolAfter == ToolMode::PickCoons ? k.curve : nullptr);
    }
    EXPECT_EQ(patch->curves.size(), 4u);

    // The complete patch, still active, takes no fifth curve: nor may that curve point at it.
    p.selCoonsCurves();
    c.click(frontPixel(0, 8));
    EXPECT_EQ(spare->surfaceLink, nullptr);
    EXPECT_EQ(p.toolMode, ToolMode::PickCoons);

    p.translateClicked();
    c.click(frontPixel(0, 0));
    ASSERT_EQ(p.activeObject, loop[0]);
    p.grabFramebuffer(); // the patch compiles its list
    c.key(Qt::Key_Delete);
    EXPECT_FALSE(p.scene.contains(patch));
    for (NurbsCurve* curve : loop)
        EXPECT_TRUE(curve->surfaceLink == nullptr && curve->linkKind == NurbsCurve::ReleasedLink);
    EXPECT_EQ(p.activeObject, loop[0]);
    c.key(Qt::Key_Delete);
    EXPECT_FALSE(p.scene.contains(loop[0]));
    EXPECT_EQ(p.activeObject, nullptr);
    EXPECT_EQ(p.scene.size(), 5);
}

TEST(CanvasMouse, ExtrusionPickAppendsTwoReversedCopies) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    NurbsCurve* profile = addCurve(p, {{-3, 0, 0}, {0, 2, 0}, {3, 0, 0}}, 3);
    NurbsCurve* path = addCurve(p, {{-3, 0, 0}, {-3, 0, -8}});
    p.createExtrude();
    auto* extrusion = dynamic_cast<CurveSurface*>(p.activeObject);
    ASSERT_NE(extrusion, nullptr);
    c.click(frontPixel(0, 1));
    EXPECT_EQ(p.pickedCurve, profile);
    c.click(QPoint(155, 159 - 56)); // the path in the top view: x = -3, z = -4
    EXPECT_EQ(path->linkKind, NurbsCurve::ExtrusionLink);
    EXPECT_EQ(p.pickedCurve, nullptr);
    EXPECT_EQ(p.toolMode, ToolMode::Translate);
    ASSERT_EQ(p.scene.size(), 5);
    ASSERT_EQ(extrusion->curves.size(), 4u);
    for (int i = 0; i < 2; ++i) {
        auto* copy = dynamic_cast<NurbsCurve*>(p.scene.objectAt(3 + i));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(extrusion->curve(2 + i), copy);
        EXPECT_TRUE(copy->surfaceLink == extrusion && copy->linkKind == NurbsCurve::ExtrusionLink);
        EXPECT_EQ(copy->controlPoints.size(), extrusion->curve(i)->controlPoints.size());
    }
    // The profile's copy runs backwards over it.
    auto* copy = dynamic_cast<NurbsCurve*>(p.scene.objectAt(3));
    EXPECT_GT(copy->controlPoints.front().x, copy->controlPoints.back().x);
}

TEST(CanvasMouse, RevolutionPickSetsTheProfileAndLetsTheOldOneGo) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    NurbsCurve* first = addCurve(p, {{-3, 0, 0}, {3, 0, 0}});
    NurbsCurve* second = addCurve(p, {{-3, 4, 0}, {3, 4, 0}});
    NurbsCurve* third = addCurve(p, {{-3, -4, 0}, {3, -4, 0}});
    p.createRev();
    auto* surface = dynamic_cast<RevolutionSurface*>(p.activeObject);
    ASSERT_NE(surface, nullptr);
    c.click(frontPixel(0, 0));
    EXPECT_EQ(surface->profile, first);
    EXPECT_TRUE(first->surfaceLink == surface && first->linkKind == NurbsCurve::RevolutionLink);
    EXPECT_EQ(p.toolMode, ToolMode::Translate);

    p.selRevolutionCurve();
    c.click(frontPixel(0, 4));
    EXPECT_EQ(surface->profile, second);
    EXPECT_TRUE(first->surfaceLink == nullptr && first->linkKind == NurbsCurve::ReleasedLink);

    // A pick mode that does not match the active surface links nothing.
    p.selCoonsCurves();
    c.click(frontPixel(0, -4));
    EXPECT_EQ(p.pickedCurve, third);
    EXPECT_EQ(third->surfaceLink, nullptr);
    EXPECT_EQ(surface->profile, second);
}

TEST(CanvasMouse, SplitHandleStopsAtItsMarginsAndStaysWithTheMouse) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    c.press({403, 297});
    // 500 left in one move; back 10 (no leap from the edge); far down, far up; far right, back.
    // clang-format off
    const std::pair<QPoint, QPointF> steps[] = {
        {{-97, 297}, {30, 300}}, {{-87, 297}, {40, 300}}, {{-87, 900}, {40, 40}},
        {{-87, -900}, {40, 560}}, {{1500, -890}, {770, 550}}, {{1450, -870}, {720, 530}},
    };
    // clang-format on
    for (const auto& [to, split] : steps) {
        c.moveHolding(to, Qt::LeftButton);
        EXPECT_EQ(QPointF(p.splitX, p.splitY), split) << to.x() << ", " << to.y();
        EXPECT_TRUE(p.frontView.width == p.splitX && p.leftView.height == p.splitY);
    }
    c.release({1450, -870});
    p.placeSplitPoint(); // as a resize does: from the offsets, where the drag left it
    EXPECT_EQ(QPointF(p.splitX, p.splitY), QPointF(720, 530));
}

TEST(CanvasMouse, PerspectiveDragsMoveAndTurnTheCamera) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    const Qt::MouseButtons all = Qt::LeftButton | Qt::MiddleButton | Qt::RightButton;
    struct Case {
        int tool;
        Qt::MouseButtons held;
        double eye[3], rotation[3];
    };
    // clang-format off
    const Case cases[] = {
        {ToolMode::Translate, Qt::LeftButton | Qt::RightButton, {7, 0, 47}, {0, 0, 0}},
        {ToolMode::Translate, Qt::MiddleButton, {0, 7, 40}, {0, 0, 0}},
        {ToolMode::Rotate, all, {0, 0, 40}, {7, -7, 7}},
        {ToolMode::Zoom, Qt::LeftButton, {0, 0, 40}, {0, 0, 0}},
    };
    // clang-format on
    const QPoint start(600, 150), end(607, 153);
    for (const Case& k : cases) {
        p.camera = CameraRecord{};
        p.toolMode = k.tool;
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton})
            if (k.held & b)
                c.press(start, b);
        c.moveHolding(end, k.held);
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton})
            if (k.held & b)
                c.release(end, b);
        expectPoint(p.camera.eye, k.eye[0], k.eye[1], k.eye[2]);
        expectPoint(p.camera.rotation, k.rotation[0], k.rotation[1], k.rotation[2]);
        EXPECT_EQ(p.perspectiveView.zoom, 1.0f);
        QTest::qWait(5);
    }
}

TEST(CanvasMouse, PanAndZoomDragTheViewUnderThePress) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    c.key(Qt::Key_P);
    c.drag(frontPixel(0, 0), frontPixel(0, 0) + QPoint(30, -141)); // 2 units right, 10 up
    EXPECT_NEAR(p.frontView.panX, 2.0f, 1e-5f);
    EXPECT_NEAR(p.frontView.panY, 10.0f, 1e-5f);
    c.drag(frontPixel(0, 0), QPoint(700, 459)); // ends over the left view: still the front one
    EXPECT_NEAR(p.frontView.panX, 2.0f + 500.0f / 15, 1e-4f);
    EXPECT_EQ(p.leftView.panX, 0.0f);
    c.key(Qt::Key_Z);
    c.drag(QPoint(100, 100), QPoint(130, 100));
    EXPECT_NEAR(p.topView.zoom, 1.0f + 30.0f / 1500, 1e-6f);
    c.drag(QPoint(100, 100), QPoint(-1900, 100));
    EXPECT_EQ(p.topView.zoom, 0.0001f);
}

// Real input delivers press, release, double-click, release: the double-click event is the second
// press, so two quick clicks must act twice.
TEST(CanvasMouse, QuickSecondClicksAreLostRegression) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    c.key(Qt::Key_N);
    auto* curve = dynamic_cast<NurbsCurve*>(p.activeObject);
    ASSERT_NE(curve, nullptr);
    c.doubleClick(frontPixel(-2, 0));
    EXPECT_EQ(curve->controlPoints.size(), 2u) << "append tool";
    EXPECT_FALSE(p.leftButtonDown);

    // Two points on one spot: a double click in the delete tool takes both.
    NurbsCurve* twin = addCurve(p, {{-4, 0, 0}, {2, 2, 0}, {2, 2, 0}, {4, 0, 0}});
    p.setActiveObject(twin, ObjectKind::Curve);
    c.key(Qt::Key_D);
    c.doubleClick(frontPixel(2, 2));
    EXPECT_EQ(twin->controlPoints.size(), 2u) << "delete tool";
}

// The picked point stays the same point when another one is deleted before it, and is forgotten
// (not handed to its successor) when it is the one deleted.
TEST(CanvasMouse, DeletingAPointLeavesAnotherOnePickedRegression) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_UNSCALED_CANVAS(c);
    GLPelm& p = *c.pelm;
    struct Case {
        double deleteX; // the press of the delete tool, on the front view's x axis
        int picked;     // the picked point afterwards, by index
    };
    // Points at x = -4, 0, 4, 8; the edit tool picks x = 4 (index 2, weight 1.5).
    const Case cases[] = {{-4, 1}, {8, 2}, {4, -1}, {12, 2}};
    for (const Case& k : cases) {
        NurbsCurve* curve = addCurve(p, {{-4, 0, 0}, {0, 0, 0}, {4, 0, 0}, {8, 0, 0}});
        curve->controlPoints[2].w = 1.5;
        p.setActiveObject(curve, ObjectKind::Curve);
        c.key(Qt::Key_E);
        c.click(frontPixel(4, 0));
        ASSERT_EQ(p.activePoint, 2);
        c.key(Qt::Key_D);
        QSignalSpy weight(&p, &GLPelm::emitWeight);
        c.click(frontPixel(k.deleteX, 0));
        EXPECT_EQ(p.activePoint, k.picked) << "delete at x = " << k.deleteX;
        EXPECT_EQ(curve->foundPoint, k.picked) << "drawn as picked, delete at x = " << k.deleteX;
        if (k.picked != -1) {
            EXPECT_EQ(curve->controlPoints[k.picked].x, 4.0);
        }
        EXPECT_EQ(weight.count(), 0) << "the field already shows the picked point's weight";
    }

    // The Delete key in the edit tool takes the picked point and leaves none drawn as picked.
    NurbsCurve* curve = addCurve(p, {{-4, 0, 0}, {0, 0, 0}, {4, 0, 0}});
    p.setActiveObject(curve, ObjectKind::Curve);
    c.key(Qt::Key_E);
    c.click(frontPixel(0, 0));
    c.key(Qt::Key_Delete);
    EXPECT_EQ(curve->controlPoints.size(), 2u);
    EXPECT_EQ(curve->foundPoint, -1);
}

// Registered a second time with QT_SCALE_FACTOR=2; in the normal run the ratio is 1 and it skips.
TEST(HighDpi, PressesAreMeasuredInDevicePixels) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    GLPelm& p = *c.pelm;
    const double ratio = p.devicePixelRatioF();
    if (ratio == 1.0)
        GTEST_SKIP() << "needs a device pixel ratio above 1 (QT_SCALE_FACTOR=2)";
    p.NURBS_freeFormClicked();
    // An eighth across and three quarters down: inside the front view only in device pixels.
    c.click(QPoint(100, 450));
    EXPECT_EQ(p.activeView, ViewKind::Front);
    auto* curve = dynamic_cast<NurbsCurve*>(p.activeObject);
    ASSERT_TRUE(curve && curve->controlPoints.size() == 1u);
    ControlPoint expected;
    ASSERT_TRUE(unprojectOrthographic(p.frontView, 100 * ratio, p.canvasHeight - 450 * ratio, expected));
    expectPoint(curve->controlPoints[0], expected.x, expected.y, 0.0);
    EXPECT_NEAR(expected.x, -40.0 / 6, 0.01); // a quarter across the view's x range
}
