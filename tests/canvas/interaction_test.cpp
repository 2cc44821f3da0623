// The canvas driven by real mouse and key events: regions, picking, dragging, surface picks, deletion.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "curve_surface.h"
#include "nurbs_curve.h"
#include "revolution_surface.h"

#include "live_canvas.h"
#include "view_projection.h"

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
    auto* curve = new NurbsCurve;
    curve->setOrder(order);
    curve->setCurveMode(form);
    for (const ControlPoint& q : points)
        curve->appendPoint(q);
    p.scene.append(curve, ObjectKind::Curve);
    return curve;
}

void expectPoint(const ControlPoint& got, double x, double y, double z, double tolerance = 1e-6) {
    EXPECT_NEAR(got.x, x, tolerance);
    EXPECT_NEAR(got.y, y, tolerance);
    EXPECT_NEAR(got.z, z, tolerance);
}

int countKind(const GLPelm& p, int kind) {
    int n = 0;
    for (const SceneNode* node = p.scene.first; node; node = node->next)
        n += node->kind == kind;
    return n;
}

} // namespace

TEST(CanvasMouse, PressesHitTheRegionUnderThem) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    struct Case {
        QPoint at;
        int region;
    };
    // The handle is drawn over the four views, 6 pixels each way from the split point, and a press
    // on it takes it first; the views begin just outside it.
    const Case cases[] = {
        {{403, 297}, ViewKind::SplitHandle}, {{394, 306}, ViewKind::SplitHandle},
        {{406, 294}, ViewKind::SplitHandle}, {{393, 293}, ViewKind::Top},
        {{407, 293}, ViewKind::Perspective}, {{407, 307}, ViewKind::Left},
        {{393, 307}, ViewKind::Front},       {{399, 100}, ViewKind::Top},
        {{401, 100}, ViewKind::Perspective}, {{401, 500}, ViewKind::Left},
        {{399, 500}, ViewKind::Front},       {{400, 200}, ViewKind::None},
        {{100, 300}, ViewKind::None},        {{700, 300}, ViewKind::None},
    };
    for (const Case& k : cases) {
        // A press in the front view first: a press on a split line must not keep it.
        c.pelm->activeView = ViewKind::Front;
        c.press(k.at);
        c.release(k.at);
        EXPECT_EQ(c.pelm->activeView, k.region) << k.at.x() << ", " << k.at.y();
    }
}

TEST(CanvasMouse, KeyNThenPressesBuildACurveInTheViewPlane) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    struct Case {
        const char* what;
        Viewport* view;
        float panX, panY, zoom;
        QPoint at;
        double x, y, z;
    };
    const Case cases[] = {
        {"front centre", &p.frontView, 0, 0, 1, {200, 459}, 0, 0, 0},
        {"front right", &p.frontView, 0, 0, 1, {230, 459}, 2, 0, 0},
        {"front top edge", &p.frontView, 0, 0, 1, {200, 318}, 0, 10, 0},
        {"front panned and zoomed", &p.frontView, 1, -2, 2, {230, 459}, 0.5, 1, 0},
        {"front zoomed out", &p.frontView, 0, 0, 0.5, {230, 459}, 4, 0, 0},
        {"top", &p.topView, 0, 0, 1, {245, 18}, 3, 0, -10},
        {"top panned", &p.topView, -3, 0, 1, {245, 159}, 6, 0, 0},
        {"left", &p.leftView, 0, 0, 1, {630, 459}, 0, 0, -2},
        {"left high", &p.leftView, 0, 0, 1, {600, 318}, 0, 10, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        k.view->panX = k.panX;
        k.view->panY = k.panY;
        k.view->zoom = k.zoom;
        QSignalSpy parameters(&p, &GLPelm::emitCurveParameters);
        c.key(Qt::Key_N);
        EXPECT_EQ(p.toolMode, ToolMode::AppendPoint);
        ASSERT_EQ(parameters.count(), 1);
        EXPECT_EQ(parameters[0][3].toInt(), 3); // a new curve's order
        EXPECT_EQ(parameters[0][5].toInt(), NurbsCurve::Interpolated);
        auto* curve = dynamic_cast<NurbsCurve*>(p.activeObject);
        ASSERT_NE(curve, nullptr);
        EXPECT_EQ(p.scene.objectAt(p.scene.size() - 1), curve);
        // Three presses, two pixels apart, each well clear of a double click.
        for (int i = 0; i < 3; ++i) {
            c.press(k.at + QPoint(2 * i, 0));
            c.release(k.at + QPoint(2 * i, 0));
            QTest::qWait(5);
        }
        ASSERT_EQ(curve->controlPoints.size(), 3u);
        expectPoint(curve->controlPoints[0], k.x, k.y, k.z);
        // Further right in every view is a different world point, still in the view's plane.
        const int depth = GLPelm::depthAxis(p.activeView);
        for (ControlPoint& q : curve->controlPoints)
            EXPECT_EQ(q.coordinate(depth), 0.0);
        EXPECT_GT(length(curve->controlPoints[2] - curve->controlPoints[0]), 0.1);
        k.view->panX = k.view->panY = 0.0f;
        k.view->zoom = 1.0f;
    }
}

