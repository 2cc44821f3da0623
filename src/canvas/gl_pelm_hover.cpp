// The canvas's forgiving picks: the reach of a click in screen pixels and the curve under the cursor.
#include "canvas/view_projection.h"
#include "geometry/nurbs_curve.h"
#include "scene/curve_picker.h"

#include "canvas/gl_pelm.h"

#include <QEvent>

#include <GL/gl.h>

#include <algorithm>

namespace {
// A click takes a curve this many screen pixels off its line, or HitTolerance when that is more.
constexpr double pickReachPixels = 6.0;

bool picksCurves(int toolMode) {
    switch (toolMode) {
    case ToolMode::Translate:
    case ToolMode::Scale:
    case ToolMode::Rotate:
    case ToolMode::PickRevolution:
    case ToolMode::PickCoons:
    case ToolMode::PickExtrusion:
        return true;
    default:
        return false;
    }
}
} // namespace

namespace {
// A curve's line, wider and over everything else; a curve with too few points for its order shows its
// control polygon instead.
void drawCurveOverScene(NurbsCurve& curve, float red, float green, float blue) {
    const std::vector<double>& xyz = curve.sampleCoordinates();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(static_cast<float>(curve.lineWidth) + 4.0f);
    glColor3f(red, green, blue);
    glBegin(GL_LINE_STRIP);
    if (!xyz.empty()) {
        for (std::size_t i = 0; i + 2 < xyz.size(); i += 3)
            glVertex3d(xyz[i], xyz[i + 1], xyz[i + 2]);
    } else {
        for (const ControlPoint& p : curve.controlPoints)
            glVertex3d(p.x, p.y, p.z);
    }
    glEnd();
    glLineWidth(1.0f);
}
} // namespace

double GLPelm::pickReach(int viewKind, int x, int y) {
    const int step = static_cast<int>(std::lround(pickReachPixels * devicePixelRatioF()));
    ControlPoint at, across, down;
    if (!unproject(viewKind, x, y, at) || !unproject(viewKind, x + step, y, across) ||
        !unproject(viewKind, x, y + step, down))
        return HitTolerance;
    return std::max({HitTolerance, length(across - at), length(down - at)});
}

NurbsCurve* GLPelm::curveHitAt(const ControlPoint& p, int axis, int viewKind, int x, int y) {
    return CurvePicker::curveAt(scene, p, axis, pickReach(viewKind, x, y));
}

NurbsCurve* GLPelm::curveUnder(int x, int y) {
    const int viewKind = regionAt(x, y);
    ControlPoint world;
    if (!orthographicView(viewKind) || !unproject(viewKind, x, y, world))
        return nullptr;
    return curveHitAt(world, depthAxis(viewKind), viewKind, x, y);
}

void GLPelm::hoverAt(int x, int y) {
    followHoveredPoint(x, y);
    NurbsCurve* under = curveUnder(x, y);
    if (under == hoveredCurve)
        return;
    hoveredCurve = under;
    update();
}

void GLPelm::leaveEvent(QEvent* event) {
    QOpenGLWidget::leaveEvent(event);
    emit cursorOverView(ViewKind::None, 0.0, 0.0, 0.0);
    followHoveredPoint(-1, -1);
    if (hoveredCurve) {
        hoveredCurve = nullptr;
        update();
    }
}

void GLPelm::drawHoverHighlight() {
    if (!hoveredCurve || !picksCurves(toolMode) || !scene.contains(hoveredCurve))
        return;
    // The line the click would take, in a warm colour.
    drawCurveOverScene(*hoveredCurve, 1.0f, 0.55f, 0.0f);
}

void GLPelm::drawRefusalFlash() {
    if (!flashedCurve || !scene.contains(flashedCurve))
        return;
    drawCurveOverScene(*flashedCurve, 0.9f, 0.0f, 0.15f);
}
