// The active curve's curvature comb, drawn over the scene in every view.
#include "canvas/gl_pelm.h"

#include "geometry/nurbs_curve.h"

#include <GL/gl.h>

void GLPelm::setCurvatureComb(bool on) {
    curvatureComb = on;
    update();
}

void GLPelm::setCombScale(double scale) {
    combScale = scale;
    update();
}

CurvatureComb GLPelm::activeCurvatureComb() {
    auto* curve = activeKind == ObjectKind::Curve ? dynamic_cast<NurbsCurve*>(activeObject) : nullptr;
    if (!curvatureComb || !curve)
        return {};
    return CurvatureComb::of(*curve, combScale);
}

void GLPelm::drawCurvatureComb(const CurvatureComb& comb) {
    if (comb.tips.empty())
        return;
    glDisable(GL_LIGHTING);
    // Light teeth, and a stronger line through their tips: the line is what the eye follows.
    glColor3f(0.55f, 0.7f, 1.0f);
    glBegin(GL_LINES);
    for (std::size_t i = 0; i < comb.tips.size(); ++i) {
        glVertex3d(comb.bases[i].x, comb.bases[i].y, comb.bases[i].z);
        glVertex3d(comb.tips[i].x, comb.tips[i].y, comb.tips[i].z);
    }
    glEnd();
    glColor3f(0.0f, 0.3f, 1.0f);
    glBegin(GL_LINE_STRIP);
    for (const ControlPoint& tip : comb.tips)
        glVertex3d(tip.x, tip.y, tip.z);
    glEnd();
}
