// Operations on the canvas's views behind the viewport settings: grid step and resets.
#pragma once

class GLPelm;

// The grid steps offered: divisors of the grid's half extent (200), so a line always runs
// through the origin.
inline constexpr int gridStepChoices[] = {1, 2, 4, 5, 10, 20, 25, 50};

// The step of the three orthographic views' grids (those of the top view).
int orthographicGridStep(const GLPelm& canvas);

// Sets both grid steps of the top, left and front views and rebuilds their grid lists; steps
// below 1 become 1.
void setOrthographicGridStep(GLPelm& canvas, int step);

// Every view, the perspective one included, back to no pan and zoom 1.
void resetViewPanAndZoom(GLPelm& canvas);

// The perspective camera back to its eye (0, 0, 40) looking at the origin, unturned.
void resetPerspectiveCamera(GLPelm& canvas);
