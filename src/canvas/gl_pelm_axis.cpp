// The axis of rotation of the surface of revolution being worked on, drawn dashed in every view.
#include "geometry/nurbs_curve.h"
#include "scene/scene_bounds.h"
#include "surfaces/revolution_surface.h"

#include "canvas/gl_pelm.h"

#include <GL/gl.h>

#include <algorithm>

namespace {
// The axis reaches past the surface by this share of the surface's size, and at least this far.
constexpr double axisOvershoot = 0.25;
constexpr double axisMinimumOvershoot = 1.0;
} // namespace

void GLPelm::drawRevolutionAxis() {
    RevolutionSurface* surface = revolutionTarget();
    if (!surface || !surface->profile || !scene.contains(surface))
        return;
    const RevolutionSurface::SweepAxis axis = surface->sweepAxis();
    if (!axis.valid)
        return;
    const int aor = surface->aor, refa = surface->refa;
    // Through the point the sweep turns about: position on refa, the fixing point's third coordinate.
    ControlPoint through = surface->profile->controlPoints[static_cast<std::size_t>(axis.point)];
    const double alongPoint = through.coordinate(aor);
    if (aor != refa)
        through.coordinate(refa) = axis.position;

    // The mesh drawn this frame: a large surface still being rebuilt is not sampled again in every view.
    SceneBounds bounds;
    bounds.add(surface->surfaceMesh);
    bounds.add(static_cast<SceneObject*>(surface->profile));
    bounds.add(through);
    double low = alongPoint, high = alongPoint;
    if (!bounds.empty()) {
        ControlPoint lowCorner = bounds.low, highCorner = bounds.high;
        low = std::min(low, lowCorner.coordinate(aor));
        high = std::max(high, highCorner.coordinate(aor));
    }
    const double reach = std::max(axisMinimumOvershoot, axisOvershoot * (high - low));
    ControlPoint start = through, end = through;
    start.coordinate(aor) = low - reach;
    end.coordinate(aor) = high + reach;

    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(2, 0x0F0F);
    glLineWidth(2.0f);
    glColor3f(0.55f, 0.0f, 0.75f);
    glBegin(GL_LINES);
    glVertex3d(start.x, start.y, start.z);
    glVertex3d(end.x, end.y, end.z);
    glEnd();
    glLineWidth(1.0f);
    glDisable(GL_LINE_STIPPLE);
}
