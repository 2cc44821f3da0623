#include "scene/selection_text.h"

#include "geometry/nurbs_curve.h"
#include "geometry/object_positions.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include <cmath>
#include <cstdio>

namespace {

const NurbsCurve* activeCurve(const SceneSelection& selection) {
    return selection.activeKind == ObjectKind::Curve ? dynamic_cast<const NurbsCurve*>(selection.activeObject)
                                                     : nullptr;
}

std::string count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

const char* formName(int curveMode) {
    switch (curveMode) {
    case NurbsCurve::Open:
        return "open";
    case NurbsCurve::Interpolated:
        return "open with interpolation";
    default:
        return "closed"; // any form code past 1 draws closed
    }
}

std::string increments(int u, int v) {
    return "u " + std::to_string(u) + ", v " + std::to_string(v);
}

// A patch or extrusion still waiting for its curves says how many it holds of how many it needs.
std::string curveSurfaceText(const char* kind, const CurveSurface& surface, std::size_t needed) {
    std::string text = std::string(kind) + ": " + increments(surface.uParamInc, surface.vParamInc);
    if (surface.curves.size() < needed)
        text += ", " + std::to_string(surface.curves.size()) + " of " + std::to_string(needed) + " curves";
    return text;
}

} // namespace

std::string SelectionText::number(double value) {
    if (!std::isfinite(value))
        return value != value ? "nan" : value > 0 ? "inf" : "-inf";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text = buffer;
    if (text == "-0.00")
        text = "0.00";
    return text;
}

std::string SelectionText::object(const SceneSelection& selection) {
    if (!selection.activeObject)
        return "No object selected";
    if (const NurbsCurve* curve = activeCurve(selection)) {
        return "Curve: " + count(curve->controlPoints.size(), "point", "points") + ", order " +
               std::to_string(curve->order) + ", " + formName(curve->curveMode);
    }
    switch (selection.activeKind) {
    case ObjectKind::Revolution:
        if (const auto* surface = dynamic_cast<const RevolutionSurface*>(selection.activeObject)) {
            std::string text = "Surface of revolution: " + increments(surface->uParamInc, surface->vParamInc);
            if (!surface->profile)
                text += ", no profile yet";
            return text;
        }
        break;
    case ObjectKind::Coons:
        if (const auto* surface = dynamic_cast<const CurveSurface*>(selection.activeObject))
            return curveSurfaceText("Coons patch", *surface, 4);
        break;
    case ObjectKind::Extrusion:
        if (const auto* surface = dynamic_cast<const CurveSurface*>(selection.activeObject))
            return curveSurfaceText("Extrusion", *surface, 2);
        break;
    default:
        break;
    }
    return "No object selected";
}

std::string SelectionText::point(const SceneSelection& selection) {
    const NurbsCurve* curve = activeCurve(selection);
    const int index = selection.activePoint;
    if (!curve || index < 0 || index >= static_cast<int>(curve->controlPoints.size()))
        return {};
    const ControlPoint& p = curve->controlPoints[index];
    return "Point " + std::to_string(index + 1) + " of " + std::to_string(curve->controlPoints.size()) +
           ": (" + number(p.x) + ", " + number(p.y) + ", " + number(p.z) + "), weight " +
           number(curve->weight(index));
}

std::string SelectionText::warning(const SceneSelection& selection) {
    const NurbsCurve* curve = activeCurve(selection);
    if (!curve || curve->order < 1)
        return {};
    const std::size_t points = curve->controlPoints.size();
    if (points >= static_cast<std::size_t>(curve->order))
        return {};
    return "Order " + std::to_string(curve->order) + " needs at least " + std::to_string(curve->order) +
           " points (this curve has " + std::to_string(points) + ")";
}
