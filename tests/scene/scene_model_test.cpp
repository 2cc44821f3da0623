// The scene model: every change is one step that undo takes back and redo makes again, exactly.
#include "geometry/nurbs_curve.h"
#include "scene/scene_model.h"
#include "surfaces/curve_surface.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include "scene_bytes.h"
#include "stub_scene_object.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// The whole scene as a step must give it back: the file's bytes and every object's state, which
// also holds what files do not store (line width, the centre).
struct Snapshot {
    std::string bytes;
    std::vector<std::unique_ptr<ObjectState>> states;
    SceneSelection selection;

    bool operator==(const Snapshot& other) const {
        if (bytes != other.bytes || states.size() != other.states.size())
            return false;
        for (std::size_t i = 0; i < states.size(); ++i)
            if (!states[i]->sameAs(*other.states[i]))
                return false;
        return true;
    }
};

Snapshot snapshot(const SceneModel& model) {
    Snapshot s{sceneBytes(model.scene), {}, model.selection};
    for (const SceneNode* node = model.scene.first; node; node = node->next)
        s.states.push_back(node->object->saveState());
    return s;
}

NurbsCurve* addCurve(SceneModel& model, std::vector<ControlPoint> points, int order = 2) {
    SceneStep step(model, "Add");
    NurbsCurve* curve = model.newCurve();
    model.touch(curve);
    curve->setOrder(order);
    curve->setControlPoints(points);
    return curve;
}

// A square of four interpolated straight sides, in order around it.
std::vector<NurbsCurve*> addSquareSides(SceneModel& model) {
    const ControlPoint corners[] = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
    std::vector<NurbsCurve*> sides;
    for (int i = 0; i < 4; ++i)
        sides.push_back(addCurve(model, {corners[i], corners[(i + 1) % 4]}));
    return sides;
}

// A scene with something of every kind, the history cleared.
struct Scene {
    SceneModel model;
    NurbsCurve* free = nullptr;
    NurbsCurve* profile = nullptr;
    std::vector<NurbsCurve*> sides;

    Scene() {
        profile = model.addPredefined(ShapeKind::Sphere);
        sides = addSquareSides(model);
        model.newCurveSurface(ObjectKind::Coons);
        for (NurbsCurve* side : sides)
            model.pickCurve(side, ObjectKind::Coons);
        free = addCurve(model, {{-5, 1, 0}, {-3, 2, 0}, {-1, 1, 1}, {0, 3, 0}}, 3);
        model.history.clear();
        model.markSaved();
    }
    void select(NurbsCurve* curve, int point = -1) {
        model.setActiveObject(curve, ObjectKind::Curve);
        model.setActivePoint(point);
    }
};

} // namespace

