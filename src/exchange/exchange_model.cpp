// Converting a whole scene for exact export.
#include "exchange/exchange_model.h"

#include "exchange/curve_conversion.h"
#include "exchange/scene_size.h"
#include "exchange/surface_conversion.h"
#include "geometry/nurbs_curve.h"
#include "scene/scene_list.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

std::string exchangeName(int kind, int position) {
    const char* word = "object";
    switch (kind) {
    case ObjectKind::Curve:
        word = "curve";
        break;
    case ObjectKind::Revolution:
        word = "revolution";
        break;
    case ObjectKind::Coons:
        word = "patch";
        break;
    case ObjectKind::Extrusion:
        word = "extrusion";
        break;
    default:
        break;
    }
    return std::string(word) + "_" + std::to_string(position + 1);
}

ExchangeModel buildExchangeModel(const SceneList& scene) {
    ExchangeModel model;
    model.sceneSize = sceneSize(scene);
    int position = 0;
    for (const SceneNode* node = scene.first; node; node = node->next, ++position) {
        ExchangeObject object;
        object.position = position;
        object.kind = node->kind;
        object.name = exchangeName(node->kind, position);
        std::string why;
        if (node->kind == ObjectKind::Curve) {
            const auto* curve = dynamic_cast<const NurbsCurve*>(node->object);
            if (!curve)
                continue;
            CurveConversion c = convertCurve(*curve);
            why = c.error;
            object.curve = std::move(c.curve);
        } else if (node->kind == ObjectKind::Revolution || node->kind == ObjectKind::Coons ||
                   node->kind == ObjectKind::Extrusion) {
            SurfaceConversion c;
            if (const auto* revolution = dynamic_cast<const RevolutionSurface*>(node->object))
                c = convertRevolution(*revolution);
            else if (const auto* patch = dynamic_cast<const CurveSurface*>(node->object))
                c = convertPatch(*patch, model.sceneSize);
            else
                continue;
            why = c.error;
            object.isSurface = true;
            object.surface = std::move(c.surface);
            object.exact = c.exact;
            object.deviation = c.deviation;
        } else {
            continue;
        }
        if (!why.empty())
            model.refused.push_back(object.name + " " + why);
        else
            model.objects.push_back(std::move(object));
    }
    return model;
}
