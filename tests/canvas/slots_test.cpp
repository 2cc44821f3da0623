// The canvas's slots, keys and Delete called directly: targets, tool modes, creation and removal.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include "canvas/gl_pelm.h"

#include <QApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <tuple>

namespace {

#define REQUIRE_APPLICATION()                                                                                \
    do {                                                                                                     \
        if (!QApplication::instance())                                                                       \
            GTEST_SKIP() << "no display (run under xvfb-run)";                                               \
    } while (0)

NurbsCurve* addCurve(GLPelm& p) {
    auto* curve = new NurbsCurve;
    for (const ControlPoint& q : {ControlPoint(-2, 0, 0), {0, 1, 0}, {2, 0, 0}, {3, 3, 0}})
        curve->appendPoint(q);
    p.scene.append(curve, ObjectKind::Curve);
    return curve;
}

// A curve with its surface of revolution, the curve active.
RevolutionSurface* addProfileWithSurface(GLPelm& p, NurbsCurve*& profile) {
    profile = addCurve(p);
    auto* surface = new RevolutionSurface(profile, 1, 0, 360.0f);
    p.scene.append(surface, ObjectKind::Revolution);
    p.model.link(profile, surface, NurbsCurve::RevolutionLink);
    p.setActiveObject(profile, ObjectKind::Curve);
    return surface;
}

// Four curves held by a Coons patch, the first one active.
CurveSurface* addPatch(GLPelm& p, NurbsCurve* curves[4]) {
    auto* patch = new CurveSurface;
    for (int i = 0; i < 4; ++i) {
        curves[i] = addCurve(p);
        patch->curves.push_back(curves[i]);
        p.model.link(curves[i], patch, NurbsCurve::CoonsLink);
    }
    p.scene.append(patch, ObjectKind::Coons);
    p.setActiveObject(curves[0], ObjectKind::Curve);
    return patch;
}

} // namespace

TEST(CanvasSlots, PickModeSlotsAndKeysChooseTools) {
    REQUIRE_APPLICATION();
    GLPelm p(nullptr, "canvas");
    // clang-format off
    const std::tuple<int, void (GLPelm::*)(), int> toggles[] = {
        {ToolMode::PickCoons, &GLPelm::selCoonsCurves, ToolMode::Idle},
        {ToolMode::Idle, &GLPelm::selCoonsCurves, ToolMode::PickCoons},
        {ToolMode::PickRevolution, &GLPelm::selCoonsCurves, ToolMode::PickCoons},
        {ToolMode::PickRevolution, &GLPelm::selRevolutionCurve, ToolMode::Idle},
        {ToolMode::PickCoons, &GLPelm::selRevolutionCurve, ToolMode::PickRevolution},
        {ToolMode::PickExtrusion, &GLPelm::selExtrudeCurves, ToolMode::Idle},
        {ToolMode::Translate, &GLPelm::selExtrudeCurves, ToolMode::PickExtrusion},
    };
    const std::pair<Qt::Key, int> keys[] = {
        {Qt::Key_A, ToolMode::AppendPoint}, {Qt::Key_D, ToolMode::DeletePoint}, {Qt::Key_E, ToolMode::EditPoint},
        {Qt::Key_I, ToolMode::InsertPoint}, {Qt::Key_P, ToolMode::Pan}, {Qt::Key_R, ToolMode::Rotate},
        {Qt::Key_S, ToolMode::Scale}, {Qt::Key_T, ToolMode::Translate}, {Qt::Key_Z, ToolMode::Zoom},
        {Qt::Key_Q, ToolMode::Idle}, {Qt::Key_1, ToolMode::Idle},
    };
    // clang-format on
    for (const auto& [before, slot, after] : toggles) {
        p.toolMode = before;
        (p.*slot)();
        EXPECT_EQ(p.toolMode, after) << "from " << before;
    }
    for (const auto& [key, mode] : keys) {
        p.toolMode = ToolMode::Idle;
        p.pressKey(key);
        EXPECT_EQ(p.toolMode, mode) << "key " << key;
    }
    EXPECT_EQ(p.scene.size(), 0);
}

