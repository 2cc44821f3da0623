// The exact scene as OBJ free-form geometry: rational B-spline curves and surfaces over weighted vertices.
#pragma once

#include <iosfwd>

struct ExchangeModel;

// One "o" per object. A curve keeps its own knots: "curv" gives the domain that is drawn and "parm u"
// the whole knot vector. A surface lists its poles with u varying fastest, then "parm u" and
// "parm v". "cstype bspline" with plain "v x y z" when the weights are all equal, else
// "cstype rat bspline" with "v x y z w". OBJ has no unit field; a comment says millimetres.
void writeObjFreeForm(const ExchangeModel& model, std::ostream& out);
