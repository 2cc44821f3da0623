// The canvas's slots for the window's controls: tools, the active curve, its surface, new objects.
// The surfaces come before Qt: SurfaceMesh has a member named emit, which Qt defines as a macro.
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include "canvas/gl_pelm.h"

#include <QOpenGLContext>

#include <algorithm>
#include <functional>

// ---- The model's reports ----

void GLPelm::objectLeaving(SceneObject* object) {
    if (object == hoveredCurve)
        hoveredCurve = nullptr;
    if (object == flashedCurve)
        flashedCurve = nullptr;
    // What a surface compiled belongs to this canvas's context.
    QOpenGLContext* own = context();
    if (!own || !own->isValid())
        return;
    const bool makeOwnCurrent = QOpenGLContext::currentContext() != own;
    if (makeOwnCurrent)
        makeCurrent();
    object->releaseGraphics();
    if (makeOwnCurrent)
        doneCurrent();
}

void GLPelm::modelChanged() {
    emit historyChanged();
}

void GLPelm::reportCurveParameters(const NurbsCurve& curve) {
    bool vertices, line, edge;
    int order, paramInc, curveMode;
    curve.parameters(vertices, line, edge, order, paramInc, curveMode);
    emit emitCurveParameters(vertices, line, edge, order, paramInc, curveMode);
}

void GLPelm::reportSelection() {
    NurbsCurve* curve = activeCurve();
    if (!curve)
        return;
    // The panels echo these back; the values are the curve's own, so nothing changes.
    const int point = activePoint;
    reportCurveParameters(*curve);
    if (RevolutionSurface* surface =
            curve->linkKind == NurbsCurve::RevolutionLink ? revolutionTarget() : nullptr) {
        const RevolutionSurface::Properties s = surface->properties();
        emit emitSurfaceProperties(s.shading, s.uParamInc, s.vParamInc, s.degrees, s.aor, s.refa, s.revPoint,
                                   s.axisDistance, s.axisRotPoint);
    }
    if (point != -1 && point == activePoint)
        emit emitWeight(static_cast<int>(std::clamp(curve->weight(point) * 10.0, -2.0e9, 2.0e9)));
}

void GLPelm::undo() {
    if (model.undo())
        reportSelection();
    updateGL();
}

void GLPelm::redo() {
    if (model.redo())
        reportSelection();
    updateGL();
}

// ---- Tools ----

void GLPelm::translateClicked() {
    setToolMode(ToolMode::Translate);
}
void GLPelm::rotateClicked() {
    setToolMode(ToolMode::Rotate);
}
void GLPelm::scaleClicked() {
    setToolMode(ToolMode::Scale);
}
void GLPelm::panClicked() {
    setToolMode(ToolMode::Pan);
}
void GLPelm::zoomClicked() {
    setToolMode(ToolMode::Zoom);
}
void GLPelm::vrotateClicked() {
    setToolMode(ToolMode::ViewRotate);
}
void GLPelm::insertCPClicked() {
    setToolMode(ToolMode::AppendPoint);
}
void GLPelm::editCPClicked() {
    setToolMode(ToolMode::EditPoint);
}
void GLPelm::deleteCPClicked() {
    setToolMode(ToolMode::DeletePoint);
}

// Each pick-mode button turns its own mode off when it is on.
void GLPelm::selRevolutionCurve() {
    setToolMode(toolMode == ToolMode::PickRevolution ? ToolMode::Idle : ToolMode::PickRevolution);
}
void GLPelm::selCoonsCurves() {
    setToolMode(toolMode == ToolMode::PickCoons ? ToolMode::Idle : ToolMode::PickCoons);
}
void GLPelm::selExtrudeCurves() {
    setToolMode(toolMode == ToolMode::PickExtrusion ? ToolMode::Idle : ToolMode::PickExtrusion);
}

// ---- The active object and curve ----

void GLPelm::setObjectColor(int red, int green, int blue) {
    model.setColor(red, green, blue);
    updateGL();
}

void GLPelm::curveVerticesClicked() {
    model.toggleVertices();
    updateGL();
}

void GLPelm::curveClicked() {
    model.toggleCurve();
    updateGL();
}

void GLPelm::curveEdgeClicked() {
    model.toggleEdge();
    updateGL();
}

void GLPelm::orderChanged(int order) {
    model.setOrder(order);
    updateGL();
}

void GLPelm::paramIncChanged(int pinc) {
    model.setParamInc(pinc);
    updateGL();
}

