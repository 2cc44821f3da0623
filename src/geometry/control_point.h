// The one geometric value: a position, a normal for lighting and a weight for rational curves.
#pragma once

struct ControlPoint {
    double x, y, z; // position, stored un-weighted
    double nx = 0.0, ny = 0.0, nz = 0.0;
    double w = 1.0;

    // The creator assigns the position before reading it; zero keeps it defined all the same.
    ControlPoint() : x(0.0), y(0.0), z(0.0) {}
    ControlPoint(double x, double y, double z) : x(x), y(y), z(z) {}
    ControlPoint(double x, double y, double z, double w) : x(x), y(y), z(z), w(w) {}

    // Transforms: position changed, weight kept, normal dropped.
    ControlPoint translated(double dx, double dy, double dz) const;
    ControlPoint scaled(double s) const;
    ControlPoint rotatedX(double theta) const;
    ControlPoint rotatedY(double theta) const;
    ControlPoint rotatedZ(double theta) const;

    void normalise();
    bool hasNormal() const;
    // 0 x, 1 y, 2 z; any other axis names the weight.
    double& coordinate(int axis);
};

// Differences, sums and cross products have weight 1 and no normal.
ControlPoint operator-(const ControlPoint& a, const ControlPoint& b);
ControlPoint operator+(const ControlPoint& a, const ControlPoint& b);
ControlPoint operator*(const ControlPoint& p, double s);
ControlPoint cross(const ControlPoint& a, const ControlPoint& b);

// Single precision on purpose: each component difference is rounded to float before squaring.
float squaredDistance(const ControlPoint& a, const ControlPoint& b);
double length(const ControlPoint& a);
