// A small reader of OBJ free-form curves and surfaces, with its own de Boor evaluation: the yardstick
// for what the exporters write, independent of the program's evaluators.
#pragma once

#include "geometry/control_point.h"

#include <string>
#include <vector>

struct FreeFormObject {
    std::string name;
    bool surface = false;
    bool rational = false;
    int degreeU = 0, degreeV = 0;
    std::vector<double> knotsU, knotsV;
    double startU = 0, endU = 0, startV = 0, endV = 0; // from curv / surf
    int countU = 0, countV = 0;
    std::vector<ControlPoint> poles; // curves: in order; surfaces: u varying fastest

    ControlPoint curvePoint(double u) const;
    ControlPoint surfacePoint(double u, double v) const;
};

struct FreeFormFile {
    std::vector<FreeFormObject> objects;
    std::string error; // empty when the text was read whole
};

FreeFormFile readFreeFormObj(const std::string& text);
