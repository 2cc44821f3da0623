// What the status bar says about the selection, in plain words; no Qt, so the rules can be tested alone.
#pragma once

#include "scene/undo_history.h"

#include <string>

class SelectionText {
public:
    // The active object: a curve's points, order and form ("Curve: 5 points, order 3, closed"), a
    // surface's kind and increments ("Coons patch: u 10, v 10"); "No object selected" for none.
    static std::string object(const SceneSelection& selection);
    // The picked control point: its number, coordinates and weight; empty when none is picked.
    static std::string point(const SceneSelection& selection);
    // Why the active curve draws no curve: "Order 5 needs at least 5 points (this curve has 3)";
    // empty when it has enough points or no curve is active.
    static std::string warning(const SceneSelection& selection);
    // A coordinate as the readouts show it: two decimals, never "-0.00".
    static std::string number(double value);
};
