// Picking a curve: the exact hit keeps its priority, the wider reach only adds hits.
#include "scene/curve_picker.h"

#include "geometry/nurbs_curve.h"
#include "scene/scene_list.h"

NurbsCurve* CurvePicker::curveAt(const SceneList& scene, const ControlPoint& p, int axis, double reach) {
    NurbsCurve* nearest = nullptr;
    double nearestDistance = 0.0;
    for (const SceneNode* node = scene.first; node; node = node->next) {
        if (node->kind != ObjectKind::Curve)
            continue;
        auto* curve = dynamic_cast<NurbsCurve*>(node->object);
        if (!curve)
            continue;
        if (curve->hitTest(p.x, p.y, p.z, axis))
            return curve;
        const double d = curve->hitDistance(p.x, p.y, p.z, axis);
        if (d <= reach && (!nearest || d < nearestDistance)) {
            nearest = curve;
            nearestDistance = d;
        }
    }
    return nearest;
}
