// The benchmarks' scene of many free curves, each of many control points with varied weights.
#pragma once

#include "geometry/nurbs_curve.h"
#include "scene/scene_list.h"

inline void appendCurveGrid(SceneList& scene, int curveCount, int pointCount) {
    for (int c = 0; c < curveCount; ++c) {
        auto* curve = new NurbsCurve();
        curve->controlPoints.reserve(pointCount);
        for (int i = 0; i < pointCount; ++i)
            curve->controlPoints.push_back(ControlPoint(c * 0.01, i * 0.5, (c ^ i) * 0.25, 1.0 + (i % 3)));
        curve->rebuildKnots();
        scene.append(curve, ObjectKind::Curve);
    }
}
