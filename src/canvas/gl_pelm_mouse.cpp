// The canvas's mouse and keys: regions, unprojection, what each tool does at a press and in a drag.
// The surfaces come before Qt: SurfaceMesh has a member named emit, which Qt defines as a macro.
#include "canvas/view_projection.h"
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include "canvas/gl_pelm.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {
// Half the side of the split handle's square, as drawn.
constexpr float handleReach = 6.0f;
// The split point keeps this far from the left and right, and the top and bottom edges.
constexpr float splitMarginX = 30.0f;
constexpr float splitMarginY = 40.0f;
// A press in the perspective view takes a control point drawn this many screen pixels away.
constexpr double pointReachPixels = 8.0;

bool isOrthographic(int viewKind) {
    return viewKind == ViewKind::Top || viewKind == ViewKind::Left || viewKind == ViewKind::Front;
}

// The weight as the weight field shows it: times 10, truncated. A weight no int can hold (only
// from a damaged file) reports as the nearest one that can.
int weightValue(double weight) {
    const double tenfold = weight * 10.0;
    if (!(tenfold == tenfold))
        return 0;
    return static_cast<int>(std::clamp(tenfold, -2.0e9, 2.0e9));
}
} // namespace

// ---- Qt events: converted to device pixels and handed on ----

namespace {
QPoint toDevicePixels(const QPointF& position, qreal ratio) {
    return QPoint(static_cast<int>(std::lround(position.x() * ratio)),
                  static_cast<int>(std::lround(position.y() * ratio)));
}
} // namespace

void GLPelm::mousePressEvent(QMouseEvent* event) {
    const QPoint p = toDevicePixels(event->position(), devicePixelRatioF());
    pressAt(p.x(), p.y(), event->button());
}

void GLPelm::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = toDevicePixels(event->position(), devicePixelRatioF());
    if (event->buttons() == Qt::NoButton)
        hoverAt(p.x(), p.y());
    reportCursor(p.x(), p.y());
    dragTo(p.x(), p.y());
}

void GLPelm::mouseReleaseEvent(QMouseEvent* event) {
    releaseButton(event->button());
}

void GLPelm::keyPressEvent(QKeyEvent* event) {
    pressKey(event->key());
}

// ---- Regions and unprojection ----

int GLPelm::regionAt(int x, int y) const {
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (fx < 0.0f || fy < 0.0f || fx >= canvasWidth || fy >= canvasHeight)
        return ViewKind::None;
    // The split line between the upper and lower views, measured from the top.
    const float lineY = canvasHeight - splitY;
    if (std::fabs(fx - splitX) <= handleReach && std::fabs(fy - lineY) <= handleReach)
        return ViewKind::SplitHandle;
    if (fx < splitX && fy < lineY)
        return ViewKind::Top;
    if (fx > splitX && fy < lineY)
        return ViewKind::Perspective;
    if (fx > splitX && fy > lineY)
        return ViewKind::Left;
    if (fx < splitX && fy > lineY)
        return ViewKind::Front;
    return ViewKind::None;
}

Viewport* GLPelm::orthographicView(int viewKind) {
    switch (viewKind) {
    case ViewKind::Top:
        return &topView;
    case ViewKind::Left:
        return &leftView;
    case ViewKind::Front:
        return &frontView;
    default:
        return nullptr;
    }
}

int GLPelm::depthAxis(int viewKind) {
    switch (viewKind) {
    case ViewKind::Top:
        return 1;
    case ViewKind::Left:
        return 0;
    case ViewKind::Front:
        return 2;
    default:
        return -1;
    }
}

bool GLPelm::unproject(int viewKind, int x, int y, ControlPoint& out) {
    const Viewport* view = orthographicView(viewKind);
    return view && unprojectOrthographic(*view, x, canvasHeight - y, out);
}

bool GLPelm::newPointDepth(ControlPoint& through) const {
    if (!newPointsAtCurveDepth)
        return false;
    if (typedPointDepth) {
        through = *typedPointDepth;
        return true;
    }
    const NurbsCurve* curve = activeCurve();
    if (!curve || curve->controlPoints.empty())
        return false;
    through = curve->controlPoints.back();
    return true;
}

