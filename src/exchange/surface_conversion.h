// Scene surfaces as NURBS surfaces: exact where the surface has a NURBS form of a degree the exchange
// formats take, else fitted; every conversion is checked against the scene's own surface.
#pragma once

#include "exchange/nurbs_surface_data.h"

#include <string>

class CurveSurface;
class RevolutionSurface;

struct SurfaceConversion {
    bool ok = false;
    std::string error; // why there is no surface, for a message after the object's name
    NurbsSurfaceData surface;
    bool exact = false;     // the surface's own NURBS form; false: fitted through it
    double deviation = 0.0; // the largest distance from the scene's surface found on a dense check grid
};

// The highest degree written: the most the CAD writers take.
constexpr int MaxExchangeDegree = 25;

// The profile, placed as the mesh places it (the same axis, the third coordinate dropped as the
// sweep drops it), swept by rational quadratic arcs of at most 90 degrees each through the sweep
// angle; 360 degrees and more make the closed full turn. u is the profile's parameter over its drawn
// domain. Refused: no profile, a profile without a curve, settings that draw nothing, a sweep that
// is not positive, and a reference axis equal to the axis of revolution (the sweep collapses onto
// the profile: there is no surface).
SurfaceConversion convertRevolution(const RevolutionSurface& surface);

// The patch over its four curves as they stand (no alignment), with C0 and C3 reversed as the mesh
// has them; s in [0, 1] is u, t in [0, 1] is v. Every side is evaluated over [0, 1] whatever its form,
// held at its end value outside its domain, which is itself a spline with a C0 knot at each domain
// end. The bilinearly blended patch times the product of its sides' distinct weight functions is a
// tensor-product spline, so the patch is exactly a NURBS surface whose weights are that product;
// its poles come from interpolation in that spline space. When its degree would pass
// MaxExchangeDegree, or rounding leaves it further than ExactTolerance from the patch, a cubic
// surface is fitted within FitTolerance instead; beyond that the patch is refused.
SurfaceConversion convertPatch(const CurveSurface& surface, double sceneSize);