TEST(CanvasMouse, PressesOutsideEveryRegionAndTheirDragsDoNothing) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    // A handle drag first, so that a stale region would drag the handle again.
    c.drag({400, 300}, {380, 300});
    ASSERT_EQ(p.splitX, 380.0f);
    p.panClicked();
    c.press({380, 200}); // on the vertical split line, above the handle
    c.moveHolding({300, 150}, Qt::LeftButton);
    c.release({300, 150});
    EXPECT_EQ(p.splitX, 380.0f);
    EXPECT_EQ(p.splitY, 300.0f);
    for (const Viewport* v : {&p.topView, &p.leftView, &p.frontView, &p.perspectiveView})
        EXPECT_TRUE(v->panX == 0.0f && v->panY == 0.0f) << v->title;

    // Before any tool is chosen a press does nothing to the active curve.
    LiveCanvas fresh;
    KNOTWORK_REQUIRE_CANVAS(fresh);
    NurbsCurve* curve = addCurve(*fresh.pelm, {{0, 0, 0}, {1, 0, 0}});
    fresh.pelm->setActiveObject(curve, ObjectKind::Curve);
    fresh.press(frontPixel(3, 3));
    fresh.release(frontPixel(3, 3));
    EXPECT_EQ(curve->controlPoints.size(), 2u);
    EXPECT_EQ(fresh.pelm->activeObject, curve);
}

TEST(CanvasMouse, EditPointPicksWithinToleranceOnTheTwoInPlaneAxes) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    struct Case {
        const char* what;
        std::vector<ControlPoint> points; // the press lands on the world origin
        int found;
    };
    const Case cases[] = {
        {"0.25 on both axes, far along the depth", {{5, 5, 0}, {0.25, 0.25, 40}}, 1},
        {"0.35 on one axis", {{5, 5, 0}, {0.35, 0, 0}}, -1},
        {"0.35 below", {{5, 5, 0}, {0, -0.35, 0}}, -1},
        {"two in reach: the lower index", {{5, 5, 0}, {0.1, 0.2, 0}, {0, 0, 0}}, 1},
    };
    p.editCPClicked();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        auto* curve = new NurbsCurve;
        for (const ControlPoint& q : k.points)
            curve->appendPoint(q);
        curve->controlPoints.back().w = 1.57;
        p.scene.append(curve, ObjectKind::Curve);
        p.setActiveObject(curve, ObjectKind::Curve);
        QSignalSpy weight(&p, &GLPelm::emitWeight);
        c.press(frontPixel(0, 0));
        c.release(frontPixel(0, 0));
        EXPECT_EQ(p.activePoint, k.found);
        ASSERT_EQ(weight.count(), k.found == -1 ? 0 : 1);
        if (k.found != -1) {
            EXPECT_EQ(weight[0][0].toInt(), int(curve->weight(k.found) * 10));
        }
        QTest::qWait(5);
    }
    // The weight is reported truncated: 1.57 shows as 15.
    auto* curve = dynamic_cast<NurbsCurve*>(p.activeObject);
    ASSERT_NE(curve, nullptr);
    curve->controlPoints[1].w = 1.57;
    QSignalSpy weight(&p, &GLPelm::emitWeight);
    c.press(frontPixel(0, 0));
    c.release(frontPixel(0, 0));
    ASSERT_EQ(weight.count(), 1);
    EXPECT_EQ(weight[0][0].toInt(), 15);
}

