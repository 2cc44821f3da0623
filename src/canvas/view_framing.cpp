// Framing and wheel zoom as pure arithmetic on the views' fields.
#include "canvas/view_framing.h"

#include "canvas/view_projection.h"
#include "canvas/viewport.h"
#include "scene/scene_bounds.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {
// What a framed box leaves free around it: its span times this fills the view.
constexpr double frameMargin = 1.2;
// A box thinner than this (a point, a straight line seen end on) is framed as this wide.
constexpr double smallestSpan = 1.0;
constexpr double smallestZoom = 0.0001; // as the zoom drag stops
constexpr double largestZoom = 10000.0;
// The eye keeps this far from its target, well beyond the near plane.
constexpr double closestEye = 0.5;
// Half the perspective view's vertical field (gluPerspective 45 degrees).
constexpr double halfFieldY = 22.5 * std::numbers::pi / 180.0;
// The framed depth is kept within this part of the far plane distance.
constexpr double depthLimit = 0.9;

void rotateAbout(double degrees, int axis, double& x, double& y, double& z) {
    const double a = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    double* u = axis == 0 ? &y : axis == 1 ? &z : &x;
    double* v = axis == 0 ? &z : axis == 1 ? &x : &y;
    const double nu = c * *u - s * *v;
    const double nv = s * *u + c * *v;
    *u = nu;
    *v = nv;
}

// The view's orthographic extents, or its configured ones while it has no size.
void extentsOf(const Viewport& view, double& l, double& r, double& b, double& t) {
    if (view.width > 0.0f && view.height > static_cast<float>(Viewport::titleStripHeight)) {
        view.orthographicExtents(l, r, b, t);
        return;
    }
    l = view.left;
    r = view.right;
    b = view.bottom;
    t = view.top;
}
} // namespace

void zoomOrthographicAbout(Viewport& view, double windowX, double windowY, double factor) {
    const auto [vx, vy, vw, vh] = view.sceneArea();
    double l, r, b, t;
    view.orthographicExtents(l, r, b, t);
    if (vw <= 0 || vh <= 0 || l == r || b == t || !(factor > 0.0) || !std::isfinite(factor))
        return;
    const double eyeX = l + (windowX - vx) / vw * (r - l);
    const double eyeY = b + (windowY - vy) / vh * (t - b);
    const double zoom = view.zoom;
    const double wanted = std::clamp(zoom * factor, smallestZoom, largestZoom);
    const auto next = static_cast<float>(wanted);
    // The point under the cursor, eye = pan + zoom * q, keeps its eye position under the new zoom.
    const double ratio = static_cast<double>(next) / zoom;
    view.panX = static_cast<float>(eyeX - ratio * (eyeX - view.panX));
    view.panY = static_cast<float>(eyeY - ratio * (eyeY - view.panY));
    view.zoom = next;
}

void moveCameraAlongView(CameraRecord& camera, double factor) {
    if (!(factor > 0.0) || !std::isfinite(factor))
        return;
    const ControlPoint line = camera.eye - camera.target;
    const double distance = length(line);
    if (!(distance > 0.0) || !std::isfinite(distance))
        return;
    const double next = std::max(distance / factor, closestEye);
    const double s = next / distance;
    camera.eye = ControlPoint(camera.target.x + line.x * s, camera.target.y + line.y * s,
                              camera.target.z + line.z * s);
}

void frameOrthographic(Viewport& view, const SceneBounds& bounds) {
    if (bounds.empty()) {
        view.panX = view.panY = 0.0f;
        view.zoom = 1.0f;
        return;
    }
    // The box's corners as the view turns them, before its pan and zoom.
    double lowX = std::numeric_limits<double>::infinity(), highX = -lowX;
    double lowY = lowX, highY = -lowX;
    for (int corner = 0; corner < 8; ++corner) {
        double x = (corner & 1) ? bounds.high.x : bounds.low.x;
        double y = (corner & 2) ? bounds.high.y : bounds.low.y;
        double z = (corner & 4) ? bounds.high.z : bounds.low.z;
        rotateAbout(view.rotationZ, 2, x, y, z);
        rotateAbout(view.rotationY, 1, x, y, z);
        rotateAbout(view.rotationX, 0, x, y, z);
        x += view.translationX;
        y += view.translationY;
        lowX = std::min(lowX, x);
        highX = std::max(highX, x);
        lowY = std::min(lowY, y);
        highY = std::max(highY, y);
    }
    double l, r, b, t;
    extentsOf(view, l, r, b, t);
    const double spanX = std::max(highX - lowX, smallestSpan) * frameMargin;
    const double spanY = std::max(highY - lowY, smallestSpan) * frameMargin;
    const double zoom = std::clamp(std::min((r - l) / spanX, (t - b) / spanY), smallestZoom, largestZoom);
    view.zoom = static_cast<float>(zoom);
    view.panX = static_cast<float>((l + r) / 2.0 - view.zoom * (lowX + highX) / 2.0);
    view.panY = static_cast<float>((b + t) / 2.0 - view.zoom * (lowY + highY) / 2.0);
}

void framePerspective(Viewport& view, CameraRecord& camera, const SceneBounds& bounds) {
    view.panX = view.panY = 0.0f;
    view.zoom = 1.0f;
    if (bounds.empty()) {
        camera = CameraRecord{};
        return;
    }
    // The camera's turn is applied to the scene after gluLookAt (x, then y, then z as GL calls
    // them), so the eye looks at the centre as turned.
    ControlPoint centre = bounds.centre();
    rotateAbout(camera.rotation.z, 2, centre.x, centre.y, centre.z);
    rotateAbout(camera.rotation.y, 1, centre.x, centre.y, centre.z);
    rotateAbout(camera.rotation.x, 0, centre.x, centre.y, centre.z);

    ControlPoint direction = camera.eye - camera.target;
    const double along = length(direction);
    if (!(along > 0.0) || !std::isfinite(along) || std::fabs(direction.y) > 0.99 * along)
        direction = ControlPoint(0.0, 0.0, 1.0);
    else
        direction = ControlPoint(direction.x / along, direction.y / along, direction.z / along);

    // The narrower of the two fields decides; the aspect is the whole rectangle's, as drawn.
    const double aspect = view.width > 0.0f && view.height > 0.0f ? view.width / view.height : 1.0;
    const double halfField = std::atan(std::tan(halfFieldY) * std::min(aspect, 1.0));
    const double radius = std::max(bounds.radius(), smallestSpan / 2.0) * frameMargin;
    const double distance = radius / std::sin(halfField);
    camera.target = centre;
    camera.eye = ControlPoint(centre.x + direction.x * distance, centre.y + direction.y * distance,
                              centre.z + direction.z * distance);
    // The zoom scales the eye coordinates, which changes the depth only: the picture stays and a
    // large scene keeps inside the far plane.
    const double farthest = distance + radius;
    const double reach = depthLimit * view.farPlane;
    if (farthest > reach)
        view.zoom = static_cast<float>(reach / farthest);
}
