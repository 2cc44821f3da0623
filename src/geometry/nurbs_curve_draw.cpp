// Draws a curve in GL immediate mode: its points, its control polygon and the strip through its samples.
#include "geometry/nurbs_curve.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

float NurbsCurve::pointSizeForWeight(double weight) {
    if (std::isnan(weight))
        return 7.0f;
    return static_cast<float>(std::clamp(7.0 * std::sqrt(std::max(weight, 0.0)), 3.0, 28.0));
}

void NurbsCurve::draw(bool active, bool /*perspective: a curve looks the same in every view*/) {
    const int n = static_cast<int>(controlPoints.size());
    if (active && showVertices) {
        glPointSize(7.0f);
        for (int i = 0; i < n; ++i) {
            if (i == foundPoint)
                glColor3f(0.0f, 0.4f, 0.0f);
            else if (i == n - 1)
                glColor3f(0.7f, 0.7f, 0.0f);
            else
                glColor3f(0.7f, 0.0f, 0.0f);
            const ControlPoint& p = controlPoints[i];
            if (pointsSizedByWeight)
                glPointSize(pointSizeForWeight(p.w));
            glBegin(GL_POINTS);
            glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
            glEnd();
        }
        glPointSize(1.0f);
    }

    if (active && showEdge) {
        glColor3f(0.0f, 0.0f, 1.0f);
        glBegin(GL_LINE_STRIP);
        for (const ControlPoint& p : controlPoints)
            glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
        glEnd();
        if (curveMode == Closed && n > 2) {
            const ControlPoint& a = controlPoints.back();
            const ControlPoint& b = controlPoints.front();
            glColor3f(0.0f, 0.0f, 0.5f);
            glBegin(GL_LINES);
            glVertex3f(static_cast<float>(a.x), static_cast<float>(a.y), static_cast<float>(a.z));
            glVertex3f(static_cast<float>(b.x), static_cast<float>(b.y), static_cast<float>(b.z));
            glEnd();
        }
    }

    if (showCurve || !active) {
        if (active)
            glColor3f(color[0], color[1], color[2]);
        else
            glColor3f(0.4f, 0.4f, 0.4f);
        // A curve that carries a surface is drawn thicker.
        glLineWidth(static_cast<float>(lineWidth) + (surfaceLink ? 3.0f : 0.0f));
        const std::vector<double>& xyz = sampleCoordinates();
        if (!xyz.empty()) {
            glBegin(GL_LINE_STRIP);
            for (std::size_t i = 0; i + 2 < xyz.size(); i += 3)
                glVertex3f(static_cast<float>(xyz[i]), static_cast<float>(xyz[i + 1]),
                           static_cast<float>(xyz[i + 2]));
            glEnd();
        } else if (n >= 2) {
            // Too few points for the order: the control polygon, dashed, stands in for the curve, so
            // the curve does not vanish while it is being built or after its order was raised.
            glEnable(GL_LINE_STIPPLE);
            glLineStipple(1, 0x0F0F);
            glBegin(GL_LINE_STRIP);
            for (const ControlPoint& p : controlPoints)
                glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
            glEnd();
            glDisable(GL_LINE_STIPPLE);
        }
    }
    glLineWidth(1.0f);
}
