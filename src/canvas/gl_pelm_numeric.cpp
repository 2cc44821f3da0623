// The canvas's slots for typed values: the picked point's coordinates and weight, and transforms of
// the active curve.
#include "canvas/gl_pelm.h"

#include <numbers>

void GLPelm::pointCoordinateChanged(int axis, double value) {
    model.setPointCoordinate(axis, value);
    updateGL();
}

void GLPelm::pointWeightChanged(double weight) {
    model.setWeight(weight);
    updateGL();
}

void GLPelm::transformActiveCurve(double dx, double dy, double dz, double factor, double ax, double ay,
                                  double az) {
    // Points and curves turn in radians; people type degrees.
    constexpr double radiansPerDegree = std::numbers::pi / 180.0;
    model.transformCurve(dx, dy, dz, factor, ax * radiansPerDegree, ay * radiansPerDegree,
                         az * radiansPerDegree);
    updateGL();
}
