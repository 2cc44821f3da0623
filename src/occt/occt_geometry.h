// Our exact curves and surfaces as Open CASCADE geometry.
#pragma once

#include <Geom_BSplineCurve.hxx>
#include <Geom_BSplineSurface.hxx>
#include <Standard_Handle.hxx>

struct NurbsCurveData;
struct NurbsSurfaceData;

// The curve clamped to its domain. Throws Standard_Failure for what Open CASCADE cannot hold.
Handle(Geom_BSplineCurve) toGeomCurve(const NurbsCurveData& curve);
Handle(Geom_BSplineSurface) toGeomSurface(const NurbsSurfaceData& surface);

// Removes Open CASCADE's console printers once, so its transfer reports do not fill our output.
void quietOpenCascade();