void GLPelm::placeAtNewPointDepth(ControlPoint& p, int axis) const {
    ControlPoint through;
    if (axis >= 0 && newPointDepth(through))
        p.coordinate(axis) = through.coordinate(axis);
}

void GLPelm::setNewPointsAtCurveDepth(bool on) {
    newPointsAtCurveDepth = on;
    if (!on)
        typedPointDepth.reset();
    updateGL();
}

void GLPelm::setTypedPointDepth(const ControlPoint& through) {
    newPointsAtCurveDepth = true;
    typedPointDepth = ControlPoint(through.x, through.y, through.z);
    updateGL();
}

void GLPelm::reportCursor(int x, int y) {
    const int region = regionAt(x, y);
    ControlPoint world;
    if (isOrthographic(region) && unproject(region, x, y, world))
        emit cursorOverView(region, world.x, world.y, world.z);
    else
        emit cursorOverView(region == ViewKind::Perspective ? region : ViewKind::None, 0.0, 0.0, 0.0);
}

// ---- Press ----

void GLPelm::openPressStep(int button) {
    const char* name = "Edit";
    switch (toolMode) {
    case ToolMode::AppendPoint:
        name = "Append Point";
        break;
    case ToolMode::InsertPoint:
        name = "Insert Point";
        break;
    case ToolMode::EditPoint:
        name = button == Qt::LeftButton ? "Move Point" : "Change Weight";
        break;
    case ToolMode::DeletePoint:
        name = "Delete Point";
        break;
    case ToolMode::Translate:
        name = "Translate";
        break;
    case ToolMode::Scale:
        name = "Scale";
        break;
    case ToolMode::Rotate:
        name = "Rotate";
        break;
    case ToolMode::PickRevolution:
        name = "Pick Profile";
        break;
    case ToolMode::PickCoons:
    case ToolMode::PickExtrusion:
        name = "Pick Curve";
        break;
    default:
        break;
    }
    model.beginStep(name);
    pressStepOpen = true;
}

void GLPelm::pressAt(int x, int y, int button) {
    // One press, its drag and its release are one step; a press whose release never came ends its own.
    if (pressStepOpen) {
        model.endStep();
        pressStepOpen = false;
    }
    openPressStep(button);
    pressPosition = QPoint(x, y);
    // A press on a split line, outside the handle, selects no region; the drag that follows then
    // does nothing instead of acting on whatever view the previous press hit.
    activeView = regionAt(x, y);

    ControlPoint world;
    if (isOrthographic(activeView) && unproject(activeView, x, y, world)) {
        pickedPoint = world;
        const int axis = depthAxis(activeView);
        NurbsCurve* curve = activeCurve();
        switch (toolMode) {
        case ToolMode::AppendPoint:
        case ToolMode::InsertPoint:
            if (!curve)
                break;
            placeAtNewPointDepth(pickedPoint, axis);
            if (toolMode == ToolMode::AppendPoint)
                model.appendPoint(pickedPoint);
            else
                model.insertPoint(pickedPoint, axis);
            typedPointDepth.reset();
            break;
        case ToolMode::EditPoint:
            if (!curve)
                break;
            model.setActivePoint(curve->findPoint(pickedPoint.x, pickedPoint.y, pickedPoint.z, axis));
            if (activePoint != -1)
                emit emitWeight(weightValue(curve->weight(activePoint)));
            break;
        case ToolMode::DeletePoint:
            if (curve) {
                const int picked = activePoint;
                const int hit = curve->findPoint(pickedPoint.x, pickedPoint.y, pickedPoint.z, axis);
                model.setActivePoint(picked); // finding is not picking
                model.deletePoint(hit);
            }
            break;
        case ToolMode::Translate:
        case ToolMode::Scale:
        case ToolMode::Rotate:
            selectCurveAt(pickedPoint, axis);
            break;
        case ToolMode::PickRevolution:
        case ToolMode::PickCoons:
        case ToolMode::PickExtrusion:
            pickSurfaceCurveAt(pickedPoint, axis);
            break;
        default:
            break;
        }
    } else if (activeView == ViewKind::Perspective && toolMode == ToolMode::EditPoint) {
        pickInPerspectiveView(x, y);
    }

    if (button == Qt::LeftButton)
        leftButtonDown = true;
    else if (button == Qt::MiddleButton)
        middleButtonDown = true;
    else if (button == Qt::RightButton)
        rightButtonDown = true;
    updateGL();
}