TEST(CanvasSlots, CurveSlotsActOnTheActiveCurveAndUpdateItsSurface) {
    REQUIRE_APPLICATION();
    using Check = std::function<bool(const NurbsCurve&)>;
    // clang-format off
    const std::tuple<void (*)(GLPelm&), Check, bool> cases[] = {
        {[](GLPelm& p) { p.curveVerticesClicked(); }, [](const NurbsCurve& c) { return !c.showVertices; }, false},
        {[](GLPelm& p) { p.curveClicked(); }, [](const NurbsCurve& c) { return !c.showCurve; }, false},
        {[](GLPelm& p) { p.curveEdgeClicked(); }, [](const NurbsCurve& c) { return c.showEdge; }, false},
        {[](GLPelm& p) { p.orderChanged(4); }, [](const NurbsCurve& c) { return c.order == 4; }, true},
        {[](GLPelm& p) { p.paramIncChanged(37); }, [](const NurbsCurve& c) { return c.paramInc == 37; }, false},
        {[](GLPelm& p) { p.openCurveClicked(); }, [](const NurbsCurve& c) { return c.curveMode == 0; }, true},
        {[](GLPelm& p) { p.closedCurveClicked(); }, [](const NurbsCurve& c) { return c.curveMode == 2; }, true},
        {[](GLPelm& p) { p.closedCurveClicked(); p.interpolateEndPointsClicked(); },
         [](const NurbsCurve& c) { return c.curveMode == 1; }, true},
        {[](GLPelm& p) { p.weightChanged(25); }, [](const NurbsCurve& c) { return c.weight(2) == 2.5; }, true},
        {[](GLPelm& p) { p.reverseCPClicked(); }, [](const NurbsCurve& c) { return c.controlPoints[0].x == 3; }, true},
        {[](GLPelm& p) { p.lineSizeChanged(4); }, [](const NurbsCurve& c) { return c.lineWidth == 4; }, false},
    };
    // clang-format on
    const auto state = [](const NurbsCurve& k) {
        return std::tuple(k.showVertices, k.showCurve, k.showEdge, k.order, k.paramInc, k.curveMode,
                          k.lineWidth, k.weight(2), k.controlPoints[0].x);
    };
    int index = 0;
    for (const auto& [slot, changed, updatesSurface] : cases) {
        SCOPED_TRACE(testing::Message() << "case " << index++);
        GLPelm p(nullptr, "canvas");
        NurbsCurve* profile;
        RevolutionSurface* surface = addProfileWithSurface(p, profile);
        p.activePoint = 2;
        surface->dirty = false;
        slot(p);
        EXPECT_TRUE(changed(*profile));
        EXPECT_EQ(surface->dirty, updatesSurface);
        // With the surface itself active, or nothing, no curve changes.
        NurbsCurve* other = addCurve(p);
        const auto before = state(*other);
        for (SceneObject* active : {static_cast<SceneObject*>(surface), static_cast<SceneObject*>(nullptr)}) {
            p.setActiveObject(active, active ? ObjectKind::Revolution : ObjectKind::None);
            p.activePoint = 2;
            slot(p);
            EXPECT_TRUE(state(*other) == before);
        }
    }
}

TEST(CanvasSlots, WeightsNeedAPickedPointOfTheActiveCurve) {
    REQUIRE_APPLICATION();
    GLPelm p(nullptr, "canvas");
    NurbsCurve* curve = addCurve(p);
    p.setActiveObject(curve, ObjectKind::Curve);
    p.activePoint = 2;
    p.weightChanged(0);
    EXPECT_EQ(curve->weight(2), 1.0);
    // A picked point is an index into its curve: selecting another curve forgets it.
    NurbsCurve* other = addCurve(p);
    p.setActiveObject(other, ObjectKind::Curve);
    EXPECT_EQ(p.activePoint, -1);
    p.weightChanged(30);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(other->weight(i), 1.0);
}