TEST(CanvasMouse, EditPointDragsMoveThePointOrChangeItsWeight) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    NurbsCurve* curve = addCurve(p, {{-5, -5, 0}, {0, 0, 7}, {5, -5, 0}}, 3);
    p.setActiveObject(curve, ObjectKind::Curve);
    p.editCPClicked();

    // Left drag 30 pixels right and 141 up: two units across, ten up; the depth stays.
    c.drag(frontPixel(0, 0), frontPixel(0, 0) + QPoint(30, -141));
    EXPECT_EQ(p.activePoint, 1);
    expectPoint(curve->controlPoints[1], 2, 10, 7);
    expectPoint(curve->controlPoints[0], -5, -5, 0);

    // Middle drag 20 right and 10 up: (20 / 15 + 10 / 14.1) / 2 more weight; the release reports it.
    QSignalSpy weight(&p, &GLPelm::emitWeight);
    const QPoint at = frontPixel(2, 10);
    c.press(at, Qt::MiddleButton);
    c.moveHolding(at + QPoint(20, -10), Qt::MiddleButton);
    const double expected = 1.0 + (20.0 / 15.0 + 10.0 / 14.1) / 2.0;
    EXPECT_NEAR(curve->weight(1), expected, 1e-5);
    expectPoint(curve->controlPoints[1], 2, 10, 7);
    c.release(at + QPoint(20, -10), Qt::MiddleButton);
    ASSERT_EQ(weight.count(), 2); // at the press, then at the release
    EXPECT_EQ(weight[0][0].toInt(), 10);
    EXPECT_EQ(weight[1][0].toInt(), int(expected * 10));
}

TEST(CanvasMouse, DeletePointToolAndDeleteKeyRemovePoints) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    NurbsCurve* curve = addCurve(p, {{-4, 0, 0}, {0, 0, 0}, {4, 0, 0}, {4, 4, 0}}, 3);
    p.setActiveObject(curve, ObjectKind::Curve);

    p.deleteCPClicked();
    c.press(frontPixel(0, 0));
    EXPECT_EQ(curve->controlPoints.size(), 3u) << "deleted at the press";
    EXPECT_EQ(p.activePoint, -1);
    c.moveHolding(frontPixel(3, 3), Qt::LeftButton);
    c.release(frontPixel(3, 3));
    expectPoint(curve->controlPoints[1], 4, 0, 0);

    c.key(Qt::Key_E);
    c.press(frontPixel(4, 4));
    c.release(frontPixel(4, 4));
    ASSERT_EQ(p.activePoint, 2);
    c.key(Qt::Key_Delete);
    EXPECT_EQ(curve->controlPoints.size(), 2u);
    EXPECT_EQ(p.activePoint, -1);
    c.key(Qt::Key_Delete); // nothing picked any more
    EXPECT_EQ(curve->controlPoints.size(), 2u);
    EXPECT_EQ(p.activeObject, curve);
}

