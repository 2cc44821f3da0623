#include "canvas/perspective_projection.h"

#include "canvas/camera_record.h"
#include "canvas/viewport.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
using Matrix = std::array<double, 16>;

Matrix identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k)
                m[r * 4 + c] += a[r * 4 + k] * b[k * 4 + c];
    return m;
}

Matrix translation(double x, double y, double z) {
    return {1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1};
}

Matrix scaling(double s) {
    return {s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, 0, 0, 0, 1};
}

// glRotate about a coordinate axis (0 x, 1 y, 2 z).
Matrix rotation(double degrees, int axis) {
    const double a = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const int u = (axis + 1) % 3, v = (axis + 2) % 3;
    Matrix m = identity();
    m[u * 4 + u] = c;
    m[u * 4 + v] = -s;
    m[v * 4 + u] = s;
    m[v * 4 + v] = c;
    return m;
}

bool toUnit(ControlPoint& v) {
    const double n = length(v);
    if (!(n > 0.0))
        return false;
    v = ControlPoint(v.x / n, v.y / n, v.z / n);
    return true;
}

// gluLookAt with the y axis up.
bool lookAt(const ControlPoint& eye, const ControlPoint& target, Matrix& out) {
    ControlPoint f(target.x - eye.x, target.y - eye.y, target.z - eye.z);
    if (!toUnit(f))
        return false;
    ControlPoint s = cross(f, ControlPoint(0.0, 1.0, 0.0));
    if (!toUnit(s))
        return false;
    const ControlPoint u = cross(s, f);
    const Matrix m = {s.x, s.y, s.z, 0, u.x, u.y, u.z, 0, -f.x, -f.y, -f.z, 0, 0, 0, 0, 1};
    out = multiply(m, translation(-eye.x, -eye.y, -eye.z));
    return true;
}

Matrix perspective(double fovyDegrees, double aspect, double nearPlane, double farPlane) {
    const double f = 1.0 / std::tan(fovyDegrees * std::numbers::pi / 360.0);
    const double d = nearPlane - farPlane;
    return {
        f / aspect, 0, 0,  0, 0, f, 0, 0, 0, 0, (farPlane + nearPlane) / d, 2.0 * farPlane * nearPlane / d,
        0,          0, -1, 0};
}

// Gauss-Jordan with partial pivoting; false for a singular matrix.
bool invert(Matrix m, Matrix& out) {
    out = identity();
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(m[r * 4 + col]) > std::fabs(m[pivot * 4 + col]))
                pivot = r;
        if (m[pivot * 4 + col] == 0.0)
            return false;
        for (int c = 0; c < 4; ++c) {
            std::swap(m[col * 4 + c], m[pivot * 4 + c]);
            std::swap(out[col * 4 + c], out[pivot * 4 + c]);
        }
        const double p = m[col * 4 + col];
        for (int c = 0; c < 4; ++c) {
            m[col * 4 + c] /= p;
            out[col * 4 + c] /= p;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == col)
                continue;
            const double k = m[r * 4 + col];
            for (int c = 0; c < 4; ++c) {
                m[r * 4 + c] -= k * m[col * 4 + c];
                out[r * 4 + c] -= k * out[col * 4 + c];
            }
        }
    }
    return true;
}

std::array<double, 4> apply(const Matrix& m, double x, double y, double z, double w) {
    std::array<double, 4> r{};
    for (int i = 0; i < 4; ++i)
        r[i] = m[i * 4] * x + m[i * 4 + 1] * y + m[i * 4 + 2] * z + m[i * 4 + 3] * w;
    return r;
}
} // namespace

PerspectiveProjection::PerspectiveProjection(const Viewport& view, const CameraRecord& camera) {
    const Viewport::Area area = view.sceneArea();
    areaX = area.x;
    areaY = area.y;
    areaWidth = area.width;
    areaHeight = area.height;
    if (areaWidth <= 0 || areaHeight <= 0 || !(view.height > 0.0f))
        return;
    Matrix look;
    if (!lookAt(camera.eye, camera.target, look))
        return;
    // The float fields are widened as GL widens them.
    Matrix modelview = multiply(translation(view.panX, view.panY, 0.0), scaling(view.zoom));
    modelview = multiply(modelview, translation(view.translationX, view.translationY, view.translationZ));
    modelview = multiply(modelview, rotation(view.rotationX, 0));
    modelview = multiply(modelview, rotation(view.rotationY, 1));
    modelview = multiply(modelview, rotation(view.rotationZ, 2));
    modelview = multiply(modelview, look);
    modelview = multiply(modelview, rotation(camera.rotation.x, 0));
    modelview = multiply(modelview, rotation(camera.rotation.y, 1));
    modelview = multiply(modelview, rotation(camera.rotation.z, 2));
    const Matrix projection =
        perspective(45.0, static_cast<double>(view.width) / view.height, view.nearPlane, view.farPlane);
    toClip = multiply(projection, modelview);
    valid_ = invert(toClip, fromClip);
}

bool PerspectiveProjection::project(const ControlPoint& p, double& windowX, double& windowY,
                                    double& depth) const {
    if (!valid_)
        return false;
    const auto clip = apply(toClip, p.x, p.y, p.z, 1.0);
    if (!(clip[3] > 0.0))
        return false;
    windowX = areaX + (clip[0] / clip[3] + 1.0) / 2.0 * areaWidth;
    windowY = areaY + (clip[1] / clip[3] + 1.0) / 2.0 * areaHeight;
    depth = clip[2] / clip[3];
    return true;
}

bool PerspectiveProjection::unproject(double windowX, double windowY, double depth, ControlPoint& out) const {
    if (!valid_)
        return false;
    const double nx = (windowX - areaX) / areaWidth * 2.0 - 1.0;
    const double ny = (windowY - areaY) / areaHeight * 2.0 - 1.0;
    const auto world = apply(fromClip, nx, ny, depth, 1.0);
    if (world[3] == 0.0)
        return false;
    out = ControlPoint(world[0] / world[3], world[1] / world[3], world[2] / world[3]);
    return true;
}