TEST(CanvasSlots, ColourGoesToTheCurvesSurfaceOrTheActiveObject) {
    REQUIRE_APPLICATION();
    const auto isRed = [](const SceneObject* o) { return o->color[0] == 1.0f && o->color[1] == 0.0f; };
    GLPelm p(nullptr, "canvas");
    NurbsCurve* profile;
    RevolutionSurface* surface = addProfileWithSurface(p, profile);
    NurbsCurve* loop[4];
    CurveSurface* patch = addPatch(p, loop);
    NurbsCurve* free = addCurve(p);
    const std::tuple<SceneObject*, int, SceneObject*> cases[] = {
        {profile, ObjectKind::Curve, surface},
        {loop[1], ObjectKind::Curve, patch},
        {free, ObjectKind::Curve, free},
        {surface, ObjectKind::Revolution, surface},
    };
    for (const auto& [active, kind, coloured] : cases) {
        for (SceneNode* n = p.scene.first; n; n = n->next)
            n->object->setColor(0, 255, 0);
        surface->dirty = patch->dirty = false;
        p.setActiveObject(active, kind);
        p.setObjectColor(255, 0, 0);
        for (SceneNode* n = p.scene.first; n; n = n->next)
            EXPECT_EQ(isRed(n->object), n->object == coloured) << "node " << p.scene.positionOf(n->object);
        // The colour is compiled into a surface's display list.
        EXPECT_EQ(surface->dirty || patch->dirty, coloured != free);
    }
}