TEST(CanvasMouse, SelectionReportsTheCurveAndItsSurfaceAndTranslateDragsIt) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    NurbsCurve* free = addCurve(p, {{-3, 3, 0}, {3, 3, 0}});
    free->setParamInc(60);
    // The sphere's profile lies in y = 0 along z: seen from the top view at x = -10.5 .. 0.
    p.NURBS_sphereClicked();
    auto* profile = dynamic_cast<NurbsCurve*>(p.activeObject);
    ASSERT_NE(profile, nullptr);
    auto* sphere = dynamic_cast<RevolutionSurface*>(profile->surfaceLink);
    ASSERT_NE(sphere, nullptr);
    sphere->setVParamInc(30);

    struct Case {
        const char* what;
        int tool;
        QPoint at;
        SceneObject* selected;
        int surfaceReports;
    };
    const QPoint profileInTop(200, 53); // the profile's end at z = -7.5, clear of the free curve
    const Case cases[] = {
        {"translate on the free curve", ToolMode::Translate, frontPixel(1, 3), free, 0},
        {"scale on nothing", ToolMode::Scale, frontPixel(1, -6), nullptr, 0},
        {"rotate on the profile", ToolMode::Rotate, profileInTop, profile, 1},
        {"translate on nothing again", ToolMode::Translate, frontPixel(-9, -9), nullptr, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        p.toolMode = k.tool;
        QSignalSpy parameters(&p, &GLPelm::emitCurveParameters);
        QSignalSpy properties(&p, &GLPelm::emitSurfaceProperties);
        c.press(k.at);
        c.release(k.at);
        EXPECT_EQ(p.activeObject, k.selected);
        EXPECT_EQ(p.activeKind, k.selected ? ObjectKind::Curve : ObjectKind::None);
        ASSERT_EQ(parameters.count(), k.selected ? 1 : 0);
        if (k.selected) {
            EXPECT_EQ(parameters[0][4].toInt(), dynamic_cast<NurbsCurve*>(k.selected)->paramInc);
        }
        ASSERT_EQ(properties.count(), k.surfaceReports);
        if (k.surfaceReports) {
            EXPECT_EQ(properties[0][2].toInt(), 30);
        }
        QTest::qWait(5);
    }

    // A translate drag moves the whole curve by the world delta in the view's plane.
    p.translateClicked();
    c.drag(frontPixel(0, 3), frontPixel(0, 3) + QPoint(-45, 141));
    EXPECT_EQ(p.activeObject, free);
    expectPoint(free->controlPoints[0], -6, -7, 0);
    expectPoint(free->controlPoints[1], 0, -7, 0);
}

TEST(CanvasMouse, ScaleAndRotateDragsTransformTheActiveCurve) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    NurbsCurve* curve = addCurve(p, {{-2, 0, 0}, {2, 0, 0}});
    p.setActiveObject(curve, ObjectKind::Curve);

    // Scale in the front view by D.x / 10 about the centre: 30 pixels are 2 units, 20 % more.
    p.scaleClicked();
    QTest::qWait(5);
    c.drag(frontPixel(5, 5), frontPixel(5, 5) + QPoint(30, 0));
    EXPECT_EQ(p.activeObject, nullptr) << "the press was on no curve";
    p.setActiveObject(curve, ObjectKind::Curve);
    p.toolMode = ToolMode::Scale;
    c.press(frontPixel(0, 0));
    c.moveHolding(frontPixel(0, 0) + QPoint(30, 0), Qt::LeftButton);
    c.release(frontPixel(0, 0) + QPoint(30, 0));
    expectPoint(curve->controlPoints[0], -2.4, 0, 0);
    expectPoint(curve->controlPoints[1], 2.4, 0, 0);

    // Rotate in the front view: a drag along y turns about x by -D.y radians; the ends leave z = 0
    // only by turning about y (D.x), and keep their distance from the centre.
    QTest::qWait(5);
    p.rotateClicked();
    c.press(frontPixel(1, 0));
    c.moveHolding(frontPixel(1, 0) + QPoint(15, 0), Qt::LeftButton);
    c.release(frontPixel(1, 0) + QPoint(15, 0));
    EXPECT_NEAR(curve->controlPoints[1].x, 2.4 * std::cos(1.0), 1e-6);
    EXPECT_NEAR(std::fabs(curve->controlPoints[1].z), 2.4 * std::sin(1.0), 1e-6);
    EXPECT_NEAR(curve->controlPoints[1].y, 0.0, 1e-9);
}