TEST(SceneModelUndo, EveryChangeIsOneStepThatUndoAndRedoTakeBackAndMakeAgain) {
    struct Case {
        const char* name;
        std::function<void(Scene&)> change;
    };
    const Case cases[] = {
        {"Append Point",
         [](Scene& s) {
             s.select(s.free), s.model.appendPoint({1, 1, 1});
         }},
        {"Insert Point",
         [](Scene& s) {
             s.select(s.free), s.model.insertPoint({-4, 1.5, 0}, 2);
         }},
        {"Delete Point", [](Scene& s) { s.select(s.free, 2), s.model.deletePoint(1); }},
        {"Move Point", [](Scene& s) { s.select(s.profile, 1), s.model.movePoint(0.5, 0, -1); }},
        {"Change Weight", [](Scene& s) { s.select(s.free, 2), s.model.setWeight(2.5); }},
        {"Change Order", [](Scene& s) { s.select(s.sides[1]), s.model.setOrder(3); }},
        {"Change Increment", [](Scene& s) { s.select(s.free), s.model.setParamInc(7); }},
        {"Change Form", [](Scene& s) { s.select(s.profile), s.model.setCurveMode(NurbsCurve::Closed); }},
        {"Show Polygon", [](Scene& s) { s.select(s.free), s.model.toggleEdge(); }},
        {"Change Line Width", [](Scene& s) { s.select(s.free), s.model.setLineWidth(4); }},
        {"Reverse Points", [](Scene& s) { s.select(s.sides[2]), s.model.reversePoints(); }},
        {"Translate", [](Scene& s) { s.select(s.free), s.model.translateCurve(1, 2, 3); }},
        {"Scale", [](Scene& s) { s.select(s.free), s.model.scaleCurve(0.5); }},
        {"Rotate", [](Scene& s) { s.select(s.free), s.model.rotateCurve(0.1, 0.2, 0.3); }},
        {"Change Colour", [](Scene& s) { s.select(s.sides[0]), s.model.setColor(10, 20, 30); }},
        {"New Circle", [](Scene& s) { s.model.addPredefined(ShapeKind::Circle); }},
        {"New Cylinder", [](Scene& s) { s.model.addPredefined(ShapeKind::Cylinder); }},
        {"New Surface of Revolution", [](Scene& s) { s.select(s.free), s.model.newRevolution(); }},
        {"Change Sweep Angle",
         [](Scene& s) {
             s.select(s.profile);
             s.model.changeRevolution("Change Sweep Angle", [](RevolutionSurface& r) { r.setDegrees(90); });
         }},
        {"Change Surface Display",
         [](Scene& s) { s.select(s.sides[3]), s.model.setSurfaceDisplay(true, true); }},
        {"Change Surface Increment",
         [](Scene& s) { s.select(s.profile), s.model.setSurfaceIncrement(true, 3); }},
        {"Delete Surface", [](Scene& s) { s.select(s.sides[1]), s.model.deleteActive(); }},
        {"Delete Curve", [](Scene& s) { s.select(s.free), s.model.deleteActive(); }},
        {"New Extrusion", [](Scene& s) { s.model.newCurveSurface(ObjectKind::Extrusion); }},
    };
    for (const Case& k : cases) {
        Scene s;
        s.select(s.free); // a selection that changes nothing
        const Snapshot before = snapshot(s.model);
        k.change(s);
        const Snapshot after = snapshot(s.model);
        ASSERT_FALSE(after == before) << k.name << " changed nothing";
        ASSERT_EQ(s.model.history.size(), 1u) << k.name;
        EXPECT_EQ(s.model.history.undoName(), k.name);
        EXPECT_TRUE(s.model.isModified()) << k.name;

        ASSERT_TRUE(s.model.undo()) << k.name;
        EXPECT_TRUE(snapshot(s.model) == before) << k.name << ": undo";
        EXPECT_FALSE(s.model.isModified()) << k.name;
        EXPECT_EQ(s.model.history.redoName(), k.name);
        ASSERT_TRUE(s.model.redo()) << k.name;
        EXPECT_TRUE(snapshot(s.model) == after) << k.name << ": redo";
        ASSERT_TRUE(s.model.undo());
        EXPECT_TRUE(snapshot(s.model) == before) << k.name << ": second undo";
    }
}

TEST(SceneModelUndo, PicksThatBuildAnExtrusionUndoOneAtATime) {
    SceneModel model;
    NurbsCurve* profile = addCurve(model, {{0, 0, 0}, {0, 1, 0}});
    NurbsCurve* path = addCurve(model, {{3, 3, 3}, {4, 3, 3}});
    model.newCurveSurface(ObjectKind::Extrusion);
    const Snapshot waiting = snapshot(model);
    EXPECT_EQ(model.pickCurve(profile, ObjectKind::Extrusion), SceneModel::Pick::Taken);
    const Snapshot half = snapshot(model);
    EXPECT_EQ(model.pickCurve(path, ObjectKind::Extrusion), SceneModel::Pick::Completed);
    EXPECT_EQ(model.scene.size(), 5) << "the two reversed copies";
    const Snapshot complete = snapshot(model);

    model.undo();
    EXPECT_TRUE(snapshot(model) == half) << "copies gone, the path unlinked and where it was";
    model.undo();
    EXPECT_TRUE(snapshot(model) == waiting);
    model.redo();
    model.redo();
    EXPECT_TRUE(snapshot(model) == complete);
}

TEST(SceneModelUndo, TheFourthCoonsCurveAlignsTheLoopAndUndoPutsEveryCurveBack) {
    SceneModel model;
    // Sides that do not meet: the fourth pick moves the second, third and fourth onto a loop.
    NurbsCurve* sides[] = {addCurve(model, {{0, 0, 0}, {4, 0, 0}}), addCurve(model, {{5, 1, 0}, {5, 4, 0}}),
                           addCurve(model, {{3, 6, 1}, {0, 5, 0}}),
                           addCurve(model, {{-1, 3, 0}, {-2, 0, 2}})};
    model.newCurveSurface(ObjectKind::Coons);
    for (int i = 0; i < 3; ++i)
        model.pickCurve(sides[i], ObjectKind::Coons);
    const Snapshot before = snapshot(model);
    EXPECT_EQ(model.pickCurve(sides[3], ObjectKind::Coons), SceneModel::Pick::Completed);
    const Snapshot after = snapshot(model);
    EXPECT_EQ(sides[1]->controlPoints[0].x, 4.0) << "aligned";
    model.undo();
    EXPECT_TRUE(snapshot(model) == before);
    model.redo();
    EXPECT_TRUE(snapshot(model) == after);

    // A dragged side is put back on the loop as it moves: that too is part of the step.
    model.setActiveObject(sides[2], ObjectKind::Curve);
    model.setActivePoint(0);
    model.beginStep("Move Point");
    model.movePoint(1, 1, 0);
    EXPECT_EQ(sides[2]->controlPoints[0].x, sides[1]->controlPoints.back().x) << "on the loop";
    model.endStep();
    model.undo();
    EXPECT_TRUE(snapshot(model) == after);
}

