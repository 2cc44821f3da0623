// Weights in sight: the picked control point's weight written beside it in every view.
#include "canvas/gl_pelm.h"

#include "geometry/nurbs_curve.h"

#include <GL/gl.h>
#include <GL/glu.h>

void GLPelm::setWeightsShown(bool on) {
    weightsShown = on;
    update();
}

void GLPelm::drawPickedWeight(const Viewport& view, bool perspective) {
    NurbsCurve* curve = activeCurve();
    if (!weightsShown || !curve || !curve->showVertices || activePoint < 0 ||
        activePoint >= static_cast<int>(curve->controlPoints.size()))
        return;
    // Where the point lands under the transform the view has just drawn with.
    GLdouble modelview[16], projection[16];
    GLint area[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, area);
    const ControlPoint& p = curve->controlPoints[activePoint];
    GLdouble wx, wy, wz;
    if (gluProject(p.x, p.y, p.z, modelview, projection, area, &wx, &wy, &wz) == GL_FALSE || wz < 0.0 ||
        wz > 1.0)
        return;

    view.beginPixelDrawing();
    glDisable(GL_LIGHTING);
    // Clear of the point however large its weight draws it.
    const double beside = NurbsCurve::pointSizeForWeight(p.w) / 2.0 + 4.0;
    glTranslated(wx - view.x + beside, wy - view.y + 2.0, 0.0);
    // Light on the black perspective view, dark on the light flat ones.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (perspective)
        glColor4f(1.0f, 1.0f, 0.6f, 1.0f);
    else
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    textFont.print(0, "w %.4g", p.w);
}