TEST(CanvasMouse, CoonsPickCompletesThePatchAndRefusesOtherForms) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    // A loop of four Interpolated lines and one closed curve, each hit at its own pixel.
    NurbsCurve* bottom = addCurve(p, {{-3, 0, 0}, {3, 0, 0}});
    NurbsCurve* right = addCurve(p, {{3, 0, 0}, {3, 4, 0}});
    NurbsCurve* top = addCurve(p, {{3, 4, 0}, {-3, 4, 0}});
    NurbsCurve* left = addCurve(p, {{-3, 4, 0}, {-3, 0, 0}});
    NurbsCurve* closed =
        addCurve(p, {{-6, -6, 0}, {6, -6, 0}, {6, -8, 0}, {-6, -8, 0}}, 2, NurbsCurve::Closed);
    NurbsCurve* spare = addCurve(p, {{-8, 8, 0}, {8, 8, 0}});

    p.createCoons();
    auto* patch = dynamic_cast<CurveSurface*>(p.activeObject);
    ASSERT_NE(patch, nullptr);
    EXPECT_EQ(p.toolMode, ToolMode::PickCoons);

    struct Pick {
        QPoint at;
        NurbsCurve* curve;
        bool linked;
        int toolAfter;
    };
    const Pick picks[] = {
        {frontPixel(0, 0), bottom, true, ToolMode::PickCoons},
        {frontPixel(0, -6), closed, false, ToolMode::PickCoons}, // refused: not Interpolated
        {frontPixel(3, 2), right, true, ToolMode::PickCoons},
        {frontPixel(3, 2), right, true, ToolMode::PickCoons}, // already linked: only picked again
        {frontPixel(0, 4), top, true, ToolMode::PickCoons},
        {frontPixel(-3, 2), left, true, ToolMode::Translate},
    };
    for (const Pick& k : picks) {
        QSignalSpy parameters(&p, &GLPelm::emitCurveParameters);
        c.press(k.at);
        c.release(k.at);
        EXPECT_EQ(parameters.count(), 1);
        EXPECT_EQ(k.curve->surfaceLink == patch, k.linked);
        EXPECT_EQ(k.curve->linkKind, k.linked ? NurbsCurve::CoonsLink : NurbsCurve::FreeLink);
        EXPECT_EQ(p.toolMode, k.toolAfter);
        // Picked and highlighted until the patch completes.
        EXPECT_EQ(p.pickedCurve, k.toolAfter == ToolMode::PickCoons ? k.curve : nullptr);
        QTest::qWait(5);
    }
    EXPECT_EQ(patch->curves.size(), 4u);
    EXPECT_EQ(p.activeObject, patch);

    // Picking on with the complete patch still active: it takes no fifth curve, so none is linked.
    p.selCoonsCurves();
    c.press(frontPixel(0, 8));
    c.release(frontPixel(0, 8));
    EXPECT_EQ(spare->surfaceLink, nullptr);
    EXPECT_EQ(spare->linkKind, NurbsCurve::FreeLink);
    EXPECT_EQ(p.toolMode, ToolMode::PickCoons);
    EXPECT_EQ(patch->curves.size(), 4u);
}

TEST(CanvasMouse, ExtrusionPickAppendsTwoReversedCopies) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    NurbsCurve* profile = addCurve(p, {{-3, 0, 0}, {0, 2, 0}, {3, 0, 0}}, 3);
    NurbsCurve* path = addCurve(p, {{-3, 0, 0}, {-3, 0, -8}});
    p.createExtrude();
    auto* extrusion = dynamic_cast<CurveSurface*>(p.activeObject);
    ASSERT_NE(extrusion, nullptr);
    EXPECT_EQ(p.activeKind, ObjectKind::Extrusion);

    c.press(frontPixel(0, 1));
    c.release(frontPixel(0, 1));
    EXPECT_EQ(p.pickedCurve, profile);
    EXPECT_EQ(p.scene.size(), 3);
    QTest::qWait(5);
    // The path runs along z: the top view sees it at x = -3, z = -4 above the view's centre.
    c.press(QPoint(155, 159 - 56));
    c.release(QPoint(155, 159 - 56));
    EXPECT_EQ(path->linkKind, NurbsCurve::ExtrusionLink);
    EXPECT_EQ(p.pickedCurve, nullptr);
    EXPECT_EQ(p.toolMode, ToolMode::Translate);
    ASSERT_EQ(p.scene.size(), 5);
    EXPECT_EQ(countKind(p, ObjectKind::Curve), 4);
    ASSERT_EQ(extrusion->curves.size(), 4u);
    for (int i = 0; i < 2; ++i) {
        auto* copy = dynamic_cast<NurbsCurve*>(p.scene.objectAt(3 + i));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(extrusion->curve(2 + i), copy);
        EXPECT_EQ(copy->surfaceLink, extrusion);
        EXPECT_EQ(copy->linkKind, NurbsCurve::ExtrusionLink);
        ASSERT_EQ(copy->controlPoints.size(), extrusion->curve(i)->controlPoints.size());
        EXPECT_EQ(copy->order, extrusion->curve(i)->order);
    }
    // Each copy runs backwards over its original, as picked (before the loop was aligned).
    auto* profileCopy = dynamic_cast<NurbsCurve*>(p.scene.objectAt(3));
    EXPECT_GT(profileCopy->controlPoints.front().x, profileCopy->controlPoints.back().x);
    EXPECT_NEAR(profileCopy->controlPoints[1].y, 2.0, 1e-9);
}

