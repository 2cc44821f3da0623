// The canvas's slots for the window's controls: tools, the active curve, its surface, new objects.
// The surfaces come before Qt: SurfaceMesh has a member named emit, which Qt defines as a macro.
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include "canvas/gl_pelm.h"

#include <QOpenGLContext>

#include <algorithm>

// ---- Targets and shared steps ----

NurbsCurve* GLPelm::activeCurve() const {
    return activeKind == ObjectKind::Curve ? dynamic_cast<NurbsCurve*>(activeObject) : nullptr;
}

RevolutionSurface* GLPelm::revolutionTarget() const {
    if (activeKind == ObjectKind::Revolution)
        return dynamic_cast<RevolutionSurface*>(activeObject);
    const NurbsCurve* curve = activeCurve();
    if (curve && curve->linkKind == NurbsCurve::RevolutionLink)
        return dynamic_cast<RevolutionSurface*>(curve->surfaceLink);
    return nullptr;
}

CurveSurface* GLPelm::curveSurfaceTarget() const {
    // Only through a curve: a patch or extrusion that is itself active is still waiting for curves.
    const NurbsCurve* curve = activeCurve();
    if (curve && (curve->linkKind == NurbsCurve::CoonsLink || curve->linkKind == NurbsCurve::ExtrusionLink))
        return dynamic_cast<CurveSurface*>(curve->surfaceLink);
    return nullptr;
}

void GLPelm::updateCurveSurface() {
    const NurbsCurve* curve = activeCurve();
    if (!curve || !curve->surfaceLink)
        return;
    if (curve->linkKind == NurbsCurve::RevolutionLink) {
        if (auto* surface = dynamic_cast<RevolutionSurface*>(curve->surfaceLink))
            surface->invalidate();
    } else if (curve->linkKind == NurbsCurve::CoonsLink || curve->linkKind == NurbsCurve::ExtrusionLink) {
        if (auto* surface = dynamic_cast<CurveSurface*>(curve->surfaceLink))
            surface->rebuild();
    }
}

void GLPelm::setActiveObject(SceneObject* object, int kind) {
    // A picked point is an index into the active curve: it means nothing on another object.
    if (object != activeObject)
        activePoint = -1;
    activeObject = object;
    activeKind = object ? kind : ObjectKind::None;
}

void GLPelm::removeFromScene(SceneObject* object) {
    if (!object || !scene.contains(object))
        return;
    for (SceneNode* node = scene.first; node; node = node->next) {
        if (auto* curve = dynamic_cast<NurbsCurve*>(node->object)) {
            if (curve->surfaceLink == object) {
                curve->surfaceLink = nullptr;
                curve->linkKind = NurbsCurve::ReleasedLink;
            }
        } else if (auto* revolution = dynamic_cast<RevolutionSurface*>(node->object)) {
            if (revolution->profile && revolution->profile == object)
                revolution->setProfile(nullptr);
        } else if (auto* patch = dynamic_cast<CurveSurface*>(node->object)) {
            const auto held =
                std::erase_if(patch->curves, [object](const NurbsCurve* c) { return c == object; });
            if (held > 0)
                patch->dirty = true;
        }
    }
    if (activeObject == object)
        setActiveObject(nullptr, ObjectKind::None);
    if (pickedCurve == object)
        pickedCurve = nullptr;

    // A surface's display list belongs to this canvas's context.
    QOpenGLContext* own = context();
    const bool makeOwnCurrent = own && own->isValid() && QOpenGLContext::currentContext() != own;
    if (makeOwnCurrent)
        makeCurrent();
    if (own && own->isValid())
        releaseDisplayListOf(object);
    scene.remove(object);
    if (makeOwnCurrent)
        doneCurrent();
}

void GLPelm::releaseDisplayListOf(SceneObject* object) {
    if (auto* revolution = dynamic_cast<RevolutionSurface*>(object))
        revolution->releaseDisplayList();
    else if (auto* patch = dynamic_cast<CurveSurface*>(object))
        patch->releaseDisplayList();
}