namespace {
void setForm(GLPelm& pelm, int form) {
    pelm.model.setCurveMode(form);
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
    model.setWeight(weight / 10.0);
    updateGL();
}

void GLPelm::reverseCPClicked() {
    model.reversePoints();
    updateGL();
}

void GLPelm::lineSizeChanged(int size) {
    model.setLineWidth(size);
    updateGL();
}

// ---- Surfaces ----

namespace {
// A change of the revolution target, then a repaint. Changes of one field merge when repeated.
void changeRevolution(GLPelm& pelm, const char* name, const std::function<void(RevolutionSurface&)>& change,
                      const char* mergeKey = "") {
    pelm.model.changeRevolution(name, change, mergeKey);
    pelm.updateGL();
}
} // namespace

void GLPelm::rev_degreesChanged(int degree) {
    changeRevolution(
        *this, "Change Sweep Angle",
        [degree](RevolutionSurface& s) { s.setDegrees(static_cast<float>(degree)); }, "degrees");
}
void GLPelm::revXAxisClicked() {
    changeRevolution(*this, "Change Axis", [](RevolutionSurface& s) {
        s.setAor(0);
        s.setRefa(1);
    });
}
void GLPelm::revYAxisClicked() {
    changeRevolution(*this, "Change Axis", [](RevolutionSurface& s) {
        s.setAor(1);
        s.setRefa(0);
    });
}
void GLPelm::revZAxisClicked() {
    changeRevolution(*this, "Change Axis", [](RevolutionSurface& s) {
        s.setAor(2);
        s.setRefa(0);
    });
}
void GLPelm::refRevXAxisClicked() {
    changeReferenceAxis(0);
}
void GLPelm::refRevYAxisClicked() {
    changeReferenceAxis(1);
}
void GLPelm::refRevZAxisClicked() {
    changeReferenceAxis(2);
}
void GLPelm::changeReferenceAxis(int axis) {
    changeRevolution(*this, "Change Reference Axis", [axis](RevolutionSurface& s) { s.setRefa(axis); });
    // Taken as asked, but the user is told why nothing is swept.
    if (const RevolutionSurface* surface = revolutionTarget(); surface && surface->aor == surface->refa)
        emit statusMessage(
            tr("The reference axis equals the axis of rotation: the sweep collapses onto its profile"));
}
void GLPelm::surfaceMeshClicked() {
    model.setSurfaceDisplay(false, false);
    updateGL();
}
void GLPelm::surfaceShadedClicked() {
    model.setSurfaceDisplay(true, false);
    updateGL();
}
void GLPelm::surfaceGradientClicked() {
    model.setSurfaceDisplay(true, true);
    updateGL();
}
void GLPelm::uparamIncChanged(int u) {
    model.setSurfaceIncrement(true, u);
    updateGL();
}
void GLPelm::vparamIncChanged(int v) {
    model.setSurfaceIncrement(false, v);
    updateGL();
}
void GLPelm::rot_farLeftClicked() {
    changeRevolution(*this, "Change Axis Position",
                     [](RevolutionSurface& s) { s.setRevPoint(RevolutionSurface::LeftMost); });
}
void GLPelm::rot_farRightClicked() {
    changeRevolution(*this, "Change Axis Position",
                     [](RevolutionSurface& s) { s.setRevPoint(RevolutionSurface::RightMost); });
}
void GLPelm::rot_closeAxisClicked() {
    changeRevolution(*this, "Change Axis Position",
                     [](RevolutionSurface& s) { s.setRevPoint(RevolutionSurface::ClosestToAxis); });
}
void GLPelm::rot_axisClicked() {
    changeRevolution(*this, "Change Axis Position",
                     [](RevolutionSurface& s) { s.setRevPoint(RevolutionSurface::Axis); });
}
void GLPelm::rot_AxisLeftClicked() {
    changeRevolution(*this, "Change Axis Side", [](RevolutionSurface& s) { s.setAxisRotPoint(0); });
}
void GLPelm::rot_AxisRightClicked() {
    changeRevolution(*this, "Change Axis Side", [](RevolutionSurface& s) { s.setAxisRotPoint(1); });
}
void GLPelm::rot_axisDistChanged(int dist) {
    changeRevolution(
        *this, "Change Axis Distance", [dist](RevolutionSurface& s) { s.setAxisDistance(dist); },
        "axisDistance");
}

// ---- New objects ----

void GLPelm::NURBS_freeFormClicked() {
    NurbsCurve* curve = model.newCurve();
    setToolMode(ToolMode::AppendPoint);
    reportCurveParameters(*curve);
    updateGL();
}

void GLPelm::createPredefined(int shape) {
    NurbsCurve* curve = model.addPredefined(shape);
    if (!curve)
        return;
    setToolMode(ToolMode::EditPoint);
    reportCurveParameters(*curve);
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
    model.newCurveSurface(ObjectKind::Coons);
    setToolMode(ToolMode::PickCoons);
}

void GLPelm::createExtrude() {
    model.newCurveSurface(ObjectKind::Extrusion);
    setToolMode(ToolMode::PickExtrusion);
}

void GLPelm::createRev() {
    switch (model.newRevolution()) {
    case 1:
    case 2:
        reportCurveParameters(*activeCurve());
        setToolMode(ToolMode::EditPoint);
        break;
    case 3:
        setToolMode(ToolMode::PickRevolution);
        break;
    default:
        break;
    }
    updateGL();
}