TEST(CanvasMouse, DeleteRemovesTheSurfaceFirstThenTheCurve) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    NurbsCurve* loop[] = {addCurve(p, {{-3, 0, 0}, {3, 0, 0}}), addCurve(p, {{3, 0, 0}, {3, 4, 0}}),
                          addCurve(p, {{3, 4, 0}, {-3, 4, 0}}), addCurve(p, {{-3, 4, 0}, {-3, 0, 0}})};
    p.createCoons();
    const QPoint at[] = {frontPixel(0, 0), frontPixel(3, 2), frontPixel(0, 4), frontPixel(-3, 2)};
    for (const QPoint& q : at) {
        c.press(q);
        c.release(q);
        QTest::qWait(5);
    }
    ASSERT_EQ(p.toolMode, ToolMode::Translate);
    ASSERT_EQ(p.scene.size(), 5);
    c.pelm->grabFramebuffer(); // the patch compiles its list

    c.press(frontPixel(0, 0));
    c.release(frontPixel(0, 0));
    ASSERT_EQ(p.activeObject, loop[0]);
    c.key(Qt::Key_Delete);
    EXPECT_EQ(p.scene.size(), 4);
    EXPECT_EQ(countKind(p, ObjectKind::Coons), 0);
    for (NurbsCurve* curve : loop) {
        EXPECT_EQ(curve->surfaceLink, nullptr);
        EXPECT_EQ(curve->linkKind, NurbsCurve::ReleasedLink);
    }
    EXPECT_EQ(p.activeObject, loop[0]);
    c.key(Qt::Key_Delete);
    EXPECT_EQ(p.scene.size(), 3);
    EXPECT_FALSE(p.scene.contains(loop[0]));
    EXPECT_EQ(p.activeObject, nullptr);
    c.pelm->grabFramebuffer(); // draws what is left
}

TEST(CanvasMouse, ReleaseMarksTheDraggedCurvesSurfaceForRebuilding) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    p.NURBS_cylinderClicked();
    auto* profile = dynamic_cast<NurbsCurve*>(p.activeObject);
    ASSERT_NE(profile, nullptr);
    auto* surface = dynamic_cast<RevolutionSurface*>(profile->surfaceLink);
    ASSERT_NE(surface, nullptr);
    c.pelm->grabFramebuffer();
    const unsigned int before = surface->displayList;
    ASSERT_NE(before, 0u);
    // The profile's corner (-8.5, 0, -6.5) seen from the top view.
    const QPoint corner(int(std::lround(200 - 15 * 8.5)), int(std::lround(159 - 14.1 * 6.5)));
    c.drag(corner, corner + QPoint(-15, 0));
    EXPECT_EQ(p.activePoint, 1);
    expectPoint(profile->controlPoints[1], -9.5, 0, -6.5, 0.05);
    c.pelm->grabFramebuffer();
    EXPECT_NE(surface->displayList, before) << "the surface kept its old mesh";
}

