// Orthographic unprojection computed from the view's fields instead of read back from GL.
#include "canvas/view_projection.h"

#include "canvas/viewport.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
// Undoes glRotate(degrees, axis): the rotation by -degrees about the same axis.
void unrotate(double degrees, int axis, double& x, double& y, double& z) {
    const double a = -degrees * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    double* u = axis == 0 ? &y : axis == 1 ? &z : &x;
    double* v = axis == 0 ? &z : axis == 1 ? &x : &y;
    const double nu = c * *u - s * *v;
    const double nv = s * *u + c * *v;
    *u = nu;
    *v = nv;
}
} // namespace

bool unprojectOrthographic(const Viewport& view, double windowX, double windowY, ControlPoint& out) {
    // The drawing area exactly as applyOrthographic sets it: truncated rectangle, strip taken off.
    const auto [vx, vy, vw, vh] = view.sceneArea();
    double l, r, b, t;
    view.orthographicExtents(l, r, b, t);
    if (vw <= 0 || vh <= 0 || l == r || b == t || view.zoom == 0.0f)
        return false;

    // Window to eye space. Window depth 0 is the near plane, which glOrtho puts at eye z = -near.
    double x = l + (windowX - vx) / vw * (r - l);
    double y = b + (windowY - vy) / vh * (t - b);
    double z = -static_cast<double>(view.nearPlane);

    // Eye to world: the view transform T(pan) S(zoom) T(translation) Rx Ry Rz, undone right to left
    // in reverse order. The float fields are widened as GL widens them.
    const double zoom = view.zoom;
    x = (x - view.panX) / zoom - view.translationX;
    y = (y - view.panY) / zoom - view.translationY;
    z = z / zoom - view.translationZ;
    unrotate(view.rotationX, 0, x, y, z);
    unrotate(view.rotationY, 1, x, y, z);
    unrotate(view.rotationZ, 2, x, y, z);

    const double limit = -static_cast<double>(view.nearPlane) - 0.1;
    for (double* c : {&x, &y, &z})
        if (zoom * *c > limit)
            *c = 0.0;
    out = ControlPoint(x, y, z);
    return true;
}

bool projectOrthographic(const Viewport& view, const ControlPoint& p, double& windowX, double& windowY) {
    const auto [vx, vy, vw, vh] = view.sceneArea();
    double l, r, b, t;
    view.orthographicExtents(l, r, b, t);
    if (vw <= 0 || vh <= 0 || l == r || b == t)
        return false;
    // glRotate x, then y, then z applies the z rotation to the point first.
    double x = p.x, y = p.y, z = p.z;
    unrotate(-view.rotationZ, 2, x, y, z);
    unrotate(-view.rotationY, 1, x, y, z);
    unrotate(-view.rotationX, 0, x, y, z);
    const double zoom = view.zoom;
    const double eyeX = view.panX + zoom * (x + view.translationX);
    const double eyeY = view.panY + zoom * (y + view.translationY);
    windowX = vx + (eyeX - l) / (r - l) * vw;
    windowY = vy + (eyeY - b) / (t - b) * vh;
    return true;
}
