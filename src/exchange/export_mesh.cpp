// Scratch tessellations of scene surfaces for the mesh writers.
#include "exchange/export_mesh.h"

#include "exchange/curve_conversion.h"
#include "geometry/nurbs_curve.h"
#include "scene/scene_list.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

std::string meshRefusal(const SceneNode& node) {
    if (const auto* curve = dynamic_cast<const NurbsCurve*>(node.object)) {
        if (node.kind != ObjectKind::Curve)
            return {};
        if (!curve->hasCurve()) {
            const CurveConversion c = convertCurve(*curve);
            return c.ok ? "has no curve to sample" : c.error;
        }
        if (curve->paramInc < 1)
            return "has increment " + std::to_string(curve->paramInc) + ", which draws nothing";
        return {};
    }
    if (const auto* revolution = dynamic_cast<const RevolutionSurface*>(node.object)) {
        if (!revolution->profile)
            return "has no profile curve";
        if (!revolution->sweepAxis().valid) {
            const CurveConversion c = convertCurve(*revolution->profile);
            return c.ok ? "has settings that draw nothing" : "has a profile that " + c.error;
        }
        if (!(revolution->sweepAngle() > 0.0))
            return "has a sweep angle that draws nothing";
        return {};
    }
    if (const auto* patch = dynamic_cast<const CurveSurface*>(node.object)) {
        const int held = static_cast<int>(patch->curves.size());
        if (held != 4)
            return "holds " + std::to_string(held) + " of its 4 curves, and so no surface";
        for (int i = 0; i < 4; ++i) {
            const NurbsCurve* c = patch->curves[i];
            if (!c)
                return "has a curve that is missing";
            if (c->order < 1 || static_cast<int>(c->controlPoints.size()) < c->order)
                return "has a curve C" + std::to_string(i) + " that " + convertCurve(*c).error;
        }
        if (patch->uParamInc < 1 || patch->vParamInc < 1)
            return "has increments that draw nothing";
        return {};
    }
    return {};
}

SurfaceMesh shadedMeshOf(const SceneNode& node) {
    if (const auto* revolution = dynamic_cast<const RevolutionSurface*>(node.object)) {
        RevolutionSurface scratch(revolution->profile, revolution->aor, revolution->refa,
                                  revolution->degrees);
        scratch.uParamInc = revolution->uParamInc;
        scratch.vParamInc = revolution->vParamInc;
        scratch.revPoint = revolution->revPoint;
        scratch.axisDistance = revolution->axisDistance;
        scratch.axisRotPoint = revolution->axisRotPoint;
        scratch.shading = true;
        scratch.tessellate();
        return std::move(scratch.surfaceMesh);
    }
    if (const auto* patch = dynamic_cast<const CurveSurface*>(node.object)) {
        if (patch->curves.size() != 4)
            return {};
        // Tessellating reverses two of the curves for a while: copies keep the scene's untouched.
        NurbsCurve copies[4];
        CurveSurface scratch;
        for (int i = 0; i < 4; ++i) {
            if (!patch->curves[i])
                return {};
            copies[i].copyFrom(*patch->curves[i]);
            scratch.curves.push_back(&copies[i]);
        }
        scratch.uParamInc = patch->uParamInc;
        scratch.vParamInc = patch->vParamInc;
        scratch.shading = true;
        scratch.tessellate();
        return std::move(scratch.surfaceMesh);
    }
    return {};
}