TEST(CanvasMouse, SplitHandleStopsAtItsMarginsAndStaysWithTheMouse) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    c.press({403, 297});
    ASSERT_EQ(p.activeView, ViewKind::SplitHandle);
    struct Step {
        QPoint to;
        float splitX, splitY;
    };
    const Step steps[] = {
        {{-97, 297}, 30, 300},    // 500 to the left in one move
        {{-87, 297}, 40, 300},    // back by 10: moves with the mouse from the edge, no leap
        {{-87, 900}, 40, 40},     // far down
        {{-87, -900}, 40, 560},   // far up
        {{1500, -890}, 770, 550}, // far right, and 10 down from the upper limit
        {{1450, -870}, 720, 530},
    };
    for (const Step& s : steps) {
        c.moveHolding(s.to, Qt::LeftButton);
        EXPECT_EQ(p.splitX, s.splitX) << s.to.x() << ", " << s.to.y();
        EXPECT_EQ(p.splitY, s.splitY) << s.to.x() << ", " << s.to.y();
        EXPECT_EQ(p.frontView.width, s.splitX);
        EXPECT_EQ(p.leftView.height, s.splitY);
    }
    c.release({1450, -870});
    // A resize places the split point from the offsets: where the drag left it.
    p.placeSplitPoint();
    EXPECT_EQ(p.splitX, 720.0f);
    EXPECT_EQ(p.splitY, 530.0f);
}

TEST(CanvasMouse, PerspectiveDragsMoveAndTurnTheCamera) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    const QPoint start(600, 150);
    struct Case {
        const char* what;
        int tool;
        Qt::MouseButtons held;
        double eye[3], rotation[3];
        bool panned;
    };
    const Case cases[] = {
        {"translate, left and right",
         ToolMode::Translate,
         Qt::LeftButton | Qt::RightButton,
         {7, 0, 47},
         {0, 0, 0},
         false},
        {"translate, middle", ToolMode::Translate, Qt::MiddleButton, {0, 7, 40}, {0, 0, 0}, false},
        {"rotate, all three",
         ToolMode::Rotate,
         Qt::LeftButton | Qt::MiddleButton | Qt::RightButton,
         {0, 0, 40},
         {7, -7, 7},
         false},
        {"zoom does nothing here", ToolMode::Zoom, Qt::LeftButton, {0, 0, 40}, {0, 0, 0}, false},
        {"pan", ToolMode::Pan, Qt::LeftButton, {0, 0, 40}, {0, 0, 0}, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        p.camera = CameraRecord{};
        p.perspectiveView.panX = p.perspectiveView.panY = 0.0f;
        p.perspectiveView.zoom = 1.0f;
        p.toolMode = k.tool;
        const Qt::MouseButton order[] = {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton};
        for (Qt::MouseButton b : order)
            if (k.held & b)
                c.press(start, b);
        c.moveHolding(start + QPoint(7, 3), k.held);
        for (Qt::MouseButton b : order)
            if (k.held & b)
                c.release(start + QPoint(7, 3), b);
        expectPoint(p.camera.eye, k.eye[0], k.eye[1], k.eye[2]);
        expectPoint(p.camera.rotation, k.rotation[0], k.rotation[1], k.rotation[2]);
        EXPECT_EQ(p.perspectiveView.zoom, 1.0f);
        EXPECT_EQ(p.perspectiveView.panX != 0.0f && p.perspectiveView.panY != 0.0f, k.panned);
        EXPECT_FALSE(p.leftButtonDown || p.middleButtonDown || p.rightButtonDown);
        QTest::qWait(5);
    }
}

TEST(CanvasMouse, PanAndZoomDragTheViewUnderThePress) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    c.key(Qt::Key_P);
    // 30 right and 141 up in the front view: 2 units right and 10 up at 15 and 14.1 pixels a unit.
    c.drag(frontPixel(0, 0), frontPixel(0, 0) + QPoint(30, -141));
    EXPECT_NEAR(p.frontView.panX, 2.0f, 1e-5f);
    EXPECT_NEAR(p.frontView.panY, 10.0f, 1e-5f);
    EXPECT_EQ(p.topView.panX, 0.0f);
    // The drag continues into the left view, but the front view keeps panning.
    QTest::qWait(5);
    c.drag(frontPixel(0, 0), QPoint(700, 459));
    EXPECT_NEAR(p.frontView.panX, 2.0f + 500.0f / 15, 1e-4f);
    EXPECT_EQ(p.leftView.panX, 0.0f);

    c.key(Qt::Key_Z);
    QTest::qWait(5);
    c.drag(QPoint(600, 150), QPoint(630, 150)); // top view? no: the perspective view ignores zoom
    EXPECT_EQ(p.perspectiveView.zoom, 1.0f);
    QTest::qWait(5);
    c.drag(QPoint(100, 100), QPoint(130, 100));
    EXPECT_NEAR(p.topView.zoom, 1.0f + 30.0f / 1500, 1e-6f);
    QTest::qWait(5);
    c.drag(QPoint(100, 100), QPoint(-1900, 100));
    EXPECT_EQ(p.topView.zoom, 0.0001f);
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
    const QPoint at(100, 450);
    c.press(at);
    c.release(at);
    EXPECT_EQ(p.activeView, ViewKind::Front);
    auto* curve = dynamic_cast<NurbsCurve*>(p.activeObject);
    ASSERT_NE(curve, nullptr);
    ASSERT_EQ(curve->controlPoints.size(), 1u);
    ControlPoint expected;
    ASSERT_TRUE(unprojectOrthographic(p.frontView, 100 * ratio, p.canvasHeight - 450 * ratio, expected));
    expectPoint(curve->controlPoints[0], expected.x, expected.y, 0.0);
    EXPECT_NEAR(expected.x, -40.0 / 6, 0.01); // a quarter across the view's x range
}

