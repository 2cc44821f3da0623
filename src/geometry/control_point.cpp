#include "geometry/control_point.h"

#include <cmath>

ControlPoint ControlPoint::translated(double dx, double dy, double dz) const {
    return ControlPoint(x + dx, y + dy, z + dz, w);
}

ControlPoint ControlPoint::scaled(double s) const {
    return ControlPoint(s * x, s * y, s * z, w);
}

ControlPoint ControlPoint::rotatedX(double theta) const {
    const double c = std::cos(theta), s = std::sin(theta);
    return ControlPoint(x, c * y - s * z, s * y + c * z, w);
}

ControlPoint ControlPoint::rotatedY(double theta) const {
    const double c = std::cos(theta), s = std::sin(theta);
    return ControlPoint(c * x + s * z, y, c * z - s * x, w);
}

ControlPoint ControlPoint::rotatedZ(double theta) const {
    const double c = std::cos(theta), s = std::sin(theta);
    return ControlPoint(c * x - s * y, s * x + c * y, z, w);
}

void ControlPoint::normalise() {
    const double len = std::sqrt(x * x + y * y + z * z);
    if (len > 0.0) {
        x /= len;
        y /= len;
        z /= len;
    }
}

bool ControlPoint::hasNormal() const {
    return nx != 0.0 || ny != 0.0 || nz != 0.0;
}

double& ControlPoint::coordinate(int axis) {
    switch (axis) {
    case 0:
        return x;
    case 1:
        return y;
    case 2:
        return z;
    default:
        return w;
    }
}

ControlPoint operator-(const ControlPoint& a, const ControlPoint& b) {
    return ControlPoint(a.x - b.x, a.y - b.y, a.z - b.z);
}

ControlPoint operator+(const ControlPoint& a, const ControlPoint& b) {
    return ControlPoint(a.x + b.x, a.y + b.y, a.z + b.z);
}

ControlPoint operator*(const ControlPoint& p, double s) {
    return p.scaled(s);
}

ControlPoint cross(const ControlPoint& a, const ControlPoint& b) {
    return ControlPoint(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float squaredDistance(const ControlPoint& a, const ControlPoint& b) {
    const float dx = static_cast<float>(a.x - b.x);
    const float dy = static_cast<float>(a.y - b.y);
    const float dz = static_cast<float>(a.z - b.z);
    return dx * dx + dy * dy + dz * dz;
}

double length(const ControlPoint& a) {
    return std::sqrt(static_cast<double>(squaredDistance(a, ControlPoint())));
}
