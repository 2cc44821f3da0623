// The canvas's slots, keys and Delete called directly: targets, tool modes, creation and removal.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "curve_surface.h"
#include "nurbs_curve.h"
#include "revolution_surface.h"

#include "gl_pelm.h"

#include <QApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <tuple>

namespace {

#define REQUIRE_APPLICATION()                                                                                \
    do {                                                                                                     \
        if (!QApplication::instance())                                                                       \
            GTEST_SKIP() << "no display (run under xvfb-run)";                                               \
    } while (0)

NurbsCurve* addCurve(GLPelm& p, std::initializer_list<ControlPoint> points,
                     int form = NurbsCurve::Interpolated) {
    auto* curve = new NurbsCurve;
    curve->setCurveMode(form);
    for (const ControlPoint& q : points)
        curve->appendPoint(q);
    p.scene.append(curve, ObjectKind::Curve);
    return curve;
}

NurbsCurve* addSquareish(GLPelm& p) {
    return addCurve(p, {{-2, 0, 0}, {0, 1, 0}, {2, 0, 0}, {3, 3, 0}});
}

// A curve with a surface of revolution, the curve active.
RevolutionSurface* addProfileWithSurface(GLPelm& p, NurbsCurve*& profile) {
    profile = addSquareish(p);
    auto* surface = new RevolutionSurface(profile, 1, 0, 360.0f);
    p.scene.append(surface, ObjectKind::Revolution);
    profile->surfaceLink = surface;
    profile->linkKind = NurbsCurve::RevolutionLink;
    p.setActiveObject(profile, ObjectKind::Curve);
    return surface;
}

// Four curves held by a Coons patch, the first one active.
CurveSurface* addPatch(GLPelm& p, NurbsCurve* curves[4]) {
    auto* patch = new CurveSurface;
    for (int i = 0; i < 4; ++i) {
        curves[i] = addCurve(p, {{double(i), 0, 0}, {double(i), 2, 0}, {double(i) + 1, 3, 0}});
        patch->addCoonsCurve(curves[i]);
        curves[i]->surfaceLink = patch;
        curves[i]->linkKind = NurbsCurve::CoonsLink;
    }
    p.scene.append(patch, ObjectKind::Coons);
    p.setActiveObject(curves[0], ObjectKind::Curve);
    return patch;
}

} // namespace

TEST(CanvasSlots, PickModeSlotsToggleOnlyTheirOwnMode) {
    REQUIRE_APPLICATION();
    struct Case {
        int before;
        void (GLPelm::*slot)();
        int after;
    };
    const Case cases[] = {
        {ToolMode::PickCoons, &GLPelm::selCoonsCurves, ToolMode::Idle},
        {ToolMode::Idle, &GLPelm::selCoonsCurves, ToolMode::PickCoons},
        {ToolMode::PickRevolution, &GLPelm::selCoonsCurves, ToolMode::PickCoons},
        {ToolMode::PickRevolution, &GLPelm::selRevolutionCurve, ToolMode::Idle},
        {ToolMode::PickCoons, &GLPelm::selRevolutionCurve, ToolMode::PickRevolution},
        {ToolMode::PickExtrusion, &GLPelm::selExtrudeCurves, ToolMode::Idle},
        {ToolMode::Translate, &GLPelm::selExtrudeCurves, ToolMode::PickExtrusion},
        {ToolMode::None, &GLPelm::selExtrudeCurves, ToolMode::PickExtrusion},
    };
    GLPelm p(nullptr, "canvas");
    for (const Case& c : cases) {
        p.toolMode = c.before;
        (p.*c.slot)();
        EXPECT_EQ(p.toolMode, c.after) << "from " << c.before;
    }
    // Right after createCoons the button turns the pick off, and on again.
    p.createCoons();
    p.selCoonsCurves();
    EXPECT_EQ(p.toolMode, ToolMode::Idle);
    p.selCoonsCurves();
    EXPECT_EQ(p.toolMode, ToolMode::PickCoons);
}