void GLPelm::selectCurveAt(const ControlPoint& p, int axis) {
    NurbsCurve* hit = curveHitAt(p, axis, activeView, pressPosition.x(), pressPosition.y());
    setActiveObject(hit, hit ? ObjectKind::Curve : ObjectKind::None);
    if (!hit)
        return;
    reportCurveParameters(*hit);
    if (hit->linkKind == NurbsCurve::RevolutionLink) {
        if (RevolutionSurface* surface = revolutionTarget()) {
            const RevolutionSurface::Properties s = surface->properties();
            emit emitSurfaceProperties(s.shading, s.uParamInc, s.vParamInc, s.degrees, s.aor, s.refa,
                                       s.revPoint, s.axisDistance, s.axisRotPoint);
        }
    }
}

void GLPelm::pickSurfaceCurveAt(const ControlPoint& p, int axis) {
    NurbsCurve* hit = curveHitAt(p, axis, activeView, pressPosition.x(), pressPosition.y());
    if (hit)
        reportCurveParameters(*hit);
    else
        emit statusMessage(tr("No curve here: click on a curve to pick it"));
    const int surfaceKind = toolMode == ToolMode::PickRevolution ? ObjectKind::Revolution
                            : toolMode == ToolMode::PickCoons    ? ObjectKind::Coons
                                                                 : ObjectKind::Extrusion;
    const SceneModel::Pick pick = model.pickCurve(hit, surfaceKind);
    if (pick == SceneModel::Pick::Completed)
        setToolMode(ToolMode::Translate);
    else
        reportRefusedPick(hit, pick, surfaceKind);
}

void GLPelm::reportRefusedPick(NurbsCurve* hit, SceneModel::Pick pick, int surfaceKind) {
    if (!hit)
        return;
    QString why;
    if (pick == SceneModel::Pick::Refused)
        why = tr("Only a curve with interpolated ends can bound a patch or an extrusion; this one is %1")
                  .arg(hit->curveMode == NurbsCurve::Closed ? tr("closed") : tr("open"));
    else if (pick == SceneModel::Pick::Linked && activeKind == surfaceKind &&
             hit->surfaceLink != activeObject)
        why = tr("This curve already bounds a surface");
    else
        return;
    emit statusMessage(why);
    flashedCurve = hit;
    flashTimer->start();
}

// ---- Move ----

void GLPelm::dragTo(int x, int y) {
    if (!leftButtonDown && !middleButtonDown && !rightButtonDown)
        return;
    const int dx = x - pressPosition.x();
    const int dy = y - pressPosition.y();
    ControlPoint moved;
    if (activeView == ViewKind::SplitHandle)
        dragSplitHandle(dx, dy);
    else if (isOrthographic(activeView))
        dragInOrthographicView(x, y, dx, dy, moved);
    else if (activeView == ViewKind::Perspective)
        dragInPerspectiveView(x, y, dx, dy);
    // Every move is measured from the one before.
    pickedPoint = moved;
    pressPosition = QPoint(x, y);
    updateGL();
}

void GLPelm::dragSplitHandle(int dx, int dy) {
    splitOffsetX += dx;
    splitOffsetY -= dy;
    splitX = static_cast<float>(halfWidth + splitOffsetX);
    splitY = static_cast<float>(halfHeight + splitOffsetY);
    // At a limit the offset is set to the limit itself rather than back to where it was: an offset
    // left behind would make the handle leap away from the edge at the next move or resize.
    if (splitX < splitMarginX) {
        splitX = splitMarginX;
        splitOffsetX = static_cast<int>(splitMarginX) - halfWidth;
    } else if (canvasWidth - splitX < splitMarginX) {
        splitX = canvasWidth - splitMarginX;
        splitOffsetX = static_cast<int>(splitX) - halfWidth;
    }
    if (splitY < splitMarginY) {
        splitY = splitMarginY;
        splitOffsetY = static_cast<int>(splitMarginY) - halfHeight;
    } else if (canvasHeight - splitY < splitMarginY) {
        splitY = canvasHeight - splitMarginY;
        splitOffsetY = static_cast<int>(splitY) - halfHeight;
    }
    setViewRectangles();
}

