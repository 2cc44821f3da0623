// The canvas's navigation: the wheel, and framing the scene or the active object in every view.
#include "canvas/view_framing.h"
#include "scene/scene_bounds.h"

#include "canvas/gl_pelm.h"

#include <QWheelEvent>

#include <cmath>

namespace {
// One notch of the wheel zooms by this factor.
constexpr double wheelStep = 1.2;
// Angle delta of one notch, in eighths of a degree.
constexpr double notchDelta = 120.0;
} // namespace

void GLPelm::wheelEvent(QWheelEvent* event) {
    const qreal ratio = devicePixelRatioF();
    const int x = static_cast<int>(std::lround(event->position().x() * ratio));
    const int y = static_cast<int>(std::lround(event->position().y() * ratio));
    wheelAt(x, y, event->angleDelta().y() / notchDelta);
    event->accept();
}

void GLPelm::wheelAt(int x, int y, double notches) {
    if (notches == 0.0)
        return;
    const double factor = std::pow(wheelStep, notches);
    const int region = regionAt(x, y);
    if (Viewport* view = orthographicView(region))
        zoomOrthographicAbout(*view, x, canvasHeight - y, factor);
    else if (region == ViewKind::Perspective)
        moveCameraAlongView(camera, factor);
    else
        return;
    // What a click takes under the cursor changes with the zoom.
    hoveredCurve = curveUnder(x, y);
    updateGL();
}

void GLPelm::frameAll() {
    frameBounds(SceneBounds::of(scene));
}

void GLPelm::frameSelected() {
    const SceneBounds bounds = SceneBounds::of(activeObject);
    if (bounds.empty()) {
        emit statusMessage(tr("Nothing selected to frame: pick an object first"));
        return;
    }
    frameBounds(bounds);
}

void GLPelm::frameBounds(const SceneBounds& bounds) {
    // The views are laid out, and reset, when the canvas is first shown: framing waits till then.
    if (canvasWidth <= 0.0f || canvasHeight <= 0.0f) {
        framePending = true;
        return;
    }
    framePending = false;
    for (Viewport* view : {&topView, &leftView, &frontView})
        frameOrthographic(*view, bounds);
    framePerspective(perspectiveView, camera, bounds);
    updateGL();
}
