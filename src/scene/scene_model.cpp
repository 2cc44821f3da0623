// The scene's rules and its steps: links, removal, rebuilds, new objects, edits, undo and redo.
#include "scene/scene_model.h"

#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include <cstdio>
#include <utility>

namespace {
// Merge keys name a field of one object, so only changes of the same field of the same object merge.
std::string keyOf(const char* field, const void* object, int index = -1) {
    char key[96];
    std::snprintf(key, sizeof key, "%s@%p#%d", field, object, index);
    return key;
}

const char* predefinedStepName(int shape) {
    switch (shape) {
    case ShapeKind::Circle:
        return "New Circle";
    case ShapeKind::Square:
        return "New Square";
    case ShapeKind::Arc:
        return "New Arc";
    case ShapeKind::Sphere:
        return "New Sphere";
    case ShapeKind::Cylinder:
        return "New Cylinder";
    default:
        return "New Cube";
    }
}
} // namespace

SceneModel::SceneModel() = default;

SceneModel::~SceneModel() {
    listener = nullptr;
    closeSteps();
    // The history deletes the objects only it keeps; the scene list deletes its own.
    history.clear();
}

// ---- Steps ----

void SceneModel::beginStep(const std::string& name, const std::string& mergeKey) {
    if (depth_++ > 0)
        return;
    pending_ = std::make_unique<UndoStep>();
    pending_->name = name;
    pending_->mergeKey = mergeKey;
}

void SceneModel::endStep() {
    if (depth_ == 0 || --depth_ > 0)
        return;
    std::unique_ptr<UndoStep> step = std::move(pending_);
    if (!step || (step->objects.empty() && step->list.empty()))
        return;
    for (UndoStep::ObjectChange& change : step->objects)
        change.after = change.object->saveState();
    step->selectionAfter = selection;
    history.push(std::move(step));
    notify();
}

void SceneModel::closeSteps() {
    while (depth_ > 0)
        endStep();
}

namespace {
// The selection a step puts back is the one it started from: taken at its first change.
void noteFirstChange(UndoStep& step, const SceneSelection& selection) {
    if (step.objects.empty() && step.list.empty())
        step.selectionBefore = selection;
}
} // namespace

void SceneModel::touch(SceneObject* object) {
    // Every change, in a step or not, first or not: the record may have been taken since.
    records.invalidate(object);
    if (!object || !pending_ || pending_->changeOf(object))
        return;
    noteFirstChange(*pending_, selection);
    pending_->objects.push_back(UndoStep::ObjectChange{object, object->saveState(), nullptr});
}

bool SceneModel::undo() {
    closeSteps();
    UndoStep* step = history.stepToUndo();
    if (!step)
        return false;
    for (auto change = step->list.rbegin(); change != step->list.rend(); ++change) {
        if (change->inserted) {
            scene.detach(change->object);
            history.keepDetached(change->object);
            leaving(change->object);
        } else {
            scene.insertAt(change->position, change->object, change->kind);
            history.takeBackDetached(change->object);
        }
    }
    for (const UndoStep::ObjectChange& change : step->objects) {
        records.invalidate(change.object);
        change.object->restoreState(*change.before);
    }
    selection = step->selectionBefore;
    setActiveObject(selection.activeObject, selection.activeKind);
    notify();
    return true;
}

bool SceneModel::redo() {
    closeSteps();
    UndoStep* step = history.stepToRedo();
    if (!step)
        return false;
    for (const UndoStep::ListChange& change : step->list) {
        if (change.inserted) {
            scene.insertAt(change.position, change.object, change.kind);
            history.takeBackDetached(change.object);
        } else {
            scene.detach(change.object);
            history.keepDetached(change.object);
            leaving(change.object);
        }
    }
    for (const UndoStep::ObjectChange& change : step->objects) {
        records.invalidate(change.object);
        change.object->restoreState(*change.after);
    }
    selection = step->selectionAfter;
    setActiveObject(selection.activeObject, selection.activeKind);
    notify();
    return true;
}

void SceneModel::markSaved() {
    history.markSaved();
    notify();
}

void SceneModel::markModified() {
    history.markUnsaved();
    notify();
}

bool SceneModel::isModified() const {
    return !history.atSavedState();
}

void SceneModel::notify() {
    if (listener)
        listener->modelChanged();
}

void SceneModel::leaving(SceneObject* object) {
    if (listener)
        listener->objectLeaving(object);
}

// ---- Selection ----

