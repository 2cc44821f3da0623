// The scene's size from the bounding box of its control points.
#include "exchange/scene_size.h"

#include "geometry/nurbs_curve.h"
#include "scene/scene_list.h"

#include <algorithm>
#include <cmath>
#include <limits>

double sceneSize(const SceneList& scene) {
    double low[3], high[3];
    for (int a = 0; a < 3; ++a) {
        low[a] = std::numeric_limits<double>::infinity();
        high[a] = -std::numeric_limits<double>::infinity();
    }
    bool any = false;
    for (const SceneNode* node = scene.first; node; node = node->next) {
        const auto* curve = dynamic_cast<const NurbsCurve*>(node->object);
        if (!curve)
            continue;
        for (const ControlPoint& p : curve->controlPoints) {
            const double c[3] = {p.x, p.y, p.z};
            if (!std::isfinite(c[0]) || !std::isfinite(c[1]) || !std::isfinite(c[2]))
                continue;
            for (int a = 0; a < 3; ++a) {
                low[a] = std::min(low[a], c[a]);
                high[a] = std::max(high[a], c[a]);
            }
            any = true;
        }
    }
    if (!any)
        return 0.0;
    return std::hypot(high[0] - low[0], high[1] - low[1], high[2] - low[2]);
}

double toleranceFor(double fraction, double size) {
    return fraction * std::max(size, 1e-300);
}
