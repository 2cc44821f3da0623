// The knot strip's marks in every view: the control point of the strip's hovered basis function and
// the curve's point at the strip's cursor; and the control point hovered in the views, for the strip.
#include "canvas/gl_pelm.h"

#include "geometry/nurbs_curve.h"

#include <GL/gl.h>

#include <algorithm>

void GLPelm::markControlPoint(int index) {
    if (index == markedPoint)
        return;
    markedPoint = index;
    update();
}

void GLPelm::markParameter(double u) {
    markedParameter = u;
    update();
}

void GLPelm::clearParameterMark() {
    if (!markedParameter)
        return;
    markedParameter.reset();
    update();
}

std::optional<ControlPoint> GLPelm::markedCurvePoint() {
    NurbsCurve* curve = activeCurve();
    if (!markedParameter || !curve || !curve->hasCurve())
        return std::nullopt;
    return curve->evaluate(*markedParameter);
}

void GLPelm::followHoveredPoint(int x, int y) {
    int hit = -1;
    const int viewKind = regionAt(x, y);
    ControlPoint world;
    NurbsCurve* curve = activeCurve();
    if (curve && orthographicView(viewKind) && unproject(viewKind, x, y, world)) {
        // The point a click would find; finding it is not picking it, so the pick drawn stays.
        const int picked = curve->foundPoint;
        hit = curve->findPoint(world.x, world.y, world.z, depthAxis(viewKind));
        curve->foundPoint = picked;
    } else if (curve && viewKind == ViewKind::Perspective) {
        hit = perspectivePointAt(x, y);
    }
    if (hit == hoveredPoint)
        return;
    hoveredPoint = hit;
    emit controlPointHovered(hit);
}

void GLPelm::drawStripMarks(const std::optional<ControlPoint>& parameterPoint) {
    NurbsCurve* curve = activeCurve();
    if (!curve)
        return;
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    if (markedPoint >= 0 && markedPoint < static_cast<int>(curve->controlPoints.size())) {
        // A magenta square with a white centre, larger than a drawn control point: seen over any colour.
        const ControlPoint& p = curve->controlPoints[static_cast<std::size_t>(markedPoint)];
        // Around the point however large its weight draws it.
        glPointSize(weightsShown ? std::max(15.0f, NurbsCurve::pointSizeForWeight(p.w) + 8.0f) : 15.0f);
        glColor3f(0.9f, 0.0f, 0.9f);
        glBegin(GL_POINTS);
        glVertex3d(p.x, p.y, p.z);
        glEnd();
        glPointSize(7.0f);
        glColor3f(1.0f, 1.0f, 1.0f);
        glBegin(GL_POINTS);
        glVertex3d(p.x, p.y, p.z);
        glEnd();
    }
    if (parameterPoint) {
        glPointSize(11.0f);
        glColor3f(0.0f, 0.75f, 0.75f);
        glBegin(GL_POINTS);
        glVertex3d(parameterPoint->x, parameterPoint->y, parameterPoint->z);
        glEnd();
    }
    glPointSize(1.0f);
}