NurbsCurve* SceneModel::activeCurve() const {
    return selection.activeKind == ObjectKind::Curve ? dynamic_cast<NurbsCurve*>(selection.activeObject)
                                                     : nullptr;
}

void SceneModel::setActiveObject(SceneObject* object, int kind) {
    // Only objects of the scene are selected (an undo may name one that has gone again).
    if (object && !scene.contains(object))
        object = nullptr;
    // A picked point is an index into the active curve: it means nothing on another object.
    if (object != selection.activeObject)
        selection.activePoint = -1;
    selection.activeObject = object;
    selection.activeKind = object ? kind : ObjectKind::None;
    if (selection.pickedCurve && !scene.contains(selection.pickedCurve))
        selection.pickedCurve = nullptr;
    setActivePoint(selection.activePoint);
}

void SceneModel::setActivePoint(int index) {
    NurbsCurve* curve = activeCurve();
    if (!curve || index < -1 || index >= static_cast<int>(curve->controlPoints.size()))
        index = -1;
    selection.activePoint = index;
    // The curve draws the point it was last asked to find as picked: keep that the selected one.
    if (curve)
        curve->foundPoint = index;
}

void SceneModel::setPickedCurve(SceneObject* curve) {
    selection.pickedCurve = curve;
}

// ---- Objects ----

void SceneModel::add(SceneObject* object, int kind) {
    if (!object)
        return;
    const int position = scene.size();
    // A new object may sit where a deleted one was, and have its record.
    records.invalidate(object);
    scene.append(object, kind);
    if (pending_) {
        noteFirstChange(*pending_, selection);
        pending_->list.push_back(UndoStep::ListChange{true, object, position, kind});
    }
}

void SceneModel::remove(SceneObject* object) {
    const int position = scene.positionOf(object);
    if (position < 0)
        return;
    const int kind = scene.kindAt(position);
    for (SceneNode* node = scene.first; node; node = node->next) {
        if (node->object != object && node->object->linksTo(object)) {
            touch(node->object);
            node->object->forget(object);
        }
    }
    if (pending_) {
        noteFirstChange(*pending_, selection);
        pending_->list.push_back(UndoStep::ListChange{false, object, position, kind});
    }
    scene.detach(object);
    if (selection.activeObject == object)
        setActiveObject(nullptr, ObjectKind::None);
    if (selection.pickedCurve == object)
        selection.pickedCurve = nullptr;
    leaving(object);
    if (pending_)
        history.keepDetached(object);
    else
        delete object; // outside a step nothing can bring it back
}

void SceneModel::replaceScene(SceneList&& loaded) {
    closeSteps();
    for (SceneNode* node = scene.first; node; node = node->next)
        leaving(node->object);
    scene = std::move(loaded);
    records.clear();
    selection = SceneSelection{};
    history.clear();
    markSaved();
}

void SceneModel::clear() {
    replaceScene(SceneList());
}

// ---- Links and rebuilds ----

void SceneModel::link(NurbsCurve* curve, SceneObject* surface, int linkKind) {
    touch(curve);
    curve->surfaceLink = surface;
    curve->linkKind = linkKind;
}

void SceneModel::curveChanged(NurbsCurve* curve) {
    if (curve && curve->surfaceLink)
        follow(curve->surfaceLink);
}

void SceneModel::follow(SceneObject* surface) {
    // A patch moves its curves back onto the loop: they change with it.
    std::vector<SceneObject*> sources;
    surface->collectSources(sources);
    for (SceneObject* source : sources)
        touch(source);
    touch(surface);
    surface->followCurves();
}

// ---- New objects ----

NurbsCurve* SceneModel::newCurve() {
    SceneStep step(*this, "New Curve");
    auto* curve = new NurbsCurve;
    add(curve, ObjectKind::Curve);
    setActiveObject(curve, ObjectKind::Curve);
    return curve;
}

NurbsCurve* SceneModel::addPredefined(int shape) {
    const PredefinedShape* table = predefinedShape(shape);
    if (!table)
        return nullptr;
    SceneStep step(*this, predefinedStepName(shape));
    auto* curve = new NurbsCurve;
    buildPredefinedCurve(*curve, shape);
    add(curve, ObjectKind::Curve);
    setActiveObject(curve, ObjectKind::Curve);
    if (table->swept) {
        // The profile comes first in the scene, its surface right after it.
        RevolutionSurface* surface = makePredefinedSurface(curve);
        add(surface, ObjectKind::Revolution);
        link(curve, surface, NurbsCurve::RevolutionLink);
        setPickedCurve(nullptr);
    }
    return curve;
}