TEST(SceneModelUndo, ASelectionThatRefusesOrChangesNothingRecordsNothing) {
    Scene s;
    s.select(s.free, 1);
    s.model.setOrder(s.free->order); // the panels echo what they are shown
    s.model.setWeight(s.free->weight(1));
    s.model.setParamInc(s.free->paramInc);
    s.select(s.profile);
    s.model.setSurfaceIncrement(true, 10);
    NurbsCurve* closed = addCurve(s.model, {{0, 0, 9}, {1, 0, 9}, {1, 1, 9}});
    s.model.touch(closed);
    s.model.history.clear();
    closed->setCurveMode(NurbsCurve::Closed);
    s.model.newCurveSurface(ObjectKind::Coons);
    s.model.history.clear();
    EXPECT_EQ(s.model.pickCurve(closed, ObjectKind::Coons), SceneModel::Pick::Refused);
    EXPECT_FALSE(s.model.history.canUndo());

    // A full surface takes nothing: a refusal would blame the curve's form, which is not the reason.
    for (int kind : {ObjectKind::Coons, ObjectKind::Extrusion}) {
        SCOPED_TRACE(kind);
        std::vector<NurbsCurve*> bounds;
        for (int i = 0; i < (kind == ObjectKind::Coons ? 4 : 2); ++i)
            bounds.push_back(addCurve(s.model, {{0, 0, 20.0 + i}, {1, 0, 20.0 + i}}));
        s.model.newCurveSurface(kind);
        for (NurbsCurve* curve : bounds)
            s.model.pickCurve(curve, kind);
        ASSERT_EQ(s.model.selection.activeKind, kind);
        s.model.history.clear();
        EXPECT_EQ(s.model.pickCurve(closed, kind), SceneModel::Pick::None);
        EXPECT_EQ(closed->surfaceLink, nullptr);
    }
}

TEST(SceneModelUndo, ChangesOfOneFieldInARowMergeAndAChangeBackLeavesNoStep) {
    Scene s;
    s.select(s.free, 2);
    for (int order : {3, 4, 5, 6})
        s.model.setOrder(order);
    EXPECT_EQ(s.model.history.size(), 1u) << "holding the arrow of the order field";
    s.model.undo();
    EXPECT_EQ(s.free->order, 3);
    s.model.redo();
    EXPECT_EQ(s.free->order, 6);

    s.model.setWeight(1.5); // another field: a step of its own
    s.model.setWeight(2.0);
    EXPECT_EQ(s.model.history.size(), 2u);
    s.model.setWeight(1.0); // back where the step began: nothing left to undo in it
    EXPECT_EQ(s.model.history.size(), 1u);

    s.model.undo();
    s.model.setOrder(4); // after an undo a change starts a step of its own
    s.model.setOrder(5);
    EXPECT_EQ(s.model.history.size(), 1u);
    EXPECT_FALSE(s.model.history.canRedo());

    s.model.markSaved(); // never merged into the step the saved scene ends with
    s.model.setOrder(6);
    EXPECT_EQ(s.model.history.size(), 2u);
    s.model.undo();
    EXPECT_FALSE(s.model.isModified());
}

TEST(SceneModelUndo, ADragIsOneStepAndRestoresThePickedPoint) {
    Scene s;
    s.select(s.free, 2);
    const Snapshot before = snapshot(s.model);
    s.model.beginStep("Move Point");
    for (int i = 0; i < 10; ++i)
        s.model.movePoint(0.1, 0.2, 0);
    s.model.setWeight(3.0); // the weight field's echo at the release joins the drag
    s.model.endStep();
    EXPECT_EQ(s.model.history.size(), 1u);
    s.select(s.profile);
    s.model.undo();
    EXPECT_TRUE(snapshot(s.model) == before);
    EXPECT_EQ(s.model.selection.activeObject, s.free);
    EXPECT_EQ(s.model.selection.activePoint, 2);
    EXPECT_EQ(s.free->foundPoint, 2) << "drawn as picked";
}