TEST(CanvasSlots, SurfaceSlotsReachTheirTargets) {
    REQUIRE_APPLICATION();
    using Check = std::function<bool(const RevolutionSurface&)>;
    // clang-format off
    const std::pair<void (*)(GLPelm&), Check> cases[] = {
        {[](GLPelm& p) { p.revXAxisClicked(); }, [](const RevolutionSurface& s) { return s.aor == 0 && s.refa == 1; }},
        {[](GLPelm& p) { p.revYAxisClicked(); }, [](const RevolutionSurface& s) { return s.aor == 1 && s.refa == 0; }},
        {[](GLPelm& p) { p.revZAxisClicked(); }, [](const RevolutionSurface& s) { return s.aor == 2 && s.refa == 0; }},
        {[](GLPelm& p) { p.refRevXAxisClicked(); }, [](const RevolutionSurface& s) { return s.refa == 0; }},
        {[](GLPelm& p) { p.refRevYAxisClicked(); }, [](const RevolutionSurface& s) { return s.refa == 1; }},
        {[](GLPelm& p) { p.refRevZAxisClicked(); }, [](const RevolutionSurface& s) { return s.refa == 2; }},
        {[](GLPelm& p) { p.rev_degreesChanged(90); }, [](const RevolutionSurface& s) { return s.degrees == 90.0f; }},
        {[](GLPelm& p) { p.rot_farLeftClicked(); }, [](const RevolutionSurface& s) { return s.revPoint == 0; }},
        {[](GLPelm& p) { p.rot_farRightClicked(); }, [](const RevolutionSurface& s) { return s.revPoint == 1; }},
        {[](GLPelm& p) { p.rot_closeAxisClicked(); }, [](const RevolutionSurface& s) { return s.revPoint == 2; }},
        {[](GLPelm& p) { p.rot_axisClicked(); }, [](const RevolutionSurface& s) { return s.revPoint == 3; }},
        {[](GLPelm& p) { p.rot_AxisLeftClicked(); }, [](const RevolutionSurface& s) { return s.axisRotPoint == 0; }},
        {[](GLPelm& p) { p.rot_AxisRightClicked(); }, [](const RevolutionSurface& s) { return s.axisRotPoint == 1; }},
        {[](GLPelm& p) { p.rot_axisDistChanged(9); }, [](const RevolutionSurface& s) { return s.axisDistance == 9; }},
        {[](GLPelm& p) { p.surfaceShadedClicked(); }, [](const RevolutionSurface& s) { return s.shading && !s.gradient; }},
        {[](GLPelm& p) { p.surfaceGradientClicked(); }, [](const RevolutionSurface& s) { return s.shading && s.gradient; }},
        {[](GLPelm& p) { p.uparamIncChanged(23); }, [](const RevolutionSurface& s) { return s.uParamInc == 23; }},
        {[](GLPelm& p) { p.vparamIncChanged(29); }, [](const RevolutionSurface& s) { return s.vParamInc == 29; }},
    };
    // clang-format on
    int index = 0;
    for (const auto& [slot, holds] : cases) {
        // Through the surface itself, through its profile, and with a free curve active (no target).
        for (int through = 0; through < 3; ++through) {
            SCOPED_TRACE(testing::Message() << "case " << index << " through " << through);
            GLPelm p(nullptr, "canvas");
            NurbsCurve* profile;
            RevolutionSurface* surface = addProfileWithSurface(p, profile);
            // Away from every value a slot sets, so each change shows.
            surface->aor = surface->refa = surface->revPoint = surface->axisRotPoint = surface->axisDistance =
                5;
            surface->degrees = 7.0f;
            surface->uParamInc = surface->vParamInc = 5;
            if (through == 0)
                p.setActiveObject(surface, ObjectKind::Revolution);
            if (through == 2)
                p.setActiveObject(addCurve(p), ObjectKind::Curve);
            slot(p);
            EXPECT_EQ(holds(*surface), through != 2);
        }
        ++index;
    }

    // A Coons patch is reached only through one of its curves, never while it is itself active.
    GLPelm p(nullptr, "canvas");
    NurbsCurve* loop[4];
    CurveSurface* patch = addPatch(p, loop);
    p.setActiveObject(loop[2], ObjectKind::Curve);
    p.surfaceGradientClicked();
    p.uparamIncChanged(17);
    EXPECT_TRUE(patch->shading && patch->gradient && patch->uParamInc == 17);
    p.surfaceMeshClicked();
    EXPECT_FALSE(patch->shading || patch->gradient);
    p.createCoons();
    auto* fresh = dynamic_cast<CurveSurface*>(p.activeObject);
    ASSERT_NE(fresh, nullptr);
    p.surfaceShadedClicked();
    p.uparamIncChanged(3);
    p.vparamIncChanged(4);
    EXPECT_TRUE(!fresh->shading && fresh->uParamInc == 10 && fresh->vParamInc == 10);
    EXPECT_EQ(patch->uParamInc, 17);
}