TEST(CanvasSlots, KeysChooseToolsAndOtherKeysDoNothing) {
    REQUIRE_APPLICATION();
    const std::pair<Qt::Key, int> cases[] = {
        {Qt::Key_A, ToolMode::AppendPoint}, {Qt::Key_D, ToolMode::DeletePoint},
        {Qt::Key_E, ToolMode::EditPoint},   {Qt::Key_I, ToolMode::InsertPoint},
        {Qt::Key_P, ToolMode::Pan},         {Qt::Key_R, ToolMode::Rotate},
        {Qt::Key_S, ToolMode::Scale},       {Qt::Key_T, ToolMode::Translate},
        {Qt::Key_Z, ToolMode::Zoom},        {Qt::Key_Q, ToolMode::Idle},
        {Qt::Key_B, ToolMode::Idle},        {Qt::Key_1, ToolMode::Idle},
    };
    GLPelm p(nullptr, "canvas");
    NurbsCurve* curve = addSquareish(p);
    p.setActiveObject(curve, ObjectKind::Curve);
    for (const auto& [key, mode] : cases) {
        p.toolMode = ToolMode::Idle;
        p.pressKey(key);
        EXPECT_EQ(p.toolMode, mode) << "key " << key;
    }
    EXPECT_EQ(p.scene.size(), 1);
    EXPECT_EQ(p.activeObject, curve);

    // N makes a new empty curve the active object and reports it.
    p.activePoint = 2;
    QSignalSpy parameters(&p, &GLPelm::emitCurveParameters);
    p.pressKey(Qt::Key_N);
    ASSERT_EQ(p.scene.size(), 2);
    auto* fresh = dynamic_cast<NurbsCurve*>(p.scene.objectAt(1));
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->controlPoints.empty());
    EXPECT_EQ(p.activeObject, fresh);
    EXPECT_EQ(p.activeKind, ObjectKind::Curve);
    EXPECT_EQ(p.activePoint, -1);
    EXPECT_EQ(p.toolMode, ToolMode::AppendPoint);
    ASSERT_EQ(parameters.count(), 1);
    EXPECT_EQ(parameters[0][3].toInt(), fresh->order);
    EXPECT_EQ(parameters[0][5].toInt(), fresh->curveMode);
}

