// Control points of the predefined shapes: all in the plane y = 0, weight 1.
#include "surfaces/predefined_shapes.h"

#include "geometry/nurbs_curve.h"
#include "surfaces/revolution_surface.h"

namespace {
const PredefinedShape shapes[ShapeKind::Count] = {
    // Circle: a closed cubic inside the square of side 15 about the origin.
    {4, NurbsCurve::Closed, {{-7.5, 0, -7.5}, {7.5, 0, -7.5}, {7.5, 0, 7.5}, {-7.5, 0, 7.5}}, false},
    // Square: the same polygon as a closed polyline.
    {2, NurbsCurve::Closed, {{-7.5, 0, -7.5}, {7.5, 0, -7.5}, {7.5, 0, 7.5}, {-7.5, 0, 7.5}}, false},
    // Arc: a U from (-7.5, 0, 7.5) to (7.5, 0, 7.5) bulging towards -z.
    {4, NurbsCurve::Interpolated, {{-7.5, 0, 7.5}, {-7.5, 0, -7.5}, {7.5, 0, -7.5}, {7.5, 0, 7.5}}, false},
    // Sphere: a cubic from pole to pole whose widest point lies 7.875 from the z axis.
    {4, NurbsCurve::Interpolated, {{0, 0, -7.5}, {-10.5, 0, -7.5}, {-10.5, 0, 7.5}, {0, 0, 7.5}}, true},
    // Cylinder: out to radius 8.5, along z for a height of 13, and back to the axis.
    {2, NurbsCurve::Interpolated, {{0, 0, -6.5}, {-8.5, 0, -6.5}, {-8.5, 0, 6.5}, {0, 0, 6.5}}, true},
    // Cube: the same as the cylinder.
    {2, NurbsCurve::Interpolated, {{0, 0, -6.5}, {-8.5, 0, -6.5}, {-8.5, 0, 6.5}, {0, 0, 6.5}}, true},
};
} // namespace

const PredefinedShape* predefinedShape(int shape) {
    return shape >= 0 && shape < ShapeKind::Count ? &shapes[shape] : nullptr;
}

void buildPredefinedCurve(NurbsCurve& curve, int shape) {
    const PredefinedShape* s = predefinedShape(shape);
    if (!s)
        return;
    curve.setOrder(s->order);
    curve.setCurveMode(s->curveMode);
    for (const ControlPoint& p : s->points)
        curve.appendPoint(p);
}

RevolutionSurface* makePredefinedSurface(NurbsCurve* profile) {
    return new RevolutionSurface(profile, 2, 0, 360.0f);
}