TEST(SceneModelUndo, RemovedObjectsLiveWhileAStepCanBringThemBack) {
    int destroyed = 0;
    {
        SceneModel model;
        model.beginStep("Add");
        model.add(new StubSceneObject(&destroyed), ObjectKind::Curve);
        model.endStep();
        SceneObject* kept = model.scene.first->object;
        model.beginStep("Remove");
        model.remove(kept);
        model.endStep();
        EXPECT_EQ(destroyed, 0);
        model.undo();
        EXPECT_EQ(model.scene.first->object, kept);
        model.redo();
        EXPECT_EQ(model.scene.size(), 0);

        model.undo();
        model.undo();                            // the object is out again, and only the redo steps know it
        addCurve(model, {{0, 0, 0}, {1, 1, 1}}); // drops them
        EXPECT_EQ(destroyed, 1);

        model.beginStep("Add");
        model.add(new StubSceneObject(&destroyed), ObjectKind::Curve);
        model.endStep();
        model.beginStep("Remove");
        model.remove(model.scene.last->object);
        model.endStep();
        model.clear(); // a new scene: no step remains
        EXPECT_EQ(destroyed, 2);
        model.beginStep("Add");
        model.add(new StubSceneObject(&destroyed), ObjectKind::Curve);
        model.endStep();
    }
    EXPECT_EQ(destroyed, 3) << "the scene's own objects go with the model";
}

// The redo steps a new step drops may be the only others that know its object (one of a loaded scene,
// which no step added): it stays all the same.
TEST(SceneModelUndo, RegressionDeletingALoadedObjectAgainAfterUndoingItsDeletionKeepsItForUndo) {
    int destroyed = 0;
    SceneModel model;
    SceneList loaded;
    loaded.append(new StubSceneObject(&destroyed), ObjectKind::Curve);
    model.replaceScene(std::move(loaded));
    SceneObject* object = model.scene.first->object;
    for (int round = 0; round < 2; ++round) {
        model.beginStep("Remove");
        model.remove(object);
        model.endStep();
        EXPECT_EQ(destroyed, 0) << "round " << round;
        ASSERT_TRUE(model.undo());
        EXPECT_EQ(model.scene.first->object, object);
    }
}

TEST(SceneModelUndo, TheHistoryKeepsTheNewestThousandSteps) {
    Scene s;
    s.select(s.free);
    for (int i = 0; i < 1005; ++i)
        s.model.translateCurve(1, 0, 0);
    EXPECT_EQ(s.model.history.size(), UndoHistory::MaxSteps);
    EXPECT_TRUE(s.model.isModified());
    while (s.model.undo()) {
    }
    EXPECT_DOUBLE_EQ(s.free->controlPoints[0].x, -5.0 + 5.0) << "the five oldest moves stay";
    EXPECT_TRUE(s.model.isModified()) << "the saved scene can no longer be reached";
}

TEST(SceneModelUndo, AStepHoldsTheCurveItChangedNotTheScene) {
    SceneModel model;
    std::vector<ControlPoint> points;
    for (int i = 0; i < 100; ++i)
        points.emplace_back(i, i % 7, 0);
    for (int c = 0; c < 1000; ++c)
        addCurve(model, points, 4);
    model.history.clear();
    NurbsCurve* curve = model.activeCurve();
    model.setActivePoint(50);
    model.movePoint(1, 1, 1);
    const std::size_t curveBytes = points.size() * sizeof(ControlPoint);
    EXPECT_GT(model.history.bytes(), 2 * curveBytes);
    EXPECT_LT(model.history.bytes(), 3 * curveBytes) << "before and after of one curve, not 1000";
    EXPECT_EQ(curve->controlPoints[50].x, 51.0);
}

TEST(SceneModelUndo, LoadingStartsANewHistoryAndTheSavedMarkFollowsUndo) {
    Scene s;
    EXPECT_FALSE(s.model.isModified());
    s.select(s.free);
    s.model.toggleVertices();
    s.model.markSaved();
    s.model.toggleVertices();
    EXPECT_TRUE(s.model.isModified());
    s.model.undo();
    EXPECT_FALSE(s.model.isModified());
    s.model.undo();
    EXPECT_TRUE(s.model.isModified());
    s.model.markModified();
    s.model.redo();
    EXPECT_TRUE(s.model.isModified()) << "a recovered scene stays modified until saved";

    SceneList loaded;
    loaded.append(new NurbsCurve, ObjectKind::Curve);
    s.model.replaceScene(std::move(loaded));
    EXPECT_FALSE(s.model.history.canUndo());
    EXPECT_FALSE(s.model.isModified());
    EXPECT_EQ(s.model.selection.activeObject, nullptr);
}
