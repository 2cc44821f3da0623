// The canvas's slots for the window's controls: the active curve, its surface, and creating objects.
#include "gl_pelm.h"

void GLPelm::setObjectColor(int, int, int) {}
void GLPelm::curveVerticesClicked() {}
void GLPelm::curveClicked() {}
void GLPelm::curveEdgeClicked() {}
void GLPelm::orderChanged(int) {}
void GLPelm::paramIncChanged(int) {}
void GLPelm::openCurveClicked() {}
void GLPelm::interpolateEndPointsClicked() {}
void GLPelm::closedCurveClicked() {}
void GLPelm::weightChanged(int) {}
void GLPelm::reverseCPClicked() {}
void GLPelm::rev_degreesChanged(int) {}
void GLPelm::revXAxisClicked() {}
void GLPelm::revYAxisClicked() {}
void GLPelm::revZAxisClicked() {}
void GLPelm::refRevXAxisClicked() {}
void GLPelm::refRevYAxisClicked() {}
void GLPelm::refRevZAxisClicked() {}
void GLPelm::surfaceMeshClicked() {}
void GLPelm::surfaceShadedClicked() {}
void GLPelm::surfaceGradientClicked() {}
void GLPelm::createCoons() {}
void GLPelm::createExtrude() {}
void GLPelm::createRev() {}
void GLPelm::NURBS_freeFormClicked() {}
void GLPelm::NURBS_circleClicked() {}
void GLPelm::NURBS_squareClicked() {}
void GLPelm::NURBS_arcClicked() {}
void GLPelm::NURBS_sphereClicked() {}
void GLPelm::NURBS_cylinderClicked() {}
void GLPelm::NURBS_cubeClicked() {}
void GLPelm::uparamIncChanged(int) {}
void GLPelm::vparamIncChanged(int) {}
void GLPelm::selRevolutionCurve() {}
void GLPelm::selCoonsCurves() {}
void GLPelm::selExtrudeCurves() {}
void GLPelm::rot_farLeftClicked() {}
void GLPelm::rot_farRightClicked() {}
void GLPelm::rot_closeAxisClicked() {}
void GLPelm::rot_axisClicked() {}
void GLPelm::rot_AxisLeftClicked() {}
void GLPelm::rot_AxisRightClicked() {}
void GLPelm::rot_axisDistChanged(int) {}
void GLPelm::lineSizeChanged(int) {}