TEST(CanvasSlots, PredefinedObjectsAppendActivateAndReport) {
    REQUIRE_APPLICATION();
    struct Case {
        void (GLPelm::*slot)();
        int order, form;
        ControlPoint first, second;
        bool swept;
    };
    // clang-format off
    const Case cases[] = {
        {&GLPelm::NURBS_circleClicked, 4, NurbsCurve::Closed, {-7.5, 0, -7.5}, {7.5, 0, -7.5}, false},
        {&GLPelm::NURBS_squareClicked, 2, NurbsCurve::Closed, {-7.5, 0, -7.5}, {7.5, 0, -7.5}, false},
        {&GLPelm::NURBS_arcClicked, 4, NurbsCurve::Interpolated, {-7.5, 0, 7.5}, {-7.5, 0, -7.5}, false},
        {&GLPelm::NURBS_sphereClicked, 4, NurbsCurve::Interpolated, {0, 0, -7.5}, {-10.5, 0, -7.5}, true},
        {&GLPelm::NURBS_cylinderClicked, 2, NurbsCurve::Interpolated, {0, 0, -6.5}, {-8.5, 0, -6.5}, true},
        {&GLPelm::NURBS_cubeClicked, 2, NurbsCurve::Interpolated, {0, 0, -6.5}, {-8.5, 0, -6.5}, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "order " << c.order << " form " << c.form << " swept " << c.swept);
        GLPelm p(nullptr, "canvas");
        NurbsCurve* before = addCurve(p);
        p.setActiveObject(before, ObjectKind::Curve);
        p.activePoint = 1;
        p.pickedCurve = before;
        QSignalSpy parameters(&p, &GLPelm::emitCurveParameters);
        (p.*c.slot)();
        ASSERT_EQ(p.scene.size(), c.swept ? 3 : 2);
        auto* curve = dynamic_cast<NurbsCurve*>(p.scene.objectAt(1));
        ASSERT_TRUE(curve && p.scene.kindAt(1) == ObjectKind::Curve);
        EXPECT_TRUE(p.activeObject == curve && p.activeKind == ObjectKind::Curve && p.activePoint == -1);
        EXPECT_EQ(p.toolMode, ToolMode::EditPoint);
        EXPECT_TRUE(curve->order == c.order && curve->curveMode == c.form);
        ASSERT_EQ(curve->controlPoints.size(), 4u);
        EXPECT_EQ(length(curve->controlPoints[0] - c.first), 0.0);
        EXPECT_EQ(length(curve->controlPoints[1] - c.second), 0.0);
        ASSERT_EQ(parameters.count(), 1);
        EXPECT_TRUE(parameters[0][3].toInt() == c.order && parameters[0][5].toInt() == c.form);
        auto* surface = dynamic_cast<RevolutionSurface*>(p.scene.objectAt(2));
        EXPECT_EQ(surface != nullptr, c.swept);
        EXPECT_EQ(curve->surfaceLink, surface);
        if (surface) {
            EXPECT_TRUE(p.scene.kindAt(2) == ObjectKind::Revolution && surface->profile == curve);
            EXPECT_TRUE(curve->linkKind == NurbsCurve::RevolutionLink && surface->aor == 2);
            EXPECT_EQ(p.pickedCurve, nullptr);
        }
    }

    // The cube button makes exactly the cylinder's objects.
    GLPelm cube(nullptr, "cube"), cylinder(nullptr, "cylinder");
    cube.NURBS_cubeClicked();
    cylinder.NURBS_cylinderClicked();
    const auto* a = dynamic_cast<NurbsCurve*>(cube.scene.objectAt(0));
    const auto* b = dynamic_cast<NurbsCurve*>(cylinder.scene.objectAt(0));
    ASSERT_TRUE(a && b && a->controlPoints.size() == b->controlPoints.size());
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
        void (*setUp)(GLPelm&);
        int added, toolAfter, reports;
    };
    // clang-format off
    const Case cases[] = {
        {"free curve", [](GLPelm& p) { p.setActiveObject(addCurve(p), ObjectKind::Curve); }, 1, ToolMode::EditPoint, 1},
        {"released curve", [](GLPelm& p) {
             NurbsCurve* c = addCurve(p);
             c->linkKind = NurbsCurve::ReleasedLink;
             p.setActiveObject(c, ObjectKind::Curve);
         }, 1, ToolMode::EditPoint, 1},
        {"profile already", [](GLPelm& p) { NurbsCurve* c; addProfileWithSurface(p, c); }, 0, ToolMode::EditPoint, 1},
        {"nothing active", [](GLPelm&) {}, 1, ToolMode::PickRevolution, 0},
        {"Coons curve", [](GLPelm& p) { NurbsCurve* loop[4]; addPatch(p, loop); }, 0, ToolMode::Idle, 0},
        {"surface active", [](GLPelm& p) {
             NurbsCurve* c;
             p.setActiveObject(addProfileWithSurface(p, c), ObjectKind::Revolution);
         }, 0, ToolMode::Idle, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GLPelm p(nullptr, "canvas");
        c.setUp(p);
        p.toolMode = ToolMode::Idle;
        auto* const before = dynamic_cast<NurbsCurve*>(p.activeObject);
        const int size = p.scene.size();
        QSignalSpy parameters(&p, &GLPelm::emitCurveParameters);
        p.createRev();
        ASSERT_EQ(p.scene.size(), size + c.added);
        EXPECT_EQ(p.toolMode, c.toolAfter);
        EXPECT_EQ(parameters.count(), c.reports);
        if (!c.added)
            continue;
        auto* surface = dynamic_cast<RevolutionSurface*>(p.scene.objectAt(size));
        ASSERT_TRUE(surface && p.scene.kindAt(size) == ObjectKind::Revolution);
        if (before) { // built from the active curve, which stays active
            EXPECT_TRUE(p.activeObject == before && surface->profile == before);
            EXPECT_TRUE(before->surfaceLink == surface && before->linkKind == NurbsCurve::RevolutionLink);
            EXPECT_TRUE(surface->aor == 1 && surface->refa == 0 && surface->degrees == 360.0f);
        } else {
            EXPECT_TRUE(p.activeObject == surface && p.activeKind == ObjectKind::Revolution);
        }
    }
}

