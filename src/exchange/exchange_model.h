// The scene converted for exact export: one NURBS curve or surface per scene object, in list order.
#pragma once

#include "exchange/nurbs_curve_data.h"
#include "exchange/nurbs_surface_data.h"

#include <string>
#include <vector>

class SceneList;

struct ExchangeObject {
    int position = -1; // in the scene list
    int kind = 0;      // ObjectKind
    std::string name;  // exchangeName(kind, position)
    bool isSurface = false;
    NurbsCurveData curve;     // own knots over the drawn domain; for curves
    NurbsSurfaceData surface; // clamped; for surfaces
    bool exact = true;        // false: the surface was fitted
    double deviation = 0.0;   // largest distance from the scene's surface on the check grid
};

struct ExchangeModel {
    double sceneSize = 0.0;
    std::vector<ExchangeObject> objects;
    // One line per object that has no exact form to write: "<name> <why>".
    std::vector<std::string> refused;
};

// Converts every curve and surface of the scene; objects of other kinds are not drawn and are
// skipped. The scene is not changed.
ExchangeModel buildExchangeModel(const SceneList& scene);

// The name an object is written under: its kind and its entry number in the scene (from 1), as
// "curve_1", "revolution_2", "patch_3", "extrusion_4".
std::string exchangeName(int kind, int position);