// Qt delivers the second press of a double click and then a double-click event; the default
// handler would treat that as a third press.
TEST(CanvasMouse, ADoubleClickIsTwoPresses) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    GLPelm& p = *c.pelm;
    c.key(Qt::Key_N);
    auto* curve = dynamic_cast<NurbsCurve*>(p.activeObject);
    ASSERT_NE(curve, nullptr);
    const QPointF at(100, 400);
    const QEvent::Type sequence[] = {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                     QEvent::MouseButtonPress, QEvent::MouseButtonDblClick,
                                     QEvent::MouseButtonRelease};
    for (QEvent::Type type : sequence) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, at, p.mapToGlobal(at), Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&p, &event);
    }
    EXPECT_EQ(curve->controlPoints.size(), 2u);
    EXPECT_FALSE(p.leftButtonDown);
}

TEST(CanvasMouse, RevolutionPickSetsTheProfileAndLetsTheOldOneGo) {
    LiveCanvas c;
    KNOTWORK_REQUIRE_CANVAS(c);
    if (!c.unscaled())
        GTEST_SKIP() << "positions here are for a device pixel ratio of 1";
    GLPelm& p = *c.pelm;
    NurbsCurve* first = addCurve(p, {{-3, 0, 0}, {3, 0, 0}});
    NurbsCurve* second = addCurve(p, {{-3, 4, 0}, {3, 4, 0}});
    p.createRev();
    auto* surface = dynamic_cast<RevolutionSurface*>(p.activeObject);
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(p.toolMode, ToolMode::PickRevolution);

    c.press(frontPixel(0, 0));
    c.release(frontPixel(0, 0));
    EXPECT_EQ(surface->profile, first);
    EXPECT_EQ(first->surfaceLink, surface);
    EXPECT_EQ(first->linkKind, NurbsCurve::RevolutionLink);
    EXPECT_EQ(p.pickedCurve, nullptr);
    EXPECT_EQ(p.toolMode, ToolMode::Translate);

    // A second profile for the same surface: the first no longer shapes it and is free to use again.
    QTest::qWait(5);
    p.selRevolutionCurve();
    c.press(frontPixel(0, 4));
    c.release(frontPixel(0, 4));
    EXPECT_EQ(surface->profile, second);
    EXPECT_EQ(second->linkKind, NurbsCurve::RevolutionLink);
    EXPECT_EQ(first->surfaceLink, nullptr);
    EXPECT_EQ(first->linkKind, NurbsCurve::ReleasedLink);

    // A pick mode that does not match the active surface links nothing.
    NurbsCurve* third = addCurve(p, {{-3, -4, 0}, {3, -4, 0}});
    QTest::qWait(5);
    p.selCoonsCurves();
    c.press(frontPixel(0, -4));
    c.release(frontPixel(0, -4));
    EXPECT_EQ(p.pickedCurve, third);
    EXPECT_EQ(third->surfaceLink, nullptr);
    EXPECT_EQ(p.toolMode, ToolMode::PickCoons);
    EXPECT_EQ(surface->profile, second);
}