void GLPelm::reportCurveParameters(const NurbsCurve& curve) {
    bool vertices, line, edge;
    int order, paramInc, curveMode;
    curve.parameters(vertices, line, edge, order, paramInc, curveMode);
    emit emitCurveParameters(vertices, line, edge, order, paramInc, curveMode);
}

// ---- Tools ----

void GLPelm::translateClicked() {
    toolMode = ToolMode::Translate;
}
void GLPelm::rotateClicked() {
    toolMode = ToolMode::Rotate;
}
void GLPelm::scaleClicked() {
    toolMode = ToolMode::Scale;
}
void GLPelm::panClicked() {
    toolMode = ToolMode::Pan;
}
void GLPelm::zoomClicked() {
    toolMode = ToolMode::Zoom;
}
void GLPelm::vrotateClicked() {
    toolMode = ToolMode::ViewRotate;
}
void GLPelm::insertCPClicked() {
    toolMode = ToolMode::AppendPoint;
}
void GLPelm::editCPClicked() {
    toolMode = ToolMode::EditPoint;
}
void GLPelm::deleteCPClicked() {
    toolMode = ToolMode::DeletePoint;
}

// Each pick-mode button turns its own mode off when it is on.
void GLPelm::selRevolutionCurve() {
    toolMode = toolMode == ToolMode::PickRevolution ? ToolMode::Idle : ToolMode::PickRevolution;
}
void GLPelm::selCoonsCurves() {
    toolMode = toolMode == ToolMode::PickCoons ? ToolMode::Idle : ToolMode::PickCoons;
}
void GLPelm::selExtrudeCurves() {
    toolMode = toolMode == ToolMode::PickExtrusion ? ToolMode::Idle : ToolMode::PickExtrusion;
}

// ---- The active object and curve ----

void GLPelm::setObjectColor(int red, int green, int blue) {
    // A curve's colour goes to the surface built from it. Surfaces compile their colour into their
    // display list, so each one is marked for rebuilding.
    SceneObject* target = activeObject;
    if (NurbsCurve* curve = activeCurve();
        curve && curve->surfaceLink &&
        (curve->linkKind == NurbsCurve::RevolutionLink || curve->linkKind == NurbsCurve::CoonsLink ||
         curve->linkKind == NurbsCurve::ExtrusionLink))
        target = curve->surfaceLink;
    if (target) {
        target->setColor(red, green, blue);
        if (auto* revolution = dynamic_cast<RevolutionSurface*>(target))
            revolution->invalidate();
        else if (auto* patch = dynamic_cast<CurveSurface*>(target))
            patch->rebuild();
    }
    updateGL();
}

void GLPelm::curveVerticesClicked() {
    if (NurbsCurve* curve = activeCurve())
        curve->showVertices = !curve->showVertices;
    updateGL();
}

void GLPelm::curveClicked() {
    if (NurbsCurve* curve = activeCurve())
        curve->showCurve = !curve->showCurve;
    updateGL();
}

void GLPelm::curveEdgeClicked() {
    if (NurbsCurve* curve = activeCurve())
        curve->showEdge = !curve->showEdge;
    updateGL();
}

void GLPelm::orderChanged(int order) {
    if (NurbsCurve* curve = activeCurve()) {
        curve->setOrder(order);
        updateCurveSurface();
    }
    updateGL();
}

void GLPelm::paramIncChanged(int pinc) {
    if (NurbsCurve* curve = activeCurve())
        curve->setParamInc(pinc);
    updateGL();
}

namespace {
void setForm(GLPelm& pelm, int form) {
    if (NurbsCurve* curve = pelm.activeCurve()) {
        curve->setCurveMode(form);
        pelm.updateCurveSurface();
    }
    pelm.updateGL();
}
} // namespace

void GLPelm::openCurveClicked() {
    setForm(*this, NurbsCurve::Open);
}
void GLPelm::interpolateEndPointsClicked() {
    setForm(*this, NurbsCurve::Interpolated);
}
void GLPelm::closedCurveClicked() {
    setForm(*this, NurbsCurve::Closed);
}

