// Read-back comparison for the export tests.
#include "export_read_back.h"

#include "geometry/nurbs_curve.h"
#include "scene/scene_list.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <tuple>

namespace {

double gap(const ControlPoint& a, const ControlPoint& b) {
    const double d = std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
    return std::isnan(d) ? std::numeric_limits<double>::infinity() : d;
}

std::string text(double v) {
    char t[32];
    std::snprintf(t, sizeof t, "%.3g", v);
    return t;
}

// Every distinct vertex of the surface's shaded tessellation, where GL puts it.
std::vector<ControlPoint> meshVertices(SceneObject* object) {
    const SurfaceMesh* mesh = nullptr;
    if (auto* revolution = dynamic_cast<RevolutionSurface*>(object)) {
        revolution->setShading(true);
        revolution->tessellate();
        mesh = &revolution->surfaceMesh;
    } else if (auto* patch = dynamic_cast<CurveSurface*>(object)) {
        patch->setShading(true);
        patch->tessellate();
        mesh = &patch->surfaceMesh;
    }
    std::set<std::tuple<double, double, double>> seen;
    std::vector<ControlPoint> out;
    if (!mesh)
        return out;
    for (int v = 0; v < mesh->vertexCount(); ++v) {
        double p[3];
        for (int a = 0; a < 3; ++a)
            p[a] = mesh->positions[3 * static_cast<std::size_t>(v) + a] +
                   (mesh->translated ? mesh->offset[a] : 0.0);
        if (seen.insert({p[0], p[1], p[2]}).second)
            out.emplace_back(p[0], p[1], p[2]);
    }
    return out;
}

} // namespace

ReadBackFindings compareWithScene(SceneList& scene, const ExportResult& result, const ReadBack& read,
                                  double curveTolerance, double surfaceTolerance) {
    ReadBackFindings findings;
    const double size = result.sceneSize;
    std::size_t curveIndex = 0, surfaceIndex = 0;
    int position = 0;
    for (SceneNode* node = scene.first; node; node = node->next, ++position) {
        const std::string where = "object " + std::to_string(position + 1);
        if (node->kind == ObjectKind::Curve) {
            auto* curve = dynamic_cast<NurbsCurve*>(node->object);
            if (curveIndex >= read.curves.size()) {
                findings.failures.push_back(where + ": no curve read back for it");
                continue;
            }
            const ReadCurve& r = read.curves[curveIndex++];
            const std::vector<double> us = drawnParameters(*curve);
            const std::vector<ControlPoint> samples = curve->samplePoints();
            if (us.size() != samples.size() || us.empty()) {
                findings.failures.push_back(where + ": its drawn parameters do not match its samples");
                continue;
            }
            if (std::fabs(r.start - curve->domainStart()) > 1e-15 ||
                std::fabs(r.end - curve->domainEnd()) > 1e-15)
                findings.failures.push_back(where + ": domain [" + text(r.start) + ", " + text(r.end) +
                                            "] read back for [" + text(curve->domainStart()) + ", " +
                                            text(curve->domainEnd()) + "]");
            double worst = 0.0;
            for (std::size_t i = 0; i < us.size(); ++i) {
                const ControlPoint p = r.at(us[i]);
                worst = std::max({worst, gap(p, curve->evaluate(us[i])), gap(p, samples[i])});
            }
            findings.worstCurve = std::max(findings.worstCurve, worst / size);
            if (worst > curveTolerance * size)
                findings.failures.push_back(where + ": a curve sample lies " + text(worst / size) +
                                            " of the scene's size from the curve read back");
        } else if (node->kind == ObjectKind::Revolution || node->kind == ObjectKind::Coons ||
                   node->kind == ObjectKind::Extrusion) {
            if (surfaceIndex >= read.surfaces.size() || surfaceIndex >= result.surfaces.size()) {
                findings.failures.push_back(where + ": no surface read back for it");
                continue;
            }
            const ExportedSurface& reported = result.surfaces[surfaceIndex];
            const ReadSurface& r = read.surfaces[surfaceIndex++];
            const SurfaceDistance distance(r.at, r.u0, r.u1, r.v0, r.v1);
            double worst = 0.0;
            for (const ControlPoint& v : meshVertices(node->object))
                worst = std::max(worst, distance.to(v));
            const double allowed = surfaceTolerance * size + (reported.exact ? 0.0 : reported.deviation);
            double& record = reported.exact ? findings.worstExactSurface : findings.worstFittedSurface;
            record = std::max(record, worst / size);
            if (worst > allowed)
                findings.failures.push_back(where + " (" + reported.name +
                                            (reported.exact ? ", exact" : ", fitted") +
                                            "): a mesh vertex lies " + text(worst / size) +
                                            " of the scene's size from the surface read back");
        }
    }
    if (curveIndex != read.curves.size() || surfaceIndex != read.surfaces.size())
        findings.failures.push_back("the file holds " + std::to_string(read.curves.size()) + " curves and " +
                                    std::to_string(read.surfaces.size()) + " surfaces; the scene " +
                                    std::to_string(curveIndex) + " and " + std::to_string(surfaceIndex));
    return findings;
}
