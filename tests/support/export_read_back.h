// Compares what an export file reads back as with the scene it came from: every drawn curve sample
// against the read curve at the same parameter, every mesh vertex against the read surface.
#pragma once

#include "export/export_result.h"
#include "surface_distance.h"

#include <functional>
#include <string>
#include <vector>

class SceneList;

struct ReadCurve {
    std::function<ControlPoint(double)> at;
    double start = 0.0, end = 0.0;
};

struct ReadSurface {
    SurfaceDistance::Surface at;
    double u0 = 0.0, u1 = 0.0, v0 = 0.0, v1 = 0.0;
};

// Geometry read back from a file, in file order.
struct ReadBack {
    std::vector<ReadCurve> curves;
    std::vector<ReadSurface> surfaces;
};

struct ReadBackFindings {
    // Largest distances found, as fractions of the scene's size.
    double worstCurve = 0.0;
    double worstExactSurface = 0.0;
    double worstFittedSurface = 0.0;
    std::vector<std::string> failures;
};

// Curves and surfaces are matched in scene order. A curve sample may stray curveTolerance, a vertex
// of an exact surface surfaceTolerance, and a vertex of a fitted one the deviation the export
// reported plus surfaceTolerance (fractions of the scene's size).
ReadBackFindings compareWithScene(SceneList& scene, const ExportResult& result, const ReadBack& read,
                                  double curveTolerance = 1e-12, double surfaceTolerance = 1e-9);