CurveSurface* SceneModel::newCurveSurface(int kind) {
    SceneStep step(*this, kind == ObjectKind::Extrusion ? "New Extrusion" : "New Coons Patch");
    auto* surface = new CurveSurface;
    add(surface, kind);
    setActiveObject(surface, kind);
    return surface;
}

int SceneModel::newRevolution() {
    SceneStep step(*this, "New Surface of Revolution");
    NurbsCurve* curve = activeCurve();
    if (curve && !curve->surfaceLink) {
        auto* surface = new RevolutionSurface(curve, 1, 0, 360.0f);
        add(surface, ObjectKind::Revolution);
        link(curve, surface, NurbsCurve::RevolutionLink);
        setActivePoint(-1);
        return 1;
    }
    if (curve && curve->linkKind == NurbsCurve::RevolutionLink) {
        setActivePoint(-1);
        return 2;
    }
    if (!selection.activeObject) {
        auto* surface = new RevolutionSurface;
        add(surface, ObjectKind::Revolution);
        setActiveObject(surface, ObjectKind::Revolution);
        return 3;
    }
    return 0;
}

// ---- The active curve ----

void SceneModel::appendPoint(const ControlPoint& p) {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Append Point");
        touch(curve);
        curve->appendPoint(p);
        curveChanged(curve);
    }
}

void SceneModel::insertPoint(const ControlPoint& p, int axis) {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Insert Point");
        touch(curve);
        curve->insertPoint(p, axis);
        curveChanged(curve);
    }
}

void SceneModel::deletePoint(int index) {
    NurbsCurve* curve = activeCurve();
    if (!curve || index < 0 || index >= static_cast<int>(curve->controlPoints.size()))
        return;
    SceneStep step(*this, "Delete Point");
    touch(curve);
    const int picked = selection.activePoint;
    curve->deletePoint(index);
    curveChanged(curve);
    // The picked point stays the same point: its index follows the deletion, and when it was the
    // one deleted nothing is picked (its successor must not inherit the highlight).
    setActivePoint(picked == index ? -1 : picked > index ? picked - 1 : picked);
}

void SceneModel::movePoint(double dx, double dy, double dz) {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Move Point");
        touch(curve);
        curve->movePoint(selection.activePoint, dx, dy, dz);
        curveChanged(curve);
    }
}

void SceneModel::changeWeight(double dw) {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Change Weight");
        touch(curve);
        curve->changeWeight(selection.activePoint, dw);
        curveChanged(curve);
    }
}

void SceneModel::setWeight(double w) {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Change Weight", keyOf("weight", curve, selection.activePoint));
        touch(curve);
        curve->setWeight(selection.activePoint, w);
        curveChanged(curve);
    }
}

void SceneModel::setOrder(int order) {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Change Order", keyOf("order", curve));
        touch(curve);
        curve->setOrder(order);
        curveChanged(curve);
    }
}

void SceneModel::setParamInc(int inc) {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Change Increment", keyOf("increment", curve));
        touch(curve);
        curve->setParamInc(inc);
    }
}

void SceneModel::setCurveMode(int mode) {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Change Form");
        touch(curve);
        curve->setCurveMode(mode);
        curveChanged(curve);
    }
}

void SceneModel::toggleVertices() {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, curve->showVertices ? "Hide Points" : "Show Points");
        touch(curve);
        curve->showVertices = !curve->showVertices;
    }
}

void SceneModel::toggleCurve() {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, curve->showCurve ? "Hide Curve" : "Show Curve");
        touch(curve);
        curve->showCurve = !curve->showCurve;
    }
}

void SceneModel::toggleEdge() {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, curve->showEdge ? "Hide Polygon" : "Show Polygon");
        touch(curve);
        curve->showEdge = !curve->showEdge;
    }
}

void SceneModel::setLineWidth(int width) {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Change Line Width", keyOf("lineWidth", curve));
        touch(curve);
        curve->setLineWidth(width);
    }
}

void SceneModel::reversePoints() {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Reverse Points");
        touch(curve);
        curve->reverseOrder();
        curveChanged(curve);
    }
}

void SceneModel::translateCurve(double dx, double dy, double dz) {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Translate");
        touch(curve);
        curve->translate(dx, dy, dz);
        curveChanged(curve);
    }
}

void SceneModel::scaleCurve(double s) {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Scale");
        touch(curve);
        curve->scale(s);
        curveChanged(curve);
    }
}

