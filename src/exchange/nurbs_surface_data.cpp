// Exact NURBS surface: evaluation through the homogeneous lift.
#include "exchange/nurbs_surface_data.h"

#include "exchange/spline_basis.h"

#include <algorithm>

bool NurbsSurfaceData::rational() const {
    for (const ControlPoint& p : poles)
        if (p.w != poles.front().w)
            return true;
    return false;
}

ControlPoint NurbsSurfaceData::pointAt(double u, double v) const {
    const int su = findSpan(uKnots, uDegree, u);
    const int sv = findSpan(vKnots, vDegree, v);
    std::vector<double> bu(uDegree + 1), bv(vDegree + 1);
    basisFunctions(uKnots, uDegree, su, std::clamp(u, uStart(), uEnd()), bu.data());
    basisFunctions(vKnots, vDegree, sv, std::clamp(v, vStart(), vEnd()), bv.data());
    double x = 0.0, y = 0.0, z = 0.0, w = 0.0;
    for (int a = 0; a <= uDegree; ++a) {
        for (int b = 0; b <= vDegree; ++b) {
            const ControlPoint& p = pole(su - uDegree + a, sv - vDegree + b);
            const double f = bu[a] * bv[b] * p.w;
            x += f * p.x;
            y += f * p.y;
            z += f * p.z;
            w += f;
        }
    }
    return ControlPoint(x / w, y / w, z / w);
}
