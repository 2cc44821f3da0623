// The fixed control points of the predefined curves and surfaces, and the functions that build them.
#pragma once

#include "geometry/control_point.h"

class NurbsCurve;
class RevolutionSurface;

// Shape codes, in the order of the predefined-object buttons.
namespace ShapeKind {
constexpr int Circle = 0;
constexpr int Square = 1;
constexpr int Arc = 2;
constexpr int Sphere = 3;
constexpr int Cylinder = 4;
constexpr int Cube = 5;
constexpr int Count = 6;
} // namespace ShapeKind

struct PredefinedShape {
    int order;
    int curveMode;
    ControlPoint points[4]; // appended in this order
    bool swept;             // the curve is the profile of a surface of revolution
};

// The table entry of a shape; null for a code outside ShapeKind.
const PredefinedShape* predefinedShape(int shape);

// Gives curve the shape's order and form, then appends its points one by one; an unknown code
// changes nothing.
void buildPredefinedCurve(NurbsCurve& curve, int shape);

// A new surface of revolution about the z axis through the profile's right-most point, as every
// predefined surface is made; the caller owns it and links the profile to it.
RevolutionSurface* makePredefinedSurface(NurbsCurve* profile);