void GLPelm::dragInOrthographicView(int cx, int cy, int dx, int dy, ControlPoint& moved) {
    Viewport* view = orthographicView(activeView);
    if (!view || !unproject(activeView, cx, cy, moved))
        return;
    float px, py;
    view->pixelScale(px, py);
    const ControlPoint d = moved - pickedPoint;
    // The delta in the view's plane: its depth coordinate is dropped.
    ControlPoint inPlane = d;
    inPlane.coordinate(depthAxis(activeView)) = 0.0;
    NurbsCurve* curve = activeCurve();

    switch (toolMode) {
    case ToolMode::EditPoint:
        if (!curve)
            break;
        if (leftButtonDown)
            model.movePoint(inPlane.x, inPlane.y, inPlane.z);
        else
            model.changeWeight((dx / px - dy / py) / 2.0);
        break;
    case ToolMode::Translate:
        if (curve)
            model.translateCurve(inPlane.x, inPlane.y, inPlane.z);
        break;
    case ToolMode::Scale:
        if (curve)
            model.scaleCurve((activeView == ViewKind::Left ? d.y : d.x) / 10.0);
        break;
    case ToolMode::Rotate:
        if (!curve)
            break;
        // Radians taken straight from the world delta: about the two axes across the drag.
        if (activeView == ViewKind::Top)
            model.rotateCurve(-d.z, 0.0, d.x);
        else if (activeView == ViewKind::Left)
            model.rotateCurve(0.0, -d.z, d.y);
        else
            model.rotateCurve(-d.y, d.x, 0.0);
        break;
    case ToolMode::Pan:
        view->panBy(dx / px, -dy / py);
        break;
    case ToolMode::Zoom:
        view->zoomBy(dx / (px * 100.0f));
        break;
    default:
        break;
    }
}

PerspectiveProjection GLPelm::perspectiveProjection() const {
    return PerspectiveProjection(perspectiveView, camera);
}

int GLPelm::perspectivePointAt(int x, int y, PerspectiveHit* hit) {
    NurbsCurve* curve = activeCurve();
    if (!curve)
        return -1;
    const PerspectiveProjection projection = perspectiveProjection();
    const double windowX = x, windowY = canvasHeight - y;
    const double reach = pointReachPixels * devicePixelRatioF();
    int found = -1;
    double best = reach * reach;
    PerspectiveHit bestHit;
    for (int i = 0; i < static_cast<int>(curve->controlPoints.size()); ++i) {
        double px, py, depth;
        if (!projection.project(curve->controlPoints[i], px, py, depth) || depth < -1.0 || depth > 1.0)
            continue;
        const double d = (px - windowX) * (px - windowX) + (py - windowY) * (py - windowY);
        // Of points drawn on top of each other, the one nearer the camera.
        if (d < best || (found != -1 && d == best && depth < bestHit.depth)) {
            found = i;
            best = d;
            bestHit = {depth, px - windowX, py - windowY};
        }
    }
    if (hit && found != -1)
        *hit = bestHit;
    return found;
}

void GLPelm::pickInPerspectiveView(int x, int y) {
    NurbsCurve* curve = activeCurve();
    if (!curve)
        return;
    PerspectiveHit hit;
    const int picked = perspectivePointAt(x, y, &hit);
    model.setActivePoint(picked);
    if (picked == -1)
        return;
    perspectiveDragDepth = hit.depth;
    perspectiveOffsetX = hit.offsetX;
    perspectiveOffsetY = hit.offsetY;
    emit emitWeight(weightValue(curve->weight(picked)));
}

