// Scenes for the export tests: the example files and tables of curves, surfaces of revolution, Coons
// patches and extrusions, each built as the canvas builds them.
#pragma once

#include "scene/scene_list.h"

#include <string>
#include <vector>

struct ExportCase {
    std::string name;
    SceneList scene;
    int fittedSurfaces = 0; // how many of its surfaces have no exact form of a degree the formats take
};

// data/examples/*.nbs, loaded.
std::vector<ExportCase> exampleScenes();
// One scene per table, many objects each:
// - free curves of every form, orders 2 to 6, rational and not;
// - surfaces of revolution for every axis and reference axis, every axis placement, partial and whole
//   sweeps, Open, Interpolated and Closed profiles, rational profiles, profiles crossing the axis;
// - Coons patches with sides of every form and order, rational sides with equal, proportional and
//   different weights, and a pair of high-order rational sides that leaves no exact form to write;
// - extrusions, plain and rational.
std::vector<ExportCase> tableScenes();
