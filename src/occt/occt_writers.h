// STEP (AP214) and IGES (5.3) files of the exact scene, written through Open CASCADE. The one library
// that sees Open CASCADE; this header does not, so its users need none of it. One export at a time:
// Open CASCADE keeps its exchange settings in process-wide statics.
#pragma once

#include <iosfwd>
#include <string>

struct ExchangeModel;

// Every curve as an edge and every surface as a face over its whole domain, transferred as they are,
// lengths in millimetres; seventeen significant digits per number. Curves are clamped to their
// drawn domain (same parameter), as CAD readers expect. False with the reason in error when Open
// CASCADE refuses an object (a degree above 25, for one) or the output fails.
bool writeStep(const ExchangeModel& model, std::ostream& out, std::string& error);

// Curves as rational B-spline curve entities (126) and surfaces as rational B-spline surface
// entities (128), millimetres, seventeen significant digits per number.
bool writeIges(const ExchangeModel& model, std::ostream& out, std::string& error);