void GLPelm::dragInPerspectiveView(int cx, int cy, int dx, int dy) {
    float px, py;
    perspectiveView.pixelScale(px, py);
    switch (toolMode) {
    case ToolMode::EditPoint: {
        // The point moves in the plane through it that faces the camera, staying under the cursor.
        NurbsCurve* curve = activeCurve();
        if (!curve || activePoint < 0 || activePoint >= static_cast<int>(curve->controlPoints.size()))
            break;
        if (!leftButtonDown) {
            // As in the flat views at their first zoom: 15 pixels of drag to a unit of weight.
            model.changeWeight((dx - dy) / (2.0 * 15.0));
            break;
        }
        ControlPoint target;
        if (!perspectiveProjection().unproject(cx + perspectiveOffsetX,
                                               canvasHeight - cy + perspectiveOffsetY, perspectiveDragDepth,
                                               target))
            break;
        const ControlPoint& p = curve->controlPoints[activePoint];
        model.movePoint(target.x - p.x, target.y - p.y, target.z - p.z);
        break;
    }
    case ToolMode::Translate:
        // Pixels taken as world units, one axis per held button.
        if (leftButtonDown)
            camera.eye.x += dx;
        if (middleButtonDown)
            camera.eye.y += dx;
        if (rightButtonDown)
            camera.eye.z += dx;
        break;
    case ToolMode::Rotate:
        if (leftButtonDown)
            camera.rotation.x += dx;
        if (middleButtonDown)
            camera.rotation.y -= dx;
        if (rightButtonDown)
            camera.rotation.z += dx;
        break;
    case ToolMode::Pan:
        if (px > 0.0f && py > 0.0f)
            perspectiveView.panBy(dx / px, -dy / py);
        break;
    default:
        break;
    }
}

// ---- Release ----

void GLPelm::releaseButton(int button) {
    NurbsCurve* curve = activeCurve();
    if (button == Qt::LeftButton) {
        leftButtonDown = false;
    } else if (button == Qt::MiddleButton) {
        middleButtonDown = false;
        if (curve && activePoint != -1)
            emit emitWeight(weightValue(curve->weight(activePoint)));
    } else if (button == Qt::RightButton) {
        rightButtonDown = false;
    }
    if (!leftButtonDown && !middleButtonDown && !rightButtonDown) {
        if (pressStepOpen) {
            pressStepOpen = false;
            model.endStep();
        }
    }
    updateGL();
}

// ---- Keys ----

void GLPelm::pressKey(int key) {
    switch (key) {
    case Qt::Key_A:
        setToolMode(ToolMode::AppendPoint);
        break;
    case Qt::Key_D:
        setToolMode(ToolMode::DeletePoint);
        break;
    case Qt::Key_E:
        setToolMode(ToolMode::EditPoint);
        break;
    case Qt::Key_I:
        setToolMode(ToolMode::InsertPoint);
        break;
    case Qt::Key_N:
        NURBS_freeFormClicked();
        break;
    case Qt::Key_P:
        setToolMode(ToolMode::Pan);
        break;
    case Qt::Key_R:
        setToolMode(ToolMode::Rotate);
        break;
    case Qt::Key_S:
        setToolMode(ToolMode::Scale);
        break;
    case Qt::Key_T:
        setToolMode(ToolMode::Translate);
        break;
    case Qt::Key_Z:
        setToolMode(ToolMode::Zoom);
        break;
    case Qt::Key_Delete:
        deleteSelection();
        break;
    case Qt::Key_Home:
        frameAll();
        break;
    case Qt::Key_F:
        frameSelected();
        break;
    case Qt::Key_Escape:
        cancelPick();
        break;
    default:
        break;
    }
    updateGL();
}

void GLPelm::cancelPick() {
    int surfaceKind = ObjectKind::None;
    if (toolMode == ToolMode::PickRevolution)
        surfaceKind = ObjectKind::Revolution;
    else if (toolMode == ToolMode::PickCoons)
        surfaceKind = ObjectKind::Coons;
    else if (toolMode == ToolMode::PickExtrusion)
        surfaceKind = ObjectKind::Extrusion;
    else
        return;
    if (model.cancelWaitingSurface(surfaceKind))
        emit statusMessage(tr("Surface cancelled: the curves it took are free again"));
    setToolMode(ToolMode::None);
}

void GLPelm::deleteSelection() {
    NurbsCurve* curve = activeCurve();
    if (toolMode == ToolMode::EditPoint) {
        if (curve && activePoint != -1)
            model.deletePoint(activePoint);
        return;
    }
    if (toolMode == ToolMode::Translate || toolMode == ToolMode::Scale || toolMode == ToolMode::Rotate)
        model.deleteActive();
}
