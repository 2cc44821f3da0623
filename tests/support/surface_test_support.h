// Shared helpers of the surface tests: building curves and reading vertices back out of a mesh.
#pragma once

#include "geometry/control_point.h"
#include "geometry/nurbs_curve.h"
#include "surfaces/surface_mesh.h"

#include <cmath>
#include <memory>
#include <vector>

inline std::unique_ptr<NurbsCurve> makeCurve(const std::vector<ControlPoint>& points, int order,
                                             int mode = NurbsCurve::Interpolated) {
    auto curve = std::make_unique<NurbsCurve>();
    curve->setOrder(order);
    curve->setCurveMode(mode);
    curve->setControlPoints(points);
    return curve;
}

// Vertex v as the mesh stores it, before the mesh's own translation.
inline ControlPoint meshVertex(const SurfaceMesh& mesh, int v) {
    const double* p = &mesh.positions[3 * static_cast<std::size_t>(v)];
    return ControlPoint(p[0], p[1], p[2]);
}

inline ControlPoint meshNormalAt(const SurfaceMesh& mesh, int v) {
    const double* n = &mesh.normals[3 * static_cast<std::size_t>(v)];
    return ControlPoint(n[0], n[1], n[2]);
}

// Vertex v where GL puts it: the mesh's translation applied.
inline ControlPoint worldVertex(const SurfaceMesh& mesh, int v) {
    const ControlPoint p = meshVertex(mesh, v);
    if (!mesh.translated)
        return p;
    return p.translated(mesh.offset[0], mesh.offset[1], mesh.offset[2]);
}

inline double distance(const ControlPoint& a, const ControlPoint& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

inline double norm(const ControlPoint& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

inline bool isFinite(const ControlPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.w);
}
