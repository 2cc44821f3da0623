// The scene's size, the yardstick of every export tolerance: the diagonal of the bounding box of all
// curves' control points.
#pragma once

class SceneList;

// 0 for a scene without finite control points.
double sceneSize(const SceneList& scene);

// How far a fitted surface may stray from the scene's own, as a fraction of the scene's size.
constexpr double FitTolerance = 1e-6;
// How far a surface called exact may stray (rounding only), as a fraction of the scene's size.
constexpr double ExactTolerance = 1e-10;

// A tolerance as a distance: the fraction of the size, and never below what rounding leaves on
// coordinates of a scene of size 0.
double toleranceFor(double fraction, double size);