void GLPelm::weightChanged(int weight) {
    if (NurbsCurve* curve = activeCurve()) {
        curve->setWeight(activePoint, weight / 10.0);
        updateCurveSurface();
    }
    updateGL();
}

void GLPelm::reverseCPClicked() {
    if (NurbsCurve* curve = activeCurve()) {
        curve->reverseOrder();
        updateCurveSurface();
    }
    updateGL();
}

void GLPelm::lineSizeChanged(int size) {
    if (NurbsCurve* curve = activeCurve())
        curve->setLineWidth(size);
    updateGL();
}

// ---- Surfaces ----

namespace {
// Runs change on the revolution target, if any, then repaints.
template <typename Change> void changeRevolution(GLPelm& pelm, Change change) {
    if (RevolutionSurface* surface = pelm.revolutionTarget())
        change(*surface);
    pelm.updateGL();
}

// Runs the same change on whichever target there is: revolution first, then a Coons patch or
// extrusion reached through the active curve.
template <typename Change> void changeAnySurface(GLPelm& pelm, Change change) {
    if (RevolutionSurface* surface = pelm.revolutionTarget())
        change(*surface);
    else if (CurveSurface* patch = pelm.curveSurfaceTarget())
        change(*patch);
    pelm.updateGL();
}
} // namespace

void GLPelm::rev_degreesChanged(int degree) {
    changeRevolution(*this, [degree](RevolutionSurface& s) { s.setDegrees(static_cast<float>(degree)); });
}
void GLPelm::revXAxisClicked() {
    changeRevolution(*this, [](RevolutionSurface& s) {
        s.setAor(0);
        s.setRefa(1);
    });
}
void GLPelm::revYAxisClicked() {
    changeRevolution(*this, [](RevolutionSurface& s) {
        s.setAor(1);
        s.setRefa(0);
    });
}
void GLPelm::revZAxisClicked() {
    changeRevolution(*this, [](RevolutionSurface& s) {
        s.setAor(2);
        s.setRefa(0);
    });
}
void GLPelm::refRevXAxisClicked() {
    changeRevolution(*this, [](RevolutionSurface& s) { s.setRefa(0); });
}
void GLPelm::refRevYAxisClicked() {
    changeRevolution(*this, [](RevolutionSurface& s) { s.setRefa(1); });
}
void GLPelm::refRevZAxisClicked() {
    changeRevolution(*this, [](RevolutionSurface& s) { s.setRefa(2); });
}
void GLPelm::surfaceMeshClicked() {
    changeAnySurface(*this, [](auto& s) {
        s.setShading(false);
        s.setGradient(false);
    });
}
void GLPelm::surfaceShadedClicked() {
    changeAnySurface(*this, [](auto& s) {
        s.setShading(true);
        s.setGradient(false);
    });
}
void GLPelm::surfaceGradientClicked() {
    changeAnySurface(*this, [](auto& s) {
        s.setShading(true);
        s.setGradient(true);
    });
}
void GLPelm::uparamIncChanged(int u) {
    changeAnySurface(*this, [u](auto& s) { s.setUParamInc(u); });
}
void GLPelm::vparamIncChanged(int v) {
    changeAnySurface(*this, [v](auto& s) { s.setVParamInc(v); });
}
void GLPelm::rot_farLeftClicked() {
    changeRevolution(*this, [](RevolutionSurface& s) { s.setRevPoint(RevolutionSurface::LeftMost); });
}
void GLPelm::rot_farRightClicked() {
    changeRevolution(*this, [](RevolutionSurface& s) { s.setRevPoint(RevolutionSurface::RightMost); });
}
void GLPelm::rot_closeAxisClicked() {
    changeRevolution(*this, [](RevolutionSurface& s) { s.setRevPoint(RevolutionSurface::ClosestToAxis); });
}
void GLPelm::rot_axisClicked() {
    changeRevolution(*this, [](RevolutionSurface& s) { s.setRevPoint(RevolutionSurface::Axis); });
}
void GLPelm::rot_AxisLeftClicked() {
    changeRevolution(*this, [](RevolutionSurface& s) { s.setAxisRotPoint(0); });
}
void GLPelm::rot_AxisRightClicked() {
    changeRevolution(*this, [](RevolutionSurface& s) { s.setAxisRotPoint(1); });
}
void GLPelm::rot_axisDistChanged(int dist) {
    changeRevolution(*this, [dist](RevolutionSurface& s) { s.setAxisDistance(dist); });
}