void SceneModel::rotateCurve(double ax, double ay, double az) {
    if (NurbsCurve* curve = activeCurve()) {
        SceneStep step(*this, "Rotate");
        touch(curve);
        curve->rotate(ax, ay, az);
        curveChanged(curve);
    }
}

void SceneModel::setPointCoordinate(int axis, double value) {
    NurbsCurve* curve = activeCurve();
    const int index = selection.activePoint;
    if (!curve || axis < 0 || axis > 2 || index < 0 || index >= static_cast<int>(curve->controlPoints.size()))
        return;
    static const char* const fields[] = {"pointX", "pointY", "pointZ"};
    SceneStep step(*this, "Move Point", keyOf(fields[axis], curve, index));
    touch(curve);
    ControlPoint delta(0.0, 0.0, 0.0);
    delta.coordinate(axis) = value - curve->controlPoints[index].coordinate(axis);
    curve->movePoint(index, delta.x, delta.y, delta.z);
    curveChanged(curve);
}

void SceneModel::transformCurve(double dx, double dy, double dz, double factor, double ax, double ay,
                                double az) {
    NurbsCurve* curve = activeCurve();
    if (!curve)
        return;
    SceneStep step(*this, "Transform");
    touch(curve);
    // The curve scales by one plus its argument.
    if (factor != 1.0)
        curve->scale(factor - 1.0);
    if (ax != 0.0 || ay != 0.0 || az != 0.0)
        curve->rotate(ax, ay, az);
    curve->translate(dx, dy, dz);
    curveChanged(curve);
}

void SceneModel::setColor(int red, int green, int blue) {
    // A curve's colour goes to the surface built from it.
    SceneObject* target = selection.activeObject;
    if (NurbsCurve* curve = activeCurve();
        curve && curve->surfaceLink &&
        (curve->linkKind == NurbsCurve::RevolutionLink || curve->linkKind == NurbsCurve::CoonsLink ||
         curve->linkKind == NurbsCurve::ExtrusionLink))
        target = curve->surfaceLink;
    if (!target)
        return;
    SceneStep step(*this, "Change Colour");
    touch(target);
    target->setColor(red, green, blue);
    // Surfaces compile their colour into what they draw.
    follow(target);
}

// ---- Surfaces ----

RevolutionSurface* SceneModel::revolutionTarget() const {
    if (selection.activeKind == ObjectKind::Revolution)
        return dynamic_cast<RevolutionSurface*>(selection.activeObject);
    const NurbsCurve* curve = activeCurve();
    if (curve && curve->linkKind == NurbsCurve::RevolutionLink)
        return dynamic_cast<RevolutionSurface*>(curve->surfaceLink);
    return nullptr;
}

CurveSurface* SceneModel::curveSurfaceTarget() const {
    // Only through a curve: a patch or extrusion that is itself active is still waiting for curves.
    const NurbsCurve* curve = activeCurve();
    if (curve && (curve->linkKind == NurbsCurve::CoonsLink || curve->linkKind == NurbsCurve::ExtrusionLink))
        return dynamic_cast<CurveSurface*>(curve->surfaceLink);
    return nullptr;
}

void SceneModel::changeRevolution(const std::string& name,
                                  const std::function<void(RevolutionSurface&)>& change,
                                  const std::string& mergeKey) {
    RevolutionSurface* surface = revolutionTarget();
    if (!surface)
        return;
    SceneStep step(*this, name, mergeKey.empty() ? std::string() : keyOf(mergeKey.c_str(), surface));
    touch(surface);
    change(*surface);
}

void SceneModel::setSurfaceDisplay(bool shading, bool gradient) {
    SceneObject* target = revolutionTarget();
    if (!target)
        target = curveSurfaceTarget();
    if (!target)
        return;
    SceneStep step(*this, "Change Surface Display");
    touch(target);
    target->setSurfaceDisplay(shading, gradient);
}

void SceneModel::setSurfaceIncrement(bool u, int value) {
    SceneObject* target = revolutionTarget();
    if (!target)
        target = curveSurfaceTarget();
    if (!target)
        return;
    SceneStep step(*this, "Change Surface Increment", keyOf(u ? "u" : "v", target));
    touch(target);
    target->setSurfaceIncrement(u, value);
}

