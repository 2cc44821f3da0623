// The scene and its rules: every change passes through here, as one undoable step. No Qt, no GL.
#pragma once

#include "geometry/control_point.h"
#include "scene/scene_list.h"
#include "scene/scene_record_cache.h"
#include "scene/undo_history.h"

#include <functional>
#include <memory>
#include <string>

class CurveSurface;
class NurbsCurve;
class RevolutionSurface;

// What the canvas is told about the model's changes.
class SceneModelListener {
public:
    virtual ~SceneModelListener() = default;
    // object left the scene (removed, or taken back by an undo): what it compiled for drawing goes.
    virtual void objectLeaving(SceneObject* object) = 0;
    // The history, the modified state or the selection may have changed.
    virtual void modelChanged() = 0;
};

class SceneModel {
public:
    // What a press in a surface's pick tool did with the curve under it.
    enum class Pick {
        None,      // no curve there, or no surface of the tool's kind waiting
        Linked,    // the curve already belongs to a surface: picked (highlighted) only
        Refused,   // the surface cannot take that curve
        Taken,     // the surface took it and waits for more
        Completed, // the surface took its last curve
    };
    // What the Delete key took away.
    enum class Deletion { Nothing, Point, Surface, Object };

    SceneList scene;
    SceneSelection selection;
    UndoHistory history;
    // Each object's scene-file record as of its last change, for the autosave; every change of an
    // object forgets its record.
    SceneRecordCache records;
    SceneModelListener* listener = nullptr;

    SceneModel();
    ~SceneModel();
    SceneModel(const SceneModel&) = delete;
    SceneModel& operator=(const SceneModel&) = delete;

    // ---- Steps ----
    // Changes between beginStep and endStep undo as one step; a begin inside an open step joins it.
    // Steps with the same non-empty mergeKey that follow each other become one (a spin field held).
    void beginStep(const std::string& name, const std::string& mergeKey = {});
    void endStep();
    bool stepOpen() const { return depth_ > 0; }
    // Closes every open step (a drag whose release never came).
    void closeSteps();
    // Every change calls this before changing object: its state is saved at its first change in
    // the step, so the step can put it back.
    void touch(SceneObject* object);

    bool undo();
    bool redo();
    // Saved, loaded or new: the scene is what is on disk.
    void markSaved();
    // Recovered from an autosave: not what any file holds.
    void markModified();
    bool isModified() const;

    // ---- Selection (not a step; restored by undo and redo) ----
    NurbsCurve* activeCurve() const;
    void setActiveObject(SceneObject* object, int kind);
    // The picked control point of the active curve (-1: none); drawn as picked.
    void setActivePoint(int index);
    void setPickedCurve(SceneObject* curve);

    // ---- Objects ----
    // Appends object, which the scene then owns.
    void add(SceneObject* object, int kind);
    // Takes object out of the scene after cutting every link to it. The history keeps it so an
    // undo can bring it back, and deletes it when no step can.
    void remove(SceneObject* object);
    // A loaded scene in place of this one, with a new history; the old objects are deleted.
    void replaceScene(SceneList&& loaded);
    // An empty scene with a new history.
    void clear();

    // ---- Links and what a change rebuilds ----
    void link(NurbsCurve* curve, SceneObject* surface, int linkKind);
    // The surface built from curve follows its change.
    void curveChanged(NurbsCurve* curve);

    // ---- New objects: each appends, selects and returns what it made ----
    NurbsCurve* newCurve();
    // A predefined shape (ShapeKind); a swept one also makes its surface of revolution.
    NurbsCurve* addPredefined(int shape);
    // An empty Coons patch or extrusion (kind Coons or Extrusion), waiting for its curves.
    CurveSurface* newCurveSurface(int kind);
    // A surface of revolution from the active free curve, or an empty one waiting for a profile when
    // nothing is active. Returns: 1 made from the active curve, 2 the active curve already was a
    // profile, 3 an empty one made, 0 nothing done.
    int newRevolution();

    // ---- The active curve ----
    void appendPoint(const ControlPoint& p);
    void insertPoint(const ControlPoint& p, int axis);
    // Deletes control point index (-1: nothing) of the active curve; the picked point stays the
    // same point, or none when it was the one deleted.
    void deletePoint(int index);
    void movePoint(double dx, double dy, double dz);
    void changeWeight(double dw);
    void setWeight(double w);
    void setOrder(int order);
    void setParamInc(int inc);
    void setCurveMode(int mode);
    void toggleVertices();
    void toggleCurve();
    void toggleEdge();
    void setLineWidth(int width);
    void reversePoints();
    void translateCurve(double dx, double dy, double dz);
    void scaleCurve(double s);
    void rotateCurve(double ax, double ay, double az);
    // Sets one coordinate (0 x, 1 y, 2 z) of the picked control point; the curve's surface follows.
    // Repeated changes of the same coordinate of the same point merge into one step.
    void setPointCoordinate(int axis, double value);
    // Scales the active curve by factor and rotates it by the angles (radians) about its centre, then
    // moves it: one step, which its surface follows. A factor of 1 and zero angles leave it as it is.
    void transformCurve(double dx, double dy, double dz, double factor, double ax, double ay, double az);
    // The active object's colour, or its surface's when it is a curve built into one.
    void setColor(int red, int green, int blue);

    // ---- Surfaces ----
    // The surface of revolution the revolution settings act on: the active one, or the active
    // profile's; null when there is none.
    RevolutionSurface* revolutionTarget() const;
    // The Coons patch or extrusion the shared surface settings act on, reached through an active
    // curve built into it; null when there is none.
    CurveSurface* curveSurfaceTarget() const;
    // A change of the revolution target, named for its step; nothing without a target.
    void changeRevolution(const std::string& name, const std::function<void(RevolutionSurface&)>& change,
                          const std::string& mergeKey = {});
    // Display mode and increments: on the revolution target, else on the curve surface target.
    void setSurfaceDisplay(bool shading, bool gradient);
    void setSurfaceIncrement(bool u, int value);

    // A press of a pick tool on curve hit (null: nothing hit), picking for a surface of surfaceKind
    // (ObjectKind Revolution, Coons or Extrusion): links it to the active surface when that is of
    // the kind and takes the curve.
    Pick pickCurve(NurbsCurve* hit, int surfaceKind);

    // Escape in a pick tool: the active surface of surfaceKind that still waits for curves (a
    // surface of revolution without a profile, a patch or extrusion not yet complete) is removed,
    // and the curves it took are released, as one step. Returns whether there was one.
    bool cancelWaitingSurface(int surfaceKind);

    // Delete in a transform tool: the active curve's surface first, then the curve; any other
    // active object at once.
    Deletion deleteActive();

private:
    int depth_ = 0;
    std::unique_ptr<UndoStep> pending_; // the step being recorded

    // The extrusion's two reversed copies that close its loop.
    void completeExtrusion(CurveSurface* extrusion);
    // surface follows a change of its curves or its colour, in the open step.
    void follow(SceneObject* surface);
    void leaving(SceneObject* object);
    void notify();
};

// Opens a step for the life of a scope.
class SceneStep {
public:
    SceneStep(SceneModel& model, const std::string& name, const std::string& mergeKey = {}) : model_(model) {
        model_.beginStep(name, mergeKey);
    }
    ~SceneStep() { model_.endStep(); }
    SceneStep(const SceneStep&) = delete;
    SceneStep& operator=(const SceneStep&) = delete;

private:
    SceneModel& model_;
};