// ---- New objects ----

void GLPelm::NURBS_freeFormClicked() {
    auto* curve = new NurbsCurve;
    scene.append(curve, ObjectKind::Curve);
    setActiveObject(curve, ObjectKind::Curve);
    toolMode = ToolMode::AppendPoint;
    reportCurveParameters(*curve);
    activePoint = -1;
    updateGL();
}

void GLPelm::createPredefined(int shape) {
    const PredefinedShape* table = predefinedShape(shape);
    if (!table)
        return;
    auto* curve = new NurbsCurve;
    scene.append(curve, ObjectKind::Curve);
    setActiveObject(curve, ObjectKind::Curve);
    buildPredefinedCurve(*curve, shape);
    if (table->swept) {
        reportCurveParameters(*curve);
        activePoint = -1;
        // The profile comes first in the scene, its surface right after it.
        RevolutionSurface* surface = makePredefinedSurface(curve);
        scene.append(surface, ObjectKind::Revolution);
        curve->surfaceLink = surface;
        curve->linkKind = NurbsCurve::RevolutionLink;
        toolMode = ToolMode::EditPoint;
        pickedCurve = nullptr;
    } else {
        toolMode = ToolMode::EditPoint;
        reportCurveParameters(*curve);
        activePoint = -1;
    }
    updateGL();
}

void GLPelm::NURBS_circleClicked() {
    createPredefined(ShapeKind::Circle);
}
void GLPelm::NURBS_squareClicked() {
    createPredefined(ShapeKind::Square);
}
void GLPelm::NURBS_arcClicked() {
    createPredefined(ShapeKind::Arc);
}
void GLPelm::NURBS_sphereClicked() {
    createPredefined(ShapeKind::Sphere);
}
void GLPelm::NURBS_cylinderClicked() {
    createPredefined(ShapeKind::Cylinder);
}
// The cube button makes the cylinder's objects.
void GLPelm::NURBS_cubeClicked() {
    createPredefined(ShapeKind::Cube);
}

void GLPelm::createCoons() {
    auto* patch = new CurveSurface;
    scene.append(patch, ObjectKind::Coons);
    setActiveObject(patch, ObjectKind::Coons);
    toolMode = ToolMode::PickCoons;
}

void GLPelm::createExtrude() {
    auto* extrusion = new CurveSurface;
    scene.append(extrusion, ObjectKind::Extrusion);
    setActiveObject(extrusion, ObjectKind::Extrusion);
    toolMode = ToolMode::PickExtrusion;
}

void GLPelm::createRev() {
    NurbsCurve* curve = activeCurve();
    if (curve && !curve->surfaceLink) {
        auto* surface = new RevolutionSurface(curve, 1, 0, 360.0f);
        scene.append(surface, ObjectKind::Revolution);
        curve->linkKind = NurbsCurve::RevolutionLink;
        curve->surfaceLink = surface;
        reportCurveParameters(*curve);
        activePoint = -1;
        toolMode = ToolMode::EditPoint;
    } else if (curve && curve->linkKind == NurbsCurve::RevolutionLink) {
        reportCurveParameters(*curve);
        activePoint = -1;
        toolMode = ToolMode::EditPoint;
    } else if (!activeObject) {
        auto* surface = new RevolutionSurface;
        scene.append(surface, ObjectKind::Revolution);
        setActiveObject(surface, ObjectKind::Revolution);
        toolMode = ToolMode::PickRevolution;
    }
    updateGL();
}