SceneModel::Pick SceneModel::pickCurve(NurbsCurve* hit, int surfaceKind) {
    setPickedCurve(hit);
    // A curve already built into a surface stays picked (highlighted) and is left alone. So is any
    // curve when the active object is not a surface of the kind this pick builds.
    if (!hit)
        return Pick::None;
    if (hit->surfaceLink)
        return Pick::Linked;
    if (surfaceKind != selection.activeKind)
        return Pick::None;

    if (surfaceKind == ObjectKind::Revolution) {
        auto* surface = dynamic_cast<RevolutionSurface*>(selection.activeObject);
        if (!surface)
            return Pick::None;
        SceneStep step(*this, "Pick Profile");
        // A surface that had a profile lets it go: it no longer follows that curve.
        if (NurbsCurve* old = surface->profile; old && old->surfaceLink == surface)
            link(old, nullptr, NurbsCurve::ReleasedLink);
        link(hit, surface, NurbsCurve::RevolutionLink);
        touch(surface);
        surface->setProfile(hit);
        setPickedCurve(nullptr);
        return Pick::Completed;
    }

    auto* surface = dynamic_cast<CurveSurface*>(selection.activeObject);
    const bool coons = surfaceKind == ObjectKind::Coons;
    if (!surface || (!coons && surfaceKind != ObjectKind::Extrusion))
        return Pick::None;
    SceneStep step(*this, "Pick Curve");
    // A complete patch or extrusion answers as if it took the curve, but holds no more curves: only
    // a curve it really holds may point at it, or deleting it would leave that curve's link behind.
    touch(surface);
    const std::size_t held = surface->curves.size();
    std::vector<SceneObject*> sources;
    surface->collectSources(sources);
    for (SceneObject* source : sources)
        touch(source); // the fourth curve aligns the loop
    touch(hit);
    const int result = coons ? surface->addCoonsCurve(hit) : surface->addExtrudeCurve(hit);
    // A full surface answers 2 too; only one still waiting for curves refuses by form.
    const std::size_t capacity = coons ? 4 : 2;
    if (surface->curves.size() == held)
        return result == 2 && held < capacity ? Pick::Refused : Pick::None;
    link(hit, surface, coons ? NurbsCurve::CoonsLink : NurbsCurve::ExtrusionLink);
    if (result != 1)
        return Pick::Taken;
    setPickedCurve(nullptr);
    if (!coons)
        completeExtrusion(surface);
    return Pick::Completed;
}

void SceneModel::completeExtrusion(CurveSurface* extrusion) {
    // The profile and the path, each copied and reversed, close the loop the patch is built over.
    NurbsCurve* copies[2] = {nullptr, nullptr};
    for (int i = 0; i < 2; ++i) {
        const NurbsCurve* original = extrusion->curve(i);
        if (!original)
            continue;
        auto* copy = new NurbsCurve;
        copy->copyFrom(*original);
        copy->reverseOrder();
        copy->surfaceLink = extrusion;
        copy->linkKind = NurbsCurve::ExtrusionLink;
        add(copy, ObjectKind::Curve);
        copies[i] = copy;
    }
    for (NurbsCurve* copy : copies) {
        if (copy) {
            touch(copy);
            extrusion->addCoonsCurve(copy);
        }
    }
}

bool SceneModel::cancelWaitingSurface(int surfaceKind) {
    SceneObject* surface = selection.activeObject;
    if (!surface || selection.activeKind != surfaceKind)
        return false;
    bool waiting = false;
    if (const auto* revolution = dynamic_cast<const RevolutionSurface*>(surface))
        waiting = surfaceKind == ObjectKind::Revolution && !revolution->profile;
    else if (const auto* patch = dynamic_cast<const CurveSurface*>(surface))
        waiting = (surfaceKind == ObjectKind::Coons && patch->curves.size() < 4) ||
                  (surfaceKind == ObjectKind::Extrusion && patch->curves.size() < 2);
    if (!waiting)
        return false;
    SceneStep step(*this, "Cancel Surface");
    // Removing the surface cuts every link to it: the curves it took are released.
    remove(surface);
    setPickedCurve(nullptr);
    return true;
}

SceneModel::Deletion SceneModel::deleteActive() {
    NurbsCurve* curve = activeCurve();
    if (!curve) {
        if (!selection.activeObject)
            return Deletion::Nothing;
        SceneStep step(*this, "Delete Surface");
        remove(selection.activeObject);
        return Deletion::Object;
    }
    // A first Delete removes the curve's surface, a second the curve.
    if (SceneObject* surface = curve->surfaceLink) {
        SceneStep step(*this, "Delete Surface");
        // Every curve the surface was built from is released with it.
        remove(surface);
        link(curve, nullptr, NurbsCurve::ReleasedLink);
        return Deletion::Surface;
    }
    SceneStep step(*this, "Delete Curve");
    remove(curve);
    return Deletion::Object;
}
