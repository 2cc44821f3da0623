// How far a point lies from a parametric surface: the nearest of a grid of samples, refined by
// Gauss-Newton steps on the squared distance.
#pragma once

#include "geometry/control_point.h"

#include <functional>
#include <vector>

class SurfaceDistance {
public:
    using Surface = std::function<ControlPoint(double, double)>;

    SurfaceDistance(Surface surface, double u0, double u1, double v0, double v1, int samples = 48);
    double to(const ControlPoint& p) const;

private:
    double refine(const ControlPoint& p, double u, double v) const;

    Surface surface_;
    double u0_, u1_, v0_, v1_;
    int samples_;
    std::vector<ControlPoint> grid_; // (samples + 1)^2, u major
};

// The parameters at which a curve is sampled when drawn, one per drawn point.
class NurbsCurve;
std::vector<double> drawnParameters(const NurbsCurve& curve);