TEST(CanvasSlots, DeleteKeyRemovesByToolAndLeavesNoLinkBehind) {
    REQUIRE_APPLICATION();
    GLPelm p(nullptr, "canvas");
    NurbsCurve* profile;
    RevolutionSurface* surface = addProfileWithSurface(p, profile);
    NurbsCurve* loop[4];
    CurveSurface* patch = addPatch(p, loop);

    // Other tools: nothing. Tool 14: the picked point, and the surface follows.
    p.setActiveObject(profile, ObjectKind::Curve);
    for (int tool : {ToolMode::None, ToolMode::Pan, ToolMode::AppendPoint, ToolMode::DeletePoint}) {
        p.toolMode = tool;
        p.pressKey(Qt::Key_Delete);
    }
    EXPECT_EQ(p.scene.size(), 7);
    p.editCPClicked();
    p.activePoint = 1;
    surface->dirty = false;
    p.pressKey(Qt::Key_Delete);
    EXPECT_TRUE(profile->controlPoints.size() == 3u && profile->controlPoints[1].x == 2.0);
    EXPECT_TRUE(p.activePoint == -1 && surface->dirty);

    // Tool 6 on an active surface: removed, its profile released first.
    p.scaleClicked();
    p.setActiveObject(surface, ObjectKind::Revolution);
    p.pressKey(Qt::Key_Delete);
    EXPECT_FALSE(p.scene.contains(surface));
    EXPECT_TRUE(profile->surfaceLink == nullptr && profile->linkKind == NurbsCurve::ReleasedLink);
    EXPECT_EQ(p.activeObject, nullptr);

    // Tool 7 on a plain curve: removed. Removing curves a surface still holds (not something Delete
    // does) makes the surface let go of them.
    p.rotateClicked();
    p.setActiveObject(profile, ObjectKind::Curve);
    p.pressKey(Qt::Key_Delete);
    EXPECT_TRUE(!p.scene.contains(profile) && p.activeObject == nullptr);
    p.pickedCurve = loop[2];
    p.model.remove(loop[2]);
    EXPECT_EQ(std::count(patch->curves.begin(), patch->curves.end(), loop[2]), 0);
    EXPECT_EQ(p.pickedCurve, nullptr);
    auto* lone = new RevolutionSurface(loop[3], 1, 0, 360.0f);
    p.scene.append(lone, ObjectKind::Revolution);
    p.model.remove(loop[3]);
    EXPECT_EQ(lone->profile, nullptr);
    EXPECT_EQ(patch->curves.size(), 2u);
    p.model.remove(loop[3]); // gone already: nothing happens
    EXPECT_EQ(p.scene.size(), 4);
}