TEST(CanvasSlots, CurveSlotsActOnTheActiveCurveAndUpdateItsSurface) {
    REQUIRE_APPLICATION();
    struct Case {
        const char* what;
        std::function<void(GLPelm&)> slot;
        std::function<bool(const NurbsCurve&)> changed;
        bool updatesSurface;
    };
    const Case cases[] = {
        {"vertices", [](GLPelm& p) { p.curveVerticesClicked(); },
         [](const NurbsCurve& c) { return !c.showVertices; }, false},
        {"curve", [](GLPelm& p) { p.curveClicked(); }, [](const NurbsCurve& c) { return !c.showCurve; },
         false},
        {"edge", [](GLPelm& p) { p.curveEdgeClicked(); }, [](const NurbsCurve& c) { return c.showEdge; },
         false},
        {"order", [](GLPelm& p) { p.orderChanged(4); }, [](const NurbsCurve& c) { return c.order == 4; },
         true},
        {"increment", [](GLPelm& p) { p.paramIncChanged(37); },
         [](const NurbsCurve& c) { return c.paramInc == 37; }, false},
        {"open", [](GLPelm& p) { p.openCurveClicked(); },
         [](const NurbsCurve& c) { return c.curveMode == NurbsCurve::Open; }, true},
        {"closed", [](GLPelm& p) { p.closedCurveClicked(); },
         [](const NurbsCurve& c) { return c.curveMode == NurbsCurve::Closed; }, true},
        {"interpolated",
         [](GLPelm& p) {
             p.openCurveClicked();
             p.interpolateEndPointsClicked();
         },
         [](const NurbsCurve& c) { return c.curveMode == NurbsCurve::Interpolated; }, true},
        {"weight 2.5", [](GLPelm& p) { p.weightChanged(25); },
         [](const NurbsCurve& c) { return c.weight(2) == 2.5; }, true},
        {"reverse", [](GLPelm& p) { p.reverseCPClicked(); },
         [](const NurbsCurve& c) { return c.controlPoints[0].x == 3; }, true},
        {"line size", [](GLPelm& p) { p.lineSizeChanged(4); },
         [](const NurbsCurve& c) { return c.lineWidth == 4; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GLPelm p(nullptr, "canvas");
        NurbsCurve* profile;
        RevolutionSurface* surface = addProfileWithSurface(p, profile);
        p.activePoint = 2;
        surface->dirty = false;
        c.slot(p);
        EXPECT_TRUE(c.changed(*profile));
        EXPECT_EQ(surface->dirty, c.updatesSurface);

        // With the surface itself active, or nothing, no curve changes.
        NurbsCurve* other = addSquareish(p);
        const auto state = [](const NurbsCurve& k) {
            return std::tuple(k.showVertices, k.showCurve, k.showEdge, k.order, k.paramInc, k.curveMode,
                              k.lineWidth, k.weight(2), k.controlPoints[0].x);
        };
        const auto before = state(*other);
        for (SceneObject* active : {static_cast<SceneObject*>(surface), static_cast<SceneObject*>(nullptr)}) {
            p.setActiveObject(active, active ? ObjectKind::Revolution : ObjectKind::None);
            p.activePoint = 2;
            c.slot(p);
            EXPECT_TRUE(state(*other) == before);
        }
    }
}

TEST(CanvasSlots, WeightChangesNeedAPickedPointAndAPositiveWeight) {
    REQUIRE_APPLICATION();
    GLPelm p(nullptr, "canvas");
    NurbsCurve* curve = addSquareish(p);
    p.setActiveObject(curve, ObjectKind::Curve);
    p.activePoint = 2;
    p.weightChanged(0);
    EXPECT_EQ(curve->weight(2), 1.0);
    p.weightChanged(-5);
    EXPECT_EQ(curve->weight(2), 1.0);
    p.activePoint = -1;
    p.weightChanged(30);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(curve->weight(i), 1.0);

    // A picked point belongs to its curve: selecting another curve forgets it.
    NurbsCurve* other = addSquareish(p);
    p.activePoint = 2;
    p.setActiveObject(other, ObjectKind::Curve);
    EXPECT_EQ(p.activePoint, -1);
    p.weightChanged(30);
    EXPECT_EQ(other->weight(2), 1.0);
    p.setActiveObject(other, ObjectKind::Curve);
    p.activePoint = 1;
    p.setActiveObject(other, ObjectKind::Curve); // the same curve again keeps it
    EXPECT_EQ(p.activePoint, 1);
}

TEST(CanvasSlots, ColourGoesToTheCurvesSurfaceOrTheActiveObject) {
    REQUIRE_APPLICATION();
    const float red[3] = {1.0f, 0.0f, 0.0f};
    const auto isRed = [&](const SceneObject* o) { return std::equal(o->color, o->color + 3, red); };

    GLPelm p(nullptr, "canvas");
    NurbsCurve* profile;
    RevolutionSurface* surface = addProfileWithSurface(p, profile);
    surface->dirty = false;
    p.setObjectColor(255, 0, 0);
    EXPECT_TRUE(isRed(surface));
    EXPECT_FALSE(isRed(profile));
    EXPECT_TRUE(surface->dirty) << "the colour is compiled into the surface's list";

    NurbsCurve* loop[4];
    CurveSurface* patch = addPatch(p, loop);
    patch->dirty = false;
    p.setObjectColor(255, 0, 0);
    EXPECT_TRUE(isRed(patch));
    EXPECT_FALSE(isRed(loop[0]));
    EXPECT_TRUE(patch->dirty);

    NurbsCurve* free = addSquareish(p);
    p.setActiveObject(free, ObjectKind::Curve);
    p.setObjectColor(255, 0, 0);
    EXPECT_TRUE(isRed(free));

    auto* lone = new RevolutionSurface;
    p.scene.append(lone, ObjectKind::Revolution);
    p.setActiveObject(lone, ObjectKind::Revolution);
    p.setObjectColor(255, 0, 0);
    EXPECT_TRUE(isRed(lone));
}

TEST(CanvasSlots, RevolutionSlotsReachTheSurfaceOrItsProfile) {
    REQUIRE_APPLICATION();
    struct Case {
        const char* what;
        std::function<void(GLPelm&)> slot;
        std::function<bool(const RevolutionSurface&)> holds;
    };
    const Case cases[] = {
        {"x axis", [](GLPelm& p) { p.revXAxisClicked(); },
         [](const RevolutionSurface& s) { return s.aor == 0 && s.refa == 1; }},
        {"y axis", [](GLPelm& p) { p.revYAxisClicked(); },
         [](const RevolutionSurface& s) { return s.aor == 1 && s.refa == 0; }},
        {"z axis", [](GLPelm& p) { p.revZAxisClicked(); },
         [](const RevolutionSurface& s) { return s.aor == 2 && s.refa == 0; }},
        {"reference x", [](GLPelm& p) { p.refRevXAxisClicked(); },
         [](const RevolutionSurface& s) { return s.refa == 0; }},
        {"reference y", [](GLPelm& p) { p.refRevYAxisClicked(); },
         [](const RevolutionSurface& s) { return s.refa == 1; }},
        {"reference z", [](GLPelm& p) { p.refRevZAxisClicked(); },
         [](const RevolutionSurface& s) { return s.refa == 2; }},
        {"degrees", [](GLPelm& p) { p.rev_degreesChanged(90); },
         [](const RevolutionSurface& s) { return s.degrees == 90.0f; }},
        {"far left", [](GLPelm& p) { p.rot_farLeftClicked(); },
         [](const RevolutionSurface& s) { return s.revPoint == 0; }},
        {"far right", [](GLPelm& p) { p.rot_farRightClicked(); },
         [](const RevolutionSurface& s) { return s.revPoint == 1; }},
        {"closest", [](GLPelm& p) { p.rot_closeAxisClicked(); },
         [](const RevolutionSurface& s) { return s.revPoint == 2; }},
        {"axis", [](GLPelm& p) { p.rot_axisClicked(); },
         [](const RevolutionSurface& s) { return s.revPoint == 3; }},
        {"axis left", [](GLPelm& p) { p.rot_AxisLeftClicked(); },
         [](const RevolutionSurface& s) { return s.axisRotPoint == 0; }},
        {"axis right", [](GLPelm& p) { p.rot_AxisRightClicked(); },
         [](const RevolutionSurface& s) { return s.axisRotPoint == 1; }},
        {"distance", [](GLPelm& p) { p.rot_axisDistChanged(9); },
         [](const RevolutionSurface& s) { return s.axisDistance == 9; }},
        {"mesh", [](GLPelm& p) { p.surfaceMeshClicked(); },
         [](const RevolutionSurface& s) { return !s.shading && !s.gradient; }},
        {"shaded", [](GLPelm& p) { p.surfaceShadedClicked(); },
         [](const RevolutionSurface& s) { return s.shading && !s.gradient; }},
        {"gradient", [](GLPelm& p) { p.surfaceGradientClicked(); },
         [](const RevolutionSurface& s) { return s.shading && s.gradient; }},
        {"u increment", [](GLPelm& p) { p.uparamIncChanged(23); },
         [](const RevolutionSurface& s) { return s.uParamInc == 23; }},
        {"v increment", [](GLPelm& p) { p.vparamIncChanged(29); },
         [](const RevolutionSurface& s) { return s.vParamInc == 29; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int through = 0; through < 3; ++through) {
            GLPelm p(nullptr, "canvas");
            NurbsCurve* profile;
            RevolutionSurface* surface = addProfileWithSurface(p, profile);
            // Away from every value a slot sets, so each change shows.
            surface->aor = surface->refa = 5;
            surface->degrees = 7.0f;
            surface->revPoint = surface->axisRotPoint = surface->axisDistance = 5;
            surface->shading = c.what[0] == 'm';
            surface->gradient = c.what[0] == 'm';
            surface->uParamInc = surface->vParamInc = 5;
            if (through == 1)
                p.setActiveObject(surface, ObjectKind::Revolution);
            if (through == 2) // a free curve active: no target
                p.setActiveObject(addSquareish(p), ObjectKind::Curve);
            c.slot(p);
            EXPECT_EQ(c.holds(*surface), through != 2) << "through " << through;
        }
    }
}

TEST(CanvasSlots, SharedSurfaceSlotsReachAPatchOnlyThroughItsCurve) {
    REQUIRE_APPLICATION();
    GLPelm p(nullptr, "canvas");
    NurbsCurve* loop[4];
    CurveSurface* patch = addPatch(p, loop);
    p.setActiveObject(loop[2], ObjectKind::Curve);
    p.surfaceShadedClicked();
    EXPECT_TRUE(patch->shading && !patch->gradient);
    p.surfaceGradientClicked();
    EXPECT_TRUE(patch->shading && patch->gradient);
    p.uparamIncChanged(17);
    p.vparamIncChanged(19);
    EXPECT_EQ(patch->uParamInc, 17);
    EXPECT_EQ(patch->vParamInc, 19);
    p.surfaceMeshClicked();
    EXPECT_FALSE(patch->shading || patch->gradient);
    p.revZAxisClicked(); // no surface of revolution to act on: nothing to see, nothing breaks

    // A fresh patch that is itself active is not a target.
    p.createCoons();
    auto* fresh = dynamic_cast<CurveSurface*>(p.activeObject);
    ASSERT_NE(fresh, nullptr);
    p.surfaceShadedClicked();
    p.uparamIncChanged(3);
    p.vparamIncChanged(4);
    EXPECT_FALSE(fresh->shading);
    EXPECT_EQ(fresh->uParamInc, 10);
    EXPECT_EQ(fresh->vParamInc, 10);
    EXPECT_EQ(patch->uParamInc, 17);
}

TEST(CanvasSlots, PredefinedObjectsAppendActivateAndReport) {
    REQUIRE_APPLICATION();
    struct Case {
        const char* what;
        void (GLPelm::*slot)();
        int order, form;
        ControlPoint first, second;
        bool swept;
    };
    const Case cases[] = {
        {"circle",
         &GLPelm::NURBS_circleClicked,
         4,
         NurbsCurve::Closed,
         {-7.5, 0, -7.5},
         {7.5, 0, -7.5},
         false},
        {"square",
         &GLPelm::NURBS_squareClicked,
         2,
         NurbsCurve::Closed,
         {-7.5, 0, -7.5},
         {7.5, 0, -7.5},
         false},
        {"arc",
         &GLPelm::NURBS_arcClicked,
         4,
         NurbsCurve::Interpolated,
         {-7.5, 0, 7.5},
         {-7.5, 0, -7.5},
         false},
        {"sphere",
         &GLPelm::NURBS_sphereClicked,
         4,
         NurbsCurve::Interpolated,
         {0, 0, -7.5},
         {-10.5, 0, -7.5},
         true},
        {"cylinder",
         &GLPelm::NURBS_cylinderClicked,
         2,
         NurbsCurve::Interpolated,
         {0, 0, -6.5},
         {-8.5, 0, -6.5},
         true},
        {"cube",
         &GLPelm::NURBS_cubeClicked,
         2,
         NurbsCurve::Interpolated,
         {0, 0, -6.5},
         {-8.5, 0, -6.5},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GLPelm p(nullptr, "canvas");
        NurbsCurve* before = addSquareish(p);
        p.setActiveObject(before, ObjectKind::Curve);
        p.activePoint = 1;
        p.pickedCurve = before;
        QSignalSpy parameters(&p, &GLPelm::emitCurveParameters);
        (p.*c.slot)();

        ASSERT_EQ(p.scene.size(), c.swept ? 3 : 2);
        EXPECT_TRUE(p.scene.contains(before));
        auto* curve = dynamic_cast<NurbsCurve*>(p.scene.objectAt(1));
        ASSERT_NE(curve, nullptr);
        EXPECT_EQ(p.scene.kindAt(1), ObjectKind::Curve);
        EXPECT_EQ(p.activeObject, curve);
        EXPECT_EQ(p.activeKind, ObjectKind::Curve);
        EXPECT_EQ(p.activePoint, -1);
        EXPECT_EQ(p.toolMode, ToolMode::EditPoint);
        EXPECT_EQ(curve->order, c.order);
        EXPECT_EQ(curve->curveMode, c.form);
        ASSERT_EQ(curve->controlPoints.size(), 4u);
        EXPECT_EQ(length(curve->controlPoints[0] - c.first), 0.0);
        EXPECT_EQ(length(curve->controlPoints[1] - c.second), 0.0);
        ASSERT_EQ(parameters.count(), 1);
        EXPECT_EQ(parameters[0][3].toInt(), c.order);
        EXPECT_EQ(parameters[0][5].toInt(), c.form);
        if (c.swept) {
            auto* surface = dynamic_cast<RevolutionSurface*>(p.scene.objectAt(2));
            ASSERT_NE(surface, nullptr);
            EXPECT_EQ(p.scene.kindAt(2), ObjectKind::Revolution);
            EXPECT_EQ(surface->profile, curve);
            EXPECT_EQ(curve->surfaceLink, surface);
            EXPECT_EQ(curve->linkKind, NurbsCurve::RevolutionLink);
            EXPECT_EQ(surface->aor, 2);
            EXPECT_EQ(surface->degrees, 360.0f);
            EXPECT_EQ(p.pickedCurve, nullptr);
        } else {
            EXPECT_EQ(curve->surfaceLink, nullptr);
        }
    }

    // The cube button makes exactly the cylinder's objects.
    GLPelm cube(nullptr, "cube"), cylinder(nullptr, "cylinder");
    cube.NURBS_cubeClicked();
    cylinder.NURBS_cylinderClicked();
    const auto* a = dynamic_cast<NurbsCurve*>(cube.scene.objectAt(0));
    const auto* b = dynamic_cast<NurbsCurve*>(cylinder.scene.objectAt(0));
    ASSERT_TRUE(a && b);
    ASSERT_EQ(a->controlPoints.size(), b->controlPoints.size());
    for (size_t i = 0; i < a->controlPoints.size(); ++i)
        EXPECT_EQ(length(a->controlPoints[i] - b->controlPoints[i]), 0.0) << i;
    const auto* s = dynamic_cast<RevolutionSurface*>(cube.scene.objectAt(1));
    const auto* t = dynamic_cast<RevolutionSurface*>(cylinder.scene.objectAt(1));
    ASSERT_TRUE(s && t);
    EXPECT_TRUE(s->aor == t->aor && s->refa == t->refa && s->degrees == t->degrees &&
                s->revPoint == t->revPoint);
}

TEST(CanvasSlots, CreateRevDecidesByTheActiveObject) {
    REQUIRE_APPLICATION();
    struct Case {
        const char* what;
        std::function<void(GLPelm&)> setUp;
        int added, toolAfter, reports;
    };
    const Case cases[] = {
        {"free curve", [](GLPelm& p) { p.setActiveObject(addSquareish(p), ObjectKind::Curve); }, 1,
         ToolMode::EditPoint, 1},
        {"released curve",
         [](GLPelm& p) {
             NurbsCurve* c = addSquareish(p);
             c->linkKind = NurbsCurve::ReleasedLink;
             p.setActiveObject(c, ObjectKind::Curve);
         },
         1, ToolMode::EditPoint, 1},
        {"profile already",
         [](GLPelm& p) {
             NurbsCurve* c;
             addProfileWithSurface(p, c);
         },
         0, ToolMode::EditPoint, 1},
        {"nothing active", [](GLPelm&) {}, 1, ToolMode::PickRevolution, 0},
        {"Coons curve",
         [](GLPelm& p) {
             NurbsCurve* loop[4];
             addPatch(p, loop);
         },
         0, ToolMode::Idle, 0},
        {"surface active",
         [](GLPelm& p) {
             NurbsCurve* c;
             p.setActiveObject(addProfileWithSurface(p, c), ObjectKind::Revolution);
         },
         0, ToolMode::Idle, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GLPelm p(nullptr, "canvas");
        c.setUp(p);
        p.toolMode = ToolMode::Idle;
        p.activePoint = 1;
        SceneObject* const before = p.activeObject;
        const int size = p.scene.size();
        QSignalSpy parameters(&p, &GLPelm::emitCurveParameters);
        p.createRev();
        ASSERT_EQ(p.scene.size(), size + c.added);
        EXPECT_EQ(p.toolMode, c.toolAfter);
        EXPECT_EQ(parameters.count(), c.reports);
        if (c.added) {
            auto* surface = dynamic_cast<RevolutionSurface*>(p.scene.objectAt(size));
            ASSERT_NE(surface, nullptr);
            EXPECT_EQ(p.scene.kindAt(size), ObjectKind::Revolution);
            if (before) { // built from the active curve, which stays active
                EXPECT_EQ(p.activeObject, before);
                EXPECT_EQ(surface->profile, before);
                EXPECT_EQ(dynamic_cast<NurbsCurve*>(before)->surfaceLink, surface);
                EXPECT_EQ(dynamic_cast<NurbsCurve*>(before)->linkKind, NurbsCurve::RevolutionLink);
                EXPECT_TRUE(surface->aor == 1 && surface->refa == 0 && surface->degrees == 360.0f);
            } else {
                EXPECT_EQ(p.activeObject, surface);
                EXPECT_EQ(p.activeKind, ObjectKind::Revolution);
                EXPECT_EQ(surface->profile, nullptr);
            }
        }
        if (c.reports) {
            EXPECT_EQ(p.activePoint, -1);
        }
    }
}

TEST(CanvasSlots, CoonsAndExtrusionStartEmptyAndActive) {
    REQUIRE_APPLICATION();
    struct Case {
        void (GLPelm::*slot)();
        int kind, tool;
    };
    const Case cases[] = {{&GLPelm::createCoons, ObjectKind::Coons, ToolMode::PickCoons},
                          {&GLPelm::createExtrude, ObjectKind::Extrusion, ToolMode::PickExtrusion}};
    for (const Case& c : cases) {
        GLPelm p(nullptr, "canvas");
        NurbsCurve* before = addSquareish(p);
        p.setActiveObject(before, ObjectKind::Curve);
        QSignalSpy parameters(&p, &GLPelm::emitCurveParameters);
        (p.*c.slot)();
        ASSERT_EQ(p.scene.size(), 2);
        EXPECT_EQ(p.scene.kindAt(1), c.kind);
        auto* surface = dynamic_cast<CurveSurface*>(p.scene.objectAt(1));
        ASSERT_NE(surface, nullptr);
        EXPECT_TRUE(surface->curves.empty());
        EXPECT_EQ(p.activeObject, surface);
        EXPECT_EQ(p.activeKind, c.kind);
        EXPECT_EQ(p.toolMode, c.tool);
        EXPECT_EQ(parameters.count(), 0);
        EXPECT_EQ(before->surfaceLink, nullptr);
    }
}

TEST(CanvasSlots, SurfaceIncrementsGoToTheFirstTarget) {
    REQUIRE_APPLICATION();
    GLPelm p(nullptr, "canvas");
    NurbsCurve* profile;
    RevolutionSurface* revolution = addProfileWithSurface(p, profile);
    NurbsCurve* loop[4];
    CurveSurface* patch = addPatch(p, loop);

    struct Case {
        const char* what;
        SceneObject* active;
        int kind;
        int* changed;
    };
    const Case cases[] = {
        {"surface of revolution", revolution, ObjectKind::Revolution, &revolution->uParamInc},
        {"its profile", profile, ObjectKind::Curve, &revolution->uParamInc},
        {"a patch curve", loop[3], ObjectKind::Curve, &patch->uParamInc},
        {"the patch itself", patch, ObjectKind::Coons, nullptr},
        {"nothing", nullptr, ObjectKind::None, nullptr},
    };
    int value = 30;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        p.setActiveObject(c.active, c.kind);
        const int before[2] = {revolution->uParamInc, patch->uParamInc};
        p.uparamIncChanged(++value);
        if (c.changed) {
            EXPECT_EQ(*c.changed, value);
        }
        EXPECT_EQ(revolution->uParamInc != before[0], c.changed == &revolution->uParamInc);
        EXPECT_EQ(patch->uParamInc != before[1], c.changed == &patch->uParamInc);
    }
}

TEST(CanvasSlots, DeleteKeyRemovesByToolAndLeavesNoLinkBehind) {
    REQUIRE_APPLICATION();
    {
        SCOPED_TRACE("tool 5 on a profile: the surface goes, the curve stays active and released");
        GLPelm p(nullptr, "canvas");
        NurbsCurve* profile;
        RevolutionSurface* surface = addProfileWithSurface(p, profile);
        p.translateClicked();
        p.pressKey(Qt::Key_Delete);
        EXPECT_FALSE(p.scene.contains(surface));
        EXPECT_EQ(p.scene.size(), 1);
        EXPECT_EQ(profile->surfaceLink, nullptr);
        EXPECT_EQ(profile->linkKind, NurbsCurve::ReleasedLink);
        EXPECT_EQ(p.activeObject, profile);
        p.pressKey(Qt::Key_Delete);
        EXPECT_EQ(p.scene.size(), 0);
        EXPECT_EQ(p.activeObject, nullptr);
        EXPECT_EQ(p.activeKind, ObjectKind::None);
    }
    {
        SCOPED_TRACE("tool 6 on an active surface: its profile is released first");
        GLPelm p(nullptr, "canvas");
        NurbsCurve* profile;
        RevolutionSurface* surface = addProfileWithSurface(p, profile);
        p.setActiveObject(surface, ObjectKind::Revolution);
        p.scaleClicked();
        p.pressKey(Qt::Key_Delete);
        EXPECT_EQ(p.scene.size(), 1);
        EXPECT_EQ(profile->surfaceLink, nullptr);
        EXPECT_EQ(profile->linkKind, NurbsCurve::ReleasedLink);
        EXPECT_EQ(p.activeObject, nullptr);
    }
    {
        SCOPED_TRACE("tool 7 on an extrusion curve: the extrusion releases all its curves");
        GLPelm p(nullptr, "canvas");
        NurbsCurve* loop[4];
        CurveSurface* patch = addPatch(p, loop);
        p.scene.remove(patch); // rebuilt as an extrusion below
        auto* extrusion = new CurveSurface;
        p.scene.append(extrusion, ObjectKind::Extrusion);
        for (NurbsCurve* c : loop) {
            extrusion->curves.push_back(c);
            c->surfaceLink = extrusion;
            c->linkKind = NurbsCurve::ExtrusionLink;
        }
        p.pickedCurve = loop[1];
        p.rotateClicked();
        p.pressKey(Qt::Key_Delete);
        EXPECT_EQ(p.scene.size(), 4);
        for (NurbsCurve* c : loop)
            EXPECT_TRUE(c->surfaceLink == nullptr && c->linkKind == NurbsCurve::ReleasedLink);
        EXPECT_EQ(p.activeObject, loop[0]);
    }
    {
        SCOPED_TRACE("other tools: nothing");
        GLPelm p(nullptr, "canvas");
        NurbsCurve* curve = addSquareish(p);
        p.setActiveObject(curve, ObjectKind::Curve);
        p.activePoint = 1;
        for (int tool : {ToolMode::None, ToolMode::Pan, ToolMode::AppendPoint, ToolMode::DeletePoint,
                         ToolMode::PickCoons}) {
            p.toolMode = tool;
            p.pressKey(Qt::Key_Delete);
        }
        EXPECT_EQ(p.scene.size(), 1);
        EXPECT_EQ(curve->controlPoints.size(), 4u);
    }
    {
        SCOPED_TRACE("tool 14: the picked point, and the surface follows");
        GLPelm p(nullptr, "canvas");
        NurbsCurve* profile;
        RevolutionSurface* surface = addProfileWithSurface(p, profile);
        p.editCPClicked();
        p.activePoint = 1;
        surface->dirty = false;
        p.pressKey(Qt::Key_Delete);
        ASSERT_EQ(profile->controlPoints.size(), 3u);
        EXPECT_EQ(profile->controlPoints[1].x, 2.0);
        EXPECT_EQ(p.activePoint, -1);
        EXPECT_TRUE(surface->dirty);
    }
}

TEST(CanvasSlots, RemovingAnObjectCutsEveryLinkToIt) {
    REQUIRE_APPLICATION();
    GLPelm p(nullptr, "canvas");
    NurbsCurve* profile;
    RevolutionSurface* revolution = addProfileWithSurface(p, profile);
    NurbsCurve* loop[4];
    CurveSurface* patch = addPatch(p, loop);
    p.pickedCurve = loop[2];

    // Curves that surfaces still hold: each surface lets go of its curve.
    p.removeFromScene(profile);
    EXPECT_EQ(revolution->profile, nullptr);
    p.removeFromScene(loop[2]);
    ASSERT_EQ(patch->curves.size(), 3u);
    EXPECT_EQ(std::count(patch->curves.begin(), patch->curves.end(), loop[2]), 0);
    EXPECT_EQ(p.pickedCurve, nullptr);
    EXPECT_EQ(p.activeObject, loop[0]);

    p.removeFromScene(loop[0]);
    EXPECT_EQ(p.activeObject, nullptr);
    EXPECT_EQ(p.activeKind, ObjectKind::None);
    p.removeFromScene(patch);
    for (NurbsCurve* c : {loop[1], loop[3]})
        EXPECT_TRUE(c->surfaceLink == nullptr && c->linkKind == NurbsCurve::ReleasedLink);
    EXPECT_EQ(p.scene.size(), 3);
    p.removeFromScene(patch); // gone already: nothing happens
    p.removeFromScene(nullptr);
    EXPECT_EQ(p.scene.size(), 3);
}
